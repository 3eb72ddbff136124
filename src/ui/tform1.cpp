#include "tform1.h"

#include "app/configfile.h"
#include "app/messages.h"
#include "app/session.h"
#include "app/skins.h"
#include "browse/colourmarks.h"
#include "db/database.h"
#include "db/fieldrows.h"
#include "platform/cp1252.h"
#include "platform/services.h"
#include "ui/icons.h"
#include "ui/navigator.h"
#include "ui/picturebox.h"
#include "ui/recordtablemodel.h"
#include "ui/texttable.h"
#include "ui/tform12.h"
#include "ui/tform2.h"
#include "ui/tform4.h"
#include "ui/tform8.h"
#include "ui/widgetmaking.h"

#include <QAction>
#include <QApplication>
#include <QBoxLayout>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShowEvent>
#include <QTableView>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>

namespace fichora {

namespace {

constexpr int kFirstRowY = 49;
constexpr int kRowStep = 24;
constexpr int kRowHeight = 21;
constexpr int kLabelX = 392;
constexpr int kSortX = 504;
constexpr int kExportX = 526;
constexpr int kEditorX = 544;
constexpr int kEditorWidth = 272;
constexpr int kPickX = 821;
constexpr int kPanelX = 848;
constexpr int kPanelY = 48;
constexpr int kFilterBoxWidth = 76;
constexpr int kShortFields = 21;

constexpr const char* kTextHintFrench = "Texte  (Double-cliquez pour éditer)";
constexpr const char* kTextHintEnglish = "Text  (Double-click to edit)";
constexpr const char* kNumberHintFrench = "Valeur numérique";
constexpr const char* kNumberHintEnglish = "Numerical value";

int rowY(int field)
{
    return kFirstRowY + kRowStep * (field - 1);
}

QString name(std::string_view text)
{
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

QPushButton* pictureButton(QWidget* parent, const char* objectName, Glyph glyph, int x, int y, int size)
{
    auto* button = make<QPushButton>(parent, objectName, x, y, size, size);
    button->setIcon(drawnIcon(glyph, size - 8));
    button->setIconSize(QSize(size - 10, size - 10));
    return button;
}

struct ToolEntry
{
    int number; ///< 0 separates groups
    Glyph glyph;
};

// The toolbar's order and groups.
constexpr ToolEntry kToolEntries[] = {
    {1, Glyph::Open},          {22, Glyph::Close},       {2, Glyph::New},         {3, Glyph::Destroy},
    {0, Glyph::Open},          {9, Glyph::Restructure},  {10, Glyph::FieldTypes}, {0, Glyph::Open},
    {5, Glyph::SheetImport},   {21, Glyph::SheetAppend}, {6, Glyph::TextImport},  {24, Glyph::DbaseImport},
    {0, Glyph::Open},          {16, Glyph::SheetExport}, {17, Glyph::TextExport}, {0, Glyph::Open},
    {19, Glyph::ColumnWidths}, {20, Glyph::Help},        {11, Glyph::Save},       {7, Glyph::Quit},
    {0, Glyph::Open},          {13, Glyph::Preview},     {14, Glyph::Print},      {23, Glyph::PrintChoice},
};

// Toolbar buttons that need an open database.
constexpr int kDatabaseTools[] = {9, 13, 14, 16, 17, 19, 21};

constexpr int kShortFieldLimit = 4000;
constexpr int kLongFieldLimit = 9000;
constexpr int kLongField = 22;

QString fieldLabelText(const Session& session, int field)
{
    return cp1252::toUnicode(session.fields[static_cast<std::size_t>(field - 1)].label);
}

const char* const kWindowCaptionAtStart = " Fichora  V3.6";
const char* const kWindowCaption = "  Fichora  V3.6";

} // namespace

RadioGroup::RadioGroup(const QString& title, const QStringList& items, Qt::Orientation orientation, QWidget* parent)
    : QGroupBox(title, parent)
{
    QBoxLayout* layout = orientation == Qt::Horizontal ? static_cast<QBoxLayout*>(new QHBoxLayout(this))
                                                       : static_cast<QBoxLayout*>(new QVBoxLayout(this));
    layout->setContentsMargins(orientation == Qt::Horizontal ? 6 : 3, 2, 2, 2);
    layout->setSpacing(orientation == Qt::Horizontal ? 10 : 0);
    for (int i = 0; i < items.size(); ++i) {
        auto* item = new QRadioButton(items[i], this);
        layout->addWidget(item);
        connect(item, &QRadioButton::clicked, this, [this, i] { Q_EMIT itemClicked(i); });
        m_items.append(item);
    }
    setItemIndex(0);
}

int RadioGroup::itemIndex() const
{
    for (int i = 0; i < m_items.size(); ++i)
        if (m_items[i]->isChecked())
            return i;
    return -1;
}

void RadioGroup::setItemIndex(int index)
{
    if (index >= 0 && index < m_items.size())
        m_items[index]->setChecked(true);
}

TForm1::TForm1(Services& services, Session& session, const ProgramLocations& locations, QWidget* parent)
    : QWidget(parent), m_services(services), m_session(session)
{
    setObjectName(QStringLiteral("TForm1"));
    setWindowTitle(QLatin1String(kWindowCaptionAtStart));
    resize(kClientWidth, kClientHeight);
    setMinimumSize(640, 480);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - QPoint(kClientWidth / 2, kClientHeight / 2));

