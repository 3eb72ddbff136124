#pragma once

#include "platform/recordtable.h"

#include <QWidget>

#include <array>
#include <optional>

class QFrame;
class QPushButton;
class QTableWidget;

namespace fichora {

class PictureBox;
class Services;
class TForm1;
struct Session;

/// The window of the ten pictures and files of the current record ("Multimedia"): a grid of the ten
/// names, their thumbnails, a button to open each file with its program and one to choose it, and the
/// store and close buttons. Created once at start; every showing reloads it from the main window's
/// current record, and moving to another record meanwhile does not.
class TForm12 : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kPlaces = 10;
    static constexpr int kWidth = 759;
    static constexpr int kHeight = 562;

    TForm12(Services& services, Session& session, TForm1& mainWindow, QWidget* parent = nullptr);
    ~TForm12() override;

    /// Sets the texts of the text table in the language of the session.
    void applyLanguage();

    QTableWidget* grid() const { return m_grid; }        // SG1
    PictureBox* thumbnail(int place) const;              // Image_01 .. Image_10, place 1..10
    QPushButton* openButton(int place) const;            // BitBtn3 .. BitBtn12
    QPushButton* chooseButton(int place) const;          // BitBtn13 .. BitBtn22
    QPushButton* storeButton() const { return m_store; } // BitBtn1
    QPushButton* closeButton() const { return m_close; } // BitBtn2
    /// The name in row `place` of the grid.
    QString name(int place) const;

    // Handlers with their designer names; place is 1..10.
    void FormShow();
    void BitBtnChooseClick(int place); ///< BitBtn13Click .. BitBtn22Click
    void BitBtnOpenClick(int place);   ///< BitBtn3Click .. BitBtn12Click
    void ImageDblClick(int place);     ///< Image_01DblClick .. Image_10DblClick
    void BitBtn1Click();
    void BitBtn2Click();
    /// The close box: true when the person confirmed the closing.
    bool FormCloseQuery();
    void FormHide();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    struct Place
    {
        PictureBox* thumbnail = nullptr;
        QPushButton* open = nullptr;
        QPushButton* choose = nullptr;
    };

    void build();
    /// Takes what is being typed into a cell as that cell's name.
    void commitTyping();
    void setName(int place, const QString& text);
    /// Every thumbnail at its own place and size, all shown with the bevels.
    void restoreThumbnails();
    void showThumbnail(int place);

    Services& m_services;
    Session& m_session;
    TForm1& m_main;
    QTableWidget* m_grid = nullptr;
    std::array<Place, kPlaces> m_places{};
    std::array<QFrame*, 6> m_bevels{}; // Bevel1 .. Bevel6
    /// The record the names were read from: storing them into another one asks first.
    std::optional<RowId> m_shownRecord;
    QPushButton* m_store = nullptr;
    QPushButton* m_close = nullptr;
};

} // namespace fichora
