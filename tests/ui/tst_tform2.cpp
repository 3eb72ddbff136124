#include "app/session.h"
#include "db/database.h"
#include "db/parameterfile.h"
#include "scriptedservices.h"
#include "testdirs.h"
#include "ui/tform1.h"
#include "ui/tform2.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace fichora;
using fichora::test::ScriptedServices;

namespace {

namespace pf = parameterfile;

struct Row
{
    int field;
    const char* caption;
    const char* labelBox;
    const char* typeChoice; // empty: fixed text caption
};

constexpr Row kRows[] = {
    {1, "Label1", "Edit1", ""},
    {2, "Label2", "Edit2", "RadioGroup2"},
    {3, "Label3", "Edit3", "RadioGroup3"},
    {4, "Label4", "Edit4", "RadioGroup5"},
    {5, "Label5", "Edit5", "RadioGroup4"},
    {6, "Label6", "Edit6", "RadioGroup7"},
    {7, "Label7", "Edit7", "RadioGroup6"},
    {11, "Label11", "Edit11", "RadioGroup11"},
    {12, "Label18", "Edit26", "RadioGroup13"},
    {21, "Label27", "Edit35", "RadioGroup22"},
    {22, "Label28", "Edit36", ""},
};

} // namespace

class TestTForm2 : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_program;
    QTemporaryDir m_target;
    Session m_session;
    ScriptedServices m_services;
    std::unique_ptr<TForm2> m_window;

    template <typename T> T* control(const char* name) const
    {
        T* found = m_window->findChild<T*>(QLatin1String(name));
        if (!found)
            qWarning("no control %s", name);
        return found;
    }
    QLineEdit* edit(const char* name) const { return control<QLineEdit>(name); }
    void click(const char* button) { QTest::mouseClick(control<QPushButton>(button), Qt::LeftButton); }
    void chooseNumber(const char* group)
    {
        const auto items = control<RadioGroup>(group)->findChildren<QRadioButton*>();
        QCOMPARE(items.size(), 2);
        QTest::mouseClick(items[1], Qt::LeftButton);
    }
    QString base(const QString& name) const { return m_target.filePath(name); }

