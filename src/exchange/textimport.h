#pragma once

#include "exchange/rowwriter.h"
#include "platform/error.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <functional>

class QIODevice;

/// The delimited-text import: a 370-byte header line of labels, then one line per record with 23 values
/// ended by vertical bars (F23 by its carriage return only), turned into a new database whose rows are
/// written by the row writer. The byte-stream functions work on any device; the operations add the file
/// dialog, the files and the messages.
namespace fichora::textimport {

inline constexpr qint64 kHeaderSize = 370;
inline constexpr qsizetype kMaxLabel = 15;
/// Files this large or larger are refused as too big (their size may not fit the row arithmetic).
inline constexpr qint64 kMaxFileSize = 0x7FFFFFFF;

/// The labels of fields 1..22 read from the device's start, each ended by its bar. A label of 16
/// characters or more, or a header that ends before its 22nd bar, is a Format error.
Result<std::array<QByteArray, 22>> readLabels(QIODevice& text);

/// Called after each row with the bytes read and the file size; false abandons the import.
using AfterRow = std::function<bool(qint64 value, qint64 maximum)>;

struct Converted
{
    qint64 records = 0;
    bool abandoned = false;
};

/// Reads the records from byte 370 of `text` and writes them as rows from the row offset of `data`, then
/// the packet end (not when abandoned). A file that ends inside a record ends that record, which is
/// kept, and the import. Write failures are Io errors.
Result<Converted> convertRecords(QIODevice& text, QIODevice& data, const AfterRow& afterRow = {});

/// ToolButton6Click: the prelude, the file dialog, then importFile() into the program directory.
bool importText(Session& session, Services& services, const ProgressLine& progress = {});

/// The import of `path` after the file dialog: the new database goes into `targetDirectory` (ending with a
/// separator), made from the templates of the program directory. True when R4 was shown.
bool importFile(Session& session, Services& services, const QString& path, const QString& targetDirectory,
                const ProgressLine& progress = {});

} // namespace fichora::textimport
