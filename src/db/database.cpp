#include "database.h"

#include "platform/collation.h"
#include "platform/filterexpression.h"

#include "app/messages.h"
#include "app/session.h"
#include "db/cipher.h"
#include "db/datafile.h"
#include "db/parameterfile.h"
#include "platform/bytefile.h"
#include "platform/cp1252.h"
#include "platform/services.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace fichora {

namespace {

namespace pf = parameterfile;

const QString kBak = QStringLiteral(".bak");
const QString kBak2 = QStringLiteral(".bak2");

QString text(const Session& session, Msg id)
{
    return message(id, session.language);
}

bool exists(const QString& path)
{
    return QFileInfo::exists(path);
}

/// Removes a file the flows no longer want; a file that stays behind is said, never ignored, because it
/// may be plain text of a ciphered database.
void removeFile(QStringList& failures, const QString& path)
{
    if (auto removed = removeIfExists(path); !removed)
        failures.append(removed.error().message);
}

void removeFile(Services& services, const QString& path)
{
    if (auto removed = removeIfExists(path); !removed)
        services.plain(removed.error().message);
}

void showAll(Services& services, const QStringList& texts)
{
    for (const QString& shown : texts)
        services.plain(shown);
}

/// The start shared by opening and closing: the search stops waiting, the filter mode returns to
/// Standard and the picture mark goes.
void prelude(Session& session, Services& services)
{
    session.cancelRequested = true;
    session.searchWaiting = false;
    services.processEvents();
    session.filterMode = 0;
    session.pictureMarkShown = false;
}

bool forgetModifications(Session& session, Services& services)
{
    return !session.modified || services.confirmYesCancel(text(session, Msg::ForgetModifications));
}

/// Which of the deciphered copy E and the ciphered file C a database opened from C leaves behind: C
/// stays unless the last save was plain. E is removed only while C exists, so the records always keep
/// one copy on disk.
void cleanUpFiles(const Session& session, QStringList& failures)
{
    if (!session.cipheredOpen)
        return;
    const QString copy = session.decipheredCopy;
    const QString ciphered = cipheredPathFor(copy);
    if (session.savedCiphered || !session.saved) {
        if (QFileInfo(ciphered).isFile()) {
            removeFile(failures, copy);
            removeFile(failures, copy + kBak);
        }
    } else {
        removeFile(failures, ciphered);
        removeFile(failures, ciphered + kBak);
    }
}

/// A half-open ciphered database (deciphered, then refused) owns nothing: its plain copy goes at once.
void abandonCopy(Session& session, Services& services)
{
    session.records.close();
    session.loadedDataFile.clear();
    if (session.cipheredOpen)
        removeFile(services, session.decipheredCopy);
    session.cipheredOpen = false;
    session.decipheredCopy.clear();
}

/// The ciphered file's failure in the words of the message to show.
void reportDecipherFailure(const Session& session, Services& services, const Error& error, const QString& cipherPath)
{
    switch (error.code) {
    case Error::Code::WrongKey:
        services.error(text(session, Msg::WrongPassword));
        return;
    case Error::Code::Damaged:
        services.error(text(session, Msg::CipheredFileDamaged).arg(cipherPath));
        return;
    case Error::Code::Format:
        services.error(text(session, Msg::IncorrectlyFormatted).arg(cipherPath));
        return;
    case Error::Code::NotFound:
        services.plain(messages::cipheredFileNotOpened());
        return;
    default:
        break;
    }
    if (error.message.startsWith(QLatin1String("Cannot open file")))
        services.plain(messages::cipheredFileNotOpened());
    else if (error.message.startsWith(QLatin1String("Cannot read")))
        services.plain(messages::readError());
    else if (error.message.startsWith(QLatin1String("Cannot create")) ||
             error.message.startsWith(QLatin1String("Cannot write")))
        services.plain(messages::decipheredCopyNotCreated());
    else
        services.error(error.message);
}

/// Deciphers `chosen` into the data file beside it and checks the copy. On success the Session holds
/// the copy as a ciphered-open database; on failure no plain copy of ours is left.
bool decipher(Session& session, Services& services, const QString& chosen, const QByteArray& typedKey)
{
    session.openingKey = cipher::keyFingerprint(typedKey);
    if (!cipher::checkKey(typedKey).acceptable()) {
        services.setBusy(false);
        services.processEvents();
        services.error(text(session, Msg::OpenKeyRequired));
        return false;
    }
    services.setBusy(true);
    services.processEvents();

    const QString copy = dataPathFor(chosen);
    if (auto deciphered = cipher::decipherFile(chosen, copy, typedKey); !deciphered) {
        // Nothing was written at the copy's path; a plain backup of the copy must not linger either.
        services.setBusy(false);
        services.processEvents();
        if (deciphered.error().code == Error::Code::WrongKey)
            removeFile(services, copy + kBak);
        reportDecipherFailure(session, services, deciphered.error(), chosen);
        return false;
    }

    // The authenticated stream already proved the key; the signature check guards against a file that
    // was ciphered from something that is not a data file.
    const Result<bool> signature = datafile::isDataFile(copy);
    if (!signature || !*signature) {
        services.setBusy(false);
        services.processEvents();
        removeFile(services, copy);
        removeFile(services, copy + kBak);
        if (!signature)
            services.plain(messages::invalidHandle());
        else
            services.error(text(session, Msg::WrongPassword));
        return false;
    }

    (void)copyFile(chosen, chosen + kBak, true); // the backup is a courtesy: its failure stops nothing
    session.decipheredCopy = copy;
    session.cipheredOpen = true;
    services.setBusy(false);
    services.processEvents();
    return true;
}

/// Step F: labels, widths, use, protection, save-pending, types and export ticks, all read from one
/// opening of the parameter file.
void shapeFromParameterFile(Session& session, Services& services, ByteFile& file)
{
    const QString path = file.path();
    for (int n = 1; n <= pf::kFieldCount; ++n) {
        FieldShape& field = session.fields[static_cast<std::size_t>(n - 1)];
        const QByteArray stored = file.readAt(pf::labelOffset(n), pf::kLabelLength);
        field.label = pf::labelFromBytes(stored);
        if (n == 1) {
            // Every table the window shows filters and sorts the way its people read: set here, once the
            // records are loaded and before the first sort.
            installFilterLanguage(session.records);
            installFrenchOrder(session.records);
            (void)session.records.setIndexFieldNames("F01;F02");
            // A person opening a database expects to stand on its first record in that order, not on
            // the file's first record wherever the sort moved it.
            session.records.first();
            if (stored.size() < pf::kLabelLength)
                services.plain(file.size() < pf::labelOffset(n) ? messages::seekFailureLabel(path)
                                                                : messages::readFailureLabel(path));
        }
        const QByteArray width = file.readAt(pf::widthOffset(n), 4);
        field.width = width.size() == 4 ? static_cast<qint32>(static_cast<quint32>(static_cast<uchar>(width[0])) |
                                                              static_cast<quint32>(static_cast<uchar>(width[1])) << 8 |
                                                              static_cast<quint32>(static_cast<uchar>(width[2])) << 16 |
                                                              static_cast<quint32>(static_cast<uchar>(width[3])) << 24)
                                        : 0;
        field.inUse = n == 1 || n == 2 || n == 23 || !field.label.isEmpty();
        field.isNumber = n <= 22 && file.byteAt(pf::fieldTypeOffset(n)).value_or('\0') == 'i';
        field.exportTick = file.byteAt(pf::exportOffset(n)).value_or('\0') == 'E';
    }
    session.readOnly = file.byteAt(pf::kReadOnlyOffset).value_or('\0');
    session.savePending = file.byteAt(pf::kSavePendingOffset).value_or('\0') == 'S';
}

/// Steps C to G for the chosen file.
OpenResult openChosen(Session& session, Services& services, const QString& chosenPath, const QByteArray& typedKey)
{
    QString chosen = chosenPath;
    const QString parameters = parameterPathFor(chosen);
    {
        auto file = ByteFile::open(parameters, ByteFile::Mode::Read);
        if (!file) {
            services.error(text(session, Msg::ParameterFileNotFound));
            return OpenResult::Stopped;
        }
        const QByteArray head = file->readAt(pf::kFormatMarkerOffset, 15);
        if (head.size() < 15 && file->size() >= 15)
            services.plain(messages::readFailureMarker(parameters));
        QByteArray marker = head.left(pf::kFormatMarkerLength);
        if (const qsizetype zero = marker.indexOf('\0'); zero >= 0)
            marker.truncate(zero);
        if (marker == pf::kOldFormatMarker) {
            services.error(text(session, Msg::OldSixteenFieldDatabase));
            return OpenResult::Stopped;
        }
    }

    if (chosen.endsWith(QLatin1String(".cip"))) {
        if (!decipher(session, services, chosen, typedKey))
            return OpenResult::Stopped;
        chosen = session.decipheredCopy;
    }

    session.loadedDataFile = chosen;
    if (auto loaded = session.records.loadFromFile(chosen); !loaded) {
        services.error(text(session, Msg::IncorrectlyFormatted).arg(chosen));
        abandonCopy(session, services);
        return OpenResult::Stopped;
    }
    session.modified = false;
    if (chosenPath.endsWith(QLatin1String(".xml"))) {
        if (!copyFile(chosen, chosen + kBak, true))
            services.beep(Services::Beep::Exclamation);
    }

    session.parameterFile = parameterPathFor(chosen);
    auto file = ByteFile::open(session.parameterFile, ByteFile::Mode::Read);
    if (!file) {
        services.error(text(session, Msg::NotAFichoraDatabase));
        abandonCopy(session, services);
        return OpenResult::Stopped;
    }
    shapeFromParameterFile(session, services, *file);
    session.recordCount = session.records.recordCount();
    services.beep(Services::Beep::Information);

    session.open = true;
    session.filterText.clear();
    (void)session.records.setFilter({});
    (void)session.records.setFiltered(false);
    session.filterActive = false;
    session.photoFilter = false;
    session.extendedGrid = false;
    session.saved = false;
    session.savedCiphered = false;
    if (session.refreshOtherFiles)
        session.refreshOtherFiles(session);
    return OpenResult::Opened;
}

/// Prelude and unsaved-changes question of an opening, then the old database closed. False on Cancel.
bool beginOpening(Session& session, Services& services)
{
    prelude(session, services);
    if (!forgetModifications(session, services))
        return false;
    runCloseSteps(session, services);
    return true;
}

/// Cipher flag of a save. An unreadable parameter file keeps a database opened from its ciphered file
/// ciphered rather than letting it turn plain.
bool wantsCiphering(const Session& session)
{
    const Result<bool> flag = pf::readCipher(session.parameterFile);
    return flag ? *flag : session.cipheredOpen;
}

/// Makes sure a data file that is to be ciphered is created for its owner only, so the plain text is
/// never readable by others even for the moment it exists (the atomic write keeps the permissions).
void prepareOwnerOnly(const QString& path)
{
    if (exists(path))
        return;
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        file.close();
    }
}

} // namespace

