#include "platform/recordtable.h"

#include "platform/collation.h"
#include "platform/cp1252.h"
#include "platform/datapacket.h"
#include "platform/numbertext.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace fichora {

// ---------------------------------------------------------------------------------------------------
// TableStore

void TableStore::reset(std::vector<FieldDef> fields)
{
    m_fields = std::move(fields);
    m_columns.assign(m_fields.size(), {});
    // Released, not just emptied: the next load reads a whole file before this memory would be reused.
    m_order = {};
    m_storedRows = 0;
    m_loaded = {};
    m_edited = {};
}

void TableStore::defineFields(std::vector<FieldDef> fields)
{
    m_fields = std::move(fields);
    m_columns.assign(m_fields.size(), {});
    m_order.clear();
    m_storedRows = 0;
}

int TableStore::fieldIndex(std::string_view name) const
{
    for (std::size_t i = 0; i < m_fields.size(); ++i) {
        if (m_fields[i].name == name)
            return static_cast<int>(i);
    }
    return -1;
}

RowId TableStore::addRow()
{
    for (std::size_t f = 0; f < m_columns.size(); ++f)
        m_columns[f].push_back(m_fields[f].isNumber ? kNullNumber
                                                    : std::bit_cast<std::uint64_t>(TextRef{0, kNullLength}));
    return static_cast<RowId>(m_storedRows++);
}

void TableStore::reserveRows(std::size_t rows)
{
    for (auto& column : m_columns)
        column.reserve(rows);
    m_order.reserve(rows);
}

bool TableStore::isNull(RowId row, int field) const
{
    const std::uint64_t cell = m_columns[field][row];
    if (m_fields[field].isNumber)
        return cell == kNullNumber;
    return std::bit_cast<TextRef>(cell).length == kNullLength;
}

std::string_view TableStore::text(RowId row, int field) const
{
    if (m_fields[field].isNumber)
        return {};
    const auto ref = std::bit_cast<TextRef>(m_columns[field][row]);
    if (ref.length == kNullLength)
        return {};
    if (ref.offset & kEditedArena)
        return std::string_view(m_edited).substr(ref.offset & ~kEditedArena, ref.length);
    return std::string_view(m_loaded).substr(ref.offset, ref.length);
}

double TableStore::number(RowId row, int field) const
{
    const std::uint64_t cell = m_columns[field][row];
    if (!m_fields[field].isNumber || cell == kNullNumber)
        return 0;
    return std::bit_cast<double>(cell);
}

CellValue TableStore::value(RowId row, int field) const
{
    if (isNull(row, field))
        return {};
    if (m_fields[field].isNumber)
        return number(row, field);
    return std::string(text(row, field));
}

void TableStore::setText(RowId row, int field, std::string_view bytes)
{
    // Old bytes stay in the arena: edits are few next to the loaded records, and reclaiming them would
    // cost a compaction for nothing the user notices.
    const auto offset = static_cast<std::uint32_t>(m_edited.size()) | kEditedArena;
    m_edited.append(bytes);
    m_columns[field][row] = std::bit_cast<std::uint64_t>(TextRef{offset, static_cast<std::uint32_t>(bytes.size())});
}

void TableStore::setNumber(RowId row, int field, double value)
{
    m_columns[field][row] = std::bit_cast<std::uint64_t>(value);
}

void TableStore::setNull(RowId row, int field)
{
    m_columns[field][row] =
        m_fields[field].isNumber ? kNullNumber : std::bit_cast<std::uint64_t>(TextRef{0, kNullLength});
}

void TableStore::setLoadedText(RowId row, int field, std::size_t offset, std::size_t length)
{
    m_columns[field][row] =
        std::bit_cast<std::uint64_t>(TextRef{static_cast<std::uint32_t>(offset), static_cast<std::uint32_t>(length)});
}

// ---------------------------------------------------------------------------------------------------
// RecordTable