    m_shownFields.fill(true);
    buildTopLine();
    buildLeftColumn();
    buildFieldRows();
    buildFilterPanel();
    buildBottomArea();
    connectSignals();
    connectBrowsing();
    connectPictures();
    FormCreate(locations);
    applyState();
}

TForm1::~TForm1()
{
    // The children outlive this part of the object while QWidget destroys them, and a combo box closing
    // its list on the way out would call back into a window that is already gone.
    for (const FieldControls& controls : m_fields)
        if (controls.pickList)
            disconnect(controls.pickList, nullptr, this, nullptr);
}

void TForm1::buildTopLine()
{
    m_englishButton = make<QPushButton>(this, "BitBtn28", 6, 8, 33, 33);
    m_englishButton->setText(QStringLiteral("EN"));
    m_englishButton->setToolTip(QStringLiteral("English version"));
    m_frenchButton = make<QPushButton>(this, "BitBtn29", 6, 8, 33, 33);
    m_frenchButton->setText(QStringLiteral("FR"));
    m_frenchButton->setToolTip(QStringLiteral("Version en français"));
    m_frenchButton->hide();
    for (QPushButton* b : {m_englishButton, m_frenchButton}) {
        QFont f = b->font();
        f.setBold(true);
        b->setFont(f);
    }
    m_aboutButton = pictureButton(this, "BitBtn1", Glyph::About, 42, 8, 33);
    m_skinButton = make<QPushButton>(this, "BitBtn2", 78, 8, 33, 33);
    m_skinButton->setText(QStringLiteral("1"));
    QFont f = m_skinButton->font();
    f.setBold(true);
    f.setPointSize(f.pointSize() + 2);
    m_skinButton->setFont(f);

    m_toolBar = new QToolBar(this);
    m_toolBar->setObjectName(QStringLiteral("ToolBar1"));
    m_toolBar->setIconSize(QSize(32, 32));
    m_toolBar->setMovable(false);
    m_toolBar->setFloatable(false);
    for (const ToolEntry& entry : kToolEntries) {
        if (entry.number == 0) {
            m_toolBar->addSeparator();
            continue;
        }
        const QString designer = QStringLiteral("ToolButton%1").arg(entry.number);
        auto* action = new QAction(glyphIcon(entry.glyph), designer, this);
        action->setObjectName(designer + QStringLiteral("Action"));
        m_actions[static_cast<std::size_t>(entry.number)] = action;
        auto* button = new QToolButton(m_toolBar);
        button->setObjectName(designer);
        button->setDefaultAction(action);
        button->setIconSize(QSize(32, 32));
        button->setFixedSize(39, 40);
        button->setToolButtonStyle(Qt::ToolButtonIconOnly);
        m_toolBar->addWidget(button);
    }
    // Room to the right edge, so a skin's wider separators never push a button into the overflow menu.
    m_toolBar->setGeometry(117, 4, kClientWidth - 117 - 4, 44);
}

void TForm1::buildLeftColumn()
{
    m_grid = make<QTableView>(this, "DBGrid1", 12, 52, kGridWidth, 445);
    m_model = new RecordTableModel(m_session, this);
    m_grid->setModel(m_model);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setTabKeyNavigation(true);
    m_grid->setWordWrap(false);
    // Uniform rows and a fixed indicator column: nothing is measured per record, however many there are.
    QHeaderView* rows = m_grid->verticalHeader();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(20);
    rows->setMinimumSectionSize(20);
    rows->setFixedWidth(14);
    rows->setDefaultAlignment(Qt::AlignCenter);
    QHeaderView* columns = m_grid->horizontalHeader();
    columns->setDefaultSectionSize(80);
    columns->setSectionResizeMode(QHeaderView::Interactive);
    // Widths are stored by position, so the columns keep their places.
    columns->setSectionsMovable(false);
    columns->setHighlightSections(false);
    m_grid->viewport()->installEventFilter(this);
    m_grid->installEventFilter(this);

    m_previewText = make<QTextEdit>(this, "RichEdit1", 12, 52, kGridWidth, 445);
    m_previewText->setReadOnly(true);
    m_previewText->hide();

    m_navigator = new Navigator(this);
    m_navigator->setObjectName(QStringLiteral("DBNavigator1"));
    m_navigator->move(12, 502);

    m_readOnlyLabel = make<QLabel>(this, "Label14", 134, 504, 84, 20);
    m_readOnlyLabel->setStyleSheet(QStringLiteral("color: rgb(200, 0, 0); font-weight: bold;"));
    m_readOnlyLabel->hide();
    m_protectButton = make<QPushButton>(this, "BitBtn3", 222, 501, 151, 27);
    m_protectButton->setIcon(drawnIcon(Glyph::Protect, 16));
    m_protectButton->hide();

    auto* currentLabel = make<QLabel>(this, "Label24", 12, 531, 98, 20);
    currentLabel->setText(QStringLiteral("Enreg. en cours"));
    m_currentRecordBox = make<QLineEdit>(this, "Edit22", 112, 530, 50, 22);
    m_currentRecordBox->setReadOnly(true);
    m_currentRecordBox->setAlignment(Qt::AlignRight);
    auto* countLabel = make<QLabel>(this, "Label13", 170, 531, 140, 20);
    countLabel->setText(QStringLiteral("Nombre enregistr."));
    countLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_recordCountBox = make<QLineEdit>(this, "Edit2", 315, 530, 58, 22);
    m_recordCountBox->setReadOnly(true);
    m_recordCountBox->setAlignment(Qt::AlignRight);
    m_recordCountBox->setStyleSheet(QStringLiteral("background-color: white; color: black;"));

    m_picture1 = make<PictureBox>(this, "Image1", 12, 556, 169, 169);
    m_picture2 = make<PictureBox>(this, "Image3", 204, 556, 169, 169);
    for (PictureBox* picture : {m_picture1, m_picture2}) {
        picture->setFrameShape(QFrame::StyledPanel);
        // Thumbnails keep a neutral frame under every skin.
        picture->setStyleSheet(QStringLiteral("QLabel { border: 1px solid #a0a0a0; background-color: #ffffff; }"));
    }
    m_pictureMark = make<QLabel>(this, "Image2", 184, 556, 17, 17);
}

void TForm1::buildFieldRows()
{
    for (const FieldRow& row : kFieldRows) {
        FieldControls& controls = m_fields[static_cast<std::size_t>(row.field - 1)];
        const int y = rowY(row.field);
        if (!row.label.empty()) {
            controls.label = new QLabel(this);
            controls.label->setObjectName(name(row.label));
            controls.label->setGeometry(kLabelX, y, kSortX - kLabelX - 2, kRowHeight);
        }
        if (!row.sortButton.empty()) {
            controls.sortButton = new QPushButton(this);
            controls.sortButton->setObjectName(name(row.sortButton));
            controls.sortButton->setGeometry(kSortX, y, 20, kRowHeight);
            controls.sortButton->setIcon(drawnIcon(Glyph::Sort, 14));
            controls.sortButton->setIconSize(QSize(14, 14));
        }
        controls.exportBox = new QCheckBox(this);
        controls.exportBox->setObjectName(name(row.exportBox));
        controls.exportBox->setGeometry(kExportX, y, 18, kRowHeight);
        if (row.field <= kShortFields || row.field == kFieldCount) {
            auto* editor = new QLineEdit(this);
            editor->setObjectName(name(row.editor));
            editor->setGeometry(kEditorX, y, kEditorWidth, kRowHeight);
            editor->setMaxLength(kShortFieldLimit);
            editor->setValidator(new Cp1252Validator(editor));
            controls.editor = editor;
        } else {
            auto* memo = new FieldMemo(this);
            memo->setObjectName(name(row.editor));
            memo->setGeometry(kEditorX, y, 297, 53);
            memo->setMaxLength(kLongFieldLimit);
            memo->viewport()->installEventFilter(this);
            controls.editor = memo;
        }
        controls.editor->installEventFilter(this);
        m_binder.bind(row.field, controls.editor);
        if (!row.pickList.empty()) {
            controls.pickList = new PickListBox(this);
            controls.pickList->setObjectName(name(row.pickList));
            controls.pickList->setGeometry(kPickX, y, 23, kRowHeight);
        }
    }
    // The picture-list field is never edited by hand.
    fieldControls(kFieldCount).editor->hide();
}

void TForm1::buildFilterPanel()
{
    m_filterPanel = make<QWidget>(this, "Panel1", kPanelX, kPanelY, 140, 558);
    for (const FieldRow& row : kFieldRows) {
        if (row.filterBox.empty())
            continue;
        auto* box = new QLineEdit(m_filterPanel);
        box->setObjectName(name(row.filterBox));
        box->setGeometry(2, rowY(row.field) - kPanelY, kFilterBoxWidth, kRowHeight);
        m_fields[static_cast<std::size_t>(row.field - 1)].filterBox = box;
    }
    // The tools column beside the boxes: comparison choice, then the buttons.
    const int toolsX = kFilterBoxWidth + 6;
    const int toolsWidth = 140 - toolsX - 2;
    m_comparison =
        new RadioGroup(QString(), {QStringLiteral("="), QStringLiteral("like")}, Qt::Vertical, m_filterPanel);
    m_comparison->setObjectName(QStringLiteral("RadioGroup2"));
    m_comparison->setGeometry(toolsX, 0, toolsWidth, 46);
    m_comparison->setToolTip(QStringLiteral("= Paul*\nlike %aul%"));
    // Untitled: no room kept for a title, whatever the skin says about group boxes.
    m_comparison->setStyleSheet(QStringLiteral("QGroupBox { margin-top: 0px; padding-top: 0px; }"));

    auto tool = [&](const char* objectName, Glyph glyph, int y) {
        auto* b = make<QPushButton>(m_filterPanel, objectName, toolsX, y, toolsWidth, 34);
        b->setIcon(drawnIcon(glyph, 24));
        b->setIconSize(QSize(24, 24));
        return b;
    };
    m_applyFilterButton = tool("BitBtn19", Glyph::Filter, 50);
    m_removeFilterButton = tool("BitBtn21", Glyph::FilterOff, 50);
    m_photoFilterButton = tool("BitBtn17", Glyph::Photo, 88);
    m_allRecordsButton = tool("BitBtn23", Glyph::AllRecords, 88);
    m_eraseFiltersButton = tool("BitBtn22", Glyph::EraseFilters, 126);
}

void TForm1::buildBottomArea()
{
    const int x = kLabelX;
    auto label = [&](const char* objectName, const char* text, int lx, int y, int w) {
        auto* l = make<QLabel>(this, objectName, lx, y, w, 22);
        l->setText(QString::fromUtf8(text));
        return l;
    };
    auto seekButton = [&](const char* objectName, Glyph glyph, int bx, int y) {
        auto* b = make<QPushButton>(this, objectName, bx, y, 28, 26);
        b->setIcon(drawnIcon(glyph, 18));
        b->setIconSize(QSize(18, 18));
        return b;
    };

    // Key and filter mode.
    label("Label11", "Clé de cryptage/décryptage ---->", x, 616, 210);
    m_keyBox = make<QLineEdit>(this, "Edit14", 606, 616, 80, 22);
    m_keyBox->setMaxLength(6);
    m_keyBox->setEchoMode(QLineEdit::Password);
    m_filterMode = new RadioGroup(QStringLiteral("Filtre "), {QStringLiteral("Standard"), QStringLiteral("Argument")},
                                  Qt::Horizontal, this);
    m_filterMode->setObjectName(QStringLiteral("RadioGroup1"));
    m_filterMode->setGeometry(780, 606, 208, 40);

    // Argument of the filter.
    label("Label23", "Argument de filtrage  ---->", x, 648, 210);
    m_argumentBox = make<QLineEdit>(this, "Edit21", 606, 648, 382, 22);
    m_argumentBox->setToolTip(QStringLiteral("Example --->  F02='paul*' and (F05<136 or F14 IS NOT NULL)"));

    // The two searches.
    m_columnSeekLabel = label("Label21", "Recherche colonne 1", x, 677, 210);
    m_columnSeekBox = make<QLineEdit>(this, "Edit1", 606, 677, 200, 22);
    m_columnSeekButton = seekButton("BitBtn18", Glyph::Seek, 810, 675);
    m_baseSeekLabel = label("Label22", "Recherche base", x, 706, 210);
    m_baseSeekBox = make<QLineEdit>(this, "Edit15", 606, 706, 200, 22);
    m_baseSeekButton = seekButton("BitBtn24", Glyph::Seek, 810, 704);
    m_seekNextButton = seekButton("BitBtn25", Glyph::SeekNext, 840, 704);
    m_giveUpSeekButton = seekButton("BitBtn26", Glyph::GiveUp, 870, 704);
    m_seekNextButton->hide();
    m_giveUpSeekButton->hide();

    // Other pictures and files of the record.
    m_otherFilesButton = make<QPushButton>(this, "OpenOtherPictures", 860, 675, 90, 26);
    m_otherFilesButton->setIcon(drawnIcon(Glyph::OtherFiles, 18));
    m_otherFilesButton->setIconSize(QSize(18, 18));
    m_otherFilesCount = label("Label31", "", 954, 677, 34);
    m_otherFilesCount->hide();

    // Progress of imports and exports.
    m_progressLabel = label("Label15", "", x, 735, 210);
    m_progressBar = make<QProgressBar>(this, "ProgressBar1", 606, 737, 300, 18);
    m_progressBar->setTextVisible(false);
    m_progressBar->setValue(0);
    // The progress line shows only while an import or an export runs.
    m_progressLabel->hide();
    m_progressBar->hide();
    m_abandonButton = make<QPushButton>(this, "BitBtn27", 912, 733, 28, 26);
    m_abandonButton->setIcon(drawnIcon(Glyph::Abandon, 18));
    m_abandonButton->setIconSize(QSize(18, 18));
    m_abandonButton->hide();
}

void TForm1::connectSignals()
{
    connect(m_englishButton, &QPushButton::clicked, this, &TForm1::BitBtn28Click);
    connect(m_frenchButton, &QPushButton::clicked, this, &TForm1::BitBtn28Click);
    connect(m_skinButton, &QPushButton::clicked, this, &TForm1::Skin_click);
    connect(toolAction(7), &QAction::triggered, this, &TForm1::ToolButton7Click);
    connect(toolAction(1), &QAction::triggered, this, &TForm1::ToolButton1Click);
    connect(toolAction(11), &QAction::triggered, this, &TForm1::ToolButton11Click);
    connect(toolAction(19), &QAction::triggered, this, &TForm1::ToolButton19Click);
    connect(toolAction(22), &QAction::triggered, this, &TForm1::ToolButton22Click);
    connect(m_navigator, &Navigator::clicked, this, &TForm1::pressNavigator);
    connect(m_grid, &QTableView::clicked, this, &TForm1::DBGrid1CellClick);
    connect(m_grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid())
                    gridRowChosen(current.row());
            });
    for (const FieldRow& row : kFieldRows) {
        const std::size_t at = static_cast<std::size_t>(row.field - 1);
        connect(m_fields[at].exportBox, &QCheckBox::toggled, this,
                [this, at](bool ticked) { m_session.fields[at].exportTick = ticked; });
    }
}

