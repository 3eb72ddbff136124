#pragma once

#include <QString>

#include <cstdint>

namespace fichora {

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
    std::int32_t openingKey = 0;
    bool savePending = false; ///< the parameter file asked for a save when it was opened (offset 15 'S')

    // Saving.
    bool saved = false;
    bool savedCiphered = false;

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
