#include "exchange/textimport.h"

#include "app/messages.h"
#include "app/session.h"
#include "platform/bytefile.h"
#include "platform/services.h"

#include <QDir>
#include <QFile>
#include <QIODevice>

namespace fichora::textimport {

namespace {

constexpr qint64 kReadChunk = 256 * 1024;
// Pending window messages run at most this often: a call per row would cost more than the row.

/// Byte-at-a-time reading from a device, in chunks.
class ByteReader
{
public:
    explicit ByteReader(QIODevice& device, qint64 position) : m_device(device), m_position(position) {}

    /// The next byte, or -1 at the end.
    int get()
    {
        if (m_at == m_chunk.size() && !refill())
            return -1;
        ++m_position;
        return static_cast<unsigned char>(m_chunk[m_at++]);
    }

    /// Appends bytes up to the first of `stop` (not included) and reads that byte; -1 at the end.
    template <typename IsStop> int takeUntil(std::string& value, IsStop isStop)
    {
        while (true) {
            if (m_at == m_chunk.size() && !refill())
                return -1;
            const char* begin = m_chunk.constData() + m_at;
            const char* end = m_chunk.constData() + m_chunk.size();
            const char* p = begin;
            while (p != end && !isStop(static_cast<unsigned char>(*p)))
                ++p;
            value.append(begin, static_cast<std::size_t>(p - begin));
            const auto taken = static_cast<qsizetype>(p - begin);
            m_at += taken;
            m_position += taken;
            if (p != end)
                return get();
        }
    }

    qint64 position() const { return m_position; }

private:
    bool refill()
    {
        m_chunk = m_device.read(kReadChunk);
        m_at = 0;
        return !m_chunk.isEmpty();
    }

    QIODevice& m_device;
    QByteArray m_chunk;
    qsizetype m_at = 0;
    qint64 m_position = 0;
};

QString text(const Session& session, Msg id)
{
    return message(id, session.language);
}

} // namespace

Result<std::array<QByteArray, 22>> readLabels(QIODevice& device)
{
    if (!device.seek(0))
        return fail(Error::Code::Io, device.errorString());
    ByteReader reader(device, 0);
    std::array<QByteArray, 22> labels;
    for (auto& label : labels) {
        while (true) {
            const int c = reader.get();
            if (c < 0)
                return fail(Error::Code::Format, QStringLiteral("the header ends before the 22nd bar"),
                            reader.position());
            if (c == '|')
                break;
            if (label.size() == kMaxLabel)
                return fail(Error::Code::Format, QStringLiteral("a label is longer than 15 characters"),
                            reader.position() - 1);
            label.append(static_cast<char>(c));
        }
    }
    return labels;
}

Result<Converted> convertRecords(QIODevice& textDevice, QIODevice& data, const AfterRow& afterRow)
{
    const qint64 size = textDevice.size();
    if (!textDevice.seek(kHeaderSize) && size > kHeaderSize)
        return fail(Error::Code::Io, textDevice.errorString());
    ByteReader reader(textDevice, kHeaderSize);
    rowwriter::RowStream rows(data);
    Converted converted;
    std::string value;
    bool atEnd = false;
    while (!atEnd && reader.position() < size) {
        std::string& out = rows.buffer();
        for (int n = 1; n <= rowwriter::kFieldCount; ++n) {
            rowwriter::appendOpening(out, n);
            if (atEnd)
                continue;
            value.clear();
            const int ending = n < rowwriter::kFieldCount
                                   ? reader.takeUntil(value, [](unsigned char c) { return c == '|' || c == '\r'; })
                                   : reader.takeUntil(value, [](unsigned char c) { return c == '\r'; });
            rowwriter::appendValue(out, value);
            atEnd = ending < 0;
        }
        out += rowwriter::kRowEnd;
        if (!atEnd) {
            value.clear();
            atEnd = reader.takeUntil(value, [](unsigned char c) { return c == '\n'; }) < 0;
        }
        ++converted.records;
        if (auto done = rows.rowDone(); !done)
            return std::unexpected(done.error());
        if (afterRow && !afterRow(reader.position(), size)) {
            converted.abandoned = true;
            return converted;
        }
    }
    if (auto finished = rows.finish(); !finished)
        return std::unexpected(finished.error());
    return converted;
}

bool importText(Session& session, Services& services, const ProgressLine& progress)
{
    if (!rowwriter::importPrelude(session, services))
        return false;
    QDir::setCurrent(session.programDirectory.isEmpty() ? QDir::currentPath() : session.programDirectory);
    Services::FileDialog dialog;
    dialog.title = text(session, Msg::TextImportDialogTitle);
    dialog.directory = session.programDirectory;
    dialog.filters = {QStringLiteral("*.txt     *.csv (*.txt *.csv)")};
    const QString path = services.openFileName(dialog);
    if (path.isEmpty())
        return false;
    return importFile(session, services, path, session.programDirectory, progress);
}

bool importFile(Session& session, Services& services, const QString& path, const QString& targetDirectory,
                const ProgressLine& progress)
{
    const rowwriter::Targets targets = rowwriter::targetsFor(targetDirectory, path);

    QFile source(path);
    if (!source.open(QIODevice::ReadOnly)) {
        services.plain(text(session, Msg::TextImportCannotRead));
        return false;
    }
    if (!rowwriter::copyParameterTemplate(session, services, targets.parameterFile))
        return false;
    const auto labels = readLabels(source);
    source.close();
    if (!labels) {
        services.error(text(session, Msg::TextImportInvalidFormat).arg(path));
        (void)removeIfExists(targets.parameterFile);
        return false;
    }
    std::array<std::optional<QByteArray>, 22> given;
    std::copy(labels->begin(), labels->end(), given.begin());
    if (!rowwriter::writeLabels(targets.parameterFile, given)) {
        services.plain(text(session, Msg::ImportCannotCreatePar));
        return false;
    }

    if (!source.open(QIODevice::ReadOnly)) {
        services.plain(text(session, Msg::TextImportCannotReadAgain));
        return false;
    }
    if (!rowwriter::createDataFile(session, services, targets.dataFile))
        return false;
    QFile data(targets.dataFile);
    if (!data.open(QIODevice::ReadWrite)) {
        services.plain(text(session, Msg::ImportCannotCreateXml));
        return false;
    }

    if (progress.show)
        progress.show(text(session, Msg::TextImportProgress));
    services.processEvents();
    const auto hide = [&] {
        if (progress.hide)
            progress.hide();
    };

    Result<Converted> converted = Converted{};
    const qint64 size = source.size();
    if (size < 0 || size >= kMaxFileSize) {
        services.plain(text(session, Msg::TextImportFileTooBig));
        rowwriter::RowStream rows(data);
        if (auto finished = rows.finish(); !finished)
            converted = std::unexpected(finished.error());
    } else {
        session.abandon = false;
        converted = convertRecords(source, data, ProgressPacer(progress, services, session));
    }
    data.close();
    source.close();
    hide();

    if (!converted) {
        services.plain(messages::importWriteFailure(targets.dataFile));
        return false;
    }
    if (converted->abandoned) {
        session.abandon = false;
        rowwriter::removeImported(targets);
        return false;
    }
    services.information(rowwriter::successMessage(session, path, converted->records, targets.dataFile, true));
    return true;
}

} // namespace fichora::textimport
