#pragma once

#include "platform/error.h"

#include <QByteArray>
#include <QList>
#include <QString>

/// Direct byte-level work on data files (XML data packets), for the operations that do not go through
/// the record table: template copies, number-field marking, writing and appending rows, rebuilding the
/// metadata. Positions are those of the shipped template; a file saved by the record table keeps only
/// the 14-byte signature, the 23-byte end and a "<ROWDATA>" somewhere in the search window.
namespace fichora::datafile {

inline constexpr qint64 kRowDataOffset = 1438;
inline constexpr qint64 kRowsOffset = 1447;
inline constexpr qint64 kTemplateSize = 1470;
inline constexpr qsizetype kSlotLength = 55;
inline constexpr char kSignature[] = "<?xml version=";
inline constexpr char kRowDataTag[] = "<ROWDATA>";
inline constexpr char kPacketEnd[] = "</ROWDATA></DATAPACKET>";
inline constexpr qsizetype kPacketEndLength = sizeof(kPacketEnd) - 1;

/// Where "<ROWDATA>" of an existing file is looked for, and where a match may begin.
inline constexpr qint64 kSearchFirst = 600;
inline constexpr qint64 kSearchLast = 9999;
inline constexpr qint64 kMatchLast = 9990;

/// The 55-byte field-description slot of field n, for n = 2..21.
constexpr qint64 slotOffset(int n)
{
    return 149 + 57 * (n - 2);
}

/// The description that marks field n (2..21) as a number: `<FIELD attrname="Fnn" fieldtype="r8"/>` and
/// 17 spaces, 55 bytes.
QByteArray numberDescription(int n);

/// Copies the template to `target`; fails with Code::Exists when `target` exists.
Result<void> createFromTemplate(const QString& templatePath, const QString& target);

/// Overwrites the slot of field n (2..21) with its number description.
Result<void> markNumber(const QString& path, int n);

/// Writes rows from the template's row position, then the packet end.
Result<void> writeRowsIntoTemplateCopy(const QString& path, const QByteArray& rows);

/// Writes rows over the last 23 bytes (the packet end), then the packet end again.
Result<void> appendRows(const QString& path, const QByteArray& rows);

/// Offset of "<ROWDATA>": the first of the 9-byte reads at 600..9999 that matches, counted only when it
/// begins at 9990 at the latest. No match is Code::Format with the message "Error !!!".
Result<qint64> findRowData(const QString& path);

/// Rebuilds a data file from the template with new number fields, keeping its rows byte for byte: the
/// old file becomes dataPath + ".bak2" (replacing an older one), the template is copied to dataPath, the
/// slots of `numberFields` (each 2..21) are patched, and the old bytes from its "<ROWDATA>" to its end are
/// written at 1438. Each failure's message is the one to show for its step, naming the file; a template
/// that cannot be copied gives "Erreur : Impossible de copier le fichier REF", after which dataPath is
/// missing (the rows are safe in the ".bak2" file).
Result<void> replaceMetadata(const QString& dataPath, const QString& templatePath, const QList<int>& numberFields);

/// True when the first 14 bytes are exactly "<?xml version=".
Result<bool> isDataFile(const QString& path);

} // namespace fichora::datafile
