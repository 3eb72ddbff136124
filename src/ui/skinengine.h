#pragma once

#include <QString>

namespace fichora {

/// The store of ten skins and the engine that shows one of them. Loading picks the sheet; only a switched-on
/// engine applies it to the application, and switching off removes every style sheet.
class SkinEngine
{
public:
    /// Loads stored skin n (0..9). A skin whose sheet is missing loads as an empty sheet.
    void load(int skin);
    void setActive(bool active);
    bool isActive() const { return m_active; }
    /// The stored skin last loaded, or -1 before any.
    int loaded() const { return m_loaded; }
    const QString& styleSheet() const { return m_sheet; }

private:
    void apply() const;

    QString m_sheet;
    int m_loaded = -1;
    bool m_active = false;
};

} // namespace fichora