QAction* TForm1::toolAction(int n) const
{
    return n >= 0 && n < static_cast<int>(m_actions.size()) ? m_actions[static_cast<std::size_t>(n)] : nullptr;
}

void TForm1::FormCreate(const ProgramLocations& locations)
{
    const ProgramDirectory directory = setUpProgramDirectory(locations);
    if (!directory.ok)
        m_services.warning(message(Msg::ProgramFolderFailed, m_session.language).arg(directory.failedFolder));
    if (!directory.sampleNote.isEmpty())
        m_services.information(message(Msg::SamplePicturesRelative, m_session.language).arg(directory.sampleNote));
    m_session.programDirectory = directory.path;
    enterProgramDirectory(m_session.programDirectory);

    const auto config = readConfig(m_session.programDirectory);
    if (!config) {
        // No skin and French; the skin button keeps its designed "1" while the skin number stays 0.
        m_services.plain(config.error().message);
        return;
    }
    m_session.language = config->language;
    if (config->skin < kSkinCount) {
        m_skins.load(config->skin);
        m_skinButton->setText(skinCaption(config->skin));
        m_session.skin = config->skin;
        m_skins.setActive(true);
    } else {
        m_skins.setActive(false);
        m_skinButton->setText(skinCaption(kNoSkin));
        m_session.skin = kNoSkin;
    }
}

