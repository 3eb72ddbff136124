#include "app/session.h"
#include "browse/picklist.h"
#include "db/datafile.h"
#include "platform/collation.h"
#include "testdirs.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <string>
#include <vector>

using namespace fichora;

namespace {

using Values = std::vector<std::string>;

const QString kNull = QStringLiteral("<null>");

// A data file made from the template holding one row per value of field `field` (Windows-1252 bytes
// written as character references), with `numberField` described as a number when it is not 0.
void writeDataFile(const QString& path, int field, const QStringList& values, int numberField = 0)
{
    QFile::remove(path);
    QVERIFY(datafile::createFromTemplate(test::resourcePath(QStringLiteral("Fichora_xml.ref")), path).has_value());
    if (numberField)
        QVERIFY(datafile::markNumber(path, numberField).has_value());
    QByteArray rows;
    const QByteArray name = QByteArray("F") + QByteArray::number(field).rightJustified(2, '0');
    for (const QString& value : values) {
        rows += "<ROW";
        if (value != kNull) {
            QByteArray escaped;
            for (QChar c : value)
                escaped +=
                    c.unicode() < 128 ? QByteArray(1, char(c.unicode())) : "&#" + QByteArray::number(c.unicode()) + ";";
            rows += " " + name + "=\"" + escaped + "\"";
        }
        rows += "/>";
    }
    QVERIFY(datafile::writeRowsIntoTemplateCopy(path, rows).has_value());
}

QStringList texts(const Values& values)
{
    return picklist::displayTexts(values);
}

} // namespace

class TestPickList : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString path(const QString& name) const { return m_dir.filePath(name); }

