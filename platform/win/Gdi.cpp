// Device contexts and GDI objects. Nothing is rasterised: drawing becomes display-list
// entries that carry the pen, brush, font and colours in effect.

#include "platform/win/Gdi.h"

#include <algorithm>
#include <map>
#include <unordered_map>

#include "platform/res/Resources.h"
#include "platform/win/CWnd.h"
#include "platform/win/Kernel.h"

using namespace orv::win;
using namespace orv::win::detail;

namespace orv::win {
bool operator==(const RegionShape& a, const RegionShape& b) {
    return a.kind == b.kind && a.mode == b.mode && a.rect.left == b.rect.left && a.rect.top == b.rect.top &&
           a.rect.right == b.rect.right && a.rect.bottom == b.rect.bottom && a.ellipse.cx == b.ellipse.cx &&
           a.ellipse.cy == b.ellipse.cy && a.points.size() == b.points.size() &&
           std::equal(a.points.begin(), a.points.end(), b.points.begin(),
                      [](POINT p, POINT q) { return p.x == q.x && p.y == q.y; });
}
}  // namespace orv::win

namespace {

enum class Kind { Pen, Brush, Font, Region, Bitmap };

struct Object {
    Kind kind = Kind::Pen;
    PenInfo pen;
    BrushInfo brush;
    LOGFONT font;
    std::vector<RegionShape> region;
    int cx = 0, cy = 0;
    DisplayList drawing;
    bool stock = false;
};

struct DCState {
    HWND hwnd = nullptr;
    bool memory = false;
    bool window = false;  // whole window (non-client included)
    HPEN pen = nullptr;
    HBRUSH brush = nullptr;
    HFONT font = nullptr;
    HBITMAP bitmap = nullptr;
    COLORREF text = 0;
    COLORREF back = RGB(255, 255, 255);
    int backMode = OPAQUE;
    UINT align = 0;
    POINT pos{};
    int stretch = 1;
    DisplayList scratch;  // a memory context without a bitmap
};

// One image of an image list: the icon or bitmap handle it was made from (a bitmap the list's own
// copy), where its slice starts in that bitmap (0 for an icon), and the colour a masked list
// leaves out of it (CLR_NONE: none).
struct ImageListEntry {
    UINT_PTR handle = 0;
    LONG offset = 0;
    COLORREF transparent = CLR_NONE;
};

struct ImageList {
    int cx = 16, cy = 16;
    UINT flags = 0;
    std::vector<ImageListEntry> images;
    // The list's own copies of the bitmaps added (the caller may delete its own).
    std::vector<UINT_PTR> bitmaps;
};

struct Gdi {
    std::unordered_map<UINT_PTR, Object> objects;
    std::unordered_map<UINT_PTR, DCState> dcs;
    std::unordered_map<UINT_PTR, std::vector<DCState>> saved;
    std::unordered_map<UINT_PTR, ImageList> imageLists;
    std::unordered_map<HWND, HRGN> windowRegions;
    UINT_PTR next = 0x6D0010;
    std::map<int, HGDIOBJ> stock;
    std::unordered_map<UINT_PTR, std::unique_ptr<CGdiObject>> wrappers;
    std::unordered_map<UINT_PTR, std::unique_ptr<CDC>> dcWrappers;
    std::unordered_map<UINT_PTR, std::unique_ptr<CImageList>> listWrappers;
};

Gdi& G() {
    static Gdi gdi;
    return gdi;
}

UINT_PTR NewHandle() {
    UINT_PTR h = G().next;
    G().next += 4;
    return h;
}

Object* FindObject(HGDIOBJ h) {
    UINT_PTR key = reinterpret_cast<UINT_PTR>(h);
    auto& objects = G().objects;
    auto it = objects.find(key);
    if (it != objects.end()) return &it->second;
    // System colour brushes.
    if (key >= 0x5C0000 && key < 0x5C0000 + 64) {
        Object o;
        o.kind = Kind::Brush;
        o.brush = BrushInfo{BS_SOLID, GetSysColor(int(key - 0x5C0000)), 0};
        o.stock = true;
        return &(objects[key] = o);
    }
    return nullptr;
}

HGDIOBJ Make(Object o) {
    UINT_PTR h = NewHandle();
    G().objects[h] = std::move(o);
    return reinterpret_cast<HGDIOBJ>(h);
}

LOGFONT DefaultFont() {
    LOGFONT f;
    f.lfHeight = -11;
    f.lfWeight = FW_NORMAL;
    wcsncpy(f.lfFaceName, L"MS Shell Dlg", 31);
    return f;
}

DCState* FindDC(HDC dc) {
    auto it = G().dcs.find(reinterpret_cast<UINT_PTR>(dc));
    return it == G().dcs.end() ? nullptr : &it->second;
}

HDC NewDC(HWND hwnd, bool memory, bool window) {
    UINT_PTR h = NewHandle();
    DCState s;
    s.hwnd = hwnd;
    s.memory = memory;
    s.window = window;
    s.pen = static_cast<HPEN>(GetStockObject(BLACK_PEN));
    s.brush = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    s.font = reinterpret_cast<HFONT>(hwnd ? SendMessage(hwnd, WM_GETFONT, 0, 0) : 0);
    if (!s.font) s.font = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
    G().dcs[h] = s;
    return reinterpret_cast<HDC>(h);
}

DisplayList* TargetOf(HDC dc) {
    DCState* s = FindDC(dc);
    if (!s) return nullptr;
    if (s->memory) {
        if (Object* b = FindObject(s->bitmap); b && b->kind == Kind::Bitmap) return &b->drawing;
        return &s->scratch;
    }
    Window* w = Find(s->hwnd);
    return w ? &w->displayList : &s->scratch;
}

FontInfo FontOf(HFONT font) {
    LOGFONT f = DefaultFont();
    GetFontInformation(font, f);
    FontInfo info;
    info.faceName = f.lfFaceName;
    info.height = f.lfHeight;
    info.width = f.lfWidth;
    info.escapement = f.lfEscapement;
    info.orientation = f.lfOrientation;
    info.weight = f.lfWeight;
    info.italic = f.lfItalic != 0;
    info.underline = f.lfUnderline != 0;
    info.charSet = f.lfCharSet;
    return info;
}

DrawOp Op(HDC dc, DrawKind kind) {
    DrawOp op;
    op.kind = kind;
    DCState* s = FindDC(dc);
    if (!s) return op;
    if (Object* p = FindObject(s->pen)) op.pen = p->pen;
    op.nullPen = op.pen.style == PS_NULL;
    if (Object* b = FindObject(s->brush)) op.brush = b->brush;
    op.nullBrush = op.brush.style == BS_NULL;
    // Only texts are drawn with the font (its face name would cost every other operation an
    // allocation).
    if (kind == DrawKind::Text) op.font = FontOf(s->font);
    op.textColor = s->text;
    op.backColor = s->back;
    op.backMode = s->backMode;
    op.format = s->align;
    return op;
}

void Record(HDC dc, DrawOp op) {
    if (DisplayList* list = TargetOf(dc)) list->ops.push_back(std::move(op));
}

int CharWidth(const FontInfo& f) {
    if (f.width) return std::abs(f.width);
    int h = std::abs(f.height ? f.height : 11);
    return std::max(1, (h * 6 + 5) / 11);
}

int LineHeight(const FontInfo& f) { return std::abs(f.height ? f.height : 11) + 2; }

std::vector<std::wstring> Lines(const std::wstring& text) {
    std::vector<std::wstring> lines;
    std::wstring current;
    for (wchar_t c : text) {
        if (c == L'\n') {
            lines.push_back(current);
            current.clear();
        } else if (c != L'\r') {
            current += c;
        }
    }
    lines.push_back(current);
    return lines;
}

int Width(const std::wstring& text, const FontInfo& f, bool prefix) {
    int n = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (prefix && text[i] == L'&') {
            if (i + 1 < text.size() && text[i + 1] == L'&') ++i;
            else continue;
        }
        n += text[i] == L'\t' ? 8 : 1;
    }
    return n * CharWidth(f);
}

