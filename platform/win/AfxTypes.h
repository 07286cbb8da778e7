#pragma once
// The framework's point, size and rectangle classes.

#include <algorithm>

#include "platform/win/WinTypes.h"

class CSize : public SIZE {
public:
    CSize() = default;
    CSize(int cx_, int cy_) { cx = cx_, cy = cy_; }
    CSize(SIZE s) : SIZE(s) {}
    friend bool operator==(const CSize& a, const CSize& b) { return a.cx == b.cx && a.cy == b.cy; }
};

class CPoint : public POINT {
public:
    CPoint() = default;
    CPoint(int x_, int y_) { x = x_, y = y_; }
    CPoint(POINT p) : POINT(p) {}
    void Offset(int dx, int dy) { x += dx, y += dy; }
    void SetPoint(int x_, int y_) { x = x_, y = y_; }
    operator LPPOINT() { return this; }
    CPoint& operator+=(POINT p) { x += p.x, y += p.y; return *this; }
    CPoint& operator-=(POINT p) { x -= p.x, y -= p.y; return *this; }
    CPoint& operator+=(SIZE s) { x += s.cx, y += s.cy; return *this; }
    friend CPoint operator+(CPoint a, POINT b) { return a += b; }
    friend CPoint operator-(CPoint a, POINT b) { return a -= b; }
    friend CPoint operator+(CPoint a, SIZE b) { return a += b; }
    friend bool operator==(const CPoint& a, const CPoint& b) { return a.x == b.x && a.y == b.y; }
};

class CRect : public RECT {
public:
    CRect() = default;
    CRect(int l, int t, int r, int b) { left = l, top = t, right = r, bottom = b; }
    CRect(const RECT& r) : RECT(r) {}
    CRect(POINT p, SIZE s) { left = p.x, top = p.y, right = p.x + s.cx, bottom = p.y + s.cy; }
    CRect(POINT a, POINT b) { left = a.x, top = a.y, right = b.x, bottom = b.y; }
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    CSize Size() const { return CSize(Width(), Height()); }
    CPoint TopLeft() const { return CPoint(left, top); }
    CPoint BottomRight() const { return CPoint(right, bottom); }
    CPoint CenterPoint() const { return CPoint((left + right) / 2, (top + bottom) / 2); }
    bool IsRectEmpty() const { return right <= left || bottom <= top; }
    bool IsRectNull() const { return !left && !top && !right && !bottom; }
    BOOL PtInRect(POINT p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
    void SetRect(int l, int t, int r, int b) { left = l, top = t, right = r, bottom = b; }
    void SetRectEmpty() { left = top = right = bottom = 0; }
    void OffsetRect(int dx, int dy) { left += dx, right += dx, top += dy, bottom += dy; }
    void OffsetRect(POINT p) { OffsetRect(p.x, p.y); }
    void InflateRect(int dx, int dy) { left -= dx, right += dx, top -= dy, bottom += dy; }
    void InflateRect(int l, int t, int r, int b) { left -= l, top -= t, right += r, bottom += b; }
    void DeflateRect(int dx, int dy) { InflateRect(-dx, -dy); }
    void DeflateRect(int l, int t, int r, int b) { InflateRect(-l, -t, -r, -b); }
    void MoveToX(int x) { right = x + Width(), left = x; }
    void MoveToY(int y) { bottom = y + Height(), top = y; }
    void MoveToXY(int x, int y) { MoveToX(x), MoveToY(y); }
    void NormalizeRect() {
        if (left > right) std::swap(left, right);
        if (top > bottom) std::swap(top, bottom);
    }
    BOOL IntersectRect(LPCRECT a, LPCRECT b) {
        left = std::max(a->left, b->left), top = std::max(a->top, b->top);
        right = std::min(a->right, b->right), bottom = std::min(a->bottom, b->bottom);
        if (IsRectEmpty()) SetRectEmpty();
        return !IsRectEmpty();
    }
    BOOL UnionRect(LPCRECT a, LPCRECT b) {
        left = std::min(a->left, b->left), top = std::min(a->top, b->top);
        right = std::max(a->right, b->right), bottom = std::max(a->bottom, b->bottom);
        return !IsRectEmpty();
    }
    operator LPRECT() { return this; }
    operator LPCRECT() const { return this; }
    friend bool operator==(const CRect& a, const CRect& b) {
        return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
    }
};
