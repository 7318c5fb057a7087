#pragma once

#include <cstdint>

// Small value types for graph geometry and colours, shared by the model and the views.

struct CPoint {
    int x = 0;
    int y = 0;
    constexpr CPoint() = default;
    constexpr CPoint(int px, int py) : x(px), y(py) {}
    constexpr bool operator==(const CPoint& o) const { return x == o.x && y == o.y; }
    constexpr bool operator!=(const CPoint& o) const { return !(*this == o); }
};

struct CRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    constexpr CRect() = default;
    constexpr CRect(int l, int t, int r, int b) : left(l), top(t), right(r), bottom(b) {}
    constexpr int Width() const { return right - left; }
    constexpr int Height() const { return bottom - top; }
    constexpr bool IsRectEmpty() const { return right <= left || bottom <= top; }
    constexpr bool PtInRect(CPoint p) const {
        return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
    }
    constexpr CPoint CenterPoint() const { return {(left + right) / 2, (top + bottom) / 2}; }
    constexpr bool operator==(const CRect& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
    constexpr bool operator!=(const CRect& o) const { return !(*this == o); }
};

// Colour as 0x00BBGGRR, the layout the stored colours use.
using COLORREF = std::uint32_t;

constexpr COLORREF RGB(unsigned r, unsigned g, unsigned b) {
    return static_cast<COLORREF>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr unsigned GetRValue(COLORREF c) {
    return c & 0xFF;
}
constexpr unsigned GetGValue(COLORREF c) {
    return (c >> 8) & 0xFF;
}
constexpr unsigned GetBValue(COLORREF c) {
    return (c >> 16) & 0xFF;
}
