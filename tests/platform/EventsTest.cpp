// Translation of SDL events into window messages: keys by position with Win32 key data,
// typed characters, mouse messages in canvas pixels, double clicks, the wheel and the
// window's own notifications.

#include "framework/Messages.h"
#include "platform/Clock.h"
#include "platform/Cursor.h"
#include "platform/Display.h"
#include "platform/Events.h"
#include "platform/Keyboard.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

using Messages = std::vector<IMWindowMessage>;

SDL_Event KeyEvent(bool down, SDL_Scancode scancode, SDL_Keycode keycode, uint16_t mod = 0, uint8_t repeat = 0)
{
    SDL_Event e {};
    e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.key.repeat = repeat;
    e.key.keysym.scancode = scancode;
    e.key.keysym.sym = keycode;
    e.key.keysym.mod = mod;
    return e;
}

SDL_Event ButtonEvent(bool down, uint8_t button, int x, int y)
{
    SDL_Event e {};
    e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    e.button.button = button;
    e.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.button.x = x;
    e.button.y = y;
    return e;
}

SDL_Event MotionEvent(int x, int y)
{
    SDL_Event e {};
    e.type = SDL_MOUSEMOTION;
    e.motion.x = x;
    e.motion.y = y;
    return e;
}

SDL_Event WindowEvent(uint8_t what)
{
    SDL_Event e {};
    e.type = SDL_WINDOWEVENT;
    e.window.event = what;
    return e;
}

class EventsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ReleaseAllKeys();
        ResetCursorState();
    }
    void TearDown() override { ReleaseAllKeys(); }

    Messages Translate(const SDL_Event& e)
    {
        Messages out;
        translator.Translate(e, out);
        return out;
    }
    Messages Press(uint8_t button, int x, int y) { return Translate(ButtonEvent(true, button, x, y)); }
    Messages Lift(uint8_t button, int x, int y) { return Translate(ButtonEvent(false, button, x, y)); }

    ManualClock clock { 5'000'000 };
    ScopedClock scoped { clock };
    IMEventTranslator translator;
};

uint32_t Codes(const Messages& m, size_t i) { return i < m.size() ? m[i].message : 0; }

} // namespace

// Virtual-key codes come from the key's position, so the Russian layout (Cyrillic keycodes)
// gives the codes of a US keyboard, and the control keys also type their character.
TEST_F(EventsTest, KeysByPositionWhateverTheLayout)
{
    struct Case {
        SDL_Scancode scancode;
        SDL_Keycode keycode;
        uint32_t virtualKey;
        uint32_t typed; // WM_CHAR that follows the key-down, 0 for none
    };
    const Case cases[] = {
        { SDL_SCANCODE_I, 0x0448, 73, 0 },   // "ш" on the Russian layout
        { SDL_SCANCODE_Q, 0x0439, 81, 0 },   // "й"
        { SDL_SCANCODE_F1, SDLK_F1, 112, 0 },
        { SDL_SCANCODE_F12, SDLK_F12, 123, 0 },
        { SDL_SCANCODE_SPACE, SDLK_SPACE, 32, 0 },
        { SDL_SCANCODE_RETURN, SDLK_RETURN, 13, 13 },
        { SDL_SCANCODE_KP_ENTER, SDLK_KP_ENTER, 13, 13 },
        { SDL_SCANCODE_ESCAPE, SDLK_ESCAPE, 27, 27 },
        { SDL_SCANCODE_BACKSPACE, SDLK_BACKSPACE, 8, 8 },
        { SDL_SCANCODE_TAB, SDLK_TAB, 9, 9 },
        { SDL_SCANCODE_0, SDLK_0, '0', 0 },
        { SDL_SCANCODE_7, SDLK_7, '7', 0 },
        { SDL_SCANCODE_LEFT, SDLK_LEFT, VK_LEFT, 0 },
        { SDL_SCANCODE_SEMICOLON, 0x0436, VK_OEM_1, 0 }, // "ж"
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(SDL_GetScancodeName(c.scancode));
        Messages down = Translate(KeyEvent(true, c.scancode, c.keycode));
        ASSERT_GE(down.size(), 1u);
        EXPECT_EQ(down[0].message, WM_KEYDOWN);
        EXPECT_EQ(down[0].wParam, c.virtualKey);
        if (c.typed != 0) {
            ASSERT_EQ(down.size(), 2u);
            EXPECT_EQ(down[1].message, WM_CHAR);
            EXPECT_EQ(down[1].wParam, c.typed);
        } else {
            EXPECT_EQ(down.size(), 1u);
        }
        Messages up = Translate(KeyEvent(false, c.scancode, c.keycode));
        ASSERT_EQ(up.size(), 1u);
        EXPECT_EQ(up[0].message, WM_KEYUP);
        EXPECT_EQ(up[0].wParam, c.virtualKey);
    }
}

