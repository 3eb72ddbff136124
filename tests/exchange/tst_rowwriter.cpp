#include "app/session.h"
#include "db/datafile.h"
#include "db/parameterfile.h"
#include "exchange/rowwriter.h"
#include "platform/datapacket.h"
#include "scriptedservices.h"
#include "testdirs.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace fichora;

class TestRowWriter : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    Session programSession()
    {
        Session session;
        session.language = 'E';
        session.programDirectory = m_dir.path() + QStringLiteral("/");
        for (const char* name : {"Fichora_par.ref", "Fichora_xml.ref"})
            QFile::copy(test::resourcePath(QLatin1String(name)), session.programDirectory + QLatin1String(name));
        return session;
    }

private Q_SLOTS:
    void escaping_data()
    {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<QByteArray>("written");
        QTest::newRow("ampersand and quotes") << QByteArray("a&\"b\"") << QByteArray("a&amp;&quot;b&quot;");
        QTest::newRow("other specials") << QByteArray("'<>") << QByteArray("&apos;&lt;&gt;");
        QTest::newRow("picture path") << QByteArray("C:\\P\\a.jpg|b.jpg") << QByteArray("C:&#092;P&#092;a.jpg|b.jpg");
        QTest::newRow("line breaks raw, tab and controls as ?")
            << QByteArray("a\r\nb\tc\x01\x1f", 9) << QByteArray("a\r\nb?c???");
        QTest::newRow("accents and euro") << QByteArray("\xe9\x80\xff") << QByteArray("&#233;&#128;&#255;");
        // The typographic bytes that French text is full of survive as references.
        QTest::newRow("129 to 160") << QByteArray("\x9c\x92\x85\x96\xa0")
                                    << QByteArray("&#156;&#146;&#133;&#150;&#160;");
        QTest::newRow("DEL and plain ASCII") << QByteArray("x~\x7f") << QByteArray("x~\x7f");
    }

    void escaping()
    {
        QFETCH(QByteArray, value);
        QFETCH(QByteArray, written);
        std::string out;
        rowwriter::appendValue(out, std::string_view(value.constData(), static_cast<std::size_t>(value.size())));
        QCOMPARE(QByteArray::fromStdString(out), written);
    }

    void savedPacketKeepsItsOwnLineBreaks()
    {
        // The shared table keeps the record table's spelling of tab, line breaks and backslash.
        std::string out;
        appendEscapedValue(out, std::string_view("a\r\n\t\\\x9c", 6));
        QCOMPARE(QByteArray::fromStdString(out), QByteArray("a&#013;&#010;&#009;\\&#156;"));
    }

    void rowText()
    {
        std::array<std::string_view, 23> values{};
        values[0] = "Dupont";
        values[1] = "R&D";
        values[22] = "a\\b";
        std::string out;
        rowwriter::appendRow(out, values);
        rowwriter::appendRow(out, {});
        QByteArray expected = "<ROW F01=\"Dupont\" F02=\"R&amp;D\"";
        for (int n = 3; n <= 22; ++n)
            expected += QStringLiteral(" F%1=\"\"").arg(n, 2, 10, QLatin1Char('0')).toLatin1();
        expected += " F23=\"a&#092;b\"/>";
        QByteArray empty = "<ROW F01=\"\"";
        for (int n = 2; n <= 23; ++n)
            empty += QStringLiteral(" F%1=\"\"").arg(n, 2, 10, QLatin1Char('0')).toLatin1();
        empty += "/>";
        QCOMPARE(QByteArray::fromStdString(out), expected + empty);
    }

    void targets_data()
    {
        QTest::addColumn<QString>("imported");
        QTest::addColumn<QString>("base");
        QTest::newRow("txt") << QStringLiteral("/home/u/docs/addr.txt") << QStringLiteral("addr.");
        QTest::newRow("csv, whatever the last three") << QStringLiteral("/x/club.csv") << QStringLiteral("club.");
        QTest::newRow("no folder") << QStringLiteral("a.dbf") << QStringLiteral("a.");
        QTest::newRow("long") << QStringLiteral("/d/") + QString(1200, QLatin1Char('n')) + QStringLiteral(".txt")
                              << QString(999, QLatin1Char('n'));
    }

    void targets()
    {
        QFETCH(QString, imported);
        QFETCH(QString, base);
        const auto targets = rowwriter::targetsFor(QStringLiteral("/prog/"), imported);
        QCOMPARE(targets.parameterFile, QStringLiteral("/prog/") + base + QStringLiteral("par"));
        QCOMPARE(targets.dataFile, QStringLiteral("/prog/") + base + QStringLiteral("xml"));
    }

    void streamWritesRowsAndPacketEnd()
    {
        const QByteArray templ = test::readAll(test::resourcePath(QStringLiteral("Fichora_xml.ref")));
        QCOMPARE(templ.size(), datafile::kTemplateSize);
        for (const int rows : {0, 2}) {
            QByteArray bytes = templ;
            QBuffer buffer(&bytes);
            QVERIFY(buffer.open(QIODevice::ReadWrite));
            rowwriter::RowStream stream(buffer);
            for (int i = 0; i < rows; ++i) {
                rowwriter::appendRow(stream.buffer(), {});
                QVERIFY(stream.rowDone().has_value());
            }
            QVERIFY(stream.finish().has_value());
            if (rows == 0) {
                QCOMPARE(bytes, templ);
            } else {
                std::string row;
                rowwriter::appendRow(row, {});
                QCOMPARE(bytes, templ.left(datafile::kRowsOffset) + QByteArray::fromStdString(row + row) +
                                    datafile::kPacketEnd);
            }
        }
    }

    void streamReportsWriteFailure()
    {
        QByteArray bytes(2000, 'x');
        QBuffer buffer(&bytes);
        QVERIFY(buffer.open(QIODevice::ReadOnly)); // every write fails
        rowwriter::RowStream stream(buffer);
        rowwriter::appendRow(stream.buffer(), {});
        QVERIFY(!stream.finish().has_value());
    }

    void parameterFileLabels()
    {
        Session session = programSession();
        test::ScriptedServices services;
        const QString path = m_dir.filePath(QStringLiteral("labels.par"));
        std::array<std::optional<QByteArray>, 22> labels;
        labels[0] = QByteArray("Nom");
        labels[4] = QByteArray("ABCDEFGHIJKLMNO"); // 15 characters
        QVERIFY(rowwriter::createParameterFile(session, services, path, labels));
        const QByteArray templ = test::readAll(session.programDirectory + QStringLiteral("Fichora_par.ref"));
        QByteArray expected = templ;
        expected.replace(41, 4, QByteArray("Nom\0", 4));
        expected.replace(parameterfile::labelOffset(5), 16, QByteArray("ABCDEFGHIJKLMNO\0", 16));
        expected.replace(1801, 6, QByteArray("Photo\0", 6));
        QCOMPARE(test::readAll(path), expected);
        QCOMPARE(expected.at(80 * 4 + 56), '\0');

        // A second creation refuses to replace it.
        QVERIFY(!rowwriter::createParameterFile(session, services, path, labels));
        QCOMPARE(services.shown().last().kind, test::ScriptedServices::Kind::Error);
        QCOMPARE(services.texts().last(),
                 QStringLiteral("The file \"%1\" already exist. \nDestroy the old database or rename the file to "
                                "import.")
                     .arg(path));
        QCOMPARE(test::readAll(path), expected);
    }

    void missingTemplateIsR1()
    {
        Session session;
        session.language = 'F';
        session.programDirectory = m_dir.path() + QStringLiteral("/nowhere/");
        test::ScriptedServices services;
        const QString path = m_dir.filePath(QStringLiteral("none.xml"));
        QVERIFY(!rowwriter::createDataFile(session, services, path));
        QVERIFY(
            services.texts().last().startsWith(QStringLiteral("Le fichier \"") + path + QStringLiteral("\" existe")));
        QVERIFY(!QFile::exists(path));
    }

    void successMessages()
    {
        Session session;
        session.language = 'E';
        QCOMPARE(rowwriter::successMessage(session, QStringLiteral("/a/b.txt"), 3, QStringLiteral("/p/b.xml"), true),
                 QStringLiteral("The file \n\"/a/b.txt\" \nhas been imported.\n\nIt had 3 records.\n\nYou can now open "
                                "the database \n\"/p/b.xml\"."));
        QVERIFY(rowwriter::successMessage(session, QStringLiteral("x"), 0, QStringLiteral("y"), false)
                    .contains(QStringLiteral(" records.\n\nYou now can open the database \n\"")));
        session.language = 'F';
        QCOMPARE(rowwriter::successMessage(session, QStringLiteral("x"), 12, QStringLiteral("y"), true),
                 QString::fromUtf8("Le fichier \n\"x\" \na été importé.\n\nIl contenait 12 fiches.\n\nVous pouvez à "
                                   "présent ouvrir la base de données \n\"y\"."));
    }
};

QTEST_GUILESS_MAIN(TestRowWriter)
#include "tst_rowwriter.moc"
