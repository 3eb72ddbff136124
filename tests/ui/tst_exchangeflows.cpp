#include "mainwindowfixture.h"
#include "ui/tform1.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QTest>

using namespace fichora;
using fichora::test::ScriptedServices;
using Kind = ScriptedServices::Kind;

namespace {

/// The main window in English with a copy of the shipped address book beside its program folder, which
/// holds the templates of a new database.
struct Window : test::MainWindowFixture
{
    Window() : MainWindowFixture({.config = test::configBytes('E', 'X'), .open = false})
    {
        for (const char* name : {"Fichora_par.ref", "Fichora_xml.ref"})
            QFile::copy(test::resourcePath(QLatin1String(name)),
                        userDirectory() + QLatin1Char('/') + QLatin1String(name));
    }
    QString label(const char* name) const { return find<QLabel>(name)->text(); }
    bool progressShown() const
    {
        return find<QProgressBar>("ProgressBar1")->isVisible() || find("BitBtn27")->isVisible();
    }
};

} // namespace

class TestExchangeFlows : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void exportThenImportGivesTheSameDatabase()
    {
        Window w;
        w.open(w.path(QStringLiteral("Carnet.xml")));
        QVERIFY(w.session.open);
        const int records = w.session.records.recordCount();
        const QStringList labels = {w.label("Label1"), w.label("Label2"), w.label("Label3")};

        // The export writes the text file beside the database and tells so; the progress line is gone after.
        QVERIFY(w.form->toolAction(17)->isEnabled());
        w.services.clear();
        w.form->toolAction(17)->trigger();
        QVERIFY(QFile::exists(w.path(QStringLiteral("Carnet.txt"))));
        QVERIFY(!w.services.shown().isEmpty());
        QCOMPARE(w.services.shown().last().kind, Kind::Information);
        QVERIFY(!w.progressShown());

        // The import closes the open database and makes the new one in the program folder.
        QVERIFY(QFile::copy(w.path(QStringLiteral("Carnet.txt")), w.path(QStringLiteral("club.txt"))));
        w.services.clear();
        w.services.setNextFileName(w.path(QStringLiteral("club.txt")));
        w.form->toolAction(6)->trigger();
        QVERIFY(!w.session.open);
        QCOMPARE(w.form->windowTitle(), QStringLiteral("  Fichora  V3.6"));
        QVERIFY(QFile::exists(w.userDirectory() + QStringLiteral("/club.par")));
        QVERIFY(QFile::exists(w.userDirectory() + QStringLiteral("/club.xml")));
        QCOMPARE(w.services.shown().last().kind, Kind::Information);
        QVERIFY(w.services.shown().last().text.contains(QString::number(records)));
        QVERIFY(!w.progressShown());

        w.open(w.userDirectory() + QStringLiteral("/club.xml"));
        QVERIFY(w.session.open);
        QCOMPARE(w.session.records.recordCount(), records);
        QCOMPARE((QStringList{w.label("Label1"), w.label("Label2"), w.label("Label3")}), labels);
    }

    void abandonButtonRaisesTheFlag()
    {
        Window w;
        QVERIFY(!w.session.abandon);
        QMetaObject::invokeMethod(w.form->findChild<QObject*>(QStringLiteral("BitBtn27")), "click");
        QVERIFY(w.session.abandon);
    }
};

QTEST_MAIN(TestExchangeFlows)
#include "tst_exchangeflows.moc"
