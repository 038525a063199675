#pragma once
// A headless main window on a manual clock, for tests of the loop, the timers and the
// effects: passes are run by hand and time moves only when the test says so.

#include "framework/Dialog.h"
#include "framework/Messages.h"
#include "framework/Window.h"
#include "platform/Clock.h"
#include "platform/Cursor.h"
#include "platform/Keyboard.h"
#include "platform/MessageQueue.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// A leaf hit on its whole rectangle; reports its deletion.
class ProbeLeaf : public IMViewControl<IMEmptyView> {
public:
    ProbeLeaf(IMDialog* parent, RECT r, int layer = 0) : IMViewControl<IMEmptyView>(parent, layer) { SetRect(r); }
    ~ProbeLeaf() override
    {
        if (deleted)
            *deleted = true;
    }
    bool* deleted { nullptr };
};

// A screen (dialog) that reports its deletion.
class ProbeScreen : public IMDialog {
public:
    explicit ProbeScreen(IMDialog* parent, const RECT* r = nullptr) : IMDialog(parent, r, 0) { }
    ~ProbeScreen() override
    {
        if (deleted)
            *deleted = true;
    }
    bool* deleted { nullptr };
};

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetCursorState();
        ReleaseAllKeys();
        TakePostedMessages();
        window = IMWindow::CreateHeadless();
        ASSERT_NE(window, nullptr);
    }
    void TearDown() override
    {
        delete window;
        TakePostedMessages();
        ResetCursorState();
        ReleaseAllKeys();
    }

    // Advances the clock by `ms`, then runs one pass.
    uint32_t Pass(uint64_t ms = 0)
    {
        clock.AdvanceMilliseconds(ms);
        return window->RunPass();
    }
    // Runs one pass per millisecond for `ms` milliseconds.
    void RunFor(uint64_t ms)
    {
        for (uint64_t i = 0; i < ms; ++i)
            Pass(1);
    }
    uint64_t Now() const { return clock.Counter() / 1000 - startMs; }

    ManualClock clock { 1'000'000'000 };
    ScopedClock scoped { clock };
    uint64_t startMs { 1'000'000 };
    IMWindow* window { nullptr };
};
