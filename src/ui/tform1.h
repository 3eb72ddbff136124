#pragma once

#include "app/programdirectory.h"
#include "browse/picklist.h"
#include "browse/search.h"
#include "exchange/rowwriter.h"
#include "ui/navigator.h"
#include "ui/recordbinder.h"
#include "ui/skinengine.h"

#include <QColor>
#include <QComboBox>
#include <QGroupBox>
#include <QPointer>
#include <QWidget>

#include <array>
#include <memory>

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTableView;
class QTextEdit;
class QToolBar;
class QToolButton;

namespace fichora {

class PictureBox;
class RecordTableModel;
class Services;
class TForm12;
class TForm2;
class TForm4;
class TForm8;
struct Session;

/// A titled group of mutually exclusive choices, addressed by item number.
class RadioGroup : public QGroupBox
{
    Q_OBJECT

public:
    RadioGroup(const QString& title, const QStringList& items, Qt::Orientation orientation, QWidget* parent);

    int itemIndex() const;
    void setItemIndex(int index);
    int count() const { return static_cast<int>(m_items.size()); }

Q_SIGNALS:
    void itemClicked(int index);

private:
    QList<QRadioButton*> m_items;
};

/// A pick-list box that tells when its list opens and closes, so the window can widen it over the
/// editor while the list is down.
class PickListBox : public QComboBox
{
    Q_OBJECT

public:
    using QComboBox::QComboBox;
    void showPopup() override;
    void hidePopup() override;

Q_SIGNALS:
    void droppedDown();
    void closedUp();
};

/// The main window. It renders the Session: every shown/enabled state of its controls is derived in
/// applyState(); handlers change the Session and ask the Services, then refresh.
class TForm1 : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kClientWidth = 1015;
    static constexpr int kClientHeight = 762;
    static constexpr int kGridWidth = 361;

    /// The controls of one field row (null where the field has none).
    struct FieldControls
    {
        QLabel* label = nullptr;
        QWidget* editor = nullptr; ///< QLineEdit, or QPlainTextEdit for the long-text field
        QPushButton* sortButton = nullptr;
        QComboBox* pickList = nullptr;
        QCheckBox* exportBox = nullptr;
        QLineEdit* filterBox = nullptr;
    };

    /// Runs FormCreate: finds the program directory in `locations` and reads the configuration file.
    TForm1(Services& services, Session& session, const ProgramLocations& locations, QWidget* parent = nullptr);
    ~TForm1() override;

    /// Derives every control's shown/enabled state from the Session.
    void applyState();

    const FieldControls& fieldControls(int field) const { return m_fields[static_cast<std::size_t>(field - 1)]; }
    /// The action of toolbar button ToolButtonN.
    QAction* toolAction(int n) const;
    Navigator* navigator() const { return m_navigator; }
    SkinEngine& skinEngine() { return m_skins; }
    /// The colour of the grid's fixed row and column.
    QColor fixedColour() const { return m_fixedColour; }

    /// The full-size picture window, hidden each time this window becomes active.
    void setFullSizePictureWindow(TForm4* window);
    TForm4* fullSizePictureWindow() const;
    /// The window of the ten pictures and files of the record, opened by OpenOtherPictures.
    void setOtherFilesWindow(TForm12* window);
    TForm12* otherFilesWindow() const;
    /// The long-text editor opened by a double-click on a text field.
    void setLongTextEditor(TForm8* window);
    TForm8* longTextEditor() const { return m_longText; }

    RecordTableModel* recordModel() const { return m_model; }
    QTableView* grid() const { return m_grid; }

    /// Writes what the person typed into the current record and posts it, as a data-aware editor does
    /// before the record changes. False (after a message) when a value was refused: the record stays
    /// current and in edit mode. Operations that reorder, filter or save the records call it first.
    bool postPendingEdits();
    /// The record table changed behind the window (order, filter, records): the grid and the editors
    /// show it again.
    void recordsChanged();
    /// Marks the open database as changed: save enabled, field-type rewriting disabled.
    void markModified();
    /// Called by a double-click on one of the field editors (or directly): field 1..22.
    void DBEditDblClick(int field);