// Lines of a text wrapped at `width` (word breaks only at spaces).
std::vector<std::wstring> Wrap(const std::wstring& text, int width, const FontInfo& f, bool prefix) {
    std::vector<std::wstring> out;
    for (const auto& line : Lines(text)) {
        std::wstring current;
        size_t i = 0;
        while (i <= line.size()) {
            size_t end = line.find(L' ', i);
            if (end == std::wstring::npos) end = line.size();
            std::wstring word = line.substr(i, end - i);
            std::wstring candidate = current.empty() ? word : current + L" " + word;
            if (!current.empty() && Width(candidate, f, prefix) > width) {
                out.push_back(current);
                current = word;
            } else {
                current = candidate;
            }
            i = end + 1;
        }
        out.push_back(current);
    }
    return out;
}

std::vector<RegionShape>* ShapesOf(HRGN region) {
    Object* o = FindObject(region);
    return o && o->kind == Kind::Region ? &o->region : nullptr;
}

RECT BoxOf(const std::vector<RegionShape>& shapes) {
    RECT box{};
    bool first = true;
    for (const auto& s : shapes) {
        RECT r = s.rect;
        if (s.kind == RegionShape::Polygon && !s.points.empty()) {
            r = RECT{s.points[0].x, s.points[0].y, s.points[0].x, s.points[0].y};
            for (POINT p : s.points) {
                r.left = std::min(r.left, p.x), r.top = std::min(r.top, p.y);
                r.right = std::max(r.right, p.x), r.bottom = std::max(r.bottom, p.y);
            }
        }
        if (s.mode == RGN_DIFF || s.mode == RGN_AND) continue;
        if (first) {
            box = r;
            first = false;
        } else {
            box.left = std::min(box.left, r.left), box.top = std::min(box.top, r.top);
            box.right = std::max(box.right, r.right), box.bottom = std::max(box.bottom, r.bottom);
        }
    }
    return box;
}

}  // namespace

HGDIOBJ GetStockObject(int index) {
    auto& stock = G().stock;
    auto it = stock.find(index);
    if (it != stock.end()) return it->second;
    Object o;
    o.stock = true;
    switch (index) {
    case WHITE_BRUSH: o.kind = Kind::Brush, o.brush = BrushInfo{BS_SOLID, RGB(255, 255, 255), 0}; break;
    case LTGRAY_BRUSH: o.kind = Kind::Brush, o.brush = BrushInfo{BS_SOLID, RGB(192, 192, 192), 0}; break;
    case GRAY_BRUSH: o.kind = Kind::Brush, o.brush = BrushInfo{BS_SOLID, RGB(128, 128, 128), 0}; break;
    case DKGRAY_BRUSH: o.kind = Kind::Brush, o.brush = BrushInfo{BS_SOLID, RGB(64, 64, 64), 0}; break;
    case BLACK_BRUSH: o.kind = Kind::Brush, o.brush = BrushInfo{BS_SOLID, RGB(0, 0, 0), 0}; break;
    case NULL_BRUSH: o.kind = Kind::Brush, o.brush = BrushInfo{BS_NULL, 0, 0}; break;
    case WHITE_PEN: o.kind = Kind::Pen, o.pen = PenInfo{PS_SOLID, 1, RGB(255, 255, 255)}; break;
    case BLACK_PEN: o.kind = Kind::Pen, o.pen = PenInfo{PS_SOLID, 1, RGB(0, 0, 0)}; break;
    case NULL_PEN: o.kind = Kind::Pen, o.pen = PenInfo{PS_NULL, 1, 0}; break;
    case SYSTEM_FONT:
    case DEFAULT_GUI_FONT: o.kind = Kind::Font, o.font = DefaultFont(); break;
    default: return nullptr;
    }
    HGDIOBJ h = Make(o);
    stock[index] = h;
    return h;
}

BOOL DeleteObject(HGDIOBJ object) {
    Object* o = FindObject(object);
    if (!o || o->stock) return FALSE;
    G().objects.erase(reinterpret_cast<UINT_PTR>(object));
    return TRUE;
}

