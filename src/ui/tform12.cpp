#include "tform12.h"

#include "app/messages.h"
#include "app/session.h"
#include "browse/picturelist.h"
#include "platform/cp1252.h"
#include "platform/services.h"
#include "ui/icons.h"
#include "ui/picturebox.h"
#include "ui/recordbinder.h"
#include "ui/texttable.h"
#include "ui/tform1.h"
#include "ui/widgetmaking.h"

#include <QAbstractItemDelegate>
#include <QCloseEvent>
#include <QDir>
#include <QFrame>
#include <QGuiApplication>
#include <QHeaderView>
#include <QHideEvent>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QTableWidget>

#include <vector>

namespace fichora {

namespace {

// The grid's title row is its header (nothing over the numbers, "Fichier" over the names); under it
// row k is place k, column 0 its number (grey, never edited) and column 1 its name.
constexpr int kGridX = 8;
constexpr int kGridY = 8;
constexpr int kNumberWidth = 32;
constexpr int kNameWidth = 645;
constexpr int kRowHeight = 18;

// Each row of the grid has its open and choose buttons beside it.
constexpr int kRowButtonWidth = 28;
constexpr int kRowButtonGap = 2;

// Two rows of five thumbnails under the grid.
constexpr int kPerRow = 5;
constexpr int kThumbWidth = 140;
constexpr int kThumbHeight = 130;
constexpr int kThumbLeft = 8;
constexpr int kThumbStep = 148;
constexpr int kFirstRowY = 220;
constexpr int kSecondRowY = 358;
constexpr QRect kEnlarged(200, 220, 300, 300);

constexpr int kBottomButtonWidth = 110;
constexpr int kBottomButtonHeight = 34;

QRect normalPlace(int place)
{
    const int index = place - 1;
    return {kThumbLeft + kThumbStep * (index % kPerRow), index < kPerRow ? kFirstRowY : kSecondRowY, kThumbWidth,
            kThumbHeight};
}

/// Whether a name can go into the record as it stands: a bar would split it in two when the list is
/// read back, and the record holds Windows-1252 only.
bool storable(const QString& name)
{
    return !name.contains(QLatin1Char(picturelist::kSeparator)) && fitsCp1252(name);
}

QStringList pictureFilters()
{
    // Both letter cases: the file system may not fold them.
    const auto patterns = [](std::initializer_list<const char*> suffixes) {
        QStringList out;
        for (const char* suffix : suffixes) {
            const QString lower = QString::fromLatin1(suffix);
            out << QStringLiteral("*.") + lower << QStringLiteral("*.") + lower.toUpper();
        }
        return out.join(QLatin1Char(' '));
    };
    const auto filter = [&](const char* name, std::initializer_list<const char*> suffixes) {
        return QLatin1String(name) + QStringLiteral(" (") + patterns(suffixes) + QLatin1Char(')');
    };
    return {filter("Bitmaps  +   Jpeg", {"bmp", "jpg"}),
            filter("Images", {"bmp", "jpg", "jpeg", "png", "gif"}),
            filter("Bitmaps     ", {"bmp"}),
            filter("Jpeg          ", {"jpg"}),
            filter("Html", {"htm", "html"}),
            filter("Doc", {"doc"}),
            filter("Txt", {"txt"}),
            filter("Mp3", {"mp3"}),
            filter("Avi", {"avi"}),
            filter("Wav", {"wav"}),
            QStringLiteral("*.* (*)")};
}

} // namespace

TForm12::TForm12(Services& services, Session& session, TForm1& mainWindow, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint), m_services(services), m_session(session), m_main(mainWindow)
{
    setObjectName(QStringLiteral("TForm12"));
    setWindowTitle(QStringLiteral("Multimedia"));
    resize(kWidth, kHeight);
    // Closing this window while the main window is hidden must not end the program.
    setAttribute(Qt::WA_QuitOnClose, false);
    build();
    applyLanguage();
}

TForm12::~TForm12() = default;

void TForm12::build()
{
    m_grid = make<QTableWidget>(this, QStringLiteral("SG1"), kGridX, kGridY, 0, 0);
    m_grid->setRowCount(kPlaces);
    m_grid->setColumnCount(2);
    m_grid->verticalHeader()->hide();
    m_grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_grid->verticalHeader()->setDefaultSectionSize(kRowHeight);
    QHeaderView* titles = m_grid->horizontalHeader();
    titles->setSectionResizeMode(QHeaderView::Fixed);
    titles->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    titles->setHighlightSections(false);
    titles->setFixedHeight(kRowHeight);
    m_grid->setHorizontalHeaderItem(0, new QTableWidgetItem);
    m_grid->setHorizontalHeaderItem(1, new QTableWidgetItem);
    m_grid->setColumnWidth(0, kNumberWidth);
    m_grid->setColumnWidth(1, kNameWidth);
    m_grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectItems);
    // A click only selects; typing or a double-click edits the name.
    m_grid->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                            QAbstractItemView::AnyKeyPressed);
    const int frame = m_grid->frameWidth();
    m_grid->resize(kNumberWidth + kNameWidth + 2 * frame, kRowHeight * (kPlaces + 1) + 2 * frame);
    const QBrush fixed = palette().button();
    for (int row = 0; row < kPlaces; ++row) {
        auto* number = new QTableWidgetItem(QString::number(row + 1));
        number->setFlags(Qt::ItemIsEnabled);
        number->setBackground(fixed);
        number->setTextAlignment(Qt::AlignCenter);
        m_grid->setItem(row, 0, number);
        auto* name = new QTableWidgetItem;
        name->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable);
        m_grid->setItem(row, 1, name);
    }

    const int buttonsX = m_grid->geometry().right() + 1 + 4;
    const int firstRowY = kGridY + frame + kRowHeight;
    for (int place = 1; place <= kPlaces; ++place) {
        Place& p = m_places[static_cast<std::size_t>(place - 1)];
        p.thumbnail = new PictureBox(this);
        p.thumbnail->setObjectName(QStringLiteral("Image_%1").arg(place, 2, 10, QLatin1Char('0')));
        p.thumbnail->setFrameShape(QFrame::Panel);
        p.thumbnail->setFrameShadow(QFrame::Sunken);
        p.thumbnail->setGeometry(normalPlace(place));
        const int y = firstRowY + kRowHeight * (place - 1);
        p.open = make<QPushButton>(this, QStringLiteral("BitBtn%1").arg(2 + place), buttonsX, y, kRowButtonWidth,
                                   kRowHeight);
        p.open->setIcon(drawnIcon(Glyph::Launch, 14));
        p.choose = make<QPushButton>(this, QStringLiteral("BitBtn%1").arg(12 + place),
                                     buttonsX + kRowButtonWidth + kRowButtonGap, y, kRowButtonWidth, kRowHeight);
        p.choose->setIcon(drawnIcon(Glyph::Open, 14));
        for (QPushButton* b : {p.open, p.choose}) {
            b->setIconSize(QSize(14, 14));
            b->setFocusPolicy(Qt::TabFocus);
        }
        connect(p.thumbnail, &PictureBox::doubleClicked, this, [this, place] { ImageDblClick(place); });
        connect(p.open, &QPushButton::clicked, this, [this, place] { BitBtnOpenClick(place); });
        connect(p.choose, &QPushButton::clicked, this, [this, place] { BitBtnChooseClick(place); });
    }

    // Lines between the thumbnails: above them, between the two rows, and down the four gaps.
    const int top = kFirstRowY - 8;
    const int bottom = kSecondRowY + kThumbHeight;
    for (int i = 0; i < 2; ++i) {
        auto* line =
            make<QFrame>(this, QStringLiteral("Bevel%1").arg(i + 1), 4, i == 0 ? top : kSecondRowY - 6, kWidth - 8, 4);
        line->setFrameShape(QFrame::HLine);
        line->setFrameShadow(QFrame::Sunken);
        m_bevels[static_cast<std::size_t>(i)] = line;
    }
    for (int i = 0; i < kPerRow - 1; ++i) {
        const int x = kThumbLeft + kThumbStep * (i + 1) - (kThumbStep - kThumbWidth) / 2 - 2;
        auto* line = make<QFrame>(this, QStringLiteral("Bevel%1").arg(i + 3), x, kFirstRowY, 4, bottom - kFirstRowY);
        line->setFrameShape(QFrame::VLine);
        line->setFrameShadow(QFrame::Sunken);
        m_bevels[static_cast<std::size_t>(i + 2)] = line;
    }

    const int buttonsY = kHeight - 8 - kBottomButtonHeight;
    m_close = make<QPushButton>(this, QStringLiteral("BitBtn2"), kWidth - 8 - kBottomButtonWidth, buttonsY,
                                kBottomButtonWidth, kBottomButtonHeight);
    m_close->setText(QStringLiteral("Fermer"));
    m_close->setIcon(drawnIcon(Glyph::Cancel, 20));
    m_close->setToolTip(QStringLiteral("Stop"));
    m_store = make<QPushButton>(this, QStringLiteral("BitBtn1"), m_close->x() - 8 - kBottomButtonWidth, buttonsY,
                                kBottomButtonWidth, kBottomButtonHeight);
    m_store->setText(QStringLiteral("OK"));
    m_store->setIcon(drawnIcon(Glyph::Post, 20));
    m_store->setToolTip(QStringLiteral("Go"));
    // A sheet of its own, so that the skins keep the red bold caption.
    m_store->setStyleSheet(QStringLiteral("QPushButton { color: #d00000; font-weight: bold; }"));

    connect(m_store, &QPushButton::clicked, this, &TForm12::BitBtn1Click);
    connect(m_close, &QPushButton::clicked, this, &TForm12::BitBtn2Click);
}

