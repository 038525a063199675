#include "platform/Events.h"

#include "framework/Messages.h"
#include "platform/Clock.h"
#include "platform/Cursor.h"
#include "platform/Keyboard.h"
#include "platform/Text.h"

#include <SDL.h>

#include <cstdlib>
#include <cstring>

int32_t MakeMouseLParam(int x, int y)
{
    return static_cast<int32_t>((static_cast<uint32_t>(static_cast<uint16_t>(y)) << 16)
        | static_cast<uint16_t>(x));
}

int MouseLParamX(int32_t lParam) { return static_cast<int16_t>(static_cast<uint32_t>(lParam) & 0xFFFF); }

int MouseLParamY(int32_t lParam) { return static_cast<int16_t>(static_cast<uint32_t>(lParam) >> 16); }

void IMEventTranslator::SetCanvasMapper(std::function<POINT(int x, int y)> m) { mapper = std::move(m); }

void IMEventTranslator::SetResetHandler(std::function<void(bool deviceReset)> handler)
{
    onReset = std::move(handler);
}

POINT IMEventTranslator::ToCanvas(int x, int y) const { return mapper ? mapper(x, y) : POINT { x, y }; }

uint32_t IMEventTranslator::KeyStateFlags() const
{
    uint32_t flags = buttons;
    if (IsKeyDown(VK_SHIFT))
        flags |= MK_SHIFT;
    if (IsKeyDown(VK_CONTROL))
        flags |= MK_CONTROL;
    return flags;
}

void IMEventTranslator::Translate(const SDL_Event& event, std::vector<IMWindowMessage>& out)
{
    switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        if (ForThisWindow(event.key.windowID))
            TranslateKey(event, out);
        break;
    case SDL_TEXTINPUT: {
        if (!ForThisWindow(event.text.windowID))
            break;
        size_t length = strnlen(event.text.text, sizeof(event.text.text));
        for (wchar_t c : Utf8ToWide(std::string_view(event.text.text, length)))
            out.push_back(IMWindowMessage { WM_CHAR, static_cast<uint32_t>(c), 1 });
        break;
    }
    case SDL_MOUSEMOTION: {
        if (!ForThisWindow(event.motion.windowID))
            break;
        POINT p = ToCanvas(event.motion.x, event.motion.y);
        NoteCursorPosition(p);
        out.push_back(IMWindowMessage { WM_MOUSEMOVE, KeyStateFlags(), MakeMouseLParam(p.x, p.y) });
        break;
    }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        if (ForThisWindow(event.button.windowID))
            TranslateButton(event, out);
        break;
    case SDL_MOUSEWHEEL: {
        if (!ForThisWindow(event.wheel.windowID) || event.wheel.y == 0)
            break;
        int notches = event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.wheel.y : event.wheel.y;
        int delta = notches * 120;
        POINT p = ToCanvas(event.wheel.mouseX, event.wheel.mouseY);
        uint32_t wParam = (KeyStateFlags() & 0xFFFF) | (static_cast<uint32_t>(static_cast<uint16_t>(delta)) << 16);
        out.push_back(IMWindowMessage { WM_MOUSEWHEEL, wParam, MakeMouseLParam(p.x, p.y) });
        break;
    }
    case SDL_WINDOWEVENT:
        if (ForThisWindow(event.window.windowID))
            TranslateWindowEvent(event, out);
        break;
    case SDL_QUIT:
        out.push_back(IMWindowMessage { WM_CLOSE, 0, 0 });
        break;
    case SDL_RENDER_TARGETS_RESET:
    case SDL_RENDER_DEVICE_RESET:
        if (onReset)
            onReset(event.type == SDL_RENDER_DEVICE_RESET);
        out.push_back(IMWindowMessage { WM_PAINT, 0, 0 });
        break;
    default:
        break;
    }
}

void IMEventTranslator::TranslateKey(const SDL_Event& event, std::vector<IMWindowMessage>& out)
{
    const SDL_KeyboardEvent& k = event.key;
    bool down = k.type == SDL_KEYDOWN;
    IMKeyInfo key = KeyFromScancode(k.keysym.scancode, (k.keysym.mod & KMOD_NUM) != 0);
    if (key.virtualKey == 0)
        return;
    bool alt = (k.keysym.mod & KMOD_ALT) != 0 || key.virtualKey == VK_MENU;
    // Alt with Control (AltGr on many layouts) types characters: plain key messages.
    bool control = (k.keysym.mod & KMOD_CTRL) != 0;
    bool system = (alt && !control) || key.virtualKey == IM_VK_F10;
    uint32_t message = down ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
    bool wasDown = down ? k.repeat != 0 : true;
    // The context bit says Alt is held; the Alt key's own release no longer holds it.
    bool context = alt && !(key.virtualKey == VK_MENU && !down);
    int32_t data = MakeKeyData(1, key, context, wasDown, !down);
    RecordKeyMessage(message, key.virtualKey, data);
    out.push_back(IMWindowMessage { message, key.virtualKey, data });
    if (!down)
        return;
    if (alt && !control && key.virtualKey == IM_VK_F4 && k.repeat == 0) {
        out.push_back(IMWindowMessage { WM_CLOSE, 0, 0 });
        return;
    }
    if (alt)
        return;
    switch (key.virtualKey) {
    case VK_BACK:
    case VK_TAB:
    case VK_RETURN:
    case VK_ESCAPE:
        out.push_back(IMWindowMessage { WM_CHAR, key.virtualKey, data });
        break;
    default:
        break;
    }
}

