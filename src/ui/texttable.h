#pragma once

#include <QString>

#include <span>
#include <string_view>

class QWidget;

namespace fichora {

/// One switched text of a window: the controls (object names separated by spaces; empty for the window
/// itself) whose property receives the French or the English text.
struct TextRow
{
    enum class Property {
        Caption,       ///< visible text: label, button, group-box title
        Hint,          ///< tooltip (of the button's action for tool buttons)
        Item,          ///< entry `index` of a combo box or of a group of radio buttons
        Title,         ///< cell `index` of the first row of a grid
        WindowCaption, ///< the window title
        NavigatorHint, ///< hint of navigator button `index`
    };

    std::string_view window;
    std::string_view controls;
    Property property;
    int index;
    const char* french; ///< UTF-8
    const char* english;
};

/// Every row of every window.
std::span<const TextRow> textTable();

/// The object names of a row's controls.
QStringList rowControls(const TextRow& row);

/// Sets every text of `windowName`'s rows on `window` in the language of the flag ('F' French, otherwise
/// English). A control named in the table that the window lacks is skipped.
void applyTexts(QWidget& window, std::string_view windowName, char language);

/// The text a row's property currently shows on `window` (for checking a switch).
QString currentText(QWidget& window, const TextRow& row, const QString& control);

} // namespace fichora