OpenResult openDatabase(Session& session, Services& services, const QByteArray& typedKey)
{
    if (!beginOpening(session, services))
        return OpenResult::Cancelled;

    if (!session.programDirectory.isEmpty())
        QDir::setCurrent(session.programDirectory);
    Services::FileDialog dialog;
    dialog.title = text(session, Msg::OpenDialogTitle);
    dialog.directory = session.programDirectory;
    // The patterns carry both cases: the file system may not fold them.
    dialog.filters = {QStringLiteral("*.XML        *.CIP (*.XML *.xml *.CIP *.cip)"),
                      QStringLiteral("*.XML (*.XML *.xml)"), QStringLiteral("*.CIP (*.CIP *.cip)")};
    const QString chosen = services.openFileName(dialog);
    if (chosen.isEmpty() || !exists(chosen))
        return OpenResult::Stopped;
    return openChosen(session, services, chosen, typedKey);
}

OpenResult openDatabaseFile(Session& session, Services& services, const QString& path, const QByteArray& typedKey)
{
    if (!beginOpening(session, services))
        return OpenResult::Cancelled;
    if (path.isEmpty() || !exists(path))
        return OpenResult::Stopped;
    return openChosen(session, services, path, typedKey);
}

QStringList runCloseSteps(Session& session)
{
    QStringList failures;
    if (!session.open)
        return failures;
    session.loadedDataFile.clear();
    session.records.close();
    session.open = false;
    session.modified = false;
    session.closedOnce = true;

    cleanUpFiles(session, failures);
    session.decipheredCopy.clear();
    session.cipheredOpen = false;
    session.saved = false;
    session.savedCiphered = false;

    session.fields = {};
    session.parameterFile.clear();
    session.readOnly = 0;
    session.savePending = false;
    session.recordCount = 0;
    session.filterActive = false;
    session.photoFilter = false;
    return failures;
}

