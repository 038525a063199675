#include "platform/Keyboard.h"

#include "framework/Messages.h"

#include <SDL.h>

#include <array>

namespace {

constexpr uint32_t VK_SNAPSHOT_CODE = 0x2C;
constexpr uint32_t VK_APPS_CODE = 0x5D;
constexpr uint32_t VK_OEM_102_CODE = 0xE2;

struct ScanEntry {
    SDL_Scancode scancode;
    uint32_t virtualKey;
    uint32_t scanCode;
    bool extended;
};

// Keys outside the letter, digit and function-key runs.
constexpr ScanEntry scanTable[] = {
    { SDL_SCANCODE_RETURN, VK_RETURN, 0x1C, false },
    { SDL_SCANCODE_ESCAPE, VK_ESCAPE, 0x01, false },
    { SDL_SCANCODE_BACKSPACE, VK_BACK, 0x0E, false },
    { SDL_SCANCODE_TAB, VK_TAB, 0x0F, false },
    { SDL_SCANCODE_SPACE, VK_SPACE, 0x39, false },
    { SDL_SCANCODE_MINUS, VK_OEM_MINUS, 0x0C, false },
    { SDL_SCANCODE_EQUALS, VK_OEM_PLUS, 0x0D, false },
    { SDL_SCANCODE_LEFTBRACKET, VK_OEM_4, 0x1A, false },
    { SDL_SCANCODE_RIGHTBRACKET, VK_OEM_6, 0x1B, false },
    { SDL_SCANCODE_BACKSLASH, VK_OEM_5, 0x2B, false },
    { SDL_SCANCODE_NONUSHASH, VK_OEM_5, 0x2B, false },
    { SDL_SCANCODE_SEMICOLON, VK_OEM_1, 0x27, false },
    { SDL_SCANCODE_APOSTROPHE, VK_OEM_7, 0x28, false },
    { SDL_SCANCODE_GRAVE, VK_OEM_3, 0x29, false },
    { SDL_SCANCODE_COMMA, VK_OEM_COMMA, 0x33, false },
    { SDL_SCANCODE_PERIOD, VK_OEM_PERIOD, 0x34, false },
    { SDL_SCANCODE_SLASH, VK_OEM_2, 0x35, false },
    { SDL_SCANCODE_CAPSLOCK, VK_CAPITAL, 0x3A, false },
    { SDL_SCANCODE_F11, VK_F1 + 10, 0x57, false },
    { SDL_SCANCODE_F12, VK_F12, 0x58, false },
    { SDL_SCANCODE_PRINTSCREEN, VK_SNAPSHOT_CODE, 0x37, true },
    { SDL_SCANCODE_SCROLLLOCK, VK_SCROLL, 0x46, false },
    { SDL_SCANCODE_PAUSE, VK_PAUSE, 0x45, false },
    { SDL_SCANCODE_INSERT, VK_INSERT, 0x52, true },
    { SDL_SCANCODE_HOME, VK_HOME, 0x47, true },
    { SDL_SCANCODE_PAGEUP, VK_PRIOR, 0x49, true },
    { SDL_SCANCODE_DELETE, VK_DELETE, 0x53, true },
    { SDL_SCANCODE_END, VK_END, 0x4F, true },
    { SDL_SCANCODE_PAGEDOWN, VK_NEXT, 0x51, true },
    { SDL_SCANCODE_RIGHT, VK_RIGHT, 0x4D, true },
    { SDL_SCANCODE_LEFT, VK_LEFT, 0x4B, true },
    { SDL_SCANCODE_DOWN, VK_DOWN, 0x50, true },
    { SDL_SCANCODE_UP, VK_UP, 0x48, true },
    { SDL_SCANCODE_NUMLOCKCLEAR, VK_NUMLOCK, 0x45, true },
    { SDL_SCANCODE_KP_DIVIDE, VK_DIVIDE, 0x35, true },
    { SDL_SCANCODE_KP_MULTIPLY, VK_MULTIPLY, 0x37, false },
    { SDL_SCANCODE_KP_MINUS, VK_SUBTRACT, 0x4A, false },
    { SDL_SCANCODE_KP_PLUS, VK_ADD, 0x4E, false },
    { SDL_SCANCODE_KP_ENTER, VK_RETURN, 0x1C, true },
    { SDL_SCANCODE_NONUSBACKSLASH, VK_OEM_102_CODE, 0x56, false },
    { SDL_SCANCODE_APPLICATION, VK_APPS_CODE, 0x5D, true },
    { SDL_SCANCODE_LCTRL, VK_CONTROL, 0x1D, false },
    { SDL_SCANCODE_LSHIFT, VK_SHIFT, 0x2A, false },
    { SDL_SCANCODE_LALT, VK_MENU, 0x38, false },
    { SDL_SCANCODE_LGUI, VK_LWIN, 0x5B, true },
    { SDL_SCANCODE_RCTRL, VK_CONTROL, 0x1D, true },
    { SDL_SCANCODE_RSHIFT, VK_SHIFT, 0x36, false },
    { SDL_SCANCODE_RALT, VK_MENU, 0x38, true },
    { SDL_SCANCODE_RGUI, VK_RWIN, 0x5C, true },
};

// Set-1 scan codes of the letters A..Z in alphabetical order.
constexpr uint32_t letterScan[26] = { 0x1E, 0x30, 0x2E, 0x20, 0x12, 0x21, 0x22, 0x23, 0x17, 0x24,
    0x25, 0x26, 0x32, 0x31, 0x18, 0x19, 0x10, 0x13, 0x1F, 0x14, 0x16, 0x2F, 0x11, 0x2D, 0x15,
    0x2C };

// The keypad keys 1..9, 0 and the decimal point: scan code, digit code, code without NumLock.
struct KeypadEntry {
    SDL_Scancode scancode;
    uint32_t scanCode;
    uint32_t digitKey;
    uint32_t navigationKey;
};
constexpr KeypadEntry keypadTable[] = {
    { SDL_SCANCODE_KP_1, 0x4F, VK_NUMPAD0 + 1, VK_END },
    { SDL_SCANCODE_KP_2, 0x50, VK_NUMPAD0 + 2, VK_DOWN },
    { SDL_SCANCODE_KP_3, 0x51, VK_NUMPAD0 + 3, VK_NEXT },
    { SDL_SCANCODE_KP_4, 0x4B, VK_NUMPAD0 + 4, VK_LEFT },
    { SDL_SCANCODE_KP_5, 0x4C, VK_NUMPAD0 + 5, 0x0C }, // VK_CLEAR
    { SDL_SCANCODE_KP_6, 0x4D, VK_NUMPAD0 + 6, VK_RIGHT },
    { SDL_SCANCODE_KP_7, 0x47, VK_NUMPAD0 + 7, VK_HOME },
    { SDL_SCANCODE_KP_8, 0x48, VK_NUMPAD0 + 8, VK_UP },
    { SDL_SCANCODE_KP_9, 0x49, VK_NUMPAD0 + 9, VK_PRIOR },
    { SDL_SCANCODE_KP_0, 0x52, VK_NUMPAD0, VK_INSERT },
    { SDL_SCANCODE_KP_PERIOD, 0x53, VK_DECIMAL, VK_DELETE },
};

// Bit 0: down; bit 1: toggled.
std::array<uint8_t, 256> keyState {};

void SetDown(uint32_t vk, bool down)
{
    if (vk >= keyState.size())
        return;
    if (down && (keyState[vk] & 1) == 0)
        keyState[vk] ^= 2;
    keyState[vk] = static_cast<uint8_t>((keyState[vk] & 2) | (down ? 1 : 0));
}

bool Down(uint32_t vk) { return vk < keyState.size() && (keyState[vk] & 1) != 0; }

} // namespace