private Q_SLOTS:
    void init()
    {
        for (const QString& entry : QDir(m_target.path()).entryList(QDir::Files))
            QFile::remove(m_target.filePath(entry));
        for (const char* name : {creation::kParameterTemplate, creation::kDataTemplate}) {
            const QString target = m_program.filePath(QLatin1String(name));
            if (!QFileInfo::exists(target))
                QVERIFY(QFile::copy(test::resourcePath(QLatin1String(name)), target));
        }
        m_session = Session{};
        m_session.programDirectory = m_program.path() + QLatin1Char('/');
        m_services.clear();
        m_window = std::make_unique<TForm2>(m_services, m_session);
        QVERIFY(m_window->start());
        QVERIFY(m_window->isVisible());
    }
    void cleanup() { m_window.reset(); }

    void rowsHaveTheirControls_data()
    {
        QTest::addColumn<int>("row");
        for (int i = 0; i < int(std::size(kRows)); ++i)
            QTest::newRow(kRows[i].labelBox) << i;
    }
    void rowsHaveTheirControls()
    {
        QFETCH(int, row);
        const Row& r = kRows[row];
        auto* caption = control<QLabel>(r.caption);
        auto* box = edit(r.labelBox);
        QVERIFY(caption && box);
        QCOMPARE(caption->text(), QStringLiteral("Champ %1").arg(r.field));
        QCOMPARE(box->maxLength(), 15);
        QVERIFY(box->isVisible());
        QCOMPARE(caption->y(), box->y());
        if (*r.typeChoice) {
            auto* choice = control<RadioGroup>(r.typeChoice);
            QVERIFY(choice && choice->isVisible());
            QVERIFY(qAbs(choice->geometry().center().y() - box->geometry().center().y()) <= 2);
            QCOMPARE(choice->itemIndex(), 0);
        }
    }

    void fixedAndHiddenControls()
    {
        QCOMPARE(control<QLabel>("Label16")->text(), QStringLiteral("Texte"));
        QCOMPARE(control<QLabel>("Label29")->text(), QString::fromUtf8("Texte (Mémo)"));
        for (int n = 13; n <= 24; ++n) {
            QLineEdit* box = edit(QByteArray("Edit" + QByteArray::number(n)).constData());
            QVERIFY(box && !box->isVisible());
            QCOMPARE(box->text(), QStringLiteral("145"));
            QCOMPARE(box->maxLength(), 3);
        }
        QVERIFY(!edit("Edit12")->isVisible());
        QVERIFY(!control<RadioGroup>("RadioGroup12")->isVisible());
        QVERIFY(!control<RadioGroup>("RadioGroup23")->isVisible());
        QLineEdit* name = edit("Edit25");
        QVERIFY(name->isVisible());
        QCOMPARE(name->maxLength(), 50);
        QCOMPARE(name->palette().color(QPalette::Base), QColor(0, 255, 255));
        QCOMPARE(m_window->findChildren<QLineEdit*>().size(), 36);
        QCOMPARE(m_window->windowTitle(), QString::fromUtf8("Création d'une nouvelle base de données"));
    }

    void createsWhatTheWindowHolds()
    {
        QSignalSpy finished(m_window.get(), &TForm2::finished);
        QTest::keyClicks(edit("Edit1"), QStringLiteral("Nom"));
        QTest::keyClicks(edit("Edit2"), QStringLiteral("Ville"));
        QTest::keyClicks(edit("Edit4"), QStringLiteral("Age"));
        QTest::keyClicks(edit("Edit36"), QStringLiteral("Notes"));
        edit("Edit26")->setText(QString::fromUtf8("Un libellé bien trop long")); // held to 15
        chooseNumber("RadioGroup5");                                             // row 4
        chooseNumber("RadioGroup22");                                            // row 21
        QTest::keyClicks(edit("Edit25"), QStringLiteral("Clients"));
        m_services.setNextFileName(base(QStringLiteral("Clients")));

        click("BitBtn1");

        QCOMPARE(m_services.dialogs().size(), 1);
        QCOMPARE(m_services.dialogs()[0].fileName, QStringLiteral("Clients"));
        const QString par = base(QStringLiteral("Clients.par"));
        QCOMPARE(pf::readLabel(par, 1).value(), QByteArray("Nom"));
        QCOMPARE(pf::readLabel(par, 12).value(), QByteArray("Un libell\xe9 bien"));
        QCOMPARE(pf::readLabel(par, 22).value(), QByteArray("Notes"));
        for (int n = 1; n <= 23; ++n) {
            QCOMPARE(pf::readFieldType(par, n).value(),
                     n == 4 || n == 21 ? pf::FieldType::Number : pf::FieldType::Text);
            QCOMPARE(pf::readWidth(par, n).value(), 145);
        }
        QVERIFY(QFileInfo::exists(base(QStringLiteral("Clients.xml"))));
        QVERIFY(!m_window->isVisible());
        QCOMPARE(finished.size(), 1);
    }

    void failedCreationKeepsTheWindowAndItsEntries()
    {
        QSignalSpy finished(m_window.get(), &TForm2::finished);
        QTest::keyClicks(edit("Edit1"), QStringLiteral("Nom"));
        QTest::keyClicks(edit("Edit25"), QStringLiteral("Clients"));
        chooseNumber("RadioGroup3");
        click("BitBtn1"); // no label for field 2

        QCOMPARE(m_services.shown().size(), 1);
        QVERIFY(m_window->isVisible());
        QCOMPARE(edit("Edit1")->text(), QStringLiteral("Nom"));
        QCOMPARE(edit("Edit25")->text(), QStringLiteral("Clients"));
        QCOMPARE(control<RadioGroup>("RadioGroup3")->itemIndex(), 1);
        QCOMPARE(finished.size(), 0);
        QVERIFY(QDir(m_target.path()).isEmpty());
    }

    void clearEmptiesEveryBoxButKeepsTypes()
    {
        QTest::keyClicks(edit("Edit1"), QStringLiteral("Nom"));
        QTest::keyClicks(edit("Edit25"), QStringLiteral("Clients"));
        chooseNumber("RadioGroup4"); // row 5
        click("BitBtn3");
        for (QLineEdit* box : m_window->findChildren<QLineEdit*>())
            QVERIFY2(box->text().isEmpty(), qPrintable(box->objectName()));
        QCOMPARE(control<RadioGroup>("RadioGroup4")->itemIndex(), 1);

        // Emptied width boxes count as 145; field 5 keeps its type.
        QTest::keyClicks(edit("Edit1"), QStringLiteral("A"));
        QTest::keyClicks(edit("Edit2"), QStringLiteral("B"));
        QTest::keyClicks(edit("Edit25"), QStringLiteral("Cleared"));
        m_services.setNextFileName(base(QStringLiteral("Cleared")));
        click("BitBtn1");
        const QString par = base(QStringLiteral("Cleared.par"));
        QCOMPARE(pf::readWidth(par, 1).value(), 145);
        QCOMPARE(pf::readWidth(par, 23).value(), 145);
        QCOMPARE(pf::readFieldType(par, 5).value(), pf::FieldType::Number);
    }

    void closingWritesNothingAndEveryShowingStartsAfresh()
    {
        QSignalSpy finished(m_window.get(), &TForm2::finished);
        QTest::keyClicks(edit("Edit1"), QStringLiteral("Nom"));
        chooseNumber("RadioGroup2");
        click("BitBtn3");
        click("BitBtn2");
        QVERIFY(!m_window->isVisible());
        QCOMPARE(finished.size(), 1);
        QVERIFY(m_window->start());
        QVERIFY(m_window->close()); // by the frame as well
        QVERIFY(!m_window->isVisible());
        QCOMPARE(finished.size(), 2);
        QVERIFY(m_services.shown().isEmpty());
        QVERIFY(QDir(m_target.path()).isEmpty());

        QVERIFY(m_window->start());
        QVERIFY(edit("Edit1")->text().isEmpty());
        QCOMPARE(edit("Edit13")->text(), QStringLiteral("145"));
        QCOMPARE(edit("Edit24")->text(), QStringLiteral("145"));
        QCOMPARE(control<RadioGroup>("RadioGroup2")->itemIndex(), 0);
    }

    void startClosesTheOpenDatabaseUnlessCancelled()
    {
        m_window->close();
        edit("Edit1")->setText(QStringLiteral("Nom"));
        edit("Edit2")->setText(QStringLiteral("Ville"));
        edit("Edit25")->setText(QStringLiteral("Clients"));
        m_services.setNextFileName(base(QStringLiteral("Clients")));
        m_window->BitBtn1Click();
        QCOMPARE(openDatabaseFile(m_session, m_services, base(QStringLiteral("Clients.xml")), {}), OpenResult::Opened);
        m_session.modified = true;

        m_services.setNextAnswer(false);
        QVERIFY(!m_window->start());
        QVERIFY(!m_window->isVisible());
        QVERIFY(m_session.open);

        m_services.setNextAnswer(true);
        QVERIFY(m_window->start());
        QVERIFY(m_window->isVisible());
        QVERIFY(!m_session.open);
    }

    void textsFollowTheLanguage_data()
    {
        QTest::addColumn<char>("language");
        QTest::addColumn<QStringList>("texts"); // BitBtn1, Label28, Label29, Label14, item 1, window
        QTest::newRow("English") << 'E'
                                 << QStringList{
                                        QStringLiteral("Create database"), QStringLiteral("Field 22"),
                                        QStringLiteral("Text (Memo)"),     QStringLiteral("Column width"),
                                        QStringLiteral("Number"),          QStringLiteral("Create a new database")};
        QTest::newRow("French") << 'F' << QStringList{QString::fromUtf8("Créer la base"),
                                                      QStringLiteral("Champ 22"),
                                                      QString::fromUtf8("Texte (Mémo)"),
                                                      QStringLiteral("Largeur colonne"),
                                                      QStringLiteral("Nombre"),
                                                      QString::fromUtf8("Création d'une nouvelle base de données")};
    }
    void textsFollowTheLanguage()
    {
        QFETCH(char, language);
        QFETCH(QStringList, texts);
        m_session.language = language == 'F' ? 'E' : 'F';
        m_window->applyLanguage();
        m_session.language = language;
        m_window->applyLanguage();
        const auto item = control<RadioGroup>("RadioGroup5")->findChildren<QRadioButton*>()[1];
        QCOMPARE((QStringList{control<QPushButton>("BitBtn1")->text(), control<QLabel>("Label28")->text(),
                              control<QLabel>("Label29")->text(), control<QLabel>("Label14")->text(), item->text(),
                              m_window->windowTitle()}),
                 texts);
        QCOMPARE(edit("Edit36")->toolTip(),
                 QString::fromUtf8(language == 'F' ? "Entrez le libellé de ce champ (15 caractères maximum)"
                                                   : "Type-in the label for this field (15 characters maximum)"));
    }
};

QTEST_MAIN(TestTForm2)
#include "tst_tform2.moc"