void IMEventTranslator::TranslateButton(const SDL_Event& event, std::vector<IMWindowMessage>& out)
{
    const SDL_MouseButtonEvent& b = event.button;
    uint32_t flag;
    uint32_t downMessage;
    switch (b.button) {
    case SDL_BUTTON_LEFT:
        flag = MK_LBUTTON;
        downMessage = WM_LBUTTONDOWN;
        break;
    case SDL_BUTTON_RIGHT:
        flag = MK_RBUTTON;
        downMessage = WM_RBUTTONDOWN;
        break;
    case SDL_BUTTON_MIDDLE:
        flag = MK_MBUTTON;
        downMessage = WM_MBUTTONDOWN;
        break;
    default:
        return;
    }
    bool down = b.type == SDL_MOUSEBUTTONDOWN;
    POINT p = ToCanvas(b.x, b.y);
    NoteCursorPosition(p);
    if (!down) {
        buttons &= ~flag;
        out.push_back(IMWindowMessage { downMessage + 1, KeyStateFlags(), MakeMouseLParam(p.x, p.y) });
        return;
    }
    buttons |= flag;
    uint32_t now = GetClock().Milliseconds();
    bool doubleClick = clickArmed && clickButton == b.button && now - clickTime < kDoubleClickMs
        && std::abs(b.x - clickX) <= kDoubleClickSlop && std::abs(b.y - clickY) <= kDoubleClickSlop;
    if (doubleClick) {
        // A double click ends the sequence: the next press starts a new one.
        clickArmed = false;
        if (b.button == SDL_BUTTON_LEFT)
            out.push_back(IMWindowMessage { WM_LBUTTONDBLCLK, KeyStateFlags(), MakeMouseLParam(p.x, p.y) });
        // The second press of a right or middle double click is not passed on.
        return;
    }
    clickArmed = true;
    clickButton = b.button;
    clickTime = now;
    clickX = b.x;
    clickY = b.y;
    out.push_back(IMWindowMessage { downMessage, KeyStateFlags(), MakeMouseLParam(p.x, p.y) });
}

void IMEventTranslator::TranslateWindowEvent(const SDL_Event& event, std::vector<IMWindowMessage>& out)
{
    switch (event.window.event) {
    case SDL_WINDOWEVENT_CLOSE:
        out.push_back(IMWindowMessage { WM_CLOSE, 0, 0 });
        break;
    case SDL_WINDOWEVENT_MINIMIZED:
        out.push_back(IMWindowMessage { IM_WM_SIZE, IM_SIZE_MINIMIZED, 0 });
        break;
    case SDL_WINDOWEVENT_RESTORED:
    case SDL_WINDOWEVENT_MAXIMIZED:
        out.push_back(IMWindowMessage { IM_WM_SIZE, IM_SIZE_RESTORED, 0 });
        out.push_back(IMWindowMessage { WM_PAINT, 0, 0 });
        break;
    case SDL_WINDOWEVENT_HIDDEN:
        out.push_back(IMWindowMessage { IM_WM_SHOWWINDOW, 0, 0 });
        break;
    case SDL_WINDOWEVENT_SHOWN:
        out.push_back(IMWindowMessage { IM_WM_SHOWWINDOW, 1, 0 });
        out.push_back(IMWindowMessage { WM_PAINT, 0, 0 });
        break;
    case SDL_WINDOWEVENT_EXPOSED:
        out.push_back(IMWindowMessage { WM_PAINT, 0, 0 });
        break;
    case SDL_WINDOWEVENT_ENTER:
        NoteCursorInWindow(true);
        break;
    case SDL_WINDOWEVENT_LEAVE:
        NoteCursorInWindow(false);
        break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
        // Keys released while another window has the keyboard are never reported.
        ReleaseAllKeys();
        break;
    default:
        break;
    }
}

namespace {
// An event the bounded wait took out of SDL's queue, handed to the next TakeInputMessages.
SDL_Event waitedEvent;
bool hasWaitedEvent = false;
}

void WaitForInput(uint32_t timeoutMs)
{
    if (hasWaitedEvent || HasPostedMessages())
        return;
    if (SDL_WasInit(SDL_INIT_EVENTS) == 0) {
        WaitForPostedMessages(timeoutMs);
        return;
    }
    int t = timeoutMs > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(timeoutMs);
    int got = timeoutMs == UINT32_MAX ? SDL_WaitEvent(&waitedEvent) : SDL_WaitEventTimeout(&waitedEvent, t);
    hasWaitedEvent = got == 1;
}

void TakeInputMessages(IMEventTranslator& translator, std::vector<IMWindowMessage>& out)
{
    if (hasWaitedEvent) {
        hasWaitedEvent = false;
        translator.Translate(waitedEvent, out);
    }
    if (SDL_WasInit(SDL_INIT_EVENTS) == 0)
        return;
    SDL_Event event;
    while (SDL_PollEvent(&event) == 1)
        translator.Translate(event, out);
}
