#include "tform4.h"

#include "app/session.h"
#include "browse/picturelist.h"
#include "ui/picturebox.h"
#include "ui/texttable.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QScrollArea>
#include <QVBoxLayout>

namespace fichora {

TForm4::TForm4(const Session& session, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint), m_session(session)
{
    setObjectName(QStringLiteral("TForm4"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    // The window takes the picture's size, however small.
    layout->setSizeConstraint(QLayout::SetNoConstraint);
    m_scroll = new QScrollArea(this);
    m_scroll->setMinimumSize(1, 1);
    m_scroll->setObjectName(QStringLiteral("ScrollBox1"));
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setAlignment(Qt::AlignCenter);
    m_picture = new QLabel;
    m_picture->setObjectName(QStringLiteral("Image_large"));
    m_picture->setAlignment(Qt::AlignCenter);
    m_scroll->setWidget(m_picture);
    m_scroll->setWidgetResizable(true);
    layout->addWidget(m_scroll);
    m_picture->installEventFilter(this);
    m_scroll->viewport()->installEventFilter(this);
    resize(kEmptyWidth, kEmptyHeight);
    applyLanguage();
}

void TForm4::applyLanguage()
{
    applyTexts(*this, "TForm4", m_session.language);
}

void TForm4::FormShow()
{
    const picturelist::PictureType type = picturelist::pictureType(m_name);
    QSize client;
    if (m_name.isEmpty()) {
        m_picture->clear();
        client = QSize(kEmptyWidth, kEmptyHeight);
    } else if (type != picturelist::PictureType::None && QFileInfo(m_name).isFile()) {
        const QImage image = loadPicture(m_name, type);
        if (image.isNull())
            m_picture->clear();
        else
            m_picture->setPixmap(QPixmap::fromImage(image));
        client = image.isNull() ? QSize(kEmptyWidth, kEmptyHeight) : image.size();
    } else {
        // A missing file or another type leaves the window as it was.
        return;
    }
    // The window fits the picture; one larger than the screen scrolls inside a window that fits the screen.
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (screen) {
        const QRect available = screen->availableGeometry();
        client = client.boundedTo(available.size() * 9 / 10);
        resize(client);
        move(available.center() - QPoint(client.width() / 2, client.height() / 2));
    } else {
        resize(client);
    }
}

void TForm4::Image_largeDblClick()
{
    hide();
}

void TForm4::showEvent(QShowEvent* event)
{
    if (!event->spontaneous())
        FormShow();
    QWidget::showEvent(event);
}

bool TForm4::eventFilter(QObject* watched, QEvent* event)
{
    if ((watched == m_picture || watched == m_scroll->viewport()) && event->type() == QEvent::MouseButtonDblClick) {
        Image_largeDblClick();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace fichora
