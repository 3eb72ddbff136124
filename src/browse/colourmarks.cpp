#include "colourmarks.h"

#include "app/session.h"

#include <Qt>

namespace fichora::colourmarks {

bool active(const Session& session)
{
    return session.fields[kMarkField - 1].label.isEmpty();
}

std::optional<char> markForKey(int key)
{
    switch (key) {
    case Qt::Key_R:
        return 'R';
    case Qt::Key_O:
        return 'O';
    case Qt::Key_V:
        return 'V';
    case Qt::Key_B:
        return ' ';
    default:
        return std::nullopt;
    }
}

int markIndexForField(int field)
{
    return field >= 3 && field <= 5 ? field - 3 : -1;
}

int markIndexForColumn(int column)
{
    return markIndexForField(column + 1);
}

QByteArray normalised(const QByteArray& marks)
{
    return marks.size() == 3 ? marks : QByteArray(kNoMarks);
}

QByteArray afterKey(const QByteArray& marks, int field, int key)
{
    QByteArray result = normalised(marks);
    const int index = markIndexForField(field);
    if (const auto mark = markForKey(key); mark && index >= 0)
        result[index] = *mark;
    return result;
}

std::optional<Rgb> colourOf(char mark)
{
    switch (mark) {
    case 'R':
    case 'r':
        return kRed;
    case 'O':
    case 'o':
        return kOrangeYellow;
    case 'V':
    case 'v':
        return kGreen;
    case ' ':
        return kWhite;
    default:
        return std::nullopt;
    }
}

std::optional<Rgb> cellColour(int column, std::string_view marks)
{
    const int index = markIndexForColumn(column);
    if (index < 0 || static_cast<std::size_t>(index) >= marks.size())
        return std::nullopt;
    return colourOf(marks[static_cast<std::size_t>(index)]);
}

KeyResult keyWithCtrl(Session& session, int field, int key)
{
    if (!active(session))
        return KeyResult::Inactive;
    // Marks are values of the records: a protected database keeps them as they are.
    if (session.open && session.isReadOnly())
        return KeyResult::Refused;
    RecordTable& records = session.records;
    const int column = records.fieldIndex("F21");
    if (!session.open || column < 0 || !records.currentRow())
        return KeyResult::Ignored;

    const std::string stored = records.text(column);
    const QByteArray marks = afterKey(QByteArray(stored.data(), static_cast<qsizetype>(stored.size())), field, key);
    const bool startedHere = records.state() == RecordTable::State::Browse;
    if (!records.setValue(column, std::string(marks.constData(), static_cast<std::size_t>(marks.size()))) ||
        !records.post()) {
        if (startedHere)
            records.cancel();
        return KeyResult::Ignored;
    }
    session.modified = true;
    return KeyResult::Stored;
}

} // namespace fichora::colourmarks
