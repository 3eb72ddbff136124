#pragma once

#include "app/messages.h"

#include <QString>

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace fichora {

/// The pictures and other files of a record, as its field F23 names them (Windows-1252 bytes, file names
/// only: the files themselves stay where they are). The list has three forms: empty; one file name
/// without a leading bar (the first picture alone); or a bar followed by ten slots separated by bars.
/// Everything that reads the list (thumbnails, counter, the window of the ten files, report layouts)
/// goes through read(), so that they all agree on the same names.
namespace picturelist {

inline constexpr int kSlotCount = 10;
inline constexpr char kSeparator = '|';

using Names = std::array<std::string, kSlotCount>;

enum class Form { Empty, Single, Slots };

Form formOf(std::string_view list);

/// The ten names of a list, in slot order; slot 1 is the first picture, slot 2 the second. A single name
/// fills slot 1 as it stands. In the slotted form a one-character name reads as empty, and slot 10 runs
/// from the tenth bar to the end of the value (bars and all). A slotted list with fewer than ten bars
/// leaves its missing slots empty.
Names read(std::string_view list);

/// The value the other-files button shows: 0 for an empty list, 1 for a single name, otherwise the
/// number of slots with a name of at least two characters.
int otherFilesCount(std::string_view list);

/// The list as the window of the ten files stores it: empty when every name is, otherwise a bar before
/// each of the ten names and none after the last.
std::string write(const Names& names);

// The display rule -----------------------------------------------------------------------------------

/// The file types shown as pictures; the type is read from the end of the name in any letter case.
enum class PictureType { None, Bitmap, Jpeg, Png, Gif };

PictureType pictureType(const QString& fileName);

/// What an image control is to show for one name, decided without painting.
struct Display
{
    enum class Kind {
        Nothing,        ///< an empty name: the control is cleared
        Picture,        ///< the named picture file itself
        DefaultPicture, ///< a stand-in from the program directory: missing file or not a picture
    };
    Kind kind = Kind::Nothing;
    /// The file to load; empty when nothing is to be shown (also when the stand-in itself is missing).
    QString file;
    /// How to load `file`.
    PictureType type = PictureType::None;
    /// The exclamation beep goes with every stand-in.
    bool beep = false;
    /// Whether the name stays the picture name the full-size window will show; a stand-in forgets it.
    bool keepName = false;

    bool operator==(const Display&) const = default;
};

inline constexpr char kMissingBitmap[] = "Smiley.bmp";
inline constexpr char kMissingJpeg[] = "Smiley.jpg";
inline constexpr char kNotAPicture[] = "Smiley2.bmp";

/// Decides what to show for `fileName` (a full path; the caller converts it from the list's bytes).
/// A missing JPEG shows "Smiley.jpg", any other missing picture "Smiley.bmp", a file of another type
/// (or without one) "Smiley2.bmp", each taken from `programDirectory` when it exists there.
Display displayRule(const QString& fileName, const QString& programDirectory);

// Opening a file with its program ---------------------------------------------------------------------

/// Shell results are failures up to this value.
inline constexpr int kShellFailureLimit = 32;
/// A failure the shell's table has no row for; it shows the "switch error".
inline constexpr int kOtherFailure = 1;

/// What the result of a failed open depends on, gathered from the file system by inspect().
struct FileFacts
{
    bool exists = false;       ///< the name is that of a file or a folder
    bool folder = false;       ///< it is a folder
    bool readable = false;     ///< it can be read by this user
    bool parentExists = false; ///< its folder (the name up to its last separator) is there
};

FileFacts inspect(const QString& fileName);

/// The result of asking the desktop to open a file, in the shell's terms: none when it opened;
/// otherwise 3 for a missing folder, 2 for a missing file, 5 for a file that cannot be read, 31 when the
/// file is there but no program opens its type, and kOtherFailure for anything else (a folder, say).
std::optional<int> openResult(const FileFacts& facts, bool shellOpened);
std::optional<int> openResult(const QString& fileName, bool shellOpened);

/// The message of a failed result (0 to 32; those without a row of their own share the "switch error").
std::optional<Msg> openResultMessage(int result);

/// The text of the error box for a failed result, in the language of the flag, naming the file.
QString openResultText(int result, const QString& fileName, char language);

} // namespace picturelist

} // namespace fichora