HDC BeginPaint(HWND hwnd, PAINTSTRUCT* ps) {
    Window* w = Find(hwnd);
    if (!w) return nullptr;
    w->displayList.Clear();
    w->invalid = false;
    HDC dc = NewDC(hwnd, false, false);
    if (ps) {
        ps->hdc = dc;
        ps->fErase = TRUE;
        GetClientRect(hwnd, &ps->rcPaint);
    }
    SendMessage(hwnd, WM_ERASEBKGND, WPARAM(dc), 0);
    return dc;
}

BOOL EndPaint(HWND, const PAINTSTRUCT* ps) {
    if (ps) {
        G().dcs.erase(reinterpret_cast<UINT_PTR>(ps->hdc));
        G().dcWrappers.erase(reinterpret_cast<UINT_PTR>(ps->hdc));
        G().saved.erase(reinterpret_cast<UINT_PTR>(ps->hdc));
    }
    return TRUE;
}

HDC GetDC(HWND hwnd) { return NewDC(hwnd, false, false); }

int ReleaseDC(HWND, HDC dc) {
    UINT_PTR key = reinterpret_cast<UINT_PTR>(dc);
    G().saved.erase(key);
    // A wrapper handed out by CDC::FromHandle goes with its handle (unless it is the object
    // being released itself).
    auto it = G().dcWrappers.find(key);
    if (it != G().dcWrappers.end()) {
        it->second->m_hDC = it->second->m_hAttribDC = nullptr;
        G().dcWrappers.erase(it);
    }
    return G().dcs.erase(key) ? 1 : 0;
}

HRGN CreateRectRgn(int left, int top, int right, int bottom) {
    Object o;
    o.kind = Kind::Region;
    RegionShape s;
    s.rect = RECT{left, top, right, bottom};
    o.region.push_back(s);
    return static_cast<HRGN>(Make(o));
}

HRGN CreateRoundRectRgn(int left, int top, int right, int bottom, int cx, int cy) {
    Object o;
    o.kind = Kind::Region;
    RegionShape s;
    s.kind = RegionShape::RoundRect;
    s.rect = RECT{left, top, right, bottom};
    s.ellipse = SIZE{cx, cy};
    o.region.push_back(s);
    return static_cast<HRGN>(Make(o));
}

HRGN CreatePolygonRgn(const POINT* points, int count, int) {
    Object o;
    o.kind = Kind::Region;
    RegionShape s;
    s.kind = RegionShape::Polygon;
    if (points && count > 0) s.points.assign(points, points + count);
    o.region.push_back(s);
    return static_cast<HRGN>(Make(o));
}

int CombineRgn(HRGN dest, HRGN a, HRGN b, int mode) {
    auto* d = ShapesOf(dest);
    auto* sa = ShapesOf(a);
    if (!d || !sa) return RGN_ERROR;
    std::vector<RegionShape> result = *sa;
    if (mode != RGN_COPY) {
        auto* sb = ShapesOf(b);
        if (!sb) return RGN_ERROR;
        for (auto s : *sb) {
            if (s.mode == RGN_OR) s.mode = mode;
            result.push_back(s);
        }
    }
    *d = result;
    return result.size() > 1 ? COMPLEXREGION : SIMPLEREGION;
}

BOOL EqualRgn(HRGN a, HRGN b) {
    auto* sa = ShapesOf(a);
    auto* sb = ShapesOf(b);
    return sa && sb && *sa == *sb ? TRUE : FALSE;
}

int GetRgnBox(HRGN region, LPRECT rect) {
    auto* s = ShapesOf(region);
    if (!s || !rect) return RGN_ERROR;
    *rect = BoxOf(*s);
    return s->empty() ? NULLREGION : s->size() > 1 ? COMPLEXREGION : SIMPLEREGION;
}

BOOL PtInRegion(HRGN region, int x, int y) {
    RECT box{};
    if (!GetRgnBox(region, &box)) return FALSE;
    return x >= box.left && x < box.right && y >= box.top && y < box.bottom;
}

int SetWindowRgn(HWND hwnd, HRGN region, BOOL redraw) {
    if (!IsWindow(hwnd)) return 0;
    auto& regions = G().windowRegions;
    if (auto it = regions.find(hwnd); it != regions.end() && it->second != region) DeleteObject(it->second);
    regions[hwnd] = region;
    Find(hwnd)->region = region;
    if (redraw) InvalidateRect(hwnd, nullptr, TRUE);
    return 1;
}

namespace orv::win {

std::vector<RegionShape> RegionShapes(HRGN region) {
    auto* s = ShapesOf(region);
    return s ? *s : std::vector<RegionShape>{};
}

HRGN WindowRegion(HWND hwnd) {
    auto it = G().windowRegions.find(hwnd);
    return it == G().windowRegions.end() || !IsWindow(hwnd) ? nullptr : it->second;
}

bool GetFontInformation(HFONT font, LOGFONT& out) {
    Object* o = FindObject(font);
    if (!o || o->kind != Kind::Font) return false;
    out = o->font;
    return true;
}

bool GetBrushInformation(HBRUSH brush, BrushInfo& out) {
    Object* o = FindObject(brush);
    if (!o || o->kind != Kind::Brush) return false;
    out = o->brush;
    return true;
}

const DisplayList* BitmapDisplayList(HBITMAP bitmap) {
    Object* o = FindObject(bitmap);
    return o && o->kind == Kind::Bitmap ? &o->drawing : nullptr;
}


}  // namespace orv::win

// ---- GDI objects ----

CGdiObject::~CGdiObject() {
    if (owned_) DeleteObject();
}

BOOL CGdiObject::Attach(HGDIOBJ object) {
    if (m_hObject || !object) return FALSE;
    m_hObject = object;
    owned_ = true;
    return TRUE;
}

HGDIOBJ CGdiObject::Detach() {
    HGDIOBJ h = m_hObject;
    m_hObject = nullptr;
    owned_ = false;
    return h;
}

BOOL CGdiObject::DeleteObject() {
    if (!m_hObject) return FALSE;
    BOOL ok = ::DeleteObject(m_hObject);
    m_hObject = nullptr;
    owned_ = false;
    return ok;
}

