#include "app/programdirectory.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace fichora;

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

} // namespace

class TestProgramDirectory : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString path(const QString& name) const { return QDir(m_dir->path()).filePath(name); }

    void ship(const QString& name, const QByteArray& bytes)
    {
        QDir().mkpath(path(QStringLiteral("shipped")));
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
        QDir().mkpath(path(QStringLiteral("user")));
        writeFile(path(QStringLiteral("user/Fichora_conf.ref")), "user's language and skin");

        const ProgramDirectory directory =
            setUpProgramDirectory({path(QStringLiteral("user")), path(QStringLiteral("shipped"))});

        QVERIFY(directory.ok);
        QVERIFY(directory.path.endsWith(QLatin1Char('/')));
        QCOMPARE(readFile(path(QStringLiteral("user/Fichora_conf.ref"))), QByteArray("user's language and skin"));
        QCOMPARE(readFile(path(QStringLiteral("user/Smiley.bmp"))), QByteArray("picture"));
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
