#include "framework/Control.h"

#include "framework/Dialog.h"
#include "framework/Messages.h"

IMControl::IMControl(IMDialog* parent, int layer) : parent(parent)
{
    if (parent)
        parent->AddChild(this, layer);
}

IMControl::~IMControl() = default;

long IMControl::Reserved() { return 0; }

long IMControl::SetFocus(bool on)
{
    if (!focusable || on == focused)
        return 0;
    if (on)
        OnFocusGained(IMEvent(this, IM_FOCUS_GAINED));
    else
        OnFocusLost(IMEvent(this, IM_FOCUS_LOST));
    return 0;
}

long IMControl::Disable()
{
    FireSignal(sigDisabled, IMEvent(this, IM_STATE_CHANGE));
    enabled = false;
    return 0;
}

long IMControl::Enable()
{
    FireSignal(sigEnabled, IMEvent(this, IM_STATE_CHANGE));
    enabled = true;
    return 0;
}

long IMControl::Hide()
{
    FireSignal(sigHidden, IMEvent(this, IM_STATE_CHANGE));
    hidden = true;
    return 0;
}

long IMControl::Show()
{
    FireSignal(sigShown, IMEvent(this, IM_STATE_CHANGE));
    hidden = false;
    return 0;
}

long IMControl::Close()
{
    const IMEvent event(this, WM_CLOSE);
    FireSignal(sigClosed, event);
    return Destroy(event);
}

long IMControl::SetDirty(bool dirty)
{
    if (!dirty)
        return 0;
    FireSignal(sigDirty, IMEvent(this, IM_STATE_CHANGE));
    // A control that moved, appeared or vanished under a still mouse gets its enter or leave.
    if (parent)
        parent->UpdateHover(IMMouseEvent(this, WM_MOUSEMOVE, 0, parent->lastMouseX, parent->lastMouseY));
    return 0;
}

bool IMControl::IsFocusable() const { return focusable; }

long IMControl::SetFocusable(bool on)
{
    focusable = on;
    return 0;
}

bool IMControl::IsEnabled() const { return enabled; }
bool IMControl::IsHidden() const { return hidden; }
bool IMControl::IsMouseOver() const { return mouseOver; }
bool IMControl::IsButtonHeld() const { return buttonHeld; }
bool IMControl::IsFocused() const { return focused; }

long IMControl::OnMouseMove(const IMMouseEvent& event)
{
    IMMouseEvent own(event);
    own.sender = this;
    FireSignal(sigMouseMove, own);
    return 0;
}

namespace {

// The click code for a button-up message, or 0 for any other message.
uint32_t ClickCodeFor(const IMMouseEvent& event)
{
    if (event.Is(WM_LBUTTONUP))
        return IM_LEFT_CLICK;
    if (event.Is(WM_RBUTTONUP))
        return IM_RIGHT_CLICK;
    if (event.Is(WM_MBUTTONUP))
        return IM_MIDDLE_CLICK;
    return 0;
}

// Whether a button message leaves a mouse button down. For the wheel, the key-state word
// must name exactly one button.
bool ButtonDownAfter(const IMMouseEvent& event)
{
    if (event.Is(WM_MOUSEWHEEL)) {
        const uint32_t keys = event.wParam & 0xFFFFu;
        return keys == MK_LBUTTON || keys == MK_RBUTTON || keys == MK_MBUTTON;
    }
    return (event.wParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) != 0;
}

}

long IMControl::OnMouseButton(const IMMouseEvent& event)
{
    if (const uint32_t code = ClickCodeFor(event); code != 0 && buttonHeld) {
        const IMMouseEvent click(this, code, event.wParam, event.x, event.y);
        if (enabled)
            FireSignal(sigClick, click);
    }
    buttonHeld = ButtonDownAfter(event);
    IMMouseEvent own(event);
    own.sender = this;
    if (enabled)
        FireSignal(sigMouseButton, own);
    if (event.Is(WM_LBUTTONDBLCLK) && enabled)
        FireSignal(sigDoubleClick, own);
    return 0;
}

long IMControl::OnClick(const IMMouseEvent& event)
{
    IMMouseEvent own(event);
    own.sender = this;
    FireSignal(sigClick, own);
    return 0;
}

long IMControl::OnMouseEnter(const IMMouseEvent& event)
{
    mouseOver = true;
    IMMouseEvent own(event);
    own.sender = this;
    FireSignal(sigMouseEnter, own);
    return 0;
}

long IMControl::OnMouseLeave(const IMMouseEvent& event)
{
    mouseOver = false;
    IMMouseEvent own(event);
    own.sender = this;
    FireSignal(sigMouseLeave, own);
    return 0;
}

long IMControl::OnKey(const IMKeyboardEvent& event)
{
    IMKeyboardEvent own(event);
    own.sender = this;
    if (event.Is(WM_KEYDOWN) || event.Is(WM_SYSKEYDOWN))
        FireSignal(sigKeyDown, own);
    if (event.Is(WM_KEYUP) || event.Is(WM_SYSKEYUP))
        FireSignal(sigKeyUp, own);
    FireSignal(sigKey, own);
    return 0;
}

long IMControl::Paint(const IMEvent&)
{
    Draw();
    SetDirty(false);
    FireSignal(sigPaint, IMEvent(this, WM_PAINT));
    return 0;
}

long IMControl::Update(const IMEvent&)
{
    OnFrame();
    FireSignal(sigUpdate, IMEvent(this, WM_CLOSE));
    return 0;
}

long IMControl::Destroy(const IMEvent&) { return Release(); }

long IMControl::OnFocusGained(const IMEvent&)
{
    if (!focusable)
        return 0;
    focused = true;
    FireSignal(sigFocusGained, IMEvent(this, IM_FOCUS_GAINED));
    return 0;
}

long IMControl::OnFocusLost(const IMEvent&)
{
    if (!focusable)
        return 0;
    focused = false;
    FireSignal(sigFocusLost, IMEvent(this, IM_FOCUS_LOST));
    return 0;
}

long IMControl::Release()
{
    // The focus signals keep their handlers: the parent's focus handler stays connected
    // until the control is deleted.
    sigPaint.disconnect_all_slots();
    sigClosed.disconnect_all_slots();
    sigUpdate.disconnect_all_slots();
    sigDisabled.disconnect_all_slots();
    sigEnabled.disconnect_all_slots();
    sigHidden.disconnect_all_slots();
    sigShown.disconnect_all_slots();
    sigDirty.disconnect_all_slots();
    sigMouseMove.disconnect_all_slots();
    sigMouseButton.disconnect_all_slots();
    sigClick.disconnect_all_slots();
    sigMouseEnter.disconnect_all_slots();
    sigMouseLeave.disconnect_all_slots();
    sigDoubleClick.disconnect_all_slots();
    sigKey.disconnect_all_slots();
    sigKeyDown.disconnect_all_slots();
    sigKeyUp.disconnect_all_slots();
    // A still pending control is deleted by this call: nothing may touch it afterwards.
    if (parent)
        parent->RemoveChild(this);
    return 0;
}

long IMControl::OnFrame() { return 0; }
