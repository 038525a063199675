#pragma once
// IMView: the visual half of a leaf control. It holds the control's rectangle (in the
// parent's coordinates), a source rectangle (the part of an image to draw, or a text's
// extent) and a dirty flag, and knows how to draw itself and test a point. IMEmptyView draws
// nothing; dialogs use it.
//
// SetRect, GetRect, Draw, IsDirty and SetDirty have the signatures of the IMControl
// operations of the same names, so that IMViewControl<V> answers both sides with one
// override and a view change reaches the control.

#include "framework/Types.h"

class IMView {
public:
    IMView() = default;
    IMView(const IMView&) = delete;
    IMView& operator=(const IMView&) = delete;

    virtual ~IMView() = default;
    // Stores a rectangle that differs from the current one and marks the view dirty.
    virtual long SetRect(const RECT& r);
    virtual RECT GetRect() const;
    // Stores a source rectangle that differs from the current one and marks the view dirty.
    virtual void SetSourceRect(const RECT& r);
    virtual RECT GetSourceRect() const;
    // Moves the top-left corner to the point, keeping the size.
    virtual void MoveTo(int x, int y);
    virtual void MoveTo(const POINT& point);
    virtual POINT GetPosition() const;
    // Keeps the top-left corner and sets the size.
    virtual void SetSize(int width, int height);
    virtual int GetHeight() const;
    virtual int GetWidth() const;
    virtual long Draw() = 0;
    // Whether the point (same space as the rectangle) hits the view; a rectangle test here.
    virtual bool HitTest(const POINT& point) const;
    virtual bool IsDirty() const;
    virtual long SetDirty(bool on);

protected:
    RECT rect {};
    RECT sourceRect {};
    bool dirty { false };
};

// The view of containers: it draws nothing.
class IMEmptyView : public IMView {
public:
    // Clears the dirty flag; nothing is drawn.
    long Draw() override;
};
