#include "db/parameterfile.h"
#include "platform/cp1252.h"
#include "platform/recordtable.h"
#include "testdirs.h"

#include <QRegularExpression>
#include <QTest>

using namespace fichora;

/// The address book shipped in the program folder is what a newcomer opens first: it must load in the
/// record table as the program itself would see it.
class TestSample : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void sampleLoadsWithItsNumberFieldAndAccents()
    {
        RecordTable table;
        const auto loaded = table.loadFromFile(test::resourcePath(QStringLiteral("Carnet.xml")));
        QVERIFY2(loaded.has_value(), loaded ? "" : qPrintable(loaded.error().message));
        QCOMPARE(table.fieldCount(), 23);
        QVERIFY(table.recordCount() >= 25);

        // The data file and the parameter file agree on which fields are numbers.
        const QString par = test::resourcePath(QStringLiteral("Carnet.par"));
        for (int n = 2; n <= 21; ++n) {
            const auto type = parameterfile::readFieldType(par, n);
            QVERIFY(type.has_value());
            QCOMPARE(table.fields()[static_cast<std::size_t>(n - 1)].isNumber,
                     *type == parameterfile::FieldType::Number);
        }

        bool accented = false;
        bool longText = false;
        for (int r = 0; r < table.recordCount(); ++r) {
            const QString name = cp1252::toUnicode(table.textAt(table.rowAt(r), 1));
            accented = accented || name.contains(QRegularExpression(QStringLiteral("[éèêëàâçîïôûü]")));
            longText = longText || table.textAt(table.rowAt(r), 21).size() > 100;
        }
        QVERIFY(accented);
        QVERIFY(longText);
    }
};

QTEST_GUILESS_MAIN(TestSample)
#include "tst_sample.moc"
