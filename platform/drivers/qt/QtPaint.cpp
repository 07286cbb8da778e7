#include "platform/drivers/qt/QtPaint.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QPolygon>

#include <cwchar>
#include <cwctype>
#include <map>

#include <QFontDatabase>
#include <QGuiApplication>
#include <QStringList>

#include "platform/res/Images.h"
#include "platform/res/Resources.h"
#include "platform/win/Gdi.h"
#include "platform/win/WinApi.h"

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
    return KernelFont(info.faceName, info.height, info.weight, info.italic, info.underline, base);
}

// DrawText records its rectangle and its top-left corner; TextOut only a point.
bool IsDrawText(const DrawOp& op) {
    return op.points.empty() || (op.rect.right > op.rect.left && op.rect.bottom > op.rect.top &&
                                 op.points[0].x == op.rect.left && op.points[0].y == op.rect.top);
}

void PaintText(QPainter& painter, const DrawOp& op) {
    painter.save();
    painter.setFont(FontOf(op.font, painter.font()));
    painter.setPen(Colour(op.textColor));
    QString text = QString::fromStdWString(op.text);
    if (IsDrawText(op)) {
        const QRect box = Rect(op.rect);
        int flags = 0;
        flags |= (op.format & DT_CENTER) ? Qt::AlignHCenter : (op.format & DT_RIGHT) ? Qt::AlignRight : Qt::AlignLeft;
        if (op.format & DT_SINGLELINE) {
            flags |= Qt::TextSingleLine;
            flags |= (op.format & DT_VCENTER) ? Qt::AlignVCenter : (op.format & DT_BOTTOM) ? Qt::AlignBottom : Qt::AlignTop;
            text.remove('\r').replace('\n', ' ');
        } else {
            flags |= Qt::AlignTop;
            text.remove('\r');
        }
        if (op.format & DT_WORDBREAK) flags |= Qt::TextWordWrap;
        if (op.format & DT_EXPANDTABS) flags |= Qt::TextExpandTabs;
        if (!(op.format & DT_NOPREFIX)) flags |= Qt::TextShowMnemonic;
        // The rectangle was measured with the kernel's metrics: narrow the face until the text
        // fits it, rather than cut it off.
        QFont font = painter.font();
        for (int stretch = 100; stretch >= 80; stretch -= 5) {
            font.setStretch(stretch);
            const QRect need = QFontMetrics(font).boundingRect(box, flags, text);
            if (need.width() <= box.width() && need.height() <= box.height() + 2) break;
        }
        painter.setFont(font);
        if (op.backMode == 2) painter.fillRect(box, Colour(op.backColor));
        painter.drawText(box, flags | Qt::TextDontClip, text);
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

// An image list holds icons and bitmaps alike, so an icon operation may carry either.
QImage PictureOfHandle(UINT_PTR handle, int cx, int cy) {
    QImage picture = IconPicture(reinterpret_cast<HICON>(handle), cx, cy);
    if (picture.isNull()) picture = BitmapPicture(reinterpret_cast<HBITMAP>(handle));
    return picture;
}

QImage ToQImage(const orv::res::Image& image) {
    if (image.width <= 0 || image.height <= 0) return {};
    QImage out(image.width, image.height, QImage::Format_ARGB32);
    for (int y = 0; y < image.height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < image.width; ++x) row[x] = image.At(x, y);
    }
    return out;
}

// The source colour an image list leaves out becomes see-through.
void LeaveOut(QImage& picture, COLORREF colour) {
    if (colour == CLR_NONE || picture.isNull()) return;
    picture = picture.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = qRgb(GetRValue(colour), GetGValue(colour), GetBValue(colour));
    for (int y = 0; y < picture.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < picture.width(); ++x)
            if ((row[x] | 0xFF000000u) == key) row[x] = 0;
    }
}

