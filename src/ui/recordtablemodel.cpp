#include "recordtablemodel.h"

#include "browse/colourmarks.h"

#include "app/session.h"
#include "db/fieldrows.h"
#include "platform/cp1252.h"

#include <QBrush>
#include <QColor>

namespace fichora {

namespace {

// The first two columns carry the record's name; they stay tinted so the eye finds them at once.
const QColor kKeyColumnTint(195, 244, 253);
constexpr int kTintedColumns = 2;
// The row indicator of the current record.
constexpr char16_t kIndicator = u'\u25B6';

} // namespace

RecordTableModel::RecordTableModel(const Session& session, QObject* parent)
    : QAbstractTableModel(parent), m_session(session)
{
    m_fieldOfColumn.fill(-1);
}

int RecordTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int RecordTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant RecordTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows || index.column() >= kColumnCount)
        return {};
    const int field = tableField(index.column());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole: {
        if (field < 0 || index.row() >= m_session.records.recordCount())
            return QString();
        const RowId row = m_session.records.rowAt(index.row());
        QString text = cp1252::toUnicode(m_session.records.textAt(row, field));
        // A cell shows one line; a long text's line breaks would only cut it off.
        if (role == Qt::DisplayRole && text.contains(QLatin1Char('\n')))
            text.replace(QLatin1String("\r\n"), QLatin1String(" ")).replace(QLatin1Char('\n'), QLatin1Char(' '));
        return text;
    }
    case Qt::TextAlignmentRole:
        if (field >= 0 && m_session.records.fields()[static_cast<std::size_t>(field)].isNumber)
            return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
        return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
    case Qt::BackgroundRole: {
        if (colourmarks::markIndexForColumn(index.column()) >= 0 && colourmarks::active(m_session) &&
            index.row() < m_session.records.recordCount()) {
            const int marksField = m_session.records.fieldIndex("F21");
            if (marksField >= 0) {
                const std::string marks = m_session.records.textAt(m_session.records.rowAt(index.row()), marksField);
                if (const auto colour = colourmarks::cellColour(index.column(), marks))
                    return QBrush(QColor(colour->red, colour->green, colour->blue));
            }
        }
        return QBrush(index.column() < kTintedColumns ? kKeyColumnTint : QColor(Qt::white));
    }
    case Qt::ForegroundRole:
        return QBrush(QColor(Qt::black));
    default:
        return {};
    }
}

QVariant RecordTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical) {
        if (section < 0 || section >= m_rows)
            return {};
        return section == m_current ? QString(QChar(kIndicator)) : QString();
    }
    if (section < 0 || section >= kColumnCount)
        return {};
    if (!m_session.open)
        return QString();
    return cp1252::toUnicode(m_session.fields[static_cast<std::size_t>(section)].label);
}

Qt::ItemFlags RecordTableModel::flags(const QModelIndex& index) const
{
    // Records change only through the editors, never in a cell.
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

void RecordTableModel::refresh()
{
    beginResetModel();
    const RecordTable& records = m_session.records;
    const bool loaded = records.isOpen();
    for (const FieldRow& row : kFieldRows)
        m_fieldOfColumn[static_cast<std::size_t>(row.column)] = loaded ? records.fieldIndex(row.name) : -1;
    m_rows = loaded ? records.recordCount() : 0;
    m_current = loaded && records.currentRow() ? records.recordNumber() - 1 : -1;
    endResetModel();
}

void RecordTableModel::recordChanged(int position)
{
    if (position >= 0 && position < m_rows)
        Q_EMIT dataChanged(index(position, 0), index(position, kColumnCount - 1));
}

void RecordTableModel::setCurrentRow(int position)
{
    if (position == m_current)
        return;
    const int previous = m_current;
    m_current = position >= 0 && position < m_rows ? position : -1;
    if (previous >= 0)
        Q_EMIT headerDataChanged(Qt::Vertical, previous, previous);
    if (m_current >= 0)
        Q_EMIT headerDataChanged(Qt::Vertical, m_current, m_current);
}

} // namespace fichora
