#include "browse/filterbuilder.h"
#include "platform/filterexpression.h"
#include "platform/recordtable.h"

#include <QTest>

#include <array>

using namespace fichora;

namespace {

// Box settings as "F06=Paris" (shown) or "F06~Paris" (hidden); boxes not named are empty and shown.
// One box more than the window has, to show that it is ignored.
struct Boxes
{
    explicit Boxes(const QStringList& settings)
    {
        for (std::size_t i = 0; i < boxes.size(); ++i)
            boxes[i].visible = true;
        for (const QString& setting : settings) {
            const int n = setting.mid(1, 2).toInt();
            const auto at = static_cast<std::size_t>(n - 1);
            texts[at] = setting.mid(4).toLatin1().toStdString();
            boxes[at].text = texts[at];
            boxes[at].visible = setting.at(3) == QLatin1Char('=');
        }
    }
    std::array<std::string, kFilterBoxCount + 1> texts;
    std::array<FilterBox, kFilterBoxCount + 1> boxes{};
};

std::string packet()
{
    return "<?xml version=\"1.0\" standalone=\"yes\"?><DATAPACKET Version=\"2.0\"><METADATA><FIELDS>"
           "<FIELD attrname=\"F01\" fieldtype=\"string\" WIDTH=\"40\"/>"
           "<FIELD attrname=\"F02\" fieldtype=\"string\" WIDTH=\"40\"/>"
           "<FIELD attrname=\"F05\" fieldtype=\"r8\"/>"
           "<FIELD attrname=\"F06\" fieldtype=\"string\" WIDTH=\"40\"/>"
           "</FIELDS></METADATA><ROWDATA>"
           "<ROW F01=\"pauline\" F02=\"Martin\" F05=\"136\" F06=\"PARIS\"/>"
           "<ROW F01=\"Paul\" F02=\"d'Artagnan\" F05=\"12\" F06=\"Lyon\"/>"
           "<ROW F01=\"O'Neil\" F02=\"L'Isle\" F05=\"136\" F06=\"Paris\"/>"
           "<ROW F01=\"Zo\xe9\" F02=\"Dupont\" F06=\"Nice\"/>"
           "</ROWDATA></DATAPACKET>";
}

} // namespace

class TestFilterBuilder : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void buildsExpression_data()
    {
        QTest::addColumn<QStringList>("settings");
        QTest::addColumn<int>("comparison");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("= with a star, two terms")
            << QStringList{QStringLiteral("F01=Paul*"), QStringLiteral("F06=Paris")} << 0
            << QByteArray("F01='Paul*' and F06='Paris'");
        QTest::newRow("like alone, no leading and")
            << QStringList{QStringLiteral("F06=%ari%")} << 1 << QByteArray("F06 like '%ari%'");
        QTest::newRow("hidden box ignored, F01 and F02 always used")
            << QStringList{QStringLiteral("F01~a"), QStringLiteral("F02~b"), QStringLiteral("F07~c")} << 0
            << QByteArray("F01='a' and F02='b'");
        QTest::newRow("quotes doubled") << QStringList{QStringLiteral("F01=O'Neil"), QStringLiteral("F02=d'Art''")} << 0
                                        << QByteArray("F01='O''Neil' and F02='d''Art'''''");
        QTest::newRow("number field quoted, text kept as typed")
            << QStringList{QStringLiteral("F01= Paul "), QStringLiteral("F05=136")} << 0
            << QByteArray("F01=' Paul ' and F05='136'");
        QTest::newRow("last box counts, one past it does not")
            << QStringList{QStringLiteral("F22=x"), QStringLiteral("F23=y")} << 1 << QByteArray("F22 like 'x'");
        QTest::newRow("no box") << QStringList{} << 0 << QByteArray();
    }

    void buildsExpression()
    {
        QFETCH(QStringList, settings);
        QFETCH(int, comparison);
        QFETCH(QByteArray, expected);
        const Boxes boxes(settings);
        QCOMPARE(QByteArray::fromStdString(buildStandardFilter(boxes.boxes, static_cast<FilterComparison>(comparison))),
                 expected);
    }

    // What the builder writes, the filter language reads as meant.
    void builtExpressionFilters_data()
    {
        QTest::addColumn<QStringList>("settings");
        QTest::addColumn<int>("comparison");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("prefix and case") << QStringList{QStringLiteral("F01=Paul*"), QStringLiteral("F06=Paris")} << 0
                                         << QStringList{QStringLiteral("pauline")};
        QTest::newRow("name with a quote")
            << QStringList{QStringLiteral("F01=o'neil")} << 0 << QStringList{QStringLiteral("O'Neil")};
        QTest::newRow("quotes in like") << QStringList{QStringLiteral("F02=%'%")} << 1
                                        << QStringList{QStringLiteral("Paul"), QStringLiteral("O'Neil")};
        QTest::newRow("number as quoted text") << QStringList{QStringLiteral("F05=136"), QStringLiteral("F06=%ari%")}
                                               << 1 << QStringList{QStringLiteral("pauline"), QStringLiteral("O'Neil")};
        QTest::newRow("no box: every record") << QStringList{} << 0
                                              << QStringList{QStringLiteral("pauline"), QStringLiteral("Paul"),
                                                             QStringLiteral("O'Neil"), QStringLiteral("Zo\xe9")};
    }

    void builtExpressionFilters()
    {
        QFETCH(QStringList, settings);
        QFETCH(int, comparison);
        QFETCH(QStringList, expected);
        RecordTable table;
        QVERIFY(table.loadFromBytes(packet()));
        installFilterLanguage(table);
        const Boxes boxes(settings);
        QVERIFY(table.setFilter(buildStandardFilter(boxes.boxes, static_cast<FilterComparison>(comparison))));
        const auto on = table.setFiltered(true);
        QVERIFY2(on, on ? "" : qPrintable(on.error().message));
        QStringList names;
        for (int i = 0; i < table.recordCount(); ++i)
            names << QString::fromLatin1(table.textAt(table.rowAt(i), 0).c_str());
        QCOMPARE(names, expected);
    }
};

QTEST_GUILESS_MAIN(TestFilterBuilder)
#include "tst_filterbuilder.moc"
