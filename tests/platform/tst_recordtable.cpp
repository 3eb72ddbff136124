#include "platform/collation.h"
#include "platform/datapacket.h"
#include "platform/recordtable.h"

#include <QTest>

using namespace fichora;

namespace {

// F01 and F05 text, F02 a number; rows are "F01,F02,F05" with "-" for null.
std::string packet(const QStringList& rows)
{
    std::string text = "<?xml version=\"1.0\" standalone=\"yes\"?>  <DATAPACKET Version=\"2.0\"><METADATA><FIELDS>"
                       "<FIELD attrname=\"F01\" fieldtype=\"string\" WIDTH=\"40\"/>"
                       "<FIELD attrname=\"F02\" fieldtype=\"r8\"/>"
                       "<FIELD attrname=\"F05\" fieldtype=\"string\" WIDTH=\"40\"/>"
                       "</FIELDS></METADATA><ROWDATA>";
    static const char* const kNames[] = {"F01", "F02", "F05"};
    for (const QString& row : rows) {
        text += "<ROW";
        const QStringList cells = row.split(QLatin1Char(','));
        for (int i = 0; i < cells.size(); ++i) {
            if (cells[i] != QLatin1String("-"))
                text += std::string(" ") + kNames[i] + "=\"" + cells[i].toLatin1().toStdString() + "\"";
        }
        text += "/>";
    }
    return text + "</ROWDATA></DATAPACKET>";
}

// The F01 values of the records in the present order and filter, walked with first / next / eof.
QStringList walk(RecordTable& table)
{
    QStringList names;
    for (table.first(); !table.eof(); table.next())
        names << QString::fromLatin1(table.text(0).c_str());
    return names;
}

QString current(const RecordTable& table)
{
    return QString::fromLatin1(table.text(0).c_str());
}

const QStringList kPeople = {QStringLiteral("Paul,10,Lyon"),     QStringLiteral("anne,9,Paris"),
                             QStringLiteral("Bruno,-,Lyon"),     QStringLiteral("\xc9mile,-16,Nice"),
                             QStringLiteral("Zo\xe9,100,Paris"), QStringLiteral("Alain,9,-")};

} // namespace

