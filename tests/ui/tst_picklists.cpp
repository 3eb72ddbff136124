#include "app/session.h"
#include "db/cipher.h"
#include "db/fieldrows.h"
#include "platform/cp1252.h"
#include "scriptedservices.h"
#include "testdirs.h"
#include "ui/recordtablemodel.h"
#include "ui/tform1.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

using namespace fichora;
using fichora::test::ScriptedServices;

namespace {

void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

/// The main window over a program folder of its own, with the shipped address book opened.
struct Browsing
{
    QTemporaryDir dir;
    ScriptedServices services;
    Session session;
    std::unique_ptr<TForm1> form;

    explicit Browsing(bool protectedDatabase = false)
    {
        const QString user = dir.path() + QStringLiteral("/Fichora");
        QDir().mkpath(user);
        QDir().mkpath(dir.path() + QStringLiteral("/shipped"));
        QByteArray config(40, '-');
        config[25] = 'F';
        config[36] = 'X';
        writeAll(user + QStringLiteral("/Fichora_conf.ref"), config);
        for (const char* name : {"Carnet.par", "Carnet.xml"})
            QFile::copy(test::resourcePath(QLatin1String(name)), path(QLatin1String(name)));
        if (protectedDatabase) {
            QFile par(path(QStringLiteral("Carnet.par")));
            QVERIFY(par.open(QIODevice::ReadWrite));
            par.seek(13);
            par.write("P", 1);
        }
        session.kdfParams = cipher::fastKdfParams();
        form = std::make_unique<TForm1>(services, session,
                                        ProgramLocations{user, dir.path() + QStringLiteral("/shipped")});
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        services.setNextFileName(path(QStringLiteral("Carnet.xml")));
        form->toolAction(1)->trigger();
        QVERIFY(session.open);
        services.clear();
    }
    QString path(const QString& name) const { return dir.path() + QLatin1Char('/') + name; }
    template <typename T = QWidget> T* find(const char* name) const { return form->findChild<T*>(QLatin1String(name)); }
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
    QString current(int field) const { return cp1252::toUnicode(session.records.text(field - 1)); }
    int count() const { return find<QLineEdit>("Edit2")->text().toInt(); }
};

} // namespace

class TestPickLists : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void dropDownOffersSavedValuesAndChooses();
    void protectedDatabaseRefusesChoice();
};

void TestPickLists::dropDownOffersSavedValuesAndChooses()
{
    Browsing b;
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
    QCOMPARE(b.current(5), QStringLiteral("Brest"));
    QCOMPARE(b.form->fieldControls(5).editor->property("text").toString(), QStringLiteral("Brest"));
    QVERIFY(b.session.modified);
    QVERIFY(b.form->toolAction(11)->isEnabled());
}

void TestPickLists::protectedDatabaseRefusesChoice()
{
    Browsing b(true);
    QVERIFY(b.session.isReadOnly());
    QComboBox* box = b.form->fieldControls(5).pickList;
    box->showPopup();
    QCOMPARE(box->count(), 29);
    QVERIFY(b.session.records.locate(0, "Martin"));
    b.form->ComboBoxSelect(5, 0);
    box->hidePopup();
    QCOMPARE(b.current(5), QStringLiteral("Paris"));
    QVERIFY(!b.session.modified);
}

QTEST_MAIN(TestPickLists)
#include "tst_picklists.moc"