namespace {

int compareBytes(std::string_view a, std::string_view b)
{
    const int c = std::memcmp(a.data(), b.data(), std::min(a.size(), b.size()));
    if (c != 0)
        return c;
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

Result<RecordTable::RowPredicate> compileNothing(std::string_view expression, const RecordTable&)
{
    if (expression.empty())
        return RecordTable::RowPredicate{};
    return fail(Error::Code::Parse,
                QStringLiteral("Filter expressions are not supported: %1").arg(cp1252::toUnicode(expression)));
}

} // namespace

RecordTable::RecordTable() : m_compiler(compileNothing) {}

Result<void> RecordTable::loadFromFile(const QString& path)
{
    close();
    auto loaded = loadDataPacket(path, m_store);
    if (!loaded) {
        m_store.reset({});
        return std::unexpected(loaded.error());
    }
    m_open = true;
    resetCursor();
    return {};
}

Result<void> RecordTable::loadFromBytes(std::string bytes)
{
    close();
    auto loaded = parseDataPacket(std::move(bytes), m_store);
    if (!loaded) {
        m_store.reset({});
        return std::unexpected(loaded.error());
    }
    m_open = true;
    resetCursor();
    return {};
}

Result<void> RecordTable::saveToFile(const QString& path)
{
    if (auto posted = post(); !posted)
        return posted;
    return saveDataPacket(m_store, path);
}

void RecordTable::close()
{
    m_store.reset({});
    m_open = false;
    m_indexText.clear();
    m_index.clear();
    m_sorted = {};
    m_visible = {};
    m_filtered = false;
    m_expression = {};
    m_state = State::Browse;
    m_buffer.clear();
    m_insertBefore.reset();
    m_pos = -1;
    m_bof = m_eof = true;
}

void RecordTable::resetCursor()
{
    m_state = State::Browse;
    m_buffer.clear();
    if (!m_index.empty())
        sortAll();
    rebuildVisible();
    first();
}

// Order -------------------------------------------------------------------------------------------

Result<void> RecordTable::setIndexFieldNames(std::string_view fieldList)
{
    std::vector<int> index;
    while (!fieldList.empty()) {
        const auto cut = fieldList.find(';');
        std::string_view name = fieldList.substr(0, cut);
        while (!name.empty() && name.front() == ' ')
            name.remove_prefix(1);
        while (!name.empty() && name.back() == ' ')
            name.remove_suffix(1);
        if (!name.empty()) {
            const int field = fieldIndex(name);
            if (field < 0)
                return fail(Error::Code::Format,
                            QStringLiteral("Unknown index field: %1").arg(cp1252::toUnicode(name)));
            index.push_back(field);
        }
        fieldList = cut == std::string_view::npos ? std::string_view() : fieldList.substr(cut + 1);
    }
    if (auto posted = post(); !posted)
        return posted;
    const auto keep = currentRow();
    m_index = std::move(index);
    m_indexText.clear();
    for (std::size_t i = 0; i < m_index.size(); ++i) {
        if (i)
            m_indexText += ';';
        m_indexText += fields()[static_cast<std::size_t>(m_index[i])].name;
    }
    if (m_index.empty())
        m_sorted.clear();
    else
        sortAll();
    rebuildVisible();
    keepCurrent(keep, 0);
    return {};
}

void RecordTable::setTextCompare(TextCompare compare)
{
    m_textCompare = std::move(compare);
    if (!m_index.empty()) {
        const auto keep = currentRow();
        sortAll();
        rebuildVisible();
        keepCurrent(keep, 0);
    }
}

// The single place where text keys are ordered; a collation plugs in through setTextCompare().
int RecordTable::compareText(std::string_view a, std::string_view b) const
{
    return m_textCompare ? m_textCompare(a, b) : compareBytes(a, b);
}

int RecordTable::compareRows(RowId a, RowId b, std::size_t fromKey) const
{
    for (std::size_t key = fromKey; key < m_index.size(); ++key) {
        const int field = m_index[key];
        const bool nullA = m_store.isNull(a, field);
        const bool nullB = m_store.isNull(b, field);
        if (nullA || nullB) {
            if (nullA != nullB)
                return nullA ? -1 : 1;
            continue;
        }
        if (fields()[static_cast<std::size_t>(field)].isNumber) {
            const double x = m_store.number(a, field);
            const double y = m_store.number(b, field);
            if (x < y)
                return -1;
            if (y < x)
                return 1;
        } else if (const int c = compareText(m_store.text(a, field), m_store.text(b, field)); c != 0) {
            return c;
        }
    }
    return 0;
}

namespace {

// One sort key of one row, as the sort keeps it beside the row. `key` is 0 for null and otherwise a
// number that orders the cells exactly where it differs: the value itself for numbers, a prefix of the
// text for texts. Only equal keys of two texts need the texts themselves.
struct SortCell
{
    std::uint64_t key;
    const char* data;
    std::uint32_t size;
};

struct SortEntry
{
    SortCell cells[2];
    RowId row;
};

using TextCompareFunction = int (*)(std::string_view, std::string_view);

// Numbers in an order-preserving unsigned form, equal values (0 and -0) alike. No stored number maps to
// 0, which would take an all-ones NaN.
std::uint64_t numberKey(double value)
{
    const auto bits = std::bit_cast<std::uint64_t>(value == 0 ? 0.0 : value);
    return (bits & 0x8000000000000000ull) ? ~bits : bits | 0x8000000000000000ull;
}

// The first seven bytes, big-endian, over a low byte that keeps every text above null.
std::uint64_t bytePrefix(std::string_view text)
{
    std::uint64_t key = 0;
    for (std::size_t i = 0; i < 7; ++i)
        key = (key << 8) | (i < text.size() ? static_cast<unsigned char>(text[i]) : 0u);
    return (key << 8) | 1u;
}

enum class TextOrder { Bytes, French, Plugged };

template <typename Compare> int compareCells(const SortCell& a, const SortCell& b, bool text, Compare& compare)
{
    if (a.key != b.key)
        return a.key < b.key ? -1 : 1;
    if (!text || a.key == 0)
        return 0;
    return compare(std::string_view(a.data, a.size), std::string_view(b.data, b.size));
}

} // namespace

void RecordTable::sortAll()
{
    // The first two keys of every row are fetched once, so that the comparisons of the sort read a compact
    // array instead of the columns, and most of them are settled by one integer comparison. Keys after the
    // second are only looked at for ties on both.
    TextOrder order = TextOrder::Plugged;
    if (!m_textCompare) {
        order = TextOrder::Bytes;
    } else if (const auto* plain = m_textCompare.target<TextCompareFunction>();
               plain && *plain == &collation::compareFrench) {
        order = TextOrder::French;
    }

    const std::size_t keys = std::min<std::size_t>(m_index.size(), 2);
    bool isText[2] = {false, false};
    for (std::size_t k = 0; k < keys; ++k)
        isText[k] = !fields()[static_cast<std::size_t>(m_index[k])].isNumber;

    std::vector<SortEntry> entries;
    entries.reserve(m_store.order().size());
    for (const RowId row : m_store.order()) {
        SortEntry entry{{{0, nullptr, 0}, {0, nullptr, 0}}, row};
        for (std::size_t k = 0; k < keys; ++k) {
            const int field = m_index[k];
            SortCell& cell = entry.cells[k];
            if (m_store.isNull(row, field))
                continue;
            if (!isText[k]) {
                cell.key = numberKey(m_store.number(row, field));
                continue;
            }
            const std::string_view text = m_store.text(row, field);
            cell.data = text.data();
            cell.size = static_cast<std::uint32_t>(text.size());
            switch (order) {
            case TextOrder::Bytes:
                cell.key = bytePrefix(text);
                break;
            case TextOrder::French:
                cell.key = collation::prefixKey(text) + 1; // 63 bits: the + 1 cannot overflow
                break;
            case TextOrder::Plugged:
                cell.key = 1; // nothing is known of a plugged order beyond nulls first
                break;
            }
        }
        entries.push_back(entry);
    }

    const bool more = m_index.size() > 2;
    const auto sortWith = [&](auto compare) {
        std::stable_sort(entries.begin(), entries.end(), [&](const SortEntry& a, const SortEntry& b) {
            if (const int c = compareCells(a.cells[0], b.cells[0], isText[0], compare); c != 0)
                return c < 0;
            if (keys < 2)
                return false;
            if (const int c = compareCells(a.cells[1], b.cells[1], isText[1], compare); c != 0)
                return c < 0;
            return more && compareRows(a.row, b.row, 2) < 0;
        });
    };
    switch (order) {
    case TextOrder::Bytes:
        sortWith(compareBytes);
        break;
    case TextOrder::French:
        sortWith(collation::compareFrench);
        break;
    case TextOrder::Plugged:
        sortWith([this](std::string_view a, std::string_view b) { return m_textCompare(a, b); });
        break;
    }

    m_sorted.clear();
    m_sorted.reserve(entries.size());
    for (const SortEntry& entry : entries)
        m_sorted.push_back(entry.row);
}

// After a change to one row, moves it to where a full sort would put it among its equals: after them.
void RecordTable::placeInIndex(RowId row)
{
    if (m_index.empty())
        return;
    const auto at = std::find(m_sorted.begin(), m_sorted.end(), row);
    if (at == m_sorted.end())
        return; // a deleted record has no place
    m_sorted.erase(at);
    const auto place = std::upper_bound(m_sorted.begin(), m_sorted.end(), row,
                                        [this](RowId a, RowId b) { return compareRows(a, b) < 0; });
    m_sorted.insert(place, row);
}

// Filter ------------------------------------------------------------------------------------------

Result<void> RecordTable::setFilter(std::string expression)
{
    m_filterText = std::move(expression);
    if (!m_filtered)
        return {};
    const auto keep = currentRow();
    auto compiled = m_compiler(m_filterText, *this);
    if (compiled) {
        m_expression = std::move(*compiled);
    } else {
        // An expression that does not compile switches filtering off rather than keep a stale one.
        m_expression = {};
        m_filtered = false;
    }
    rebuildVisible();
    keepCurrent(keep, m_pos);
    if (!compiled)
        return std::unexpected(compiled.error());
    return {};
}

void RecordTable::setFilterCallback(RowPredicate callback)
{
    m_callback = std::move(callback);
    if (m_filtered)
        refreshFilter();
}

void RecordTable::setFilterCompiler(FilterCompiler compiler)
{
    m_compiler = compiler ? std::move(compiler) : FilterCompiler(compileNothing);
}

Result<void> RecordTable::setFiltered(bool on)
{
    if (auto posted = post(); !posted)
        return posted;
    const auto keep = currentRow();
    if (on) {
        auto compiled = m_compiler(m_filterText, *this);
        if (!compiled)
            return std::unexpected(compiled.error());
        m_expression = std::move(*compiled);
    } else {
        m_expression = {};
    }
    m_filtered = on;
    rebuildVisible();
    keepCurrent(keep, 0);
    return {};
}

void RecordTable::refreshFilter()
{
    const auto keep = currentRow();
    rebuildVisible();
    keepCurrent(keep, m_pos);
}

bool RecordTable::passes(RowId row) const
{
    return (!m_expression || m_expression(*this, row)) && (!m_callback || m_callback(*this, row));
}

void RecordTable::rebuildVisible()
{
    m_visible.clear();
    if (!m_filtered)
        return;
    for (const RowId row : ordered()) {
        if (passes(row))
            m_visible.push_back(row);
    }
}

void RecordTable::keepCurrent(std::optional<RowId> row, int fallback)
{
    const auto& rows = present();
    if (rows.empty()) {
        m_pos = -1;
        m_bof = m_eof = true;
        return;
    }
    if (row) {
        if (const auto at = std::find(rows.begin(), rows.end(), *row); at != rows.end()) {
            m_pos = static_cast<int>(at - rows.begin());
            m_bof = m_eof = false;
            return;
        }
    }
    m_pos = std::clamp(fallback, 0, static_cast<int>(rows.size()) - 1);
    m_bof = m_eof = false;
}

// Navigation --------------------------------------------------------------------------------------

void RecordTable::first()
{
    (void)post();
    m_pos = present().empty() ? -1 : 0;
    m_bof = true;
    m_eof = present().empty();
}

void RecordTable::last()
{
    (void)post();
    m_pos = static_cast<int>(present().size()) - 1;
    m_eof = true;
    m_bof = present().empty();
}

void RecordTable::next()
{
    (void)post();
    if (m_pos + 1 < static_cast<int>(present().size())) {
        ++m_pos;
        m_bof = m_eof = false;
    } else {
        m_eof = true;
    }
}

void RecordTable::prior()
{
    (void)post();
    if (m_pos > 0) {
        --m_pos;
        m_bof = m_eof = false;
    } else {
        m_bof = true;
    }
}

bool RecordTable::setRecordNumber(int number)
{
    if (number < 1 || number > recordCount())
        return false;
    (void)post();
    m_pos = number - 1;
    m_bof = m_eof = false;
    return true;
}

std::optional<RowId> RecordTable::currentRow() const
{
    if (m_pos < 0 || m_pos >= static_cast<int>(present().size()))
        return std::nullopt;
    return present()[static_cast<std::size_t>(m_pos)];
}

bool RecordTable::locate(int field, std::string_view key)
{
    if (field < 0 || field >= fieldCount())
        return false;
    (void)post();
    const auto& rows = present();
    const bool number = fields()[static_cast<std::size_t>(field)].isNumber;
    std::string formatted;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        std::string_view value;
        if (number) {
            formatted = textAt(rows[i], field);
            value = formatted;
        } else {
            value = m_store.text(rows[i], field);
        }
        if (value.size() < key.size())
            continue;
        bool same = true;
        for (std::size_t k = 0; k < key.size() && same; ++k) {
            same = cp1252::toLower(static_cast<unsigned char>(value[k])) ==
                   cp1252::toLower(static_cast<unsigned char>(key[k]));
        }
        if (same) {
            m_pos = static_cast<int>(i);
            m_bof = m_eof = false;
            return true;
        }
    }
    return false;
}