void TForm1::FormShow()
{
    m_session.open = false;
    m_session.extendedGrid = false;
    m_session.filterActive = false;
    m_session.photoFilter = false;

    for (const FieldControls& controls : m_fields)
        if (controls.label)
            controls.label->clear();
    m_model->refresh();
    m_argumentBox->clear();

    // The switch toggles, so the stored flag is inverted first: a stored 'E' starts in English, anything
    // else in French, and the normalised flag is written back.
    m_session.language = m_session.language == 'E' ? 'F' : 'E';
    BitBtn28Click();

    for (const FieldControls& controls : m_fields)
        controls.exportBox->setChecked(false);
    applyState();
}

void TForm1::FormResize()
{
    if (!m_grid)
        return;
    const int width = m_session.extendedGrid ? this->width() - 30 : kGridWidth;
    m_grid->resize(width, m_grid->height());
    m_previewText->resize(width, m_previewText->height());
}

void TForm1::FormActivate()
{
    if (m_fullSizePicture)
        m_fullSizePicture->hide();
}

void TForm1::Skin_click()
{
    m_session.skin = nextSkin(m_session.skin);
    if (m_session.skin < kSkinCount) {
        // Loading leaves the engine on or off as it was.
        m_skins.load(m_session.skin);
    } else {
        m_skins.setActive(false);
    }
    m_skinButton->setText(skinCaption(m_session.skin));
    if (auto written = writeSkinByte(m_session.programDirectory, m_session.skin); !written)
        m_services.plain(written.error().message);
}

