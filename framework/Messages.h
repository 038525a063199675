#pragma once
// Message, button-flag and virtual-key codes. They keep the Win32 numbers so that stored
// expectations and the event routing read the same on every platform.

#include <cstdint>

// Framework message codes of its own.
constexpr uint32_t IM_STATE_CHANGE = 0;   // state change signals and timer ticks
constexpr uint32_t IM_FOCUS_GAINED = 17;
constexpr uint32_t IM_FOCUS_LOST = 18;
constexpr uint32_t IM_MOUSE_ENTER = 523;
constexpr uint32_t IM_LEFT_CLICK = 524;
constexpr uint32_t IM_RIGHT_CLICK = 525;
constexpr uint32_t IM_MIDDLE_CLICK = 526;

// Window messages.
constexpr uint32_t WM_NULL = 0x0000;
constexpr uint32_t WM_DESTROY = 0x0002;
constexpr uint32_t WM_ACTIVATE = 0x0006;
constexpr uint32_t WM_PAINT = 0x000F;    // 15
constexpr uint32_t WM_CLOSE = 0x0010;    // 16
constexpr uint32_t WM_QUIT = 0x0012;
constexpr uint32_t WM_ACTIVATEAPP = 0x001C;
constexpr uint32_t WM_SETCURSOR = 0x0020;
constexpr uint32_t WM_KEYDOWN = 0x0100;    // 256
constexpr uint32_t WM_KEYUP = 0x0101;      // 257
constexpr uint32_t WM_CHAR = 0x0102;       // 258
constexpr uint32_t WM_SYSKEYDOWN = 0x0104; // 260
constexpr uint32_t WM_SYSKEYUP = 0x0105;   // 261
constexpr uint32_t WM_TIMER = 0x0113;
constexpr uint32_t WM_MOUSEMOVE = 0x0200;      // 512
constexpr uint32_t WM_LBUTTONDOWN = 0x0201;    // 513
constexpr uint32_t WM_LBUTTONUP = 0x0202;      // 514
constexpr uint32_t WM_LBUTTONDBLCLK = 0x0203;  // 515
constexpr uint32_t WM_RBUTTONDOWN = 0x0204;    // 516
constexpr uint32_t WM_RBUTTONUP = 0x0205;      // 517
constexpr uint32_t WM_RBUTTONDBLCLK = 0x0206;  // 518
constexpr uint32_t WM_MBUTTONDOWN = 0x0207;    // 519
constexpr uint32_t WM_MBUTTONUP = 0x0208;      // 520
constexpr uint32_t WM_MBUTTONDBLCLK = 0x0209;  // 521
constexpr uint32_t WM_MOUSEWHEEL = 0x020A;     // 522
constexpr uint32_t WM_MOUSELEAVE = 0x02A3;     // 675
constexpr uint32_t WM_USER = 0x0400;
// Registered messages are handed out by name from this number up.
constexpr uint32_t IM_REGISTERED_MESSAGE_FIRST = 0xC000;

// Mouse key-state flags in wParam.
constexpr uint32_t MK_LBUTTON = 0x0001;
constexpr uint32_t MK_RBUTTON = 0x0002;
constexpr uint32_t MK_SHIFT = 0x0004;
constexpr uint32_t MK_CONTROL = 0x0008;
constexpr uint32_t MK_MBUTTON = 0x0010;

// Virtual-key codes.
constexpr uint32_t VK_BACK = 0x08;
constexpr uint32_t VK_TAB = 0x09;
constexpr uint32_t VK_RETURN = 0x0D;
constexpr uint32_t VK_SHIFT = 0x10;
constexpr uint32_t VK_CONTROL = 0x11;
constexpr uint32_t VK_MENU = 0x12;
constexpr uint32_t VK_PAUSE = 0x13;
constexpr uint32_t VK_CAPITAL = 0x14;
constexpr uint32_t VK_ESCAPE = 0x1B;
constexpr uint32_t VK_SPACE = 0x20;
constexpr uint32_t VK_PRIOR = 0x21;
constexpr uint32_t VK_NEXT = 0x22;
constexpr uint32_t VK_END = 0x23;
constexpr uint32_t VK_HOME = 0x24;
constexpr uint32_t VK_LEFT = 0x25;
constexpr uint32_t VK_UP = 0x26;
constexpr uint32_t VK_RIGHT = 0x27;
constexpr uint32_t VK_DOWN = 0x28;
constexpr uint32_t VK_INSERT = 0x2D;
constexpr uint32_t VK_DELETE = 0x2E;
// '0'..'9' are 0x30..0x39 and 'A'..'Z' are 0x41..0x5A.
constexpr uint32_t VK_LWIN = 0x5B;
constexpr uint32_t VK_RWIN = 0x5C;
constexpr uint32_t VK_NUMPAD0 = 0x60;
constexpr uint32_t VK_MULTIPLY = 0x6A;
constexpr uint32_t VK_ADD = 0x6B;
constexpr uint32_t VK_SUBTRACT = 0x6D;
constexpr uint32_t VK_DECIMAL = 0x6E;
constexpr uint32_t VK_DIVIDE = 0x6F;
constexpr uint32_t VK_F1 = 0x70;  // 112
constexpr uint32_t VK_F12 = 0x7B; // 123
constexpr uint32_t VK_NUMLOCK = 0x90;
constexpr uint32_t VK_SCROLL = 0x91;
constexpr uint32_t VK_LSHIFT = 0xA0;
constexpr uint32_t VK_RSHIFT = 0xA1;
constexpr uint32_t VK_LCONTROL = 0xA2;
constexpr uint32_t VK_RCONTROL = 0xA3;
constexpr uint32_t VK_LMENU = 0xA4;
constexpr uint32_t VK_RMENU = 0xA5;
constexpr uint32_t VK_OEM_1 = 0xBA;
constexpr uint32_t VK_OEM_PLUS = 0xBB;
constexpr uint32_t VK_OEM_COMMA = 0xBC;
constexpr uint32_t VK_OEM_MINUS = 0xBD;
constexpr uint32_t VK_OEM_PERIOD = 0xBE;
constexpr uint32_t VK_OEM_2 = 0xBF;
constexpr uint32_t VK_OEM_3 = 0xC0;
constexpr uint32_t VK_OEM_4 = 0xDB;
constexpr uint32_t VK_OEM_5 = 0xDC;
constexpr uint32_t VK_OEM_6 = 0xDD;
constexpr uint32_t VK_OEM_7 = 0xDE;