// Editing -----------------------------------------------------------------------------------------

Result<void> RecordTable::edit()
{
    if (m_state != State::Browse)
        return {};
    const auto row = currentRow();
    if (!m_open || !row)
        return fail(Error::Code::Unsupported, QStringLiteral("There is no current record to edit"));
    m_buffer.resize(static_cast<std::size_t>(fieldCount()));
    for (int f = 0; f < fieldCount(); ++f)
        m_buffer[static_cast<std::size_t>(f)] = m_store.value(*row, f);
    m_state = State::Edit;
    return {};
}

Result<void> RecordTable::insert()
{
    if (!m_open)
        return fail(Error::Code::Unsupported, QStringLiteral("The record table is not open"));
    if (auto posted = post(); !posted)
        return posted;
    m_insertBefore = currentRow();
    m_buffer.assign(static_cast<std::size_t>(fieldCount()), CellValue{});
    m_state = State::Insert;
    return {};
}

Result<void> RecordTable::post()
{
    if (m_state == State::Browse)
        return {};
    RowId row = 0;
    if (m_state == State::Insert) {
        row = m_store.addRow();
        auto& order = m_store.order();
        auto at = order.end();
        if (m_insertBefore)
            at = std::find(order.begin(), order.end(), *m_insertBefore);
        order.insert(at, row);
        if (!m_index.empty())
            m_sorted.push_back(row);
    } else {
        row = *currentRow();
    }
    for (int f = 0; f < fieldCount(); ++f)
        writeCell(row, f, m_buffer[static_cast<std::size_t>(f)]);
    const int fallback = m_pos;
    m_state = State::Browse;
    m_buffer.clear();
    m_insertBefore.reset();
    placeInIndex(row);
    rebuildVisible();
    keepCurrent(row, fallback);
    return {};
}

