#include "mainwindowfixture.h"
#include "ui/tform1.h"

#include <QAction>
#include <QComboBox>
#include <QTest>

using namespace fichora;
using fichora::test::MainWindowFixture;

class TestPickLists : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void dropDownOffersSavedValuesAndChooses();
    void protectedDatabaseRefusesChoice();
};

void TestPickLists::dropDownOffersSavedValuesAndChooses()
{
    MainWindowFixture b;
    QComboBox* box = b.form->fieldControls(5).pickList; // the town
    const QRect resting = box->geometry();
    QCOMPARE(resting.x(), 821);
    box->showPopup();
    QCOMPARE(box->geometry().x(), 571);
    QCOMPARE(box->width(), 273);
    // Distinct values in the French order: Brest once, Besançon before Bordeaux and Brest.
    QCOMPARE(box->count(), 29);
    QCOMPARE(box->itemText(0), QStringLiteral("Aix-en-Provence"));
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << box->itemText(i);
    QCOMPARE(items.count(QStringLiteral("Brest")), 1);
    QVERIFY(items.indexOf(QStringLiteral("Besançon")) < items.indexOf(QStringLiteral("Bordeaux")));
    b.form->grab().save(QStringLiteral("/work/screens/h8-picklist.png"));

    QVERIFY(b.session.records.locate(0, "Martin"));
    b.form->ComboBoxSelect(5, static_cast<int>(items.indexOf(QStringLiteral("Brest"))));
    box->hidePopup();
    QCOMPARE(box->geometry(), QRect(821, resting.y(), 23, resting.height()));
    QCOMPARE(b.stored(5), QStringLiteral("Brest"));
    QCOMPARE(b.form->fieldControls(5).editor->property("text").toString(), QStringLiteral("Brest"));
    QVERIFY(b.session.modified);
    QVERIFY(b.form->toolAction(11)->isEnabled());
}

void TestPickLists::protectedDatabaseRefusesChoice()
{
    MainWindowFixture b({.readOnly = 'P'});
    QVERIFY(b.session.isReadOnly());
    QComboBox* box = b.form->fieldControls(5).pickList;
    box->showPopup();
    QCOMPARE(box->count(), 29);
    QVERIFY(b.session.records.locate(0, "Martin"));
    b.form->ComboBoxSelect(5, 0);
    box->hidePopup();
    QCOMPARE(b.stored(5), QStringLiteral("Paris"));
    QVERIFY(!b.session.modified);
}

QTEST_MAIN(TestPickLists)
#include "tst_picklists.moc"
