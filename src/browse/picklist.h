#pragma once

#include "platform/error.h"
#include "platform/recordtable.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace fichora {

struct Session;

/// The values offered by the pick-list boxes ComboBox1..ComboBox21: the distinct, non-empty values of
/// one field as last saved in the loaded data file, in the ascending order of the record table
/// ClientDataSet2 (byte order, case-sensitive, unless a text order is installed).
///
/// Every list is built from the file on disk, never from the records in memory, so unsaved changes are
/// not offered. The file is loaded again only when its size or modification time has changed since the
/// last load; a file saved twice within the same millisecond with the same size would be missed, which
/// no save path of the program does.
class PickListSource
{
public:
    static constexpr int kFirstField = 1;
    static constexpr int kLastField = 21;

    /// Orders text values as the given comparison does (<0, 0, >0); forgets the lists already built.
    void setTextCompare(RecordTable::TextCompare compare);

    /// The list of field `field` (1..21) of `dataFile`, as Windows-1252 bytes. A file that cannot be
    /// loaded, or a field out of range, gives an empty list without a message.
    const std::vector<std::string>& values(const QString& dataFile, int field);

    /// Takes `saved`, the records exactly as `dataFile` now holds them (just loaded from it, or just saved
    /// to it), as that file's content, so that the next drop-down need not read the file again. Call it
    /// only at those two moments: if the file changes afterwards, its stamp no longer matches and the
    /// next drop-down reads it.
    void adopt(const QString& dataFile, const RecordTable& saved);

    /// Forgets the loaded file (the next list loads it again).
    void clear();

    /// ClientDataSet2 as last loaded (closed when the last load failed).
    const RecordTable& table() const { return m_table; }
    /// How many times a file was read, so that a caller can tell a reuse from a reload.
    int loadCount() const { return m_loads; }

private:
    struct Stamp
    {
        QString path;
        qint64 size = -1;
        QDateTime modified;
        bool operator==(const Stamp&) const = default;
    };

    static Stamp stampOf(const QString& dataFile);
    void refresh(const QString& dataFile);

    RecordTable m_table;
    RecordTable::TextCompare m_compare;
    std::optional<Stamp> m_stamp;
    std::array<std::optional<std::vector<std::string>>, kLastField> m_lists;
    int m_loads = 0;
    const std::vector<std::string> m_empty;
};

namespace picklist {

/// The list's entries as the box shows them.
QStringList displayTexts(const std::vector<std::string>& values);

/// ComboBoxnSelect: writes `value` (Windows-1252) into field `field` of the current record, posts it
/// and marks the database modified. On a protected database, or with no database open, nothing is
/// written (false). A value the field does not accept (text in a number field) is an error and the
/// record is left as it was.
Result<bool> choose(Session& session, int field, const QByteArray& value);

} // namespace picklist

} // namespace fichora
