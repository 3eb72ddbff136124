#include "tform8.h"

#include "app/session.h"
#include "ui/recordbinder.h"

#include <QGuiApplication>
#include <QHideEvent>
#include <QScreen>
#include <QVBoxLayout>

namespace fichora {

TForm8::TForm8(const Session& session, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint), m_session(session)
{
    setObjectName(QStringLiteral("TForm8"));
    resize(kClientWidth, kClientHeight);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_memo = new FieldMemo(this);
    m_memo->setObjectName(QStringLiteral("Memo1"));
    m_memo->setMaxLength(9000);
    m_memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_memo->setStyleSheet(QStringLiteral("QPlainTextEdit { background-color: white; color: black; }"));
    layout->addWidget(m_memo);
    m_memo->viewport()->installEventFilter(this);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - QPoint(kClientWidth / 2, kClientHeight / 2));
}

void TForm8::openOn(const QString& caption, int limit, const QString& text)
{
    show();
    raise();
    setWindowTitle(caption);
    m_memo->setMaxLength(limit);
    m_memo->loadText(QString(text).replace(QLatin1String("\r\n"), QLatin1String("\n")));
    m_memo->setFocus();
}

void TForm8::FormHide()
{
    // A protected database can be read here but never written.
    if (m_session.isReadOnly() || !m_memo->isModified())
        return;
    m_memo->setModified(false);
    Q_EMIT textWrittenBack(m_session.editedField, m_memo->toPlainText());
}

void TForm8::Memo1DblClick()
{
    hide();
}

void TForm8::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    // Minimising is not closing; only a real hide writes the text back.
    if (!event->spontaneous())
        FormHide();
}

bool TForm8::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_memo->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        Memo1DblClick();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace fichora
