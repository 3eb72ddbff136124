#include "mainwindowfixture.h"
#include "ui/recordtablemodel.h"
#include "ui/tform1.h"
#include "ui/tform2.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTest>

using namespace fichora;

namespace {

/// The main window with the shipped address book opened.
struct Browsing : test::MainWindowFixture
{
    QPushButton* button(const char* name) const { return find<QPushButton>(name); }
    QLineEdit* filterBox(int field) const { return form->fieldControls(field).filterBox; }
    /// F01 of every record the grid shows, in its order.
    QStringList column1() const
    {
        QStringList names;
        for (int row = 0; row < form->recordModel()->rowCount(); ++row)
            names << form->recordModel()->index(row, 0).data().toString();
        return names;
    }
    int count() const { return find<QLineEdit>("Edit2")->text().toInt(); }
};

} // namespace

class TestBrowsing : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void sortButtonsOrderAndEnable();
    void standardFilter_data();
    void standardFilter();
    void argumentFilter();
    void pictureFilterAndLook();
    void column1Search();
    void wholeDatabaseSearch();
    void colourMarkPaintsCell();
    void newDatabaseWindowReplacesMainWindow();
};

void TestBrowsing::sortButtonsOrderAndEnable()
{
    Browsing b;
    QVERIFY(!b.button("BitBtn6")->isEnabled());
    QVERIFY(b.button("BitBtn7")->isEnabled());
    const QStringList byName = b.column1();
    // Accented and lower-case names stand beside their base letter, not after z.
    QVERIFY(byName.indexOf(QStringLiteral("Bélanger")) < byName.indexOf(QStringLiteral("Bonnet")));
    QVERIFY(byName.indexOf(QStringLiteral("Bonnet")) < byName.indexOf(QStringLiteral("Chevalier")));
    QVERIFY(byName.indexOf(QStringLiteral("d'Artagnan")) < byName.indexOf(QStringLiteral("Fontaine")));

    // The current record stays current through the sort.
    QVERIFY(b.session.records.locate(0, "Moreau"));
    b.button("BitBtn10")->click(); // F05, the town
    QCOMPARE(b.stored(1), QStringLiteral("Moreau"));
    QVERIFY(!b.button("BitBtn10")->isEnabled());
    QVERIFY(b.button("BitBtn6")->isEnabled());
    const QStringList byTown = b.column1();
    QCOMPARE(byTown.first(), QStringLiteral("Mercier")); // Aix-en-Provence
    // Brest twice: the two records come out ordered by F01.
    QVERIFY(byTown.indexOf(QStringLiteral("Faure")) + 1 == byTown.indexOf(QStringLiteral("Fontaine")));

    b.button("BitBtn6")->click();
    QCOMPARE(b.column1(), byName);
    QVERIFY(b.button("BitBtn10")->isEnabled());
}

void TestBrowsing::standardFilter_data()
{
    QTest::addColumn<int>("comparison");
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("= begins") << 0 << 1 << QStringLiteral("l*")
                              << QStringList{QStringLiteral("L'Isle"), QStringLiteral("Lacroix"),
                                             QStringLiteral("Lambert"), QStringLiteral("Lefèvre"),
                                             QStringLiteral("Lemaître")};
    QTest::newRow("= exact any case") << 0 << 5 << QStringLiteral("BREST")
                                      << QStringList{QStringLiteral("Faure"), QStringLiteral("Fontaine")};
    QTest::newRow("like") << 1 << 5 << QStringLiteral("%sur%") << QStringList{QStringLiteral("L'Isle")};
    QTest::newRow("quoted name") << 0 << 5 << QStringLiteral("L'Isle-sur-la-Sorgue")
                                 << QStringList{QStringLiteral("L'Isle")};
}

void TestBrowsing::standardFilter()
{
    QFETCH(int, comparison);
    QFETCH(int, field);
    QFETCH(QString, text);
    QFETCH(QStringList, expected);
    Browsing b;
    const QList<QRadioButton*> choices =
        b.form->findChild<QWidget*>(QStringLiteral("RadioGroup2"))->findChildren<QRadioButton*>();
    choices[comparison]->setChecked(true);
    b.filterBox(field)->setText(text);
    b.button("BitBtn19")->click();
    QVERIFY(b.services.shown().isEmpty());
    QCOMPARE(b.column1(), expected);
    QCOMPARE(b.count(), expected.size());
    QVERIFY(b.session.filterActive);
    QVERIFY(!b.button("BitBtn19")->isVisible());
    QVERIFY(b.button("BitBtn21")->isVisible());

    b.button("BitBtn21")->click();
    QCOMPARE(b.count(), 30);
    QVERIFY(!b.session.filterActive);
    QVERIFY(b.button("BitBtn19")->isVisible());
}

void TestBrowsing::argumentFilter()
{
    Browsing b;
    b.find<QWidget>("RadioGroup1")->findChildren<QRadioButton*>()[1]->click();
    QVERIFY(b.find<QLineEdit>("Edit21")->isVisible());
    QVERIFY(!b.filterBox(3)->isVisible());
    // The hint's form, with the age field standing for the number.
    b.find<QLineEdit>("Edit21")->setText(QStringLiteral("F05='brest*' and (F08<40 or F14 IS NOT NULL)"));
    b.button("BitBtn19")->click();
    QVERIFY(b.services.shown().isEmpty());
    QCOMPARE(b.column1(), QStringList{QStringLiteral("Faure")});

    b.find<QLineEdit>("Edit21")->setText(QStringLiteral("F01 = = 'x'"));
    b.button("BitBtn19")->click();
    QCOMPARE(b.services.texts(), QStringList{QStringLiteral("Argument de filtrage incorrect !")});
    // The window shows the field-filter state; the table lets every record through.
    QVERIFY(b.button("BitBtn21")->isVisible());
    QCOMPARE(b.count(), 30);
}

