#pragma once

#include "platform/error.h"

#include <QString>

namespace fichora {

/// Where the program directory comes from: the per-user folder that becomes the program directory and
/// the shipped folder of installed files that fills it. Injectable so tests use temporary folders.
struct ProgramLocations
{
    QString userDirectory;    ///< created when missing
    QString shippedDirectory; ///< the installed share folder
};

/// The per-user application data folder and <directory of the executable>/../share/fichora.
/// Needs the application name to be set first.
ProgramLocations defaultProgramLocations();

struct ProgramDirectory
{
    QString path;         ///< always ends with "/"
    bool ok = true;       ///< false when the per-user folder could not be made or filled (path is the fallback)
    QString failedFolder; ///< the per-user folder, for the message when !ok
    /// Why the sample address book, freshly copied, still names its pictures relative to the program
    /// directory (it then stays byte for byte as shipped); empty when it did not need to, or could.
    QString sampleNote;
};

/// The sample address book of the shipped folder. Its picture lists name the files of its subfolder
/// relative to the program directory.
inline constexpr char kSampleDataFile[] = "Carnet.xml";

/// Creates the per-user folder when needed and copies every shipped file that it lacks, subfolders
/// included (existing files are never replaced: the configuration keeps the user's language and skin).
/// When the sample address book is copied, its relative picture names become full paths in the per-user
/// folder, the form the picture window stores. On failure the path is the fallback: the shipped folder,
/// or the current directory when even that is missing.
ProgramDirectory setUpProgramDirectory(const ProgramLocations& locations);

/// `path` with a trailing "/".
QString withSeparator(const QString& path);

} // namespace fichora
