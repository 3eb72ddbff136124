// The main window's browsing commands: sorting, filtering, searching, pick lists, colour marks and the
// way to the new-database window.

#include "tform1.h"

#include "app/messages.h"
#include "app/session.h"
#include "browse/colourmarks.h"
#include "browse/filterbuilder.h"
#include "db/fieldrows.h"
#include "platform/cp1252.h"
#include "platform/services.h"
#include "ui/markdelegate.h"
#include "ui/recordtablemodel.h"
#include "ui/tform2.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

#include <string>
#include <vector>

namespace fichora {

namespace {

constexpr int kSortedFields = 22;
constexpr int kPickRestX = 821;
constexpr int kPickRestWidth = 23;
constexpr int kPickOpenX = 571;
constexpr int kPickOpenWidth = 273;
constexpr char kPictureFilter[] = "F01>''";

std::string bytesOf(const QString& text)
{
    return cp1252::fromUnicode(text).toStdString();
}

} // namespace

void PickListBox::showPopup()
{
    // The list is filled before it opens, so the popup takes the size of what it shows.
    Q_EMIT droppedDown();
    QComboBox::showPopup();
}

void PickListBox::hidePopup()
{
    QComboBox::hidePopup();
    Q_EMIT closedUp();
}

void TForm1::connectBrowsing()
{
    m_search = std::make_unique<SearchSession>(m_session.records, m_services);
    m_unfilteredPalette = palette();
    m_grid->setItemDelegate(new MarkDelegate(m_grid));
    for (const FieldRow& row : kFieldRows) {
        const FieldControls& controls = fieldControls(row.field);
        if (controls.sortButton)
            connect(controls.sortButton, &QPushButton::clicked, this, [this, f = row.field] { sortButtonClick(f); });
        if (auto* box = qobject_cast<PickListBox*>(controls.pickList)) {
            connect(box, &PickListBox::droppedDown, this, [this, f = row.field] { ComboBoxDropDown(f); });
            connect(box, &PickListBox::closedUp, this, [this, f = row.field] { ComboBoxCloseUp(f); });
            connect(box, &QComboBox::activated, this, [this, f = row.field](int index) { ComboBoxSelect(f, index); });
        }
    }
    connect(m_applyFilterButton, &QPushButton::clicked, this, &TForm1::BitBtn19Click);
    connect(m_removeFilterButton, &QPushButton::clicked, this, &TForm1::BitBtn21Click);
    connect(m_eraseFiltersButton, &QPushButton::clicked, this, &TForm1::BitBtn22Click);
    connect(m_photoFilterButton, &QPushButton::clicked, this, &TForm1::BitBtn17Click);
    connect(m_allRecordsButton, &QPushButton::clicked, this, &TForm1::BitBtn23Click);
    connect(m_filterMode, &RadioGroup::itemClicked, this, &TForm1::RadioGroup1Click);
    connect(m_columnSeekButton, &QPushButton::clicked, this, &TForm1::BitBtn18Click);
    connect(m_baseSeekButton, &QPushButton::clicked, this, &TForm1::BitBtn24Click);
    connect(m_seekNextButton, &QPushButton::clicked, this, &TForm1::BitBtn25Click);
    connect(m_giveUpSeekButton, &QPushButton::clicked, this, &TForm1::BitBtn26Click);
    connect(toolAction(2), &QAction::triggered, this, &TForm1::ToolButton2Click);
    connectExchange();
}

// Sorting.

void TForm1::sortButtonClick(int field)
{
    if (!m_session.open || field < 1 || field > kSortedFields)
        return;
    if (!postPendingEdits())
        return;
    RecordTable& records = m_session.records;
    const std::optional<RowId> current = records.currentRow();
    const std::string list = field == 1 ? std::string("F01;F02") : std::string(fieldRow(field).name) + ";F01";
    if (auto sorted = records.setIndexFieldNames(list); !sorted) {
        m_services.error(sorted.error().message);
        return;
    }
    if (current) {
        for (int position = 0; position < records.recordCount(); ++position) {
            if (records.rowAt(position) == *current) {
                records.setRecordNumber(position + 1);
                break;
            }
        }
    }
    for (const FieldRow& row : kFieldRows)
        if (QPushButton* button = fieldControls(row.field).sortButton)
            button->setEnabled(row.field != field);
    recordsChanged();
}

// Filtering.

void TForm1::applyFilteredLook(bool filtered)
{
    m_recordCountBox->setStyleSheet(filtered ? QStringLiteral("background-color: rgb(255, 0, 0); color: white;")
                                             : QStringLiteral("background-color: white; color: black;"));
    QPalette look = m_unfilteredPalette;
    if (filtered)
        look.setColor(QPalette::Window, QColor(240, 80, 64));
    setAutoFillBackground(filtered);
    setPalette(look);
}

void TForm1::BitBtn19Click()
{
    if (!m_session.open)
        return;
    RecordTable& records = m_session.records;
    std::string expression;
    if (m_filterMode->itemIndex() == 1) {
        expression = bytesOf(m_argumentBox->text());
    } else {
        std::vector<std::string> texts;
        std::vector<FilterBox> boxes;
        texts.reserve(kFilterBoxCount);
        for (int field = 1; field <= kFilterBoxCount; ++field) {
            const QLineEdit* box = fieldControls(field).filterBox;
            texts.push_back(box ? bytesOf(box->text()) : std::string());
        }
        for (int field = 1; field <= kFilterBoxCount; ++field) {
            const QLineEdit* box = fieldControls(field).filterBox;
            const bool inUse = m_session.fields[static_cast<std::size_t>(field - 1)].inUse || field <= 2;
            boxes.push_back({texts[static_cast<std::size_t>(field - 1)],
                             box && inUse && !m_session.extendedGrid && m_filterMode->itemIndex() == 0});
        }
        expression = buildStandardFilter(boxes, static_cast<FilterComparison>(m_comparison->itemIndex()));
    }
    m_session.filterText = QString::fromStdString(expression);
    m_session.photoFilter = false;
    records.setFilterCallback({});
    auto applied = records.setFilter(expression);
    if (applied)
        applied = records.setFiltered(true);
    if (!applied) {
        // The table lets every record through then; the window still shows the field-filter state, and
        // removing the filter returns to a clean one.
        (void)records.setFilter(std::string());
        (void)records.setFiltered(true);
        m_services.error(message(Msg::FilterArgumentInvalid, m_session.language));
    }
    m_session.filterActive = true;
    m_session.recordCount = records.recordCount();
    recordsChanged();
    applyState();
}

void TForm1::removeFilter()
{
    RecordTable& records = m_session.records;
    m_session.filterText.clear();
    (void)records.setFilter(std::string());
    (void)records.setFiltered(false);
    records.setFilterCallback({});
    m_session.recordCount = records.recordCount();
    toolAction(13)->setToolTip(m_session.choose(QStringLiteral("Montre les données telles qu'elles seront imprimées"),
                                                QStringLiteral("Show data as they will be printed")));
    recordsChanged();
    applyState();
}

void TForm1::BitBtn21Click()
{
    m_session.filterActive = false;
    removeFilter();
}

void TForm1::BitBtn22Click()
{
    for (const FieldControls& controls : m_fields)
        if (controls.filterBox)
            controls.filterBox->clear();
    m_argumentBox->clear();
}

bool TForm1::ClientDataSet1FilterRecord(const RecordTable& table, RowId row) const
{
    if (!m_session.photoFilter)
        return true;
    const int pictures = table.fieldIndex("F23");
    return pictures >= 0 && table.textAt(row, pictures) > std::string(" ");
}

void TForm1::BitBtn17Click()
{
    if (!m_session.open)
        return;
    RecordTable& records = m_session.records;
    m_session.photoFilter = true;
    m_session.filterActive = false;
    m_session.filterText = QLatin1String(kPictureFilter);
    records.setFilterCallback(
        [this](const RecordTable& table, RowId row) { return ClientDataSet1FilterRecord(table, row); });
    if (auto applied = records.setFilter(kPictureFilter); applied)
        (void)records.setFiltered(true);
    records.refreshFilter();
    m_session.recordCount = records.recordCount();
    recordsChanged();
    applyState();
}

void TForm1::BitBtn23Click()
{
    m_session.photoFilter = false;
    removeFilter();
}

void TForm1::RadioGroup1Click()
{
    if (!m_session.open)
        return;
    m_session.filterMode = m_filterMode->itemIndex();
    applyState();
}

// Searching.

void TForm1::showSearchButtons()
{
    const bool waiting = m_session.open && m_session.searchWaiting;
    m_baseSeekButton->setVisible(m_session.open && !waiting);
    m_seekNextButton->setVisible(waiting);
    m_giveUpSeekButton->setVisible(waiting);
}

void TForm1::searchEnded(SearchSession::Outcome outcome)
{
    m_session.searchWaiting = m_search->isWaiting();
    m_session.recordCount = m_session.records.isOpen() ? m_session.records.recordCount() : 0;
    if (outcome != SearchSession::Outcome::Ignored)
        DataSource1DataChange();
    showSearchButtons();
}

void TForm1::BitBtn18Click()
{
    if (!m_session.open || !postPendingEdits())
        return;
    searchColumn1(m_session.records, m_services, bytesOf(m_columnSeekBox->text()), m_session.language);
    DataSource1DataChange();
}

void TForm1::BitBtn24Click()
{
    if (!m_session.open || !postPendingEdits())
        return;
    searchEnded(m_search->start(bytesOf(m_baseSeekBox->text()), m_session.language));
}

void TForm1::BitBtn25Click()
{
    if (!postPendingEdits())
        return;
    searchEnded(m_search->next(m_session.language));
}

void TForm1::BitBtn26Click()
{
    m_session.cancelRequested = true;
    cancelSearch();
}

void TForm1::cancelSearch()
{
    if (!m_search || !m_search->isWaiting())
        return;
    searchEnded(m_search->cancel());
}

// Pick lists.

void TForm1::ComboBoxDropDown(int field)
{
    QComboBox* box = fieldControls(field).pickList;
    if (!box || !m_session.open)
        return;
    box->setGeometry(kPickOpenX, box->y(), kPickOpenWidth, box->height());
    box->raise();
    const QSignalBlocker quiet(box);
    box->clear();
    box->addItems(picklist::displayTexts(m_pickLists.values(m_session.loadedDataFile, field)));
    box->setCurrentIndex(-1);
}

void TForm1::ComboBoxSelect(int field, int index)
{
    QComboBox* box = fieldControls(field).pickList;
    if (!box || index < 0 || !m_session.open)
        return;
    if (!postPendingEdits())
        return;
    const auto chosen = picklist::choose(m_session, field, cp1252::fromUnicode(box->itemText(index)));
    if (!chosen) {
        m_services.error(chosen.error().message);
        return;
    }
    if (!*chosen)
        return;
    m_model->recordChanged(m_session.records.recordNumber() - 1);
    DataSource1DataChange();
    markModified();
}

void TForm1::ComboBoxCloseUp(int field)
{
    if (QComboBox* box = fieldControls(field).pickList)
        box->setGeometry(kPickRestX, box->y(), kPickRestWidth, box->height());
}

void TForm1::adoptSavedRecords()
{
    if (m_session.open && m_session.records.isOpen())
        m_pickLists.adopt(m_session.loadedDataFile, m_session.records);
}

// The new-database window.

void TForm1::setNewDatabaseWindow(TForm2* window)
{
    if (m_form2)
        disconnect(m_form2, nullptr, this, nullptr);
    m_form2 = window;
    if (m_form2)
        connect(m_form2, &TForm2::finished, this, [this] { show(); });
}

void TForm1::ToolButton2Click()
{
    m_session.cancelRequested = true;
    cancelSearch();
    if (!m_form2)
        return;
    if (m_form2->start()) {
        emptyDatabaseControls();
        applyState();
        hide();
    }
}

} // namespace fichora
