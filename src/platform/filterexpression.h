#pragma once

#include "platform/error.h"
#include "platform/recordtable.h"

#include <memory>
#include <string_view>
#include <vector>

namespace fichora {

namespace filterdetail {
class Node;
}

/// A filter expression of the record table, parsed and typed once against the table's fields, then
/// evaluated record by record without parsing again.
///
/// The language:
///   expression := term { OR term }
///   term       := factor { AND factor }
///   factor     := NOT factor | '(' expression ')' | test
///   test       := operand ( '=' | '<>' | '<' | '>' | '<=' | '>=' ) operand
///               | field [NOT] LIKE 'pattern'
///               | field IS [NOT] NULL
///   operand    := field | 'text' | number
/// Fields are F01..F23 (those the table has); keywords and field names are read in any case; a quote
/// inside a text constant is written twice ('O''Neil'); numbers are written with a dot, with an
/// optional sign and exponent.
///
/// Meaning:
/// - Text comparisons ignore case over all Windows-1252 letters and keep accents distinct (é equals É,
///   not e); < and > order the case-folded bytes. LIKE takes % for any run and _ for one character.
/// - `field = 'text*'` (a text constant ending with *) tests that the field begins with the text
///   before the star.
/// - A number field compares by value; a text constant compared with it must read as a number, or the
///   expression is rejected. LIKE and the starred = look at a number field's text form.
///   A number constant compared with a text field compares as the text it is written with.
/// - An empty text counts as null. A test on a null value is unknown, NOT keeps it unknown, AND / OR
///   combine as in SQL, and only a record for which the whole expression is true passes. So
///   F01>'' selects the records whose F01 is not empty, and NOT (F05<136) does not select the records
///   without an F05.
/// - An empty expression (or only spaces) selects every record.
///
/// Errors are Parse errors whose position is the 0-based byte offset of the fault in the expression.
class FilterExpression
{
public:
    FilterExpression() = default;

    static Result<FilterExpression> compile(std::string_view expression, const std::vector<FieldDef>& fields);

    /// True for the expression that selects every record.
    bool isEmpty() const { return !m_root; }
    bool matches(const TableStore& store, RowId row) const;
    /// The predicate the record table runs; empty when the expression is.
    RecordTable::RowPredicate predicate() const;

private:
    std::shared_ptr<const filterdetail::Node> m_root;
};

/// The record table's filter compiler for this language.
Result<RecordTable::RowPredicate> compileFilter(std::string_view expression, const RecordTable& table);

/// Makes `table` understand this language (RecordTable::setFilterCompiler).
void installFilterLanguage(RecordTable& table);

} // namespace fichora
