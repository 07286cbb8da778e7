#include "platform/drivers/qt/QtPaint.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygon>

#include "platform/win/Gdi.h"

namespace orv::qt {
namespace {

using orv::win::DrawKind;
using orv::win::DrawOp;

QColor Colour(COLORREF c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

QRect Rect(const RECT& r) { return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top); }

QPen PenOf(const DrawOp& op) {
    if (op.nullPen || op.pen.style == 5) return Qt::NoPen;  // PS_NULL
    QPen pen(Colour(op.pen.color));
    pen.setWidth(std::max(1, op.pen.width));
    switch (op.pen.style) {
    case 1: pen.setStyle(Qt::DashLine); break;
    case 2: pen.setStyle(Qt::DotLine); break;
    case 3: pen.setStyle(Qt::DashDotLine); break;
    case 4: pen.setStyle(Qt::DashDotDotLine); break;
    default: break;
    }
    return pen;
}

QBrush BrushOf(const DrawOp& op) {
    if (op.nullBrush || op.brush.style == 1) return Qt::NoBrush;
    if (op.brush.style == 2) return QBrush(Colour(op.brush.color), Qt::DiagCrossPattern);
    return QBrush(Colour(op.brush.color));
}

QPolygon Polygon(const std::vector<POINT>& points) {
    QPolygon polygon;
    for (const POINT& p : points) polygon << QPoint(p.x, p.y);
    return polygon;
}

QFont FontOf(const orv::win::FontInfo& info, const QFont& base) {
    QFont font = base;
    if (!info.faceName.empty()) font.setFamily(QString::fromStdWString(info.faceName));
    if (info.height != 0) font.setPixelSize(std::max(1, std::abs(info.height)));
    font.setWeight(info.weight >= 700 ? QFont::Bold : QFont::Normal);
    font.setItalic(info.italic);
    font.setUnderline(info.underline);
    return font;
}

void PaintText(QPainter& painter, const DrawOp& op) {
    painter.save();
    painter.setFont(FontOf(op.font, painter.font()));
    painter.setPen(Colour(op.textColor));
    const QString text = QString::fromStdWString(op.text);
    if (op.points.empty()) {
        // DrawText in a rectangle.
        int flags = Qt::TextDontClip;
        flags |= (op.format & DT_CENTER) ? Qt::AlignHCenter : (op.format & DT_RIGHT) ? Qt::AlignRight : Qt::AlignLeft;
        flags |= (op.format & DT_VCENTER) ? Qt::AlignVCenter : (op.format & DT_BOTTOM) ? Qt::AlignBottom : Qt::AlignTop;
        if (op.backMode == 2) painter.fillRect(Rect(op.rect), Colour(op.backColor));
        painter.drawText(Rect(op.rect), flags, text);
    } else {
        // TextOut at a point, turned by the font's escapement (counter-clockwise tenths of a degree).
        const QFontMetrics metrics(painter.font());
        const int width = metrics.horizontalAdvance(text);
        painter.translate(op.points[0].x, op.points[0].y);
        if (op.font.escapement != 0) painter.rotate(-op.font.escapement / 10.0);
        int x = 0, y = metrics.ascent();
        if ((op.format & TA_CENTER) == TA_CENTER) x = -width / 2;
        else if (op.format & TA_RIGHT) x = -width;
        if ((op.format & TA_BASELINE) == TA_BASELINE) y = 0;
        else if (op.format & TA_BOTTOM) y = -metrics.descent();
        if (op.backMode == 2)
            painter.fillRect(QRect(x, y - metrics.ascent(), width, metrics.height()), Colour(op.backColor));
        painter.drawText(QPoint(x, y), text);
    }
    painter.restore();
}

}  // namespace

void PaintDisplayList(QPainter& painter, const orv::win::DisplayList& list) {
    for (const DrawOp& op : list.ops) {
        switch (op.kind) {
        case DrawKind::Line:
            if (op.points.size() >= 2) {
                painter.setPen(PenOf(op));
                painter.drawLine(op.points[0].x, op.points[0].y, op.points[1].x, op.points[1].y);
            }
            break;
        case DrawKind::Polyline:
            painter.setPen(PenOf(op));
            painter.drawPolyline(Polygon(op.points));
            break;
        case DrawKind::Polygon:
            painter.setPen(PenOf(op));
            painter.setBrush(BrushOf(op));
            painter.drawPolygon(Polygon(op.points));
            break;
        case DrawKind::Rectangle:
            painter.setPen(PenOf(op));
            painter.setBrush(BrushOf(op));
            painter.drawRect(Rect(op.rect).adjusted(0, 0, -1, -1));
            break;
        case DrawKind::FillRect:
            painter.fillRect(Rect(op.rect), BrushOf(op));
            break;
        case DrawKind::FrameRect:
            painter.setPen(QPen(Colour(op.brush.color)));
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(Rect(op.rect).adjusted(0, 0, -1, -1));
            break;
        case DrawKind::RoundRect:
            painter.setPen(PenOf(op));
            painter.setBrush(BrushOf(op));
            painter.drawRoundedRect(Rect(op.rect).adjusted(0, 0, -1, -1), op.size.cx / 2.0, op.size.cy / 2.0);
            break;
        case DrawKind::Ellipse:
            painter.setPen(PenOf(op));
            painter.setBrush(BrushOf(op));
            painter.drawEllipse(Rect(op.rect).adjusted(0, 0, -1, -1));
            break;
        case DrawKind::Text:
            PaintText(painter, op);
            break;
        case DrawKind::FillRegion:
            for (const RECT& r : op.rects) painter.fillRect(Rect(r), BrushOf(op));
            break;
        case DrawKind::FrameRegion: {
            QPainterPath path;
            for (const RECT& r : op.rects) path.addRect(Rect(r));
            painter.setPen(QPen(Colour(op.brush.color), std::max<LONG>(1, op.size.cx)));
            painter.setBrush(Qt::NoBrush);
            painter.drawPath(path.simplified());
            break;
        }
        case DrawKind::Bitmap:
        case DrawKind::Icon:
            painter.setPen(QPen(Qt::darkGray));
            painter.setBrush(QColor(0xE0, 0xE0, 0xE0));
            painter.drawRect(Rect(op.rect).adjusted(0, 0, -1, -1));
            break;
        case DrawKind::Pixel:
            if (!op.points.empty()) {
                painter.setPen(Colour(op.textColor));
                painter.drawPoint(op.points[0].x, op.points[0].y);
            }
            break;
        }
    }
}

void PaintedWidget::paintEvent(QPaintEvent* event) {
    (void)event;
    QPainter painter(this);
    PaintDisplayList(painter, list_);
}

}  // namespace orv::qt
