#include "browse/search.h"

#include "platform/cp1252.h"
#include "platform/numbertext.h"

#include <cstdio>

namespace fichora {

namespace {

void foldInPlace(std::string& text)
{
    const auto& fold = cp1252::lowerTable();
    for (std::size_t i = 0; i < text.size(); ++i)
        text[i] = static_cast<char>(fold[static_cast<unsigned char>(text[i])]);
}

} // namespace

// Record text -------------------------------------------------------------------------------------

RecordTextMatcher::RecordTextMatcher(const RecordTable& table, std::string_view text)
    : m_table(table), m_fields(fieldsOf(table)), m_needle(text)
{
    foldInPlace(m_needle);
    m_buffer.reserve(1024);
}

std::array<int, 23> RecordTextMatcher::fieldsOf(const RecordTable& table)
{
    std::array<int, 23> fields{};
    for (int n = 1; n <= 23; ++n) {
        char name[4];
        std::snprintf(name, sizeof name, "F%02d", n);
        fields[static_cast<std::size_t>(n - 1)] = table.fieldIndex(name);
    }
    return fields;
}

void RecordTextMatcher::appendRecordText(std::string& out, const RecordTable& table, const std::array<int, 23>& fields,
                                         RowId row, bool fold)
{
    const TableStore& store = table.store();
    const auto& lower = cp1252::lowerTable();
    for (std::size_t n = 0; n < fields.size(); ++n) {
        if (n > 0)
            out += ' ';
        const int field = fields[n];
        if (field < 0)
            continue;
        if (table.fields()[static_cast<std::size_t>(field)].isNumber) {
            if (!store.isNull(row, field))
                numbertext::append(out, store.number(row, field)); // nothing in a number has a case
        } else if (fold) {
            // A null text reads as empty. Folded while copied: one pass over the bytes instead of two.
            const std::string_view text = store.text(row, field);
            const std::size_t at = out.size();
            out.resize(at + text.size());
            char* target = out.data() + at;
            for (std::size_t i = 0; i < text.size(); ++i)
                target[i] = static_cast<char>(lower[static_cast<unsigned char>(text[i])]);
        } else {
            out += store.text(row, field);
        }
    }
}

std::string RecordTextMatcher::recordText(const RecordTable& table, RowId row)
{
    std::string text;
    appendRecordText(text, table, fieldsOf(table), row, false);
    return text;
}

bool RecordTextMatcher::matches(RowId row)
{
    m_buffer.clear();
    appendRecordText(m_buffer, m_table, m_fields, row, true);
    return std::string_view(m_buffer).find(m_needle) != std::string_view::npos;
}

// Messages and the column-1 search ----------------------------------------------------------------

QString column1NotFoundMessage(std::string_view text, char language)
{
    const QString searched = cp1252::toUnicode(text);
    if (language == 'F')
        return QStringLiteral("Aucun enregistrement de la colonne 1\nne commence par \"%1\"").arg(searched);
    return QStringLiteral("No record of colomn 1\nstart with \"%1\"").arg(searched);
}

QString searchEndMessage(std::string_view text, char language)
{
    const QString searched = cp1252::toUnicode(text);
    if (language == 'F')
        return QStringLiteral("Fin de la recherche du texte \"%1\"").arg(searched);
    return QStringLiteral("End of seek for text \"%1\"").arg(searched);
}

bool searchColumn1(RecordTable& table, Services& services, std::string_view text, char language)
{
    if (table.locate(table.fieldIndex("F01"), text))
        return true;
    services.information(column1NotFoundMessage(text, language));
    return false;
}

// Whole-database search ---------------------------------------------------------------------------

SearchSession::Outcome SearchSession::start(std::string_view text, char language)
{
    m_state = State::Idle;
    m_text = std::string(text);
    m_table.first(); // posts a pending edit, so that the search sees what is on screen
    m_toVisit = m_table.recordCount();
    m_visited = 0;
    return walk(0, language);
}

SearchSession::Outcome SearchSession::next(char language)
{
    if (m_state != State::Waiting)
        return Outcome::Ignored;
    // On from the record after the current one: the person may have moved while the search waited.
    const int current = m_table.recordNumber();
    return walk(current > 0 ? static_cast<std::size_t>(current) : m_position + 1, language);
}

SearchSession::Outcome SearchSession::cancel()
{
    if (m_state != State::Waiting)
        return Outcome::Ignored;
    m_state = State::Idle;
    m_services.beep(Services::Beep::Warning);
    m_table.first();
    return Outcome::Cancelled;
}

SearchSession::Outcome SearchSession::walk(std::size_t from, char language)
{
    m_state = State::Idle;
    RecordTextMatcher matcher(m_table, m_text);
    for (std::size_t position = from;
         m_visited < m_toVisit && position < static_cast<std::size_t>(m_table.recordCount()); ++position) {
        ++m_visited;
        if (matcher.matches(m_table.rowAt(static_cast<int>(position)))) {
            m_position = position;
            m_table.setRecordNumber(static_cast<int>(position) + 1);
            m_state = State::Waiting;
            m_services.beep(Services::Beep::Warning);
            return Outcome::Matched;
        }
    }
    m_services.beep(Services::Beep::Warning);
    m_services.information(searchEndMessage(m_text, language));
    m_table.first();
    return Outcome::Finished;
}

} // namespace fichora