void TForm1::ToolButton7Click()
{
    m_session.cancelRequested = true;
    cancelSearch();
    m_seekNextButton->hide();
    m_giveUpSeekButton->hide();
    m_services.processEvents();
    close();
}

void TForm1::BitBtn28Click()
{
    m_session.language = m_session.language == 'E' ? 'F' : 'E';
    applyTexts(*this, "TForm1", m_session.language);
    rewriteEditorHints();
    m_englishButton->setVisible(m_session.isFrench());
    m_frenchButton->setVisible(!m_session.isFrench());
    if (m_form2)
        m_form2->applyLanguage();
    if (m_fullSizePicture)
        m_fullSizePicture->applyLanguage();
    if (m_otherFiles)
        m_otherFiles->applyLanguage();
    if (auto written = writeLanguageByte(m_session.programDirectory, m_session.language); !written)
        m_services.plain(written.error().message);
    applyState();
    update();
}

void TForm1::rewriteEditorHints()
{
    // The hints carry the field's type, so the switch keeps "number" and turns everything else into "text".
    const bool french = m_session.isFrench();
    const QString wasNumber = QString::fromUtf8(french ? kNumberHintEnglish : kNumberHintFrench);
    const QString number = QString::fromUtf8(french ? kNumberHintFrench : kNumberHintEnglish);
    const QString text = QString::fromUtf8(french ? kTextHintFrench : kTextHintEnglish);
    for (int field = 1; field <= kShortFields + 1; ++field) {
        QWidget* editor = fieldControls(field).editor;
        editor->setToolTip(editor->toolTip() == wasNumber ? number : text);
    }
}

void TForm1::setFixedColour(const QColor& colour)
{
    m_fixedColour = colour;
    const QColor buttonFace = QApplication::palette().color(QPalette::Button);
    // The button face is the header's own look; only the warning colours need a sheet.
    m_grid->horizontalHeader()->setStyleSheet(
        colour == buttonFace ? QString()
                             : QStringLiteral("QHeaderView::section { background-color: %1; }").arg(colour.name()));
    m_grid->verticalHeader()->setStyleSheet(m_grid->horizontalHeader()->styleSheet());
}

void TForm1::applyState()
{
    const Session& s = m_session;
    if (s.open)
        setWindowTitle(QLatin1String(kWindowCaption) + QString(20, QLatin1Char(' ')) + s.loadedDataFile);
    else
        setWindowTitle(QLatin1String(s.closedOnce ? kWindowCaption : kWindowCaptionAtStart));

    for (const int n : kDatabaseTools)
        toolAction(n)->setEnabled(s.open);
    toolAction(10)->setEnabled(s.open && !s.isReadOnly() && !s.cipheredOpen && !s.modified);
    toolAction(11)->setEnabled(s.open && (s.modified || s.savePending));

    m_protectButton->setVisible(s.open);
    if (s.open) {
        // Hidden without a database, the toggle keeps the text table's hint until one is open.
        const Msg caption = s.isReadOnly() ? Msg::DatabaseUnprotectCaption : Msg::DatabaseProtectCaption;
        const Msg hint = s.isReadOnly() ? Msg::DatabaseUnprotectHint : Msg::DatabaseProtectCaption;
        m_protectButton->setText(message(caption, s.language));
        m_protectButton->setToolTip(message(hint, s.language));
    }
    m_readOnlyLabel->setVisible(s.open && s.isReadOnly());

    for (QWidget* w :
         std::initializer_list<QWidget*>{m_columnSeekBox, m_baseSeekBox, m_columnSeekLabel, m_baseSeekLabel,
                                         m_columnSeekButton, m_baseSeekButton, m_otherFilesButton})
        w->setVisible(s.open);

    m_filterMode->setEnabled(s.open);
    if (!s.open)
        m_filterMode->setItemIndex(0);
    else if (m_filterMode->itemIndex() != s.filterMode)
        m_filterMode->setItemIndex(s.filterMode);

    if (s.open) {
        m_navigator->setVisibleButtons(s.isReadOnly() ? Navigator::browsingButtons() : Navigator::editingButtons());
        m_navigator->move(12, 502);
    }

    QColor fixed = QApplication::palette().color(QPalette::Button);
    if (s.open && s.isReadOnly())
        fixed = s.cipheredOpen ? QColor(192, 220, 192) : QColor(255, 0, 0);
    else if (s.open && s.cipheredOpen)
        fixed = QColor(255, 255, 0);
    setFixedColour(fixed);

    // The shape of an opened database is rendered once per opening; later renderings keep what the
    // person changed since (column widths).
    if (s.open && !m_shaped)
        shapeFromSession();
    else if (!s.open && m_shaped)
        emptyDatabaseControls();
    if (m_model->rowCount() != (s.records.isOpen() ? s.records.recordCount() : 0))
        recordsChanged();

    if (s.open) {
        m_recordCountBox->setText(QString::number(s.recordCount));
        for (const FieldRow& row : kFieldRows) {
            const FieldControls& controls = fieldControls(row.field);
            controls.exportBox->setChecked(s.fields[static_cast<std::size_t>(row.field - 1)].exportTick);
            if (auto* line = qobject_cast<QLineEdit*>(controls.editor))
                line->setReadOnly(s.isReadOnly());
            else if (auto* memo = qobject_cast<QPlainTextEdit*>(controls.editor))
                memo->setReadOnly(s.isReadOnly());
        }
    }
    applyFieldVisibility();

    const bool fieldsShown = !s.extendedGrid;
    m_filterPanel->setVisible(fieldsShown);
    m_applyFilterButton->setVisible(fieldsShown && !s.filterActive);
    m_removeFilterButton->setVisible(fieldsShown && s.filterActive);
    m_photoFilterButton->setVisible(fieldsShown && !s.photoFilter);
    m_allRecordsButton->setVisible(fieldsShown && s.photoFilter);
    m_argumentBox->setVisible(s.open && s.filterMode == 1);
    if (QLabel* argumentLabel = findChild<QLabel*>(QStringLiteral("Label23")))
        argumentLabel->setVisible(s.open && s.filterMode == 1);
    applyFilteredLook(s.open && (s.filterActive || s.photoFilter));
    showSearchButtons();
    FormResize();
}

