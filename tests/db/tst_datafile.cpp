#include "db/datafile.h"
#include "testdirs.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <pugixml.hpp>

using namespace fichora;
namespace df = fichora::datafile;

namespace {

QByteArray contents(const QString& path)
{
    return test::readAll(path);
}
void store(const QString& path, const QByteArray& bytes)
{
    test::writeAll(path, bytes);
}

QString templatePath()
{
    return test::resourcePath(QStringLiteral("Fichora_xml.ref"));
}

/// Names and types of the FIELD elements and the number of rows, as an XML reader sees the packet.
struct Packet
{
    bool parsed = false;
    QStringList fields;
    int rows = 0;
};

Packet parse(const QByteArray& bytes)
{
    Packet packet;
    pugi::xml_document doc;
    if (!doc.load_buffer(bytes.constData(), static_cast<size_t>(bytes.size())))
        return packet;
    packet.parsed = true;
    const pugi::xml_node root = doc.child("DATAPACKET");
    for (const pugi::xml_node field : root.child("METADATA").child("FIELDS").children("FIELD"))
        packet.fields << QString::fromUtf8(field.attribute("attrname").value()) + QLatin1Char(':') +
                             QString::fromUtf8(field.attribute("fieldtype").value());
    for ([[maybe_unused]] const pugi::xml_node row : root.child("ROWDATA").children("ROW"))
        ++packet.rows;
    return packet;
}

// Two complete rows as the row writer writes them.
QByteArray twoRows()
{
    QByteArray rows;
    for (const char* first : {"Ab&#233;", "Z&amp;&quot;"}) {
        rows += QByteArray("<ROW F01=\"") + first;
        for (int n = 2; n <= 23; ++n)
            rows += QByteArray("\" F") + QByteArray::number(n).rightJustified(2, '0') + "=\"";
        rows += "\"/>";
    }
    return rows;
}

} // namespace

class TestDataFile : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QByteArray m_template;
    QByteArray m_saved;

    QString path(const char* name) const { return m_dir.filePath(QLatin1String(name)); }