void TForm12::applyLanguage()
{
    applyTexts(*this, "TForm12", m_session.language);
    m_close->setText(m_session.choose(QStringLiteral("Fermer"), QStringLiteral("Close")));
}

PictureBox* TForm12::thumbnail(int place) const
{
    return m_places.at(static_cast<std::size_t>(place - 1)).thumbnail;
}

QPushButton* TForm12::openButton(int place) const
{
    return m_places.at(static_cast<std::size_t>(place - 1)).open;
}

QPushButton* TForm12::chooseButton(int place) const
{
    return m_places.at(static_cast<std::size_t>(place - 1)).choose;
}

QString TForm12::name(int place) const
{
    const QTableWidgetItem* item = m_grid->item(place - 1, 1);
    return item ? item->text() : QString();
}

void TForm12::commitTyping()
{
    // A name being typed counts as soon as it is typed, as if the cell had been left.
    const QModelIndex current = m_grid->currentIndex();
    if (QWidget* editor = current.isValid() ? m_grid->indexWidget(current) : nullptr)
        m_grid->itemDelegate()->setModelData(editor, m_grid->model(), current);
}

void TForm12::setName(int place, const QString& text)
{
    m_grid->item(place - 1, 1)->setText(text);
}

void TForm12::restoreThumbnails()
{
    for (int place = 1; place <= kPlaces; ++place) {
        PictureBox* box = thumbnail(place);
        box->setGeometry(normalPlace(place));
        box->show();
    }
    for (QFrame* bevel : m_bevels)
        bevel->show();
}