void PaintImage(QPainter& painter, const DrawOp& op) {
    const QRect target = Rect(op.rect);
    if (op.kind == DrawKind::Icon) {
        const QImage picture = PictureOfHandle(op.image, target.width(), target.height());
        if (!picture.isNull()) {
            painter.drawImage(target, picture);
            return;
        }
    } else if (op.image || op.resource) {
        // StretchBlt: the source rectangle at points[0] with `size`; BitBlt: the target's size.
        const QPoint from = op.points.empty() ? QPoint(0, 0) : QPoint(op.points[0].x, op.points[0].y);
        const QSize size = op.size.cx > 0 && op.size.cy > 0 ? QSize(op.size.cx, op.size.cy) : target.size();
        QImage picture;
        if (!op.image) {
            // A bitmap resource's own pixels.
            const orv::res::Image* image = orv::res::FindBitmap(op.module, op.resource);
            if (image) picture = ToQImage(*image);
        } else if (op.source) {
            // The source's drawing as it was when copied.
            picture = QImage(from.x() + size.width(), from.y() + size.height(), QImage::Format_RGB32);
            picture.fill(Qt::black);
            QPainter source(&picture);
            PaintDisplayList(source, *op.source);
        } else {
            picture = BitmapPicture(reinterpret_cast<HBITMAP>(op.image));
        }
        LeaveOut(picture, op.transparent);
        if (!picture.isNull()) {
            // Halftone stretching averages the pixels it drops.
            painter.save();
            painter.setRenderHint(QPainter::SmoothPixmapTransform, op.format == HALFTONE);
            painter.drawImage(target, picture, QRect(from, size));
            painter.restore();
            return;
        }
    }
    // A handle the kernel cannot show: a grey frame where it goes.
    painter.setPen(QPen(Qt::darkGray));
    painter.setBrush(QColor(0xE0, 0xE0, 0xE0));
    painter.drawRect(target.adjusted(0, 0, -1, -1));
}

}  // namespace

QString FamilyFor(const std::wstring& face) {
    static const std::map<std::wstring, int> known = {
        {L"ms shell dlg", 0}, {L"ms shell dlg 2", 0}, {L"ms sans serif", 0}, {L"microsoft sans serif", 0},
        {L"tahoma", 0}, {L"segoe ui", 0}, {L"arial", 0}, {L"verdana", 0}, {L"system", 0},
        {L"times new roman", 1}, {L"ms serif", 1}, {L"courier new", 2}, {L"courier", 2}, {L"consolas", 2},
        {L"lucida console", 2}};
    // Families whose average character width at the dialog size is near the 6 pixels of the
    // kernel's dialog base unit, so that text fits the rectangles laid out in dialog units.
    static const QStringList candidates[3] = {{"Liberation Sans", "Arimo", "DejaVu Sans Condensed", "DejaVu Sans"},
                                              {"Liberation Serif", "Tinos", "DejaVu Serif"},
                                              {"Liberation Mono", "Cousine", "DejaVu Sans Mono"}};
    // The font database needs the application; without one the face is passed on as it is.
    if (!QGuiApplication::instance()) return QString::fromStdWString(face);
    static std::map<std::wstring, QString> chosen;
    std::wstring key = face;
    for (wchar_t& ch : key) ch = wchar_t(std::towlower(wint_t(ch)));
    auto it = chosen.find(key);
    if (it != chosen.end()) return it->second;
    const QStringList installed = QFontDatabase().families();
    QString family;
    auto kind = known.find(key);
    if (kind == known.end() && !face.empty() && installed.contains(QString::fromStdWString(face), Qt::CaseInsensitive)) {
        family = QString::fromStdWString(face);
    } else {
        const QStringList& list = candidates[kind == known.end() ? 0 : kind->second];
        for (const QString& name : list)
            if (installed.contains(name)) {
                family = name;
                break;
            }
        if (family.isEmpty()) family = QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
    }
    chosen[key] = family;
    return family;
}

QFont KernelFont(const std::wstring& face, int height, int weight, bool italic, bool underline, const QFont& base) {
    QFont font = base;
    if (!face.empty()) font.setFamily(FamilyFor(face));
    // A positive height is the cell height: the character height is about 4/5 of it.
    if (height < 0) font.setPixelSize(-height);
    else if (height > 0) font.setPixelSize(std::max(1, (height * 4 + 2) / 5));
    font.setWeight(weight >= 700 ? QFont::Bold : QFont::Normal);
    font.setItalic(italic);
    font.setUnderline(underline);
    return font;
}

int DialogFontPixels(int pointSize) { return std::max(1, (pointSize * 96 + 36) / 72); }

QImage IconPicture(HICON icon, int cx, int cy) {
    orv::win::IconInfo info;
    if (!icon || !orv::win::GetIconInformation(icon, info)) return {};
    if (cx <= 0) cx = info.cx;
    if (cy <= 0) cy = info.cy;
    // "#32513": an icon by number; the system icons have numbers of their own.
    UINT number = 0;
    if (info.name.size() > 1 && info.name[0] == L'#') number = UINT(std::wcstoul(info.name.c_str() + 1, nullptr, 10));
    orv::res::Image image;
    if (!info.module && number >= 32512 && number <= 32517) image = orv::res::SystemIconImage(number, std::max(cx, cy));
    else image = orv::res::IconImageAt(info.module, number ? MAKEINTRESOURCE(number) : info.name.c_str(), cx, cy);
    QImage picture = ToQImage(image);
    if (!picture.isNull() && picture.size() != QSize(cx, cy)) picture = picture.scaled(cx, cy);
    return picture;
}