IMKeyInfo KeyFromScancode(int scancode, bool numLock)
{
    if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z) {
        int i = scancode - SDL_SCANCODE_A;
        return IMKeyInfo { static_cast<uint32_t>('A' + i), letterScan[i], false };
    }
    if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_0) {
        int i = scancode - SDL_SCANCODE_1; // 1..9, then 0
        uint32_t vk = i == 9 ? '0' : static_cast<uint32_t>('1' + i);
        return IMKeyInfo { vk, static_cast<uint32_t>(0x02 + i), false };
    }
    if (scancode >= SDL_SCANCODE_F1 && scancode <= SDL_SCANCODE_F10) {
        int i = scancode - SDL_SCANCODE_F1;
        return IMKeyInfo { VK_F1 + i, static_cast<uint32_t>(0x3B + i), false };
    }
    for (const KeypadEntry& e : keypadTable)
        if (e.scancode == scancode)
            return IMKeyInfo { numLock ? e.digitKey : e.navigationKey, e.scanCode, false };
    for (const ScanEntry& e : scanTable)
        if (e.scancode == scancode)
            return IMKeyInfo { e.virtualKey, e.scanCode, e.extended };
    return IMKeyInfo {};
}

int16_t GetKeyState(uint32_t virtualKey)
{
    bool down = Down(virtualKey);
    bool toggled = virtualKey < keyState.size() && (keyState[virtualKey] & 2) != 0;
    if (virtualKey == VK_SHIFT)
        down = Down(VK_LSHIFT) || Down(VK_RSHIFT);
    else if (virtualKey == VK_CONTROL)
        down = Down(VK_LCONTROL) || Down(VK_RCONTROL);
    else if (virtualKey == VK_MENU)
        down = Down(VK_LMENU) || Down(VK_RMENU);
    return static_cast<int16_t>((down ? 0x8000 : 0) | (toggled ? 1 : 0));
}

bool IsKeyDown(uint32_t virtualKey) { return GetKeyState(virtualKey) < 0; }

void RecordKeyMessage(uint32_t message, uint32_t wParam, int32_t lParam)
{
    bool down;
    if (message == WM_KEYDOWN || message == WM_SYSKEYDOWN)
        down = true;
    else if (message == WM_KEYUP || message == WM_SYSKEYUP)
        down = false;
    else
        return;
    uint32_t scan = (static_cast<uint32_t>(lParam) >> 16) & 0xFF;
    bool extended = (static_cast<uint32_t>(lParam) & (1u << 24)) != 0;
    uint32_t vk = wParam;
    if (vk == VK_SHIFT)
        vk = scan == 0x36 ? VK_RSHIFT : VK_LSHIFT;
    else if (vk == VK_CONTROL)
        vk = extended ? VK_RCONTROL : VK_LCONTROL;
    else if (vk == VK_MENU)
        vk = extended ? VK_RMENU : VK_LMENU;
    if (vk != wParam)
        SetDown(wParam, down); // the generic code keeps its own toggle bit
    SetDown(vk, down);
}

void ReleaseAllKeys()
{
    for (uint8_t& s : keyState)
        s &= 2;
}

int32_t MakeKeyData(uint32_t repeat, const IMKeyInfo& key, bool altHeld, bool wasDown, bool releasing)
{
    uint32_t data = (repeat & 0xFFFF) | ((key.scanCode & 0xFF) << 16);
    if (key.extended)
        data |= 1u << 24;
    if (altHeld)
        data |= 1u << 29;
    if (wasDown)
        data |= 1u << 30;
    if (releasing)
        data |= 1u << 31;
    return static_cast<int32_t>(data);
}
