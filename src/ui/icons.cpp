#include "icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace fichora {

namespace {

const QColor kInk(50, 55, 65);
const QColor kBlue(42, 111, 181);
const QColor kGreen(46, 139, 87);
const QColor kRed(192, 57, 43);
const QColor kPaper(250, 250, 245);
const QColor kGold(230, 170, 40);

// Glyphs are drawn on a 32-unit canvas and scaled to the requested size.
void page(QPainter& p, const QRectF& r)
{
    QPainterPath path;
    const qreal fold = r.width() * 0.3;
    path.moveTo(r.left(), r.top());
    path.lineTo(r.right() - fold, r.top());
    path.lineTo(r.right(), r.top() + fold);
    path.lineTo(r.right(), r.bottom());
    path.lineTo(r.left(), r.bottom());
    path.closeSubpath();
    p.setPen(QPen(kInk, 1.5));
    p.setBrush(kPaper);
    p.drawPath(path);
    p.drawLine(QPointF(r.right() - fold, r.top()), QPointF(r.right() - fold, r.top() + fold));
    p.drawLine(QPointF(r.right() - fold, r.top() + fold), QPointF(r.right(), r.top() + fold));
}

void textLines(QPainter& p, const QRectF& r, int count)
{
    p.setPen(QPen(kInk.lighter(160), 1.5));
    for (int i = 0; i < count; ++i) {
        const qreal y = r.top() + 4 + i * (r.height() - 6) / count;
        p.drawLine(QPointF(r.left() + 3, y), QPointF(r.right() - 3, y));
    }
}

/// A round badge with one white letter (help, about).
void badge(QPainter& p, const QColor& fill, const QColor& rim, const QString& letter)
{
    p.setPen(QPen(rim, 1.5));
    p.setBrush(fill);
    p.drawEllipse(QRectF(3, 3, 26, 26));
    QFont f = p.font();
    f.setBold(true);
    f.setPixelSize(20);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRectF(3, 3, 26, 26), Qt::AlignCenter, letter);
}

void sheet(QPainter& p, const QRectF& r)
{
    p.setPen(QPen(kGreen.darker(130), 1.5));
    p.setBrush(Qt::white);
    p.drawRect(r);
    p.setPen(QPen(kGreen, 1));
    for (int i = 1; i < 3; ++i)
        p.drawLine(QPointF(r.left() + i * r.width() / 3, r.top()), QPointF(r.left() + i * r.width() / 3, r.bottom()));
    for (int i = 1; i < 4; ++i)
        p.drawLine(QPointF(r.left(), r.top() + i * r.height() / 4), QPointF(r.right(), r.top() + i * r.height() / 4));
    p.fillRect(QRectF(r.left() + 1, r.top() + 1, r.width() - 1, r.height() / 4 - 1), kGreen.lighter(150));
}

void cylinder(QPainter& p, const QRectF& r)
{
    p.setPen(QPen(kInk, 1.5));
    p.setBrush(kGold.lighter(130));
    const qreal e = r.height() * 0.25;
    p.drawRect(QRectF(r.left(), r.top() + e / 2, r.width(), r.height() - e));
    p.drawEllipse(QRectF(r.left(), r.bottom() - e, r.width(), e));
    p.setPen(Qt::NoPen);
    p.drawRect(QRectF(r.left() + 0.8, r.top() + e / 2, r.width() - 1.6, r.height() - e));
    p.setPen(QPen(kInk, 1.5));
    p.drawLine(QPointF(r.left(), r.top() + e / 2), QPointF(r.left(), r.bottom() - e / 2));
    p.drawLine(QPointF(r.right(), r.top() + e / 2), QPointF(r.right(), r.bottom() - e / 2));
    p.drawEllipse(QRectF(r.left(), r.top(), r.width(), e));
}

void arrow(QPainter& p, QPointF from, QPointF to, const QColor& colour, qreal width = 3)
{
    p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    QLineF line(from, to);
    const QLineF back(to, from);
    p.drawLine(from, to);
    QLineF left = back;
    left.setLength(6);
    left.setAngle(back.angle() + 35);
    QLineF right = back;
    right.setLength(6);
    right.setAngle(back.angle() - 35);
    p.drawLine(left);
    p.drawLine(right);
}

