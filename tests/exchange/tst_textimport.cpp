#include "app/session.h"
#include "db/datafile.h"
#include "db/parameterfile.h"
#include "exchange/rowwriter.h"
#include "exchange/textimport.h"
#include "platform/recordtable.h"
#include "scriptedservices.h"
#include "testdirs.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace fichora;
using Kind = test::ScriptedServices::Kind;

namespace {

QByteArray header(const QByteArray& labels)
{
    QByteArray h = labels;
    h.append(368 - h.size(), '\0');
    return h + "\r\n";
}

QByteArray bars22(const QByteArray& first = {})
{
    return first + QByteArray(22, '|');
}

} // namespace

class TestTextImport : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_program;
    QByteArray m_xmlTemplate;

    Session session()
    {
        Session s;
        s.language = 'E';
        s.programDirectory = m_program;
        return s;
    }

    QString source(const QString& name, const QByteArray& bytes)
    {
        const QString path = m_dir.filePath(QStringLiteral("in/") + name);
        test::writeAll(path, bytes);
        return path;
    }

    QByteArray rowsOf(const QString& dataFile)
    {
        const QByteArray all = test::readAll(dataFile);
        return all.mid(datafile::kRowsOffset, all.size() - datafile::kRowsOffset - datafile::kPacketEndLength);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("in")));
        QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("prog")));
        m_program = m_dir.filePath(QStringLiteral("prog/"));
        for (const char* name : {"Fichora_par.ref", "Fichora_xml.ref"})
            QVERIFY(QFile::copy(test::resourcePath(QLatin1String(name)), m_program + QLatin1String(name)));
        m_xmlTemplate = test::readAll(m_program + QStringLiteral("Fichora_xml.ref"));
    }

    void labels_data()
    {
        QTest::addColumn<QByteArray>("head");
        QTest::addColumn<bool>("valid");
        QTest::newRow("15 characters") << QByteArray("ABCDEFGHIJKLMNO|") + QByteArray(21, '|') << true;
        QTest::newRow("16 characters") << QByteArray("ABCDEFGHIJKLMNOP|") + QByteArray(21, '|') << false;
        QTest::newRow("too few bars, zero bytes run on") << QByteArray("a|b|c") << false;
        QTest::newRow("empty labels") << QByteArray(22, '|') << true;
    }

    void labels()
    {
        QFETCH(QByteArray, head);
        QFETCH(bool, valid);
        QByteArray bytes = header(head);
        QBuffer buffer(&bytes);
        QVERIFY(buffer.open(QIODevice::ReadOnly));
        const auto labels = textimport::readLabels(buffer);
        QCOMPARE(labels.has_value(), valid);
        if (valid)
            QCOMPARE(labels->at(0), head.left(head.indexOf('|')));
    }

    void records_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QList<QByteArray>>("firstValues"); // F01, F02, F23 of each record
        QTest::addColumn<qint64>("records");
        QTest::newRow("none") << QByteArray() << QList<QByteArray>{} << qint64(0);
        QTest::newRow("all empty") << bars22() + "\r\n" << QList<QByteArray>{"", "", ""} << qint64(1);
        QTest::newRow("F23 keeps its bars") << bars22("a") + "p1.jpg|p2.jpg|\r\n"
                                            << QList<QByteArray>{"a", "", "p1.jpg|p2.jpg|"} << qint64(1);
        QTest::newRow("escaped") << QByteArray("x&\"<\t") + QByteArray(22, '|') + "C:\\a\r\n"
                                 << QList<QByteArray>{"x&amp;&quot;&lt;?", "", "C:&#092;a"} << qint64(1);
        QTest::newRow("three") << bars22("1") + "\r\n" + bars22("2") + "\r\n" + bars22("3") + "\r\n"
                               << QList<QByteArray>{"1", "", "", "2", "", "", "3", "", ""} << qint64(3);
        // The file may end inside a record: that record is kept, and the import ends.
        QTest::newRow("no final line end") << bars22("1") + "z" << QList<QByteArray>{"1", "", "z"} << qint64(1);
        QTest::newRow("ends inside F02") << QByteArray("1|ab") << QList<QByteArray>{"1", "ab", ""} << qint64(1);
        // A short line: its carriage return ends F02, F03 starts with the line feed and takes the next line.
        QTest::newRow("short line shifts") << QByteArray("a|b\r\nc") + QByteArray(20, '|') + "\r\n"
                                           << QList<QByteArray>{"a", "b", ""} << qint64(1);
    }

    void records()
    {
        QFETCH(QByteArray, body);
        QFETCH(QList<QByteArray>, firstValues);
        QFETCH(qint64, records);
        QByteArray text = header(QByteArray(22, '|')) + body;
        QBuffer in(&text);
        QVERIFY(in.open(QIODevice::ReadOnly));
        QByteArray data = m_xmlTemplate;
        QBuffer out(&data);
        QVERIFY(out.open(QIODevice::ReadWrite));
        const auto converted = textimport::convertRecords(in, out);
        QVERIFY(converted.has_value());
        QCOMPARE(converted->records, records);
        QVERIFY(data.endsWith(datafile::kPacketEnd));
        QVERIFY(data.startsWith(m_xmlTemplate.left(datafile::kRowsOffset)));
        if (records == 0)
            QCOMPARE(data, m_xmlTemplate);
        const QByteArray rows = data.mid(datafile::kRowsOffset);
        QCOMPARE(rows.count("<ROW "), records);
        for (qsizetype r = 0; r < firstValues.size() / 3; ++r) {
            const qsizetype row = [&] {
                qsizetype at = -1;
                for (qsizetype k = 0; k <= r; ++k)
                    at = rows.indexOf("<ROW ", at + 1);
                return at;
            }();
            QVERIFY(rows.mid(row).startsWith("<ROW F01=\"" + firstValues[r * 3] + "\" F02=\"" + firstValues[r * 3 + 1] +
                                             "\""));
            const qsizetype f23 = rows.indexOf(" F23=\"", row);
            QVERIFY(rows.mid(f23).startsWith(" F23=\"" + firstValues[r * 3 + 2] + "\"/>"));
        }
    }

    void shortLineKeepsTheLineFeed()
    {
        QByteArray text = header(QByteArray(22, '|')) + "a|b\r\nc" + QByteArray(20, '|') + "\r\n";
        QBuffer in(&text);
        QVERIFY(in.open(QIODevice::ReadOnly));
        QByteArray data = m_xmlTemplate;
        QBuffer out(&data);
        QVERIFY(out.open(QIODevice::ReadWrite));
        QVERIFY(textimport::convertRecords(in, out).has_value());
        QVERIFY(data.contains("F02=\"b\" F03=\"\nc\" F04=\"\""));
    }

    void writeFailureIsReported()
    {
        QByteArray text = header(QByteArray(22, '|')) + bars22("a") + "\r\n";
        QBuffer in(&text);
        QVERIFY(in.open(QIODevice::ReadOnly));
        QByteArray data = m_xmlTemplate;
        QBuffer out(&data);
        QVERIFY(out.open(QIODevice::ReadOnly));
        QVERIFY(!textimport::convertRecords(in, out).has_value());
    }

    void wholeImport()
    {
        Session s = session();
        test::ScriptedServices services;
        const QString path =
            source(QStringLiteral("club.csv"), header("Nom|Pr\xe9nom|" + QByteArray(20, '|') + "Photo") + bars22("A") +
                                                   "\r\n" + bars22("B") + "\r\n" + bars22("C") + "\r\n");
        services.setNextFileName(path);
        QList<QString> captions;
        int hidden = 0;
        ProgressLine line{[&](const QString& c) { captions.append(c); }, {}, [&] { ++hidden; }};
        QVERIFY(textimport::importText(s, services, line));
        QCOMPARE(services.dialogs().last().directory, m_program);
        QCOMPARE(services.dialogs().last().title, QStringLiteral("Delimited text file to import"));
        QCOMPARE(captions, QList<QString>{QStringLiteral("Importing Ascii file...")});
        QCOMPARE(hidden, 1);
        const QString par = m_program + QStringLiteral("club.par");
        const QString xml = m_program + QStringLiteral("club.xml");
        QCOMPARE(services.shown().last().kind, Kind::Information);
        QCOMPARE(services.texts().last(),
                 QStringLiteral("The file \n\"%1\" \nhas been imported.\n\nIt had 3 records.\n\nYou can now open the "
                                "database \n\"%2\".")
                     .arg(path, xml));
        QCOMPARE(parameterfile::readLabel(par, 1).value(), QByteArray("Nom"));
        QCOMPARE(parameterfile::readLabel(par, 2).value(), QByteArray("Pr\xe9nom"));
        QCOMPARE(parameterfile::readLabel(par, 3).value(), QByteArray());
        QCOMPARE(parameterfile::readLabel(par, 23).value(), QByteArray("Photo"));
        RecordTable table;
        QVERIFY(table.loadFromFile(xml).has_value());
        QCOMPARE(table.recordCount(), 3);

        // A second import of the same file stops at once with R1 naming the parameter file.
        const QByteArray parBefore = test::readAll(par);
        const QByteArray xmlBefore = test::readAll(xml);
        services.clear();
        services.setNextFileName(path);
        QVERIFY(!textimport::importText(s, services));
        QCOMPARE(services.shown().size(), 2); // the dialog, then R1
        QCOMPARE(services.shown().last().kind, Kind::Error);
        QVERIFY(services.texts().last().startsWith(QStringLiteral("The file \"") + par + QStringLiteral("\" already")));
        QCOMPARE(test::readAll(par), parBefore);
        QCOMPARE(test::readAll(xml), xmlBefore);
    }

    void failures_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content"); // empty: the file does not exist
        QTest::addColumn<QString>("existing");   // a file made before the import, in the program directory
        QTest::addColumn<QString>("shownText");
        QTest::addColumn<bool>("parameterStays");
        QTest::addColumn<bool>("dataStays");
        QTest::newRow("unreadable") << QStringLiteral("gone.txt") << QByteArray() << QString()
                                    << QStringLiteral("Cannot read text file to import") << false << false;
        QTest::newRow("label too long") << QStringLiteral("long.txt")
                                        << header("ABCDEFGHIJKLMNOP" + QByteArray(22, '|')) << QString()
                                        << QStringLiteral(
                                               "Invalid format of text file\n\nGive-up for importation of %1")
                                        << false << false;
        QTest::newRow("data file exists")
            << QStringLiteral("taken.txt") << header(QByteArray(22, '|')) << QStringLiteral("taken.xml")
            << QStringLiteral("The file \"%1\" already exist. \nDestroy the old database "
                              "or rename the file to import.")
            << true << true;
    }

    void failures()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(QString, existing);
        QFETCH(QString, shownText);
        QFETCH(bool, parameterStays);
        QFETCH(bool, dataStays);
        const QString path = content.isEmpty() ? m_dir.filePath(QStringLiteral("in/") + name) : source(name, content);
        const auto targets = rowwriter::targetsFor(m_program, path);
        if (!existing.isEmpty())
            test::writeAll(m_program + existing, "old");
        Session s = session();
        test::ScriptedServices services;
        QVERIFY(!textimport::importFile(s, services, path, m_program));
        const QString expected = !shownText.contains(QLatin1String("%1")) ? shownText
                                 : existing.isEmpty()                     ? shownText.arg(path)
                                                                          : shownText.arg(targets.dataFile);
        QCOMPARE(services.texts(), QStringList{expected});
        QCOMPARE(QFile::exists(targets.parameterFile), parameterStays);
        QCOMPARE(QFile::exists(targets.dataFile), dataStays);
        if (!existing.isEmpty())
            QCOMPARE(test::readAll(m_program + existing), QByteArray("old"));
    }

    void abandonRemovesTheNewFiles()
    {
        Session s = session();
        test::ScriptedServices services;
        QByteArray body;
        for (int i = 0; i < 5; ++i)
            body += bars22("r") + "\r\n";
        const QString path = source(QStringLiteral("stop.txt"), header(QByteArray(22, '|')) + body);
        ProgressLine line;
        int hidden = 0;
        line.hide = [&] { ++hidden; };
        s.abandon = true; // left over: the import clears it before its first row
        int rows = 0;
        line.advance = [&](qint64, qint64) { ++rows; };
        QVERIFY(textimport::importFile(s, services, path, m_program, line));
        QVERIFY(QFile::remove(m_program + QStringLiteral("stop.par")));
        QVERIFY(QFile::remove(m_program + QStringLiteral("stop.xml")));

        // The abandon button pressed while rows are written: a flag seen after the row.
        QByteArray text = header(QByteArray(22, '|')) + body;
        QBuffer in(&text);
        QVERIFY(in.open(QIODevice::ReadOnly));
        QByteArray data = m_xmlTemplate;
        QBuffer out(&data);
        QVERIFY(out.open(QIODevice::ReadWrite));
        int seen = 0;
        const auto converted = textimport::convertRecords(in, out, [&](qint64, qint64) { return ++seen < 2; });
        QVERIFY(converted.has_value());
        QVERIFY(converted->abandoned);
        QCOMPARE(converted->records, 2);
    }
};

QTEST_GUILESS_MAIN(TestTextImport)
#include "tst_textimport.moc"
