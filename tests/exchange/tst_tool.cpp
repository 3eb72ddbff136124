#include "db/parameterfile.h"
#include "testdirs.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Run
{
    int status = -1;
    QByteArray out;
    QByteArray err;
};

Run tool(const QStringList& arguments, const QByteArray& input = {}, const QString& directory = {})
{
    QProcess process;
    if (!directory.isEmpty())
        process.setWorkingDirectory(directory);
    process.start(QStringLiteral(FICHORA_TOOL_PATH), arguments);
    process.write(input);
    process.closeWriteChannel();
    process.waitForFinished(60000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, process.readAllStandardOutput(),
            process.readAllStandardError()};
}

} // namespace

class TestTool : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString copySample()
    {
        const QString folder = m_dir.filePath(QStringLiteral("sample"));
        QDir().mkpath(folder);
        for (const char* ext : {"par", "xml"}) {
            const QString target = folder + QStringLiteral("/Carnet.") + QLatin1String(ext);
            QFile::remove(target);
            QFile::copy(fichora::test::resourcePath(QStringLiteral("Carnet.") + QLatin1String(ext)), target);
            QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
        }
        return folder + QStringLiteral("/Carnet.xml");
    }

private Q_SLOTS:
    void usageAndFailures_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::newRow("help") << QStringList{QStringLiteral("--help")} << 0;
        QTest::newRow("nothing") << QStringList{} << 2;
        QTest::newRow("unknown command") << QStringList{QStringLiteral("frobnicate")} << 2;
        QTest::newRow("missing database") << QStringList{QStringLiteral("info"), QStringLiteral("/no/such.xml")} << 1;
        QTest::newRow("bad field number") << QStringList{QStringLiteral("export-text"), QStringLiteral("x.xml"),
                                                         QStringLiteral("--fields"), QStringLiteral("1,24")}
                                          << 1;
    }

    void usageAndFailures()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        const Run run = tool(arguments);
        QCOMPARE(run.status, status);
        if (status != 0)
            QVERIFY(!run.err.isEmpty());
    }

    void exportImportListOnFilesItMakes()
    {
        const QString db = copySample();
        const Run info = tool({QStringLiteral("info"), db});
        QCOMPARE(info.status, 0);
        QVERIFY(info.out.contains("F02\ttext\t110\texport\tPr\xc3\xa9nom")); // UTF-8 on the terminal
        QVERIFY(info.out.contains("records\t30"));

        QCOMPARE(tool({QStringLiteral("export-text"), db, QStringLiteral("--fields"), QStringLiteral("1,2")}).status,
                 0);
        const QByteArray text = fichora::test::readAll(db.chopped(3) + QStringLiteral("txt"));
        QCOMPARE(text.left(11), QByteArray("Nom|Pr\xe9nom|")); // Windows-1252 on disk
        // A second export without --overwrite keeps the first file and fails.
        QCOMPARE(tool({QStringLiteral("export-text"), db, QStringLiteral("--all")}).status, 1);
        QCOMPARE(fichora::test::readAll(db.chopped(3) + QStringLiteral("txt")), text);
        // The notes (F22) hold line breaks, which the text format cannot carry: they stay out.
        QCOMPARE(tool({QStringLiteral("export-text"), db, QStringLiteral("--fields"), QStringLiteral("1,2,3,4,5,6,7,8"),
                       QStringLiteral("--overwrite")})
                     .status,
                 0);

        const QString target = m_dir.filePath(QStringLiteral("imported"));
        QDir().mkpath(target);
        const Run imported = tool({QStringLiteral("import-text"), db.chopped(3) + QStringLiteral("txt"), target});
        QCOMPARE(imported.status, 0);
        QVERIFY(imported.out.contains("It had 30 records"));
        QCOMPARE(tool({QStringLiteral("import-text"), db.chopped(3) + QStringLiteral("txt"), target}).status, 1);
        const QString copy = target + QStringLiteral("/Carnet.xml");
        QCOMPARE(tool({QStringLiteral("info"), copy}).status, 0);

        // The listing of the original and of the imported copy agree (the copy holds text only).
        const Run original = tool({QStringLiteral("list"), db, QStringLiteral("--sort"), QStringLiteral("F05;F01")});
        const Run again = tool({QStringLiteral("list"), copy, QStringLiteral("--sort"), QStringLiteral("F05;F01")});
        QCOMPARE(original.status, 0);
        QCOMPARE(original.err.trimmed(), QByteArray("30"));
        const auto firstEight = [](const QByteArray& listing) {
            QList<QByteArray> lines;
            for (const QByteArray& line : listing.split('\r')) {
                if (line.count('|') >= 21) // a record's start, even when its notes break the line
                    lines.append(line.trimmed().split('|').mid(0, 8).join('|'));
            }
            return lines;
        };
        QCOMPARE(firstEight(again.out).size(), 30);
        QCOMPARE(firstEight(again.out), firstEight(original.out));

        const Run searched =
            tool({QStringLiteral("list"), db, QStringLiteral("--search"), QString::fromUtf8("H\xc3\xa9l\xc3\xa8ne")});
        QCOMPARE(searched.status, 0);
        QVERIFY(searched.out.contains("H\xc3\xa9l\xc3\xa8ne"));
        QVERIFY(searched.err.trimmed().toInt() >= 1);
        QVERIFY(searched.err.trimmed().toInt() < 30);
    }

    void cipherAndDecipher()
    {
        const QString db = copySample();
        const QByteArray plain = fichora::test::readAll(db);
        QCOMPARE(tool({QStringLiteral("cipher"), db}, "k1ab\n").status, 0);
        const QString ciphered = db.chopped(3) + QStringLiteral("cip");
        QVERIFY(QFile::exists(ciphered));
        QVERIFY(!QFile::exists(db));
        QCOMPARE(fichora::parameterfile::readCipher(db.chopped(3) + QStringLiteral("par")).value(), true);
        QCOMPARE(tool({QStringLiteral("list"), ciphered}, "k1ab\n").err.trimmed(), QByteArray("30"));
        QCOMPARE(tool({QStringLiteral("decipher"), ciphered}, "zz99\n").status, 1);
        QVERIFY(!QFile::exists(db));
        QCOMPARE(tool({QStringLiteral("decipher"), ciphered}, "k1ab\n").status, 0);
        QCOMPARE(fichora::test::readAll(db), plain);
    }
};

QTEST_GUILESS_MAIN(TestTool)
#include "tst_tool.moc"