BOOL CGdiObject::CreateStockObject(int index) {
    m_hObject = GetStockObject(index);
    owned_ = false;
    return m_hObject != nullptr;
}

namespace {
template <class T, class H>
T* Wrapper(H handle) {
    if (!handle) return nullptr;
    UINT_PTR key = reinterpret_cast<UINT_PTR>(handle);
    auto& wrappers = G().wrappers;
    auto it = wrappers.find(key);
    if (it != wrappers.end())
        if (auto* typed = dynamic_cast<T*>(it->second.get())) return typed;
    auto w = std::make_unique<T>();
    w->m_hObject = handle;
    T* raw = w.get();
    wrappers[key] = std::move(w);
    return raw;
}
}  // namespace

BOOL CPen::CreatePen(int style, int width, COLORREF color) {
    Object o;
    o.kind = Kind::Pen;
    o.pen = PenInfo{style, width, color};
    return Attach(Make(o));
}
CPen* CPen::FromHandle(HPEN pen) { return Wrapper<CPen>(pen); }

BOOL CBrush::CreateSolidBrush(COLORREF color) {
    Object o;
    o.kind = Kind::Brush;
    o.brush = BrushInfo{BS_SOLID, color, 0};
    return Attach(Make(o));
}
BOOL CBrush::CreateHatchBrush(int hatch, COLORREF color) {
    Object o;
    o.kind = Kind::Brush;
    o.brush = BrushInfo{BS_HATCHED, color, hatch};
    return Attach(Make(o));
}
BOOL CBrush::CreateSysColorBrush(int index) {
    m_hObject = GetSysColorBrush(index);
    owned_ = false;
    return TRUE;
}
CBrush* CBrush::FromHandle(HBRUSH brush) { return Wrapper<CBrush>(brush); }

BOOL CFont::CreateFontIndirect(const LOGFONT* font) {
    if (!font) return FALSE;
    Object o;
    o.kind = Kind::Font;
    o.font = *font;
    return Attach(Make(o));
}

BOOL CFont::CreateFont(int height, int width, int escapement, int orientation, int weight, BYTE italic, BYTE underline,
                       BYTE strikeOut, BYTE charSet, BYTE outPrecision, BYTE clipPrecision, BYTE quality,
                       BYTE pitchAndFamily, LPCTSTR faceName) {
    LOGFONT f;
    f.lfHeight = height, f.lfWidth = width, f.lfEscapement = escapement, f.lfOrientation = orientation;
    f.lfWeight = weight, f.lfItalic = italic, f.lfUnderline = underline, f.lfStrikeOut = strikeOut;
    f.lfCharSet = charSet, f.lfOutPrecision = outPrecision, f.lfClipPrecision = clipPrecision;
    f.lfQuality = quality, f.lfPitchAndFamily = pitchAndFamily;
    if (faceName) wcsncpy(f.lfFaceName, faceName, 31);
    return CreateFontIndirect(&f);
}

BOOL CFont::CreatePointFont(int pointSizeTenths, LPCTSTR faceName, CDC*) {
    LOGFONT f;
    f.lfHeight = -((pointSizeTenths * 96 / 72 + 5) / 10);
    if (faceName) wcsncpy(f.lfFaceName, faceName, 31);
    return CreateFontIndirect(&f);
}

int CFont::GetLogFont(LOGFONT* font) const {
    if (!font) return 0;
    LOGFONT f = DefaultFont();
    if (!GetFontInformation(static_cast<HFONT>(m_hObject), f)) return 0;
    *font = f;
    return int(sizeof(LOGFONT));
}
CFont* CFont::FromHandle(HFONT font) { return Wrapper<CFont>(font); }

BOOL CRgn::CreateRectRgn(int left, int top, int right, int bottom) { return Attach(::CreateRectRgn(left, top, right, bottom)); }
BOOL CRgn::CreateRectRgnIndirect(LPCRECT r) { return r && CreateRectRgn(r->left, r->top, r->right, r->bottom); }
BOOL CRgn::CreateRoundRectRgn(int left, int top, int right, int bottom, int cx, int cy) {
    return Attach(::CreateRoundRectRgn(left, top, right, bottom, cx, cy));
}
BOOL CRgn::CreatePolygonRgn(const POINT* points, int count, int fillMode) {
    return Attach(::CreatePolygonRgn(points, count, fillMode));
}
int CRgn::CombineRgn(const CRgn* a, const CRgn* b, int mode) {
    return ::CombineRgn(*this, a ? HRGN(*a) : nullptr, b ? HRGN(*b) : nullptr, mode);
}
int CRgn::CopyRgn(const CRgn* source) { return ::CombineRgn(*this, source ? HRGN(*source) : nullptr, nullptr, RGN_COPY); }
BOOL CRgn::EqualRgn(const CRgn* other) const { return other ? ::EqualRgn(*this, *other) : FALSE; }
int CRgn::GetRgnBox(LPRECT rect) const { return ::GetRgnBox(*this, rect); }
BOOL CRgn::PtInRegion(POINT p) const { return ::PtInRegion(*this, p.x, p.y); }
CRgn* CRgn::FromHandle(HRGN region) { return Wrapper<CRgn>(region); }