QImage BitmapPicture(HBITMAP bitmap) {
    const orv::win::DisplayList* drawing = bitmap ? orv::win::BitmapDisplayList(bitmap) : nullptr;
    // A bitmap static of a dialog template holds the kernel's handle of the named resource.
    orv::win::IconInfo named;
    if (!drawing && bitmap && orv::win::GetIconInformation(reinterpret_cast<HICON>(bitmap), named)) {
        UINT number = 0;
        if (named.name.size() > 1 && named.name[0] == L'#') number = UINT(std::wcstoul(named.name.c_str() + 1, nullptr, 10));
        const orv::res::Image* image =
            orv::res::FindBitmap(named.module, number ? MAKEINTRESOURCE(number) : named.name.c_str());
        return image ? ToQImage(*image) : QImage();
    }
    CBitmap* object = drawing ? CBitmap::FromHandle(bitmap) : nullptr;
    BITMAP info;
    if (!object || !object->GetBitmap(&info) || info.bmWidth <= 0 || info.bmHeight <= 0) return {};
    QImage picture(int(info.bmWidth), int(info.bmHeight), QImage::Format_RGB32);
    picture.fill(Qt::black);  // a new bitmap's pixels are black
    QPainter painter(&picture);
    PaintDisplayList(painter, *drawing);
    return picture;
}

QImage ImageListPicture(HIMAGELIST list, int index) {
    CImageList* images = list ? CImageList::FromHandle(list) : nullptr;
    int cx = 0, cy = 0;
    if (!images || index < 0 || index >= images->GetImageCount() || !images->GetImageSize(cx, cy)) return {};
    // The kernel's own drawing of the image (its slice, its mask colour) into a see-through image.
    CDC dc;
    CBitmap canvas;
    if (!dc.CreateCompatibleDC(nullptr) || !canvas.CreateBitmap(cx, cy, 1, 32, nullptr)) return {};
    CBitmap* old = dc.SelectObject(&canvas);
    images->Draw(&dc, index, POINT{0, 0}, ILD_NORMAL);
    dc.SelectObject(old);
    QImage picture(cx, cy, QImage::Format_ARGB32);
    picture.fill(Qt::transparent);
    if (const orv::win::DisplayList* drawn = orv::win::BitmapDisplayList(canvas)) {
        QPainter painter(&picture);
        PaintDisplayList(painter, *drawn);
    }
    return picture;
}

QRegion WindowRegionOf(HWND hwnd) {
    HRGN handle = orv::win::WindowRegion(hwnd);
    if (!handle) return {};
    QRegion region;
    for (const orv::win::RegionShape& shape : orv::win::RegionShapes(handle)) {
        QRegion part;
        switch (shape.kind) {
        case orv::win::RegionShape::Rect: part = QRegion(Rect(shape.rect)); break;
        case orv::win::RegionShape::RoundRect: {
            QPainterPath path;
            path.addRoundedRect(Rect(shape.rect), shape.ellipse.cx / 2.0, shape.ellipse.cy / 2.0);
            part = QRegion(path.toFillPolygon().toPolygon());
            break;
        }
        case orv::win::RegionShape::Polygon: part = QRegion(Polygon(shape.points)); break;
        }
        switch (shape.mode) {
        case RGN_AND: region &= part; break;
        case RGN_XOR: region ^= part; break;
        case RGN_DIFF: region -= part; break;
        case RGN_COPY: region = part; break;
        default: region |= part; break;
        }
    }
    return region;
}

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
            PaintImage(painter, op);
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
    if (!offset_.isNull()) {
        painter.setPen(QColor(0x64, 0x64, 0x64));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
        painter.setClipRect(rect().adjusted(offset_.x(), offset_.y(), -offset_.x(), -offset_.y()));
        painter.translate(offset_);
    }
    PaintDisplayList(painter, list_);
}

void PropertyGridWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QPalette& p = palette();
    const orv::win::WindowView& v = view_;
    const int w = width(), h = height();
    const int rowHeight = std::max(1, v.gridRowHeight);
    const int helpHeight = v.gridHelpVisible ? std::min(v.gridHelpHeight, h) : 0;
    const int split = std::clamp(v.gridSplit, rowHeight, std::max(rowHeight, w - rowHeight));
    const QColor text = v.enabled ? p.color(QPalette::Text) : p.color(QPalette::Disabled, QPalette::Text);
    const QColor greyed = p.color(QPalette::Disabled, QPalette::Text);
    painter.fillRect(rect(), p.color(QPalette::Base));
    QFont bold = font();
    bold.setBold(true);
    const int rowsBottom = h - helpHeight;
    int selectedTop = -1;
    for (int i = v.gridTop, y = 0; i < int(v.gridRows.size()) && y + rowHeight <= rowsBottom; ++i, y += rowHeight) {
        const orv::win::GridRowView& r = v.gridRows[std::size_t(i)];
        const bool selected = i == v.selection;
        if (selected) selectedTop = y;
        const int indent = rowHeight * (r.depth + 1);
        if (r.category) {
            painter.fillRect(0, y, w, rowHeight, p.color(QPalette::Button));
            painter.setFont(bold);
            painter.setPen(selected && hasFocus() ? p.color(QPalette::Highlight) : text);
            painter.drawText(QRect(indent, y, w - indent, rowHeight), Qt::AlignVCenter | Qt::AlignLeft, QString::fromStdWString(r.caption));
        } else {
            painter.fillRect(0, y, rowHeight, rowHeight, p.color(QPalette::Button));
            if (selected) painter.fillRect(indent - 2, y, split - indent + 2, rowHeight, p.color(QPalette::Highlight));
            painter.setFont(font());
            painter.setPen(selected ? p.color(QPalette::HighlightedText) : text);
            painter.drawText(QRect(indent, y, split - indent - 2, rowHeight), Qt::AlignVCenter | Qt::AlignLeft,
                             QString::fromStdWString(r.caption));
            painter.setPen(r.readOnly ? greyed : text);
            const int arrow = r.readOnly ? 0 : rowHeight;
            painter.drawText(QRect(split + 4, y, w - split - 6 - arrow, rowHeight), Qt::AlignVCenter | Qt::AlignLeft,
                             QString::fromStdWString(r.value));
            if (arrow && selected) {
                const int cx = w - rowHeight / 2 - 2, cy = y + rowHeight / 2;
                painter.setBrush(text);
                painter.setPen(Qt::NoPen);
                painter.drawPolygon(QPolygon({QPoint(cx - 3, cy - 2), QPoint(cx + 3, cy - 2), QPoint(cx, cy + 2)}));
                painter.setBrush(Qt::NoBrush);
            }
            painter.setPen(p.color(QPalette::Mid));
            painter.drawLine(split, y, split, y + rowHeight - 1);
            painter.drawLine(rowHeight, y + rowHeight - 1, w, y + rowHeight - 1);
        }
        if (r.expandable) {
            const QRect box(rowHeight * r.depth + (rowHeight - 9) / 2, y + (rowHeight - 9) / 2, 8, 8);
            painter.setPen(text);
            painter.drawRect(box);
            painter.drawLine(box.left() + 2, box.center().y(), box.right() - 2, box.center().y());
            if (!r.expanded) painter.drawLine(box.center().x(), box.top() + 2, box.center().x(), box.bottom() - 2);
        }
    }
    if (helpHeight > 0) {
        painter.fillRect(0, rowsBottom, w, helpHeight, p.color(QPalette::Window));
        painter.setPen(p.color(QPalette::Mid));
        painter.drawLine(0, rowsBottom, w, rowsBottom);
        if (v.selection >= 0 && v.selection < int(v.gridRows.size())) {
            const orv::win::GridRowView& r = v.gridRows[std::size_t(v.selection)];
            painter.setPen(p.color(QPalette::WindowText));
            painter.setFont(bold);
            painter.drawText(QRect(4, rowsBottom + 2, w - 8, rowHeight), Qt::AlignLeft | Qt::AlignVCenter,
                             QString::fromStdWString(r.caption));
            painter.setFont(font());
            painter.drawText(QRect(4, rowsBottom + 2 + rowHeight, w - 8, helpHeight - rowHeight - 4),
                             Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, QString::fromStdWString(r.description));
        }
    }
    if (v.gridDropped && selectedTop >= 0) {
        const auto& choices = v.gridRows[std::size_t(v.selection)].choices;
        const QRect list(split, selectedTop + rowHeight, w - split - 1, rowHeight * int(choices.size()) + 1);
        painter.fillRect(list, p.color(QPalette::Base));
        painter.setPen(p.color(QPalette::Shadow));
        painter.drawRect(list);
        painter.setFont(font());
        for (int i = 0; i < int(choices.size()); ++i) {
            const QRect row(list.left() + 1, list.top() + 1 + i * rowHeight, list.width() - 2, rowHeight);
            if (i == v.gridHighlight) painter.fillRect(row, p.color(QPalette::Highlight));
            painter.setPen(i == v.gridHighlight ? p.color(QPalette::HighlightedText) : text);
            painter.drawText(row.adjusted(3, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft, QString::fromStdWString(choices[std::size_t(i)]));
        }
    }
    painter.setPen(p.color(QPalette::Shadow));
    painter.drawRect(0, 0, w - 1, h - 1);
}

}  // namespace orv::qt
