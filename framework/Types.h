#pragma once
// Geometry shared by the whole program: integer pixel rectangles and points with the
// semantics of the Win32 helpers they replace (right and bottom are exclusive).

#include <cstdint>

struct RECT {
    int32_t left { 0 };
    int32_t top { 0 };
    int32_t right { 0 };
    int32_t bottom { 0 };
    friend bool operator==(const RECT&, const RECT&) = default;
};

struct POINT {
    int32_t x { 0 };
    int32_t y { 0 };
    friend bool operator==(const POINT&, const POINT&) = default;
};

struct FLOATPOINT {
    float x { 0.0f };
    float y { 0.0f };
};

inline RECT MakeRect(int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    return RECT { left, top, right, bottom };
}

inline int32_t RectWidth(const RECT& r) { return r.right - r.left; }
inline int32_t RectHeight(const RECT& r) { return r.bottom - r.top; }

// True when the rectangle has no area (left >= right or top >= bottom).
inline bool IsRectEmpty(const RECT& r) { return r.left >= r.right || r.top >= r.bottom; }

inline bool EqualRect(const RECT& a, const RECT& b) { return a == b; }

// True when (x, y) lies inside r, right and bottom edges excluded.
inline bool PtInRect(const RECT& r, int32_t x, int32_t y)
{
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

// Intersection of a and b; an empty intersection is returned as (0, 0, 0, 0) with false.
inline bool IntersectRect(RECT& out, const RECT& a, const RECT& b)
{
    RECT r { a.left > b.left ? a.left : b.left, a.top > b.top ? a.top : b.top,
        a.right < b.right ? a.right : b.right, a.bottom < b.bottom ? a.bottom : b.bottom };
    if (IsRectEmpty(r)) {
        out = RECT {};
        return false;
    }
    out = r;
    return true;
}

inline RECT OffsetRect(const RECT& r, int32_t dx, int32_t dy)
{
    return RECT { r.left + dx, r.top + dy, r.right + dx, r.bottom + dy };
}
