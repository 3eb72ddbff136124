#pragma once

#include "db/creation.h"

#include <QWidget>

#include <array>

class QLabel;
class QLineEdit;
class QPushButton;

namespace fichora {

class RadioGroup;
class Services;
struct Session;

/// The new-database window: one row per field 1..22 (caption, label box, type choice), the name box and
/// the create, clear and close buttons. It is created once and only shown and hidden. While it is shown
/// the main window is hidden: start() closes the open database and shows this window (the caller then
/// hides the main window), and every way out, the create button's success included, closes it and emits
/// finished() so that the caller shows the main window again.
class TForm2 : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kClientWidth = 800;
    static constexpr int kClientHeight = 500;

    TForm2(Services& services, Session& session, QWidget* parent = nullptr);

    /// ToolButton2Click's steps: closes an open database as the close command does, then shows the
    /// window. False when the person kept the database open (Cancel): the window is not shown.
    bool start();

    /// Sets every text in the session's language (also done at every showing).
    void applyLanguage();

    /// The window's entries as the create button reads them.
    creation::NewDatabase entries() const;

public Q_SLOTS:
    void FormShow();
    void BitBtn1Click();
    void BitBtn2Click();
    void BitBtn3Click();

Q_SIGNALS:
    /// The window was closed (by its close button, its frame or a successful creation).
    void finished();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildRows();
    void buildHiddenBoxes();
    void buildBottom();
    void connectSignals();

    Services& m_services;
    Session& m_session;

    std::array<QLabel*, creation::kLabelledFields> m_captions{};      // Label1..Label11, Label18..Label28
    std::array<QLineEdit*, creation::kLabelledFields> m_labelBoxes{}; // Edit1..Edit11, Edit26..Edit36
    /// By field number - 1; null for fields 1 and 22, which are always text.
    std::array<RadioGroup*, creation::kLabelledFields> m_typeChoices{};
    std::array<QLineEdit*, creation::kWidthBoxes> m_widthBoxes{}; // Edit13..Edit24, never shown
    QLineEdit* m_pictureLabelBox = nullptr;                       // Edit12, never shown
    RadioGroup* m_pictureType = nullptr;                          // RadioGroup12, never shown
    RadioGroup* m_firstType = nullptr;                            // RadioGroup23, never shown
    QLabel* m_labelHeader = nullptr;                              // Label13
    QLabel* m_typeHeader = nullptr;                               // Label17
    QLabel* m_rightLabelHeader = nullptr;
    QLabel* m_rightTypeHeader = nullptr;
    QLineEdit* m_nameBox = nullptr;        // Edit25
    QPushButton* m_createButton = nullptr; // BitBtn1
    QPushButton* m_closeButton = nullptr;  // BitBtn2
    QPushButton* m_clearButton = nullptr;  // BitBtn3
};

} // namespace fichora
