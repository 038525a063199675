// The loop of the headless main window on a manual clock: passes, frames only when dirty,
// the frame counter, minimising, closing, posted messages and the wait it asks for.

#include "WindowFixture.h"

#include "graphics/ResourceManager.h"

#include <atomic>
#include <thread>

namespace {

using LoopTest = WindowTest;
using LoopThreads = WindowTest;

} // namespace

TEST_F(LoopTest, CreationSetsTheProcessWidePointers)
{
    EXPECT_EQ(rootWindow, window);
    EXPECT_EQ(windowHandle, window->Display());
    EXPECT_NE(resourceManager, nullptr);
    EXPECT_EQ(window->GetRect(), (RECT { 0, 0, 800, 600 }));
    EXPECT_EQ(window->parent, nullptr);
    delete window;
    window = nullptr;
    EXPECT_EQ(rootWindow, nullptr);
    EXPECT_EQ(windowHandle, nullptr);
    EXPECT_EQ(resourceManager, nullptr);
}

// Each pass updates the tree and counts a frame tick; a frame is drawn only when something
// is dirty.
TEST_F(LoopTest, FramesAreDrawnOnlyWhenDirty)
{
    int updates = 0;
    ConnectTracked(window->sigUpdate, window, [&](const IMEvent& e) {
        EXPECT_TRUE(e.Is(WM_CLOSE));
        ++updates;
        return 0L;
    });
    Pass();
    EXPECT_EQ(window->FramesDrawn(), 1u); // the first frame shows the new window
    const uint32_t ticks = window->FrameCount();
    Pass();
    Pass();
    EXPECT_EQ(window->FramesDrawn(), 1u);
    EXPECT_EQ(window->FrameCount(), ticks + 2);
    EXPECT_EQ(updates, 3);
    EXPECT_FALSE(window->IsDirty());

    auto* leaf = new ProbeLeaf(window, RECT { 10, 10, 20, 20 });
    Pass(); // insertion marks the window dirty
    EXPECT_EQ(window->FramesDrawn(), 2u);
    leaf->SetRect(RECT { 30, 30, 40, 40 });
    Pass();
    EXPECT_EQ(window->FramesDrawn(), 3u);
    Pass();
    EXPECT_EQ(window->FramesDrawn(), 3u);
    window->InjectMessage(WM_PAINT, 0, 0);
    Pass();
    EXPECT_EQ(window->FramesDrawn(), 4u);
}

// While minimised or hidden the tree is updated and timers fire, but no frame is drawn and
// the frame counter stands still.
TEST_F(LoopTest, InactiveWindowUpdatesAndFiresTimersButDrawsNothing)
{
    struct Case {
        uint32_t hide, hideParam, show, showParam;
    };
    const Case cases[] = { { IM_WM_SIZE, IM_SIZE_MINIMIZED, IM_WM_SIZE, IM_SIZE_RESTORED },
        { IM_WM_SHOWWINDOW, 0, IM_WM_SHOWWINDOW, 1 } };
    for (const Case& c : cases) {
        Pass();
        int fired = 0;
        int updates = 0;
        int id = window->AddTimer(0);
        window->ConnectTimer(id, [&](const IMEvent&) { return long(++fired); });
        IMConnection u = ConnectTracked(window->sigUpdate, window, [&](const IMEvent&) { return long(++updates); });
        window->InjectMessage(c.hide, c.hideParam, 0);
        EXPECT_TRUE(window->inactive);
        window->SetDirty(true);
        const uint32_t ticks = window->FrameCount();
        const uint32_t drawn = window->FramesDrawn();
        Pass(1);
        Pass(1);
        EXPECT_EQ(window->FrameCount(), ticks);
        EXPECT_EQ(window->FramesDrawn(), drawn);
        EXPECT_EQ(fired, 2);
        EXPECT_EQ(updates, 2);
        window->InjectMessage(c.show, c.showParam, 0);
        EXPECT_FALSE(window->inactive);
        Pass(1);
        EXPECT_EQ(window->FramesDrawn(), drawn + 1);
        window->RemoveTimer(id);
        u.disconnect();
    }
}

// Alt+F4 (WM_CLOSE) releases every screen and ends the loop without the root's sigClosed;
// the screens are deleted when the window is.
TEST_F(LoopTest, CloseReleasesEveryScreenAndQuits)
{
    bool screenDeleted = false;
    bool leafDeleted = false;
    auto* screen = new ProbeScreen(window);
    screen->deleted = &screenDeleted;
    auto* leaf = new ProbeLeaf(screen, RECT { 0, 0, 5, 5 });
    leaf->deleted = &leafDeleted;
    int rootClosed = 0;
    int screenClosed = 0;
    ConnectTracked(window->sigClosed, window, [&](const IMEvent&) { return long(++rootClosed); });
    Pass();
    Pass();
    window->InjectMessage(WM_CLOSE, 0, 0);
    window->InjectMessage(WM_CLOSE, 0, 0); // the window manager and Alt+F4 may both ask
    EXPECT_TRUE(window->IsQuitting());
    EXPECT_TRUE(window->IsPendingDelete(screen));
    EXPECT_EQ(rootClosed, 0);
    EXPECT_EQ(screenClosed, 0);
    EXPECT_EQ(window->RunPass(), 0u);
    EXPECT_FALSE(screenDeleted);
    delete window;
    window = nullptr;
    EXPECT_TRUE(screenDeleted);
    EXPECT_TRUE(leafDeleted);
}

