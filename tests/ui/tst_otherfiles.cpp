#include "app/messages.h"
#include "browse/picturelist.h"
#include "mainwindowfixture.h"
#include "platform/cp1252.h"
#include "ui/navigator.h"
#include "ui/picturebox.h"
#include "ui/texttable.h"
#include "ui/tform1.h"
#include "ui/tform12.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QGuiApplication>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>

#include <memory>
#include <optional>

using namespace fichora;
using fichora::test::ScriptedServices;

namespace {

using Kind = ScriptedServices::Kind;

/// The value of an attribute as the data file holds it.
QByteArray xmlAttribute(const QString& text)
{
    QByteArray out;
    for (const char c : cp1252::fromUnicode(text)) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

struct Setup
{
    char readOnly = ' ';
    /// Written into the picture list of every record before opening ("@" stands for the folder of
    /// files); left as the sample has it when there is none.
    std::optional<QString> list;
    bool noRecords = false;
};

/// The main window with a copy of the address book open, the window of the ten files beside it, and a
/// folder of small files to name: a.jpg, b.png, c.bmp and notes.txt.
struct Pictures : test::MainWindowFixture
{
    explicit Pictures(const Setup& options = {})
        : MainWindowFixture({.readOnly = options.readOnly, .open = false, .longTextEditor = true, .otherFiles = true})
    {
        QDir().mkpath(folder());
        QByteArray data = test::readAll(dataFile());
        if (options.noRecords) {
            const qsizetype from = data.indexOf("<ROWDATA>") + 9;
            data.remove(from, data.indexOf("</ROWDATA>") - from);
        }
        if (options.list) {
            QString text = QString::fromLatin1(data);
            text.remove(QRegularExpression(QStringLiteral(" F23=\"[^\"]*\"")));
            data = text.toLatin1().replace("<ROW ", "<ROW F23=\"" + xmlAttribute(at(*options.list)) + "\" ");
        }
        test::writeAll(dataFile(), data);

        QImage picture(64, 48, QImage::Format_RGB32);
        picture.fill(Qt::darkCyan);
        QVERIFY(picture.save(file(QStringLiteral("a.jpg"))));
        QVERIFY(picture.save(file(QStringLiteral("b.png"))));
        QVERIFY(picture.save(file(QStringLiteral("c.bmp"))));
        test::writeAll(file(QStringLiteral("notes.txt")), "notes");
        openSample();
    }

    QString folder() const { return dir.filePath(QStringLiteral("files")); }
    QString file(const QString& name) const { return QDir::toNativeSeparators(folder() + QLatin1Char('/') + name); }
    /// `text` with every "@" turned into the folder of files.
    QString at(const QString& text) const
    {
        return QString(text).replace(QLatin1Char('@'), QDir::toNativeSeparators(folder() + QLatin1Char('/')));
    }
    QStringList at(const QStringList& texts) const
    {
        QStringList out;
        for (const QString& text : texts)
            out << at(text);
        return out;
    }

    /// Shows the window by the main window's button, as the person does.
    void open()
    {
        form->OpenPicturesClick();
        QVERIFY(otherFiles->isVisible());
        QVERIFY(QTest::qWaitForWindowExposed(otherFiles.get()));
    }
    QStringList names() const
    {
        QStringList out;
        for (int place = 1; place <= TForm12::kPlaces; ++place)
            out << otherFiles->name(place);
        return out;
    }
    void choose(int place, const QString& path)
    {
        services.setNextFileName(path);
        QTest::mouseClick(otherFiles->chooseButton(place), Qt::LeftButton);
    }
    void setCell(int place, const QString& text) { otherFiles->grid()->item(place - 1, 1)->setText(text); }
    /// The texts of the message boxes shown so far (file dialogs left out).
    QStringList boxes() const
    {
        QStringList out;
        for (const ScriptedServices::Shown& shown : services.shown())
            if (shown.kind != Kind::OpenDialog && shown.kind != Kind::SaveDialog)
                out << shown.text;
        return out;
    }
    QString counter() const { return form->findChild<QPushButton*>(QStringLiteral("OpenOtherPictures"))->text(); }
};

QStringList tenNames(std::initializer_list<std::pair<int, QString>> filled)
{
    QStringList names(TForm12::kPlaces);
    for (const auto& [place, name] : filled)
        names[place - 1] = name;
    return names;
}

} // namespace

class TestOtherFiles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void theWindowHoldsItsTenPlaces()
    {
        Pictures p;
        TForm12& w = *p.otherFiles;
        QVERIFY(w.windowFlags().testFlag(Qt::Tool));
        QVERIFY(w.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QCOMPARE(w.windowTitle(), QStringLiteral("Multimedia"));
        p.open();
        QCOMPARE(w.size(), QSize(TForm12::kWidth, TForm12::kHeight));
        // Centred, give or take the rounding of an odd size.
        const QPoint offCentre =
            w.frameGeometry().center() - QGuiApplication::primaryScreen()->availableGeometry().center();
        QVERIFY2(offCentre.manhattanLength() <= 2,
                 qPrintable(QStringLiteral("%1,%2").arg(offCentre.x()).arg(offCentre.y())));

        QTableWidget* grid = w.findChild<QTableWidget*>(QStringLiteral("SG1"));
        QCOMPARE(grid, w.grid());
        QCOMPARE(grid->rowCount(), 10);
        QCOMPARE(grid->columnCount(), 2);
        QCOMPARE(grid->columnWidth(0), 32);
        QCOMPARE(grid->columnWidth(1), 645);
        QCOMPARE(grid->horizontalHeaderItem(0)->text(), QString());
        QCOMPARE(grid->horizontalHeaderItem(1)->text(), QStringLiteral("Fichier"));
        for (int row = 0; row < 10; ++row) {
            QCOMPARE(grid->item(row, 0)->text(), QString::number(row + 1));
            QVERIFY(!(grid->item(row, 0)->flags() & Qt::ItemIsEditable));
            QVERIFY(grid->item(row, 1)->flags() & Qt::ItemIsEditable);
        }
        // Every row, name and buttons included, fits above the thumbnails.
        QVERIFY(grid->geometry().bottom() < 220);
        QVERIFY(grid->viewport()->height() >= 10 * grid->rowHeight(0));

        const int xs[] = {8, 156, 304, 452, 600};
        for (int place = 1; place <= 10; ++place) {
            const QString number = QStringLiteral("%1").arg(place, 2, 10, QLatin1Char('0'));
            auto* box = w.findChild<PictureBox*>(QStringLiteral("Image_") + number);
            QCOMPARE(box, w.thumbnail(place));
            QCOMPARE(box->geometry(), QRect(xs[(place - 1) % 5], place <= 5 ? 220 : 358, 140, 130));
            QCOMPARE(w.findChild<QPushButton*>(QStringLiteral("BitBtn%1").arg(place + 2)), w.openButton(place));
            QCOMPARE(w.findChild<QPushButton*>(QStringLiteral("BitBtn%1").arg(place + 12)), w.chooseButton(place));
            // The buttons of a place stand beside its row of the grid.
            const QRect cell =
                grid->visualItemRect(grid->item(place - 1, 1)).translated(grid->viewport()->pos() + grid->pos());
            for (QPushButton* button : {w.openButton(place), w.chooseButton(place)}) {
                QVERIFY(button->isVisible());
                QVERIFY(button->x() > grid->geometry().right());
                QVERIFY(button->geometry().right() < TForm12::kWidth);
                QCOMPARE(button->geometry().center().y(), cell.center().y());
            }
        }
        for (int i = 1; i <= 6; ++i)
            QVERIFY(w.findChild<QFrame*>(QStringLiteral("Bevel%1").arg(i))->isVisible());
        QCOMPARE(w.findChild<QPushButton*>(QStringLiteral("BitBtn1")), w.storeButton());
        QCOMPARE(w.findChild<QPushButton*>(QStringLiteral("BitBtn2")), w.closeButton());
        QVERIFY(w.storeButton()->font().bold());
        QCOMPARE(w.storeButton()->toolTip(), QStringLiteral("Go"));
        QCOMPARE(w.closeButton()->toolTip(), QStringLiteral("Stop"));
    }

