#include "db/fieldrows.h"
#include "mainwindowfixture.h"
#include "platform/cp1252.h"
#include "ui/navigator.h"
#include "ui/recordbinder.h"
#include "ui/recordtablemodel.h"
#include "ui/tform1.h"
#include "ui/tform8.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QToolButton>

using namespace fichora;
using fichora::test::readAll;
using fichora::test::ScriptedServices;
using fichora::test::str;

namespace {

/// The main window and its long-text editor with the shipped address book open, a copy of it in a
/// folder of its own; `readOnly` is put at offset 13 of the parameter file first.
struct View : test::MainWindowFixture
{
    explicit View(char readOnly = ' ') : MainWindowFixture({.readOnly = readOnly, .longTextEditor = true}) {}
    FieldMemo* memo() const { return find<FieldMemo>("DBMemo1"); }
};

} // namespace

class TestRecordView : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void modelShowsTheRecordsAndPassesTheTester()
    {
        View v;
        auto* model = v.form->recordModel();
        QAbstractItemModelTester tester(model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(model->rowCount(), v.records().recordCount());
        QCOMPARE(model->columnCount(), 23);
        QVERIFY(model->rowCount() > 2);

        const RowId second = v.records().rowAt(1);
        QCOMPARE(model->index(1, 1).data().toString(), v.storedAt(second, 2));
        QCOMPARE(model->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Prénom"));
        QCOMPARE(model->headerData(7, Qt::Horizontal).toString(), QStringLiteral("Âge"));
        QCOMPARE(model->headerData(22, Qt::Horizontal).toString().trimmed(), QStringLiteral("PHOTO"));
        // The number field is right-aligned, the key columns tinted, the others white.
        QVERIFY(model->index(0, 7).data(Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignRight);
        QVERIFY(model->index(0, 6).data(Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignLeft);
        QCOMPARE(model->index(0, 0).data(Qt::BackgroundRole).value<QBrush>().color(), QColor(195, 244, 253));
        QCOMPARE(model->index(0, 1).data(Qt::BackgroundRole).value<QBrush>().color(), QColor(195, 244, 253));
        QCOMPARE(model->index(0, 2).data(Qt::BackgroundRole).value<QBrush>().color(), QColor(Qt::white));
        QVERIFY(!(model->flags(model->index(0, 0)) & Qt::ItemIsEditable));
        // The row indicator marks the current record only.
        const int current = v.records().recordNumber() - 1;
        QVERIFY(!model->headerData(current, Qt::Vertical).toString().isEmpty());
        QVERIFY(model->headerData(current == 0 ? 1 : 0, Qt::Vertical).toString().isEmpty());

        // Closing empties it, through a reset the tester checks.
        v.services.setNextAnswer(true);
        v.form->toolAction(22)->trigger();
        QCOMPARE(model->rowCount(), 0);
        QVERIFY(model->headerData(0, Qt::Horizontal).toString().isEmpty());
    }

    void aMillionRecordsShowAndMove()
    {
        std::string packet = "<?xml version=\"1.0\" standalone=\"yes\"?><DATAPACKET Version=\"2.0\"><METADATA><FIELDS>";
        for (int n = 1; n <= 23; ++n)
            packet += "<FIELD attrname=\"F" + std::string(n < 10 ? "0" : "") + std::to_string(n) +
                      "\" fieldtype=\"string\" WIDTH=\"4000\"/>";
        packet += "</FIELDS><PARAMS/></METADATA><ROWDATA>";
        constexpr int kRecords = 1'000'000;
        for (int i = 0; i < kRecords; ++i)
            packet += "<ROW F01=\"r" + std::to_string(i) + "\" F02=\"x\"/>";
        packet += "</ROWDATA></DATAPACKET>";
        View v;
        QVERIFY(v.records().loadFromBytes(std::move(packet)).has_value());
        auto* model = v.form->recordModel();
        QTableView* grid = v.form->grid();

        v.form->recordsChanged();
        grid->scrollToBottom();
        grid->viewport()->repaint();
        v.press(Navigator::Button::Last);
        v.press(Navigator::Button::First);
        grid->viewport()->repaint();
        QCOMPARE(model->rowCount(), kRecords);
        QCOMPARE(model->index(kRecords - 1, 0).data().toString(),
                 cp1252::toUnicode(v.records().textAt(v.records().rowAt(kRecords - 1), 0)));
        QCOMPARE(v.editor(1)->text(), QStringLiteral("r0"));
    }

    void openingShapesTheWindow_data()
    {
        QTest::addColumn<char>("readOnly");
        QTest::newRow("writable") << ' ';
        QTest::newRow("protected") << 'P';
    }

    void openingShapesTheWindow()
    {
        QFETCH(char, readOnly);
        View v(readOnly);
        const bool isProtected = readOnly == 'P';
        QVERIFY(v.session.open);
        QCOMPARE(v.form->windowTitle(),
                 QStringLiteral("  Fichora  V3.6") + QString(20, QLatin1Char(' ')) + v.dataFile());
        QCOMPARE(v.find<QLabel>(QStringLiteral("Label1"))->text(), QStringLiteral("Nom"));
        QCOMPARE(v.find<QLabel>(QStringLiteral("Label6"))->text(), QStringLiteral("Âge"));
        QCOMPARE(v.edit("Edit2")->text(), QString::number(v.records().recordCount()));
        QCOMPARE(v.edit("Edit22")->text(), QString::number(v.records().recordNumber()));
        QCOMPARE(v.form->grid()->currentIndex().row(), v.records().recordNumber() - 1);

        auto* grid = v.form->grid();
        for (const FieldRow& row : kFieldRows) {
            const bool inUse = row.field <= 8 || row.field >= 22;
            const auto shown = [&](std::string_view name) {
                if (!name.empty())
                    QCOMPARE(v.find<QWidget>(str(name))->isVisible(), inUse);
            };
            QCOMPARE(grid->isColumnHidden(row.column), !inUse);
            shown(row.exportBox);
            if (row.field == 23)
                continue;
            shown(row.editor);
            shown(row.sortButton);
            shown(row.pickList);
            shown(row.filterBox);
            QCOMPARE(v.find<QCheckBox>(str(row.exportBox))->isChecked(), true);
            const QString hint = v.find<QWidget>(str(row.editor))->toolTip();
            QCOMPARE(hint, row.field == 8 ? QStringLiteral("Valeur numérique")
                                          : QStringLiteral("Texte  (Double-cliquez pour éditer)"));
        }
        QCOMPARE(grid->columnWidth(0), 130);
        QCOMPARE(grid->columnWidth(21), 250);
        QVERIFY(!v.find<QPushButton>(QStringLiteral("BitBtn6"))->isEnabled());
        QVERIFY(v.find<QPushButton>(QStringLiteral("BitBtn7"))->isEnabled());
        QVERIFY(v.editor(8)->alignment() & Qt::AlignRight);
        QCOMPARE(v.editor(1)->text(), v.stored(1));
        QCOMPARE(v.memo()->toPlainText(), v.stored(22).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
        QCOMPARE(v.editor(1)->isReadOnly(), isProtected);
        QCOMPARE(v.memo()->isReadOnly(), isProtected);
        QCOMPARE(v.form->navigator()->visibleButtons(),
                 isProtected ? Navigator::browsingButtons() : Navigator::editingButtons());
        QCOMPARE(v.form->navigator()->width(), isProtected ? 116 : 203);
        QCOMPARE(v.form->navigator()->buttonHint(Navigator::Button::Delete),
                 QStringLiteral("Supprimer l'enregistrement"));
    }

    void editsArePostedWhenTheRecordChanges()
    {
        View v;
        v.records().first();
        v.form->DataSource1DataChange();
        const RowId first = *v.records().currentRow();
        v.editor(2)->selectAll();
        v.type(v.editor(2), QStringLiteral("Zoé"));
        QCOMPARE(v.storedAt(first, 2) == QStringLiteral("Zoé"), false); // not yet: still typed only

        v.press(Navigator::Button::Next);
        QCOMPARE(v.storedAt(first, 2), QStringLiteral("Zoé"));
        QCOMPARE(v.records().recordNumber(), 2);
        QCOMPARE(v.edit("Edit22")->text(), QStringLiteral("2"));
        QCOMPARE(v.editor(1)->text(), v.stored(1));
        QCOMPARE(v.form->grid()->currentIndex().row(), 1);
        QVERIFY(v.session.modified);

        // Choosing a row in the grid makes it current, and the editors follow.
        auto* grid = v.form->grid();
        grid->setCurrentIndex(v.form->recordModel()->index(3, 0));
        QCOMPARE(v.records().recordNumber(), 4);
        QCOMPARE(v.editor(1)->text(), v.stored(1));
        QCOMPARE(v.edit("Edit22")->text(), QStringLiteral("4"));

        // Cancel gives back the record as it was.
        v.type(v.editor(5), QStringLiteral("xyz"));
        v.press(Navigator::Button::Cancel);
        QCOMPARE(v.editor(5)->text(), v.stored(5));
        QVERIFY(!v.editor(5)->text().endsWith(QStringLiteral("xyz")));
    }

    void aNumberFieldRefusesWhatIsNotANumber()
    {
        View v;
        v.records().first();
        v.form->DataSource1DataChange();
        const RowId first = *v.records().currentRow();
        const QString before = v.storedAt(first, 8);
        v.editor(8)->selectAll();
        v.type(v.editor(8), QStringLiteral("douze"));

        v.press(Navigator::Button::Next);
        QCOMPARE(v.services.shown().size(), 1);
        QCOMPARE(v.services.shown().front().kind, ScriptedServices::Kind::Error);
        QVERIFY(v.services.texts().front().contains(QStringLiteral("douze")));
        QVERIFY(v.services.texts().front().contains(QStringLiteral("Âge")));
        QCOMPARE(v.records().recordNumber(), 1);
        QCOMPARE(v.storedAt(first, 8), before);

        v.editor(8)->selectAll();
        v.type(v.editor(8), QStringLiteral("12.5"));
        v.press(Navigator::Button::Next);
        QCOMPARE(v.records().recordNumber(), 2);
        QCOMPARE(v.storedAt(first, 8), QStringLiteral("12.5"));
    }

    void charactersOutsideWindows1252AreRefusedAtEntry_data()
    {
        QTest::addColumn<QString>("editor");
        QTest::newRow("short field") << "DBEdit1";
        QTest::newRow("long-text field") << "DBMemo1";
    }

    void charactersOutsideWindows1252AreRefusedAtEntry()
    {
        QFETCH(QString, editor);
        View v;
        QWidget* w = v.find<QWidget>(editor);
        const auto text = [&] {
            if (auto* line = qobject_cast<QLineEdit*>(w))
                return line->text();
            return v.memo()->toPlainText();
        };
        if (auto* line = qobject_cast<QLineEdit*>(w))
            line->clear();
        else
            v.memo()->loadText(QString());
        v.type(w, QStringLiteral("a€\u4E2Db\u0153"));
        QCOMPARE(text(), QStringLiteral("a€b\u0153"));

        // A paste holding one such character is refused whole.
        QApplication::clipboard()->setText(QStringLiteral("x\u0394y"));
        if (auto* line = qobject_cast<QLineEdit*>(w))
            line->paste();
        else
            v.memo()->paste();
        QCOMPARE(text(), QStringLiteral("a€b\u0153"));
    }

    void theDatabaseIsMarkedModified_data()
    {
        QTest::addColumn<char>("readOnly");
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("modified");
        QTest::newRow("arrow key in an editor") << ' ' << "arrow" << true;
        QTest::newRow("arrow key, protected") << 'P' << "arrow" << false;
        QTest::newRow("key in the memo") << ' ' << "memo key" << true;
        QTest::newRow("delete confirmed") << ' ' << "delete yes" << true;
        QTest::newRow("delete cancelled") << ' ' << "delete no" << true;
        QTest::newRow("moving only") << ' ' << "next" << false;
    }

    void theDatabaseIsMarkedModified()
    {
        QFETCH(char, readOnly);
        QFETCH(QString, action);
        QFETCH(bool, modified);
        View v(readOnly);
        QVERIFY(!v.form->toolAction(11)->isEnabled());
        QVERIFY(v.form->toolAction(10)->isEnabled() == (readOnly != 'P'));
        const int count = v.records().recordCount();

        if (action == QLatin1String("arrow"))
            QTest::keyClick(v.editor(3), Qt::Key_Right);
        else if (action == QLatin1String("memo key"))
            QTest::keyClick(v.memo(), Qt::Key_End);
        else if (action == QLatin1String("next"))
            v.press(Navigator::Button::Next);
        else {
            v.services.setNextAnswer(action == QLatin1String("delete yes"));
            v.press(Navigator::Button::Delete);
            QCOMPARE(v.services.shown().size(), 1);
            QCOMPARE(v.services.shown().front().kind, ScriptedServices::Kind::ConfirmOkAbort);
            QCOMPARE(v.records().recordCount(), action == QLatin1String("delete yes") ? count - 1 : count);
            QCOMPARE(v.form->recordModel()->rowCount(), v.records().recordCount());
        }
        QCOMPARE(v.session.modified, modified);
        QCOMPARE(v.form->toolAction(11)->isEnabled(), modified);
        if (modified)
            QVERIFY(!v.form->toolAction(10)->isEnabled());
    }

    void insertTypesIntoTheFirstFieldOfANewRecord()
    {
        View v;
        QAbstractItemModelTester tester(v.form->recordModel(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        const int count = v.records().recordCount();
        v.press(Navigator::Button::Insert);
        QCOMPARE(QApplication::focusWidget(), v.editor(1));
        QVERIFY(v.editor(1)->text().isEmpty());
        v.type(v.editor(1), QStringLiteral("Aubry"));
        v.press(Navigator::Button::First);
        QCOMPARE(v.records().recordCount(), count + 1);
        QCOMPARE(v.form->recordModel()->rowCount(), count + 1);
        QVERIFY(v.records().locate(0, "Aubry"));
        v.form->DataSource1DataChange();
        QCOMPARE(v.form->grid()->currentIndex().row(), v.records().recordNumber() - 1);
        QCOMPARE(v.form->recordModel()->index(v.records().recordNumber() - 1, 0).data().toString(),
                 QStringLiteral("Aubry"));

        // An insert left untouched adds nothing.
        v.press(Navigator::Button::Insert);
        v.press(Navigator::Button::Last);
        QCOMPARE(v.records().recordCount(), count + 1);
    }

    void theLongTextEditorOpensOnTextFields_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<bool>("opens");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("limit");
        QTest::newRow("short text") << 1 << true << "Nom" << 4000;
        QTest::newRow("number") << 8 << false << "" << 0;
        QTest::newRow("long text") << 22 << true << "Notes" << 9000;
    }

    void theLongTextEditorOpensOnTextFields()
    {
        QFETCH(int, field);
        QFETCH(bool, opens);
        QFETCH(QString, caption);
        QFETCH(int, limit);
        View v;
        QWidget* editor = v.find<QWidget>(str(fieldRow(field).editor));
        QWidget* target = field == 22 ? v.memo()->viewport() : editor;
        QTest::mouseDClick(target, Qt::LeftButton, {}, QPoint(10, 8));
        QCOMPARE(v.longText->isVisible(), opens);
        if (!opens)
            return;
        QCOMPARE(v.session.editedField, field);
        QCOMPARE(v.longText->windowTitle(), caption);
        QCOMPARE(v.longText->memo()->maxLength(), limit);
        QCOMPARE(v.longText->memo()->toPlainText(), field == 22 ? v.memo()->toPlainText() : v.editor(field)->text());
        QVERIFY(!v.session.modified);
    }

    void closingTheLongTextEditorWritesAChangedTextBack_data()
    {
        QTest::addColumn<char>("readOnly");
        QTest::addColumn<bool>("change");
        QTest::addColumn<bool>("written");
        QTest::newRow("changed") << ' ' << true << true;
        QTest::newRow("unchanged") << ' ' << false << false;
        QTest::newRow("changed, protected") << 'P' << true << false;
    }

    void closingTheLongTextEditorWritesAChangedTextBack()
    {
        QFETCH(char, readOnly);
        QFETCH(bool, change);
        QFETCH(bool, written);
        View v(readOnly);
        const RowId first = *v.records().currentRow();
        const QString before = v.stored(22);
        v.form->DBEditDblClick(22);
        QVERIFY(v.longText->isVisible());
        if (change) {
            v.longText->memo()->moveCursor(QTextCursor::End);
            v.type(v.longText->memo(), QStringLiteral(" Ajouté"));
            QTest::keyClick(v.longText->memo(), Qt::Key_Return);
            v.type(v.longText->memo(), QStringLiteral("fin"));
        }
        // A double-click in the memo closes the window.
        QTest::mouseDClick(v.longText->memo()->viewport(), Qt::LeftButton, {}, QPoint(10, 10));
        QVERIFY(!v.longText->isVisible());

        QCOMPARE(v.session.modified, written);
        QCOMPARE(v.form->toolAction(11)->isEnabled(), written);
        v.press(Navigator::Button::Next);
        const QString expected = written ? QString(before).append(QStringLiteral(" Ajouté\r\nfin")) : before;
        QCOMPARE(v.storedAt(first, 22), expected);
    }

    void aTextForNoEditorIsReported()
    {
        View v;
        v.form->DBEditDblClick(1);
        v.type(v.longText->memo(), QStringLiteral("x"));
        v.session.editedField = 23; // the picture list has no text editor
        v.longText->hide();
        QCOMPARE(v.services.texts(), QStringList{QStringLiteral("Switch error 125")});
        QVERIFY(!v.session.modified);
        QVERIFY(!v.editor(1)->isModified());
    }

    void theGridExtendsAndComesBack()
    {
        View v;
        auto* grid = v.form->grid();
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, QPoint(40, 30));
        QVERIFY(v.session.extendedGrid);
        QCOMPARE(grid->width(), v.form->width() - 30);
        for (const FieldRow& row : kFieldRows)
            for (std::string_view name : {row.editor, row.sortButton, row.pickList, row.exportBox, row.filterBox})
                if (!name.empty())
                    QVERIFY2(!v.find<QWidget>(str(name))->isVisible(), qPrintable(str(name)));
        for (const char* name : {"Panel1", "BitBtn19", "BitBtn17"})
            QVERIFY2(!v.find<QWidget>(QLatin1String(name))->isVisible(), name);
        auto* label = v.find<QLabel>(QStringLiteral("Label1"));
        QVERIFY(label->isVisible());
        QVERIFY(grid->isAncestorOf(v.form->childAt(label->geometry().center()))); // covered by the grid

        v.find<QPushButton>(QStringLiteral("BitBtn8"))->setEnabled(false); // as a sort leaves it
        v.form->DBGrid1DblClick();
        QVERIFY(!v.session.extendedGrid);
        QCOMPARE(grid->width(), 361);
        for (const FieldRow& row : kFieldRows) {
            const bool inUse = row.field <= 8 || row.field >= 22;
            for (std::string_view name : {row.editor, row.sortButton, row.pickList, row.exportBox, row.filterBox})
                if (!name.empty() && name != "DBEdit11")
                    QCOMPARE(v.find<QWidget>(str(name))->isVisible(), inUse);
        }
        QVERIFY(v.find<QPushButton>(QStringLiteral("BitBtn8"))->isEnabled());
        QVERIFY(!v.find<QPushButton>(QStringLiteral("BitBtn6"))->isEnabled());
        QVERIFY(v.find<QWidget>(QStringLiteral("Panel1"))->isVisible());
    }

    void columnWidthsAreWrittenIntoTheParameterFile()
    {
        View v;
        v.form->grid()->setColumnWidth(0, 177);
        v.form->grid()->setColumnWidth(21, 301);
        const QByteArray before = readAll(v.parameterFile());
        v.form->toolAction(19)->trigger();
        const QByteArray after = readAll(v.parameterFile());
        QCOMPARE(after.size(), before.size());
        const auto width = [&](int column) {
            qint32 value = 0;
            std::memcpy(&value, after.constData() + 57 + 80 * column, 4);
            return value;
        };
        QCOMPARE(width(0), 177);
        QCOMPARE(width(1), 110);
        QCOMPARE(width(8), 145); // a hidden column keeps its width
        QCOMPARE(width(21), 301);
        for (int column = 0; column < 23; ++column) // nothing else changed
            QCOMPARE(after.mid(0, 57 + 80 * column).right(76), before.mid(0, 57 + 80 * column).right(76));
        QVERIFY(!v.session.modified);
        QVERIFY(v.services.texts().isEmpty());

        QFile::remove(v.parameterFile());
        v.form->toolAction(19)->trigger();
        QCOMPARE(v.services.texts().size(), 1);
        QVERIFY(v.services.texts().front().contains(QStringLiteral("Error 31")));
    }
};

QTEST_MAIN(TestRecordView)
#include "tst_recordview.moc"
