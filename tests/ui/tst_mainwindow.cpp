#include "db/fieldrows.h"
#include "mainwindowfixture.h"
#include "ui/application.h"
#include "ui/navigator.h"
#include "ui/tform1.h"
#include "ui/tform4.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>

using namespace fichora;
using fichora::test::configBytes;
using fichora::test::ScriptedServices;
using fichora::test::str;

namespace {

const QString kReadFailed = QStringLiteral("Cannot open file \"Fichora_conf.ref\" for reading");
const QString kWriteFailed = QStringLiteral("Cannot open file \"Fichora_conf.ref\" for writing");

/// A main window over a program directory of its own, holding the given configuration (none when null),
/// neither shown nor with a database.
struct Fixture : test::MainWindowFixture
{
    explicit Fixture(const QByteArray& config)
        : MainWindowFixture({.config = config, .sample = false, .show = false, .open = false})
    {}
    QByteArray config() const { return test::readAll(configPath()); }
    /// Replaces the configuration file by a folder of the same name: it can no longer be opened for writing.
    void blockConfig() const
    {
        QFile::remove(configPath());
        QDir().mkpath(configPath());
    }
    QWidget* widget(const QString& name) const { return find<QWidget>(name); }
    QString caption(const QString& name) const { return find<QAbstractButton>(name)->text(); }
};

/// An object whose handler fails the way a buggy operation would.
class Thrower : public QObject
{
public:
    bool throwStandard = true;
    bool event(QEvent* event) override
    {
        if (event->type() != QEvent::User)
            return QObject::event(event);
        if (throwStandard)
            throw std::runtime_error("disk on fire");
        throw 42;
    }
};

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fixedControlsExistWithTheirTypeAndPlace_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QRect>("geometry"); // in the window's client area; a null size: only the type is fixed
        const auto row = [](const char* name, const char* type, QRect geometry = {}) {
            QTest::newRow(name) << QString::fromLatin1(name) << QString::fromLatin1(type) << geometry;
        };
        row("DBGrid1", "QTableView", QRect(12, 52, 361, 445));
        row("Panel1", "QWidget", QRect(848, 48, 140, 558));
        row("DBMemo1", "QPlainTextEdit", QRect(544, 553, 297, 53));
        row("Image1", "QLabel", QRect(12, 556, 169, 169));
        row("Image3", "QLabel", QRect(204, 556, 169, 169));
        row("Image2", "QLabel");
        row("ToolBar1", "QToolBar");
        row("DBNavigator1", "fichora::Navigator");
        for (const char* name :
             {"BitBtn1", "BitBtn2", "BitBtn3", "BitBtn17", "BitBtn18", "BitBtn19", "BitBtn21", "BitBtn22", "BitBtn23",
              "BitBtn24", "BitBtn25", "BitBtn26", "BitBtn27", "BitBtn28", "BitBtn29", "OpenOtherPictures"})
            row(name, "QPushButton");
        for (const char* name :
             {"Label11", "Label13", "Label14", "Label15", "Label21", "Label22", "Label23", "Label24", "Label31"})
            row(name, "QLabel");
        for (const char* name : {"Edit1", "Edit2", "Edit14", "Edit15", "Edit21", "Edit22", "DBEdit11"})
            row(name, "QLineEdit");
        row("RadioGroup1", "fichora::RadioGroup");
        row("RadioGroup2", "fichora::RadioGroup");
        row("ProgressBar1", "QProgressBar");
        row("RichEdit1", "QTextEdit");
        row("CheckBox23", "QCheckBox");
    }

    void fixedControlsExistWithTheirTypeAndPlace()
    {
        QFETCH(QString, name);
        QFETCH(QString, type);
        QFETCH(QRect, geometry);
        Fixture f(configBytes('F', 'X'));
        QWidget* w = f.widget(name);
        QVERIFY2(w, qPrintable(name));
        QVERIFY2(w->inherits(type.toLatin1().constData()), w->metaObject()->className());
        if (!geometry.size().isNull())
            QCOMPARE(QRect(w->mapTo(f.form.get(), QPoint(0, 0)), w->size()), geometry);
    }

    void windowSizeAndToolbar()
    {
        Fixture f(configBytes('F', 'X'));
        f.show();
        QCOMPARE(f.form->size(), QSize(1015, 762));
        QCOMPARE(f.widget(QStringLiteral("ToolBar1"))->x(), 117);
        // The toolbar's order, left to right.
        const int order[] = {1, 22, 2, 3, 9, 10, 5, 21, 6, 24, 16, 17, 19, 20, 11, 7, 13, 14, 23};
        int previousX = -1;
        for (const int n : order) {
            auto* button = f.find<QToolButton>(QStringLiteral("ToolButton%1").arg(n));
            QVERIFY2(button, qPrintable(QString::number(n)));
            QCOMPARE(button->defaultAction(), f.form->toolAction(n));
            QCOMPARE(button->width(), 39);
            QCOMPARE(button->iconSize(), QSize(32, 32));
            const int x = button->mapTo(f.form.get(), QPoint(0, 0)).x();
            QVERIFY2(x > previousX, qPrintable(QString::number(n)));
            previousX = x;
        }
        QCOMPARE(f.find<QToolBar>(QStringLiteral("ToolBar1"))->actions().size(), 19 + 5); // five separators
    }

    void fieldRowsSitOnTheirLines()
    {
        Fixture f(configBytes('F', 'X'));
        for (const FieldRow& row : kFieldRows) {
            const int y = 49 + 24 * (row.field - 1);
            const auto at = [&](std::string_view name, const char* type, int x) {
                if (name.empty())
                    return;
                QWidget* w = f.widget(str(name));
                QVERIFY2(w && w->inherits(type), qPrintable(str(name)));
                const QPoint p = w->mapTo(f.form.get(), QPoint(0, 0));
                QCOMPARE(p.y(), y);
                if (x >= 0)
                    QCOMPARE(p.x(), x);
            };
            at(row.label, "QLabel", 392);
            at(row.sortButton, "QPushButton", 504);
            at(row.exportBox, "QCheckBox", 526);
            at(row.pickList, "QComboBox", 821);
            at(row.filterBox, "QLineEdit", -1);
            if (row.field <= 21) {
                at(row.editor, "QLineEdit", 544);
                auto* editor = f.find<QLineEdit>(str(row.editor));
                QCOMPARE(editor->width(), 272);
                QCOMPARE(editor->maxLength(), 4000);
            }
            if (!row.filterBox.empty())
                QVERIFY(f.widget(str(row.filterBox))->parentWidget() == f.widget(QStringLiteral("Panel1")));
        }
        QVERIFY(f.widget(QStringLiteral("DBEdit11"))->isHidden());
        auto* key = f.find<QLineEdit>(QStringLiteral("Edit14"));
        QCOMPARE(key->maxLength(), 6);
        QCOMPARE(key->echoMode(), QLineEdit::Password);
    }

    void noDatabaseState()
    {
        Fixture f(configBytes('F', 'X'));
        f.show();

        QCOMPARE(f.form->windowTitle(), QStringLiteral(" Fichora  V3.6"));
        for (const int n : {1, 22, 2, 3, 5, 6, 24, 20, 23, 7})
            QVERIFY2(f.form->toolAction(n)->isEnabled(), qPrintable(QString::number(n)));
        for (const int n : {9, 13, 14, 16, 17, 19, 21, 10, 11})
            QVERIFY2(!f.form->toolAction(n)->isEnabled(), qPrintable(QString::number(n)));
        for (const char* name : {"BitBtn3", "Label14", "Edit1", "Edit15", "Label21", "Label22", "BitBtn18", "BitBtn24",
                                 "OpenOtherPictures", "CheckBox23", "BitBtn25", "BitBtn26", "BitBtn27", "RichEdit1",
                                 "BitBtn21", "BitBtn23", "ProgressBar1", "Label15"})
            QVERIFY2(!f.widget(QLatin1String(name))->isVisible(), name);
        for (const char* name : {"BitBtn19", "BitBtn17", "BitBtn22", "Panel1", "DBGrid1", "DBNavigator1"})
            QVERIFY2(f.widget(QLatin1String(name))->isVisible(), name);
        auto* mode = f.find<RadioGroup>(QStringLiteral("RadioGroup1"));
        QVERIFY(!mode->isEnabled());
        QCOMPARE(mode->itemIndex(), 0);
        QCOMPARE(f.find<RadioGroup>(QStringLiteral("RadioGroup2"))->itemIndex(), 0);
        QCOMPARE(f.form->navigator()->visibleButtons(), Navigator::editingButtons());
        QCOMPARE(f.form->navigator()->width(), 203);
        QCOMPARE(f.form->fixedColour(), QApplication::palette().color(QPalette::Button));
        QCOMPARE(f.widget(QStringLiteral("DBGrid1"))->width(), 361);

        // After a database was closed the caption has two leading spaces.
        f.session.closedOnce = true;
        f.form->applyState();
        QCOMPARE(f.form->windowTitle(), QStringLiteral("  Fichora  V3.6"));
    }

    void openVariantsColourTheGridAndShapeTheNavigator_data()
    {
        QTest::addColumn<char>("readOnly");
        QTest::addColumn<bool>("ciphered");
        QTest::addColumn<QColor>("colour");
        QTest::addColumn<int>("navigatorWidth");
        QTest::addColumn<bool>("retypeEnabled");
        QTest::newRow("plain") << '\0' << false << QColor() << 203 << true;
        QTest::newRow("ciphered: yellow") << '\0' << true << QColor(255, 255, 0) << 203 << false;
        QTest::newRow("read-only: red") << 'P' << false << QColor(255, 0, 0) << 116 << false;
        QTest::newRow("both: money green") << 'P' << true << QColor(192, 220, 192) << 116 << false;
    }

    void openVariantsColourTheGridAndShapeTheNavigator()
    {
        QFETCH(char, readOnly);
        QFETCH(bool, ciphered);
        QFETCH(QColor, colour);
        QFETCH(int, navigatorWidth);
        QFETCH(bool, retypeEnabled);
        Fixture f(configBytes('F', 'X'));
        f.show();
        f.session.open = true;
        f.session.readOnly = readOnly;
        f.session.cipheredOpen = ciphered;
        f.session.loadedDataFile = QStringLiteral("/data/Carnet.xml");
        f.form->applyState();

        QCOMPARE(f.form->windowTitle(), QStringLiteral("  Fichora  V3.6") + QString(20, QLatin1Char(' ')) +
                                            QStringLiteral("/data/Carnet.xml"));
        QCOMPARE(f.form->fixedColour(), colour.isValid() ? colour : QApplication::palette().color(QPalette::Button));
        QCOMPARE(f.form->navigator()->width(), navigatorWidth);
        QCOMPARE(f.form->toolAction(10)->isEnabled(), retypeEnabled);
        QCOMPARE(f.widget(QStringLiteral("Label14"))->isVisible(), readOnly == 'P');
        QCOMPARE(f.caption(QStringLiteral("BitBtn3")),
                 readOnly == 'P' ? QStringLiteral("Oter protection") : QStringLiteral("Protéger la base"));
        for (const char* name : {"BitBtn3", "Edit1", "Edit15", "BitBtn24", "OpenOtherPictures", "CheckBox23"})
            QVERIFY2(f.widget(QLatin1String(name))->isVisible(), name);
        QVERIFY(f.widget(QStringLiteral("RadioGroup1"))->isEnabled());
    }

    void startUpReadsTheConfiguration_data()
    {
        QTest::addColumn<QByteArray>("config");
        QTest::addColumn<QString>("skinCaption");
        QTest::addColumn<int>("skin");
        QTest::addColumn<bool>("skinActive");
        QTest::addColumn<QString>("countLabel");
        QTest::addColumn<char>("storedLanguage");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("english, skin 7") << configBytes('E', '7') << "7" << 7 << true << "Records count" << 'E'
                                         << QStringList();
        QTest::newRow("odd language byte starts in French")
            << configBytes('X', '2') << "2" << 2 << true << "Nombre enregistr." << 'F' << QStringList();
        QTest::newRow("no skin") << configBytes('F', 'X') << "X" << 10 << false << "Nombre enregistr." << 'F'
                                 << QStringList();
        QTest::newRow("non-digit skin") << configBytes('F', '#') << "X" << 10 << false << "Nombre enregistr." << 'F'
                                        << QStringList();
        QTest::newRow("missing file") << QByteArray() << "1" << 0 << false << "Nombre enregistr." << '\0'
                                      << QStringList{kReadFailed, kWriteFailed};
    }

    void startUpReadsTheConfiguration()
    {
        QFETCH(QByteArray, config);
        QFETCH(QString, skinCaption);
        QFETCH(int, skin);
        QFETCH(bool, skinActive);
        QFETCH(QString, countLabel);
        QFETCH(char, storedLanguage);
        QFETCH(QStringList, messages);
        Fixture f(config);
        f.show();

        QCOMPARE(f.caption(QStringLiteral("BitBtn2")), skinCaption);
        QCOMPARE(f.session.skin, skin);
        QCOMPARE(f.form->skinEngine().isActive(), skinActive);
        QCOMPARE(f.find<QLabel>(QStringLiteral("Label13"))->text(), countLabel);
        QCOMPARE(f.widget(QStringLiteral("BitBtn28"))->isVisible(), f.session.isFrench());
        QCOMPARE(f.widget(QStringLiteral("BitBtn29"))->isVisible(), !f.session.isFrench());
        QCOMPARE(f.services.texts(), messages);
        QVERIFY(f.session.programDirectory.endsWith(QLatin1Char('/')));
        if (storedLanguage) {
            QCOMPARE(f.config().at(25), storedLanguage);
            QCOMPARE(f.config().size(), 40);
        } else {
            QVERIFY(!QFile::exists(f.configPath()));
        }
    }

    void skinButtonCycles_data()
    {
        QTest::addColumn<char>("stored");
        QTest::addColumn<QString>("captions");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("activeAtEnd");
        QTest::newRow("from 7") << '7' << "89X01" << QByteArray("89X01") << false;
        QTest::newRow("from no skin") << 'X' << "012" << QByteArray("012") << false;
        QTest::newRow("from 3 stays on") << '3' << "45" << QByteArray("45") << true;
    }

    void skinButtonCycles()
    {
        QFETCH(char, stored);
        QFETCH(QString, captions);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, activeAtEnd);
        Fixture f(configBytes('F', stored));
        f.show();
        auto* button = f.find<QPushButton>(QStringLiteral("BitBtn2"));
        QString shown;
        QByteArray written;
        for (qsizetype i = 0; i < captions.size(); ++i) {
            QTest::mouseClick(button, Qt::LeftButton);
            shown += button->text();
            written += f.config().at(36);
        }
        QCOMPARE(shown, captions);
        QCOMPARE(written, bytes);
        QCOMPARE(f.form->skinEngine().isActive(), activeAtEnd);
        const int last = captions.back() == QLatin1Char('X') ? -1 : captions.back().digitValue();
        if (last >= 0)
            QCOMPARE(f.form->skinEngine().loaded(), last);
        QVERIFY(f.services.texts().isEmpty());
    }

    void withoutConfigurationTheFirstPressLoadsSkinOne()
    {
        Fixture f{QByteArray()};
        QCOMPARE(f.caption(QStringLiteral("BitBtn2")), QStringLiteral("1"));
        QCOMPARE(f.session.skin, 0);
        f.services.clear();
        QTest::mouseClick(f.find<QPushButton>(QStringLiteral("BitBtn2")), Qt::LeftButton);
        QCOMPARE(f.session.skin, 1);
        QCOMPARE(f.form->skinEngine().loaded(), 1);
        QCOMPARE(f.caption(QStringLiteral("BitBtn2")), QStringLiteral("1"));
        QCOMPARE(f.services.texts(), QStringList{kWriteFailed});
    }

    void languageButtonSwitchesAndStoresTheFlag()
    {
        Fixture f(configBytes('F', 'X'));
        f.show();
        auto* english = f.find<QPushButton>(QStringLiteral("BitBtn28"));
        auto* french = f.find<QPushButton>(QStringLiteral("BitBtn29"));
        QVERIFY(english->isVisible() && !french->isVisible());

        QTest::mouseClick(english, Qt::LeftButton);
        QCOMPARE(f.session.language, 'E');
        QCOMPARE(f.config().at(25), 'E');
        QCOMPARE(f.find<QLabel>(QStringLiteral("Label24"))->text(), QStringLiteral("Current record"));
        QVERIFY(!english->isVisible() && french->isVisible());

        QTest::mouseClick(french, Qt::LeftButton);
        QCOMPARE(f.session.language, 'F');
        QCOMPARE(f.config().at(25), 'F');
        QCOMPARE(f.find<QLabel>(QStringLiteral("Label24"))->text(), QStringLiteral("Enreg. en cours"));
        QVERIFY(f.services.texts().isEmpty());
    }

    void editorHintsKeepTheFieldType()
    {
        Fixture f(configBytes('E', 'X'));
        f.show();
        QWidget* number = f.widget(QStringLiteral("DBEdit5"));
        QWidget* text = f.widget(QStringLiteral("DBEdit6"));
        QWidget* memo = f.widget(QStringLiteral("DBMemo1"));
        QCOMPARE(text->toolTip(), QStringLiteral("Text  (Double-click to edit)"));
        number->setToolTip(QStringLiteral("Numerical value"));
        memo->setToolTip(QStringLiteral("Numerical value")); // the memo follows the same rule

        f.form->BitBtn28Click();
        QCOMPARE(number->toolTip(), QStringLiteral("Valeur numérique"));
        QCOMPARE(memo->toolTip(), QStringLiteral("Valeur numérique"));
        QCOMPARE(text->toolTip(), QStringLiteral("Texte  (Double-cliquez pour éditer)"));

        f.form->BitBtn28Click();
        QCOMPARE(number->toolTip(), QStringLiteral("Numerical value"));
        QCOMPARE(text->toolTip(), QStringLiteral("Text  (Double-click to edit)"));
        // The picture-list editor is not a typed field.
        QVERIFY(f.widget(QStringLiteral("DBEdit11"))->toolTip() != QStringLiteral("Text  (Double-click to edit)"));
    }

    void unwritableConfigurationKeepsTheNewValues()
    {
        Fixture f(configBytes('F', '4'));
        f.show();
        f.blockConfig();
        f.services.clear();

        f.form->BitBtn28Click();
        f.form->Skin_click();

        QCOMPARE(f.services.texts(), (QStringList{kWriteFailed, kWriteFailed}));
        QCOMPARE(f.session.language, 'E');
        QCOMPARE(f.find<QLabel>(QStringLiteral("Label13"))->text(), QStringLiteral("Records count"));
        QCOMPARE(f.session.skin, 5);
        QCOMPARE(f.caption(QStringLiteral("BitBtn2")), QStringLiteral("5"));
        QVERIFY(QFileInfo(f.configPath()).isDir());
    }

    void quitStopsTheSearchAndCloses()
    {
        Fixture f(configBytes('F', 'X'));
        f.show();
        f.widget(QStringLiteral("BitBtn25"))->show();
        f.widget(QStringLiteral("BitBtn26"))->show();

        f.form->toolAction(7)->trigger();

        QVERIFY(f.session.cancelRequested);
        QVERIFY(f.widget(QStringLiteral("BitBtn25"))->isHidden());
        QVERIFY(f.widget(QStringLiteral("BitBtn26"))->isHidden());
        QCOMPARE(f.services.processEventsCalls(), 1);
        QVERIFY(!f.form->isVisible());
    }

    void resizeFollowsTheExtendedGridFlag()
    {
        Fixture f(configBytes('F', 'X'));
        f.show();
        f.session.extendedGrid = true;
        f.form->resize(1100, 762);
        QTRY_COMPARE(f.widget(QStringLiteral("DBGrid1"))->width(), 1070);
        QCOMPARE(f.widget(QStringLiteral("RichEdit1"))->width(), 1070);
        f.session.extendedGrid = false;
        f.form->resize(1015, 762);
        QTRY_COMPARE(f.widget(QStringLiteral("DBGrid1"))->width(), 361);
        QCOMPARE(f.widget(QStringLiteral("RichEdit1"))->width(), 361);
    }

    void activationHidesTheFullSizePicture()
    {
        Fixture f(configBytes('F', 'X'));
        TForm4 picture(f.session);
        f.form->setFullSizePictureWindow(&picture);
        picture.show();
        f.form->FormActivate();
        QVERIFY(!picture.isVisible());
    }

    void aSampleThatCannotBeAnchoredIsTold()
    {
        // A first start whose shipped sample is no data packet: its names cannot be made absolute.
        QTemporaryDir dir;
        const QString shipped = dir.filePath(QStringLiteral("shipped"));
        QDir().mkpath(shipped);
        test::writeAll(shipped + QStringLiteral("/Fichora_conf.ref"), test::configBytes('E', 'X'));
        test::writeAll(shipped + QStringLiteral("/Carnet.xml"), "not a data packet");
        ScriptedServices services;
        Session session;
        TForm1 form(services, session, ProgramLocations{dir.filePath(QStringLiteral("user")), shipped});
        QCOMPARE(services.shown().size(), 1);
        QCOMPARE(services.shown().front().kind, ScriptedServices::Kind::Information);
        QVERIFY2(services.shown().front().text.contains(QLatin1String("Carnet")),
                 qPrintable(services.shown().front().text));
        QCOMPARE(test::readAll(dir.filePath(QStringLiteral("user/Carnet.xml"))), QByteArray("not a data packet"));
    }

    void anEscapedExceptionIsShown_data()
    {
        QTest::addColumn<bool>("standard");
        QTest::addColumn<QString>("text");
        QTest::newRow("std::exception") << true << "disk on fire";
        QTest::newRow("anything else, with an empty text") << false << "";
    }

    void anEscapedExceptionIsShown()
    {
        QFETCH(bool, standard);
        QFETCH(QString, text);
        auto* app = static_cast<GuardedApplication*>(QCoreApplication::instance());
        ScriptedServices services;
        app->setServices(&services);
        Thrower thrower;
        thrower.throwStandard = standard;
        QEvent event(QEvent::User);

        QCoreApplication::sendEvent(&thrower, &event);

        app->setServices(nullptr);
        QCOMPARE(services.shown().size(), 1);
        QCOMPARE(services.shown().front().kind, ScriptedServices::Kind::Error);
        QCOMPARE(services.shown().front().text, text);
    }

    void showingAgainResetsTheWindow()
    {
        Fixture f(configBytes('F', 'X'));
        f.show();
        f.find<QLabel>(QStringLiteral("Label1"))->setText(QStringLiteral("Nom"));
        f.find<QCheckBox>(QStringLiteral("CheckBox7"))->setChecked(true);
        f.find<QLineEdit>(QStringLiteral("Edit21"))->setText(QStringLiteral("F01='a'"));
        f.session.filterActive = true;
        f.form->hide();
        f.show();
        QVERIFY(f.find<QLabel>(QStringLiteral("Label1"))->text().isEmpty());
        QVERIFY(!f.find<QCheckBox>(QStringLiteral("CheckBox7"))->isChecked());
        QVERIFY(f.find<QLineEdit>(QStringLiteral("Edit21"))->text().isEmpty());
        QVERIFY(!f.session.filterActive);
        // Every showing applies the language once more, so the flag is unchanged and written again.
        QCOMPARE(f.session.language, 'F');
        QCOMPARE(f.config().at(25), 'F');
    }
};

int main(int argc, char** argv)
{
    GuardedApplication app(argc, argv);
    TestMainWindow test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_mainwindow.moc"
