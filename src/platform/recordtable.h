#pragma once

#include "platform/error.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace fichora {

/// Identifies a stored record for as long as the table stays loaded; it does not change when the
/// order or the filter changes.
using RowId = std::uint32_t;

/// How one field of the table is described: its name (F01..F23), whether it holds numbers (8-byte
/// reals) or text (Windows-1252 bytes), and the maximum length of a text field.
struct FieldDef
{
    std::string name;
    bool isNumber = false;
    int width = 0;
};

/// The value of one cell: null (no value), text bytes or a number. An empty text is not null.
using CellValue = std::variant<std::monostate, std::string, double>;

/// The records themselves, laid out for a million of them: one column of 8-byte cells per field, text
/// cells pointing into two byte arenas (the loaded file, decoded in place, and the bytes written since),
/// and the natural record order as a vector of row ids. Rows are never freed while the table is
/// loaded; a deleted record simply leaves the order.
class TableStore
{
public:
    /// Empties the store and describes its fields.
    void reset(std::vector<FieldDef> fields);
    /// Describes the fields of a store that has no rows yet, keeping its loaded bytes.
    void defineFields(std::vector<FieldDef> fields);

    const std::vector<FieldDef>& fields() const { return m_fields; }
    int fieldCount() const { return static_cast<int>(m_fields.size()); }
    /// The index of the field named `name`, or -1.
    int fieldIndex(std::string_view name) const;

    /// Appends a row with every cell null. It is not part of the record order until placed there.
    RowId addRow();
    void reserveRows(std::size_t rows);
    std::size_t storedRows() const { return m_storedRows; }

    /// The records in file (natural) order.
    std::vector<RowId>& order() { return m_order; }
    const std::vector<RowId>& order() const { return m_order; }

    bool isNull(RowId row, int field) const;
    /// The bytes of a text cell; empty for null and for number cells.
    std::string_view text(RowId row, int field) const;
    /// The value of a number cell; 0 for null and for text cells.
    double number(RowId row, int field) const;
    CellValue value(RowId row, int field) const;

    void setText(RowId row, int field, std::string_view bytes);
    void setNumber(RowId row, int field, double value);
    void setNull(RowId row, int field);
    void copyCell(RowId from, RowId to, int field) { m_columns[field][to] = m_columns[field][from]; }

    /// The loader reads the whole file into this arena, decodes values in place and points cells at
    /// them with setLoadedText(), so that loading copies no value.
    std::string& loadedBytes() { return m_loaded; }
    const std::string& loadedBytes() const { return m_loaded; }
    void setLoadedText(RowId row, int field, std::size_t offset, std::size_t length);

private:
    static constexpr std::uint32_t kNullLength = 0xFFFFFFFFu;
    static constexpr std::uint32_t kEditedArena = 0x80000000u;
    static constexpr std::uint64_t kNullNumber = 0x7FF40000DEADBEEFull; // a signalling NaN no parser produces

    struct TextRef
    {
        std::uint32_t offset;
        std::uint32_t length;
    };

    std::vector<FieldDef> m_fields;
    std::vector<std::vector<std::uint64_t>> m_columns;
    std::vector<RowId> m_order;
    std::size_t m_storedRows = 0;
    std::string m_loaded;
    std::string m_edited;
};

/// The in-memory record table of the main window (and of the pick lists): loads and saves a data
/// packet, keeps an index order and a filter as permutations of the stored rows, a current record with
/// its 1-based number, and an edit buffer for edit / insert / post / cancel. There is no change log:
/// a post is final.
///
/// Errors: load and save return Io / Format errors with a message naming the problem (and, for XML
/// errors, the byte offset); an unknown index field is a Format error; a filter expression that cannot
/// be compiled is a Parse error.
class RecordTable
{
public:
    enum class State { Browse, Edit, Insert };

    /// A per-record test: the filter callback, or an expression once compiled.
    using RowPredicate = std::function<bool(const RecordTable&, RowId)>;
    /// Turns a filter expression into a predicate; an empty predicate lets every record through.
    using FilterCompiler = std::function<Result<RowPredicate>(std::string_view expression, const RecordTable&)>;
    /// Orders two text values (<0, 0, >0). The default is byte-wise and case-sensitive.
    using TextCompare = std::function<int(std::string_view, std::string_view)>;

    RecordTable();

