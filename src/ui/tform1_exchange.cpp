// The main window's import and export commands: the operations live in src/exchange; these handlers
// run them with the window's progress line and refresh what they changed.
#include "tform1.h"

#include "app/session.h"
#include "exchange/textexport.h"
#include "exchange/textimport.h"

#include <QAction>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

namespace fichora {

void TForm1::connectExchange()
{
    connect(toolAction(6), &QAction::triggered, this, &TForm1::ToolButton6Click);
    connect(toolAction(17), &QAction::triggered, this, &TForm1::ToolButton17Click);
    connect(m_abandonButton, &QPushButton::clicked, this, &TForm1::BitBtn27Click);
}

ProgressLine TForm1::progressLine()
{
    ProgressLine line;
    line.show = [this](const QString& caption) {
        m_progressLabel->setText(caption);
        m_progressBar->setRange(0, 1000);
        m_progressBar->setValue(0);
        m_progressLabel->show();
        m_progressBar->show();
        m_abandonButton->show();
    };
    line.advance = [this](qint64 value, qint64 maximum) {
        // The bar counts in thousandths so that files of any size fit its int range.
        m_progressBar->setValue(maximum > 0 ? static_cast<int>(value * 1000 / maximum) : 0);
    };
    line.hide = [this] {
        m_progressLabel->hide();
        m_progressBar->hide();
        m_abandonButton->hide();
    };
    return line;
}

void TForm1::ToolButton6Click()
{
    cancelSearch();
    const bool wasOpen = m_session.open;
    textimport::importText(m_session, m_services, progressLine());
    // The import closes the open database first (unless the person kept it with Cancel).
    if (wasOpen && !m_session.open)
        emptyDatabaseControls();
    applyState();
}

void TForm1::ToolButton17Click()
{
    cancelSearch();
    textexport::exportText(m_session, m_services, progressLine());
    applyState();
}

void TForm1::BitBtn27Click()
{
    m_session.abandon = true;
}

} // namespace fichora