    void textsFollowTheLanguage()
    {
        Pictures p;
        for (const char language : {'E', 'F'}) {
            p.session.language = language;
            p.otherFiles->applyLanguage();
            int rows = 0;
            for (const TextRow& row : textTable()) {
                if (row.window != "TForm12")
                    continue;
                ++rows;
                for (const QString& control : rowControls(row)) {
                    QVERIFY2(p.otherFiles->findChild<QWidget*>(control), qPrintable(control));
                    QCOMPARE(currentText(*p.otherFiles, row, control),
                             QString::fromUtf8(language == 'F' ? row.french : row.english));
                }
            }
            QVERIFY(rows > 0);
        }
        // The title row is the grid's header: the names of the ten rows are left alone.
        p.session.language = 'E';
        p.otherFiles->applyLanguage();
        QCOMPARE(p.otherFiles->grid()->horizontalHeaderItem(1)->text(), QStringLiteral("File"));
        QCOMPARE(p.otherFiles->grid()->item(0, 1)->text(), QString());
        QCOMPARE(p.otherFiles->openButton(7)->toolTip(), QStringLiteral("Use an external program to open this file"));
        QCOMPARE(p.otherFiles->thumbnail(10)->toolTip(),
                 QStringLiteral("Double click to enlarge or reduce picture 10"));
        QCOMPARE(p.otherFiles->closeButton()->text(), QStringLiteral("Close"));
    }

