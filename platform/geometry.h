// Integer geometry with the conventions that the design model was written
// for: rectangles are half-open (right and bottom lie outside), y grows
// downwards, and an "empty" rectangle has a width or height of zero or less.
#pragma once

#include <algorithm>
#include <cstdint>

struct CSize;

struct CPoint {
    int x = 0;
    int y = 0;
    constexpr CPoint() = default;
    constexpr CPoint(int x_, int y_) : x(x_), y(y_) {}
    inline constexpr CPoint(const CSize& s);
    constexpr void Offset(int dx, int dy) { x += dx; y += dy; }
    constexpr bool operator==(const CPoint&) const = default;
    constexpr CPoint operator+(const CPoint& o) const { return {x + o.x, y + o.y}; }
    constexpr CPoint operator-(const CPoint& o) const { return {x - o.x, y - o.y}; }
    constexpr CPoint operator-() const { return {-x, -y}; }
    constexpr CPoint& operator+=(const CPoint& o) { x += o.x; y += o.y; return *this; }
    constexpr CPoint& operator-=(const CPoint& o) { x -= o.x; y -= o.y; return *this; }
};

struct CSize {
    int cx = 0;
    int cy = 0;
    constexpr CSize() = default;
    constexpr CSize(int cx_, int cy_) : cx(cx_), cy(cy_) {}
    constexpr bool operator==(const CSize&) const = default;
    constexpr CSize operator+(const CSize& o) const { return {cx + o.cx, cy + o.cy}; }
    constexpr CSize operator-(const CSize& o) const { return {cx - o.cx, cy - o.cy}; }
};

constexpr CPoint::CPoint(const CSize& s) : x(s.cx), y(s.cy) {}

struct CRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    constexpr CRect() = default;
    constexpr CRect(int l, int t, int r, int b) : left(l), top(t), right(r), bottom(b) {}
    constexpr CRect(CPoint tl, CPoint br) : left(tl.x), top(tl.y), right(br.x), bottom(br.y) {}
    constexpr CRect(CPoint tl, CSize s) : left(tl.x), top(tl.y), right(tl.x + s.cx), bottom(tl.y + s.cy) {}

    constexpr int Width() const { return right - left; }
    constexpr int Height() const { return bottom - top; }
    constexpr CSize Size() const { return {Width(), Height()}; }
    constexpr CPoint TopLeft() const { return {left, top}; }
    constexpr CPoint BottomRight() const { return {right, bottom}; }
    // Integer centre, rounding towards zero like the class library.
    constexpr CPoint CenterPoint() const { return {(left + right) / 2, (top + bottom) / 2}; }

    constexpr bool IsRectEmpty() const { return Width() <= 0 || Height() <= 0; }
    constexpr bool IsRectNull() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
    // Half-open: the right and bottom edges are outside.
    constexpr bool PtInRect(CPoint p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }

    constexpr void SetRect(int l, int t, int r, int b) { left = l; top = t; right = r; bottom = b; }
    constexpr void SetRectEmpty() { left = top = right = bottom = 0; }
    constexpr void OffsetRect(int dx, int dy) { left += dx; right += dx; top += dy; bottom += dy; }
    constexpr void OffsetRect(CPoint p) { OffsetRect(p.x, p.y); }
    constexpr void OffsetRect(CSize s) { OffsetRect(s.cx, s.cy); }
    constexpr void InflateRect(int dx, int dy) { left -= dx; right += dx; top -= dy; bottom += dy; }
    constexpr void InflateRect(int l, int t, int r, int b) { left -= l; top -= t; right += r; bottom += b; }
    constexpr void DeflateRect(int dx, int dy) { InflateRect(-dx, -dy); }
    constexpr void NormalizeRect()
    {
        if (left > right) std::swap(left, right);
        if (top > bottom) std::swap(top, bottom);
    }
    // Intersection; an empty result becomes the null rectangle and false.
    constexpr bool IntersectRect(const CRect& a, const CRect& b)
    {
        CRect r(std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                std::min(a.bottom, b.bottom));
        if (r.IsRectEmpty()) { SetRectEmpty(); return false; }
        *this = r;
        return true;
    }
    // Union; an empty operand is ignored, two empty ones give the null rectangle.
    constexpr bool UnionRect(const CRect& a, const CRect& b)
    {
        if (a.IsRectEmpty()) { if (b.IsRectEmpty()) { SetRectEmpty(); return false; } *this = b; return true; }
        if (b.IsRectEmpty()) { *this = a; return true; }
        SetRect(std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom));
        return true;
    }
    constexpr bool operator==(const CRect&) const = default;
};
