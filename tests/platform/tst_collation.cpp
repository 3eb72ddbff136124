#include "platform/collation.h"
#include "platform/filterexpression.h"
#include "platform/recordtable.h"

#include "testdirs.h"

#include <QTest>

#include <algorithm>

using namespace fichora;

namespace {

int sign(int c)
{
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

// F01 and F02 text, F05 a number; rows "F01|F02|F05" in Windows-1252, "-" for null.
std::string packet(const std::vector<std::string>& rows)
{
    return test::packetFromRows({{"F01"}, {"F02"}, {"F05", true}}, rows);
}

QStringList column(RecordTable& table, int field)
{
    QStringList values;
    for (int i = 0; i < table.recordCount(); ++i)
        values << QString::fromLatin1(table.textAt(table.rowAt(i), field).c_str());
    return values;
}

} // namespace

class TestCollation : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void comparesPairs_data()
    {
        QTest::addColumn<QByteArray>("a");
        QTest::addColumn<QByteArray>("b");
        QTest::addColumn<int>("expected");
        const auto row = [](const char* name, const char* a, const char* b, int expected) {
            QTest::newRow(name) << QByteArray(a) << QByteArray(b) << expected;
        };
        row("accent after its base letter", "e", "\xe9", -1);
        row("accented letter before the next letter", "\xe9", "f", -1);
        row("accent weighs less than a later letter", "\xe9mile", "emilie", -1);
        row("small before capital", "e", "E", -1);
        row("case weighs less than accent", "E", "\xe9", -1);
        row("case weighs less than a later letter", "Dupont", "dupr\xe9", -1);
        row("capital next to its small letter, not after z", "Zo\xe9", "anne", 1);
        row("ligature spelt out",
            "\x9c"
            "uvre",
            "oeuvre", 1);
        row("ligature before the next letter", "\x9c", "of", -1);
        row("capital ligature", "\x9c", "\x8c", -1);
        row("sharp s is ss",
            "stra\xdf"
            "e",
            "strasse", 1);
        row("sharp s before st", "\xdf", "st", -1);
        row("cedilla with c",
            "\xe7"
            "a",
            "cb", -1);
        row("acute before grave", "\xe9", "\xe8", -1);
        row("grave before circumflex", "\xe8", "\xea", -1);
        row("first accent decides", "cot\xe9", "c\xf4te", -1);
        row("prefix first", "Paul", "Pauline", -1);
        row("empty first", "", "a", -1);
        row("not letters before letters", "1", "a", -1);
        row("digits by text", "10", "9", -1);
        row("space before letters", "de Gaulle", "dea", -1);
        row("identical", "\xc9mile", "\xc9mile", 0);
    }

    void comparesPairs()
    {
        QFETCH(QByteArray, a);
        QFETCH(QByteArray, b);
        QFETCH(int, expected);
        QCOMPARE(sign(collation::compareFrench(a.toStdString(), b.toStdString())), expected);
        QCOMPARE(sign(collation::compareFrench(b.toStdString(), a.toStdString())), -expected);
    }

    // A whole alphabet out of order comes back in dictionary order, and every pair agrees with it.
    void sortsAList()
    {
        const std::vector<std::string> expected = {"",     "1",       "a",       "A",          "\xe0", "\xc0", "b",
                                                   "cote", "cot\xe9", "c\xf4te", "c\xf4t\xe9", "e",    "E",    "\xe9",
                                                   "\xc9", "\xe8",    "\xea",    "\xeb",       "f",    "oe",   "\x9c",
                                                   "\x8c", "of",      "z",       "Z",          "\x9e"};
        std::vector<std::string> shuffled = expected;
        std::reverse(shuffled.begin(), shuffled.end());
        std::rotate(shuffled.begin(), shuffled.begin() + 7, shuffled.end());
        std::stable_sort(shuffled.begin(), shuffled.end(),
                         [](const std::string& x, const std::string& y) { return collation::compareFrench(x, y) < 0; });
        QCOMPARE(shuffled, expected);
        // Where the packed keys differ they agree with the order; long texts share them past 7 letters.
        std::vector<std::string> texts = expected;
        texts.insert(texts.end(), {"Saint-\xc9tienne", "Saint-Etienne", "Saint-Denis",
                                   "stra\xdf"
                                   "e",
                                   "strasse", "\x9cuvres compl\xe8tes", "oeuvre", "abcdefg1", "abcdefg2"});
        for (const std::string& x : texts) {
            for (const std::string& y : texts) {
                const auto keyX = collation::prefixKey(x);
                const auto keyY = collation::prefixKey(y);
                if (keyX != keyY)
                    QCOMPARE(keyX < keyY ? -1 : 1, sign(collation::compareFrench(x, y)));
            }
        }
        QCOMPARE(collation::prefixKey("abcdefg1"), collation::prefixKey("abcdefg2"));
        QVERIFY(collation::prefixKey("e") < collation::prefixKey("\xe9t"));
        for (std::size_t i = 0; i < expected.size(); ++i) {
            for (std::size_t j = 0; j < expected.size(); ++j)
                QCOMPARE(sign(collation::compareFrench(expected[i], expected[j])), i < j ? -1 : (i > j ? 1 : 0));
        }
    }

    void ordersTheTable_data()
    {
        QTest::addColumn<QString>("index");
        QTest::addColumn<int>("field");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("text, accents with their letter")
            << QStringLiteral("F01;F02") << 0
            << QStringList{QStringLiteral("anne"),  QStringLiteral("Bruno"),    QStringLiteral("Bruno"),
                           QStringLiteral("emile"), QStringLiteral("\xc9mile"), QStringLiteral("Paul"),
                           QStringLiteral("Zo\xe9")};
        QTest::newRow("second key breaks ties")
            << QStringLiteral("F01;F02") << 1
            << QStringList{QStringLiteral("x"), QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("x"),
                           QStringLiteral("x"), QStringLiteral("x"), QStringLiteral("x")};
        // Null first, 9 before 10, equal values by F01.
        QTest::newRow("numbers by value")
            << QStringLiteral("F05;F01") << 0
            << QStringList{QStringLiteral("Paul"),  QStringLiteral("emile"),    QStringLiteral("anne"),
                           QStringLiteral("Bruno"), QStringLiteral("\xc9mile"), QStringLiteral("Zo\xe9"),
                           QStringLiteral("Bruno")};
    }

    void ordersTheTable()
    {
        QFETCH(QString, index);
        QFETCH(int, field);
        QFETCH(QStringList, expected);
        RecordTable table;
        QVERIFY(table.loadFromBytes(packet(
            {"Zo\xe9|x|10", "Bruno|b|9", "\xc9mile|x|10", "anne|x|9", "Paul|x|-", "Bruno|a|100", "emile|x|-5"})));
        installFrenchOrder(table);
        QVERIFY(table.setIndexFieldNames(index.toStdString()));
        QCOMPARE(column(table, field), expected);
    }
};

QTEST_GUILESS_MAIN(TestCollation)
#include "tst_collation.moc"
