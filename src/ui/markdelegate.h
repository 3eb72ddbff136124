#pragma once

#include <QStyledItemDelegate>

namespace fichora {

/// Paints the record grid's cells: the whole cell in the colour the model gives it (a colour mark or
/// the column's tint), and the text a little right of and below the corner so that a coloured cell
/// still reads as a cell.
class MarkDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

} // namespace fichora
