#pragma once

#include "platform/error.h"

#include <QString>

#include <cstdint>

namespace fichora::bench {

/// Writes a database of `records` realistic records to the data file at `path`: French names and towns
/// with their accents, a few number fields, a long text in F22 and a picture list in F23. The same
/// seed gives the same file. About 300 bytes a record.
Result<void> writeDatabase(const QString& path, std::size_t records, std::uint32_t seed = 1);

} // namespace fichora::bench
