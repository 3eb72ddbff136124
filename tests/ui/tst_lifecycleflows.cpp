#include "db/cipher.h"
#include "db/fieldrows.h"
#include "mainwindowfixture.h"
#include "ui/recordtablemodel.h"
#include "ui/tform1.h"

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QTest>

#include <functional>

using namespace fichora;
using fichora::test::readAll;
using fichora::test::str;

namespace {

/// The main window over a program folder of its own, beside a copy of the shipped address book.
struct Flow : test::MainWindowFixture
{
    Flow() : MainWindowFixture({.open = false}) {}
    /// A copy of the address book under another name; `patch` changes its parameter file first.
    void addDatabase(const QString& base, const std::function<void(QByteArray&)>& patch = {})
    {
        QByteArray parameters = readAll(test::resourcePath(QStringLiteral("Carnet.par")));
        if (patch)
            patch(parameters);
        test::writeAll(path(base + QStringLiteral(".par")), parameters);
        QFile::copy(test::resourcePath(QStringLiteral("Carnet.xml")), path(base + QStringLiteral(".xml")));
    }
    QString label(int field) const { return find<QLabel>(fieldRow(field).label)->text(); }

    /// The window shows no database, as after the close steps.
    void verifyClosed() const
    {
        QVERIFY(!session.open);
        QCOMPARE(form->windowTitle(), QStringLiteral("  Fichora  V3.6"));
        QCOMPARE(form->recordModel()->rowCount(), 0);
        QVERIFY(form->recordModel()->headerData(0, Qt::Horizontal).toString().isEmpty());
        for (const FieldRow& row : kFieldRows) {
            if (!row.label.empty())
                QVERIFY2(label(row.field).isEmpty(), qPrintable(str(row.label)));
            QVERIFY(!find<QCheckBox>(str(row.exportBox))->isChecked());
        }
        QVERIFY(editor(1)->text().isEmpty());
        QVERIFY(edit("Edit2")->text().isEmpty());
        QVERIFY(edit("Edit22")->text().isEmpty());
        QVERIFY(!form->toolAction(11)->isEnabled());
        QVERIFY(!form->toolAction(19)->isEnabled());
        for (const char* name : {"BitBtn3", "Edit1", "Edit15", "OpenOtherPictures", "CheckBox23"})
            QVERIFY2(!find(QLatin1String(name))->isVisible(), name);
    }
};

} // namespace