void TForm12::showThumbnail(int place)
{
    showPictureName(*thumbnail(place), name(place), m_session.programDirectory, m_services);
}

void TForm12::FormShow()
{
    applyLanguage();
    restoreThumbnails();
    m_shownRecord = m_session.open ? m_session.records.currentRow() : std::nullopt;
    const std::string list = cp1252::fromUnicode(m_main.pictureList()).toStdString();
    const picturelist::Names names = picturelist::read(list);
    for (int place = 1; place <= kPlaces; ++place)
        setName(place, cp1252::toUnicode(names[static_cast<std::size_t>(place - 1)]));
    m_grid->setCurrentCell(0, 1);
    // The ten pictures are decoded side by side.
    std::vector<PictureName> shown;
    for (int place = 1; place <= kPlaces; ++place)
        shown.push_back({thumbnail(place), name(place)});
    showPictureNames(shown, m_session.programDirectory, m_services);
}

void TForm12::BitBtnChooseClick(int place)
{
    if (!m_session.programDirectory.isEmpty())
        QDir::setCurrent(m_session.programDirectory);
    if (!m_session.open || m_session.isReadOnly())
        return;
    Services::FileDialog dialog;
    dialog.title = windowTitle() + QStringLiteral(" %1").arg(place);
    dialog.directory = m_session.programDirectory;
    dialog.filters = pictureFilters();
    const QString chosen = QDir::toNativeSeparators(m_services.openFileName(dialog));
    if (chosen.isEmpty()) {
        // The row keeps its name while its thumbnail is emptied.
        showPictureName(*thumbnail(place), QString(), m_session.programDirectory, m_services);
        return;
    }
    if (!storable(chosen)) {
        m_services.error(message(Msg::PictureNameNotStorable, m_session.language).arg(chosen));
        return;
    }
    setName(place, chosen);
    m_grid->setCurrentCell(place - 1, 1);
    showThumbnail(place);
}

