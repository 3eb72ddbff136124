#include "creation.h"

#include "app/messages.h"
#include "app/session.h"
#include "db/database.h"
#include "db/datafile.h"
#include "db/parameterfile.h"
#include "platform/bytefile.h"
#include "platform/cp1252.h"
#include "platform/services.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <algorithm>

namespace fichora::creation {

namespace {

namespace pf = parameterfile;

enum class FirstWrite { Done, SeekFailed, WriteFailed };

QString text(const Session& session, Msg id, const QString& path)
{
    return message(id, session.language).arg(path);
}

QByteArray labelBytes(const QString& label)
{
    // The box holds at most 15 characters; anything longer given from elsewhere is cut rather than
    // allowed to spill into the reserved byte and the width behind it.
    const QByteArray bytes = cp1252::fromUnicode(label).left(pf::kLabelLength);
    return pf::canonicalLabelBytes(bytes).value_or(QByteArray(pf::kLabelLength, ' '));
}

QByteArray widthBytes(qint32 width)
{
    QByteArray bytes(4, '\0');
    qToLittleEndian(width, bytes.data());
    return bytes;
}

bool writeAt(QIODevice& device, qint64 offset, const QByteArray& bytes)
{
    return device.seek(offset) && device.write(bytes) == bytes.size();
}

// Only the very first write is checked, as a probe that the copy is writable at all; the others
// follow on the same open file.
FirstWrite patchParameterFile(QIODevice& device, const NewDatabase& input)
{
    for (int n = 1; n <= pf::kFieldCount; ++n) {
        const QByteArray label =
            n == pf::kFieldCount ? QByteArray(kPictureLabel) : labelBytes(input.labels[static_cast<size_t>(n - 1)]);
        qint32 width = kDefaultWidth;
        if (n <= 11)
            width = columnWidth(input.widths[static_cast<size_t>(n - 1)]);
        else if (n == pf::kFieldCount)
            width = columnWidth(input.widths[kWidthBoxes - 1]);

        if (n == 1) {
            if (!device.seek(pf::labelOffset(n)))
                return FirstWrite::SeekFailed;
            if (device.write(label) != label.size())
                return FirstWrite::WriteFailed;
        } else {
            writeAt(device, pf::labelOffset(n), label);
        }
        writeAt(device, pf::widthOffset(n), widthBytes(width));
    }
    const QByteArray number = pf::fieldTypeBytes(pf::FieldType::Number);
    for (int n = 2; n <= 21; ++n)
        if (input.numbers[static_cast<size_t>(n - 1)])
            writeAt(device, pf::fieldTypeOffset(n), number);
    return FirstWrite::Done;
}

std::unique_ptr<QIODevice> openExisting(const QString& path)
{
    auto file = std::make_unique<QFile>(path);
    if (!file->open(QIODevice::ReadWrite | QIODevice::ExistingOnly))
        return nullptr;
    return file;
}

} // namespace

qint32 columnWidth(const QString& text)
{
    bool ok = false;
    const qint32 width = text.toInt(&ok, 10);
    if (!ok)
        return kDefaultWidth;
    return std::min(width, kMaximumWidth);
}

bool prepare(Session& session, Services& services)
{
    if (!session.open)
        return true;
    return closeDatabase(session, services);
}

Outcome createDatabase(const Session& session, Services& services, const NewDatabase& input,
                       const DeviceOpener& openParameterFile)
{
    if (input.labels[0].isEmpty() || input.labels[1].isEmpty() || input.name.isEmpty()) {
        services.error(message(Msg::NewDatabaseIncomplete, session.language));
        return Outcome::Stopped;
    }

    Services::FileDialog dialog;
    dialog.title = message(Msg::NewDatabaseDialogTitle, session.language);
    dialog.fileName = input.name;
    dialog.filters = {QStringLiteral("xml (*.xml)")};
    const QString base = services.saveFileName(dialog);
    if (base.isEmpty())
        return Outcome::Cancelled;

    // The base path is used as given: a name typed with ".xml" gets both extensions after it.
    const QString parameterPath = base + QLatin1String(".par");
    const QString dataPath = base + QLatin1String(".xml");
    const QString cipheredPath = base + QLatin1String(".cip");

    if (QFileInfo::exists(dataPath)) {
        services.error(text(session, Msg::NewDatabaseExists, dataPath));
        return Outcome::Stopped;
    }
    // A ciphered database has no ".xml" while it is closed; its parameter file holds its structure and
    // flags and must not be overwritten by a template copy.
    if (QFileInfo::exists(cipheredPath)) {
        services.error(text(session, Msg::NewDatabaseExists, cipheredPath));
        return Outcome::Stopped;
    }

    if (!copyFile(session.programDirectory + QLatin1String(kParameterTemplate), parameterPath, true)) {
        services.error(text(session, Msg::NewDatabaseCannotCreate, parameterPath));
        return Outcome::Stopped;
    }

    {
        std::unique_ptr<QIODevice> device =
            openParameterFile ? openParameterFile(parameterPath) : openExisting(parameterPath);
        if (!device || !device->isOpen() || !device->isWritable()) {
            services.plain(text(session, Msg::NewDatabaseCannotOpen, parameterPath));
            return Outcome::Stopped;
        }
        switch (patchParameterFile(*device, input)) {
        case FirstWrite::Done:
            break;
        case FirstWrite::SeekFailed:
            services.plain(text(session, Msg::NewDatabaseSeekFailure, parameterPath));
            return Outcome::Stopped;
        case FirstWrite::WriteFailed:
            services.plain(text(session, Msg::NewDatabaseWriteFailure, parameterPath));
            return Outcome::Stopped;
        }
    } // closes the parameter file

    if (!datafile::createFromTemplate(session.programDirectory + QLatin1String(kDataTemplate), dataPath)) {
        services.error(text(session, Msg::NewDatabaseExists, dataPath));
        return Outcome::Stopped;
    }

    {
        auto file = ByteFile::open(dataPath, ByteFile::Mode::Write);
        if (!file) {
            services.plain(text(session, Msg::NewDatabaseCannotOpen, dataPath));
            return Outcome::Stopped;
        }
        for (int n = 2; n <= 21; ++n) {
            if (!input.numbers[static_cast<size_t>(n - 1)])
                continue;
            // Unlike the parameter file's later writes, a failed slot is reported: the two files would
            // disagree about the field's type.
            if (!file->writeAt(datafile::slotOffset(n), datafile::numberDescription(n))) {
                services.plain(text(session, Msg::NewDatabaseWriteFailure, dataPath));
                return Outcome::Stopped;
            }
        }
    }

    services.information(text(session, Msg::NewDatabaseCreated, dataPath));
    return Outcome::Created;
}

} // namespace fichora::creation