void RecordTable::cancel()
{
    m_state = State::Browse;
    m_buffer.clear();
    m_insertBefore.reset();
}

Result<void> RecordTable::deleteRecord()
{
    if (m_state == State::Insert) {
        cancel();
        return {};
    }
    cancel();
    const auto row = currentRow();
    if (!row)
        return fail(Error::Code::Unsupported, QStringLiteral("There is no current record to delete"));
    const auto drop = [row](std::vector<RowId>& rows) {
        if (const auto at = std::find(rows.begin(), rows.end(), *row); at != rows.end())
            rows.erase(at);
    };
    drop(m_store.order());
    if (!m_index.empty())
        drop(m_sorted);
    if (m_filtered)
        drop(m_visible);
    keepCurrent(std::nullopt, m_pos);
    return {};
}

Result<void> RecordTable::coerce(int field, CellValue& value) const
{
    if (field < 0 || field >= fieldCount())
        return fail(Error::Code::Format, QStringLiteral("No field number %1").arg(field + 1));
    if (fields()[static_cast<std::size_t>(field)].isNumber) {
        if (const auto* text = std::get_if<std::string>(&value)) {
            if (text->empty()) {
                value = std::monostate{};
                return {};
            }
            const auto parsed = numbertext::parse(*text);
            if (!parsed)
                return fail(Error::Code::Format, QStringLiteral("Not a number: %1").arg(cp1252::toUnicode(*text)));
            value = *parsed;
        }
    } else if (const auto* x = std::get_if<double>(&value)) {
        value = numbertext::format(*x);
    }
    return {};
}

