#pragma once

#include "db/cipher.h"
#include "platform/recordtable.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>

namespace fichora {

/// What the main window shows of one field of the open database, as read from the parameter file at
/// opening (labels, widths, types) and as ticked by the user since (export ticks).
struct FieldShape
{
    QByteArray label;   ///< Windows-1252, up to 15 bytes; empty for a field not in use
    qint32 width = 0;   ///< grid column width in pixels, as stored
    bool inUse = false; ///< fields 1, 2, 23 always; others when the label is not empty
    bool isNumber = false;
    bool exportTick = false;
};

/// The main window's state for the whole run of the program: what the windows render and what the
/// operations read and change. Plain values; nothing here touches a file or a widget.
struct Session
{
    // Start-up and configuration.
    QString programDirectory; ///< ends with "/" (or is empty: files are then relative to the current directory)
    char language = 'F';      ///< 'F' French, 'E' English; 'F' until the configuration file is read
    int skin = 0;             ///< 0..9 a stored skin, 10 no skin; 0 until the configuration file is read

    // The open database.
    bool open = false;
    bool modified = false;
    char readOnly = 0; ///< the parameter file's byte at offset 13; 'P' means protected
    int recordCount = 0;
    QString loadedDataFile;
    QString parameterFile;
    bool cipheredOpen = false;
    QString decipheredCopy;
    /// Fingerprint of the key a ciphered database was opened with in this run (empty before any).
    QByteArray openingKey;
    /// The parameter file asked for a save when it was opened (offset 15 'S'); cleared by a save. The save
    /// button ToolButton11 is enabled exactly while `open && (modified || savePending)`.
    bool savePending = false;
    std::array<FieldShape, 23> fields{}; ///< by field number - 1
    RecordTable records;                 ///< ClientDataSet1

    // Controls that operations other than the window's own handlers move.
    int filterMode = 0;            ///< RadioGroup1's item: 0 Standard, 1 Argument
    bool searchWaiting = false;    ///< the whole-database search waits for the user (BitBtn25, BitBtn26 shown)
    bool pictureMarkShown = false; ///< Image2

    // Saving.
    bool saved = false;         ///< the record table was written since opening
    bool savedCiphered = false; ///< the last save ended by writing the ciphered data file
    /// Key derivation of the ciphered files this run writes; tests make it cheap.
    cipher::KdfParams kdfParams = cipher::defaultKdfParams();

    /// Refreshes the other-files counter of the current record; the pictures side installs it and the
    /// opening calls it once the database is open.
    std::function<void(Session&)> refreshOtherFiles;

    // Record view.
    bool extendedGrid = false;
    int editedField = 0;

    // Filtering.
    bool filterActive = false;
    bool photoFilter = false;
    QString filterText;

    // Long operations.
    bool cancelRequested = false;
    bool abandon = false;

    /// A database was open and has been closed since start (the window caption tells the two apart).
    bool closedOnce = false;

    bool isFrench() const { return language == 'F'; }
    bool isReadOnly() const { return readOnly == 'P'; }
    /// Picks the text of the language in force: French when the flag is 'F', English otherwise.
    QString choose(const QString& french, const QString& english) const;
};

} // namespace fichora