TEST_F(EventsTest, KeyDataCarriesRepeatScanCodeExtendedAndTransition)
{
    auto data = [](const Messages& m) { return static_cast<uint32_t>(m.at(0).lParam); };
    // I: set-1 scan code 0x17, a fresh press.
    EXPECT_EQ(data(Translate(KeyEvent(true, SDL_SCANCODE_I, 'i'))), 0x00170001u);
    // Auto-repeat: the key was already down (bit 30).
    EXPECT_EQ(data(Translate(KeyEvent(true, SDL_SCANCODE_I, 'i', 0, 1))), 0x40170001u);
    // Release: previous state and transition bits.
    EXPECT_EQ(data(Translate(KeyEvent(false, SDL_SCANCODE_I, 'i'))), 0xC0170001u);
    // Right Control is an extended key (bit 24) with the Control code.
    Messages rctrl = Translate(KeyEvent(true, SDL_SCANCODE_RCTRL, SDLK_RCTRL, KMOD_RCTRL));
    EXPECT_EQ(rctrl.at(0).wParam, VK_CONTROL);
    EXPECT_EQ(data(rctrl), 0x011D0001u);
    EXPECT_TRUE(IsKeyDown(VK_CONTROL));
    EXPECT_TRUE(IsKeyDown(VK_RCONTROL));
    EXPECT_FALSE(IsKeyDown(VK_LCONTROL));
    Translate(KeyEvent(false, SDL_SCANCODE_RCTRL, SDLK_RCTRL));
    EXPECT_FALSE(IsKeyDown(VK_CONTROL));
}

