#pragma once

#include "exchange/rowwriter.h"
#include "platform/error.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <functional>

class QIODevice;

/// The delimited-text export: the loaded data file, read through the XML parser in file order, written
/// beside the database as the 370-byte header line of labels and one line per record of 23 values
/// separated by bars, values exactly as decoded, unexported fields empty. The byte-stream functions
/// work on any device; the operation adds the files, the questions and the messages.
namespace fichora::textexport {

inline constexpr qint64 kHeaderSize = 370;
inline constexpr int kFieldCount = 23;

using Fields = std::array<bool, kFieldCount>;

/// The data file's path with its last three characters replaced by "txt".
QString outputPathFor(const QString& dataFile);

/// The fields whose values are written: ticked, and for F03..F22 also in use (shown in the normal view;
/// the extended grid view exports the same fields).
Fields exportedFields(const Session& session);

/// The 370-byte header: the labels of the ticked fields separated by bars, zero bytes up to 368, CR LF.
QByteArray headerLine(const std::array<QByteArray, kFieldCount>& labels, const Fields& ticked);

/// The labels of the parameter file (up to their first zero byte, at most 15 bytes), for the ticked
/// fields; the others stay empty. Fails when the file cannot be opened or its first label not read.
Result<std::array<QByteArray, kFieldCount>> readLabels(const QString& parameterFile, const Fields& ticked);

/// Called after each line with the records written and their number; false abandons the export.
using AfterLine = std::function<bool(qint64 value, qint64 maximum)>;

struct Written
{
    qint64 records = 0;
    bool abandoned = false;
};

/// Writes one line per row of the packet read from `packet` to `out`: the exported values separated by
/// bars, then CR LF. A packet that is not well-formed is a Format error; a failed write an Io error.
Result<Written> writeRecords(QIODevice& packet, QIODevice& out, const Fields& exported,
                             const AfterLine& afterLine = {});

/// ToolButton17Click: the whole export of the open database (Session::loadedDataFile) into the text file
/// beside it. True when the file was written and its information box shown.
bool exportText(Session& session, Services& services, const ProgressLine& progress = {});

} // namespace fichora::textexport
