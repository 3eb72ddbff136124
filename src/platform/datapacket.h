#pragma once

#include "platform/error.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

/// The XML data packet: the file form of the record table.
///
/// Reading is lenient about what other writers produce (one-line packets, PARAMS in METADATA, extra
/// FIELD and ROW attributes, names that strict XML refuses, UTF-8 packets, packets saved with a
/// pending change log) and strict about structure: a file that is not a well-formed packet fails with
/// a Format error whose message says what is wrong and whose position is the byte offset of an XML
/// error. Values are held as Windows-1252 bytes: a character reference below 256 stands for that byte.
///
/// Writing produces a file that both this reader and any conforming XML reader read back with every
/// byte intact: it begins with "<?xml version=", has "<ROWDATA>" between offsets 600 and 9990, escapes
/// every byte outside printable ASCII as a numeric reference and ends with "</ROWDATA></DATAPACKET>".
namespace fichora {

class TableStore;

/// Replaces the content of `store` with the packet in the file at `path`.
Result<void> loadDataPacket(const QString& path, TableStore& store);
/// The same from bytes already in memory; the bytes become the store's arena.
Result<void> parseDataPacket(std::string bytes, TableStore& store);

/// The whole packet text of `store`, records in their natural order.
std::string writeDataPacket(const TableStore& store);
/// Writes the packet atomically: on failure the previous file at `path` is left untouched.
Result<void> saveDataPacket(const TableStore& store, const QString& path);

/// The two writers of attribute text in data files share one escaping table and differ only here.
enum class ValueEscaping {
    SavedPacket, ///< the record table's save: tab and line breaks as references, backslash as itself
    RowWriter,   ///< rows written by the importers: line breaks raw, tab as "?", backslash as "&#092;"
};

/// Appends `value` escaped for an attribute of a data file: the XML specials as named entities, control
/// bytes that XML cannot carry as "?", every byte from 128 to 255 as a three-digit reference.
void appendEscapedValue(std::string& out, std::string_view value, ValueEscaping style = ValueEscaping::SavedPacket);

/// The code point of one XML reference, given what stands between '&' and ';': a decimal or hexadecimal
/// character reference of up to eight digits, or one of the five named entities. None for anything else.
std::optional<std::uint32_t> xmlReference(std::string_view name);

} // namespace fichora
