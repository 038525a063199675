#pragma once
// Physical keys as Win32 names them, and the key state the program reads (GetKeyState-like).
// Keys are identified by their position (scancode), so every keyboard layout, the Russian one
// included, gives the virtual-key codes of a US keyboard: F1 112, I 73, Space 32.

#include <cstdint>

// One physical key in Win32 terms.
struct IMKeyInfo {
    uint32_t virtualKey { 0 }; // 0 for keys without a Win32 code
    uint32_t scanCode { 0 };   // PC set-1 scan code
    bool extended { false };   // the extended-key flag (right Ctrl and Alt, arrows, ...)
};

// The key at SDL scancode `scancode` (a USB usage id). `numLock` selects the digit codes of
// the keypad; without it the keypad gives the navigation keys, as on Win32.
IMKeyInfo KeyFromScancode(int scancode, bool numLock = true);

// Key state as GetKeyState answers it: bit 15 (a negative value) while the key is down, bit 0
// toggled by every press. VK_SHIFT, VK_CONTROL and VK_MENU are down while either side is.
// UI thread only.
int16_t GetKeyState(uint32_t virtualKey);
bool IsKeyDown(uint32_t virtualKey);

// Records the key transition of one key message (WM_KEYDOWN, WM_KEYUP, WM_SYSKEYDOWN,
// WM_SYSKEYUP with their wParam and key data); other messages are ignored. The side of the
// generic Shift, Control and Alt codes is taken from the scan code and extended flag.
void RecordKeyMessage(uint32_t message, uint32_t wParam, int32_t lParam);

// Marks every key as up (the window lost the keyboard); toggle bits are kept.
void ReleaseAllKeys();

// Packs Win32 key data: repeat count, scan code, extended flag, context (Alt held), previous
// state and transition.
int32_t MakeKeyData(uint32_t repeat, const IMKeyInfo& key, bool altHeld, bool wasDown, bool releasing);
