#include "exchange/rowwriter.h"

#include "app/messages.h"
#include "app/session.h"
#include "db/creation.h"
#include "db/database.h"
#include "db/datafile.h"
#include "db/parameterfile.h"
#include "platform/bytefile.h"
#include "platform/datapacket.h"
#include "platform/services.h"

#include <QIODevice>

namespace fichora {

ProgressPacer::ProgressPacer(const ProgressLine& progress, Services& services, const Session& session)
    : m_progress(&progress), m_services(&services), m_session(&session)
{
    m_sinceEvents.start();
}

bool ProgressPacer::operator()(qint64 value, qint64 maximum)
{
    if (m_sinceEvents.elapsed() >= kEventsEveryMs) {
        if (m_progress->advance)
            m_progress->advance(value, maximum);
        m_services->processEvents();
        m_sinceEvents.restart();
    }
    return !m_session->abandon;
}

} // namespace fichora

namespace fichora::rowwriter {

namespace {

// Rows are handed to the device in pieces of about this size: few system calls, little memory.
constexpr std::size_t kFlushBytes = 1 << 20;

constexpr qsizetype kMaxBaseName = 999;

} // namespace

QString sourceBaseName(const QString& importedFile)
{
    QString base = importedFile.chopped(std::min<qsizetype>(3, importedFile.size()));
    base = base.mid(base.lastIndexOf(QLatin1Char('/')) + 1);
    return base.left(kMaxBaseName);
}

Targets targetsFor(const QString& programDirectory, const QString& importedFile)
{
    const QString base = programDirectory + sourceBaseName(importedFile);
    return {base + QStringLiteral("par"), base + QStringLiteral("xml")};
}

void appendValue(std::string& out, std::string_view value)
{
    appendEscapedValue(out, value, ValueEscaping::RowWriter);
}

void appendOpening(std::string& out, int n)
{
    if (n == 1) {
        out += kRowStart;
        return;
    }
    const char opening[] = {'"', ' ', 'F', static_cast<char>('0' + n / 10), static_cast<char>('0' + n % 10), '=', '"'};
    out.append(opening, sizeof opening);
}

void appendRow(std::string& out, const std::array<std::string_view, kFieldCount>& values)
{
    for (int n = 1; n <= kFieldCount; ++n) {
        appendOpening(out, n);
        appendValue(out, values[static_cast<std::size_t>(n - 1)]);
    }
    out += kRowEnd;
}

RowStream::RowStream(QIODevice& device) : m_device(device)
{
    m_failed = !m_device.seek(datafile::kRowsOffset);
    m_buffer.reserve(kFlushBytes + 64 * 1024);
}

Result<void> RowStream::flush()
{
    if (!m_failed && !m_buffer.empty()) {
        const auto size = static_cast<qint64>(m_buffer.size());
        m_failed = m_device.write(m_buffer.data(), size) != size;
    }
    m_buffer.clear();
    if (m_failed)
        return fail(Error::Code::Io, m_device.errorString());
    return {};
}

Result<void> RowStream::rowDone()
{
    if (m_buffer.size() >= kFlushBytes)
        return flush();
    return m_failed ? fail(Error::Code::Io, m_device.errorString()) : Result<void>{};
}

Result<void> RowStream::finish()
{
    m_buffer += datafile::kPacketEnd;
    return flush();
}

bool importPrelude(Session& session, Services& services)
{
    return closeDatabase(session, services);
}

bool copyParameterTemplate(const Session& session, Services& services, const QString& path)
{
    if (!copyFile(session.programDirectory + QLatin1String(creation::kParameterTemplate), path, false)) {
        services.error(message(Msg::ImportFileExists, session.language).arg(path));
        return false;
    }
    if (!ByteFile::open(path, ByteFile::Mode::Write)) {
        services.plain(message(Msg::ImportCannotCreatePar, session.language));
        return false;
    }
    return true;
}

Result<void> writeLabels(const QString& path, const std::array<std::optional<QByteArray>, 22>& labels)
{
    auto file = ByteFile::open(path, ByteFile::Mode::Write);
    if (!file)
        return std::unexpected(file.error());
    for (int n = 1; n <= 22; ++n) {
        if (const auto& label = labels[static_cast<std::size_t>(n - 1)])
            (void)file->writeAt(parameterfile::labelOffset(n), label->left(parameterfile::kLabelLength) + '\0');
    }
    return file->writeAt(parameterfile::labelOffset(23), QByteArray(kPhotoLabel) + '\0');
}

bool createParameterFile(const Session& session, Services& services, const QString& path,
                         const std::array<std::optional<QByteArray>, 22>& labels)
{
    if (!copyParameterTemplate(session, services, path))
        return false;
    if (!writeLabels(path, labels)) {
        services.plain(message(Msg::ImportCannotCreatePar, session.language));
        return false;
    }
    return true;
}

bool createDataFile(const Session& session, Services& services, const QString& path)
{
    if (!datafile::createFromTemplate(session.programDirectory + QLatin1String(creation::kDataTemplate), path)) {
        services.error(message(Msg::ImportFileExists, session.language).arg(path));
        return false;
    }
    if (!ByteFile::open(path, ByteFile::Mode::Write)) {
        services.plain(message(Msg::ImportCannotCreateXml, session.language));
        return false;
    }
    return true;
}

void removeImported(const Targets& targets)
{
    for (const QString& path : {targets.dataFile, targets.dataFile + QStringLiteral(".bak"), targets.parameterFile})
        (void)removeIfExists(path);
}

QString successMessage(const Session& session, const QString& importedFile, qint64 records, const QString& dataFile,
                       bool textImport)
{
    return message(textImport ? Msg::ImportedText : Msg::ImportedOther, session.language)
        .arg(importedFile, QString::number(records), dataFile);
}

} // namespace fichora::rowwriter
