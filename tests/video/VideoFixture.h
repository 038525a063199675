#pragma once
// A headless main window on a manual clock for the video tests: passes are run by hand at
// chosen clock times, and what reached the canvas is read back.

#include "framework/Window.h"
#include "graphics/ResourceManager.h"
#include "platform/Clock.h"
#include "platform/Cursor.h"
#include "platform/Display.h"
#include "platform/Keyboard.h"
#include "platform/MessageQueue.h"
#include "video/TheoraAnimation.h"

#include "ClipMaker.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <list>
#include <vector>

class VideoTest : public ::testing::Test {
protected:
    static constexpr int32_t kPeriod = 5000;

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

    // Microseconds from Play to the start of clock index `index`.
    static uint64_t IndexStart(int64_t index, int64_t period = kPeriod)
    {
        return (uint64_t(index) * uint64_t(period) * 1'000'000 + 59'999) / 60'000;
    }

    // An animation in the main window over `rect`, with the clip opened and the period set.
    // The fixture keeps the clip: a view reads it in place for as long as it plays.
    IMTheoraAnimation* Animation(std::vector<uint8_t> clip, RECT rect = { 0, 0, 32, 32 })
    {
        const std::vector<uint8_t>& kept = clips.emplace_back(std::move(clip));
        auto* animation = new IMTheoraAnimation(window);
        opened = animation->Open(kept.data(), int32_t(kept.size()));
        animation->SetRect(rect);
        animation->framePeriod = kPeriod;
        animation->ConnectFinished([this](const IMEvent&) -> long {
            ++finished;
            return 0;
        });
        return animation;
    }

    void Play(IMTheoraAnimation* animation)
    {
        playedAt = now;
        animation->Play();
    }

    // Moves the clock to `us` after the last Play (never backwards) and runs one pass.
    uint32_t PassAt(uint64_t us)
    {
        const uint64_t target = playedAt + us;
        if (target > now) {
            clock.AdvanceMicroseconds(target - now);
            now = target;
        }
        return window->RunPass();
    }
    uint32_t PassAtIndex(int64_t index) { return PassAt(IndexStart(index)); }

    uint32_t Pixel(int x, int y) const
    {
        const std::vector<uint32_t> pixels = window->Display()->ReadPixels();
        const size_t at = size_t(y) * size_t(window->Display()->CanvasWidth()) + size_t(x);
        return at < pixels.size() ? pixels[at] : 0;
    }
    // The frame whose marker is on the canvas at (x, y); -1 for black, -2 for anything else.
    int FrameAt(int x = 16, int y = 16) const { return FrameFromRed(int((Pixel(x, y) >> 16) & 0xFF)); }

    ManualClock clock { 1'000'000'000 };
    ScopedClock scoped { clock };
    uint64_t now { 0 };
    uint64_t playedAt { 0 };
    std::list<std::vector<uint8_t>> clips;
    IMWindow* window { nullptr };
    bool opened { false };
    int finished { 0 };
};
