#include "app/messages.h"
#include "app/session.h"
#include "db/cipher.h"
#include "db/database.h"
#include "db/parameterfile.h"
#include "platform/bytefile.h"
#include "platform/cp1252.h"
#include "scriptedservices.h"
#include "testdirs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace fichora;
using fichora::test::ScriptedServices;

namespace {

namespace pf = parameterfile;

const QByteArray kKey = "abc123";
const QByteArray kOtherKey = "xyz789";
constexpr int kCarnetRecords = 30;
const std::string kEdited = "1, chemin des Tests";

using test::readAll;
using test::writeAll;

void writeByte(const QString& path, qint64 offset, char byte)
{
    auto file = ByteFile::open(path, ByteFile::Mode::Write);
    QVERIFY(file.has_value());
    QVERIFY(file->writeAt(offset, QByteArray(1, byte)).has_value());
}

QString qs(const char* latin1)
{
    return QString::fromLatin1(latin1);
}

QStringList names(std::initializer_list<const char*> list)
{
    QStringList out;
    for (const char* name : list)
        out.append(qs(name));
    return out;
}

QString english(Msg id)
{
    return message(id, 'E');
}

} // namespace

class TestDatabase : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Session> m_session;
    ScriptedServices m_services;

    QString path(const QString& name) const { return m_dir->filePath(name); }
    QString xml() const { return path(QStringLiteral("Carnet.xml")); }
    QString cip() const { return path(QStringLiteral("Carnet.cip")); }
    QString par() const { return path(QStringLiteral("Carnet.par")); }

    /// The sample database copied into the folder, in plain or ciphered under `key`.
    void install(bool ciphered, const QByteArray& key = kKey)
    {
        QVERIFY(copyFile(test::resourcePath(QStringLiteral("Carnet.par")), par(), true).has_value());
        QVERIFY(copyFile(test::resourcePath(QStringLiteral("Carnet.xml")), xml(), true).has_value());
        if (ciphered) {
            QVERIFY(cipher::cipherFile(xml(), cip(), key, cipher::fastKdfParams()).has_value());
            QVERIFY(QFile::remove(xml()));
        }
    }

    /// The folder's files, by name, sorted.
    QStringList files() const { return QDir(m_dir->path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot); }

    OpenResult open(const QString& file, const QByteArray& key = kKey)
    {
        m_services.setNextFileName(file);
        return openDatabase(*m_session, m_services, key);
    }

    /// Changes F03 of the first record, as the record view does.
    void edit()
    {
        RecordTable& records = m_session->records;
        records.first();
        QVERIFY(records.setValue(records.fieldIndex("F03"), kEdited).has_value());
        QVERIFY(records.post().has_value());
        m_session->modified = true;
    }

    /// Whether the records on disk at `file` (deciphered with `key` when ciphered) hold the edit.
    bool holdsEdit(const QString& file, const QByteArray& key)
    {
        QString plain = file;
        if (file.endsWith(QLatin1String(".cip"))) {
            plain = path(QStringLiteral("check.xml"));
            if (!cipher::decipherFile(file, plain, key))
                return false;
        }
        RecordTable table;
        if (!table.loadFromFile(plain))
            return false;
        QFile::remove(path(QStringLiteral("check.xml")));
        if (!table.setIndexFieldNames("F01;F02")) // the order the edit was made in
            return false;
        table.first();
        return table.text(table.fieldIndex("F03")) == kEdited;
    }

    bool shownText(const QString& text) const { return m_services.texts().contains(text); }

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_session = std::make_unique<Session>();
        m_session->language = 'E';
        m_session->kdfParams = cipher::fastKdfParams();
        m_services.clear();
    }

    void cleanup()
    {
        m_session.reset();
        m_dir.reset();
    }

    void openingAPlainDatabaseShapesTheSession()
    {
        install(false);
        int refreshed = 0;
        m_session->refreshOtherFiles = [&refreshed](Session& opened) {
            QVERIFY(opened.open);
            ++refreshed;
        };
        QCOMPARE(open(xml()), OpenResult::Opened);
        QCOMPARE(refreshed, 1);

        const Session& s = *m_session;
        QVERIFY(s.open);
        QVERIFY(!s.modified);
        QVERIFY(!s.cipheredOpen);
        QVERIFY(s.decipheredCopy.isEmpty());
        QVERIFY(s.openingKey.isEmpty());
        QCOMPARE(s.loadedDataFile, xml());
        QCOMPARE(s.parameterFile, par());
        QCOMPARE(s.recordCount, kCarnetRecords);
        QCOMPARE(s.records.indexFieldNames(), std::string("F01;F02"));
        QVERIFY(!s.records.isFiltered());
        QVERIFY(!saveButtonEnabled(s));
        QVERIFY(fieldTypesButtonEnabled(s));
        QCOMPARE(gridTint(s), GridTint::ButtonFace);

        QCOMPARE(s.fields[0].label, QByteArray("Nom"));
        QCOMPARE(s.fields[1].label, cp1252::fromUnicode(QString::fromUtf8("Prénom")));
        QCOMPARE(s.fields[0].width, 130);
        QVERIFY(s.fields[7].isNumber); // "integr" in the parameter file
        QVERIFY(!s.fields[6].isNumber);
        QVERIFY(!s.fields[8].inUse); // empty label
        QVERIFY(s.fields[21].inUse);
        QVERIFY(s.fields[22].inUse);     // the picture column always shows
        QVERIFY(!s.fields[22].isNumber); // its type is never read
        QVERIFY(s.fields[4].exportTick);

        QCOMPARE(files(), names({"Carnet.par", "Carnet.xml", "Carnet.xml.bak"}));
        QCOMPARE(readAll(xml() + QStringLiteral(".bak")), readAll(xml()));
        QVERIFY(m_services.beeps().contains(Services::Beep::Information));
        QCOMPARE(m_services.dialogs().size(), 1);
        QCOMPARE(m_services.dialogs().first().title, QStringLiteral("Data base to be loaded"));
    }

    void headerFlagsShapeTheVariants_data()
    {
        QTest::addColumn<bool>("ciphered");
        QTest::addColumn<char>("readOnly");
        QTest::addColumn<char>("savePending");
        QTest::addColumn<int>("tint");
        QTest::addColumn<bool>("typesButton");

        QTest::newRow("plain") << false << ' ' << ' ' << int(GridTint::ButtonFace) << true;
        QTest::newRow("plain protected, save pending") << false << 'P' << 'S' << int(GridTint::Red) << false;
        QTest::newRow("ciphered") << true << ' ' << '\0' << int(GridTint::Yellow) << false;
        QTest::newRow("ciphered protected") << true << 'P' << 'S' << int(GridTint::MoneyGreen) << false;
    }

    void headerFlagsShapeTheVariants()
    {
        QFETCH(bool, ciphered);
        QFETCH(char, readOnly);
        QFETCH(char, savePending);
        install(ciphered);
        writeByte(par(), pf::kReadOnlyOffset, readOnly);
        writeByte(par(), pf::kSavePendingOffset, savePending);

        QCOMPARE(open(ciphered ? cip() : xml()), OpenResult::Opened);
        QCOMPARE(m_session->isReadOnly(), readOnly == 'P');
        QCOMPARE(m_session->savePending, savePending == 'S');
        QVERIFY(!m_session->modified);
        QCOMPARE(saveButtonEnabled(*m_session), savePending == 'S');
        QTEST(int(gridTint(*m_session)), "tint");
        QTEST(fieldTypesButtonEnabled(*m_session), "typesButton");
    }

    void openingStops_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QStringList>("after");

        const QStringList pair = names({"Carnet.par", "Carnet.xml"});
        QTest::newRow("dialog cancelled") << qs("cancel") << QString() << pair;
        QTest::newRow("chosen file missing") << qs("missing") << QString() << names({"Carnet.par"});
        QTest::newRow("parameter file missing")
            << qs("no par") << english(Msg::ParameterFileNotFound) << names({"Carnet.xml"});
        QTest::newRow("old 16-field database") << qs("old") << english(Msg::OldSixteenFieldDatabase) << pair;
        QTest::newRow("data file not a packet")
            << qs("garbage") << english(Msg::IncorrectlyFormatted).arg(QStringLiteral("%DIR%/Carnet.xml")) << pair;
        QTest::newRow("capital CIP is taken as a data file")
            << qs("CIP") << english(Msg::IncorrectlyFormatted).arg(QStringLiteral("%DIR%/Carnet.CIP"))
            << names({"Carnet.CIP", "Carnet.par"});
    }

    void openingStops()
    {
        QFETCH(QString, setup);
        QFETCH(QString, message);
        install(setup == QLatin1String("CIP"));
        QString chosen = xml();
        if (setup == QLatin1String("cancel"))
            chosen.clear();
        else if (setup == QLatin1String("missing"))
            QFile::remove(xml());
        else if (setup == QLatin1String("no par"))
            QFile::remove(par());
        else if (setup == QLatin1String("old"))
            writeAll(par(), QByteArray("Fichora V2.3").append(1900, ' '));
        else if (setup == QLatin1String("garbage"))
            writeAll(xml(), "<?xml version=\"1.0\"?><nothing/>");
        else if (setup == QLatin1String("CIP")) {
            chosen = path(QStringLiteral("Carnet.CIP"));
            QVERIFY(QFile::rename(cip(), chosen));
        }

        // A database open before is closed whatever the new opening does.
        QTemporaryDir other;
        QVERIFY(
            copyFile(test::resourcePath(QStringLiteral("Carnet.par")), other.filePath(QStringLiteral("A.par")), true));
        QVERIFY(
            copyFile(test::resourcePath(QStringLiteral("Carnet.xml")), other.filePath(QStringLiteral("A.xml")), true));
        QCOMPARE(open(other.filePath(QStringLiteral("A.xml"))), OpenResult::Opened);
        m_services.clear();

        m_services.setNextFileName(chosen);
        QCOMPARE(openDatabase(*m_session, m_services, kKey), OpenResult::Stopped);
        QVERIFY(!m_session->open);
        QVERIFY(!m_session->records.isOpen());
        QVERIFY(!m_session->cipheredOpen);
        QVERIFY(m_session->loadedDataFile.isEmpty());
        QStringList boxes = m_services.texts();
        boxes.removeFirst(); // the dialog's title
        QCOMPARE(boxes, message.isEmpty()
                            ? QStringList()
                            : QStringList{QString(message).replace(QStringLiteral("%DIR%"), m_dir->path())});
        QTEST(files(), "after");
    }

    void openingACipheredDatabase_data()
    {
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QStringList>("after");

        const QStringList closed = names({"Carnet.cip", "Carnet.par"});
        QTest::newRow("right key") << kKey << QString() << QString()
                                   << names({"Carnet.cip", "Carnet.cip.bak", "Carnet.par", "Carnet.xml"});
        QTest::newRow("wrong key") << kOtherKey << QString() << english(Msg::WrongPassword) << closed;
        QTest::newRow("wrong key, stale plain backup")
            << kOtherKey << qs("stale bak") << english(Msg::WrongPassword) << closed;
        QTest::newRow("empty key box") << QByteArray() << QString() << english(Msg::OpenKeyRequired) << closed;
        QTest::newRow("letters only") << QByteArray("abcdef") << QString() << english(Msg::OpenKeyRequired) << closed;
        QTest::newRow("truncated") << kKey << qs("truncate") << english(Msg::CipheredFileDamaged) << closed;
        QTest::newRow("one byte altered") << kKey << qs("flip") << english(Msg::CipheredFileDamaged) << closed;
        QTest::newRow("right key, not a data file inside")
            << kKey << qs("not data") << english(Msg::WrongPassword) << closed;
    }

    void openingACipheredDatabase()
    {
        QFETCH(QByteArray, key);
        QFETCH(QString, damage);
        QFETCH(QString, message);
        install(true);
        if (damage == QLatin1String("stale bak"))
            writeAll(xml() + QStringLiteral(".bak"), "plain text that must not linger");
        else if (damage == QLatin1String("truncate"))
            writeAll(cip(), readAll(cip()).chopped(100));
        else if (damage == QLatin1String("flip")) {
            QByteArray bytes = readAll(cip());
            bytes[bytes.size() / 2] = static_cast<char>(bytes[bytes.size() / 2] ^ 0x20);
            writeAll(cip(), bytes);
        } else if (damage == QLatin1String("not data")) {
            writeAll(path(QStringLiteral("text.txt")), "not a data packet at all");
            QVERIFY(cipher::cipherFile(path(QStringLiteral("text.txt")), cip(), kKey, cipher::fastKdfParams()));
            QFile::remove(path(QStringLiteral("text.txt")));
        }
        const QByteArray cipheredBefore = readAll(cip());

        const OpenResult result = open(cip(), key);
        QCOMPARE(m_session->openingKey, cipher::keyFingerprint(key)); // kept even when refused
        QVERIFY(!m_services.busy());
        QTEST(files(), "after");
        QCOMPARE(readAll(cip()), cipheredBefore); // nothing ever overwrites the ciphered file
        if (message.isEmpty()) {
            QCOMPARE(result, OpenResult::Opened);
            QVERIFY(m_session->cipheredOpen);
            QCOMPARE(m_session->decipheredCopy, xml());
            QCOMPARE(m_session->loadedDataFile, xml());
            QCOMPARE(m_session->recordCount, kCarnetRecords);
            QCOMPARE(readAll(cip() + QStringLiteral(".bak")), cipheredBefore);
            QCOMPARE(QFileInfo(xml()).permissions() & (QFile::ReadOther | QFile::ReadGroup | QFile::WriteOther),
                     QFile::Permissions());
            QVERIFY(m_services.texts().size() == 1); // the dialog only
        } else {
            QCOMPARE(result, OpenResult::Stopped);
            QVERIFY(!m_session->open);
            QVERIFY(!m_session->cipheredOpen);
            QVERIFY(m_session->decipheredCopy.isEmpty());
            QCOMPARE(m_services.texts().last(), message.contains(QLatin1String("%1")) ? message.arg(cip()) : message);
            QCOMPARE(m_services.shown().last().kind, ScriptedServices::Kind::Error);
        }
    }

    void aDecipheredCopyThatDoesNotLoadIsRemovedAtOnce()
    {
        install(true);
        writeAll(path(QStringLiteral("inner.xml")), "<?xml version=\"1.0\"?><nothing/>");
        QVERIFY(cipher::cipherFile(path(QStringLiteral("inner.xml")), cip(), kKey, cipher::fastKdfParams()));
        QVERIFY(QFile::remove(path(QStringLiteral("inner.xml"))));

        QCOMPARE(open(cip()), OpenResult::Stopped);
        QCOMPARE(m_services.texts().last(), english(Msg::IncorrectlyFormatted).arg(xml()));
        QVERIFY(!m_session->cipheredOpen);
        QVERIFY(m_session->decipheredCopy.isEmpty());
        QCOMPARE(files(), names({"Carnet.cip", "Carnet.cip.bak", "Carnet.par"}));

        // Nothing of the failed opening carries over to the next database.
        QVERIFY(QFile::remove(cip()));
        QVERIFY(copyFile(test::resourcePath(QStringLiteral("Carnet.xml")), xml(), true));
        QCOMPARE(open(xml()), OpenResult::Opened);
        QVERIFY(!m_session->cipheredOpen);
        QVERIFY(closeDatabase(*m_session, m_services));
        QVERIFY(QFileInfo::exists(xml()));
    }

    void openingACipheredDatabaseReplacesAPlainFileOfTheSameName()
    {
        install(true);
        writeAll(xml(), "an older plain file");
        QCOMPARE(open(cip()), OpenResult::Opened);
        QVERIFY(readAll(xml()).startsWith("<?xml version="));
    }

    // Edit, save, close: which of D, D.bak, D.bak2, C, C.bak exist after the save and after the closing,
    // and that the records survive in the file that remains.
    void lifeCycleFiles_data()
    {
        QTest::addColumn<bool>("ciphered");   // opened from the ciphered file
        QTest::addColumn<char>("cipherFlag"); // the parameter file's byte 14 when saving
        QTest::addColumn<QByteArray>("saveKey");
        QTest::addColumn<int>("result");
        QTest::addColumn<bool>("warned"); // the different-key warning
        QTest::addColumn<QStringList>("afterSave");
        QTest::addColumn<QStringList>("afterClose");

        const QStringList plainOpen = names({"Carnet.par", "Carnet.xml", "Carnet.xml.bak"});
        const QStringList cipheredOpen = names({"Carnet.cip", "Carnet.cip.bak", "Carnet.par", "Carnet.xml"});
        const QStringList cipheredDb = names({"Carnet.cip", "Carnet.cip.bak", "Carnet.par"});
        const int saved = int(SaveResult::Saved);
        const int refused = int(SaveResult::Failed);

        QTest::newRow("plain, saved") << false << ' ' << QByteArray() << saved << false << plainOpen << plainOpen;
        QTest::newRow("plain, cipher flag set, first ciphered save (no ciphered opening yet: warning)")
            << false << 'C' << kKey << saved << true << names({"Carnet.cip", "Carnet.par"})
            << names({"Carnet.cip", "Carnet.par"});
        QTest::newRow("plain, cipher flag set, empty key box: nothing written")
            << false << 'C' << QByteArray() << refused << false << plainOpen << plainOpen;
        QTest::newRow("ciphered, same key") << true << 'C' << kKey << saved << false << cipheredDb << cipheredDb;
        QTest::newRow("ciphered, new key (warning)")
            << true << 'C' << kOtherKey << saved << true << cipheredDb << cipheredDb;
        QTest::newRow("ciphered, empty key box: C stays the database")
            << true << 'C' << QByteArray() << refused << false << cipheredOpen << cipheredDb;
        QTest::newRow("ciphered, key of letters only")
            << true << 'C' << QByteArray("abcdef") << refused << false << cipheredOpen << cipheredDb;
        QTest::newRow("ciphered, cipher flag cleared: becomes plain")
            << true << ' ' << QByteArray() << saved << false << cipheredOpen << names({"Carnet.par", "Carnet.xml"});
        QTest::newRow("ciphered, not saved")
            << true << 'C' << QByteArray("-") << -1 << false << cipheredOpen << cipheredDb;
        QTest::newRow("plain, not saved") << false << ' ' << QByteArray("-") << -1 << false << plainOpen << plainOpen;
    }

    void lifeCycleFiles()
    {
        QFETCH(bool, ciphered);
        QFETCH(char, cipherFlag);
        QFETCH(QByteArray, saveKey);
        QFETCH(int, result);
        QFETCH(bool, warned);
        install(ciphered);
        writeByte(par(), pf::kCipherOffset, cipherFlag);
        QCOMPARE(open(ciphered ? cip() : xml()), OpenResult::Opened);
        if (ciphered && cipherFlag == 'C')
            writeAll(xml() + QStringLiteral(".bak2"),
                     "rows from a field-type rewrite"); // a save that ciphers removes it
        edit();
        QVERIFY(saveButtonEnabled(*m_session));
        m_services.clear();

        const bool saving = saveKey != "-";
        if (saving) {
            QCOMPARE(int(saveDatabase(*m_session, m_services, saveKey)), result);
            const bool written = result == int(SaveResult::Saved);
            QCOMPARE(m_session->modified, !written);
            QCOMPARE(saveButtonEnabled(*m_session), !written);
            QCOMPARE(m_session->saved, written);
            QCOMPARE(m_session->savedCiphered, written && cipherFlag == 'C');
            QCOMPARE(m_services.shown().size(), (warned ? 1 : 0) + (written ? 0 : 1));
            if (warned) {
                QCOMPARE(m_services.shown().first().kind, ScriptedServices::Kind::Warning);
                QCOMPARE(m_services.texts().first(), english(Msg::DifferentSaveKey) + QString::fromLatin1(saveKey));
            }
            if (!written)
                QCOMPARE(m_services.texts().last(), english(Msg::SaveKeyRequired));
        }
        QStringList afterSave = files();
        afterSave.removeAll(QStringLiteral("Carnet.xml.bak2"));
        QTEST(afterSave, "afterSave");
        QCOMPARE(QFileInfo::exists(xml() + QStringLiteral(".bak2")),
                 !(saving && m_session->savedCiphered) && ciphered && cipherFlag == 'C');
        QFile::remove(xml() + QStringLiteral(".bak2"));

        const bool wasModified = m_session->modified;
        m_services.clear();
        m_services.setNextAnswer(true);
        QVERIFY(closeDatabase(*m_session, m_services));
        QCOMPARE(m_services.shown().size(), wasModified ? 1 : 0);
        QVERIFY(!m_session->open);
        QVERIFY(!m_session->cipheredOpen);
        QVERIFY(!m_session->saved);
        QVERIFY(m_session->decipheredCopy.isEmpty());
        QVERIFY(m_session->closedOnce);
        QTEST(files(), "afterClose");

        // The database that remains holds the edit exactly when it was saved.
        const QString remaining = QFileInfo::exists(cip()) ? cip() : xml();
        const bool savedCipher = result == int(SaveResult::Saved) && cipherFlag == 'C';
        QCOMPARE(holdsEdit(remaining, savedCipher ? saveKey : kKey), result == int(SaveResult::Saved));
    }

    void theWarningFollowsTheKeyOfTheLastCipheredOpening()
    {
        install(true);
        writeByte(par(), pf::kCipherOffset, 'C');
        QCOMPARE(open(cip()), OpenResult::Opened);
        for (int round = 0; round < 2; ++round) { // a new key warns at every save until reopened with it
            edit();
            m_services.clear();
            QCOMPARE(saveDatabase(*m_session, m_services, kOtherKey), SaveResult::Saved);
            QCOMPARE(m_services.shown().size(), 1);
        }
        QVERIFY(closeDatabase(*m_session, m_services));
        QCOMPARE(open(cip(), kKey), OpenResult::Stopped); // the file now opens with the new key only
        QCOMPARE(open(cip(), kOtherKey), OpenResult::Opened);
        edit();
        m_services.clear();
        QCOMPARE(saveDatabase(*m_session, m_services, kOtherKey), SaveResult::Saved);
        QVERIFY(m_services.shown().isEmpty());
    }

    void savingWithSavePendingClearsTheByte()
    {
        install(false);
        writeByte(par(), pf::kSavePendingOffset, 'S');
        QCOMPARE(open(xml()), OpenResult::Opened);
        QVERIFY(saveButtonEnabled(*m_session));
        QCOMPARE(saveDatabase(*m_session, m_services, {}), SaveResult::Saved);
        QCOMPARE(pf::readSavePending(par()).value_or(true), false);
        QVERIFY(!saveButtonEnabled(*m_session));
    }

    // A save whose data file cannot be written keeps every file as it was and the database modified.
    void aFailedWriteChangesNothing_data()
    {
        QTest::addColumn<bool>("ciphered");
        QTest::newRow("plain") << false;
        QTest::newRow("ciphered") << true;
    }

    void aFailedWriteChangesNothing()
    {
        QFETCH(bool, ciphered);
        install(ciphered);
        writeByte(par(), pf::kCipherOffset, ciphered ? 'C' : ' ');
        QCOMPARE(open(ciphered ? cip() : xml()), OpenResult::Opened);
        edit();
        // A folder in the data file's place cannot be replaced by a file.
        QVERIFY(QFile::remove(xml()));
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("Carnet.xml")));
        const QByteArray cipheredBefore = readAll(cip());
        const QStringList before = files();
        m_services.clear();

        QCOMPARE(saveDatabase(*m_session, m_services, kKey), SaveResult::Failed);
        QVERIFY(m_session->modified);
        QVERIFY(saveButtonEnabled(*m_session));
        QVERIFY(!m_session->saved);
        QCOMPARE(files(), before);
        QCOMPARE(readAll(cip()), cipheredBefore);
        QCOMPARE(m_services.shown().last().kind, ScriptedServices::Kind::Error);
        QVERIFY(m_services.texts().last().startsWith(english(Msg::SaveFailed).section(QLatin1Char('%'), 0, 0) + xml()));
    }

    void aCipheredFileThatCannotBeWrittenKeepsThePlainRecords_data()
    {
        QTest::addColumn<bool>("ciphered");
        QTest::newRow("plain database, cipher flag set") << false;
        QTest::newRow("ciphered database, saved once ciphered") << true;
    }

    void aCipheredFileThatCannotBeWrittenKeepsThePlainRecords()
    {
        QFETCH(bool, ciphered);
        install(ciphered);
        writeByte(par(), pf::kCipherOffset, 'C');
        QCOMPARE(open(ciphered ? cip() : xml()), OpenResult::Opened);
        if (ciphered) { // the plain copy is gone after this save, and comes back at the next
            QCOMPARE(saveDatabase(*m_session, m_services, kKey), SaveResult::Saved);
            QVERIFY(!QFileInfo::exists(xml()));
            QVERIFY(QFile::remove(cip()));
        }
        edit();
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("Carnet.cip")));
        m_services.clear();

        QCOMPARE(saveDatabase(*m_session, m_services, kKey), SaveResult::SavedPlain);
        QVERIFY(m_session->modified);
        QVERIFY(saveButtonEnabled(*m_session));
        QCOMPARE(m_session->savedCiphered, ciphered); // still the last save that completed
        QCOMPARE(m_services.shown().last().kind, ScriptedServices::Kind::Error);
        QVERIFY(m_services.texts().last().startsWith(QStringLiteral("The ciphered file \"%1\"").arg(cip())));
        QVERIFY(holdsEdit(xml(), {}));
        if (ciphered)
            QCOMPARE(QFileInfo(xml()).permissions() & (QFile::ReadOther | QFile::ReadGroup | QFile::WriteOther),
                     QFile::Permissions());
        QCOMPARE(pf::readCipher(par()).value_or(false), true);

        // With no ciphered file to fall back on, closing keeps the only copy of the records.
        m_services.setNextAnswer(true);
        QVERIFY(closeDatabase(*m_session, m_services));
        QVERIFY(holdsEdit(xml(), {}));
    }

    void unsavedChangesQuestion_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<bool>("answer");
        QTest::newRow("open another, Cancel") << qs("open") << false;
        QTest::newRow("open another, Yes") << qs("open") << true;
        QTest::newRow("close, Cancel") << qs("close") << false;
        QTest::newRow("close, Yes") << qs("close") << true;
        QTest::newRow("quit, Cancel") << qs("quit") << false;
        QTest::newRow("quit, Yes") << qs("quit") << true;
    }

    void unsavedChangesQuestion()
    {
        QFETCH(QString, operation);
        QFETCH(bool, answer);
        install(true);
        QCOMPARE(open(cip()), OpenResult::Opened);
        edit();
        m_services.clear();
        m_services.setNextAnswer(answer);
        m_services.setNextFileName(QString()); // the open dialog, if reached, is cancelled

        bool went = false;
        if (operation == QLatin1String("open"))
            went = openDatabase(*m_session, m_services, kKey) != OpenResult::Cancelled;
        else if (operation == QLatin1String("close"))
            went = closeDatabase(*m_session, m_services);
        else
            went = closeMainWindow(*m_session, m_services);

        QCOMPARE(went, answer);
        QCOMPARE(m_services.shown().first().kind, ScriptedServices::Kind::ConfirmYesCancel);
        QCOMPARE(m_services.texts().first(), english(Msg::ForgetModifications));
        QCOMPARE(m_session->open, !answer);
        QCOMPARE(m_session->modified, !answer);
        QCOMPARE(m_session->records.isOpen(), !answer);
        // Forgetting the changes removes the plain copy; keeping them keeps everything.
        QCOMPARE(QFileInfo::exists(xml()), !answer);
        QVERIFY(QFileInfo::exists(cip()));
        if (!answer)
            QCOMPARE(m_session->records.text(m_session->records.fieldIndex("F03")), kEdited);
    }

    void quittingStoresTheExportTicks()
    {
        install(false);
        QCOMPARE(open(xml()), OpenResult::Opened);
        m_session->fields[2].exportTick = false;
        m_session->fields[22].exportTick = false;
        QVERIFY(closeMainWindow(*m_session, m_services));
        QVERIFY(!m_session->open);
        for (int n = 1; n <= pf::kFieldCount; ++n)
            QCOMPARE(pf::readExport(par(), n).value_or(false), n != 3 && n != 23);
    }

    void exportTicksAreForgottenByClosingTheDatabase()
    {
        install(false);
        QCOMPARE(open(xml()), OpenResult::Opened);
        m_session->fields[2].exportTick = false;
        QVERIFY(closeDatabase(*m_session, m_services));
        QCOMPARE(pf::readExport(par(), 3).value_or(false), true);
        QVERIFY(!m_session->fields[0].exportTick);
        QVERIFY(m_session->fields[0].label.isEmpty());
    }

    void quittingWithoutParameterFileStillCloses()
    {
        install(true);
        QCOMPARE(open(cip()), OpenResult::Opened);
        QVERIFY(QFile::remove(par()));
        QVERIFY(closeMainWindow(*m_session, m_services));
        QCOMPARE(m_services.texts().last(), messages::cannotOpenExports(par()));
        QVERIFY(!m_session->open);
        QCOMPARE(files(), names({"Carnet.cip", "Carnet.cip.bak"}));
    }

    void columnWidthsAreWrittenAtTheirOffsets()
    {
        install(false);
        QCOMPARE(open(xml()), OpenResult::Opened);
        std::array<qint32, 23> widths{};
        for (int i = 0; i < 23; ++i)
            widths[static_cast<std::size_t>(i)] = i == 5 ? -7 : 40 + 10 * i;
        const QByteArray before = readAll(par());
        QVERIFY(saveColumnWidths(*m_session, m_services, widths).has_value());
        const QByteArray after = readAll(par());
        QCOMPARE(after.size(), before.size());
        for (int n = 1; n <= pf::kFieldCount; ++n)
            QCOMPARE(pf::readWidth(par(), n).value_or(0), widths[static_cast<std::size_t>(n - 1)]);
        for (qsizetype i = 0; i < after.size(); ++i) { // nothing else moved
            const qint64 rel = i % 80;
            if (rel < 57 || rel > 60)
                QCOMPARE(after[i], before[i]);
        }
        QVERIFY(!m_session->modified);

        QVERIFY(QFile::remove(par()));
        QVERIFY(!saveColumnWidths(*m_session, m_services, widths).has_value());
        QCOMPARE(m_services.texts().last(), messages::cannotOpenWidths(par()));
    }
};

QTEST_GUILESS_MAIN(TestDatabase)
#include "tst_database.moc"
