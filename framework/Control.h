#pragma once
// IMControl: the base of every control in the tree. It keeps the state flags, the owning
// dialog and the nineteen signals, and declares the operations for input, painting, the
// per-frame update and release. The virtual operations are declared in a fixed order that
// derived classes rely on; new operations of subclasses go after OnFrame().
//
// Lifetime: a control is created with new under its parent (it becomes a pending child of
// it) and is never deleted by application code; Close(), Destroy() or Release() queue it in
// the parent, which deletes it at its next update.

#include "framework/Event.h"
#include "framework/Forward.h"
#include "framework/Signal.h"
#include "framework/Types.h"

#include <boost/signals2/trackable.hpp>

class IMControl : public boost::signals2::trackable {
public:
    // Becomes a pending child of `parent` on `layer` (higher layers lie on top); a null
    // parent makes a root.
    explicit IMControl(IMDialog* parent, int layer = 0);
    IMControl(const IMControl&) = delete;
    IMControl& operator=(const IMControl&) = delete;

    // 0. Destroys the signals; does not detach from the parent.
    virtual ~IMControl();
    // 1. Does nothing.
    virtual long Reserved();
    // 2. Gains or loses the focus (messages 17 / 18) when focusable and the state changes.
    virtual long SetFocus(bool on);
    // 3-6. Fire sigDisabled / sigEnabled / sigHidden / sigShown, then change the flag.
    virtual long Disable();
    virtual long Enable();
    virtual long Hide();
    virtual long Show();
    // 7. Fires sigClosed (message 16), then Destroy() with that event.
    virtual long Close();
    // 8. true: fires sigDirty and lets the parent re-evaluate the child under the mouse.
    virtual long SetDirty(bool dirty);
    // 9. Whether a frame must be drawn for this control (or, for dialogs, its subtree).
    virtual bool IsDirty() const = 0;
    // 10-16. State queries and the focusable switch.
    virtual bool IsFocusable() const;
    virtual long SetFocusable(bool on);
    virtual bool IsEnabled() const;
    virtual bool IsHidden() const;
    virtual bool IsMouseOver() const;
    virtual bool IsButtonHeld() const;
    virtual bool IsFocused() const;
    // 17. Whether the point (in the parent's coordinates) hits this control.
    virtual bool HitTest(int x, int y) const = 0;
    // 18. Fires sigMouseMove, enabled or not.
    virtual long OnMouseMove(const IMMouseEvent& event);
    // 19. Click synthesis, buttonHeld, sigMouseButton and sigDoubleClick.
    virtual long OnMouseButton(const IMMouseEvent& event);
    // 20. Fires sigClick with the event, enabled or not.
    virtual long OnClick(const IMMouseEvent& event);
    // 21-22. Set / clear mouseOver, then fire sigMouseEnter / sigMouseLeave.
    virtual long OnMouseEnter(const IMMouseEvent& event);
    virtual long OnMouseLeave(const IMMouseEvent& event);
    // 23. Fires sigKeyDown or sigKeyUp as the message says, then sigKey.
    virtual long OnKey(const IMKeyboardEvent& event);
    // 24. Draw(), SetDirty(false), sigPaint (message 15).
    virtual long Paint(const IMEvent& event);
    // 25. OnFrame(), then sigUpdate (message 16).
    virtual long Update(const IMEvent& event);
    // 26. Release().
    virtual long Destroy(const IMEvent& event);
    // 27-28. When focusable: set / clear focused, fire sigFocusGained / sigFocusLost.
    virtual long OnFocusGained(const IMEvent& event);
    virtual long OnFocusLost(const IMEvent& event);
    // 29-30. The rectangle in the parent's coordinates.
    virtual long SetRect(const RECT& rect) = 0;
    virtual RECT GetRect() const = 0;
    // 31. Disconnects every handler except the focus ones and queues this control for
    // deletion in its parent. Safe to call more than once.
    virtual long Release();
    // 32. Draws the control's look.
    virtual long Draw() = 0;
    // 33. Per-frame hook run by Update(); does nothing here.
    virtual long OnFrame();

    // The dialog that owns this control; null only for the main window.
    IMDialog* parent { nullptr };

    IMEventSignal sigPaint;
    IMEventSignal sigClosed;
    IMEventSignal sigUpdate;
    IMEventSignal sigDisabled;
    IMEventSignal sigEnabled;
    IMEventSignal sigHidden;
    IMEventSignal sigShown;
    IMEventSignal sigDirty;
    IMEventSignal sigFocusGained;
    IMEventSignal sigFocusLost;
    IMMouseSignal sigMouseMove;
    IMMouseSignal sigMouseButton;
    IMMouseSignal sigClick;
    IMMouseSignal sigMouseEnter;
    IMMouseSignal sigMouseLeave;
    IMMouseSignal sigDoubleClick;
    IMKeyboardSignal sigKey;
    IMKeyboardSignal sigKeyDown;
    IMKeyboardSignal sigKeyUp;

protected:
    bool mouseOver { false };
    bool buttonHeld { false };
    bool enabled { true };
    bool hidden { false };
    bool focused { false };
    bool focusable { false };
};
