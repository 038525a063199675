#include "framework/View.h"

long IMView::SetRect(const RECT& r)
{
    if (EqualRect(r, rect))
        return 0;
    rect = r;
    SetDirty(true);
    return 0;
}

RECT IMView::GetRect() const { return rect; }

void IMView::SetSourceRect(const RECT& r)
{
    if (EqualRect(r, sourceRect))
        return;
    sourceRect = r;
    SetDirty(true);
}

RECT IMView::GetSourceRect() const { return sourceRect; }

void IMView::MoveTo(int x, int y) { MoveTo(POINT { x, y }); }

void IMView::MoveTo(const POINT& point)
{
    const RECT current = GetRect();
    SetRect(RECT { point.x, point.y, point.x + RectWidth(current), point.y + RectHeight(current) });
}

POINT IMView::GetPosition() const
{
    const RECT current = GetRect();
    return POINT { current.left, current.top };
}

void IMView::SetSize(int width, int height)
{
    const RECT current = GetRect();
    SetRect(RECT { current.left, current.top, current.left + width, current.top + height });
}

int IMView::GetHeight() const { return RectHeight(GetRect()); }

int IMView::GetWidth() const { return RectWidth(GetRect()); }

bool IMView::HitTest(const POINT& point) const { return PtInRect(GetRect(), point.x, point.y); }

bool IMView::IsDirty() const { return dirty; }

long IMView::SetDirty(bool on)
{
    dirty = on;
    return 0;
}

long IMEmptyView::Draw()
{
    dirty = false;
    return 0;
}
