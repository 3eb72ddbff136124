#include "mainwindowfixture.h"
#include "ui/navigator.h"
#include "ui/texttable.h"
#include "ui/tform1.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QTest>

using namespace fichora;

namespace {

struct Shown
{
    const TextRow* row;
    QString control;
    QString text;
};

QString rowName(const TextRow& row, const QString& control)
{
    return (control.isEmpty() ? QStringLiteral("(window)") : control) + QLatin1Char('/') +
           QString::number(int(row.property)) + QLatin1Char('/') + QString::number(row.index);
}

} // namespace

class TestTextTable : public QObject
{
    Q_OBJECT

private:
    // Made once: the tests switch the language back and forth on the same window.
    std::unique_ptr<test::MainWindowFixture> m_fixture;

    std::vector<Shown> snapshot()
    {
        std::vector<Shown> out;
        for (const TextRow& row : textTable())
            if (row.window == "TForm1")
                for (const QString& control : rowControls(row))
                    out.push_back({&row, control, currentText(*m_fixture->form, row, control)});
        return out;
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_fixture = std::make_unique<test::MainWindowFixture>(test::MainWindowOptions{.sample = false, .open = false});
    }

    void everyNamedControlExistsAndTakesItsProperty()
    {
        int rows = 0;
        for (const TextRow& row : textTable()) {
            if (row.window != "TForm1")
                continue;
            ++rows;
            for (const QString& control : rowControls(row)) {
                if (control.isEmpty()) {
                    QCOMPARE(row.property, TextRow::Property::WindowCaption);
                    continue;
                }
                QWidget* w = m_fixture->form->findChild<QWidget*>(control);
                QVERIFY2(w, qPrintable(control));
                if (row.property == TextRow::Property::Caption)
                    QVERIFY2(qobject_cast<QLabel*>(w) || qobject_cast<QAbstractButton*>(w) ||
                                 qobject_cast<QGroupBox*>(w),
                             qPrintable(control));
                if (row.property == TextRow::Property::NavigatorHint)
                    QVERIFY2(qobject_cast<Navigator*>(w), qPrintable(control));
            }
        }
        QVERIFY(rows > 0);
        // The multi-control rows name every sort button and every filter box of the field rows.
        QStringList sortButtons;
        QStringList filterBoxes;
        for (const TextRow& row : textTable()) {
            if (row.window == "TForm1" &&
                QString::fromUtf8(row.english) == QLatin1String("Order records according to this field"))
                sortButtons = rowControls(row);
            if (row.window == "TForm1" &&
                QString::fromUtf8(row.english) == QLatin1String("Filter to use for this field"))
                filterBoxes = rowControls(row);
        }
        QCOMPARE(sortButtons.size(), 22);
        QCOMPARE(filterBoxes.size(), 22);
    }

    void startInFrenchShowsTheFrenchColumn()
    {
        QCOMPARE(m_fixture->session.language, 'F');
        for (const Shown& shown : snapshot()) {
            // The window caption belongs to the window's state (it also names the open database).
            if (shown.row->property == TextRow::Property::WindowCaption)
                continue;
            QCOMPARE(shown.text, QString::fromUtf8(shown.row->french));
        }
        QCOMPARE(m_fixture->form->navigator()->buttonHint(Navigator::Button::Refresh),
                 QStringLiteral("Rafraîchir les données"));
    }

    void switchingShowsEnglishAndTwiceRestoresEverything()
    {
        const std::vector<Shown> before = snapshot();
        const char languageBefore = m_fixture->session.language;

        m_fixture->form->BitBtn28Click();
        for (const Shown& shown : snapshot())
            if (shown.row->property != TextRow::Property::WindowCaption)
                QVERIFY2(shown.text == QString::fromUtf8(shown.row->english),
                         qPrintable(rowName(*shown.row, shown.control)));
        QCOMPARE(m_fixture->form->findChild<QWidget*>(QStringLiteral("ToolButton7"))->toolTip(),
                 QStringLiteral("Close this program"));

        m_fixture->form->BitBtn28Click();
        const std::vector<Shown> after = snapshot();
        QCOMPARE(after.size(), before.size());
        for (std::size_t i = 0; i < after.size(); ++i)
            QVERIFY2(after[i].text == before[i].text, qPrintable(rowName(*after[i].row, after[i].control)));
        QCOMPARE(m_fixture->session.language, languageBefore);
    }
};

QTEST_MAIN(TestTextTable)
#include "tst_texttable.moc"