void folder(QPainter& p, const QRectF& r, const QColor& colour)
{
    p.setPen(QPen(colour.darker(150), 1.5));
    p.setBrush(colour);
    QPainterPath path;
    path.moveTo(r.left(), r.top() + 3);
    path.lineTo(r.left() + r.width() * 0.4, r.top() + 3);
    path.lineTo(r.left() + r.width() * 0.5, r.top() + 6);
    path.lineTo(r.right(), r.top() + 6);
    path.lineTo(r.right(), r.bottom());
    path.lineTo(r.left(), r.bottom());
    path.closeSubpath();
    p.drawPath(path);
    p.setBrush(colour.lighter(125));
    p.drawRect(QRectF(r.left(), r.top() + 10, r.width(), r.height() - 10));
}

void cross(QPainter& p, const QRectF& r, const QColor& colour, qreal width = 3.5)
{
    p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(r.topLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomLeft());
}

void tick(QPainter& p, const QRectF& r, const QColor& colour)
{
    p.setPen(QPen(colour, 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    const QPointF points[] = {{r.left(), r.center().y()}, {r.left() + r.width() * 0.4, r.bottom()}, r.topRight()};
    p.drawPolyline(points, 3);
}

void magnifier(QPainter& p, QPointF centre, qreal radius)
{
    p.setPen(QPen(kInk, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(centre + QPointF(radius * 0.7, radius * 0.7), centre + QPointF(radius * 1.8, radius * 1.8));
    p.setPen(QPen(kInk, 2));
    p.setBrush(QColor(200, 225, 250, 200));
    p.drawEllipse(centre, radius, radius);
}

void printer(QPainter& p)
{
    p.setPen(QPen(kInk, 1.5));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(9, 4, 14, 10));
    p.setBrush(QColor(120, 130, 145));
    p.drawRoundedRect(QRectF(3, 12, 26, 12), 2, 2);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(9, 20, 14, 9));
    textLines(p, QRectF(9, 20, 14, 9), 2);
    p.setPen(Qt::NoPen);
    p.setBrush(kGreen.lighter(130));
    p.drawEllipse(QPointF(25, 16), 1.5, 1.5);
}

void triangle(QPainter& p, QPointF tip, qreal size, bool pointsLeft, const QColor& colour)
{
    const qreal dx = pointsLeft ? size : -size;
    const QPointF points[] = {tip, {tip.x() + dx, tip.y() - size}, {tip.x() + dx, tip.y() + size}};
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPolygon(points, 3);
}

void drawGlyph(QPainter& p, Glyph glyph)
{
    switch (glyph) {
    case Glyph::Open:
        folder(p, QRectF(3, 6, 24, 20), kGold);
        arrow(p, QPointF(22, 30), QPointF(22, 14), kBlue);
        break;
    case Glyph::Close:
        folder(p, QRectF(3, 6, 24, 20), kGold);
        cross(p, QRectF(17, 17, 11, 11), kRed);
        break;
    case Glyph::New:
        page(p, QRectF(6, 3, 20, 26));
        p.setPen(QPen(kGold.darker(120), 2.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(16, 12), QPointF(16, 24));
        p.drawLine(QPointF(10, 18), QPointF(22, 18));
        break;
    case Glyph::Destroy:
        p.setPen(QPen(kInk, 1.5));
        p.setBrush(QColor(180, 185, 195));
        p.drawRect(QRectF(8, 10, 16, 19));
        p.drawRect(QRectF(5, 6, 22, 4));
        p.drawRect(QRectF(13, 3, 6, 3));
        p.drawLine(QPointF(12.5, 13), QPointF(12.5, 26));
        p.drawLine(QPointF(16, 13), QPointF(16, 26));
        p.drawLine(QPointF(19.5, 13), QPointF(19.5, 26));
        break;
    case Glyph::Restructure:
        page(p, QRectF(4, 3, 18, 24));
        textLines(p, QRectF(4, 8, 18, 18), 4);
        p.setPen(QPen(kBlue, 4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(17, 27), QPointF(27, 17));
        p.setPen(QPen(kBlue, 2));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(27, 16), 3.5, 3.5);
        break;
    case Glyph::FieldTypes: {
        QFont f = p.font();
        f.setBold(true);
        f.setPixelSize(14);
        p.setFont(f);
        p.setPen(kBlue);
        p.drawText(QRectF(1, 2, 14, 16), Qt::AlignCenter, QStringLiteral("T"));
        p.setPen(kGreen);
        p.drawText(QRectF(17, 14, 14, 16), Qt::AlignCenter, QStringLiteral("#"));
        arrow(p, QPointF(8, 20), QPointF(8, 29), kInk, 2);
        arrow(p, QPointF(24, 12), QPointF(24, 3), kInk, 2);
        break;
    }
    case Glyph::SheetImport:
        sheet(p, QRectF(10, 8, 20, 20));
        arrow(p, QPointF(1, 18), QPointF(13, 18), kBlue);
        break;
    case Glyph::SheetAppend:
        sheet(p, QRectF(4, 4, 20, 20));
        p.setPen(QPen(kBlue, 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(25, 20), QPointF(25, 30));
        p.drawLine(QPointF(20, 25), QPointF(30, 25));
        break;
    case Glyph::TextImport:
        page(p, QRectF(12, 4, 18, 24));
        textLines(p, QRectF(12, 8, 18, 18), 4);
        arrow(p, QPointF(1, 18), QPointF(14, 18), kBlue);
        break;
    case Glyph::DbaseImport:
        cylinder(p, QRectF(13, 5, 17, 23));
        arrow(p, QPointF(1, 18), QPointF(13, 18), kBlue);
        break;
    case Glyph::SheetExport:
        sheet(p, QRectF(2, 8, 20, 20));
        arrow(p, QPointF(17, 18), QPointF(30, 18), kRed);
        break;
    case Glyph::TextExport:
        page(p, QRectF(2, 4, 18, 24));
        textLines(p, QRectF(2, 8, 18, 18), 4);
        arrow(p, QPointF(16, 18), QPointF(30, 18), kRed);
        break;
    case Glyph::ColumnWidths:
        sheet(p, QRectF(3, 4, 26, 18));
        arrow(p, QPointF(16, 27), QPointF(4, 27), kBlue, 2);
        arrow(p, QPointF(16, 27), QPointF(28, 27), kBlue, 2);
        break;
    case Glyph::Help:
        badge(p, kBlue, kBlue.darker(120), QStringLiteral("?"));
        break;
    case Glyph::Save:
        p.setPen(QPen(kInk, 1.5));
        p.setBrush(kBlue);
        p.drawRoundedRect(QRectF(4, 4, 24, 24), 2, 2);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(8, 4, 16, 9));
        p.setBrush(QColor(200, 205, 215));
        p.drawRect(QRectF(9, 18, 14, 10));
        p.fillRect(QRectF(19, 6, 3, 5), kInk);
        break;
    case Glyph::Quit:
        p.setPen(QPen(kInk, 1.5));
        p.setBrush(QColor(160, 110, 70));
        p.drawRect(QRectF(5, 3, 14, 26));
        p.setBrush(kInk);
        p.drawEllipse(QPointF(16, 17), 1.3, 1.3);
        arrow(p, QPointF(15, 16), QPointF(30, 16), kRed);
        break;
    case Glyph::Preview:
        page(p, QRectF(3, 2, 20, 26));
        textLines(p, QRectF(3, 7, 20, 20), 4);
        magnifier(p, QPointF(18, 18), 6);
        break;
    case Glyph::Print:
        printer(p);
        break;
    case Glyph::PrintChoice:
        printer(p);
        p.setPen(QPen(kBlue, 1.5));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(19, 1, 12, 13));
        p.setBrush(kBlue);
        for (int i = 0; i < 3; ++i)
            p.drawRect(QRectF(21, 3.5 + i * 3.5, 2, 2));
        break;
    case Glyph::Language: {
        p.setPen(QPen(kInk, 1.5));
        p.setBrush(kPaper);
        p.drawRoundedRect(QRectF(2, 5, 20, 15), 3, 3);
        p.setBrush(kBlue.lighter(150));
        p.drawRoundedRect(QRectF(10, 12, 20, 15), 3, 3);
        QFont f = p.font();
        f.setBold(true);
        f.setPixelSize(10);
        p.setFont(f);
        p.setPen(kInk);
        p.drawText(QRectF(2, 5, 20, 8), Qt::AlignCenter, QStringLiteral("Fr"));
        p.drawText(QRectF(10, 14, 20, 13), Qt::AlignCenter, QStringLiteral("En"));
        break;
    }
    case Glyph::About:
        badge(p, kGreen, kGreen.darker(130), QStringLiteral("i"));
        break;
    case Glyph::Skin: {
        p.setPen(QPen(kInk, 1.5));
        p.setBrush(QColor(235, 215, 170));
        p.drawEllipse(QRectF(3, 5, 26, 22));
        const QColor colours[] = {kRed, kBlue, kGreen, kGold};
        const QPointF spots[] = {{10, 12}, {17, 10}, {23, 14}, {10, 20}};
        for (int i = 0; i < 4; ++i) {
            p.setBrush(colours[i]);
            p.drawEllipse(spots[i], 2.8, 2.8);
        }
        break;
    }
    case Glyph::Sort:
        arrow(p, QPointF(10, 26), QPointF(10, 6), kBlue, 3);
        arrow(p, QPointF(22, 6), QPointF(22, 26), kInk, 3);
        break;
    case Glyph::Filter:
    case Glyph::FilterOff: {
        const QPointF funnel[] = {{4, 5}, {28, 5}, {19, 16}, {19, 27}, {13, 23}, {13, 16}};
        p.setPen(QPen(kInk, 1.5));
        p.setBrush(glyph == Glyph::Filter ? kBlue.lighter(130) : QColor(190, 190, 190));
        p.drawPolygon(funnel, 6);
        if (glyph == Glyph::FilterOff)
            cross(p, QRectF(19, 18, 10, 10), kRed, 3);
        break;
    }
    case Glyph::EraseFilters:
        p.setPen(QPen(kInk, 1.5));
        p.setBrush(QColor(240, 150, 160));
        {
            const QPointF rubber[] = {{4, 20}, {16, 8}, {28, 16}, {16, 28}};
            p.drawPolygon(rubber, 4);
        }
        p.setBrush(Qt::white);
        {
            const QPointF tip[] = {{4, 20}, {10, 14}, {22, 22}, {16, 28}};
            p.drawPolygon(tip, 4);
        }
        break;
    case Glyph::Photo:
    case Glyph::AllRecords:
        p.setPen(QPen(kInk, 1.5));
        p.setBrush(QColor(90, 95, 105));
        p.drawRoundedRect(QRectF(3, 9, 26, 18), 3, 3);
        p.drawRect(QRectF(11, 5, 10, 5));
        p.setBrush(QColor(170, 200, 235));
        p.drawEllipse(QPointF(16, 18), 6, 6);
        if (glyph == Glyph::AllRecords)
            cross(p, QRectF(20, 20, 10, 10), kRed, 3);
        break;
    case Glyph::Seek:
        magnifier(p, QPointF(13, 13), 8);
        break;
    case Glyph::SeekNext:
        magnifier(p, QPointF(11, 11), 7);
        triangle(p, QPointF(30, 24), 6, false, kBlue);
        break;
    case Glyph::GiveUp:
    case Glyph::Abandon:
        p.setPen(QPen(kRed.darker(120), 1.5));
        p.setBrush(kRed);
        p.drawEllipse(QRectF(3, 3, 26, 26));
        cross(p, QRectF(10, 10, 12, 12), Qt::white, 3.5);
        break;
    case Glyph::OtherFiles:
        page(p, QRectF(10, 2, 18, 22));
        page(p, QRectF(4, 8, 18, 22));
        textLines(p, QRectF(4, 13, 18, 16), 3);
        break;
    case Glyph::Protect:
        p.setPen(QPen(kInk, 3));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(9, 3, 14, 16), 0, 180 * 16);
        p.drawLine(QPointF(9, 11), QPointF(9, 15));
        p.drawLine(QPointF(23, 11), QPointF(23, 15));
        p.setPen(QPen(kInk, 1.5));
        p.setBrush(kGold);
        p.drawRoundedRect(QRectF(6, 14, 20, 15), 2, 2);
        break;
    case Glyph::First:
        p.fillRect(QRectF(7, 8, 3, 16), kInk);
        triangle(p, QPointF(10, 16), 8, false, kInk);
        p.fillRect(QRectF(7, 8, 3, 16), kInk);
        triangle(p, QPointF(11, 16), 8, true, kInk);
        break;
    case Glyph::Prior:
        triangle(p, QPointF(10, 16), 8, true, kInk);
        break;
    case Glyph::Next:
        triangle(p, QPointF(22, 16), 8, false, kInk);
        break;
    case Glyph::Last:
        triangle(p, QPointF(21, 16), 8, false, kInk);
        p.fillRect(QRectF(22, 8, 3, 16), kInk);
        break;
    case Glyph::Insert:
        p.setPen(QPen(kInk, 3.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(16, 7), QPointF(16, 25));
        p.drawLine(QPointF(7, 16), QPointF(25, 16));
        break;
    case Glyph::Delete:
        p.setPen(QPen(kInk, 3.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(7, 16), QPointF(25, 16));
        break;
    case Glyph::Edit: {
        const QPointF points[] = {{16, 7}, {25, 22}, {7, 22}};
        p.setPen(Qt::NoPen);
        p.setBrush(kInk);
        p.drawPolygon(points, 3);
        break;
    }
    case Glyph::Post:
        tick(p, QRectF(7, 9, 18, 14), kInk);
        break;
    case Glyph::Cancel:
        cross(p, QRectF(9, 9, 14, 14), kInk);
        break;
    case Glyph::Refresh:
        p.setPen(QPen(kInk, 3, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(7, 7, 18, 18), 60 * 16, 290 * 16);
        triangle(p, QPointF(24, 6), 4, false, kInk);
        break;
    case Glyph::Launch:
        page(p, QRectF(3, 7, 18, 22));
        textLines(p, QRectF(3, 12, 18, 16), 3);
        arrow(p, QPointF(14, 18), QPointF(28, 4), kGreen);
        break;
    }
}

const char* themeName(Glyph glyph)
{
    switch (glyph) {
    case Glyph::Open:
        return "document-open";
    case Glyph::New:
        return "document-new";
    case Glyph::Destroy:
        return "edit-delete";
    case Glyph::Restructure:
        return "document-properties";
    case Glyph::Help:
        return "help-contents";
    case Glyph::Save:
        return "document-save";
    case Glyph::Quit:
        return "application-exit";
    case Glyph::Preview:
        return "document-print-preview";
    case Glyph::Print:
        return "document-print";
    case Glyph::PrintChoice:
        return "document-page-setup";
    case Glyph::About:
        return "help-about";
    case Glyph::Seek:
        return "edit-find";
    case Glyph::First:
        return "go-first";
    case Glyph::Prior:
        return "go-previous";
    case Glyph::Next:
        return "go-next";
    case Glyph::Last:
        return "go-last";
    case Glyph::Refresh:
        return "view-refresh";
    default:
        return nullptr;
    }
}

} // namespace

QIcon drawnIcon(Glyph glyph, int size)
{
    QIcon icon;
    for (const int scale : {1, 2}) {
        QPixmap pixmap(size * scale, size * scale);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.scale(size * scale / 32.0, size * scale / 32.0);
        drawGlyph(painter, glyph);
        painter.end();
        pixmap.setDevicePixelRatio(scale);
        icon.addPixmap(pixmap);
    }
    return icon;
}

QIcon glyphIcon(Glyph glyph, int size)
{
    const char* name = themeName(glyph);
    if (name && QIcon::hasThemeIcon(QLatin1String(name)))
        return QIcon::fromTheme(QLatin1String(name));
    return drawnIcon(glyph, size);
}

} // namespace fichora
