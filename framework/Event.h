#pragma once
// Events: small value objects naming the control that sends them, a message code and, for
// input, the window message's parameters and the mouse position. Copied freely; handlers
// and the routing test the kind of an event only through Is().

#include "framework/Forward.h"

#include <cstdint>

class IMEvent {
public:
    IMEvent() = default;
    IMEvent(IMControl* sender, uint32_t message) : sender(sender), message(message) { }
    virtual ~IMEvent() = default;
    IMEvent(const IMEvent&) = default;
    IMEvent& operator=(const IMEvent&) = default;

    // True when this event carries `code`.
    virtual bool Is(uint32_t code) const { return message == code; }

    IMControl* sender { nullptr };
    uint32_t message { 0 };
};

// An event made from a window message: its wParam and lParam.
class IMWindowsEvent : public IMEvent {
public:
    IMWindowsEvent() = default;
    IMWindowsEvent(IMControl* sender, uint32_t message, uint32_t wParam, int32_t lParam)
        : IMEvent(sender, message), wParam(wParam), lParam(lParam)
    {
    }

    uint32_t wParam { 0 };
    int32_t lParam { 0 };
};

// A mouse event. x and y are in the coordinate space of the receiving control's parent (the
// space of its rectangle); wParam holds the MK_ button flags (or the wheel data); lParam is 0.
class IMMouseEvent : public IMWindowsEvent {
public:
    IMMouseEvent() = default;
    IMMouseEvent(IMControl* sender, uint32_t message, uint32_t wParam, int32_t x, int32_t y)
        : IMWindowsEvent(sender, message, wParam, 0), x(x), y(y)
    {
    }

    int32_t x { 0 };
    int32_t y { 0 };
};

// A keyboard event: wParam is the virtual-key code (the character code for WM_CHAR), lParam
// the key data of the window message.
class IMKeyboardEvent : public IMWindowsEvent {
public:
    IMKeyboardEvent() = default;
    IMKeyboardEvent(IMControl* sender, uint32_t message, uint32_t wParam, int32_t lParam)
        : IMWindowsEvent(sender, message, wParam, lParam)
    {
    }
};