BOOL CBitmap::CreateCompatibleBitmap(CDC*, int cx, int cy) { return CreateBitmap(cx, cy, 1, 32, nullptr); }
BOOL CBitmap::CreateBitmap(int cx, int cy, UINT, UINT, const void*) {
    Object o;
    o.kind = Kind::Bitmap;
    o.cx = cx, o.cy = cy;
    return Attach(Make(o));
}
BOOL CBitmap::LoadBitmap(UINT id) {
    // The current resource module, then the chain; the bitmap has the resource's size, and its
    // drawing starts with the resource's pixels (what is drawn into it later goes over them).
    HINSTANCE module = AfxFindResourceHandle(MAKEINTRESOURCE(id), RT_BITMAP);
    const orv::res::Image* image = orv::res::FindBitmap(module, id);
    if (!image) return FALSE;
    Object o;
    o.kind = Kind::Bitmap;
    o.cx = image->width, o.cy = image->height;
    DrawOp pixels;
    pixels.kind = DrawKind::Bitmap;
    pixels.rect = RECT{0, 0, o.cx, o.cy};
    pixels.points = {POINT{0, 0}};
    pixels.size = SIZE{o.cx, o.cy};
    pixels.rop = SRCCOPY;
    pixels.module = module;
    pixels.resource = id;
    o.drawing.ops.push_back(std::move(pixels));
    return Attach(Make(o));
}
int CBitmap::GetBitmap(BITMAP* info) const {
    Object* o = FindObject(m_hObject);
    if (!o || o->kind != Kind::Bitmap || !info) return 0;
    info->bmWidth = o->cx, info->bmHeight = o->cy, info->bmWidthBytes = o->cx * 4;
    return int(sizeof(BITMAP));
}
CSize CBitmap::GetBitmapDimension() const {
    Object* o = FindObject(m_hObject);
    return o ? CSize(o->cx, o->cy) : CSize();
}
CBitmap* CBitmap::FromHandle(HBITMAP bitmap) { return Wrapper<CBitmap>(bitmap); }

// ---- device contexts ----

CDC::~CDC() {
    if (ownsHandle_) DeleteDC();
}

CDC* CDC::FromHandle(HDC dc) {
    if (!dc) return nullptr;
    UINT_PTR key = reinterpret_cast<UINT_PTR>(dc);
    auto& wrappers = G().dcWrappers;
    auto it = wrappers.find(key);
    if (it != wrappers.end()) return it->second.get();
    auto w = std::make_unique<CDC>();
    w->m_hDC = w->m_hAttribDC = dc;
    CDC* raw = w.get();
    wrappers[key] = std::move(w);
    return raw;
}

BOOL CDC::Attach(HDC dc) {
    if (m_hDC || !dc) return FALSE;
    m_hDC = m_hAttribDC = dc;
    return TRUE;
}

HDC CDC::Detach() {
    HDC dc = m_hDC;
    m_hDC = m_hAttribDC = nullptr;
    ownsHandle_ = false;
    return dc;
}

BOOL CDC::CreateCompatibleDC(CDC*) {
    if (m_hDC) return FALSE;
    m_hDC = m_hAttribDC = NewDC(nullptr, true, false);
    ownsHandle_ = true;
    return TRUE;
}

BOOL CDC::DeleteDC() {
    if (!m_hDC) return FALSE;
    G().dcs.erase(reinterpret_cast<UINT_PTR>(m_hDC));
    G().dcWrappers.erase(reinterpret_cast<UINT_PTR>(m_hDC));
    m_hDC = m_hAttribDC = nullptr;
    ownsHandle_ = false;
    return TRUE;
}

DisplayList* CDC::Target() const { return TargetOf(m_hDC); }

HGDIOBJ CDC::SelectObject(HGDIOBJ object) {
    DCState* s = FindDC(m_hDC);
    Object* o = FindObject(object);
    if (!s || !o) return nullptr;
    HGDIOBJ old = nullptr;
    switch (o->kind) {
    case Kind::Pen: old = s->pen, s->pen = static_cast<HPEN>(object); break;
    case Kind::Brush: old = s->brush, s->brush = static_cast<HBRUSH>(object); break;
    case Kind::Font: old = s->font, s->font = static_cast<HFONT>(object); break;
    case Kind::Bitmap: old = s->bitmap, s->bitmap = static_cast<HBITMAP>(object); break;
    case Kind::Region: return reinterpret_cast<HGDIOBJ>(UINT_PTR(SIMPLEREGION));
    }
    return old;
}

CGdiObject* CDC::SelectStockObject(int index) {
    HGDIOBJ old = SelectObject(GetStockObject(index));
    Object* o = FindObject(old);
    if (!o) return nullptr;
    switch (o->kind) {
    case Kind::Pen: return CPen::FromHandle(static_cast<HPEN>(old));
    case Kind::Brush: return CBrush::FromHandle(static_cast<HBRUSH>(old));
    case Kind::Font: return CFont::FromHandle(static_cast<HFONT>(old));
    default: return nullptr;
    }
}

CPen* CDC::SelectObject(CPen* pen) { return pen ? CPen::FromHandle(static_cast<HPEN>(SelectObject(pen->m_hObject))) : nullptr; }
CBrush* CDC::SelectObject(CBrush* brush) {
    return brush ? CBrush::FromHandle(static_cast<HBRUSH>(SelectObject(brush->m_hObject))) : nullptr;
}
CFont* CDC::SelectObject(CFont* font) { return font ? CFont::FromHandle(static_cast<HFONT>(SelectObject(font->m_hObject))) : nullptr; }
CBitmap* CDC::SelectObject(CBitmap* bitmap) {
    return bitmap ? CBitmap::FromHandle(static_cast<HBITMAP>(SelectObject(bitmap->m_hObject))) : nullptr;
}
int CDC::SelectObject(CRgn*) { return SIMPLEREGION; }

CFont* CDC::GetCurrentFont() const {
    DCState* s = FindDC(m_hDC);
    return s ? CFont::FromHandle(s->font) : nullptr;
}

int CDC::SaveDC() {
    DCState* s = FindDC(m_hDC);
    if (!s) return 0;
    auto& stack = G().saved[reinterpret_cast<UINT_PTR>(m_hDC)];
    DCState copy = *s;
    copy.scratch.Clear();
    stack.push_back(copy);
    return int(stack.size());
}

BOOL CDC::RestoreDC(int saved) {
    DCState* s = FindDC(m_hDC);
    auto& stack = G().saved[reinterpret_cast<UINT_PTR>(m_hDC)];
    if (!s || stack.empty()) return FALSE;
    size_t index = saved < 0 ? stack.size() - size_t(-saved) : size_t(saved - 1);
    if (index >= stack.size()) return FALSE;
    DisplayList scratch = std::move(s->scratch);
    *s = stack[index];
    s->scratch = std::move(scratch);
    stack.resize(index);
    return TRUE;
}