private Q_SLOTS:
    void listsDistinctSavedValuesInOrder_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<QStringList>("stored");
        QTest::addColumn<bool>("number");
        QTest::addColumn<bool>("french");
        QTest::addColumn<QStringList>("listed");
        const auto list = [](std::initializer_list<const char*> items) {
            QStringList out;
            for (const char* item : items)
                out.append(QString::fromUtf8(item));
            return out;
        };
        QTest::newRow("each once, no empty")
            << 7 << list({"Lyon", "", "Paris", "Lyon"}) << false << false << list({"Lyon", "Paris"});
        QTest::newRow("null and empty never")
            << 1 << QStringList{kNull, QString(), QStringLiteral("Brest"), kNull} << false << false << list({"Brest"});
        QTest::newRow("case kept apart, byte order")
            << 21 << list({"lyon", "Lyon", "LYON", "lyon"}) << false << false << list({"LYON", "Lyon", "lyon"});
        QTest::newRow("accents after z in byte order")
            << 3 << list({"Zoé", "Étienne", "Anne"}) << false << false << list({"Anne", "Zoé", "Étienne"});
        QTest::newRow("accents in place with a collation") << 3 << list({"Zoé", "Étienne", "Anne", "etienne"}) << false
                                                           << true << list({"Anne", "etienne", "Étienne", "Zoé"});
        QTest::newRow("numbers by value") << 5
                                          << QStringList{QStringLiteral("10"), QStringLiteral("2"), kNull,
                                                         QStringLiteral("2.5"), QStringLiteral("10")}
                                          << true << false << list({"2", "2.5", "10"});
        QTest::newRow("no records") << 2 << QStringList() << false << false << QStringList();
    }
    void listsDistinctSavedValuesInOrder()
    {
        QFETCH(int, field);
        QFETCH(QStringList, stored);
        QFETCH(bool, number);
        QFETCH(bool, french);
        QFETCH(QStringList, listed);
        writeDataFile(path(QStringLiteral("db.xml")), field, stored, number ? field : 0);

        PickListSource source;
        if (french)
            source.setTextCompare(collation::compareFrench);
        QCOMPARE(texts(source.values(path(QStringLiteral("db.xml")), field)), listed);
        // The other fields of those records are all null.
        const int other = field == 1 ? 2 : 1;
        QVERIFY(source.values(path(QStringLiteral("db.xml")), other).empty());
    }

    void showsTheFileNotTheRecordsInMemory()
    {
        const QString file = path(QStringLiteral("saved.xml"));
        writeDataFile(file, 4, {QStringLiteral("Lyon"), QStringLiteral("Paris")});
        Session session;
        QVERIFY(session.records.loadFromFile(file).has_value());
        session.open = true;
        session.loadedDataFile = file;
        session.records.first();

        PickListSource source;
        QCOMPARE(texts(source.values(file, 4)), (QStringList{QStringLiteral("Lyon"), QStringLiteral("Paris")}));
        QCOMPARE(source.loadCount(), 1);

        // Typed but not saved: not offered, and the unchanged file is not read again.
        QVERIFY(picklist::choose(session, 4, "Nantes").value_or(false));
        QVERIFY(session.records.setValue(3, std::string("Angers")).has_value());
        QVERIFY(session.records.post().has_value());
        QCOMPARE(texts(source.values(file, 4)), (QStringList{QStringLiteral("Lyon"), QStringLiteral("Paris")}));
        QCOMPARE(source.loadCount(), 1);

        // Once saved, the file has changed and is read again.
        QVERIFY(session.records.saveToFile(file).has_value());
        QCOMPARE(texts(source.values(file, 4)), (QStringList{QStringLiteral("Angers"), QStringLiteral("Paris")}));
        QCOMPARE(source.loadCount(), 2);
    }

    // The table loaded at opening is the file's content: handed over, it lists what the file holds,
    // whatever its filter, order or pending edit, until the file changes.
    void handedOverTableListsLikeTheFile()
    {
        const QString file = path(QStringLiteral("opened.xml"));
        writeDataFile(file, 9, {QStringLiteral("Lyon"), QString(), QStringLiteral("Paris"), QStringLiteral("Lyon")});
        RecordTable opened;
        QVERIFY(opened.loadFromFile(file).has_value());
        QVERIFY(opened.setIndexFieldNames("F09").has_value());
        opened.setFilterCallback([](const RecordTable&, RowId) { return false; });
        QVERIFY(opened.setFiltered(true).has_value());

        PickListSource source;
        source.adopt(file, opened);
        QCOMPARE(texts(source.values(file, 9)), (QStringList{QStringLiteral("Lyon"), QStringLiteral("Paris")}));
        QCOMPARE(source.loadCount(), 0);
        QCOMPARE(opened.recordCount(), 0); // the window's table is left as it was

        writeDataFile(file, 9, {QStringLiteral("Brest")});
        QCOMPARE(texts(source.values(file, 9)), QStringList{QStringLiteral("Brest")});
        QCOMPARE(source.loadCount(), 1);
    }

    void fileThatCannotBeLoadedGivesAnEmptyList()
    {
        const QString file = path(QStringLiteral("broken.xml"));
        PickListSource source;
        QVERIFY(source.values(file, 1).empty()); // missing
        {
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("<?xml version=\"1.0\"?><DATAPACKET");
        }
        QVERIFY(source.values(file, 1).empty()); // not a data packet
        QVERIFY(!source.table().isOpen());
        QVERIFY(source.values(file, 0).empty() && source.values(file, 22).empty());

        writeDataFile(file, 1, {QStringLiteral("Brest")});
        QCOMPARE(texts(source.values(file, 1)), QStringList{QStringLiteral("Brest")});
    }

    // On a protected database the list still opens, but choosing changes nothing.
    void choosingWritesTheCurrentRecordUnlessProtected_data()
    {
        QTest::addColumn<char>("readOnly");
        QTest::addColumn<bool>("open");
        QTest::addColumn<QByteArray>("chosen");
        QTest::addColumn<bool>("written");
        QTest::addColumn<bool>("failed");
        QTest::newRow("writable") << ' ' << true << QByteArray("Paris") << true << false;
        QTest::newRow("protected") << 'P' << true << QByteArray("Paris") << false << false;
        QTest::newRow("not open") << ' ' << false << QByteArray("Paris") << false << false;
        QTest::newRow("text in a number field") << ' ' << true << QByteArray("abc") << false << true;
    }
    void choosingWritesTheCurrentRecordUnlessProtected()
    {
        QFETCH(char, readOnly);
        QFETCH(bool, open);
        QFETCH(QByteArray, chosen);
        QFETCH(bool, written);
        QFETCH(bool, failed);
        const int field = failed ? 6 : 4;
        const QString file = path(QStringLiteral("choose.xml"));
        writeDataFile(file, field, {QStringLiteral("1"), QStringLiteral("2")}, failed ? field : 0);
        Session session;
        QVERIFY(session.records.loadFromFile(file).has_value());
        session.open = open;
        session.readOnly = readOnly;
        session.records.first();
        const std::string before = session.records.text(field - 1);

        const Result<bool> result = picklist::choose(session, field, chosen);

        QCOMPARE(!result.has_value(), failed);
        QCOMPARE(result.value_or(false), written);
        QCOMPARE(session.modified, written);
        QCOMPARE(session.records.state(), RecordTable::State::Browse);
        const std::string stored = session.records.textAt(session.records.rowAt(0), field - 1);
        QCOMPARE(stored, written ? chosen.toStdString() : before);
    }
};

QTEST_GUILESS_MAIN(TestPickList)
#include "tst_picklist.moc"