void TForm12::BitBtnOpenClick(int place)
{
    commitTyping();
    const QString file = name(place);
    if (!file.isEmpty())
        m_main.openWithAssociatedProgram(file);
}

void TForm12::ImageDblClick(int place)
{
    commitTyping();
    PictureBox* box = thumbnail(place);
    if (box->width() != kThumbWidth || name(place).isEmpty()) {
        restoreThumbnails();
        return;
    }
    for (int other = 1; other <= kPlaces; ++other)
        if (other != place)
            thumbnail(other)->hide();
    for (QFrame* bevel : m_bevels)
        bevel->hide();
    box->setGeometry(kEnlarged);
    box->raise();
}

void TForm12::BitBtn1Click()
{
    commitTyping();
    picturelist::Names names;
    for (int place = 1; place <= kPlaces; ++place) {
        const QString file = name(place);
        if (!storable(file)) {
            m_services.error(message(Msg::PictureNameNotStorable, m_session.language).arg(file));
            m_grid->setCurrentCell(place - 1, 1);
            return;
        }
        names[static_cast<std::size_t>(place - 1)] = cp1252::fromUnicode(file).toStdString();
    }
    // The main window may have moved to another record meanwhile: its own list would be replaced.
    if (m_shownRecord && m_session.open && m_session.records.currentRow() != m_shownRecord &&
        !m_services.confirmOkCancel(message(Msg::OtherFilesRecordChanged, m_session.language)))
        return;
    // A protected database refuses the list with its own message; the window closes all the same.
    m_main.storePictureList(cp1252::toUnicode(picturelist::write(names)));
    hide();
}

void TForm12::BitBtn2Click()
{
    hide();
}

bool TForm12::FormCloseQuery()
{
    return m_services.confirmOkCancel(message(Msg::OtherFilesCloseQuery, m_session.language));
}

void TForm12::FormHide()
{
    m_main.refreshOtherFilesCounter();
}

void TForm12::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (event->spontaneous())
        return; // restored by the desktop: what was chosen stays
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    FormShow();
}

void TForm12::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    if (!event->spontaneous())
        FormHide();
}

void TForm12::closeEvent(QCloseEvent* event)
{
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

} // namespace fichora