    // Handlers with their designer names.
    void FormCreate(const ProgramLocations& locations);
    void FormShow();
    void FormResize();
    void FormActivate();
    void Skin_click();
    void ToolButton7Click();
    void BitBtn28Click();
    void DBEdit_1_a_12_KeyUp();
    void DBNavigator1BeforeAction(Navigator::Button button);
    void DBNavigator1Click(Navigator::Button button);
    void DataSource1DataChange();
    void DBGrid1DblClick();
    void DBGrid1CellClick();
    void DBGrid1KeyUp(int key, Qt::KeyboardModifiers modifiers);
    void ToolButton19Click();
    void ToolButton1Click();
    void ToolButton11Click();
    void ToolButton22Click();
    void ToolButton2Click();
    void ToolButton6Click();
    void ToolButton17Click();
    void BitBtn27Click();

    /// The new-database window: ToolButton2 shows it instead of this window.
    void setNewDatabaseWindow(TForm2* window);

    /// The sort buttons BitBtn6Click .. BitBtn41Click, by field 1..22.
    void sortButtonClick(int field);
    void BitBtn19Click();
    void BitBtn21Click();
    void BitBtn22Click();
    void BitBtn17Click();
    void BitBtn23Click();
    void RadioGroup1Click();
    /// The record table's per-record acceptance while filtering is on (the picture filter's rule).
    bool ClientDataSet1FilterRecord(const RecordTable& table, RowId row) const;

    void BitBtn18Click();
    void BitBtn24Click();
    void BitBtn25Click();
    void BitBtn26Click();
    /// Ends a whole-database search that waits at a match (the toolbar commands and the closing).
    void cancelSearch();

    // Pictures and files of the current record.
    /// The picture list of the current record as its hidden editor DBEdit11 holds it.
    QString pictureList() const;
    /// Puts a new picture list into the current record, as the person's edit of DBEdit11 (an edit is
    /// started, a new record when there is none; the list reaches F23 when the record is posted), and
    /// marks the database modified; the thumbnails follow at once. Without a database, or on a
    /// protected one (after a message), nothing changes and the result is false.
    bool storePictureList(const QString& list);
    /// Opens a file with the program the desktop associates with its type. An empty name beeps twice;
    /// a failure shows the message of its result in the current language.
    void openWithAssociatedProgram(const QString& fileName);
    /// Shows the current record's number of pictures and files on OpenOtherPictures and Label31.
    void refreshOtherFilesCounter();
    /// The names of slot 1 and slot 2 as last shown (empty when a stand-in took their place).
    QString firstPictureName() const { return m_firstPictureName; }
    QString secondPictureName() const { return m_secondPictureName; }
    /// The name the full-size window shows.
    QString fullSizePictureName() const { return m_fullSizePictureName; }
    PictureBox* thumbnail(int which) const { return which == 1 ? m_picture1 : m_picture2; }
    void DBEdit11Change();
    void Image1DblClick();
    void Image3DblClick();
    void OpenPicturesClick();

    /// ComboBoxnDropDown, ComboBoxnSelect, ComboBoxnCloseUp, by field 1..21.
    void ComboBoxDropDown(int field);
    void ComboBoxSelect(int field, int index);
    void ComboBoxCloseUp(int field);
    PickListSource& pickLists() { return m_pickLists; }
    /// The closing of the window; false when the person chose to keep it open.
    bool FormClose();

Q_SIGNALS:
    /// The current record changed through the grid: the other-files counter must follow it.
    void otherFilesCounterNeeded();
    /// A key was released in the grid (the colour marks listen to Ctrl+letter).
    void gridKeyReleased(int key, Qt::KeyboardModifiers modifiers);

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildTopLine();
    void buildLeftColumn();
    void buildFieldRows();
    void buildFilterPanel();
    void buildBottomArea();
    void connectSignals();
    void setFixedColour(const QColor& colour);
    void rewriteEditorHints();
    void shapeFromSession();
    void emptyDatabaseControls();
    void applyFieldVisibility();
    void runNavigatorAction(Navigator::Button button);
    void pressNavigator(Navigator::Button button);
    void selectCurrentRow();
    void gridRowChosen(int row);
    void putLongText(int field, const QString& text);
    int fieldOfEditor(const QObject* watched) const;
    void applyFilteredLook(bool filtered);
    void removeFilter();
    void searchEnded(SearchSession::Outcome outcome);
    void showSearchButtons();
    void connectBrowsing();
    void connectExchange();
    void connectPictures();
    void showFullSize(const QString& name);
    /// The progress line (Label15, ProgressBar1, BitBtn27) as imports and exports drive it.
    ProgressLine progressLine();
    /// After an opening or a save the data file holds exactly the records in memory.
    void adoptSavedRecords();

