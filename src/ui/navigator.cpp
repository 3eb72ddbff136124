#include "navigator.h"

#include "ui/icons.h"

#include <QToolButton>

namespace fichora {

namespace {

constexpr Glyph kGlyphs[Navigator::kButtonCount] = {Glyph::First,  Glyph::Prior,  Glyph::Next, Glyph::Last,
                                                    Glyph::Insert, Glyph::Delete, Glyph::Edit, Glyph::Post,
                                                    Glyph::Cancel, Glyph::Refresh};
constexpr const char* kNames[Navigator::kButtonCount] = {"First",  "Prior", "Next", "Last",   "Insert",
                                                         "Delete", "Edit",  "Post", "Cancel", "Refresh"};

} // namespace

Navigator::Navigator(QWidget* parent) : QWidget(parent)
{
    for (int i = 0; i < kButtonCount; ++i) {
        auto* b = new QToolButton(this);
        b->setObjectName(QLatin1String(kNames[i]));
        b->setIcon(drawnIcon(kGlyphs[i], 16));
        b->setIconSize(QSize(16, 16));
        b->setAutoRaise(false);
        const auto which = static_cast<Button>(i);
        connect(b, &QToolButton::clicked, this, [this, which] { Q_EMIT clicked(which); });
        m_buttons[static_cast<std::size_t>(i)] = b;
    }
    setVisibleButtons(editingButtons());
}

QList<Navigator::Button> Navigator::editingButtons()
{
    return {Button::First, Button::Prior, Button::Next, Button::Last, Button::Insert, Button::Delete, Button::Cancel};
}

QList<Navigator::Button> Navigator::browsingButtons()
{
    return {Button::First, Button::Prior, Button::Next, Button::Last};
}

void Navigator::setVisibleButtons(const QList<Button>& buttons)
{
    m_visible.clear();
    // Buttons keep their fixed order whatever order the set was given in.
    for (int i = 0; i < kButtonCount; ++i)
        if (buttons.contains(static_cast<Button>(i)))
            m_visible.append(static_cast<Button>(i));
    layoutButtons();
}

QList<Navigator::Button> Navigator::visibleButtons() const
{
    return m_visible;
}

void Navigator::setButtonHint(Button which, const QString& hint)
{
    button(which)->setToolTip(hint);
}

QString Navigator::buttonHint(Button which) const
{
    return button(which)->toolTip();
}

void Navigator::layoutButtons()
{
    int x = 0;
    for (int i = 0; i < kButtonCount; ++i) {
        QToolButton* b = m_buttons[static_cast<std::size_t>(i)];
        const bool shown = m_visible.contains(static_cast<Button>(i));
        b->setVisible(shown);
        if (shown) {
            b->setGeometry(x, 0, kButtonWidth, kHeight);
            x += kButtonWidth;
        }
    }
    resize(x, kHeight);
}

} // namespace fichora
