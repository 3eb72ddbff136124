#include "app/session.h"
#include "db/datafile.h"
#include "db/parameterfile.h"
#include "exchange/rowwriter.h"
#include "exchange/textexport.h"
#include "exchange/textimport.h"
#include "platform/recordtable.h"
#include "scriptedservices.h"
#include "testdirs.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace fichora;
using Kind = test::ScriptedServices::Kind;
using Values = std::array<std::string, 23>;

class TestTextExport : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_program;

    /// A database made the way the importers make one: labels and rows written into template copies.
    QString makeDatabase(const QString& name, const std::array<QByteArray, 22>& labels, const QList<Values>& rows)
    {
        const QString xml = m_dir.filePath(name + QStringLiteral(".xml"));
        const QString par = m_dir.filePath(name + QStringLiteral(".par"));
        QFile::remove(xml);
        QFile::remove(par);
        [&] {
            QVERIFY(QFile::copy(m_program + QStringLiteral("Fichora_par.ref"), par));
            QVERIFY(QFile::copy(m_program + QStringLiteral("Fichora_xml.ref"), xml));
            QFile::setPermissions(xml, QFile::ReadOwner | QFile::WriteOwner);
            QFile::setPermissions(par, QFile::ReadOwner | QFile::WriteOwner);
            std::array<std::optional<QByteArray>, 22> given;
            std::copy(labels.begin(), labels.end(), given.begin());
            QVERIFY(rowwriter::writeLabels(par, given).has_value());
            QFile file(xml);
            QVERIFY(file.open(QIODevice::ReadWrite));
            rowwriter::RowStream stream(file);
            for (const Values& row : rows) {
                std::array<std::string_view, 23> views;
                std::copy(row.begin(), row.end(), views.begin());
                rowwriter::appendRow(stream.buffer(), views);
            }
            QVERIFY(stream.finish().has_value());
        }();
        return xml;
    }

    Session openSession(const QString& xml, const std::array<QByteArray, 22>& labels)
    {
        Session s;
        s.language = 'E';
        s.programDirectory = m_program;
        s.open = true;
        s.loadedDataFile = xml;
        s.parameterFile = parameterPathFor(xml);
        for (int n = 1; n <= 23; ++n) {
            FieldShape& field = s.fields[static_cast<std::size_t>(n - 1)];
            field.label = n <= 22 ? labels[static_cast<std::size_t>(n - 1)] : QByteArray("Photo");
            field.inUse = n <= 2 || n == 23 || !field.label.isEmpty();
            field.exportTick = true;
        }
        return s;
    }

    static QByteArray line(const QList<QByteArray>& values)
    {
        QByteArray out;
        for (int n = 0; n < 23; ++n) {
            out += n < values.size() ? values[n] : QByteArray();
            if (n < 22)
                out += '|';
        }
        return out + "\r\n";
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_program = m_dir.filePath(QStringLiteral("prog/"));
        QVERIFY(QDir().mkpath(m_program));
        for (const char* name : {"Fichora_par.ref", "Fichora_xml.ref"})
            QVERIFY(QFile::copy(test::resourcePath(QLatin1String(name)), m_program + QLatin1String(name)));
    }

    void headerLine()
    {
        std::array<QByteArray, 23> labels;
        labels[0] = "Nom";
        labels[1] = "Ville";
        labels[4] = "Hidden";
        textexport::Fields ticked{};
        ticked[0] = ticked[1] = true;
        const QByteArray header = textexport::headerLine(labels, ticked);
        QCOMPARE(header.size(), 370);
        QCOMPARE(header.left(31), QByteArray("Nom|Ville") + QByteArray(21, '|') + QByteArray(1, '\0'));
        QCOMPARE(header.mid(30, 338), QByteArray(338, '\0'));
        QCOMPARE(header.right(2), QByteArray("\r\n"));
        // The longest header fits: 23 labels of 15 and 22 bars are 367 bytes.
        labels.fill(QByteArray(15, 'x'));
        ticked.fill(true);
        QCOMPARE(textexport::headerLine(labels, ticked).indexOf('\0'), 367);
    }

    void onlyTickedAndDefinedFields()
    {
        std::array<QByteArray, 22> labels;
        labels[0] = "Nom";
        labels[1] = "Ville";
        labels[2] = "Tel";
        Values row;
        row[0] = "Dupont";
        row[1] = "Paris";
        row[2] = "0102";
        row[4] = "stray value of a field not in use";
        row[22] = "a.jpg";
        const QString xml = makeDatabase(QStringLiteral("ticks"), labels, {row});
        Session s = openSession(xml, labels);
        test::ScriptedServices services;

        for (auto& field : s.fields)
            field.exportTick = false;
        QVERIFY(!textexport::exportText(s, services));
        QCOMPARE(services.shown().last().kind, Kind::Warning);
        QCOMPARE(services.texts().last(), QStringLiteral("No datafield checked : \nThere is nothing to export"));
        QVERIFY(!QFile::exists(textexport::outputPathFor(xml)));

        s.fields[0].exportTick = s.fields[1].exportTick = s.fields[4].exportTick = true;
        services.clear();
        QVERIFY(textexport::exportText(s, services));
        const QByteArray out = test::readAll(m_dir.filePath(QStringLiteral("ticks.txt")));
        QCOMPARE(out.left(30), QByteArray("Nom|Ville") + QByteArray(21, '|'));
        QCOMPARE(out.mid(370), line({"Dupont", "Paris"}));
        QCOMPARE(
            services.texts().last(),
            QStringLiteral("File  \"%1\"   created\n\nIt includes  1 entries").arg(textexport::outputPathFor(xml)));

        // Exporting again asks first; Abort keeps the old file, OK replaces it.
        s.fields[22].exportTick = true;
        services.clear();
        services.setNextAnswer(false);
        QVERIFY(!textexport::exportText(s, services));
        QCOMPARE(services.shown().last().kind, Kind::ConfirmOkAbort);
        QCOMPARE(test::readAll(textexport::outputPathFor(xml)), out);
        services.setNextAnswer(true);
        QVERIFY(textexport::exportText(s, services));
        QCOMPARE(test::readAll(textexport::outputPathFor(xml)).mid(370),
                 line({"Dupont", "Paris", "", "", "", "", "", "", "", "", "",     "",
                       "",       "",      "", "", "", "", "", "", "", "", "a.jpg"}));
    }

    void emptyDatabaseAndMissingParameterFile()
    {
        std::array<QByteArray, 22> labels;
        labels[0] = "A";
        const QString xml = makeDatabase(QStringLiteral("empty"), labels, {});
        Session s = openSession(xml, labels);
        test::ScriptedServices services;
        QVERIFY(textexport::exportText(s, services));
        QByteArray out = test::readAll(textexport::outputPathFor(xml));
        QCOMPARE(out.size(), 370);
        QVERIFY(services.texts().last().endsWith(QStringLiteral("It includes  0 entries")));

        QVERIFY(QFile::remove(parameterPathFor(xml)));
        services.setNextAnswer(true);
        QVERIFY(textexport::exportText(s, services));
        QCOMPARE(test::readAll(textexport::outputPathFor(xml)), QByteArray(368, '\0') + "\r\n");
    }

    void valuesAsDecoded()
    {
        // The record table's own files spell line breaks as references: F22 runs over two lines.
        const QByteArray packet =
            test::readAll(m_program + QStringLiteral("Fichora_xml.ref")).left(datafile::kRowsOffset) +
            "<ROW F01=\"&#233;t&#233; &amp; &quot;x&quot;\" F22=\"l1&#013;&#010;l2\" F23=\"C:\\a|b\"/>"
            "<ROW F02=\"&#x9C;uvre &lt;&gt; &apos;\"/>" +
            datafile::kPacketEnd;
        QByteArray in = packet;
        QBuffer source(&in);
        QVERIFY(source.open(QIODevice::ReadOnly));
        QByteArray text;
        QBuffer out(&text);
        QVERIFY(out.open(QIODevice::WriteOnly));
        textexport::Fields all;
        all.fill(true);
        const auto written = textexport::writeRecords(source, out, all);
        QVERIFY(written.has_value());
        QCOMPARE(written->records, 2);
        QList<QByteArray> first(23);
        first[0] = "\xe9t\xe9 & \"x\"";
        first[21] = "l1\r\nl2";
        first[22] = "C:\\a|b";
        QList<QByteArray> second(23);
        second[1] = "\x9cuvre <> '";
        QCOMPARE(text, line(first) + line(second));
    }

    void streamFailures()
    {
        textexport::Fields all;
        all.fill(true);
        QByteArray broken = "<?xml version=\"1.0\"?><DATAPACKET><ROWDATA><ROW F01=\"a\"></DATAPACKET>";
        QBuffer source(&broken);
        QVERIFY(source.open(QIODevice::ReadOnly));
        QByteArray text;
        QBuffer out(&text);
        QVERIFY(out.open(QIODevice::WriteOnly));
        QCOMPARE(textexport::writeRecords(source, out, all).error().code, Error::Code::Format);

        QByteArray packet = test::readAll(m_program + QStringLiteral("Fichora_xml.ref")).left(datafile::kRowsOffset) +
                            "<ROW F01=\"a\"/>" + datafile::kPacketEnd;
        QBuffer good(&packet);
        QVERIFY(good.open(QIODevice::ReadOnly));
        QBuffer readOnly(&text);
        QVERIFY(readOnly.open(QIODevice::ReadOnly));
        QCOMPARE(textexport::writeRecords(good, readOnly, all).error().code, Error::Code::Io);
    }

    void roundTrip()
    {
        std::array<QByteArray, 22> labels;
        labels[0] = "Nom";
        labels[1] = "Pr\xe9nom";
        labels[5] = "Remarque & co";
        labels[21] = "Notes longues";
        QList<Values> rows;
        for (int i = 0; i < 50; ++i) {
            Values row;
            row[0] = "\xc9lo\xefse " + std::to_string(i);
            row[1] = "l'\"\xe9t\xe9\" & <co>";
            row[5] = "C:\\dir\\" + std::string(static_cast<std::size_t>(i), 'x');
            row[21] = "\x9c\x92\x85\xa0 \x80";
            row[22] = "p\\1.jpg|p2.jpg|";
            rows.append(row);
        }
        const QString xml = makeDatabase(QStringLiteral("round"), labels, rows);
        Session s = openSession(xml, labels);
        test::ScriptedServices services;
        QVERIFY(textexport::exportText(s, services));

        const QString target = m_dir.filePath(QStringLiteral("back/"));
        QVERIFY(QDir().mkpath(target));
        Session importing;
        importing.language = 'E';
        importing.programDirectory = m_program;
        QVERIFY(textimport::importFile(importing, services, textexport::outputPathFor(xml), target));
        for (int n = 1; n <= 22; ++n)
            QCOMPARE(parameterfile::readLabel(target + QStringLiteral("round.par"), n).value(),
                     labels[static_cast<std::size_t>(n - 1)]);

        RecordTable original;
        RecordTable imported;
        QVERIFY(original.loadFromFile(xml).has_value());
        QVERIFY(imported.loadFromFile(target + QStringLiteral("round.xml")).has_value());
        QCOMPARE(imported.recordCount(), original.recordCount());
        for (int r = 0; r < original.recordCount(); ++r)
            for (int f = 0; f < 23; ++f)
                QCOMPARE(imported.textAt(imported.rowAt(r), f), original.textAt(original.rowAt(r), f));
    }
};

QTEST_GUILESS_MAIN(TestTextExport)
#include "tst_textexport.moc"
