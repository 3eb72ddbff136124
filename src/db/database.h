#pragma once

#include "platform/error.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <array>

/// The life cycle of the open database: opening, saving, closing, and what the main window's closing
/// does to the files. Each operation runs its steps in order on the Session, asks the person through the
/// Services and leaves the Session describing what the window must show; the window only renders it.
namespace fichora {

class Services;
struct Session;

enum class OpenResult {
    Opened,    ///< the database is open
    Cancelled, ///< the person said Cancel to the unsaved-changes question: the old database is still open
    Stopped,   ///< the opening stopped (dialog cancelled, or after its message): no database is open
};

/// ToolButton1Click: prelude, file choice through the open dialog, parameter-file check, deciphering
/// with `typedKey` (the key box's text, Windows-1252), loading, shaping. The window renders the Session
/// afterwards whatever the result.
OpenResult openDatabase(Session& session, Services& services, const QByteArray& typedKey);

/// Opens `path` without asking for a file (the dialog's answer given), after the same prelude.
OpenResult openDatabaseFile(Session& session, Services& services, const QString& path, const QByteArray& typedKey);

/// The close steps: run only when a database is open; they empty the Session's database part and
/// remove the temporary plain files of a ciphered database (the deciphered copy only while the ciphered
/// file exists, so the records always keep a copy on disk). Returns the messages of files that could
/// not be removed, for the caller to show.
QStringList runCloseSteps(Session& session);
/// The same, showing those messages as plain boxes.
void runCloseSteps(Session& session, Services& services);

/// ToolButton22Click: the unsaved-changes question, then the close steps. False when Cancel kept it open.
bool closeDatabase(Session& session, Services& services);

enum class SaveResult {
    Saved,      ///< written (and ciphered when the parameter file asks for it)
    SavedPlain, ///< the data file was written but ciphering it failed (a message was shown): the ciphered
                ///< file is unchanged, the database stays modified and the save button enabled
    Failed,     ///< nothing changed on disk (a message was shown); the database stays modified. This is
                ///< also the answer when ciphering is asked for and the key box holds no valid key: the
                ///< key is checked before anything is written.
};

/// ToolButton11Click. `typedKey` is the key box's text, read again at every save that ciphers. The data
/// file is replaced only once it is completely written; when the parameter file cannot be read, the
/// cipher flag counts as set for a database opened from its ciphered file, so that it never turns plain
/// by accident.
SaveResult saveDatabase(Session& session, Services& services, const QByteArray& typedKey);

/// FormClose: the unsaved-changes question (false when Cancel keeps the window open), the export
/// ticks stored in the parameter file, the record table closed and the file clean-up.
bool closeMainWindow(Session& session, Services& services);

/// ToolButton19Click: the grid's column widths, by column 0..22, written into the parameter file. The
/// Session keeps the widths read at opening. A parameter file that cannot be opened shows its message.
Result<void> saveColumnWidths(const Session& session, Services& services, const std::array<qint32, 23>& widths);

// Control states that follow from the Session alone.

/// ToolButton11: a database is open and changed, or its parameter file asked for a save.
bool saveButtonEnabled(const Session& session);
/// ToolButton10 (rewrite field types): open, not protected, not opened from its ciphered file.
bool fieldTypesButtonEnabled(const Session& session);

/// The colour of the grid's fixed row and column.
enum class GridTint {
    ButtonFace, ///< no database, or a plain writable one
    Yellow,     ///< opened from its ciphered file
    Red,        ///< protected
    MoneyGreen, ///< protected and opened from its ciphered file (red 192, green 220, blue 192)
};
GridTint gridTint(const Session& session);

} // namespace fichora
