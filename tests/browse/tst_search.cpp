#include "browse/search.h"
#include "platform/collation.h"
#include "platform/filterexpression.h"
#include "platform/recordtable.h"
#include "scriptedservices.h"

#include "testdirs.h"

#include <QTest>

using namespace fichora;
using test::ScriptedServices;

namespace {

// Rows of "F01|F02|F05|F06|F22|F23" in Windows-1252, "-" for null; F05 is a number.
std::string packet(const std::vector<std::string>& rows)
{
    return test::packetFromRows({{"F01"}, {"F02"}, {"F05", true}, {"F06"}, {"F22", false, 9000}, {"F23", false, 200}},
                                rows);
}

const std::vector<std::string> kRows = {
    "Paul|Martin|10|Paris|Paris again|a.jpg",
    "Lamarque|Anne|1.5|Lyon|-|-",
    "Martin|Zo\xe9|-|PARIS||",
    "\xc9mile|Dupont|136|Nice|-|b.jpg",
};

void load(RecordTable& table, const std::vector<std::string>& rows = kRows)
{
    QVERIFY(table.loadFromBytes(packet(rows)));
    installFilterLanguage(table);
    installFrenchOrder(table);
}

QString current(const RecordTable& table)
{
    return QString::fromLatin1(table.text(0).c_str());
}

} // namespace