    // Loading and saving. A failed load leaves the table closed; a failed save leaves the file as it was.
    Result<void> loadFromFile(const QString& path);
    Result<void> loadFromBytes(std::string bytes);
    Result<void> saveToFile(const QString& path);
    void close();
    bool isOpen() const { return m_open; }

    const std::vector<FieldDef>& fields() const { return m_store.fields(); }
    int fieldCount() const { return m_store.fieldCount(); }
    int fieldIndex(std::string_view name) const { return m_store.fieldIndex(name); }
    const TableStore& store() const { return m_store; }

    // Order. "F05;F01": ascending by F05, then F01; nulls first; numbers by value; equal keys keep
    // their natural order. The empty list restores the natural order. A pending edit is posted first.
    Result<void> setIndexFieldNames(std::string_view fieldList);
    const std::string& indexFieldNames() const { return m_indexText; }
    void setTextCompare(TextCompare compare);

    // Filter. Both the compiled expression and the callback must accept a record while filtering is on.
    Result<void> setFilter(std::string expression);
    const std::string& filter() const { return m_filterText; }
    void setFilterCallback(RowPredicate callback);
    void setFilterCompiler(FilterCompiler compiler);
    Result<void> setFiltered(bool on);
    bool isFiltered() const { return m_filtered; }
    /// Evaluates the filter again, for when what the callback depends on has changed.
    void refreshFilter();

    // Navigation in the present order and filter. Moving posts a pending edit.
    void first();
    void prior();
    void next();
    void last();
    bool bof() const { return m_bof; }
    bool eof() const { return m_eof; }
    /// The number of records the filter lets through.
    int recordCount() const { return static_cast<int>(present().size()); }
    /// The 1-based number of the current record in the present order and filter; 0 when there is none.
    int recordNumber() const { return m_pos + 1; }
    bool setRecordNumber(int number);
    std::optional<RowId> currentRow() const;
    /// The row shown at 0-based `position` of the present order and filter.
    RowId rowAt(int position) const { return present()[static_cast<std::size_t>(position)]; }

    /// Makes current the first record, in the present order and filter, whose `field` begins with
    /// `key`, ignoring case (accents stay distinct). Returns false and keeps the current record when
    /// none does.
    bool locate(int field, std::string_view key);

    // Editing of the current record.
    State state() const { return m_state; }
    Result<void> edit();
    /// Starts a new record, placed before the current one when posted.
    Result<void> insert();
    Result<void> post();
    void cancel();
    Result<void> deleteRecord();

    /// The current record's cell, read from the edit buffer while editing.
    CellValue value(int field) const;
    /// The current record's cell as text: numbers formatted, null as empty.
    std::string text(int field) const;
    /// Changes a cell of the current record, starting an edit when browsing. Text given to a number
    /// field is parsed (empty text is null); a number given to a text field is formatted.
    Result<void> setValue(int field, CellValue value);

    // Any stored row, by id, without the edit buffer.
    CellValue valueAt(RowId row, int field) const { return m_store.value(row, field); }
    std::string textAt(RowId row, int field) const;
    bool isNullAt(RowId row, int field) const { return m_store.isNull(row, field); }
    /// Changes a stored row directly and moves it to its place in the order and filter.
    Result<void> setValueAt(RowId row, int field, CellValue value);

private:
    const std::vector<RowId>& ordered() const { return m_index.empty() ? m_store.order() : m_sorted; }
    const std::vector<RowId>& present() const { return m_filtered ? m_visible : ordered(); }
    Result<void> coerce(int field, CellValue& value) const;
    void writeCell(RowId row, int field, const CellValue& value);
    int compareRows(RowId a, RowId b, std::size_t fromKey = 0) const;
    int compareText(std::string_view a, std::string_view b) const;
    void sortAll();
    void placeInIndex(RowId row);
    void rebuildVisible();
    void keepCurrent(std::optional<RowId> row, int fallback);
    bool passes(RowId row) const;
    void resetCursor();

    TableStore m_store;
    bool m_open = false;

    std::string m_indexText;
    std::vector<int> m_index;
    std::vector<RowId> m_sorted;
    TextCompare m_textCompare;

    std::string m_filterText;
    RowPredicate m_expression;
    RowPredicate m_callback;
    FilterCompiler m_compiler;
    bool m_filtered = false;
    std::vector<RowId> m_visible;

    int m_pos = -1;
    bool m_bof = true;
    bool m_eof = true;

    State m_state = State::Browse;
    std::vector<CellValue> m_buffer;
    std::optional<RowId> m_insertBefore;
};

} // namespace fichora
