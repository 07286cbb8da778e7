#pragma once
// What a device context records: drawing as plain data, in drawing order. Drivers render it,
// tests inspect it. Coordinates are the window's client coordinates (device units).

#include <memory>
#include <string>
#include <vector>

#include "platform/win/WinTypes.h"

namespace orv::win {

struct PenInfo {
    int style = 0;  // PS_SOLID, PS_DOT, ...
    int width = 1;
    COLORREF color = 0;
};

struct BrushInfo {
    int style = 0;  // BS_SOLID 0, BS_NULL 1, BS_HATCHED 2
    COLORREF color = 0;
    int hatch = 0;
};

struct FontInfo {
    std::wstring faceName;
    int height = 0;
    int width = 0;
    int escapement = 0;   // tenths of a degree
    int orientation = 0;
    int weight = 400;
    bool italic = false;
    bool underline = false;
    BYTE charSet = 1;     // DEFAULT_CHARSET
};

enum class DrawKind {
    Line,          // points[0] to points[1], with pen
    Polyline,      // points, with pen
    Polygon,       // points, pen and brush
    Rectangle,     // rect, pen and brush
    FillRect,      // rect, brush only
    FrameRect,     // rect, brush as a 1-unit frame
    RoundRect,     // rect, ellipse (cx, cy) in `size`, pen and brush
    Ellipse,       // rect, pen and brush
    Text,          // text at points[0] (TextOut) or in rect (DrawText), with font, colours, align
    FillRegion,    // region rectangles (rects), brush
    FrameRegion,   // region rectangles (rects), brush, frame size in `size`
    Bitmap,        // bitmap id (`image`) from rect (source `size` and `points[0]`) into rect;
                   // with no `image`, the pixels of bitmap resource `resource` of `module`
    Icon,          // icon `image` at rect
    Pixel,         // points[0], textColor as the colour
};

struct DisplayList;

struct DrawOp {
    DrawKind kind = DrawKind::Line;
    std::vector<POINT> points;
    RECT rect{};
    SIZE size{};
    std::vector<RECT> rects;
    std::wstring text;
    UINT format = 0;        // DrawText format or SetTextAlign flags
    PenInfo pen;
    BrushInfo brush;
    bool nullBrush = false;
    bool nullPen = false;
    FontInfo font;
    COLORREF textColor = 0;
    COLORREF backColor = 0xFFFFFF;
    int backMode = 2;       // OPAQUE 2, TRANSPARENT 1
    UINT_PTR image = 0;
    DWORD rop = 0;
    // Bitmap: a resource's pixels (a loaded bitmap's drawing starts with them), and the source
    // colour left out, as an image list with a mask colour draws (CLR_NONE: none).
    HINSTANCE module = nullptr;
    UINT resource = 0;
    COLORREF transparent = CLR_NONE;
    // Bitmap: the source bitmap's drawing as it was when copied (null when it had none).
    std::shared_ptr<const DisplayList> source;
};

struct DisplayList {
    std::vector<DrawOp> ops;
    void Clear() { ops.clear(); }
};

}  // namespace orv::win
