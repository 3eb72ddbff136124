#pragma once

#include <QList>
#include <QWidget>

#include <array>

class QToolButton;

namespace fichora {

/// The record navigator DBNavigator1: a row of ten buttons of which a chosen set is shown. The widget is
/// as wide as its visible buttons (29 pixels each).
class Navigator : public QWidget
{
    Q_OBJECT

public:
    enum class Button { First, Prior, Next, Last, Insert, Delete, Edit, Post, Cancel, Refresh };
    static constexpr int kButtonCount = 10;
    static constexpr int kButtonWidth = 29;
    static constexpr int kHeight = 25;

    explicit Navigator(QWidget* parent = nullptr);

    void setVisibleButtons(const QList<Button>& buttons);
    QList<Button> visibleButtons() const;
    QToolButton* button(Button which) const { return m_buttons[static_cast<std::size_t>(which)]; }
    void setButtonHint(Button which, const QString& hint);
    QString buttonHint(Button which) const;

    /// The buttons shown while no database is open and for a writable database.
    static QList<Button> editingButtons();
    /// The buttons shown for a protected database.
    static QList<Button> browsingButtons();

Q_SIGNALS:
    void clicked(fichora::Navigator::Button button);

private:
    void layoutButtons();

    std::array<QToolButton*, kButtonCount> m_buttons{};
    QList<Button> m_visible;
};

} // namespace fichora
