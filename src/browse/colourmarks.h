#pragma once

#include <QByteArray>

#include <optional>
#include <string_view>

namespace fichora {

struct Session;

/// Colour marks of the record grid. While field F21 is not defined (its label is empty) it holds, in
/// every record, a hidden string of three marks for the cells of F03, F04 and F05: 'R' red,
/// 'O' orange-yellow, 'V' green, a space for white, '_' for no mark. Ctrl with R, O, V or B sets a mark;
/// the grid paints marked cells in their colour. Once F21 has a label, its values are ordinary values
/// and none of this applies.
namespace colourmarks {

struct Rgb
{
    int red = 0;
    int green = 0;
    int blue = 0;
    bool operator==(const Rgb&) const = default;
};

inline constexpr Rgb kRed{255, 0, 0};
inline constexpr Rgb kOrangeYellow{232, 206, 32};
inline constexpr Rgb kGreen{106, 209, 65};
inline constexpr Rgb kWhite{255, 255, 255};

inline constexpr int kMarkField = 21;
inline constexpr char kNoMarks[] = "___";
/// Every cell's text is written this many pixels right of and below its top-left corner.
inline constexpr int kTextOffset = 2;

/// Marks are kept while F21 is not defined.
bool active(const Session& session);

/// The mark character a key stores (a Qt::Key): R, O and V their upper-case letter, B a space; any
/// other key none.
std::optional<char> markForKey(int key);

/// Which character of the string belongs to a field: F03 0, F04 1, F05 2; -1 for any other field.
int markIndexForField(int field);
/// The same by grid column position (0-based, in field order): columns 2, 3 and 4.
int markIndexForColumn(int column);

/// The stored string, or "___" when it is not exactly three characters long.
QByteArray normalised(const QByteArray& marks);
/// The string after the key on a cell of `field`: normalised, then the field's character changed when
/// the key and the field are marking ones.
QByteArray afterKey(const QByteArray& marks, int field, int key);

/// The colour of a mark, case ignored; none for '_' and every other character (the cell keeps the
/// grid's own colour).
std::optional<Rgb> colourOf(char mark);
/// The colour of the cell in grid column `column` of a record whose F21 holds `marks`.
std::optional<Rgb> cellColour(int column, std::string_view marks);

enum class KeyResult {
    Inactive, ///< F21 is defined: nothing happens
    Refused,  ///< the database is protected: nothing changes
    Ignored,  ///< no database open, no current record, or the record would not take the value
    Stored,   ///< F21 written back (normalised, and marked when the key and field are marking ones)
};

/// DBGrid1KeyUp with Ctrl held on a cell of `field` (1..23): stores the mark string in the current
/// record and marks the database modified.
KeyResult keyWithCtrl(Session& session, int field, int key);

} // namespace colourmarks

} // namespace fichora
