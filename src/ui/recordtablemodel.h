#pragma once

#include <QAbstractTableModel>

#include <array>

namespace fichora {

struct Session;

/// The grid's view of the open database's record table: one row per record in the table's present
/// order and filter, one column per field F01..F23. Cells are read on demand from the table, so the
/// model holds nothing per row and stays light with a million records. The table has no change
/// notification of its own; whoever changes it calls refresh() (shape or order changed) or
/// recordChanged() (one record's values).
class RecordTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    static constexpr int kColumnCount = 23;

    explicit RecordTableModel(const Session& session, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    /// Starts over from the table: rows, columns' fields and titles.
    void refresh();
    /// Repaints the row at 0-based `position`.
    void recordChanged(int position);
    /// Moves the row indicator to 0-based `position` (-1: none).
    void setCurrentRow(int position);
    int currentRow() const { return m_current; }

private:
    int tableField(int column) const { return m_fieldOfColumn[static_cast<std::size_t>(column)]; }

    const Session& m_session;
    std::array<int, kColumnCount> m_fieldOfColumn{};
    int m_rows = 0;
    int m_current = -1;
};

} // namespace fichora