void TForm1::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // A window restored from the task bar is not "shown again" in the program's sense.
    if (!event->spontaneous())
        FormShow();
}

void TForm1::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    FormResize();
}

void TForm1::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
}

void TForm1::closeEvent(QCloseEvent* event)
{
    m_session.cancelRequested = true;
    cancelSearch();
    if (!FormClose()) {
        event->ignore();
        return;
    }
    event->accept();
    // The long-text editor belongs to this window's database; it must not outlive the window on screen.
    if (m_longText)
        m_longText->hide();
}

bool TForm1::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyRelease && type != QEvent::MouseButtonDblClick)
        return QWidget::eventFilter(watched, event);
    if (m_grid && watched == m_grid->viewport() && type == QEvent::MouseButtonDblClick) {
        DBGrid1DblClick();
    } else if (m_grid && watched == m_grid && type == QEvent::KeyRelease) {
        const auto* key = static_cast<QKeyEvent*>(event);
        DBGrid1KeyUp(key->key(), key->modifiers());
    } else if (const int field = fieldOfEditor(watched); field > 0) {
        if (type == QEvent::KeyRelease)
            DBEdit_1_a_12_KeyUp();
        else
            DBEditDblClick(field);
    }
    return QWidget::eventFilter(watched, event);
}

int TForm1::fieldOfEditor(const QObject* watched) const
{
    for (int field = 1; field <= kShortFields + 1; ++field) {
        const QWidget* editor = fieldControls(field).editor;
        if (!editor)
            continue;
        if (watched == editor)
            return field;
        if (const auto* memo = qobject_cast<const QPlainTextEdit*>(editor); memo && watched == memo->viewport())
            return field;
    }
    return 0;
}

void TForm1::setLongTextEditor(TForm8* window)
{
    if (m_longText)
        disconnect(m_longText, nullptr, this, nullptr);
    m_longText = window;
    if (m_longText)
        connect(m_longText, &TForm8::textWrittenBack, this, &TForm1::putLongText);
}

void TForm1::shapeFromSession()
{
    const Session& s = m_session;
    m_shaped = true;
    recordsChanged();
    const bool french = s.isFrench();
    QHeaderView* columns = m_grid->horizontalHeader();
    for (const FieldRow& row : kFieldRows) {
        const std::size_t at = static_cast<std::size_t>(row.field - 1);
        const FieldShape& shape = s.fields[at];
        const bool inUse = shape.inUse || row.field <= 2 || row.field == kFieldCount;
        m_shownFields[at] = inUse;
        const FieldControls& controls = m_fields[at];
        if (controls.label)
            controls.label->setText(fieldLabelText(s, row.field));
        if (shape.width > 0)
            columns->resizeSection(row.column, shape.width);
        m_grid->setColumnHidden(row.column, !inUse);
        // The records arrive in field-1 order, so sorting on it would change nothing.
        if (controls.sortButton)
            controls.sortButton->setEnabled(row.field != 1);
        if (row.field > kShortFields + 1)
            continue;
        const char* hint = shape.isNumber ? (french ? kNumberHintFrench : kNumberHintEnglish)
                                          : (french ? kTextHintFrench : kTextHintEnglish);
        controls.editor->setToolTip(QString::fromUtf8(hint));
        if (auto* line = qobject_cast<QLineEdit*>(controls.editor))
            line->setAlignment(shape.isNumber ? Qt::AlignRight : Qt::AlignLeft);
    }
}

void TForm1::emptyDatabaseControls()
{
    m_shaped = false;
    m_binder.clear();
    for (const FieldControls& controls : m_fields) {
        if (controls.label)
            controls.label->clear();
        controls.exportBox->setChecked(false);
    }
    m_recordCountBox->clear();
    m_currentRecordBox->clear();
    m_columnSeekBox->clear();
    m_baseSeekBox->clear();
    m_otherFilesCount->hide();
    recordsChanged();
}

