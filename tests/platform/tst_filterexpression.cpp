#include "platform/filterexpression.h"
#include "platform/recordtable.h"

#include "testdirs.h"

#include <QTest>

using namespace fichora;

namespace {

// F05 is the only number field; the table has no F03, so naming it is an error.
// Rows of "F01|F02|F05|F06|F14|F23" in Windows-1252, "-" for null and nothing for an empty text.
std::string packet(const std::vector<std::string>& rows)
{
    return test::packetFromRows({{"F01"}, {"F02"}, {"F05", true}, {"F06"}, {"F14"}, {"F23", false, 200}}, rows);
}

// Records are numbered 1..6 in this order.
const std::vector<std::string> kRows = {
    "Paul|Paulin|10|Paris|x|a.jpg", "pauline|Martin|136|PARIS|-|-",    "\xc9mile|paul|140|Lyon|| ",
    "O'Neil|Durand|-|Nice|note|-",  "\xe9mile|PAULO|200|Lyon|z|b.jpg", "|Zo\xe9|-5|Paris-Est|-|c.jpg",
};

void load(RecordTable& table)
{
    QVERIFY(table.loadFromBytes(packet(kRows)));
    installFilterLanguage(table);
}

// The numbers (1-based, in file order) of the records the table lets through.
QString passing(RecordTable& table)
{
    QStringList numbers;
    for (int i = 0; i < table.recordCount(); ++i)
        numbers << QString::number(table.rowAt(i) + 1);
    return numbers.join(QLatin1Char(' '));
}

} // namespace

class TestFilterExpression : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void selectsRecords_data()
    {
        QTest::addColumn<QByteArray>("expression");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char* name, const char* expression, const char* expected) {
            QTest::newRow(name) << QByteArray(expression) << QString::fromLatin1(expected);
        };
        row("empty", "", "1 2 3 4 5 6");
        row("only spaces", "   ", "1 2 3 4 5 6");
        row("hint example", "F02='paul*' and (F05<136 or F14 IS NOT NULL)", "1 5");
        row("picture filter's expression", "F01>''", "1 2 3 4 5");
        row("= ignores case", "F01='PAUL'", "1");
        row("starred = is a prefix", "F01='paul*'", "1 2");
        row("lone star: any non-empty value", "F01='*'", "1 2 3 4 5");
        row("star only counts at the end", "F01='p*l'", "");
        row("accented capital equals small", "F01='\xe9MILE'", "3 5");
        row("accent stays distinct", "F01='emile'", "");
        row("doubled quote", "F01='O''Neil'", "4");
        row("text > folds case", "F02>'n'", "1 3 5 6");
        row("text <>, empty is null", "F14<>'x'", "4 5");
        row("empty text is null", "F14 IS NULL", "2 3 6");
        row("IS NOT NULL", "F14 is not null", "1 4 5");
        row("number IS NULL", "F05 IS NULL", "4");
        row("number <", "F05<136", "1 6");
        row("quoted number", "F05='136'", "2");
        row("number >=", "F05>=136", "2 3 5");
        row("number <> skips null", "F05<>136", "1 3 5 6");
        row("negative constant", "F05 = -5", "6");
        row("exponent", "F05 <= 1.5e1", "1 6");
        row("constant on the left", "100 < F05", "2 3 5");
        row("starred = on a number's text", "F05='1*'", "1 2 3");
        row("like on a number's text", "F05 like '13%'", "2");
        row("like %", "F06 like '%ari%'", "1 2 6");
        row("like _", "F06 LIKE 'p_ris'", "1 2");
        row("like backtracks", "F06 like '%s%t'", "6");
        row("not like", "F06 not like 'par%'", "3 4 5");
        row("like a quote", "F01 like '%''%'", "4");
        row("not keeps null unknown", "not (F05<136)", "2 3 5");
        row("and binds tighter than or", "F02='paul' or F02='martin' and F05>1000", "3");
        row("or of two", "F06='paris' OR F06='lyon'", "1 2 3 5");
        row("nested parentheses", "((F01='Paul'))", "1");
        row("keywords and names in any case", "f01 = 'Paul*' AnD f05 < 136", "1");
        row("two fields", "F01 = F02", "");
        row("two number fields", "F05 = F05", "1 2 3 5 6");
    }

    void selectsRecords()
    {
        QFETCH(QByteArray, expression);
        QFETCH(QString, expected);
        RecordTable table;
        load(table);
        QVERIFY(table.setFilter(expression.toStdString()));
        const auto on = table.setFiltered(true);
        QVERIFY2(on, on ? "" : qPrintable(on.error().message));
        QCOMPARE(passing(table), expected);
    }

    void rejectsExpressions_data()
    {
        QTest::addColumn<QByteArray>("expression");
        QTest::addColumn<int>("position");
        const auto row = [](const char* expression, int position) {
            QTest::newRow(expression) << QByteArray(expression) << position;
        };
        row("F01=", 4);
        row("F01='abc", 4);
        row("F24='a'", 0);
        row("F03='a'", 0); // a name the table does not have
        row("F05='abc'", 4);
        row("F01 = 'a' and", 13);
        row("(F01='a'", 8);
        row("F01 'a'", 4);
        row("F05 like 5", 9);
        row("F01 = F05", 6);
        row("'a' = 'b'", 0);
        row("F01 == 'a'", 5);
        row("F01='a' F02='b'", 8);
        row("F01 is 'a'", 7);
        row("F01 # 'a'", 4);
        row("F05 < 12abc", 6);
        row("Paul", 0);
    }

    void rejectsExpressions()
    {
        QFETCH(QByteArray, expression);
        QFETCH(int, position);
        RecordTable table;
        load(table);
        QVERIFY(table.setFilter(expression.toStdString()));
        const auto on = table.setFiltered(true);
        QVERIFY(!on);
        QCOMPARE(on.error().code, Error::Code::Parse);
        QCOMPARE(on.error().position, position);
        QVERIFY(!on.error().message.isEmpty());
        QVERIFY(!table.isFiltered());
        QCOMPARE(table.recordCount(), 6);
    }

    // The picture filter: the expression and the callback must both accept a record.
    void callbackJoinsExpression()
    {
        RecordTable table;
        load(table);
        const int pictures = table.fieldIndex("F23");
        table.setFilterCallback(
            [pictures](const RecordTable& t, RowId row) { return t.textAt(row, pictures) > std::string(" "); });
        QVERIFY(table.setFilter("F01>''"));
        QVERIFY(table.setFiltered(true));
        QCOMPARE(passing(table), QStringLiteral("1 5"));
    }

    // A compiled expression follows the values, not the ones it was compiled against.
    void compiledOnceEvaluatedPerRecord()
    {
        RecordTable table;
        load(table);
        auto compiled = FilterExpression::compile("F06 like 'l%' and F05 > 150", table.fields());
        QVERIFY(compiled);
        QVERIFY(!compiled->isEmpty());
        QVERIFY(!compiled->matches(table.store(), 2));
        QVERIFY(compiled->matches(table.store(), 4));
        QVERIFY(table.setValueAt(2, table.fieldIndex("F05"), 151.0));
        QVERIFY(compiled->matches(table.store(), 2));
        QVERIFY(FilterExpression::compile("", table.fields())->isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestFilterExpression)
#include "tst_filterexpression.moc"
