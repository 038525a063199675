// The window procedure of the headless main window: input messages become tree calls, the
// mouse entering and leaving the window, key state, and the messages that are dropped.

#include "WindowFixture.h"

#include "platform/Display.h"
#include "platform/Events.h"

#include <SDL.h>

namespace {

class WindowRoutingTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        screen = new ProbeScreen(window);
        leaf = new ProbeLeaf(screen, RECT { 100, 100, 200, 200 });
        Pass();
    }
    template <class E>
    void Log(IMSignal<E>& signal, IMControl* owner, const std::string& name)
    {
        ConnectTracked(signal, owner, [this, name](const E& e) {
            log.push_back(name + ":" + std::to_string(e.message));
            return 0L;
        });
    }
    void Mouse(uint32_t message, int x, int y, uint32_t keys = 0)
    {
        window->InjectMessage(message, keys, MakeMouseLParam(x, y));
    }

    ProbeScreen* screen { nullptr };
    ProbeLeaf* leaf { nullptr };
    std::vector<std::string> log;
};

} // namespace

// Positions travel as signed 16-bit words; each level sees them in its own parent's space.
TEST_F(WindowRoutingTest, MouseMessagesReachTheTreeWithSignedPositions)
{
    std::vector<POINT> seen;
    ConnectTracked(window->sigMouseMove, window, [&](const IMMouseEvent& e) {
        seen.push_back(POINT { e.x, e.y });
        return 0L;
    });
    Mouse(WM_MOUSEMOVE, 150, 120);
    Mouse(WM_MOUSEMOVE, -20, 650);
    EXPECT_EQ(seen, (std::vector<POINT> { { 150, 120 }, { -20, 650 } }));
    EXPECT_EQ(window->lastMouseX, -20);
    EXPECT_EQ(window->lastMouseY, 650);
    EXPECT_EQ(screen->lastMouseX, 150);
}

// A left double click arrives in place of the second press; right and middle double
// clicks are not forwarded, so the tree sees only their releases.
TEST_F(WindowRoutingTest, DoubleClickMessages)
{
    Log(leaf->sigMouseButton, leaf, "button");
    Log(leaf->sigDoubleClick, leaf, "double");
    Log(leaf->sigClick, leaf, "click");
    Mouse(WM_MOUSEMOVE, 150, 150);
    Mouse(WM_LBUTTONDOWN, 150, 150, MK_LBUTTON);
    Mouse(WM_LBUTTONUP, 150, 150);
    Mouse(WM_LBUTTONDBLCLK, 150, 150, MK_LBUTTON);
    Mouse(WM_LBUTTONUP, 150, 150);
    Mouse(WM_RBUTTONDBLCLK, 150, 150, MK_RBUTTON);
    Mouse(WM_MBUTTONDBLCLK, 150, 150, MK_MBUTTON);
    Mouse(WM_RBUTTONUP, 150, 150);
    EXPECT_EQ(log, (std::vector<std::string> { "button:513", "click:524", "button:514", "button:515",
                       "double:515", "click:524", "button:514", "button:517" }));
}

TEST_F(WindowRoutingTest, WheelGoesDownTheHoveredChain)
{
    Log(leaf->sigMouseButton, leaf, "button");
    Mouse(WM_MOUSEMOVE, 150, 150);
    window->InjectMessage(WM_MOUSEWHEEL, 120u << 16, MakeMouseLParam(150, 150));
    EXPECT_EQ(log, (std::vector<std::string> { "button:522" }));
}

// Keys reach the root's key signals whatever holds the focus; the key state follows them.
TEST_F(WindowRoutingTest, KeysReachTheRootAndTheKeyState)
{
    Log(window->sigKeyDown, window, "down");
    Log(window->sigKeyUp, window, "up");
    Log(window->sigKey, window, "key");
    window->InjectMessage(WM_KEYDOWN, VK_CONTROL, 0x001D0001);
    EXPECT_TRUE(IsKeyDown(VK_CONTROL));
    window->InjectMessage(WM_KEYDOWN, 'I', 0x00170001);
    window->InjectMessage(WM_CHAR, L'ш', 1);
    window->InjectMessage(WM_SYSKEYDOWN, 0x73, 0x203E0001);
    window->InjectMessage(WM_KEYUP, VK_CONTROL, static_cast<int32_t>(0xC01D0001u));
    EXPECT_FALSE(IsKeyDown(VK_CONTROL));
    EXPECT_EQ(log, (std::vector<std::string> { "down:256", "key:256", "down:256", "key:256", "key:258",
                       "down:260", "key:260", "up:257", "key:257" }));
}

// Moving the mouse out of the window gives one leave for the root and its hovered chain;
// moving it back gives one enter for the root, the children follow on the next move.
TEST_F(WindowRoutingTest, MouseEnteringAndLeavingTheWindow)
{
    Log(window->sigMouseEnter, window, "root");
    Log(window->sigMouseLeave, window, "root");
    Log(screen->sigMouseEnter, screen, "screen");
    Log(screen->sigMouseLeave, screen, "screen");
    Log(leaf->sigMouseEnter, leaf, "leaf");
    Log(leaf->sigMouseLeave, leaf, "leaf");
    Mouse(WM_MOUSEMOVE, 150, 150);
    Pass();
    Pass();
    EXPECT_EQ(log, (std::vector<std::string> { "screen:523", "leaf:523", "root:523" }));
    EXPECT_TRUE(window->IsMouseOver());

    log.clear();
    SetCursorPosition(850, 150); // off the canvas; the simulated pointer posts its move
    Pass();
    Pass();
    EXPECT_FALSE(window->IsMouseOver());
    EXPECT_EQ(log, (std::vector<std::string> { "screen:675", "leaf:675", "root:675" }));

    log.clear();
    SetCursorPosition(150, 150);
    Pass();
    EXPECT_EQ(log, (std::vector<std::string> { "screen:523", "leaf:523", "root:523" }));
}

// SDL events pushed into the queue are translated and handled by the next pass.
TEST_F(WindowRoutingTest, PushedSdlEventsAreTranslatedByThePass)
{
    if (SDL_WasInit(SDL_INIT_EVENTS) == 0)
        GTEST_SKIP() << "SDL's event queue is not running in this build of the display";
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    Log(window->sigKeyDown, window, "down");
    SDL_Event key {};
    key.type = SDL_KEYDOWN;
    key.key.keysym.scancode = SDL_SCANCODE_F1;
    key.key.keysym.sym = SDLK_F1;
    ASSERT_EQ(SDL_PushEvent(&key), 1);
    SDL_Event close {};
    close.type = SDL_QUIT;
    ASSERT_EQ(SDL_PushEvent(&close), 1);
    Pass();
    EXPECT_EQ(log, (std::vector<std::string> { "down:256" }));
    EXPECT_TRUE(window->IsQuitting());
}

// After a render-target reset the window redraws everything once the device is back.
TEST_F(WindowRoutingTest, RepaintAfterADeviceReset)
{
    Pass();
    const uint32_t drawn = window->FramesDrawn();
    window->Display()->NotifyReset(false);
    window->InjectMessage(WM_PAINT, 0, 0);
    Pass();
    EXPECT_EQ(window->FramesDrawn(), drawn + 1);
}