void runCloseSteps(Session& session, Services& services)
{
    showAll(services, runCloseSteps(session));
}

bool closeDatabase(Session& session, Services& services)
{
    prelude(session, services);
    if (!forgetModifications(session, services))
        return false;
    runCloseSteps(session, services);
    return true;
}

SaveResult saveDatabase(Session& session, Services& services, const QByteArray& typedKey)
{
    session.cancelRequested = true;
    session.searchWaiting = false;
    services.processEvents();
    if (!session.open)
        return SaveResult::Failed;

    const QString dataFile = session.loadedDataFile;
    const bool ciphering = wantsCiphering(session);
    if (ciphering) {
        if (!cipher::checkKey(typedKey).acceptable()) {
            services.error(text(session, Msg::SaveKeyRequired));
            return SaveResult::Failed;
        }
        if (cipher::keyFingerprint(typedKey) != session.openingKey)
            services.warning(text(session, Msg::DifferentSaveKey) + cp1252::toUnicode(typedKey));
        prepareOwnerOnly(dataFile);
    }

    if (auto written = session.records.saveToFile(dataFile); !written) {
        services.error(text(session, Msg::SaveFailed).arg(dataFile, written.error().message));
        return SaveResult::Failed;
    }

    if (ciphering) {
        services.setBusy(true);
        services.processEvents();
        const QString ciphered = cipheredPathFor(dataFile);
        // The saved and saved-ciphered flags stay as they were until the ciphered file is complete: the
        // clean-up at closing must keep the ciphered file the database while the new records exist only
        // in plain.
        if (QFile reopened(dataFile); !reopened.open(QIODevice::ReadOnly)) {
            services.setBusy(false);
            services.plain(messages::cannotReopenDataFile());
            return SaveResult::SavedPlain;
        }
        if (auto done = cipher::cipherFile(dataFile, ciphered, typedKey, session.kdfParams); !done) {
            services.setBusy(false);
            services.error(text(session, Msg::CipheringFailed).arg(ciphered, done.error().message, dataFile));
            return SaveResult::SavedPlain;
        }
        removeFile(services, dataFile);
        removeFile(services, dataFile + kBak);
        removeFile(services, dataFile + kBak2);
        session.savedCiphered = true;
        services.setBusy(false);
        services.processEvents();
    } else {
        session.savedCiphered = false;
    }
    session.modified = false;
    session.saved = true;

    (void)pf::writeSavePending(session.parameterFile, false); // a byte left at 'S' only re-enables the button
    session.savePending = false;
    session.recordCount = session.records.recordCount();
    return SaveResult::Saved;
}