// With Alt held keys are system keys (context bit 29) and type nothing; Alt+F4 closes.
TEST_F(EventsTest, AltMakesSystemKeysAndAltF4Closes)
{
    Messages alt = Translate(KeyEvent(true, SDL_SCANCODE_LALT, SDLK_LALT, KMOD_LALT));
    ASSERT_EQ(alt.size(), 1u);
    EXPECT_EQ(alt[0].message, WM_SYSKEYDOWN);
    EXPECT_EQ(alt[0].wParam, VK_MENU);
    EXPECT_NE(static_cast<uint32_t>(alt[0].lParam) & (1u << 29), 0u);

    Messages enter = Translate(KeyEvent(true, SDL_SCANCODE_RETURN, SDLK_RETURN, KMOD_LALT));
    ASSERT_EQ(enter.size(), 1u);
    EXPECT_EQ(enter[0].message, WM_SYSKEYDOWN);

    Messages f4 = Translate(KeyEvent(true, SDL_SCANCODE_F4, SDLK_F4, KMOD_LALT));
    ASSERT_EQ(f4.size(), 2u);
    EXPECT_EQ(f4[0].message, WM_SYSKEYDOWN);
    EXPECT_EQ(f4[0].wParam, 0x73u);
    EXPECT_EQ(f4[1].message, WM_CLOSE);
    // Holding the keys does not close again and again.
    Messages held = Translate(KeyEvent(true, SDL_SCANCODE_F4, SDLK_F4, KMOD_LALT, 1));
    EXPECT_EQ(held.size(), 1u);

    Messages f4up = Translate(KeyEvent(false, SDL_SCANCODE_F4, SDLK_F4, KMOD_LALT));
    EXPECT_EQ(Codes(f4up, 0), WM_SYSKEYUP);
    Messages altUp = Translate(KeyEvent(false, SDL_SCANCODE_LALT, SDLK_LALT, 0));
    EXPECT_EQ(Codes(altUp, 0), WM_SYSKEYUP);
    EXPECT_FALSE(IsKeyDown(VK_MENU));

    // Control with Alt (AltGr) gives plain key messages, and Ctrl+Alt+F4 does not close.
    Messages altGr = Translate(KeyEvent(true, SDL_SCANCODE_F4, SDLK_F4, KMOD_LALT | KMOD_LCTRL));
    ASSERT_EQ(altGr.size(), 1u);
    EXPECT_EQ(altGr[0].message, WM_KEYDOWN);

    // F10 is a system key without Alt; F4 alone does not close.
    EXPECT_EQ(Codes(Translate(KeyEvent(true, SDL_SCANCODE_F10, SDLK_F10)), 0), WM_SYSKEYDOWN);
    Messages plainF4 = Translate(KeyEvent(true, SDL_SCANCODE_F4, SDLK_F4));
    ASSERT_EQ(plainF4.size(), 1u);
    EXPECT_EQ(plainF4[0].message, WM_KEYDOWN);
}

TEST_F(EventsTest, TextInputGivesOneCharPerCodePoint)
{
    SDL_Event e {};
    e.type = SDL_TEXTINPUT;
    std::strcpy(e.text.text, "Я\xD0\xB0z\xF0\x9F\x98\x80"); // "Я", "а", "z", U+1F600
    Messages m = Translate(e);
    ASSERT_EQ(m.size(), 4u);
    const uint32_t expected[] = { 0x42F, 0x430, 'z', 0x1F600 };
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(m[i].message, WM_CHAR);
        EXPECT_EQ(m[i].wParam, expected[i]);
    }
}

// A 1920 x 1080 full-screen window shows the canvas scaled by 1.8 between bars 240 pixels
// wide; positions come out in canvas pixels, the bars outside the canvas (signed words).
TEST_F(EventsTest, MousePositionsInCanvasPixelsOfAScaledWindow)
{
    translator.SetCanvasMapper([](int x, int y) { return IMDisplay::WindowToCanvas(x, y, 1920, 1080, 800, 600); });
    struct Case {
        int wx, wy, cx, cy;
    };
    const Case cases[] = {
        { 960, 540, 400, 300 },
        { 240, 0, 0, 0 },
        { 1679, 1079, 799, 599 },
        { 100, 500, -78, 277 },
        { 1919, 10, 932, 5 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.wx) + "," + std::to_string(c.wy));
        Messages m = Translate(MotionEvent(c.wx, c.wy));
        ASSERT_EQ(m.size(), 1u);
        EXPECT_EQ(m[0].message, WM_MOUSEMOVE);
        EXPECT_EQ(MouseLParamX(m[0].lParam), c.cx);
        EXPECT_EQ(MouseLParamY(m[0].lParam), c.cy);
        EXPECT_EQ(GetCursorPosition(), (POINT { c.cx, c.cy }));
    }
    Messages down = Press(SDL_BUTTON_LEFT, 960, 540);
    EXPECT_EQ(MouseLParamX(down.at(0).lParam), 400);
    EXPECT_EQ(MouseLParamY(down.at(0).lParam), 300);
}

