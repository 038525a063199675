#pragma once
// IMViewControl<V>: a control joined with its view. The control answers the view's
// rectangle and dirty-flag operations itself, whichever side calls them, so a change of the
// view (a move, a new texture size) reaches SetDirty(), which fires sigDirty and lets the
// parent re-evaluate the child under the mouse.

#include "framework/Control.h"

template <class V>
class IMViewControl : public IMControl, public V {
public:
    explicit IMViewControl(IMDialog* parent, int layer = 0) : IMControl(parent, layer) { }

    using V::HitTest;

    long Disable() override
    {
        IMControl::Disable();
        return SetDirty(true);
    }
    long Enable() override
    {
        IMControl::Enable();
        return SetDirty(true);
    }
    long Hide() override
    {
        IMControl::Hide();
        return SetDirty(true);
    }
    long Show() override
    {
        IMControl::Show();
        return SetDirty(true);
    }

    // The view's flag, then the control's behaviour (sigDirty, the parent's hover update).
    long SetDirty(bool on) override
    {
        this->dirty = on;
        return IMControl::SetDirty(on);
    }
    bool IsDirty() const override { return this->dirty; }

    // False when hidden; otherwise the view's test (rectangle, or texels for texture views).
    bool HitTest(int x, int y) const override
    {
        if (hidden)
            return false;
        return V::HitTest(POINT { x, y });
    }

    // Stores a rectangle that differs from the current one and marks the control dirty.
    long SetRect(const RECT& r) override
    {
        if (EqualRect(r, this->rect))
            return 0;
        this->rect = r;
        return SetDirty(true);
    }
    RECT GetRect() const override { return this->rect; }

    // The view draws itself when the control is shown and has a parent.
    long Draw() override
    {
        if (!hidden && parent)
            V::Draw();
        return SetDirty(false);
    }
};