class TestLifecycleFlows : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void openingThroughTheDialogShowsTheDatabase()
    {
        Flow f;
        f.open(QStringLiteral("Carnet.xml"));
        QCOMPARE(f.services.dialogs().size(), 1);
        QCOMPARE(f.services.dialogs().front().title, QStringLiteral("Chargement base de données à ouvrir"));
        QVERIFY(f.session.open);
        QCOMPARE(f.label(1), QStringLiteral("Nom"));
        QCOMPARE(f.form->recordModel()->rowCount(), f.session.records.recordCount());
        QCOMPARE(f.edit("Edit2")->text(), QString::number(f.session.records.recordCount()));
        QVERIFY(!f.editor(1)->text().isEmpty());
        QVERIFY(f.form->toolAction(19)->isEnabled());
        QVERIFY(!f.form->toolAction(11)->isEnabled());
    }

    void savingPostsTheTypedTextAndWritesTheFile()
    {
        Flow f;
        f.open(QStringLiteral("Carnet.xml"));
        f.editor(2)->selectAll();
        f.type(f.editor(2), QStringLiteral("Zébulon"));
        QVERIFY(f.form->toolAction(11)->isEnabled());
        QVERIFY(!f.form->toolAction(10)->isEnabled());

        // Saved without leaving the record: what was typed is in the file all the same.
        f.form->toolAction(11)->trigger();
        QVERIFY(readAll(f.path(QStringLiteral("Carnet.xml"))).contains("Z&#233;bulon"));
        QVERIFY(!f.session.modified);
        QVERIFY(!f.form->toolAction(11)->isEnabled());
        QVERIFY(f.form->toolAction(10)->isEnabled());
        QCOMPARE(f.editor(2)->text(), QStringLiteral("Zébulon"));
    }

    void closingAsksAboutUnsavedChanges_data()
    {
        QTest::addColumn<bool>("forget");
        QTest::newRow("Cancel keeps it open") << false;
        QTest::newRow("Yes closes it") << true;
    }

    void closingAsksAboutUnsavedChanges()
    {
        QFETCH(bool, forget);
        Flow f;
        f.open(QStringLiteral("Carnet.xml"));
        f.type(f.editor(3), QStringLiteral("!"));
        f.services.clear();
        f.services.setNextAnswer(forget);

        f.form->toolAction(22)->trigger();
        QCOMPARE(f.services.texts(), QStringList{QStringLiteral(
                                         "Les modifications n'ont pas été sauvegardées\nIgnorer ces modifications ?")});
        if (forget) {
            f.verifyClosed();
            // A plain database leaves its files, the opening's backup included.
            QVERIFY(QFile::exists(f.path(QStringLiteral("Carnet.xml.bak"))));
        } else {
            QVERIFY(f.session.open);
            QVERIFY(f.session.modified);
            QCOMPARE(f.label(1), QStringLiteral("Nom"));
            QVERIFY(f.editor(3)->text().startsWith(QLatin1Char('!'))); // typed where the cursor stood
        }
    }

    void aCancelledDialogLeavesNoDatabaseOpen()
    {
        Flow f;
        f.open(QStringLiteral("Carnet.xml"));
        f.form->toolAction(1)->trigger(); // no file given: the dialog is cancelled
        f.verifyClosed();
    }

    void openingAnotherDatabaseReshapesTheWindow()
    {
        Flow f;
        f.addDatabase(QStringLiteral("Court"), [](QByteArray& parameters) {
            parameters.replace(80 * 7 - 39, 15, QByteArray(15, '\0')); // field 7 unused
            parameters[80 * 1 - 23] = 99;                              // column 1: 99 pixels
            parameters[80 * 1 - 22] = 0;
        });
        f.open(QStringLiteral("Carnet.xml"));
        QVERIFY(f.find(QStringLiteral("DBEdit8"))->isVisible());
        f.open(QStringLiteral("Court.xml"));
        QVERIFY(f.session.open);
        QVERIFY(f.label(7).isEmpty());
        for (const char* name : {"DBEdit8", "BitBtn12", "ComboBox7", "CheckBox7", "Edit9"})
            QVERIFY2(!f.find(QLatin1String(name))->isVisible(), name);
        QVERIFY(f.form->grid()->isColumnHidden(6));
        QCOMPARE(f.form->grid()->columnWidth(0), 99);
        QVERIFY(f.form->windowTitle().endsWith(f.path(QStringLiteral("Court.xml"))));
    }

    void savedColumnWidthsComeBackAtTheNextOpening()
    {
        Flow f;
        f.open(QStringLiteral("Carnet.xml"));
        f.form->grid()->setColumnWidth(2, 212);
        f.form->toolAction(19)->trigger();
        f.form->toolAction(22)->trigger();
        f.open(QStringLiteral("Carnet.xml"));
        QCOMPARE(f.form->grid()->columnWidth(2), 212);
    }

    void closingTheWindowStoresTheExportTicks()
    {
        Flow f;
        f.open(QStringLiteral("Carnet.xml"));
        QTest::mouseClick(f.find<QCheckBox>(QStringLiteral("CheckBox3")), Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(!f.session.fields[2].exportTick);
        f.type(f.editor(1), QStringLiteral("x"));

        // Cancel to the question keeps the window and the changed database.
        f.services.setNextAnswer(false);
        QVERIFY(!f.form->close());
        QVERIFY(f.form->isVisible());
        QVERIFY(f.session.open && f.session.modified);

        f.services.setNextAnswer(true);
        QVERIFY(f.form->close());
        const QByteArray parameters = readAll(f.path(QStringLiteral("Carnet.par")));
        QCOMPARE(parameters.at(61 + 80 * 2), 'N');
        QCOMPARE(parameters.at(61 + 80 * 0), 'E');
        QVERIFY(!f.session.open);
    }

    void aCipheredDatabaseOpensWithItsKey()
    {
        Flow f;
        QVERIFY(cipher::cipherFile(f.path(QStringLiteral("Carnet.xml")), f.path(QStringLiteral("Carnet.cip")), "abc12",
                                   f.session.kdfParams)
                    .has_value());
        QFile::remove(f.path(QStringLiteral("Carnet.xml")));
        f.edit("Edit14")->setText(QStringLiteral("abc12"));
        f.open(QStringLiteral("Carnet.cip"));
        QVERIFY(f.session.open);
        QVERIFY(f.session.cipheredOpen);
        QCOMPARE(f.form->fixedColour(), QColor(255, 255, 0));
        QCOMPARE(f.label(1), QStringLiteral("Nom"));
        QVERIFY(f.form->windowTitle().endsWith(f.path(QStringLiteral("Carnet.xml"))));
        QVERIFY(!f.form->toolAction(10)->isEnabled());

        // Closed without saving: the plain copy goes, the ciphered file stays the database.
        f.form->toolAction(22)->trigger();
        f.verifyClosed();
        QVERIFY(!QFile::exists(f.path(QStringLiteral("Carnet.xml"))));
        QVERIFY(QFile::exists(f.path(QStringLiteral("Carnet.cip"))));
    }
};

QTEST_MAIN(TestLifecycleFlows)
#include "tst_lifecycleflows.moc"