class TestSearch : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void recordTextJoinsTwentyThreeValues()
    {
        RecordTable table;
        load(table);
        const QString gap(15, QLatin1Char(' ')); // F07..F21
        QCOMPARE(QString::fromLatin1(RecordTextMatcher::recordText(table, 0).c_str()),
                 QStringLiteral("Paul Martin   10 Paris") + gap + QStringLiteral(" Paris again a.jpg"));
        // A null number and empty texts still leave their places.
        QCOMPARE(QString::fromLatin1(RecordTextMatcher::recordText(table, 2).c_str()),
                 QStringLiteral("Martin Zo\xe9    PARIS") + gap + QStringLiteral("  "));
        const std::string second = RecordTextMatcher::recordText(table, 1);
        QCOMPARE(second.substr(0, 19), std::string("Lamarque Anne   1.5"));
        QCOMPARE(std::count(second.begin(), second.end(), ' '), 22);
    }

    void stopsAtEachMatch_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("filter");
        QTest::addColumn<QByteArray>("index");
        QTest::addColumn<QStringList>("stops");
        const auto row = [](const char* name, const char* text, const char* filter, const char* index,
                            const QStringList& stops) {
            QTest::newRow(name) << QByteArray(text) << QByteArray(filter) << QByteArray(index) << stops;
        };
        row("case ignored, a record once however often it matches", "PARIS", "", "",
            {QStringLiteral("Paul"), QStringLiteral("Martin")});
        row("across two fields", "paul martin", "", "", {QStringLiteral("Paul")});
        row("number in its text form", "1.5", "", "", {QStringLiteral("Lamarque")});
        row("accents kept", "emile", "", "", {});
        row("accented capital equals small", "\xe9MILE", "", "", {QStringLiteral("\xc9mile")});
        row("empty text stops everywhere", "", "", "",
            {QStringLiteral("Paul"), QStringLiteral("Lamarque"), QStringLiteral("Martin"), QStringLiteral("\xc9mile")});
        row("hidden records never visited", "PARIS", "F05 > 5", "", {QStringLiteral("Paul")});
        row("present order", "mar", "", "F01;F02",
            {QStringLiteral("Lamarque"), QStringLiteral("Martin"), QStringLiteral("Paul")});
        row("filter and order", "a", "F06 like '%is'", "F02;F01", {QStringLiteral("Paul"), QStringLiteral("Martin")});
    }

    void stopsAtEachMatch()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, filter);
        QFETCH(QByteArray, index);
        QFETCH(QStringList, stops);
        RecordTable table;
        load(table);
        QVERIFY(table.setIndexFieldNames(index.toStdString()));
        QVERIFY(table.setFilter(filter.toStdString()));
        QVERIFY(table.setFiltered(true));
        table.last();
        ScriptedServices services;
        SearchSession session(table, services);
        QStringList seen;
        auto outcome = session.start(text.toStdString(), 'E');
        while (outcome == SearchSession::Outcome::Matched && seen.size() <= stops.size()) {
            QVERIFY(session.isWaiting());
            QVERIFY(services.texts().isEmpty());
            seen << current(table);
            outcome = session.next('E');
        }
        QCOMPARE(seen, stops);
        QCOMPARE(outcome, SearchSession::Outcome::Finished);
        QCOMPARE(session.state(), SearchSession::State::Idle);
        QCOMPARE(services.texts(),
                 QStringList{QStringLiteral("End of seek for text \"%1\"").arg(QString::fromLatin1(text))});
        QCOMPARE(services.shown().front().kind, ScriptedServices::Kind::Information);
        QCOMPARE(services.beeps(), QList<Services::Beep>(stops.size() + 1, Services::Beep::Warning));
        QCOMPARE(table.recordNumber(), 1);
    }

    void cancelAtTheFirstStop()
    {
        RecordTable table;
        load(table);
        ScriptedServices services;
        SearchSession session(table, services);
        QCOMPARE(session.cancel(), SearchSession::Outcome::Ignored);
        QCOMPARE(session.start("PARIS", 'F'), SearchSession::Outcome::Matched);
        table.setRecordNumber(3); // the person looks elsewhere while the search waits
        QCOMPARE(session.cancel(), SearchSession::Outcome::Cancelled);
        QCOMPARE(table.recordNumber(), 1);
        QVERIFY(services.texts().isEmpty());
        QCOMPARE(services.beeps().size(), 2);
        QCOMPARE(session.next('F'), SearchSession::Outcome::Ignored);
        QCOMPARE(session.cancel(), SearchSession::Outcome::Ignored);
        QCOMPARE(services.beeps().size(), 2);
    }

    // Next walks on from the record after the current one, wherever the person moved it.
    void nextGoesOnFromTheCurrentRecord()
    {
        RecordTable table;
        load(table);
        ScriptedServices services;
        SearchSession session(table, services);
        QCOMPARE(session.start("i", 'E'), SearchSession::Outcome::Matched);
        QCOMPARE(current(table), QStringLiteral("Paul"));
        table.setRecordNumber(3);
        QCOMPARE(session.next('E'), SearchSession::Outcome::Matched);
        QCOMPARE(current(table), QStringLiteral("\xc9mile"));
        QCOMPARE(session.next('F'), SearchSession::Outcome::Finished);
        QCOMPARE(services.texts(), QStringList{QStringLiteral("Fin de la recherche du texte \"i\"")});
    }

    void pendingEditIsSearched()
    {
        RecordTable table;
        load(table);
        QVERIFY(table.setRecordNumber(2));
        QVERIFY(table.setValue(table.fieldIndex("F06"), std::string("Rome")));
        ScriptedServices services;
        SearchSession session(table, services);
        QCOMPARE(session.start("rome", 'E'), SearchSession::Outcome::Matched);
        QCOMPARE(current(table), QStringLiteral("Lamarque"));
    }

    void emptyDatabaseEndsAtOnce()
    {
        RecordTable table;
        load(table, {});
        ScriptedServices services;
        SearchSession session(table, services);
        QCOMPARE(session.start("x", 'F'), SearchSession::Outcome::Finished);
        QCOMPARE(services.texts(), QStringList{QStringLiteral("Fin de la recherche du texte \"x\"")});
        QCOMPARE(services.beeps().size(), 1);
        QCOMPARE(table.recordNumber(), 0);
    }

    void columnOneSearch_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<char>("language");
        QTest::addColumn<QString>("found");
        QTest::addColumn<QString>("message");
        QTest::newRow("beginning only") << QByteArray("mar") << 'E' << QStringLiteral("Martin") << QString();
        QTest::newRow("case ignored") << QByteArray("PAU") << 'E' << QStringLiteral("Paul") << QString();
        QTest::newRow("accent kept, French text")
            << QByteArray("emi") << 'F' << QStringLiteral("Lamarque")
            << QStringLiteral("Aucun enregistrement de la colonne 1\nne commence par \"emi\"");
        QTest::newRow("English text") << QByteArray("arque") << 'E' << QStringLiteral("Lamarque")
                                      << QStringLiteral("No record of colomn 1\nstart with \"arque\"");
    }

    void columnOneSearch()
    {
        QFETCH(QByteArray, text);
        QFETCH(char, language);
        QFETCH(QString, found);
        QFETCH(QString, message);
        RecordTable table;
        load(table);
        QVERIFY(table.setRecordNumber(2));
        ScriptedServices services;
        QCOMPARE(searchColumn1(table, services, text.toStdString(), language), message.isEmpty());
        QCOMPARE(current(table), found);
        QCOMPARE(services.texts(), message.isEmpty() ? QStringList{} : QStringList{message});
    }
};

QTEST_GUILESS_MAIN(TestSearch)
#include "tst_search.moc"