TEST_F(EventsTest, ButtonFlagsFollowTheButtonsAndModifiers)
{
    EXPECT_EQ(Press(SDL_BUTTON_LEFT, 10, 10).at(0).wParam, MK_LBUTTON);
    EXPECT_EQ(Translate(MotionEvent(20, 20)).at(0).wParam, MK_LBUTTON);
    EXPECT_EQ(Press(SDL_BUTTON_RIGHT, 20, 20).at(0).wParam, MK_LBUTTON | MK_RBUTTON);
    Messages leftUp = Lift(SDL_BUTTON_LEFT, 20, 20);
    EXPECT_EQ(leftUp.at(0).message, WM_LBUTTONUP);
    EXPECT_EQ(leftUp.at(0).wParam, MK_RBUTTON);
    EXPECT_EQ(Lift(SDL_BUTTON_RIGHT, 20, 20).at(0).wParam, 0u);
    Translate(KeyEvent(true, SDL_SCANCODE_LCTRL, SDLK_LCTRL, KMOD_LCTRL));
    Translate(KeyEvent(true, SDL_SCANCODE_LSHIFT, SDLK_LSHIFT, KMOD_LCTRL | KMOD_LSHIFT));
    Messages middle = Press(SDL_BUTTON_MIDDLE, 30, 30);
    EXPECT_EQ(middle.at(0).message, WM_MBUTTONDOWN);
    EXPECT_EQ(middle.at(0).wParam, MK_MBUTTON | MK_CONTROL | MK_SHIFT);
    // Buttons the game has no message for are dropped.
    EXPECT_TRUE(Press(SDL_BUTTON_X1, 30, 30).empty());
}