bool closeMainWindow(Session& session, Services& services)
{
    if (!forgetModifications(session, services))
        return false;
    if (!session.open)
        return true;

    if (auto file = ByteFile::open(session.parameterFile, ByteFile::Mode::Write); !file) {
        services.plain(messages::cannotOpenExports(session.parameterFile));
    } else {
        for (int n = 1; n <= pf::kFieldCount; ++n) {
            const bool ticked = session.fields[static_cast<std::size_t>(n - 1)].exportTick;
            if (auto written = file->writeAt(pf::exportOffset(n), QByteArray(1, ticked ? 'E' : 'N')); !written) {
                services.plain(written.error().message);
                break;
            }
        }
    }
    runCloseSteps(session, services);
    return true;
}

Result<void> saveColumnWidths(const Session& session, Services& services, const std::array<qint32, 23>& widths)
{
    if (!session.open)
        return fail(Error::Code::Unsupported, QStringLiteral("No database is open"));
    auto file = ByteFile::open(session.parameterFile, ByteFile::Mode::Write);
    if (!file) {
        services.plain(messages::cannotOpenWidths(session.parameterFile));
        return std::unexpected(file.error());
    }
    for (int n = 1; n <= pf::kFieldCount; ++n) {
        const auto value = static_cast<quint32>(widths[static_cast<std::size_t>(n - 1)]);
        QByteArray bytes(4, '\0');
        for (int i = 0; i < 4; ++i)
            bytes[i] = static_cast<char>((value >> (8 * i)) & 0xFFu);
        if (auto written = file->writeAt(pf::widthOffset(n), bytes); !written) {
            services.plain(written.error().message);
            return written;
        }
    }
    return {};
}

bool saveButtonEnabled(const Session& session)
{
    return session.open && (session.modified || session.savePending);
}

bool fieldTypesButtonEnabled(const Session& session)
{
    return session.open && !session.isReadOnly() && !session.cipheredOpen;
}

GridTint gridTint(const Session& session)
{
    if (!session.open)
        return GridTint::ButtonFace;
    if (session.isReadOnly())
        return session.cipheredOpen ? GridTint::MoneyGreen : GridTint::Red;
    return session.cipheredOpen ? GridTint::Yellow : GridTint::ButtonFace;
}

} // namespace fichora