void RecordTable::writeCell(RowId row, int field, const CellValue& value)
{
    if (const auto* text = std::get_if<std::string>(&value))
        m_store.setText(row, field, *text);
    else if (const auto* x = std::get_if<double>(&value))
        m_store.setNumber(row, field, *x);
    else
        m_store.setNull(row, field);
}

CellValue RecordTable::value(int field) const
{
    if (field < 0 || field >= fieldCount())
        return {};
    if (m_state != State::Browse)
        return m_buffer[static_cast<std::size_t>(field)];
    const auto row = currentRow();
    return row ? m_store.value(*row, field) : CellValue{};
}

std::string RecordTable::text(int field) const
{
    const CellValue cell = value(field);
    if (const auto* t = std::get_if<std::string>(&cell))
        return *t;
    if (const auto* x = std::get_if<double>(&cell))
        return numbertext::format(*x);
    return {};
}

std::string RecordTable::textAt(RowId row, int field) const
{
    if (m_store.isNull(row, field))
        return {};
    if (fields()[static_cast<std::size_t>(field)].isNumber)
        return numbertext::format(m_store.number(row, field));
    return std::string(m_store.text(row, field));
}

Result<void> RecordTable::setValue(int field, CellValue value)
{
    if (auto coerced = coerce(field, value); !coerced)
        return coerced;
    if (auto editing = edit(); !editing)
        return editing;
    m_buffer[static_cast<std::size_t>(field)] = std::move(value);
    return {};
}

Result<void> RecordTable::setValueAt(RowId row, int field, CellValue value)
{
    if (row >= m_store.storedRows())
        return fail(Error::Code::Format, QStringLiteral("No stored row %1").arg(row));
    if (auto coerced = coerce(field, value); !coerced)
        return coerced;
    const auto keep = currentRow();
    writeCell(row, field, value);
    placeInIndex(row);
    rebuildVisible();
    keepCurrent(keep, m_pos);
    return {};
}

} // namespace fichora
