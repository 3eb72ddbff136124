#include "picklist.h"

#include "app/session.h"
#include "platform/cp1252.h"

#include <QFileInfo>

namespace fichora {

namespace {

std::string fieldName(int field)
{
    std::string name = "F00";
    name[1] = static_cast<char>('0' + field / 10);
    name[2] = static_cast<char>('0' + field % 10);
    return name;
}

} // namespace

void PickListSource::setTextCompare(RecordTable::TextCompare compare)
{
    m_compare = std::move(compare);
    m_table.setTextCompare(m_compare);
    m_lists.fill(std::nullopt);
}

void PickListSource::clear()
{
    m_table.close();
    m_stamp.reset();
    m_lists.fill(std::nullopt);
}

PickListSource::Stamp PickListSource::stampOf(const QString& dataFile)
{
    const QFileInfo info(dataFile);
    return {dataFile, info.exists() ? info.size() : -1, info.lastModified()};
}

void PickListSource::adopt(const QString& dataFile, const RecordTable& saved)
{
    clear();
    if (!saved.isOpen())
        return;
    // Reading a large data file costs far more than copying the table: the main window's table is the
    // file's content right after opening and after every save.
    m_table = saved;
    m_table.cancel();
    m_table.setFilterCallback({});
    (void)m_table.setFiltered(false);
    (void)m_table.setIndexFieldNames({});
    m_table.setTextCompare(m_compare);
    m_stamp = stampOf(dataFile);
}

void PickListSource::refresh(const QString& dataFile)
{
    const Stamp now = stampOf(dataFile);
    if (m_stamp && *m_stamp == now)
        return;
    clear();
    if (!m_table.loadFromFile(dataFile))
        return; // the lists stay empty; the next drop-down tries again
    ++m_loads;
    m_stamp = now;
}

const std::vector<std::string>& PickListSource::values(const QString& dataFile, int field)
{
    if (field < kFirstField || field > kLastField)
        return m_empty;
    refresh(dataFile);
    if (!m_table.isOpen())
        return m_empty;

    auto& list = m_lists[static_cast<std::size_t>(field - 1)];
    if (list)
        return *list;
    list.emplace();

    const std::string name = fieldName(field);
    const int column = m_table.fieldIndex(name);
    if (column < 0 || !m_table.setIndexFieldNames(name))
        return *list;
    // Each value is compared with the one of the record before it, starting from an empty value, so
    // that equal neighbours are listed once and empty values (first in the order) never.
    const bool isNumber = m_table.fields()[static_cast<std::size_t>(column)].isNumber;
    std::string previous;
    const int count = m_table.recordCount();
    for (int i = 0; i < count; ++i) {
        const RowId row = m_table.rowAt(i);
        if (isNumber) {
            std::string value = m_table.textAt(row, column);
            if (value != previous) {
                list->push_back(value);
                previous = std::move(value);
            }
        } else {
            const std::string_view value = m_table.store().text(row, column);
            if (value != previous) {
                list->emplace_back(value);
                previous.assign(value);
            }
        }
    }
    return *list;
}

namespace picklist {

QStringList displayTexts(const std::vector<std::string>& values)
{
    QStringList texts;
    texts.reserve(static_cast<qsizetype>(values.size()));
    for (const std::string& value : values)
        texts.append(cp1252::toUnicode(value));
    return texts;
}

Result<bool> choose(Session& session, int field, const QByteArray& value)
{
    // The protection is looked at before anything is written: a protected database keeps its records
    // exactly as they are, even in memory.
    if (!session.open || session.isReadOnly())
        return false;
    RecordTable& records = session.records;
    const int column = records.fieldIndex(fieldName(field));
    if (field < PickListSource::kFirstField || field > PickListSource::kLastField || column < 0 ||
        !records.currentRow())
        return false;
    // An edit the person already had under way is posted with the choice, as the record view would;
    // only an edit started here is undone when the value is refused.
    const bool startedHere = records.state() == RecordTable::State::Browse;
    if (auto r = records.setValue(column, std::string(value.constData(), static_cast<std::size_t>(value.size()))); !r) {
        if (startedHere)
            records.cancel();
        return std::unexpected(r.error());
    }
    if (auto r = records.post(); !r) {
        if (startedHere)
            records.cancel();
        return std::unexpected(r.error());
    }
    session.modified = true;
    return true;
}

} // namespace picklist

} // namespace fichora
