#pragma once

#include <QString>

namespace fichora {

/// Bilingual messages, chosen when shown: French when the language flag is 'F', English otherwise.
enum class Msg {
    ProgramFolderFailed, ///< %1: the folder
    DatabaseProtectCaption,
    DatabaseUnprotectCaption,
    DatabaseUnprotectHint,
    PreviewHintAfterClose,

    // Opening, saving and closing a database.
    ForgetModifications,
    OpenDialogTitle,
    ParameterFileNotFound,
    OldSixteenFieldDatabase,
    OpenKeyRequired,
    WrongPassword,
    CipheredFileDamaged,  ///< %1: the ciphered file
    IncorrectlyFormatted, ///< %1: the data file
    NotAFichoraDatabase,
    SaveKeyRequired,
    DifferentSaveKey, ///< followed by the key as typed
    SaveFailed,       ///< %1: the data file, %2: why
    CipheringFailed,  ///< %1: the ciphered file, %2: why, %3: the data file that keeps the records

    // Creating a database (%1: the file named).
    NewDatabaseIncomplete,
    NewDatabaseDialogTitle,
    NewDatabaseCannotCreate,
    NewDatabaseCannotOpen,   ///< one text in both languages
    NewDatabaseSeekFailure,  ///< one text in both languages
    NewDatabaseWriteFailure, ///< one text in both languages
    NewDatabaseExists,
    NewDatabaseCreated,

    // Imports writing new databases (%1: the file named).
    ImportFileExists,      ///< R1
    ImportCannotCreatePar, ///< R2
    ImportCannotCreateXml, ///< R3
    ImportedText,          ///< R4 of the text import; %1: the imported file, %2: the records, %3: the data file
    ImportedOther,         ///< R4 of the other imports, same arguments
    TextImportDialogTitle,
    TextImportCannotRead,
    TextImportCannotReadAgain,
    TextImportInvalidFormat, ///< %1: the chosen file
    TextImportFileTooBig,
    TextImportProgress,

    // Delimited-text export.
    TextExportNothingTicked,
    TextExportProgress,
    TextExportOverwrite,      ///< %1: the output file
    TextExportCannotCreate,   ///< %1: the output file
    TextExportCreated,        ///< %1: the output file, %2: the records
    TextExportDataUnreadable, ///< %1: the data file, %2: why

    // Opening a file with its program: the shell's failure results (%1: the file, where it is named).
    ShellOutOfResources,   ///< 0
    ShellFileNotFound,     ///< 2
    ShellPathNotFound,     ///< 3
    ShellAccessDenied,     ///< 5
    ShellOutOfMemory,      ///< 8
    ShellInvalidFile,      ///< 11
    ShellSharingViolation, ///< 26
    ShellBadAssociation,   ///< 27
    ShellExchangeTimeout,  ///< 28
    ShellExchangeFailed,   ///< 29
    ShellExchangeBusy,     ///< 30
    ShellNoAssociation,    ///< 31
    ShellLibraryMissing,   ///< 32
    ShellOtherFailure,     ///< any other result, one text in both languages

    // Record view and filtering.
    NotANumber, ///< %1: the text typed, %2: the field's label
    DeleteRecordQuestion,
    FilterArgumentInvalid,

    // Pictures and files of a record.
    PictureNameNotStorable, ///< %1: the file name (a vertical bar, or a character Windows-1252 lacks)
    PicturesProtectedNotStored,
    OtherFilesCloseQuery,
    OtherFilesRecordChanged,
    SamplePicturesRelative, ///< %1: why
};

struct MessageTexts
{
    const char* french; ///< UTF-8
    const char* english;
};

/// The two texts of a message.
MessageTexts messageTexts(Msg id);
/// The text of a message in the language of the flag.
QString message(Msg id, char language);

namespace messages {

// Technical file failures have one text in both languages.
QString cannotOpenForReading(const QString& fileName);
QString cannotOpenForWriting(const QString& fileName);

// Opening and saving a database (%s of the texts: the file).
QString readFailureMarker(const QString& fileName); ///< "... Error 30b six"
QString seekFailureLabel(const QString& fileName);  ///< "... Error 30 bis"
QString readFailureLabel(const QString& fileName);  ///< "... Error 30b"
QString cannotOpenWidths(const QString& fileName);  ///< "... Error 31", saving the column widths
QString cannotOpenExports(const QString& fileName); ///< "... Error 31vv", storing the export ticks
QString cipheredFileNotOpened();                    ///< "Open error n° 002 bis"
QString decipheredCopyNotCreated();                 ///< "Cannot open file : Error 006 bis"
QString readError();                                ///< "Read error n° 001"
QString invalidHandle();                            ///< the deciphered copy cannot be checked
QString cannotReopenDataFile();                     ///< "Cannot reopen XML file"

// Imports and exports.
QString exportLabelReadFailure(const QString& fileName); ///< "... Error 30c"
QString importWriteFailure(const QString& fileName);     ///< rows could not be written, "... Error 42w"
QString exportWriteFailure(const QString& fileName);     ///< lines could not be written, "... Error 46w"

} // namespace messages

} // namespace fichora
