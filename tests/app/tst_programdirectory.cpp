#include "app/programdirectory.h"
#include "app/session.h"
#include "browse/picturelist.h"
#include "db/database.h"
#include "platform/cp1252.h"
#include "platform/datapacket.h"
#include "platform/recordtable.h"
#include "scriptedservices.h"
#include "testdirs.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace fichora;
using fichora::test::ScriptedServices;

namespace {

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

/// The shipped folder as the build tree lays it out beside the executables.
QString buildShare(const QString& name = {})
{
    return QDir(QStringLiteral(FICHORA_BUILD_SHARE_DIR)).filePath(name);
}

QString suffixOf(const std::string& name)
{
    return QFileInfo(cp1252::toUnicode(name)).suffix().toLower();
}

} // namespace

class TestProgramDirectory : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString path(const QString& name) const { return QDir(m_dir->path()).filePath(name); }

    void ship(const QString& name, const QByteArray& bytes)
    {
        QVERIFY(QDir().mkpath(QFileInfo(path(QStringLiteral("shipped/") + name)).path()));
        writeFile(path(QStringLiteral("shipped/") + name), bytes);
    }

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }

    void firstStartCreatesAndFillsTheUserFolder()
    {
        ship(QStringLiteral("Fichora_conf.ref"), "conf");
        ship(QStringLiteral("Fichora_par.ref"), "par");
        const ProgramLocations locations{path(QStringLiteral("user/Fichora")), path(QStringLiteral("shipped"))};

        const ProgramDirectory directory = setUpProgramDirectory(locations);

        QVERIFY(directory.ok);
        QCOMPARE(directory.path, path(QStringLiteral("user/Fichora/")));
        QCOMPARE(readFile(path(QStringLiteral("user/Fichora/Fichora_conf.ref"))), QByteArray("conf"));
        QCOMPARE(readFile(path(QStringLiteral("user/Fichora/Fichora_par.ref"))), QByteArray("par"));
    }

    void laterStartsAddMissingFilesAndKeepTheUsersOnes()
    {
        ship(QStringLiteral("Fichora_conf.ref"), "shipped conf");
        ship(QStringLiteral("Smiley.bmp"), "picture");
        ship(QLatin1String(kSampleDataFile), readFile(test::resourcePath(QLatin1String(kSampleDataFile))));
        ship(QStringLiteral("Carnet/portrait.jpg"), "shipped portrait");
        ship(QStringLiteral("Carnet/letters/note.txt"), "note");
        QDir().mkpath(path(QStringLiteral("user/Carnet")));
        writeFile(path(QStringLiteral("user/Fichora_conf.ref")), "user's language and skin");
        writeFile(path(QStringLiteral("user/Carnet/portrait.jpg")), "user's portrait");
        // The user's own address book, even one that still names pictures relative to the folder.
        const QByteArray usersSample = readFile(path(QStringLiteral("shipped/Carnet.xml"))) + "\r\n";
        writeFile(path(QStringLiteral("user/Carnet.xml")), usersSample);

        const ProgramDirectory directory =
            setUpProgramDirectory({path(QStringLiteral("user")), path(QStringLiteral("shipped"))});

        QVERIFY(directory.ok);
        QVERIFY(directory.path.endsWith(QLatin1Char('/')));
        QCOMPARE(readFile(path(QStringLiteral("user/Fichora_conf.ref"))), QByteArray("user's language and skin"));
        QCOMPARE(readFile(path(QStringLiteral("user/Smiley.bmp"))), QByteArray("picture"));
        QCOMPARE(readFile(path(QStringLiteral("user/Carnet/portrait.jpg"))), QByteArray("user's portrait"));
        QCOMPARE(readFile(path(QStringLiteral("user/Carnet/letters/note.txt"))), QByteArray("note"));
        QCOMPARE(readFile(path(QStringLiteral("user/Carnet.xml"))), usersSample);
    }

    void firstStartAnchorsTheSamplePicturesInTheUserFolder()
    {
        // An accent Windows-1252 holds: the names must come back as the same full paths.
        const QString user = path(QStringLiteral(u"Donn\u00e9es/Fichora"));
        const ProgramDirectory directory = setUpProgramDirectory({user, buildShare()});
        QVERIFY(directory.ok);
        QVERIFY2(directory.sampleNote.isEmpty(), qPrintable(directory.sampleNote));

        // The picture folder arrives whole.
        const QStringList shippedFiles = QDir(buildShare(QStringLiteral("Carnet"))).entryList(QDir::Files);
        QVERIFY(shippedFiles.size() >= 20);
        QCOMPARE(QDir(user + QStringLiteral("/Carnet")).entryList(QDir::Files), shippedFiles);

        TableStore shipped;
        TableStore seeded;
        QVERIFY(loadDataPacket(buildShare(QLatin1String(kSampleDataFile)), shipped).has_value());
        const QString sample = QDir(user).filePath(QLatin1String(kSampleDataFile));
        QVERIFY(loadDataPacket(sample, seeded).has_value());
        QCOMPARE(seeded.order().size(), shipped.order().size());
        QCOMPARE(seeded.fieldCount(), shipped.fieldCount());
        const int pictures = seeded.fieldIndex("F23");
        QCOMPARE(pictures, 22);

        const QString userRoot = QDir(user).absolutePath() + QLatin1Char('/');
        int anchored = 0;
        bool tenWithTextAndPdf = false;
        for (std::size_t r = 0; r < seeded.order().size(); ++r) {
            const RowId before = shipped.order()[r];
            const RowId after = seeded.order()[r];
            for (int f = 0; f < pictures; ++f)
                QVERIFY2(seeded.value(after, f) == shipped.value(before, f), qPrintable(QString::number(f + 1)));

            const std::string_view oldList = shipped.text(before, pictures);
            const std::string_view newList = seeded.text(after, pictures);
            QCOMPARE(picturelist::formOf(newList), picturelist::formOf(oldList));
            const picturelist::Names oldNames = picturelist::read(oldList);
            const picturelist::Names newNames = picturelist::read(newList);
            QStringList suffixes;
            for (int k = 0; k < picturelist::kSlotCount; ++k) {
                const auto slot = static_cast<std::size_t>(k);
                QCOMPARE(newNames[slot].empty(), oldNames[slot].empty());
                if (newNames[slot].empty())
                    continue;
                const QString name = cp1252::toUnicode(newNames[slot]);
                QCOMPARE(name, userRoot + cp1252::toUnicode(oldNames[slot]));
                QVERIFY2(QFileInfo(name).isFile(), qPrintable(name));
                suffixes.append(suffixOf(newNames[slot]));
                ++anchored;
            }
            tenWithTextAndPdf = tenWithTextAndPdf ||
                                (suffixes.size() == picturelist::kSlotCount &&
                                 suffixes.contains(QStringLiteral("txt")) && suffixes.contains(QStringLiteral("pdf")));
        }
        QVERIFY(anchored > 0);
        QVERIFY(tenWithTextAndPdf);

        // The program opens it like any database of its own.
        Session session;
        session.language = 'E';
        session.programDirectory = directory.path;
        ScriptedServices services;
        QCOMPARE(openDatabaseFile(session, services, sample, {}), OpenResult::Opened);
        QCOMPARE(session.recordCount, static_cast<int>(shipped.order().size()));
        QVERIFY(services.shown().isEmpty());
        runCloseSteps(session);

        // A second start finds it there and leaves it be.
        const QByteArray firstBytes = readFile(sample);
        QVERIFY(setUpProgramDirectory({user, buildShare()}).ok);
        QCOMPARE(readFile(sample), firstBytes);
    }

    void aSampleThatCannotBeAnchoredStaysAsShipped_data()
    {
        QTest::addColumn<QString>("userFolder");
        QTest::addColumn<QByteArray>("shippedSample");
        const QByteArray sample = readFile(test::resourcePath(QLatin1String(kSampleDataFile)));
        QTest::newRow("a folder Windows-1252 cannot spell") << QStringLiteral(u"\u7528\u6237/Fichora") << sample;
        QTest::newRow("not a data packet") << QStringLiteral("user/Fichora") << QByteArray("<ROWDATA>not a packet");
    }

    void aSampleThatCannotBeAnchoredStaysAsShipped()
    {
        QFETCH(QString, userFolder);
        QFETCH(QByteArray, shippedSample);
        ship(QStringLiteral("Fichora_conf.ref"), "conf");
        ship(QLatin1String(kSampleDataFile), shippedSample);

        const ProgramDirectory directory = setUpProgramDirectory({path(userFolder), path(QStringLiteral("shipped"))});

        QVERIFY(directory.ok);
        QVERIFY(!directory.sampleNote.isEmpty());
        QCOMPARE(readFile(path(userFolder + QLatin1Char('/') + QLatin1String(kSampleDataFile))), shippedSample);
        // Nothing left behind by the rewrite that did not happen.
        QCOMPARE(QDir(path(userFolder)).entryList(QDir::Files | QDir::Hidden).size(), 2);
    }

    void failureFallsBack_data()
    {
        QTest::addColumn<bool>("shippedExists");
        QTest::newRow("to the shipped folder") << true;
        QTest::newRow("to the current directory") << false;
    }

    void failureFallsBack()
    {
        QFETCH(bool, shippedExists);
        if (shippedExists)
            ship(QStringLiteral("Fichora_conf.ref"), "conf");
        // A plain file where the folder should be: it can be neither made nor filled.
        writeFile(path(QStringLiteral("blocked")), "not a folder");
        QDir::setCurrent(m_dir->path());

        const ProgramDirectory directory =
            setUpProgramDirectory({path(QStringLiteral("blocked/Fichora")), path(QStringLiteral("shipped"))});

        QVERIFY(!directory.ok);
        QCOMPARE(directory.failedFolder, path(QStringLiteral("blocked/Fichora")));
        const QString expected =
            shippedExists ? path(QStringLiteral("shipped/")) : QDir::currentPath() + QLatin1Char('/');
        QCOMPARE(directory.path, expected);
    }

    void anEmptyUserFolderWithoutShippedFilesIsAFailure()
    {
        const ProgramDirectory directory =
            setUpProgramDirectory({path(QStringLiteral("user")), path(QStringLiteral("nowhere"))});
        QVERIFY(!directory.ok);
    }

    void defaultLocationsArePerUserAndBesideTheExecutable()
    {
        QStandardPaths::setTestModeEnabled(true);
        QCoreApplication::setApplicationName(QStringLiteral("Fichora"));
        const ProgramLocations locations = defaultProgramLocations();
        QVERIFY2(locations.userDirectory.endsWith(QStringLiteral("/Fichora")), qPrintable(locations.userDirectory));
        QCOMPARE(locations.shippedDirectory,
                 QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../share/fichora")));
    }
};

QTEST_GUILESS_MAIN(TestProgramDirectory)
#include "tst_programdirectory.moc"
