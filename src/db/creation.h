#pragma once

#include <QString>

#include <array>
#include <functional>
#include <memory>

class QIODevice;

/// Making a new, empty database from the two templates of the program directory: the new-database
/// window's values in, two patched template copies and the messages out. Every byte not written here
/// comes from the templates. The new database is not opened.
namespace fichora {

class Services;
struct Session;

namespace creation {

inline constexpr int kLabelledFields = 22; ///< fields with a label box: 1..22
inline constexpr int kWidthBoxes = 12;     ///< fields 1..11, then field 23
inline constexpr qint32 kDefaultWidth = 145;
inline constexpr qint32 kMaximumWidth = 600;
/// Field 23's label, whatever the window holds.
inline constexpr char kPictureLabel[] = "PHOTO          ";

inline constexpr char kParameterTemplate[] = "Fichora_par.ref";
inline constexpr char kDataTemplate[] = "Fichora_xml.ref";

/// What the window holds when its create button is pressed.
struct NewDatabase
{
    std::array<QString, kLabelledFields> labels; ///< by field number - 1
    /// The width boxes as typed: fields 1..11 at 0..10, field 23 at 11.
    std::array<QString, kWidthBoxes> widths;
    /// "Nombre" chosen, by field number - 1; only fields 2..21 can be numbers.
    std::array<bool, kLabelledFields> numbers{};
    QString name;
};

enum class Outcome {
    Created,   ///< both files written; the information message was shown
    Cancelled, ///< the save dialog was cancelled: nothing written, nothing shown
    Stopped,   ///< a message was shown and the operation stopped; the window keeps its entries
};

/// A width box read as a decimal integer: 145 when it is not one, at most 600, no lower bound.
qint32 columnWidth(const QString& text);

/// Opens the parameter copy for reading and writing; null or a device that is not open counts as a
/// failure to open. The default opens the file itself (never creating it); tests give failing devices.
using DeviceOpener = std::function<std::unique_ptr<QIODevice>(const QString& path)>;

/// ToolButton2Click before the window shows: closes an open database as the close command does.
/// False when the person answered Cancel to the unsaved-changes question (the database stays open).
bool prepare(Session& session, Services& services);

/// BitBtn1Click without the window: checks the entries, asks for the base path through the save
/// dialog, refuses a database that exists (as its ".xml", or as a ciphered ".cip" whose parameter file
/// must not be replaced), copies and patches the templates and shows the closing message. Each failure
/// shows its own message and stops; no clean-up is made of what was already written.
Outcome createDatabase(const Session& session, Services& services, const NewDatabase& input,
                       const DeviceOpener& openParameterFile = {});

} // namespace creation

} // namespace fichora
