#pragma once

#include <QWidget>

namespace fichora {

class FieldMemo;
struct Session;

/// The long-text editor: a tool window, on top of the others, whose memo shows one field's text at a
/// comfortable size. Closing it hands a changed text back to the main window.
class TForm8 : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kClientWidth = 623;
    static constexpr int kClientHeight = 479;

    explicit TForm8(const Session& session, QWidget* parent = nullptr);

    /// Shows the window on `text` with the given caption and character limit; a window already shown
    /// is retargeted.
    void openOn(const QString& caption, int limit, const QString& text);

    FieldMemo* memo() const { return m_memo; }

    // Handlers with their designer names.
    void FormHide();
    void Memo1DblClick();

Q_SIGNALS:
    /// The text changed while the window was shown and the database may be written to.
    void textWrittenBack(int field, const QString& text);

protected:
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    const Session& m_session;
    FieldMemo* m_memo = nullptr; // Memo1
};

} // namespace fichora