class TestRecordTable : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void indexOrdersRecords_data()
    {
        QTest::addColumn<QString>("index");
        QTest::addColumn<QStringList>("expected");
        // Bytes: capitals before small letters, 0xC9 (É) after every ASCII letter.
        QTest::newRow("text by byte, case-sensitive")
            << QStringLiteral("F01")
            << QStringList{QStringLiteral("Alain"),  QStringLiteral("Bruno"), QStringLiteral("Paul"),
                           QStringLiteral("Zo\xe9"), QStringLiteral("anne"),  QStringLiteral("\xc9mile")};
        // Nulls first, then by value (9 before 10, -16 first), ties in natural order.
        QTest::newRow("numbers by value, stable ties")
            << QStringLiteral("F02")
            << QStringList{QStringLiteral("Bruno"), QStringLiteral("\xc9mile"), QStringLiteral("anne"),
                           QStringLiteral("Alain"), QStringLiteral("Paul"),     QStringLiteral("Zo\xe9")};
        QTest::newRow("two fields") << QStringLiteral("F05;F01")
                                    << QStringList{QStringLiteral("Alain"),  QStringLiteral("Bruno"),
                                                   QStringLiteral("Paul"),   QStringLiteral("\xc9mile"),
                                                   QStringLiteral("Zo\xe9"), QStringLiteral("anne")};
        QTest::newRow("ties keep natural order")
            << QStringLiteral("F05")
            << QStringList{QStringLiteral("Alain"),    QStringLiteral("Paul"), QStringLiteral("Bruno"),
                           QStringLiteral("\xc9mile"), QStringLiteral("anne"), QStringLiteral("Zo\xe9")};
        QTest::newRow("empty list is natural order")
            << QString() << QStringList{QStringLiteral("Paul"),     QStringLiteral("anne"),   QStringLiteral("Bruno"),
                                        QStringLiteral("\xc9mile"), QStringLiteral("Zo\xe9"), QStringLiteral("Alain")};
    }
    void indexOrdersRecords()
    {
        QFETCH(QString, index);
        QFETCH(QStringList, expected);
        RecordTable table;
        QVERIFY(table.loadFromBytes(packet(kPeople)).has_value());
        QVERIFY(table.setIndexFieldNames("F02;F01").has_value()); // an earlier order must not leak through
        QVERIFY(table.setIndexFieldNames(index.toStdString()).has_value());
        QCOMPARE(walk(table), expected);
    }

    void indexKeepsTheCurrentRecordAndRejectsUnknownFields()
    {
        RecordTable table;
        QVERIFY(table.loadFromBytes(packet(kPeople)).has_value());
        QVERIFY(table.locate(0, "bruno"));
        QVERIFY(table.setValue(2, std::string("Typed")).has_value());
        QVERIFY(table.setIndexFieldNames("F01").has_value());
        // The pending edit was posted, not lost, and its record is still current at its new place.
        QCOMPARE(table.state(), RecordTable::State::Browse);
        QCOMPARE(table.textAt(*table.currentRow(), 2), std::string("Typed"));
        QCOMPARE(current(table), QStringLiteral("Bruno"));
        QCOMPARE(table.recordNumber(), 2);
        const auto bad = table.setIndexFieldNames("F01;F99");
        QVERIFY(!bad.has_value());
        QCOMPARE(bad.error().code, Error::Code::Format);
        QCOMPARE(table.indexFieldNames(), std::string("F01"));
    }

    // The sort settles most comparisons on short keys it computes per row; these rows differ only where
    // such keys cannot see (long shared beginnings, case, nulls, zero signs) or not at all.
    void sortKeysAgreeWithTheFullComparison_data()
    {
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QString>("index");
        QTest::addColumn<bool>("french");
        QTest::addColumn<int>("shown");
        QTest::addColumn<QStringList>("expected");
        const QStringList towns = {QStringLiteral("Dupont,1,Montpellier-Ouest"),
                                   QStringLiteral("dupont,2,Montpellier-Est"),
                                   QStringLiteral("Dupont,3,Montpellier-Ouest"),
                                   QStringLiteral(",4,Montpellier-Est"),
                                   QStringLiteral("\xe9mile,5,-"),
                                   QStringLiteral("Dupont,6,montpellier-Est"),
                                   QStringLiteral("Dupond,7,Montpellier-Est"),
                                   QStringLiteral("-,8,Montpellier-Est")};
        // Small letter before capital only once the letters tie; null before empty; equal on both keys: file
        // order (1, 3).
        QTest::newRow("French, text then text")
            << towns << QStringLiteral("F05;F01") << true << 1
            << QStringList{QStringLiteral("5"), QStringLiteral("6"), QStringLiteral("8"), QStringLiteral("4"),
                           QStringLiteral("7"), QStringLiteral("2"), QStringLiteral("1"), QStringLiteral("3")};
        QTest::newRow("bytes, text then text")
            << towns << QStringLiteral("F05;F01") << false << 1
            << QStringList{QStringLiteral("5"), QStringLiteral("8"), QStringLiteral("4"), QStringLiteral("7"),
                           QStringLiteral("2"), QStringLiteral("1"), QStringLiteral("3"), QStringLiteral("6")};
        // Zero and minus zero are one value, so the second key orders them; the extremes stay in place.
        const QStringList numbers = {QStringLiteral("a,0,x"), QStringLiteral("b,-0,w"),    QStringLiteral("c,-2.5,-"),
                                     QStringLiteral("d,-,z"), QStringLiteral("e,1e300,a"), QStringLiteral("f,-1e300,b"),
                                     QStringLiteral("g,0,-"), QStringLiteral("h,-0,w")};
        for (const bool french : {false, true}) {
            QTest::addRow("number then text, %s", french ? "French" : "bytes")
                << numbers << QStringLiteral("F02;F05") << french << 0
                << QStringList{QStringLiteral("d"), QStringLiteral("f"), QStringLiteral("c"), QStringLiteral("g"),
                               QStringLiteral("b"), QStringLiteral("h"), QStringLiteral("a"), QStringLiteral("e")};
        }
        // A third key is still consulted when the first two tie.
        QTest::newRow("three keys") << QStringList{QStringLiteral("z,2,same"), QStringLiteral("y,1,same"),
                                                   QStringLiteral("x,1,same"), QStringLiteral("w,1,other")}
                                    << QStringLiteral("F05;F02;F01") << true << 0
                                    << QStringList{QStringLiteral("w"), QStringLiteral("x"), QStringLiteral("y"),
                                                   QStringLiteral("z")};
    }
    void sortKeysAgreeWithTheFullComparison()
    {
        QFETCH(QStringList, rows);
        QFETCH(QString, index);
        QFETCH(bool, french);
        QFETCH(int, shown);
        QFETCH(QStringList, expected);
        RecordTable table;
        QVERIFY(table.loadFromBytes(packet(rows)).has_value());
        if (french)
            installFrenchOrder(table);
        QVERIFY(table.setIndexFieldNames(index.toStdString()).has_value());
        QStringList order;
        for (table.first(); !table.eof(); table.next())
            order << QString::fromLatin1(table.text(shown).c_str());
        QCOMPARE(order, expected);
    }

    void pluggedTextOrderIsUsed()
    {
        RecordTable table;
        QVERIFY(table.loadFromBytes(packet(kPeople)).has_value());
        QVERIFY(table.setIndexFieldNames("F01").has_value());
        table.setTextCompare([](std::string_view a, std::string_view b) { return b.compare(a); }); // descending
        QCOMPARE(walk(table).first(), QStringLiteral("\xc9mile"));
    }

    void navigationAndNumbersFollowTheFilterCallback()
    {
        RecordTable table;
        QVERIFY(table.loadFromBytes(packet(kPeople)).has_value());
        QVERIFY(table.locate(0, "Zo"));
        int calls = 0;
        table.setFilterCallback([&calls](const RecordTable& t, RowId row) {
            ++calls;
            return t.textAt(row, 2) == "Paris" || t.textAt(row, 2) == "Nice";
        });
        QVERIFY(table.setFiltered(true).has_value());
        QVERIFY(calls >= 6);
        QCOMPARE(table.recordCount(), 3);
        // Zoé is still visible, so it stays current, now as the third visible record.
        QCOMPARE(current(table), QStringLiteral("Zo\xe9"));
        QCOMPARE(table.recordNumber(), 3);
        QCOMPARE(walk(table),
                 QStringList({QStringLiteral("anne"), QStringLiteral("\xc9mile"), QStringLiteral("Zo\xe9")}));

        table.first();
        QVERIFY(table.bof());
        QCOMPARE(table.recordNumber(), 1);
        table.prior();
        QVERIFY(table.bof());
        QCOMPARE(table.recordNumber(), 1);
        table.last();
        QVERIFY(table.eof());
        QCOMPARE(table.recordNumber(), 3);
        table.next();
        QVERIFY(table.eof());
        QCOMPARE(table.recordNumber(), 3);
        table.prior();
        QVERIFY(!table.eof() && !table.bof());
        QCOMPARE(current(table), QStringLiteral("\xc9mile"));

        // A filtered-out record cannot be located; switching the filter off shows everything again.
        QVERIFY(!table.locate(0, "Paul"));
        QCOMPARE(current(table), QStringLiteral("\xc9mile"));
        QVERIFY(table.setFiltered(false).has_value());
        QCOMPARE(table.recordCount(), 6);
        QCOMPARE(current(table), QStringLiteral("\xc9mile"));
        QCOMPARE(table.recordNumber(), 4);
    }

    void filterExpressionsWaitForTheirCompiler()
    {
        RecordTable table;
        QVERIFY(table.loadFromBytes(packet(kPeople)).has_value());
        QVERIFY(table.setFilter({}).has_value());
        QVERIFY(table.setFiltered(true).has_value());
        QCOMPARE(table.recordCount(), 6);
        QVERIFY(table.setFiltered(false).has_value());

        QVERIFY(table.setFilter("F01='Paul*'").has_value());
        const auto refused = table.setFiltered(true);
        QVERIFY(!refused.has_value());
        QCOMPARE(refused.error().code, Error::Code::Parse);
        QVERIFY(!table.isFiltered());
        QCOMPARE(table.recordCount(), 6);
        // Refused while filtering is already on, the expression switches filtering off.
        QVERIFY(table.setFilter({}).has_value());
        QVERIFY(table.setFiltered(true).has_value());
        QVERIFY(!table.setFilter("F01>''").has_value());
        QVERIFY(!table.isFiltered());

        // A compiled predicate and the callback must both accept a record.
        table.setFilterCompiler(
            [](std::string_view expression, const RecordTable&) -> Result<RecordTable::RowPredicate> {
                const std::string prefix(expression.substr(0, 1));
                return [prefix](const RecordTable& t, RowId row) { return t.textAt(row, 2).starts_with(prefix); };
            });
        QVERIFY(table.setFilter("P").has_value());
        QVERIFY(table.setFiltered(true).has_value());
        QCOMPARE(walk(table), QStringList({QStringLiteral("anne"), QStringLiteral("Zo\xe9")}));
        table.setFilterCallback([](const RecordTable& t, RowId row) { return t.textAt(row, 0) != "anne"; });
        QCOMPARE(walk(table), QStringList({QStringLiteral("Zo\xe9")}));
    }

    void locateIgnoresCaseButNotAccents_data()
    {
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<QString>("found");
        QTest::newRow("partial, other case") << QByteArray("PA") << QStringLiteral("Paul");
        QTest::newRow("small accented equals capital") << QByteArray("\xe9m") << QStringLiteral("\xc9mile");
        QTest::newRow("capital accented equals small") << QByteArray("ZO\xc9") << QStringLiteral("Zo\xe9");
        QTest::newRow("plain e is not accented e") << QByteArray("emile") << QString();
        QTest::newRow("key longer than value") << QByteArray("Paulette") << QString();
        QTest::newRow("first in present order") << QByteArray("a") << QStringLiteral("anne");
        QTest::newRow("whole value") << QByteArray("bruno") << QStringLiteral("Bruno");
    }
    void locateIgnoresCaseButNotAccents()
    {
        QFETCH(QByteArray, key);
        QFETCH(QString, found);
        RecordTable table;
        QVERIFY(table.loadFromBytes(packet(kPeople)).has_value());
        table.last();
        QCOMPARE(table.locate(0, key.toStdString()), !found.isEmpty());
        QCOMPARE(current(table), found.isEmpty() ? QStringLiteral("Alain") : found);
    }

    void locateOnANumberFieldComparesItsText()
    {
        RecordTable table;
        QVERIFY(table.loadFromBytes(packet(kPeople)).has_value());
        QVERIFY(table.locate(1, "-1"));
        QCOMPARE(current(table), QStringLiteral("\xc9mile"));
    }

    void editPostAndCancel()
    {
        RecordTable table;
        QVERIFY(table.loadFromBytes(packet(kPeople)).has_value());
        QVERIFY(table.setIndexFieldNames("F01").has_value());
        QVERIFY(table.locate(0, "Bruno"));
        QVERIFY(table.setValue(0, std::string("Yves")).has_value());
        QCOMPARE(table.state(), RecordTable::State::Edit);
        QCOMPARE(current(table), QStringLiteral("Yves")); // the buffer is what the record shows
        QCOMPARE(table.textAt(table.rowAt(1), 0), std::string("Bruno"));
        table.cancel();
        QCOMPARE(current(table), QStringLiteral("Bruno"));

        QVERIFY(table.setValue(0, std::string("Yves")).has_value());
        QVERIFY(table.setValue(1, std::string("12.5")).has_value());
        QVERIFY(table.setValue(2, CellValue{}).has_value());
        QVERIFY(table.post().has_value());
        QCOMPARE(table.state(), RecordTable::State::Browse);
        // Posted, the record moves to its place in the index and stays current.
        QCOMPARE(current(table), QStringLiteral("Yves"));
        QCOMPARE(table.recordNumber(), 3);
        QCOMPARE(std::get<double>(table.value(1)), 12.5);
        QVERIFY(table.isNullAt(*table.currentRow(), 2));

        const auto notNumber = table.setValue(1, std::string("12,5x"));
        QVERIFY(!notNumber.has_value());
        QCOMPARE(notNumber.error().code, Error::Code::Format);
        QVERIFY(table.setValue(1, std::string()).has_value()); // empty text clears a number
        QVERIFY(table.setValue(0, 3.0).has_value());           // a number given to text is written as text
        table.next();                                          // moving posts
        QVERIFY(table.setRecordNumber(1));
        QCOMPARE(current(table), QStringLiteral("3"));
        QVERIFY(table.isNullAt(*table.currentRow(), 1));
    }

    void insertPlacesTheNewRecordBeforeTheCurrentOne()
    {
        RecordTable table;
        QVERIFY(table.loadFromBytes(packet(kPeople)).has_value());
        QVERIFY(table.locate(0, "Bruno"));
        QVERIFY(table.insert().has_value());
        QCOMPARE(table.state(), RecordTable::State::Insert);
        QVERIFY(std::holds_alternative<std::monostate>(table.value(0)));
        QVERIFY(table.setValue(0, std::string("Nouveau")).has_value());
        QVERIFY(table.setValue(2, std::string()).has_value());
        QCOMPARE(table.recordCount(), 6); // still pending
        QVERIFY(table.post().has_value());
        QCOMPARE(table.recordCount(), 7);
        QCOMPARE(current(table), QStringLiteral("Nouveau"));
        QCOMPARE(table.recordNumber(), 3);
        QVERIFY(table.isNullAt(*table.currentRow(), 1));
        QVERIFY(!table.isNullAt(*table.currentRow(), 2));

        QVERIFY(table.insert().has_value());
        QVERIFY(table.setValue(0, std::string("Oubli\xe9")).has_value());
        table.cancel();
        QCOMPARE(table.recordCount(), 7);
        QCOMPARE(current(table), QStringLiteral("Nouveau"));

        // Under an index, the posted record goes to its sorted place.
        QVERIFY(table.setIndexFieldNames("F01").has_value());
        QVERIFY(table.insert().has_value());
        QVERIFY(table.setValue(0, std::string("Aaron")).has_value());
        QVERIFY(table.post().has_value());
        QCOMPARE(table.recordNumber(), 1);
        QVERIFY(table.setIndexFieldNames("").has_value());
        QCOMPARE(walk(table).mid(1, 3),
                 QStringList({QStringLiteral("anne"), QStringLiteral("Aaron"), QStringLiteral("Nouveau")}));
    }

    void deleteMovesToTheNextRecord()
    {
        RecordTable table;
        QVERIFY(table.loadFromBytes(packet(kPeople)).has_value());
        table.setFilterCallback([](const RecordTable& t, RowId row) { return !t.isNullAt(row, 2); });
        QVERIFY(table.setFiltered(true).has_value());
        QVERIFY(table.locate(0, "Bruno"));
        QVERIFY(table.deleteRecord().has_value());
        QCOMPARE(table.recordCount(), 4);
        QCOMPARE(current(table), QStringLiteral("\xc9mile"));
        table.last();
        QVERIFY(table.deleteRecord().has_value());
        QCOMPARE(current(table), QStringLiteral("\xc9mile"));
        QVERIFY(table.setFiltered(false).has_value());
        QCOMPARE(walk(table), QStringList({QStringLiteral("Paul"), QStringLiteral("anne"), QStringLiteral("\xc9mile"),
                                           QStringLiteral("Alain")}));
        // The deleted records are gone from a save too.
        RecordTable again;
        QVERIFY(again.loadFromBytes(writeDataPacket(table.store())).has_value());
        QCOMPARE(walk(again).size(), 4);

        while (table.recordCount() > 0)
            QVERIFY(table.deleteRecord().has_value());
        QVERIFY(table.bof() && table.eof());
        QCOMPARE(table.recordNumber(), 0);
        QVERIFY(!table.deleteRecord().has_value());
        QVERIFY(!table.edit().has_value());
    }
};

QTEST_GUILESS_MAIN(TestRecordTable)
#include "tst_recordtable.moc"
