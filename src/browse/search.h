#pragma once

#include "platform/recordtable.h"
#include "platform/services.h"

#include <QString>

#include <array>
#include <string>
#include <string_view>

namespace fichora {

/// Finds a text anywhere in a record: the record's text is its 23 values F01..F23 (numbers in their
/// usual text form, null and missing fields as empty) joined by single spaces, so that a text spanning
/// two fields is found too. The comparison ignores case and keeps accents distinct (é equals É, not e).
/// The matcher keeps one buffer and reuses it for every record.
class RecordTextMatcher
{
public:
    RecordTextMatcher(const RecordTable& table, std::string_view text);

    bool matches(RowId row);

    /// The record's text as searched (before case folding).
    static std::string recordText(const RecordTable& table, RowId row);

private:
    static std::array<int, 23> fieldsOf(const RecordTable& table);
    static void appendRecordText(std::string& out, const RecordTable& table, const std::array<int, 23>& fields,
                                 RowId row, bool fold);

    const RecordTable& m_table;
    std::array<int, 23> m_fields{};
    std::string m_needle;
    std::string m_buffer;
};

/// The information text when no F01 begins with `text`.
QString column1NotFoundMessage(std::string_view text, char language);
/// The information text that ends a whole-database search for `text`.
QString searchEndMessage(std::string_view text, char language);

/// The column-1 search: makes current the first record, in the present order and filter, whose F01
/// begins with `text` ignoring case; otherwise leaves the current record and shows the information box.
bool searchColumn1(RecordTable& table, Services& services, std::string_view text, char language);

/// The whole-database search as a state machine the window drives from its buttons, so that nothing
/// sleeps while the person looks at a match:
///   start(text)  walks from the first record of the present order and filter to the first match;
///   next()       walks on from the record after the current one (the person may have moved);
///   cancel()     gives up a waiting search (the give-up button and the toolbar commands).
/// At a match the record becomes current, the warning beep sounds and the session waits (Matched).
/// After the last record it sounds the beep, shows the end message, goes to the first record and is
/// idle again (Finished). Cancelling a waiting search sounds the beep and goes to the first record
/// without a message (Cancelled). Calls that do not fit the state change nothing (Ignored).
/// The number of records to visit is taken at the start; a record that holds the text several times is
/// reported once.
class SearchSession
{
public:
    enum class State { Idle, Waiting };
    enum class Outcome { Matched, Finished, Cancelled, Ignored };

    SearchSession(RecordTable& table, Services& services) : m_table(table), m_services(services) {}

    /// Starts a search for `text` as typed (no trimming); an empty text stops at every record. A search
    /// that was waiting is dropped silently first.
    Outcome start(std::string_view text, char language);
    Outcome next(char language);
    Outcome cancel();

    State state() const { return m_state; }
    bool isWaiting() const { return m_state == State::Waiting; }
    /// The text being searched for.
    const std::string& text() const { return m_text; }

private:
    Outcome walk(std::size_t from, char language);

    RecordTable& m_table;
    Services& m_services;
    State m_state = State::Idle;
    std::string m_text;
    int m_toVisit = 0;
    int m_visited = 0;
    std::size_t m_position = 0;
};

} // namespace fichora