TEST_F(LoopTest, ClosingTheRootEndsRun)
{
    int id = window->AddTimer(0);
    window->ConnectTimer(id, [&](const IMEvent&) { return window->Close(); });
    EXPECT_EQ(IMWindow::Run(window), 0);
    EXPECT_TRUE(window->IsQuitting());

    // Run also ends on a queued close, handled before any idle work.
    delete window;
    window = IMWindow::CreateHeadless();
    ASSERT_NE(window, nullptr);
    PostWindowMessage(WM_CLOSE, 0, 0);
    EXPECT_EQ(IMWindow::Run(window), 0);
}

// The wait the pass leaves to the caller: until input when nothing is scheduled, until the
// next timer, never zero (an interval-0 timer still leaves a millisecond for input).
TEST_F(LoopTest, PassReturnsTheTimeUntilTheNextTimer)
{
    EXPECT_EQ(Pass(), UINT32_MAX);
    int id = window->AddTimer(10);
    EXPECT_EQ(Pass(4), 6u);
    window->RequestPassWithin(2);
    EXPECT_EQ(Pass(), 2u);
    EXPECT_EQ(Pass(), 6u); // the request lasts one pass
    int zero = window->AddTimer(0);
    EXPECT_EQ(Pass(), 1u);
    window->RemoveTimer(zero);
    window->RemoveTimer(id);
    EXPECT_EQ(Pass(), UINT32_MAX);
}

TEST_F(LoopTest, WhatATimerChangesIsDrawnWithoutWaitingForInput)
{
    Pass();
    const int id = window->AddTimer(10);
    ProbeLeaf* leaf = nullptr;
    window->ConnectTimer(id, [&](const IMEvent&) {
        if (!leaf)
            leaf = new ProbeLeaf(window, RECT { 10, 10, 20, 20 });
        window->RemoveTimer(id);
        return 0L;
    });
    const uint32_t drawn = window->FramesDrawn();
    EXPECT_LE(Pass(10), 1u) << "the handler made the tree dirty: the loop must not sleep";
    ASSERT_NE(leaf, nullptr);
    Pass();
    EXPECT_EQ(window->FramesDrawn(), drawn + 1);
    EXPECT_EQ(Pass(), UINT32_MAX) << "and then it sleeps again";
}

TEST_F(LoopTest, TimerIdsAreNeverReusedForTheLifeOfTheWindow)
{
    EXPECT_EQ(window->AddTimer(5), 1);
    EXPECT_EQ(window->AddTimer(5), 2);
    window->RemoveTimer(1);
    window->RemoveTimer(2);
    EXPECT_EQ(window->AddTimer(5), 3);
}

// Posted messages are delivered by the next pass, never inside the poster's call, and
// registered ones go to the receivers before the window's own handling.
TEST_F(LoopTest, PostedMessagesArriveOnTheNextPass)
{
    const uint32_t play = RegisterWindowMessage(L"LoopTest.PLAY");
    std::vector<IMWindowMessage> got;
    int token = AddRegisteredMessageHandler([&](const IMWindowMessage& m) { got.push_back(m); });
    int keys = 0;
    ConnectTracked(window->sigKeyDown, window, [&](const IMKeyboardEvent& e) {
        EXPECT_EQ(e.wParam, VK_F1);
        return long(++keys);
    });
    PostWindowMessage(play, 3, -1);
    PostWindowMessage(WM_KEYDOWN, VK_F1, 0x003B0001);
    EXPECT_TRUE(got.empty());
    EXPECT_EQ(keys, 0);
    Pass();
    EXPECT_EQ(got, (std::vector<IMWindowMessage> { { play, 3, -1 } }));
    EXPECT_EQ(keys, 1);
    RemoveRegisteredMessageHandler(token);
}

TEST_F(LoopThreads, MessagesPostedFromAnotherThreadAreHandledOnTheLoopThread)
{
    const uint32_t label = RegisterWindowMessage(L"LoopThreads.LABEL");
    const std::thread::id loopThread = std::this_thread::get_id();
    int received = 0;
    int token = AddRegisteredMessageHandler([&](const IMWindowMessage& m) {
        EXPECT_EQ(std::this_thread::get_id(), loopThread);
        EXPECT_EQ(m.lParam, received);
        ++received;
    });
    // The decode threads of sounds remove their timers through the window as well.
    int timer = window->AddTimer(1000);
    std::thread poster([&] {
        for (int i = 0; i < 500; ++i)
            PostWindowMessage(label, 0, i);
        window->RemoveTimer(timer);
    });
    poster.join();
    EXPECT_TRUE(window->Timers().HasTimer(timer));
    Pass();
    EXPECT_EQ(received, 500);
    EXPECT_FALSE(window->Timers().HasTimer(timer));
    RemoveRegisteredMessageHandler(token);
}

// Run sleeps in the bounded wait; a message posted from another thread wakes it.
TEST_F(LoopThreads, PostWakesASleepingLoop)
{
    const uint32_t stop = RegisterWindowMessage(L"LoopThreads.STOP");
    int token = AddRegisteredMessageHandler([&](const IMWindowMessage& m) {
        if (m.message == stop)
            window->Close();
    });
    std::atomic<bool> started { false };
    std::thread poster([&] {
        while (!started)
            std::this_thread::yield();
        PostWindowMessage(stop, 0, 0);
    });
    started = true;
    EXPECT_EQ(IMWindow::Run(window), 0);
    poster.join();
    RemoveRegisteredMessageHandler(token);
}