#define DC_FIELD(getter, setter, type, field)          \
    type CDC::setter(type value) {                     \
        DCState* s = FindDC(m_hDC);                    \
        if (!s) return type{};                         \
        type old = s->field;                           \
        s->field = value;                              \
        return old;                                    \
    }                                                  \
    type CDC::getter() const {                         \
        DCState* s = FindDC(m_hDC);                    \
        return s ? s->field : type{};                  \
    }
DC_FIELD(GetTextColor, SetTextColor, COLORREF, text)
DC_FIELD(GetBkColor, SetBkColor, COLORREF, back)
DC_FIELD(GetBkMode, SetBkMode, int, backMode)
DC_FIELD(GetTextAlign, SetTextAlign, UINT, align)
#undef DC_FIELD

int CDC::SetStretchBltMode(int mode) {
    DCState* s = FindDC(m_hDC);
    if (!s) return 0;
    int old = s->stretch;
    s->stretch = mode;
    return old;
}

int CDC::GetDeviceCaps(int index) const {
    switch (index) {
    case LOGPIXELSX:
    case LOGPIXELSY: return 96;
    case HORZRES: return GetSystemMetrics(SM_CXSCREEN);
    case VERTRES: return GetSystemMetrics(SM_CYSCREEN);
    case BITSPIXEL: return 32;
    default: return 0;
    }
}

CPoint CDC::MoveTo(int x, int y) {
    DCState* s = FindDC(m_hDC);
    if (!s) return CPoint();
    CPoint old(s->pos);
    s->pos = POINT{x, y};
    return old;
}

BOOL CDC::LineTo(int x, int y) {
    DCState* s = FindDC(m_hDC);
    if (!s) return FALSE;
    DrawOp op = Op(m_hDC, DrawKind::Line);
    op.points = {s->pos, POINT{x, y}};
    Record(m_hDC, op);
    s->pos = POINT{x, y};
    return TRUE;
}

BOOL CDC::Polyline(const POINT* points, int count) {
    if (!points || count < 2) return FALSE;
    DrawOp op = Op(m_hDC, DrawKind::Polyline);
    op.points.assign(points, points + count);
    Record(m_hDC, op);
    return TRUE;
}

BOOL CDC::Polygon(const POINT* points, int count) {
    if (!points || count < 2) return FALSE;
    DrawOp op = Op(m_hDC, DrawKind::Polygon);
    op.points.assign(points, points + count);
    Record(m_hDC, op);
    return TRUE;
}

BOOL CDC::Rectangle(int left, int top, int right, int bottom) {
    DrawOp op = Op(m_hDC, DrawKind::Rectangle);
    op.rect = RECT{left, top, right, bottom};
    Record(m_hDC, op);
    return TRUE;
}

BOOL CDC::RoundRect(int left, int top, int right, int bottom, int cx, int cy) {
    DrawOp op = Op(m_hDC, DrawKind::RoundRect);
    op.rect = RECT{left, top, right, bottom};
    op.size = SIZE{cx, cy};
    Record(m_hDC, op);
    return TRUE;
}

BOOL CDC::Ellipse(int left, int top, int right, int bottom) {
    DrawOp op = Op(m_hDC, DrawKind::Ellipse);
    op.rect = RECT{left, top, right, bottom};
    Record(m_hDC, op);
    return TRUE;
}

void CDC::FillRect(LPCRECT rect, CBrush* brush) {
    if (!rect) return;
    DrawOp op = Op(m_hDC, DrawKind::FillRect);
    op.rect = *rect;
    if (brush)
        if (Object* b = FindObject(brush->m_hObject)) op.brush = b->brush;
    Record(m_hDC, op);
}

void CDC::FillSolidRect(LPCRECT rect, COLORREF color) {
    if (!rect) return;
    DrawOp op = Op(m_hDC, DrawKind::FillRect);
    op.rect = *rect;
    op.brush = BrushInfo{BS_SOLID, color, 0};
    op.nullBrush = false;
    Record(m_hDC, op);
    SetBkColor(color);
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF color) {
    RECT r{x, y, x + cx, y + cy};
    FillSolidRect(&r, color);
}

void CDC::FrameRect(LPCRECT rect, CBrush* brush) {
    if (!rect) return;
    DrawOp op = Op(m_hDC, DrawKind::FrameRect);
    op.rect = *rect;
    if (brush)
        if (Object* b = FindObject(brush->m_hObject)) op.brush = b->brush;
    Record(m_hDC, op);
}

void CDC::Draw3dRect(LPCRECT rect, COLORREF topLeft, COLORREF bottomRight) {
    if (!rect) return;
    FillSolidRect(rect->left, rect->top, rect->right - rect->left - 1, 1, topLeft);
    FillSolidRect(rect->left, rect->top, 1, rect->bottom - rect->top - 1, topLeft);
    FillSolidRect(rect->right - 1, rect->top, 1, rect->bottom - rect->top, bottomRight);
    FillSolidRect(rect->left, rect->bottom - 1, rect->right - rect->left, 1, bottomRight);
}

namespace {
void RegionOp(HDC dc, DrawKind kind, CRgn* region, CBrush* brush, SIZE frame) {
    if (!region) return;
    DrawOp op = Op(dc, kind);
    for (const auto& s : orv::win::RegionShapes(*region)) op.rects.push_back(s.rect);
    GetRgnBox(*region, &op.rect);
    if (brush)
        if (Object* b = FindObject(brush->m_hObject)) op.brush = b->brush;
    op.size = frame;
    op.image = reinterpret_cast<UINT_PTR>(region->m_hObject);
    Record(dc, op);
}
}  // namespace

BOOL CDC::FillRgn(CRgn* region, CBrush* brush) {
    RegionOp(m_hDC, DrawKind::FillRegion, region, brush, SIZE{});
    return region != nullptr;
}

BOOL CDC::FrameRgn(CRgn* region, CBrush* brush, int width, int height) {
    RegionOp(m_hDC, DrawKind::FrameRegion, region, brush, SIZE{width, height});
    return region != nullptr;
}

BOOL CDC::PaintRgn(CRgn* region) {
    RegionOp(m_hDC, DrawKind::FillRegion, region, nullptr, SIZE{});
    return region != nullptr;
}