void TForm1::applyFieldVisibility()
{
    const Session& s = m_session;
    const bool shown = !s.extendedGrid;
    for (const FieldRow& row : kFieldRows) {
        const std::size_t at = static_cast<std::size_t>(row.field - 1);
        const bool inUse = s.open ? (s.fields[at].inUse || row.field <= 2) : m_shownFields[at];
        const bool visible = shown && inUse;
        const FieldControls& controls = m_fields[at];
        if (row.field == kFieldCount) {
            controls.editor->hide();
            controls.exportBox->setVisible(s.open && shown);
            continue;
        }
        controls.editor->setVisible(visible);
        controls.exportBox->setVisible(visible);
        if (controls.sortButton)
            controls.sortButton->setVisible(visible);
        if (controls.pickList)
            controls.pickList->setVisible(visible);
        // In the "Argument" mode the expression box replaces the filter boxes.
        if (controls.filterBox)
            controls.filterBox->setVisible(visible && s.filterMode == 0);
    }
}

void TForm1::recordsChanged()
{
    // Starting the model over resets the header; the columns keep the widths the person gave them.
    const QByteArray columns = m_grid->horizontalHeader()->saveState();
    m_model->refresh();
    m_grid->horizontalHeader()->restoreState(columns);
    DataSource1DataChange();
}

void TForm1::DataSource1DataChange()
{
    const RecordTable& records = m_session.records;
    m_binder.load(records);
    const bool current = records.isOpen() && records.currentRow().has_value();
    m_currentRecordBox->setText(records.isOpen() ? QString::number(records.recordNumber()) : QString());
    m_model->setCurrentRow(current ? records.recordNumber() - 1 : -1);
    selectCurrentRow();
}

