#include "tform2.h"

#include "app/session.h"
#include "platform/services.h"
#include "ui/icons.h"
#include "ui/texttable.h"
#include "ui/tform1.h"
#include "ui/widgetmaking.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>

namespace fichora {

namespace {

/// One row of the window. The type choices were numbered in the order they were placed, not in row
/// order: RadioGroup5 sits on row 4 and sets field 4.
struct FormRow
{
    const char* caption;
    const char* labelBox;
    const char* typeChoice; ///< null: the field is always text and a fixed caption stands in its place
    const char* fixedType;
};

constexpr FormRow kFormRows[creation::kLabelledFields] = {
    {"Label1", "Edit1", nullptr, "Label16"},        {"Label2", "Edit2", "RadioGroup2", nullptr},
    {"Label3", "Edit3", "RadioGroup3", nullptr},    {"Label4", "Edit4", "RadioGroup5", nullptr},
    {"Label5", "Edit5", "RadioGroup4", nullptr},    {"Label6", "Edit6", "RadioGroup7", nullptr},
    {"Label7", "Edit7", "RadioGroup6", nullptr},    {"Label8", "Edit8", "RadioGroup8", nullptr},
    {"Label9", "Edit9", "RadioGroup9", nullptr},    {"Label10", "Edit10", "RadioGroup10", nullptr},
    {"Label11", "Edit11", "RadioGroup11", nullptr}, {"Label18", "Edit26", "RadioGroup13", nullptr},
    {"Label19", "Edit27", "RadioGroup14", nullptr}, {"Label20", "Edit28", "RadioGroup15", nullptr},
    {"Label21", "Edit29", "RadioGroup16", nullptr}, {"Label22", "Edit30", "RadioGroup17", nullptr},
    {"Label23", "Edit31", "RadioGroup18", nullptr}, {"Label24", "Edit32", "RadioGroup19", nullptr},
    {"Label25", "Edit33", "RadioGroup20", nullptr}, {"Label26", "Edit34", "RadioGroup21", nullptr},
    {"Label27", "Edit35", "RadioGroup22", nullptr}, {"Label28", "Edit36", nullptr, "Label29"},
};

constexpr int kRowsPerColumn = 11;
constexpr int kColumnStep = 396;
constexpr int kHeaderY = 14;
constexpr int kFirstRowY = 38;
constexpr int kRowStep = 30;
constexpr int kCaptionX = 14;
constexpr int kLabelBoxX = 80;
constexpr int kLabelBoxWidth = 130;
constexpr int kTypeX = 218;
constexpr int kTypeWidth = 160;
constexpr int kBoxHeight = 22;
constexpr int kLabelLimit = 15;
constexpr int kNameLimit = 50;
constexpr int kWidthLimit = 3;
constexpr char kDefaultWidthText[] = "145";

RadioGroup* typeChoice(QWidget* parent, const char* objectName, int x, int y)
{
    auto* group =
        new RadioGroup(QString(), {QStringLiteral("Texte"), QStringLiteral("Nombre")}, Qt::Horizontal, parent);
    group->setObjectName(QLatin1String(objectName));
    group->setGeometry(x, y - 3, kTypeWidth, kBoxHeight + 6);
    return group;
}

} // namespace

TForm2::TForm2(Services& services, Session& session, QWidget* parent)
    : QWidget(parent), m_services(services), m_session(session)
{
    setObjectName(QStringLiteral("TForm2"));
    setWindowTitle(QString::fromUtf8("Création d'une nouvelle base de données"));
    setFixedSize(kClientWidth, kClientHeight);
    // Closing this window while the main window is hidden must not end the program.
    setAttribute(Qt::WA_QuitOnClose, false);

    buildRows();
    buildHiddenBoxes();
    buildBottom();
    connectSignals();
    applyLanguage();
}

void TForm2::buildRows()
{
    m_labelHeader = make<QLabel>(this, "Label13", kLabelBoxX, kHeaderY, kLabelBoxWidth, 20);
    m_typeHeader = make<QLabel>(this, "Label17", kTypeX, kHeaderY, kTypeWidth, 20);
    // The right column repeats the captions; they follow the named ones in applyLanguage().
    m_rightLabelHeader = new QLabel(this);
    m_rightLabelHeader->setGeometry(kLabelBoxX + kColumnStep, kHeaderY, kLabelBoxWidth, 20);
    m_rightTypeHeader = new QLabel(this);
    m_rightTypeHeader->setGeometry(kTypeX + kColumnStep, kHeaderY, kTypeWidth, 20);
    for (int i = 0; i < creation::kLabelledFields; ++i) {
        const FormRow& row = kFormRows[i];
        const int dx = (i / kRowsPerColumn) * kColumnStep;
        const int y = kFirstRowY + (i % kRowsPerColumn) * kRowStep;
        m_captions[static_cast<size_t>(i)] = make<QLabel>(this, row.caption, kCaptionX + dx, y, 64, kBoxHeight);
        m_captions[static_cast<size_t>(i)]->setText(QStringLiteral("Champ %1").arg(i + 1));
        auto* box = make<QLineEdit>(this, row.labelBox, kLabelBoxX + dx, y, kLabelBoxWidth, kBoxHeight);
        box->setMaxLength(kLabelLimit);
        m_labelBoxes[static_cast<size_t>(i)] = box;
        if (row.typeChoice) {
            m_typeChoices[static_cast<size_t>(i)] = typeChoice(this, row.typeChoice, kTypeX + dx, y);
        } else {
            auto* fixed = make<QLabel>(this, row.fixedType, kTypeX + dx + 8, y, kTypeWidth, kBoxHeight);
            fixed->setText(QString::fromUtf8(i == 0 ? "Texte" : "Texte (Mémo)"));
        }
    }
}

void TForm2::buildHiddenBoxes()
{
    // Widths and field 23 keep their fixed values: the boxes exist for the create step to read, but the
    // person never sees them.
    const int y = kFirstRowY + kRowsPerColumn * kRowStep;
    auto* widthCaption = make<QLabel>(this, "Label14", 0, y, 100, kBoxHeight);
    widthCaption->setText(QStringLiteral("Largeur colonne"));
    widthCaption->hide();
    for (int i = 0; i < creation::kWidthBoxes; ++i) {
        const QByteArray name = "Edit" + QByteArray::number(13 + i);
        auto* box = make<QLineEdit>(this, name.constData(), 0, y, 40, kBoxHeight);
        box->setMaxLength(kWidthLimit);
        box->setText(QLatin1String(kDefaultWidthText));
        box->hide();
        m_widthBoxes[static_cast<size_t>(i)] = box;
    }
    auto* pictureCaption = make<QLabel>(this, "Label12", 0, y, 60, kBoxHeight);
    pictureCaption->setText(QStringLiteral("Photo"));
    pictureCaption->hide();
    m_pictureLabelBox = make<QLineEdit>(this, "Edit12", 0, y, kLabelBoxWidth, kBoxHeight);
    m_pictureLabelBox->setMaxLength(kLabelLimit);
    m_pictureLabelBox->hide();
    m_pictureType = typeChoice(this, "RadioGroup12", 0, y);
    m_pictureType->hide();
    m_firstType = typeChoice(this, "RadioGroup23", 0, y);
    m_firstType->hide();
}

void TForm2::buildBottom()
{
    const int y = kFirstRowY + kRowsPerColumn * kRowStep + 14;
    make<QLabel>(this, "Label15", kCaptionX, y, 360, 20)->setText(QStringLiteral("Nom de cette nouvelle base"));
    m_nameBox = make<QLineEdit>(this, "Edit25", kCaptionX, y + 22, 376, kBoxHeight + 2);
    m_nameBox->setMaxLength(kNameLimit);
    QPalette aqua = m_nameBox->palette();
    aqua.setColor(QPalette::Base, QColor(0, 255, 255));
    aqua.setColor(QPalette::Text, Qt::black);
    m_nameBox->setPalette(aqua);
    m_nameBox->setAutoFillBackground(true);

    const int buttonsY = y + 66;
    const auto button = [this](const char* objectName, Glyph glyph, int x, const char* text) {
        auto* b = make<QPushButton>(this, objectName, x, 0, 150, 34);
        b->setIcon(drawnIcon(glyph, 20));
        b->setText(QString::fromUtf8(text));
        return b;
    };
    m_createButton = button("BitBtn1", Glyph::New, kCaptionX, "Créer la base");
    m_clearButton = button("BitBtn3", Glyph::EraseFilters, kCaptionX + 170, "Effacer");
    m_closeButton = button("BitBtn2", Glyph::Close, kClientWidth - kCaptionX - 150, "Fermer");
    for (QPushButton* b : {m_createButton, m_clearButton, m_closeButton})
        b->move(b->x(), buttonsY);
}

void TForm2::connectSignals()
{
    connect(m_createButton, &QPushButton::clicked, this, &TForm2::BitBtn1Click);
    connect(m_closeButton, &QPushButton::clicked, this, &TForm2::BitBtn2Click);
    connect(m_clearButton, &QPushButton::clicked, this, &TForm2::BitBtn3Click);
}

void TForm2::applyLanguage()
{
    applyTexts(*this, "TForm2", m_session.language);
    m_rightLabelHeader->setText(m_labelHeader->text());
    m_rightTypeHeader->setText(m_typeHeader->text());
}

bool TForm2::start()
{
    if (!creation::prepare(m_session, m_services))
        return false;
    show();
    raise();
    activateWindow();
    return true;
}

creation::NewDatabase TForm2::entries() const
{
    creation::NewDatabase input;
    for (size_t i = 0; i < m_labelBoxes.size(); ++i) {
        input.labels[i] = m_labelBoxes[i]->text();
        input.numbers[i] = m_typeChoices[i] && m_typeChoices[i]->itemIndex() == 1;
    }
    for (size_t i = 0; i < m_widthBoxes.size(); ++i)
        input.widths[i] = m_widthBoxes[i]->text();
    input.name = m_nameBox->text();
    return input;
}

void TForm2::FormShow()
{
    for (QLineEdit* box : m_labelBoxes)
        box->clear();
    m_pictureLabelBox->clear();
    m_nameBox->clear();
    for (QLineEdit* box : m_widthBoxes)
        box->setText(QLatin1String(kDefaultWidthText));
    for (RadioGroup* choice : m_typeChoices)
        if (choice)
            choice->setItemIndex(0);
    m_pictureType->setItemIndex(0);
    m_firstType->setItemIndex(0);
    applyLanguage();
    m_labelBoxes.front()->setFocus();
}

void TForm2::BitBtn1Click()
{
    if (creation::createDatabase(m_session, m_services, entries()) == creation::Outcome::Created)
        close();
}

void TForm2::BitBtn2Click()
{
    close();
}

void TForm2::BitBtn3Click()
{
    // All 36 edit boxes, the hidden ones included; an empty width box counts as 145 when creating.
    for (QLineEdit* box : findChildren<QLineEdit*>())
        box->clear();
}

void TForm2::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (event->spontaneous())
        return; // restored from the task bar: the entries stay
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    FormShow();
}

void TForm2::closeEvent(QCloseEvent* event)
{
    QWidget::closeEvent(event);
    Q_EMIT finished();
}

} // namespace fichora