COLORREF CDC::SetPixel(int x, int y, COLORREF color) {
    DrawOp op = Op(m_hDC, DrawKind::Pixel);
    op.points = {POINT{x, y}};
    op.textColor = color;
    Record(m_hDC, op);
    return color;
}

BOOL CDC::TextOut(int x, int y, LPCTSTR text, int count) {
    DrawOp op = Op(m_hDC, DrawKind::Text);
    op.points = {POINT{x, y}};
    op.text = text ? std::wstring(text, size_t(std::max(0, count))) : L"";
    Record(m_hDC, op);
    return TRUE;
}

BOOL CDC::ExtTextOut(int x, int y, UINT, LPCRECT rect, LPCTSTR text, UINT count, LPINT) {
    DrawOp op = Op(m_hDC, DrawKind::Text);
    op.points = {POINT{x, y}};
    if (rect) op.rect = *rect;
    op.text = text ? std::wstring(text, count) : L"";
    Record(m_hDC, op);
    return TRUE;
}

int CDC::DrawText(LPCTSTR text, int count, LPRECT rect, UINT format) {
    if (!rect) return 0;
    std::wstring s = text ? (count < 0 ? std::wstring(text) : std::wstring(text, size_t(count))) : L"";
    DCState* st = FindDC(m_hDC);
    FontInfo f = st ? FontOf(st->font) : FontInfo{};
    bool prefix = !(format & DT_NOPREFIX);
    std::vector<std::wstring> lines;
    if (format & DT_SINGLELINE) {
        std::wstring one;
        for (wchar_t c : s)
            if (c != L'\r' && c != L'\n') one += c;
        lines = {one};
    } else if (format & DT_WORDBREAK) {
        lines = Wrap(s, rect->right - rect->left, f, prefix);
    } else {
        lines = Lines(s);
    }
    int width = 0;
    for (const auto& l : lines) width = std::max(width, Width(l, f, prefix));
    int height = int(lines.size()) * LineHeight(f);
    if (format & DT_CALCRECT) {
        rect->right = rect->left + width;
        rect->bottom = rect->top + height;
        return height;
    }
    DrawOp op = Op(m_hDC, DrawKind::Text);
    op.rect = *rect;
    op.text = s;
    op.format = format;
    op.points = {POINT{rect->left, rect->top}};
    Record(m_hDC, op);
    return height;
}

CSize CDC::GetTextExtent(LPCTSTR text, int count) const {
    DCState* s = FindDC(m_hDC);
    FontInfo f = s ? FontOf(s->font) : FontInfo{};
    std::wstring t = text ? std::wstring(text, size_t(std::max(0, count))) : L"";
    return CSize(Width(t, f, false), LineHeight(f));
}

BOOL CDC::GetTextMetrics(TEXTMETRIC* metrics) const {
    if (!metrics) return FALSE;
    DCState* s = FindDC(m_hDC);
    FontInfo f = s ? FontOf(s->font) : FontInfo{};
    metrics->tmHeight = LineHeight(f);
    metrics->tmAscent = metrics->tmHeight * 4 / 5;
    metrics->tmDescent = metrics->tmHeight - metrics->tmAscent;
    metrics->tmAveCharWidth = CharWidth(f);
    metrics->tmMaxCharWidth = CharWidth(f) * 2;
    metrics->tmWeight = f.weight;
    return TRUE;
}

BOOL CDC::BitBlt(int x, int y, int cx, int cy, CDC* source, int sx, int sy, DWORD rop) {
    return StretchBlt(x, y, cx, cy, source, sx, sy, cx, cy, rop);
}

BOOL CDC::StretchBlt(int x, int y, int cx, int cy, CDC* source, int sx, int sy, int scx, int scy, DWORD rop) {
    DrawOp op = Op(m_hDC, DrawKind::Bitmap);
    op.rect = RECT{x, y, x + cx, y + cy};
    op.points = {POINT{sx, sy}};
    op.size = SIZE{scx, scy};
    op.rop = rop;
    if (source)
        if (DCState* s = FindDC(source->m_hDC)) op.image = reinterpret_cast<UINT_PTR>(s->bitmap);
    // The pixels are copied now: the source bitmap may change or be deleted before this is shown.
    if (const DisplayList* drawing = op.image ? BitmapDisplayList(reinterpret_cast<HBITMAP>(op.image)) : nullptr)
        op.source = std::make_shared<const DisplayList>(*drawing);
    if (DCState* s = FindDC(m_hDC)) op.format = UINT(s->stretch);
    Record(m_hDC, op);
    return TRUE;
}

BOOL CDC::DrawIcon(int x, int y, HICON icon) { return DrawIconEx(x, y, icon, 32, 32, 0, nullptr, DI_NORMAL); }

BOOL CDC::DrawIconEx(int x, int y, HICON icon, int cx, int cy, UINT, HBRUSH, UINT) {
    if (!icon) return FALSE;
    DrawOp op = Op(m_hDC, DrawKind::Icon);
    op.rect = RECT{x, y, x + (cx ? cx : 32), y + (cy ? cy : 32)};
    op.image = reinterpret_cast<UINT_PTR>(icon);
    Record(m_hDC, op);
    return TRUE;
}

BOOL CDC::DrawFrameControl(LPRECT rect, UINT type, UINT state) {
    if (!rect) return FALSE;
    DrawOp op = Op(m_hDC, DrawKind::FrameRect);
    op.rect = *rect;
    op.format = (type << 16) | (state & 0xFFFF);
    Record(m_hDC, op);
    return TRUE;
}

CPaintDC::CPaintDC(CWnd* wnd) : hwnd_(wnd ? wnd->m_hWnd : nullptr) {
    Attach(BeginPaint(hwnd_, &m_ps));
}
CPaintDC::~CPaintDC() {
    ::EndPaint(hwnd_, &m_ps);
    Detach();
}
CClientDC::CClientDC(CWnd* wnd) : hwnd_(wnd ? wnd->m_hWnd : nullptr) { Attach(::GetDC(hwnd_)); }
CClientDC::~CClientDC() {
    ::ReleaseDC(hwnd_, m_hDC);
    Detach();
}
CWindowDC::CWindowDC(CWnd* wnd) : hwnd_(wnd ? wnd->m_hWnd : nullptr) { Attach(NewDC(hwnd_, false, true)); }
CWindowDC::~CWindowDC() {
    ::ReleaseDC(hwnd_, m_hDC);
    Detach();
}