    void storingIntoAnotherRecordAsksFirst_data()
    {
        QTest::addColumn<bool>("answer");
        QTest::newRow("Cancel keeps both records") << false;
        QTest::newRow("OK stores into the current record") << true;
    }
    void storingIntoAnotherRecordAsksFirst()
    {
        QFETCH(bool, answer);
        Pictures p({.list = QStringLiteral("|@a.jpg|||||||||")});
        p.open();
        p.choose(2, p.file(QStringLiteral("b.png")));
        // The person looks at the next record while the window stays up.
        p.press(Navigator::Button::Next);
        const QString nextList = p.form->pictureList();
        p.setCell(1, QString());
        p.services.clear();
        p.services.setNextAnswer(answer);
        QTest::mouseClick(p.otherFiles->storeButton(), Qt::LeftButton);
        QCOMPARE(p.services.shown().size(), 1);
        QCOMPARE(p.services.shown().front().kind, Kind::ConfirmOkCancel);
        QCOMPARE(p.services.shown().front().text, message(Msg::OtherFilesRecordChanged, 'F'));
        QCOMPARE(p.otherFiles->isVisible(), !answer);
        QCOMPARE(p.form->pictureList(), answer ? p.at(QStringLiteral("||@b.png||||||||")) : nextList);
        QCOMPARE(p.session.modified, answer);
    }

    void showingReadsTheListOfTheCurrentRecord_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("shown"); // the file each thumbnail shows
        QTest::addColumn<int>("beeps");

        QTest::newRow("empty") << QString() << QStringList(10) << QStringList(10) << 0;
        QTest::newRow("one name without a bar") << QStringLiteral("@a.jpg") << tenNames({{1, QStringLiteral("@a.jpg")}})
                                                << tenNames({{1, QStringLiteral("@a.jpg")}}) << 0;
        QTest::newRow("ten slots") << QStringLiteral("|@a.jpg|x||@b.png|||||@c.bmp|@gone.jpg")
                                   << tenNames({{1, QStringLiteral("@a.jpg")},
                                                {4, QStringLiteral("@b.png")},
                                                {9, QStringLiteral("@c.bmp")},
                                                {10, QStringLiteral("@gone.jpg")}})
                                   << tenNames({{1, QStringLiteral("@a.jpg")},
                                                {4, QStringLiteral("@b.png")},
                                                {9, QStringLiteral("@c.bmp")}})
                                   << 1;
        // The tenth slot runs to the end, bars and all; a file that is not a picture beeps.
        QTest::newRow("tenth slot to the end")
            << QStringLiteral("||||||||||@notes.txt|more") << tenNames({{10, QStringLiteral("@notes.txt|more")}})
            << QStringList(10) << 1;
    }

    void showingReadsTheListOfTheCurrentRecord()
    {
        QFETCH(QString, list);
        QFETCH(QStringList, names);
        QFETCH(QStringList, shown);
        QFETCH(int, beeps);
        Pictures p({.list = list});
        QCOMPARE(p.form->pictureList(), p.at(list));
        p.services.clear();

        p.open();
        QCOMPARE(p.names(), p.at(names));
        for (int place = 1; place <= 10; ++place) {
            PictureBox* box = p.otherFiles->thumbnail(place);
            QCOMPARE(box->file(), p.at(shown[place - 1]));
            QCOMPARE(box->hasPicture(), !shown[place - 1].isEmpty());
        }
        // Missing files and other types keep their names in the rows, with the warning beep.
        QCOMPARE(p.services.beeps().size(), beeps);
        for (const auto beep : p.services.beeps())
            QCOMPARE(beep, Services::Beep::Exclamation);
        QVERIFY(p.services.shown().isEmpty());
    }