// A second left press within 500 ms and two pixels is a double click, after which a new
// sequence starts; for the right and middle buttons the second press is dropped.
TEST_F(EventsTest, DoubleClicks)
{
    struct Step {
        bool down;
        uint8_t button;
        int x;
        uint32_t advanceMs;
        uint32_t expected; // 0: nothing
    };
    const std::vector<std::vector<Step>> sequences = {
        // left double click, then a third press starts again
        { { true, SDL_BUTTON_LEFT, 50, 0, WM_LBUTTONDOWN }, { false, SDL_BUTTON_LEFT, 50, 60, WM_LBUTTONUP },
            { true, SDL_BUTTON_LEFT, 51, 100, WM_LBUTTONDBLCLK }, { false, SDL_BUTTON_LEFT, 51, 50, WM_LBUTTONUP },
            { true, SDL_BUTTON_LEFT, 51, 50, WM_LBUTTONDOWN } },
        // too slow
        { { true, SDL_BUTTON_LEFT, 50, 0, WM_LBUTTONDOWN }, { false, SDL_BUTTON_LEFT, 50, 200, WM_LBUTTONUP },
            { true, SDL_BUTTON_LEFT, 50, 300, WM_LBUTTONDOWN } },
        // too far
        { { true, SDL_BUTTON_LEFT, 50, 0, WM_LBUTTONDOWN }, { false, SDL_BUTTON_LEFT, 50, 10, WM_LBUTTONUP },
            { true, SDL_BUTTON_LEFT, 53, 10, WM_LBUTTONDOWN } },
        // another button in between breaks the sequence
        { { true, SDL_BUTTON_LEFT, 50, 0, WM_LBUTTONDOWN }, { false, SDL_BUTTON_LEFT, 50, 10, WM_LBUTTONUP },
            { true, SDL_BUTTON_RIGHT, 50, 10, WM_RBUTTONDOWN }, { false, SDL_BUTTON_RIGHT, 50, 10, WM_RBUTTONUP },
            { true, SDL_BUTTON_LEFT, 50, 10, WM_LBUTTONDOWN } },
        // right double click: the second press is not forwarded, its release is
        { { true, SDL_BUTTON_RIGHT, 50, 0, WM_RBUTTONDOWN }, { false, SDL_BUTTON_RIGHT, 50, 10, WM_RBUTTONUP },
            { true, SDL_BUTTON_RIGHT, 50, 10, 0 }, { false, SDL_BUTTON_RIGHT, 50, 10, WM_RBUTTONUP } },
        { { true, SDL_BUTTON_MIDDLE, 50, 0, WM_MBUTTONDOWN }, { false, SDL_BUTTON_MIDDLE, 50, 10, WM_MBUTTONUP },
            { true, SDL_BUTTON_MIDDLE, 50, 10, 0 }, { false, SDL_BUTTON_MIDDLE, 50, 10, WM_MBUTTONUP } },
    };
    for (size_t s = 0; s < sequences.size(); ++s) {
        SCOPED_TRACE("sequence " + std::to_string(s));
        translator = IMEventTranslator {};
        clock.AdvanceMilliseconds(10'000);
        for (const Step& step : sequences[s]) {
            clock.AdvanceMilliseconds(step.advanceMs);
            Messages m = Translate(ButtonEvent(step.down, step.button, step.x, 40));
            EXPECT_EQ(Codes(m, 0), step.expected);
            EXPECT_EQ(m.size(), step.expected == 0 ? 0u : 1u);
        }
    }
}

TEST_F(EventsTest, WheelNotchesAre120InTheHighWord)
{
    struct Case {
        int y;
        uint32_t direction;
        int delta;
    };
    const Case cases[] = { { 1, SDL_MOUSEWHEEL_NORMAL, 120 }, { -2, SDL_MOUSEWHEEL_NORMAL, -240 },
        { 1, SDL_MOUSEWHEEL_FLIPPED, -120 } };
    translator.SetCanvasMapper([](int x, int y) { return POINT { x / 2, y / 2 }; });
    for (const Case& c : cases) {
        SDL_Event e {};
        e.type = SDL_MOUSEWHEEL;
        e.wheel.y = c.y;
        e.wheel.direction = c.direction;
        e.wheel.mouseX = 100;
        e.wheel.mouseY = 60;
        Messages m = Translate(e);
        ASSERT_EQ(m.size(), 1u);
        EXPECT_EQ(m[0].message, WM_MOUSEWHEEL);
        EXPECT_EQ(static_cast<int16_t>(m[0].wParam >> 16), c.delta);
        EXPECT_EQ(m[0].wParam & 0xFFFF, 0u);
        EXPECT_EQ(MouseLParamX(m[0].lParam), 50);
        EXPECT_EQ(MouseLParamY(m[0].lParam), 30);
    }
    SDL_Event sideways {};
    sideways.type = SDL_MOUSEWHEEL;
    sideways.wheel.x = 1;
    EXPECT_TRUE(Translate(sideways).empty());
}

TEST_F(EventsTest, WindowNotifications)
{
    struct Case {
        uint8_t event;
        std::vector<IMWindowMessage> expected;
    };
    const Case cases[] = {
        { SDL_WINDOWEVENT_CLOSE, { { WM_CLOSE, 0, 0 } } },
        { SDL_WINDOWEVENT_MINIMIZED, { { IM_WM_SIZE, IM_SIZE_MINIMIZED, 0 } } },
        { SDL_WINDOWEVENT_RESTORED, { { IM_WM_SIZE, IM_SIZE_RESTORED, 0 }, { WM_PAINT, 0, 0 } } },
        { SDL_WINDOWEVENT_HIDDEN, { { IM_WM_SHOWWINDOW, 0, 0 } } },
        { SDL_WINDOWEVENT_SHOWN, { { IM_WM_SHOWWINDOW, 1, 0 }, { WM_PAINT, 0, 0 } } },
        { SDL_WINDOWEVENT_EXPOSED, { { WM_PAINT, 0, 0 } } },
        { SDL_WINDOWEVENT_MOVED, {} },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.event));
        EXPECT_EQ(Translate(WindowEvent(c.event)), c.expected);
    }
    SDL_Event quit {};
    quit.type = SDL_QUIT;
    EXPECT_EQ(Translate(quit), (Messages { { WM_CLOSE, 0, 0 } }));

    Translate(WindowEvent(SDL_WINDOWEVENT_ENTER));
    EXPECT_TRUE(IsCursorInWindow());
    Translate(WindowEvent(SDL_WINDOWEVENT_LEAVE));
    EXPECT_FALSE(IsCursorInWindow());

    // Losing the keyboard forgets the keys held.
    Translate(KeyEvent(true, SDL_SCANCODE_LCTRL, SDLK_LCTRL, KMOD_LCTRL));
    Translate(WindowEvent(SDL_WINDOWEVENT_FOCUS_LOST));
    EXPECT_FALSE(IsKeyDown(VK_CONTROL));
}