    Services& m_services;
    Session& m_session;
    std::unique_ptr<SearchSession> m_search;
    PickListSource m_pickLists;
    QPointer<TForm2> m_form2;
    QPalette m_unfilteredPalette;
    SkinEngine m_skins;
    QPointer<TForm4> m_fullSizePicture;
    QPointer<TForm12> m_otherFiles;
    QString m_firstPictureName;
    QString m_secondPictureName;
    QString m_fullSizePictureName;
    QColor m_fixedColour;

    // Top line.
    QPushButton* m_englishButton = nullptr; // BitBtn28
    QPushButton* m_frenchButton = nullptr;  // BitBtn29
    QPushButton* m_aboutButton = nullptr;   // BitBtn1
    QPushButton* m_skinButton = nullptr;    // BitBtn2
    QToolBar* m_toolBar = nullptr;          // ToolBar1
    std::array<QAction*, 25> m_actions{};   // by designer number

    // Left column.
    QTableView* m_grid = nullptr; // DBGrid1
    RecordTableModel* m_model = nullptr;
    RecordBinder m_binder; // DataSource1
    TForm8* m_longText = nullptr;
    /// The window shows the open database's shape (labels, columns, hints); cleared when it closes.
    bool m_shaped = false;
    /// The in-use fields of the last opening: without a database the controls stay as it left them.
    std::array<bool, 23> m_shownFields{};
    bool m_syncingGrid = false;
    Navigator* m_navigator = nullptr;        // DBNavigator1
    QPushButton* m_protectButton = nullptr;  // BitBtn3
    QLabel* m_readOnlyLabel = nullptr;       // Label14
    QLineEdit* m_currentRecordBox = nullptr; // Edit22
    QLineEdit* m_recordCountBox = nullptr;   // Edit2
    PictureBox* m_picture1 = nullptr;        // Image1
    PictureBox* m_picture2 = nullptr;        // Image3
    QLabel* m_pictureMark = nullptr;         // Image2
    QTextEdit* m_previewText = nullptr;      // RichEdit1

    // Field rows and filter panel.
    std::array<FieldControls, 23> m_fields{};
    QWidget* m_filterPanel = nullptr;            // Panel1
    QPushButton* m_applyFilterButton = nullptr;  // BitBtn19
    QPushButton* m_removeFilterButton = nullptr; // BitBtn21
    QPushButton* m_photoFilterButton = nullptr;  // BitBtn17
    QPushButton* m_allRecordsButton = nullptr;   // BitBtn23
    QPushButton* m_eraseFiltersButton = nullptr; // BitBtn22
    RadioGroup* m_comparison = nullptr;          // RadioGroup2

    // Bottom area.
    QLineEdit* m_keyBox = nullptr;             // Edit14
    RadioGroup* m_filterMode = nullptr;        // RadioGroup1
    QLineEdit* m_argumentBox = nullptr;        // Edit21
    QLabel* m_columnSeekLabel = nullptr;       // Label21
    QLineEdit* m_columnSeekBox = nullptr;      // Edit1
    QPushButton* m_columnSeekButton = nullptr; // BitBtn18
    QLabel* m_baseSeekLabel = nullptr;         // Label22
    QLineEdit* m_baseSeekBox = nullptr;        // Edit15
    QPushButton* m_baseSeekButton = nullptr;   // BitBtn24
    QPushButton* m_seekNextButton = nullptr;   // BitBtn25
    QPushButton* m_giveUpSeekButton = nullptr; // BitBtn26
    QPushButton* m_otherFilesButton = nullptr; // OpenOtherPictures
    QLabel* m_otherFilesCount = nullptr;       // Label31
    QLabel* m_progressLabel = nullptr;         // Label15
    QProgressBar* m_progressBar = nullptr;     // ProgressBar1
    QPushButton* m_abandonButton = nullptr;    // BitBtn27
};

} // namespace fichora