void TestBrowsing::pictureFilterAndLook()
{
    Browsing b;
    const QColor plain = b.form->palette().color(QPalette::Window);
    b.button("BitBtn17")->click();
    QCOMPARE(b.count(), 22); // the sample records with pictures
    QVERIFY(b.session.photoFilter);
    QVERIFY(!b.session.filterActive);
    QVERIFY(b.button("BitBtn23")->isVisible());
    QVERIFY(!b.button("BitBtn17")->isVisible());
    QCOMPARE(b.form->palette().color(QPalette::Window), QColor(240, 80, 64));
    QVERIFY(b.find<QLineEdit>("Edit2")->styleSheet().contains(QStringLiteral("255, 0, 0")));
    QVERIFY(!b.column1().contains(QStringLiteral("Lefèvre")));
    b.form->grab().save(QStringLiteral("/work/screens/h8-filtered.png"));

    b.button("BitBtn23")->click();
    QCOMPARE(b.count(), 30);
    QCOMPARE(b.form->palette().color(QPalette::Window), plain);
    QVERIFY(b.find<QLineEdit>("Edit2")->styleSheet().contains(QStringLiteral("white")));
}

void TestBrowsing::column1Search()
{
    Browsing b;
    b.find<QLineEdit>("Edit1")->setText(QStringLiteral("ROUSSE"));
    b.button("BitBtn18")->click();
    QCOMPARE(b.stored(1), QStringLiteral("Rousseau"));
    QVERIFY(b.services.shown().isEmpty());
    b.find<QLineEdit>("Edit1")->setText(QStringLiteral("Zorro"));
    b.button("BitBtn18")->click();
    QCOMPARE(b.stored(1), QStringLiteral("Rousseau"));
    QCOMPARE(b.services.shown().size(), 1);
}

void TestBrowsing::wholeDatabaseSearch()
{
    Browsing b;
    b.find<QLineEdit>("Edit15")->setText(QStringLiteral("brest"));
    b.button("BitBtn24")->click();
    QCOMPARE(b.stored(1), QStringLiteral("Faure"));
    QVERIFY(b.session.searchWaiting);
    QVERIFY(b.button("BitBtn25")->isVisible());
    QVERIFY(b.button("BitBtn26")->isVisible());
    QVERIFY(!b.button("BitBtn24")->isVisible());
    b.button("BitBtn25")->click();
    QCOMPARE(b.stored(1), QStringLiteral("Fontaine"));
    b.button("BitBtn26")->click();
    QVERIFY(!b.session.searchWaiting);
    QVERIFY(!b.button("BitBtn25")->isVisible());
    QVERIFY(b.button("BitBtn24")->isVisible());
    QCOMPARE(b.session.records.recordNumber(), 1);
    QVERIFY(b.services.shown().isEmpty());

    // A toolbar command ends the wait too.
    b.button("BitBtn24")->click();
    QVERIFY(b.session.searchWaiting);
    b.form->toolAction(22)->trigger();
    QVERIFY(!b.session.searchWaiting);
    QVERIFY(!b.button("BitBtn26")->isVisible());
}

void TestBrowsing::colourMarkPaintsCell()
{
    Browsing b;
    QTableView* grid = b.form->grid();
    grid->setCurrentIndex(b.form->recordModel()->index(0, 2));
    QTest::keyClick(grid, Qt::Key_R, Qt::ControlModifier);
    QCOMPARE(b.session.records.text(20), std::string("R__"));
    QVERIFY(b.session.modified);
    QVERIFY(b.form->toolAction(11)->isEnabled());
    grid->setCurrentIndex(b.form->recordModel()->index(1, 1));
    QApplication::processEvents();
    const QRect cell = grid->visualRect(b.form->recordModel()->index(0, 2));
    const QImage shot = grid->viewport()->grab().toImage();
    QCOMPARE(QColor(shot.pixel(cell.right() - 2, cell.bottom() - 1)), QColor(255, 0, 0));
    const QRect plainCell = grid->visualRect(b.form->recordModel()->index(2, 2));
    QCOMPARE(QColor(shot.pixel(plainCell.right() - 2, plainCell.bottom() - 1)), QColor(Qt::white));
    b.form->grab().save(QStringLiteral("/work/screens/h8-marks.png"));
}

void TestBrowsing::newDatabaseWindowReplacesMainWindow()
{
    Browsing b;
    TForm2 form2(b.services, b.session);
    b.form->setNewDatabaseWindow(&form2);
    b.form->toolAction(2)->trigger();
    QVERIFY(form2.isVisible());
    QVERIFY(!b.form->isVisible());
    QVERIFY(!b.session.open);
    form2.close();
    QVERIFY(b.form->isVisible());
    QVERIFY(!form2.isVisible());
}

QTEST_MAIN(TestBrowsing)
#include "tst_browsing.moc"
