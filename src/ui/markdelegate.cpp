#include "markdelegate.h"

#include "browse/colourmarks.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>

namespace fichora {

void MarkDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    // Only the marked cells of F03..F05 (the only columns whose background the marks set) are drawn
    // the marks' way; every other cell paints as the grid does.
    const bool marked = index.column() >= 2 && index.column() <= 4 && cell.backgroundBrush.style() != Qt::NoBrush;
    if (!marked) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    painter->fillRect(option.rect, cell.backgroundBrush);
    cell.backgroundBrush = QBrush();
    cell.displayAlignment = (cell.displayAlignment & Qt::AlignHorizontal_Mask) | Qt::AlignTop;
    cell.rect = option.rect.adjusted(colourmarks::kTextOffset, colourmarks::kTextOffset, 0, 0);
    const QWidget* widget = cell.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, widget);
}

} // namespace fichora