TEST_F(EventsTest, RenderResetsReachTheDisplayAndAskForARepaint)
{
    std::vector<bool> resets;
    translator.SetResetHandler([&](bool device) { resets.push_back(device); });
    SDL_Event targets {};
    targets.type = SDL_RENDER_TARGETS_RESET;
    SDL_Event device {};
    device.type = SDL_RENDER_DEVICE_RESET;
    EXPECT_EQ(Translate(targets), (Messages { { WM_PAINT, 0, 0 } }));
    EXPECT_EQ(Translate(device), (Messages { { WM_PAINT, 0, 0 } }));
    EXPECT_EQ(resets, (std::vector<bool> { false, true }));
}

TEST_F(EventsTest, EventsOfOtherWindowsAreIgnored)
{
    translator.SetWindowId(7);
    SDL_Event e = MotionEvent(5, 5);
    e.motion.windowID = 8;
    EXPECT_TRUE(Translate(e).empty());
    e.motion.windowID = 7;
    EXPECT_EQ(Translate(e).size(), 1u);
}

TEST(KeyboardTest, KeyStateHasDownAndToggleBits)
{
    ReleaseAllKeys();
    const int16_t before = GetKeyState('A');
    RecordKeyMessage(WM_KEYDOWN, 'A', MakeKeyData(1, KeyFromScancode(SDL_SCANCODE_A), false, false, false));
    EXPECT_LT(GetKeyState('A'), 0);
    EXPECT_NE((GetKeyState('A') & 1), (before & 1));
    // Auto-repeat does not toggle again.
    RecordKeyMessage(WM_KEYDOWN, 'A', MakeKeyData(1, KeyFromScancode(SDL_SCANCODE_A), false, true, false));
    EXPECT_NE((GetKeyState('A') & 1), (before & 1));
    RecordKeyMessage(WM_KEYUP, 'A', 0);
    EXPECT_GE(GetKeyState('A'), 0);
    // Shift sides come from the scan code: both held, one released, still down.
    RecordKeyMessage(WM_KEYDOWN, VK_SHIFT, MakeKeyData(1, KeyFromScancode(SDL_SCANCODE_LSHIFT), false, false, false));
    RecordKeyMessage(WM_KEYDOWN, VK_SHIFT, MakeKeyData(1, KeyFromScancode(SDL_SCANCODE_RSHIFT), false, false, false));
    RecordKeyMessage(WM_KEYUP, VK_SHIFT, MakeKeyData(1, KeyFromScancode(SDL_SCANCODE_LSHIFT), false, true, true));
    EXPECT_TRUE(IsKeyDown(VK_SHIFT));
    EXPECT_TRUE(IsKeyDown(VK_RSHIFT));
    ReleaseAllKeys();
    EXPECT_FALSE(IsKeyDown(VK_SHIFT));
    // The keypad follows NumLock.
    EXPECT_EQ(KeyFromScancode(SDL_SCANCODE_KP_8, true).virtualKey, VK_NUMPAD0 + 8);
    EXPECT_EQ(KeyFromScancode(SDL_SCANCODE_KP_8, false).virtualKey, VK_UP);
    EXPECT_EQ(KeyFromScancode(SDL_SCANCODE_UNKNOWN).virtualKey, 0u);
}