private Q_SLOTS:
    void initTestCase()
    {
        m_template = contents(templatePath());
        QCOMPARE(m_template.size(), df::kTemplateSize);
        m_saved = contents(test::dataPath(QStringLiteral("db/saved.xml")));
        QVERIFY(!m_saved.isEmpty());
    }
    void init()
    {
        for (const QString& name : QDir(m_dir.path()).entryList(QDir::Files))
            QFile::remove(m_dir.filePath(name));
    }

    void templateCopyRefusesAnExistingTarget()
    {
        QVERIFY(df::createFromTemplate(templatePath(), path("new.xml")));
        QCOMPARE(contents(path("new.xml")), m_template);
        store(path("kept.xml"), "old");
        QCOMPARE(df::createFromTemplate(templatePath(), path("kept.xml")).error().code, Error::Code::Exists);
        QCOMPARE(contents(path("kept.xml")), QByteArray("old"));
    }

    void numberDescriptionFillsItsSlot_data()
    {
        QTest::addColumn<int>("n");
        QTest::addColumn<QByteArray>("description");
        QTest::newRow("F02") << 2 << QByteArray("<FIELD attrname=\"F02\" fieldtype=\"r8\"/>") + QByteArray(17, ' ');
        QTest::newRow("F09") << 9 << QByteArray("<FIELD attrname=\"F09\" fieldtype=\"r8\"/>") + QByteArray(17, ' ');
        QTest::newRow("F21") << 21 << QByteArray("<FIELD attrname=\"F21\" fieldtype=\"r8\"/>") + QByteArray(17, ' ');
    }
    void numberDescriptionFillsItsSlot()
    {
        QFETCH(int, n);
        QFETCH(QByteArray, description);
        QCOMPARE(df::numberDescription(n), description);
        QVERIFY(df::createFromTemplate(templatePath(), path("typed.xml")));
        QVERIFY(df::markNumber(path("typed.xml"), n));
        QByteArray expected = m_template;
        expected.replace(df::slotOffset(n), df::kSlotLength, description);
        QCOMPARE(contents(path("typed.xml")), expected);
        const Packet packet = parse(expected);
        QVERIFY(packet.parsed);
        QCOMPARE(packet.fields.at(n - 1), QStringLiteral("F%1:r8").arg(n, 2, 10, QLatin1Char('0')));
    }

    void onlyFieldsTwoToTwentyOneCanBeMarked()
    {
        QVERIFY(df::createFromTemplate(templatePath(), path("typed.xml")));
        for (int n : {1, 22, 23, 0}) {
            QCOMPARE(df::markNumber(path("typed.xml"), n).error().code, Error::Code::Unsupported);
        }
        QCOMPARE(contents(path("typed.xml")), m_template);
    }

    void rowsGoBetweenRowDataAndTheEnd()
    {
        QVERIFY(df::createFromTemplate(templatePath(), path("empty.xml")));
        QVERIFY(df::writeRowsIntoTemplateCopy(path("empty.xml"), {}));
        QCOMPARE(contents(path("empty.xml")), m_template);

        QVERIFY(df::createFromTemplate(templatePath(), path("filled.xml")));
        QVERIFY(df::writeRowsIntoTemplateCopy(path("filled.xml"), twoRows()));
        const QByteArray filled = contents(path("filled.xml"));
        QCOMPARE(filled, m_template.left(df::kRowsOffset) + twoRows() + df::kPacketEnd);
        QCOMPARE(parse(filled).rows, 2);
    }

    void appendedRowsEndWithThePacketEnd_data()
    {
        QTest::addColumn<QString>("fixture");
        QTest::addColumn<int>("rowsBefore");
        QTest::newRow("template copy") << templatePath() << 0;
        QTest::newRow("saved by the record table") << test::dataPath(QStringLiteral("db/saved.xml")) << 2;
    }
    void appendedRowsEndWithThePacketEnd()
    {
        QFETCH(QString, fixture);
        QFETCH(int, rowsBefore);
        const QByteArray before = contents(fixture);
        store(path("grow.xml"), before);
        QVERIFY(df::appendRows(path("grow.xml"), twoRows()));
        QVERIFY(df::appendRows(path("grow.xml"), QByteArray()));
        const QByteArray after = contents(path("grow.xml"));
        QCOMPARE(after, before.chopped(df::kPacketEndLength) + twoRows() + df::kPacketEnd);
        QCOMPARE(parse(after).rows, rowsBefore + 2);
    }

    void appendingNeedsRoomForTheEnd()
    {
        store(path("short.xml"), "</DATAPACKET>");
        QCOMPARE(df::appendRows(path("short.xml"), twoRows()).error().code, Error::Code::Format);
        QCOMPARE(contents(path("short.xml")), QByteArray("</DATAPACKET>"));
        QCOMPARE(df::appendRows(path("missing.xml"), twoRows()).error().code, Error::Code::NotFound);
        QVERIFY(!QFile::exists(path("missing.xml")));
    }

    void rowDataIsFoundInItsWindowOnly_data()
    {
        QTest::addColumn<QList<qint64>>("tags");
        QTest::addColumn<qint64>("size");
        QTest::addColumn<qint64>("found");
        QTest::newRow("first offset") << QList<qint64>{600} << qint64(2000) << qint64(600);
        QTest::newRow("before the window") << QList<qint64>{599} << qint64(2000) << qint64(-1);
        QTest::newRow("first match wins") << QList<qint64>{700, 800} << qint64(2000) << qint64(700);
        QTest::newRow("last offset") << QList<qint64>{9990} << qint64(12000) << qint64(9990);
        QTest::newRow("just after") << QList<qint64>{9991} << qint64(12000) << qint64(-1);
        QTest::newRow("late one hides nothing") << QList<qint64>{9991, 9995} << qint64(12000) << qint64(-1);
        QTest::newRow("cut by the end") << QList<qint64>{1000} << qint64(1005) << qint64(-1);
        QTest::newRow("ends at the end") << QList<qint64>{1000} << qint64(1009) << qint64(1000);
    }
    void rowDataIsFoundInItsWindowOnly()
    {
        QFETCH(QList<qint64>, tags);
        QFETCH(qint64, size);
        QFETCH(qint64, found);
        QByteArray bytes(size + 9, 'x');
        for (qint64 at : tags)
            bytes.replace(at, 9, df::kRowDataTag);
        store(path("search.xml"), bytes.left(size));
        const Result<qint64> result = df::findRowData(path("search.xml"));
        if (found < 0) {
            QCOMPARE(result.error().code, Error::Code::Format);
            QCOMPARE(result.error().message, QStringLiteral("Error !!!"));
        } else {
            QCOMPARE(result.value(), found);
        }
    }

    void metadataIsRebuiltAroundTheOldRows()
    {
        const QString data = path("club.xml");
        store(data, m_saved);
        store(data + QStringLiteral(".bak2"), "an older backup");
        QVERIFY(df::replaceMetadata(data, templatePath(), {5, 17}));

        QByteArray expected = m_template.left(df::kRowDataOffset);
        expected.replace(df::slotOffset(5), df::kSlotLength, df::numberDescription(5));
        expected.replace(df::slotOffset(17), df::kSlotLength, df::numberDescription(17));
        expected += m_saved.mid(m_saved.indexOf("<ROWDATA>"));
        const QByteArray rebuilt = contents(data);
        QCOMPARE(rebuilt, expected);
        QCOMPARE(contents(data + QStringLiteral(".bak2")), m_saved);

        const Packet packet = parse(rebuilt);
        QCOMPARE(packet.rows, 2);
        QCOMPARE(packet.fields.at(4), QStringLiteral("F05:r8"));
        QCOMPARE(packet.fields.at(16), QStringLiteral("F17:r8"));
        QCOMPARE(packet.fields.at(2), QStringLiteral("F03:string"));

        // Back to text: the template's descriptions return, the rows are still the same bytes.
        QVERIFY(df::replaceMetadata(data, templatePath(), {}));
        QCOMPARE(contents(data), m_template.left(df::kRowDataOffset) + m_saved.mid(m_saved.indexOf("<ROWDATA>")));
        QCOMPARE(contents(data + QStringLiteral(".bak2")), rebuilt);
    }

    void metadataReplacementFailuresKeepTheRows()
    {
        const QString data = path("bad.xml");
        const QByteArray noRows = m_saved.left(500) + QByteArray(9600, ' ') + "<ROWDATA></ROWDATA></DATAPACKET>";
        store(data, noRows);
        const auto refused = df::replaceMetadata(data, templatePath(), {3});
        QCOMPARE(refused.error().message, QStringLiteral("Error !!!"));
        QCOMPARE(contents(data), noRows);
        QVERIFY(!QFile::exists(data + QStringLiteral(".bak2")));

        QCOMPARE(df::replaceMetadata(data, templatePath(), {22}).error().code, Error::Code::Unsupported);
        QCOMPARE(contents(data), noRows);

        const auto missing = df::replaceMetadata(path("none.xml"), templatePath(), {});
        QVERIFY(missing.error().message.contains(path("none.xml")));
        QVERIFY(missing.error().message.endsWith(QLatin1String("Error 31tt")));

        store(data, m_saved);
        const auto noTemplate = df::replaceMetadata(data, path("no-template.ref"), {});
        QCOMPARE(noTemplate.error().message, QStringLiteral("Erreur : Impossible de copier le fichier REF"));
        QVERIFY(!QFile::exists(data));
        QCOMPARE(contents(data + QStringLiteral(".bak2")), m_saved);
    }

    void dataFileIsRecognisedByItsFirstFourteenBytes_data()
    {
        QTest::addColumn<QByteArray>("start");
        QTest::addColumn<bool>("isData");
        QTest::newRow("declaration") << QByteArray("<?xml version=\"1.0\" standalone=\"yes\"?>") << true;
        QTest::newRow("exactly fourteen") << QByteArray("<?xml version=") << true;
        QTest::newRow("upper case") << QByteArray("<?XML version=\"1.0\"?>") << false;
        QTest::newRow("leading space") << QByteArray(" <?xml version=\"1.0\"?>") << false;
        QTest::newRow("too short") << QByteArray("<?xml version") << false;
        QTest::newRow("empty") << QByteArray() << false;
        QTest::newRow("wrongly deciphered") << QByteArray("\x93\x11<?xml version=", 16) << false;
    }
    void dataFileIsRecognisedByItsFirstFourteenBytes()
    {
        QFETCH(QByteArray, start);
        QFETCH(bool, isData);
        store(path("probe.xml"), start);
        QCOMPARE(df::isDataFile(path("probe.xml")).value(), isData);
    }
};

QTEST_GUILESS_MAIN(TestDataFile)
#include "tst_datafile.moc"