// ---- image lists ----

CImageList::~CImageList() {
    if (owned_) DeleteImageList();
}

BOOL CImageList::Create(int cx, int cy, UINT flags, int, int) {
    if (m_hImageList) return FALSE;
    UINT_PTR h = NewHandle();
    G().imageLists[h] = ImageList{cx, cy, flags, {}, {}};
    m_hImageList = reinterpret_cast<HIMAGELIST>(h);
    owned_ = true;
    return TRUE;
}

BOOL CImageList::DeleteImageList() {
    if (!m_hImageList) return FALSE;
    auto it = G().imageLists.find(reinterpret_cast<UINT_PTR>(m_hImageList));
    if (it != G().imageLists.end()) {
        for (UINT_PTR bitmap : it->second.bitmaps) G().objects.erase(bitmap);
        G().imageLists.erase(it);
    }
    m_hImageList = nullptr;
    owned_ = false;
    return TRUE;
}

namespace {
ImageList* ListOf(HIMAGELIST h) {
    auto it = G().imageLists.find(reinterpret_cast<UINT_PTR>(h));
    return it == G().imageLists.end() ? nullptr : &it->second;
}
}  // namespace

int CImageList::Add(HICON icon) {
    ImageList* l = ListOf(m_hImageList);
    if (!l || !icon) return -1;
    l->images.push_back(ImageListEntry{reinterpret_cast<UINT_PTR>(icon), 0, CLR_NONE});
    return int(l->images.size()) - 1;
}

int CImageList::Add(CBitmap* bitmap, CBitmap*) { return Add(bitmap, CLR_NONE); }

int CImageList::Add(CBitmap* bitmap, COLORREF mask) {
    ImageList* l = ListOf(m_hImageList);
    Object* o = bitmap ? FindObject(bitmap->m_hObject) : nullptr;
    if (!l || !o || o->kind != Kind::Bitmap || l->cx <= 0) return -1;
    // A strip wider than the list's images holds one image per width, left to right (a
    // narrower bitmap is one image). The list keeps a copy of the pixels.
    const int count = std::max(1, o->cx / l->cx);
    const UINT_PTR copy = reinterpret_cast<UINT_PTR>(Make(*o));
    l->bitmaps.push_back(copy);
    const int first = int(l->images.size());
    for (int i = 0; i < count; ++i) l->images.push_back(ImageListEntry{copy, LONG(i * l->cx), mask});
    return first;
}

BOOL CImageList::Replace(int index, HICON icon) {
    ImageList* l = ListOf(m_hImageList);
    if (!l) return FALSE;
    if (index == -1) return Add(icon) >= 0;
    if (index < 0 || index >= int(l->images.size())) return FALSE;
    l->images[size_t(index)] = ImageListEntry{reinterpret_cast<UINT_PTR>(icon), 0, CLR_NONE};
    return TRUE;
}

BOOL CImageList::Remove(int index) {
    ImageList* l = ListOf(m_hImageList);
    if (!l) return FALSE;
    if (index == -1) {
        l->images.clear();
        return TRUE;
    }
    if (index < 0 || index >= int(l->images.size())) return FALSE;
    l->images.erase(l->images.begin() + index);
    return TRUE;
}

int CImageList::GetImageCount() const {
    ImageList* l = ListOf(m_hImageList);
    return l ? int(l->images.size()) : 0;
}

BOOL CImageList::GetImageSize(int& cx, int& cy) const {
    ImageList* l = ListOf(m_hImageList);
    if (!l) return FALSE;
    cx = l->cx, cy = l->cy;
    return TRUE;
}

HICON CImageList::ExtractIcon(int index) {
    ImageList* l = ListOf(m_hImageList);
    if (!l || index < 0 || index >= int(l->images.size())) return nullptr;
    return CopyIcon(reinterpret_cast<HICON>(l->images[size_t(index)].handle));
}

BOOL CImageList::Draw(CDC* dc, int index, POINT at, UINT style) {
    ImageList* l = ListOf(m_hImageList);
    if (!l || !dc || index < 0 || index >= int(l->images.size())) return FALSE;
    const ImageListEntry& image = l->images[size_t(index)];
    const DisplayList* drawing = BitmapDisplayList(reinterpret_cast<HBITMAP>(image.handle));
    // An icon is drawn whole; a bitmap image is its slice of the bitmap, as a copy of pixels.
    DrawOp op = Op(dc->m_hDC, drawing ? DrawKind::Bitmap : DrawKind::Icon);
    op.rect = RECT{at.x, at.y, at.x + l->cx, at.y + l->cy};
    op.image = image.handle;
    if (drawing) {
        op.points = {POINT{image.offset, 0}};
        op.size = SIZE{l->cx, l->cy};
        op.rop = SRCCOPY;
        op.source = std::make_shared<const DisplayList>(*drawing);
        // A masked list leaves its mask colour out, unless asked for the image as it is.
        if ((l->flags & ILC_MASK) && !(style & ILD_IMAGE)) op.transparent = image.transparent;
    }
    Record(dc->m_hDC, op);
    return TRUE;
}

CImageList* CImageList::FromHandle(HIMAGELIST list) {
    if (!list) return nullptr;
    UINT_PTR key = reinterpret_cast<UINT_PTR>(list);
    auto& wrappers = G().listWrappers;
    auto it = wrappers.find(key);
    if (it != wrappers.end()) return it->second.get();
    auto w = std::make_unique<CImageList>();
    w->m_hImageList = list;
    CImageList* raw = w.get();
    wrappers[key] = std::move(w);
    return raw;
}

HIMAGELIST CImageList::Detach() {
    HIMAGELIST h = m_hImageList;
    m_hImageList = nullptr;
    owned_ = false;
    return h;
}

BOOL CImageList::Attach(HIMAGELIST list) {
    if (m_hImageList || !list) return FALSE;
    m_hImageList = list;
    owned_ = true;
    return TRUE;
}