    void storingWritesTheTenNames_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QStringList>("chosen"); // null: left alone; empty: cleared
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("count");
        QTest::addColumn<QString>("first"); // what the main window's thumbnails then show
        QTest::addColumn<QString>("second");

        QTest::newRow("only row 3") << QString() << tenNames({{3, QStringLiteral("@c.bmp")}})
                                    << QStringLiteral("|||@c.bmp|||||||") << QStringLiteral("1") << QString()
                                    << QString();
        QTest::newRow("first two") << QString()
                                   << tenNames({{1, QStringLiteral("@a.jpg")}, {2, QStringLiteral("@b.png")}})
                                   << QStringLiteral("|@a.jpg|@b.png||||||||") << QStringLiteral("2")
                                   << QStringLiteral("@a.jpg") << QStringLiteral("@b.png");
        QTest::newRow("single name kept in slot 1")
            << QStringLiteral("@a.jpg") << tenNames({{10, QStringLiteral("@notes.txt")}})
            << QStringLiteral("|@a.jpg|||||||||@notes.txt") << QStringLiteral("2") << QStringLiteral("@a.jpg")
            << QString();
        QStringList cleared(10);
        for (QString& name : cleared)
            name = QLatin1String("");
        QTest::newRow("all rows emptied") << QStringLiteral("|@a.jpg|@b.png||||||||") << cleared << QString()
                                          << QStringLiteral("0") << QString() << QString();
    }

    void storingWritesTheTenNames()
    {
        QFETCH(QString, before);
        QFETCH(QStringList, chosen);
        QFETCH(QString, list);
        QFETCH(QString, count);
        QFETCH(QString, first);
        QFETCH(QString, second);
        Pictures p({.list = before});
        QVERIFY(!p.session.modified);
        p.open();
        for (int place = 1; place <= 10; ++place) {
            const QString name = chosen[place - 1];
            if (name.isNull())
                continue;
            if (name.isEmpty())
                p.setCell(place, name);
            else
                p.choose(place, p.at(name));
        }
        p.services.clear();

        QTest::mouseClick(p.otherFiles->storeButton(), Qt::LeftButton);
        QVERIFY(!p.otherFiles->isVisible());
        QVERIFY(p.services.shown().isEmpty());
        QCOMPARE(p.form->pictureList(), p.at(list));
        QVERIFY(p.session.modified);
        QCOMPARE(p.counter(), count);
        QCOMPARE(p.form->thumbnail(1)->file(), p.at(first));
        QCOMPARE(p.form->thumbnail(2)->file(), p.at(second));

        // The record receives the list when it is posted, and the window shows it again.
        p.press(Navigator::Button::Post);
        QCOMPARE(p.stored(23), p.at(list));
        p.open();
        QStringList expected = p.at(tenNames({}));
        const picturelist::Names read = picturelist::read(cp1252::fromUnicode(p.at(list)).toStdString());
        for (int i = 0; i < 10; ++i)
            expected[i] = cp1252::toUnicode(read[static_cast<std::size_t>(i)]);
        QCOMPARE(p.names(), expected);
    }

    void aTypedNameIsStoredLikeAChosenOne()
    {
        Pictures p({.list = QStringLiteral("|@a.jpg|||||||||")});
        p.open();
        QTableWidget* grid = p.otherFiles->grid();
        // A click only selects the cell; typing edits it.
        const QRect cell = grid->visualItemRect(grid->item(4, 1));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(grid->currentRow(), 4);
        QVERIFY(!grid->findChild<QLineEdit*>());
        QVERIFY(p.services.dialogs().isEmpty());
        grid->editItem(grid->item(4, 1));
        auto* editor = grid->findChild<QLineEdit*>();
        QVERIFY(editor);
        QTest::keyClicks(editor, p.file(QStringLiteral("typed.doc")));

        QTest::mouseClick(p.otherFiles->storeButton(), Qt::LeftButton);
        QCOMPARE(p.form->pictureList(), p.at(QStringLiteral("|@a.jpg||||@typed.doc|||||")));
        QCOMPARE(p.counter(), QStringLiteral("2"));
    }

    void storingInADatabaseWithoutRecordsCreatesOne()
    {
        Setup empty;
        empty.noRecords = true;
        Pictures p(empty);
        QCOMPARE(p.session.records.recordCount(), 0);
        p.open();
        QCOMPARE(p.names(), QStringList(10));
        p.choose(2, p.file(QStringLiteral("b.png")));
        QTest::mouseClick(p.otherFiles->storeButton(), Qt::LeftButton);
        p.press(Navigator::Button::Post);

        QCOMPARE(p.session.records.recordCount(), 1);
        QCOMPARE(p.stored(23), p.at(QStringLiteral("||@b.png||||||||")));
        const RecordTable& records = p.session.records;
        QCOMPARE(records.text(records.fieldIndex("F01")), std::string());
        QCOMPARE(p.counter(), QStringLiteral("1"));
        p.open();
        QCOMPARE(p.names(), p.at(tenNames({{2, QStringLiteral("@b.png")}})));
        QCOMPARE(p.otherFiles->thumbnail(2)->file(), p.file(QStringLiteral("b.png")));
    }

    void aDoubleClickEnlargesAndReducesAThumbnail()
    {
        Pictures p({.list = QStringLiteral("|@a.jpg||||||@gone.jpg|||")});
        p.open();
        TForm12& w = *p.otherFiles;
        const auto othersShown = [&](int place) {
            for (int other = 1; other <= 10; ++other)
                if (other != place && !w.thumbnail(other)->isVisible())
                    return false;
            for (int i = 1; i <= 6; ++i)
                if (!w.findChild<QFrame*>(QStringLiteral("Bevel%1").arg(i))->isVisible())
                    return false;
            return true;
        };
        const auto othersHidden = [&](int place) {
            for (int other = 1; other <= 10; ++other)
                if (other != place && w.thumbnail(other)->isVisible())
                    return false;
            for (int i = 1; i <= 6; ++i)
                if (w.findChild<QFrame*>(QStringLiteral("Bevel%1").arg(i))->isVisible())
                    return false;
            return true;
        };
        PictureBox* first = w.thumbnail(1);
        const int smallWidth = first->pixmap().width();

        QTest::mouseDClick(first, Qt::LeftButton);
        QCOMPARE(first->geometry(), QRect(200, 220, 300, 300));
        QVERIFY(othersHidden(1));
        // The picture is decoded again at the new size rather than stretched.
        QVERIFY(first->pixmap().width() > smallWidth);
        QCOMPARE(first->pixmap().width(), first->contentsRect().width());

        QTest::mouseDClick(first, Qt::LeftButton);
        QCOMPARE(first->geometry(), QRect(8, 220, 140, 130));
        QVERIFY(othersShown(1));
        QCOMPARE(first->pixmap().width(), smallWidth);

        // An empty row is not enlarged; a name whose file is missing is.
        QTest::mouseDClick(w.thumbnail(2), Qt::LeftButton);
        QCOMPARE(w.thumbnail(2)->geometry(), QRect(156, 220, 140, 130));
        QVERIFY(othersShown(2));
        QTest::mouseDClick(w.thumbnail(7), Qt::LeftButton);
        QCOMPARE(w.thumbnail(7)->geometry(), QRect(200, 220, 300, 300));
        QVERIFY(othersHidden(7));

        // Showing the window again puts everything back.
        QTest::mouseClick(w.closeButton(), Qt::LeftButton);
        p.open();
        QCOMPARE(w.thumbnail(7)->geometry(), QRect(156, 358, 140, 130));
        QVERIFY(othersShown(7));
    }

    void choosingPutsThePathIntoItsRow()
    {
        Pictures p({.list = QStringLiteral("|@a.jpg|||||||||")});
        p.open();
        p.choose(6, p.file(QStringLiteral("c.bmp")));
        QCOMPARE(p.services.dialogs().size(), 1);
        const Services::FileDialog dialog = p.services.dialogs().front();
        QCOMPARE(dialog.directory, p.session.programDirectory);
        QCOMPARE(QDir::current(), QDir(p.session.programDirectory));
        const char* expected[] = {"Bitmaps  +   Jpeg (",
                                  "Images (",
                                  "Bitmaps      (",
                                  "Jpeg           (",
                                  "Html (",
                                  "Doc (",
                                  "Txt (",
                                  "Mp3 (",
                                  "Avi (",
                                  "Wav (",
                                  "*.* ("};
        QCOMPARE(dialog.filters.size(), qsizetype(std::size(expected)));
        for (qsizetype i = 0; i < dialog.filters.size(); ++i)
            QVERIFY2(dialog.filters[i].startsWith(QLatin1String(expected[i])), qPrintable(dialog.filters[i]));
        QVERIFY(dialog.filters[0].contains(QLatin1String("*.bmp")) &&
                dialog.filters[0].contains(QLatin1String("*.jpg")));
        QVERIFY(dialog.filters[4].contains(QLatin1String("*.htm")) &&
                dialog.filters[4].contains(QLatin1String("*.html")));

        QCOMPARE(p.otherFiles->name(6), p.file(QStringLiteral("c.bmp")));
        QCOMPARE(p.otherFiles->grid()->currentRow(), 5);
        QCOMPARE(p.otherFiles->grid()->currentColumn(), 1);
        QVERIFY(p.otherFiles->grid()->item(5, 1)->isSelected());
        QCOMPARE(p.otherFiles->thumbnail(6)->file(), p.file(QStringLiteral("c.bmp")));
        QVERIFY(p.otherFiles->thumbnail(6)->hasPicture());
        // Nothing reaches the record before the store button.
        QCOMPARE(p.form->pictureList(), p.at(QStringLiteral("|@a.jpg|||||||||")));
        QVERIFY(!p.session.modified);

        // A cancelled dialog keeps the row's name but empties its thumbnail.
        p.choose(1, QString());
        QCOMPARE(p.otherFiles->name(1), p.file(QStringLiteral("a.jpg")));
        QVERIFY(!p.otherFiles->thumbnail(1)->hasPicture());
        QCOMPARE(p.boxes(), QStringList());
    }

    void aNameTheRecordCannotHoldIsRefused_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("vertical bar") << QStringLiteral("@one|two.jpg");
        QTest::newRow("outside Windows-1252") << QStringLiteral("@photo \u4E2D.jpg");
    }

    void aNameTheRecordCannotHoldIsRefused()
    {
        QFETCH(QString, name);
        Pictures p({.list = QStringLiteral("|@a.jpg|@b.png||||||||")});
        p.open();
        const QString path = p.at(name);
        const QString refusal = message(Msg::PictureNameNotStorable, 'F').arg(path);

        p.choose(2, path);
        QCOMPARE(p.boxes(), QStringList{refusal});
        QCOMPARE(p.services.shown().back().kind, Kind::Error);
        QCOMPARE(p.otherFiles->name(2), p.file(QStringLiteral("b.png")));
        QCOMPARE(p.otherFiles->thumbnail(2)->file(), p.file(QStringLiteral("b.png")));

        // Typed in by hand, the same name stops the store: the window stays and nothing is written.
        p.services.clear();
        p.setCell(4, path);
        QTest::mouseClick(p.otherFiles->storeButton(), Qt::LeftButton);
        QCOMPARE(p.boxes(), QStringList{refusal});
        QVERIFY(p.otherFiles->isVisible());
        QCOMPARE(p.form->pictureList(), p.at(QStringLiteral("|@a.jpg|@b.png||||||||")));
        QVERIFY(!p.session.modified);
    }

    void withoutAWritableDatabaseNothingIsChosenOrStored_data()
    {
        QTest::addColumn<bool>("closed");
        QTest::newRow("protected") << false;
        QTest::newRow("closed") << true;
    }

    void withoutAWritableDatabaseNothingIsChosenOrStored()
    {
        QFETCH(bool, closed);
        const QString list = QStringLiteral("|@a.jpg|@b.png||||||||");
        Pictures p({.readOnly = 'P', .list = list});
        if (closed) {
            p.services.setNextAnswer(true);
            p.form->toolAction(22)->trigger();
            QVERIFY(!p.session.open);
        }
        p.open();
        QCOMPARE(p.names(), p.at(closed ? QStringList(10)
                                        : tenNames({{1, QStringLiteral("@a.jpg")}, {2, QStringLiteral("@b.png")}})));
        p.services.clear();
        for (const int place : {1, 5})
            p.choose(place, p.file(QStringLiteral("c.bmp")));
        QVERIFY(p.services.dialogs().isEmpty());
        QCOMPARE(p.otherFiles->name(5), QString());

        // The store button shows the list but the database keeps its own.
        p.setCell(5, p.file(QStringLiteral("c.bmp")));
        QTest::mouseClick(p.otherFiles->storeButton(), Qt::LeftButton);
        QVERIFY(!p.otherFiles->isVisible());
        QVERIFY(!p.session.modified);
        if (!closed) {
            QCOMPARE(p.session.records.state(), RecordTable::State::Browse);
            QCOMPARE(p.stored(23), p.at(list));
            QCOMPARE(p.form->pictureList(), p.at(list));
            QCOMPARE(p.counter(), QStringLiteral("2"));
        }
    }

    void theCloseBoxAsksAndTheCloseButtonDoesNot_data()
    {
        QTest::addColumn<int>("answer"); // -1: the close button, 0 Cancel, 1 OK
        QTest::newRow("close box, Cancel") << 0;
        QTest::newRow("close box, OK") << 1;
        QTest::newRow("close button") << -1;
    }

    void theCloseBoxAsksAndTheCloseButtonDoesNot()
    {
        QFETCH(int, answer);
        Setup setup;
        setup.list = QString();
        Pictures p(setup);
        p.open();
        p.choose(3, p.file(QStringLiteral("a.jpg")));
        p.services.clear();
        if (answer < 0) {
            QTest::mouseClick(p.otherFiles->closeButton(), Qt::LeftButton);
            QVERIFY(p.services.shown().isEmpty());
        } else {
            p.services.setNextAnswer(answer == 1);
            p.otherFiles->close();
            QCOMPARE(p.services.shown().size(), 1);
            QCOMPARE(p.services.shown().front().kind, Kind::ConfirmOkCancel);
            QCOMPARE(p.services.texts().front(), QStringLiteral("Fiche non sauvegardée\nFermer quand même?"));
        }
        QCOMPARE(p.otherFiles->isVisible(), answer == 0);
        QCOMPARE(p.otherFiles->name(3), p.file(QStringLiteral("a.jpg")));
        // Closed either way, nothing was stored, and the next showing forgets the choice.
        QCOMPARE(p.form->pictureList(), QString());
        QVERIFY(!p.session.modified);
        if (answer != 0) {
            p.open();
            QCOMPARE(p.otherFiles->name(3), QString());
        }
    }

    void theOpenButtonsOpenTheFileOfTheirRow_data()
    {
        QTest::addColumn<int>("place");
        QTest::addColumn<bool>("succeed");
        QTest::addColumn<QString>("opened"); // asked of the desktop
        QTest::addColumn<QString>("error");

        QTest::newRow("empty row") << 2 << true << QString() << QString();
        QTest::newRow("picture") << 1 << true << QStringLiteral("@a.jpg") << QString();
        QTest::newRow("missing folder") << 3 << false << QStringLiteral("@nowhere/x.doc")
                                        << QStringLiteral("Chemin introuvable");
        QTest::newRow("no program for its type")
            << 4 << false << QStringLiteral("@notes.txt")
            << QStringLiteral("Le fichier @notes.txt  n'a pas d'association Windows.\n\nVEUILLEZ FAIRE\n "
                              "\"Poste de travail->Outils->Option des dossiers->Types de fichiers->Nouveau\" !");
    }

    void theOpenButtonsOpenTheFileOfTheirRow()
    {
        QFETCH(int, place);
        QFETCH(bool, succeed);
        QFETCH(QString, opened);
        QFETCH(QString, error);
        Pictures p({.list = QStringLiteral("|@a.jpg||@nowhere/x.doc|@notes.txt||||||")});
        p.open();
        p.services.clear();
        p.services.setOpensSucceed(succeed);

        QTest::mouseClick(p.otherFiles->openButton(place), Qt::LeftButton);
        QCOMPARE(p.services.opened(), opened.isEmpty() ? QStringList() : QStringList{p.at(opened)});
        QCOMPARE(p.services.texts(), error.isEmpty() ? QStringList() : QStringList{p.at(error)});
        QVERIFY(p.services.beeps().isEmpty());
        QVERIFY(p.otherFiles->isVisible());
    }
};

QTEST_MAIN(TestOtherFiles)
#include "tst_otherfiles.moc"