void TForm1::selectCurrentRow()
{
    const RecordTable& records = m_session.records;
    m_syncingGrid = true;
    if (records.isOpen() && records.currentRow() && records.recordNumber() <= m_model->rowCount()) {
        const int column = std::max(m_grid->currentIndex().column(), 0);
        const QModelIndex at = m_model->index(records.recordNumber() - 1, column);
        m_grid->selectionModel()->setCurrentIndex(at, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        m_grid->scrollTo(at);
    } else {
        m_grid->selectionModel()->clear();
    }
    m_syncingGrid = false;
}

void TForm1::gridRowChosen(int row)
{
    RecordTable& records = m_session.records;
    if (m_syncingGrid || !records.isOpen() || row < 0 || row >= records.recordCount())
        return;
    if (row + 1 == records.recordNumber() && records.state() == RecordTable::State::Browse)
        return;
    // Posting may move records in the order: the chosen record is followed by its identity.
    const RowId chosen = records.rowAt(row);
    if (!postPendingEdits()) {
        selectCurrentRow();
        return;
    }
    int position = row;
    if (position >= records.recordCount() || records.rowAt(position) != chosen) {
        for (position = 0; position < records.recordCount(); ++position)
            if (records.rowAt(position) == chosen)
                break;
    }
    if (position < records.recordCount())
        records.setRecordNumber(position + 1);
    DataSource1DataChange();
}

bool TForm1::postPendingEdits()
{
    RecordTable& records = m_session.records;
    if (!records.isOpen())
        return true;
    // A new record nobody typed into is dropped, as leaving an untouched insert does.
    if (records.state() == RecordTable::State::Insert && !m_binder.anyModified()) {
        records.cancel();
        return true;
    }
    if (auto stored = m_binder.store(records); !stored) {
        const int field = stored.error().field;
        const QString label = fieldControls(field).label ? fieldControls(field).label->text() : QString();
        const QString typed = m_binder.text(field);
        m_services.error(message(Msg::NotANumber, m_session.language).arg(typed, label));
        fieldControls(field).editor->setFocus();
        return false;
    }
    if (records.state() == RecordTable::State::Browse)
        return true;
    if (auto posted = records.post(); !posted) {
        m_services.error(posted.error().message);
        return false;
    }
    recordsChanged();
    return true;
}

void TForm1::markModified()
{
    if (!m_session.open)
        return;
    m_session.modified = true;
    applyState();
}

void TForm1::DBEdit_1_a_12_KeyUp()
{
    if (m_session.open && !m_session.isReadOnly())
        markModified();
}

void TForm1::pressNavigator(Navigator::Button button)
{
    DBNavigator1BeforeAction(button);
    runNavigatorAction(button);
    DBNavigator1Click(button);
}

void TForm1::DBNavigator1BeforeAction(Navigator::Button button)
{
    if (button == Navigator::Button::Insert)
        fieldControls(1).editor->setFocus();
}

void TForm1::runNavigatorAction(Navigator::Button button)
{
    using B = Navigator::Button;
    RecordTable& records = m_session.records;
    if (!records.isOpen())
        return;
    switch (button) {
    case B::First:
    case B::Prior:
    case B::Next:
    case B::Last:
        if (!postPendingEdits())
            return;
        if (button == B::First)
            records.first();
        else if (button == B::Prior)
            records.prior();
        else if (button == B::Next)
            records.next();
        else
            records.last();
        DataSource1DataChange();
        break;
    case B::Insert:
        if (!postPendingEdits())
            return;
        if (auto started = records.insert(); !started) {
            m_services.error(started.error().message);
            return;
        }
        m_binder.load(records);
        break;
    case B::Delete:
        // Without a record there is nothing to ask about.
        if (!records.currentRow() && records.state() != RecordTable::State::Insert)
            return;
        if (!m_services.confirmOkAbort(message(Msg::DeleteRecordQuestion, m_session.language)))
            return;
        if (auto deleted = records.deleteRecord(); !deleted) {
            m_services.error(deleted.error().message);
            return;
        }
        recordsChanged();
        break;
    case B::Edit:
        if (!records.currentRow())
            return;
        if (auto started = records.edit(); !started)
            m_services.error(started.error().message);
        break;
    case B::Post:
        (void)postPendingEdits();
        break;
    case B::Cancel:
        records.cancel();
        DataSource1DataChange();
        break;
    case B::Refresh:
        if (records.state() == RecordTable::State::Browse)
            recordsChanged();
        break;
    }
}

void TForm1::DBNavigator1Click(Navigator::Button button)
{
    // Asked or not, a press on Delete counts as a change.
    if (button == Navigator::Button::Delete)
        markModified();
}

void TForm1::DBEditDblClick(int field)
{
    if (field < 1 || field > kLongField)
        return;
    const QWidget* editor = fieldControls(field).editor;
    // Both languages' text hints begin with "Text"; a number field has no long text to edit.
    if (!editor->toolTip().startsWith(QLatin1String("Text")) || !m_session.open)
        return;
    m_session.editedField = field;
    if (!m_longText)
        return;
    m_longText->openOn(fieldControls(field).label->text(), field == kLongField ? kLongFieldLimit : kShortFieldLimit,
                       m_binder.text(field));
}

void TForm1::putLongText(int field, const QString& text)
{
    if (!m_session.open)
        return;
    if (field < 1 || field > kLongField) {
        m_services.plain(QStringLiteral("Switch error 125"));
        return;
    }
    markModified();
    (void)m_session.records.edit();
    // A short field keeps its line breaks as CR LF; the memo does the same when its text is stored.
    m_binder.setText(field,
                     field == kLongField ? text : QString(text).replace(QLatin1Char('\n'), QLatin1String("\r\n")));
    m_binder.setModified(field, true);
    m_services.processEvents();
}

void TForm1::DBGrid1DblClick()
{
    m_session.extendedGrid = !m_session.extendedGrid;
    // Spread over the window, the grid covers the field labels, which stay shown behind it.
    m_grid->raise();
    if (!m_session.extendedGrid) {
        for (int field = 3; field <= kLongField; ++field)
            if (QPushButton* sort = fieldControls(field).sortButton;
                sort && !fieldControls(field).label->text().isEmpty())
                sort->setEnabled(true);
    }
    applyState();
}

void TForm1::DBGrid1CellClick()
{
    Q_EMIT otherFilesCounterNeeded();
}

void TForm1::DBGrid1KeyUp(int key, Qt::KeyboardModifiers modifiers)
{
    if (key == Qt::Key_Up || key == Qt::Key_Down)
        Q_EMIT otherFilesCounterNeeded();
    if (modifiers.testFlag(Qt::ControlModifier) && m_grid->currentIndex().isValid()) {
        const int field = m_grid->currentIndex().column() + 1;
        if (colourmarks::keyWithCtrl(m_session, field, key) == colourmarks::KeyResult::Stored) {
            m_model->recordChanged(m_session.records.recordNumber() - 1);
            DataSource1DataChange();
            markModified();
        }
    }
    Q_EMIT gridKeyReleased(key, modifiers);
}

void TForm1::ToolButton19Click()
{
    if (!m_session.open)
        return;
    std::array<qint32, 23> widths{};
    for (int column = 0; column < kFieldCount; ++column) {
        // A hidden column keeps the width it was given.
        widths[static_cast<std::size_t>(column)] = m_grid->isColumnHidden(column)
                                                       ? m_session.fields[static_cast<std::size_t>(column)].width
                                                       : m_grid->columnWidth(column);
    }
    (void)saveColumnWidths(m_session, m_services, widths);
}

void TForm1::ToolButton1Click()
{
    m_session.cancelRequested = true;
    cancelSearch();
    m_seekNextButton->hide();
    m_giveUpSeekButton->hide();
    m_filterMode->setItemIndex(0);
    const QByteArray key = cp1252::fromUnicode(m_keyBox->text().left(6));
    const OpenResult result = openDatabase(m_session, m_services, key);
    if (result == OpenResult::Cancelled)
        return;
    // Whatever was shown belonged to the database the opening closed.
    emptyDatabaseControls();
    if (m_session.open) {
        BitBtn22Click();
        m_session.filterActive = false;
        m_session.photoFilter = false;
        m_session.filterMode = 0;
        m_session.recordCount = m_session.records.recordCount();
        adoptSavedRecords();
    }
    applyState();
}

void TForm1::ToolButton11Click()
{
    m_seekNextButton->hide();
    m_giveUpSeekButton->hide();
    m_baseSeekButton->show();
    if (!postPendingEdits())
        return;
    m_session.cancelRequested = true;
    cancelSearch();
    if (const SaveResult saved = saveDatabase(m_session, m_services, cp1252::fromUnicode(m_keyBox->text().left(6)));
        saved == SaveResult::Saved || saved == SaveResult::SavedPlain)
        adoptSavedRecords();
    applyState();
}

void TForm1::ToolButton22Click()
{
    m_session.cancelRequested = true;
    cancelSearch();
    m_seekNextButton->hide();
    m_giveUpSeekButton->hide();
    m_filterMode->setItemIndex(0);
    if (!closeDatabase(m_session, m_services))
        return;
    emptyDatabaseControls();
    applyState();
}

bool TForm1::FormClose()
{
    if (!closeMainWindow(m_session, m_services))
        return false;
    emptyDatabaseControls();
    applyState();
    return true;
}

} // namespace fichora
