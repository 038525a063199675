#pragma once
// A headless main window on a manual clock, with helpers to type, click and wait as the pupil
// would: everything goes through window messages and loop passes.

#include "framework/Messages.h"
#include "framework/Window.h"
#include "platform/Clock.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

class WidgetFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        window = IMWindow::CreateHeadless();
        ASSERT_NE(window, nullptr);
        Pass();
    }
    void TearDown() override { delete window; }

    void Pass() { window->RunPass(); }
    void Wait(uint32_t ms)
    {
        // Step in small slices so that chained timers fire as they come due.
        for (uint32_t done = 0; done < ms; done += 10) {
            clock.AdvanceMilliseconds(10);
            Pass();
        }
    }
    static int32_t Position(int x, int y) { return static_cast<int32_t>((y << 16) | (x & 0xFFFF)); }
    void MoveMouse(int x, int y, uint32_t buttons = 0)
    {
        window->InjectMessage(WM_MOUSEMOVE, buttons, Position(x, y));
        Pass();
    }
    void Press(int x, int y)
    {
        MoveMouse(x, y);
        window->InjectMessage(WM_LBUTTONDOWN, MK_LBUTTON, Position(x, y));
        Pass();
    }
    void Release(int x, int y)
    {
        window->InjectMessage(WM_LBUTTONUP, 0, Position(x, y));
        Pass();
    }
    void Click(int x, int y)
    {
        Press(x, y);
        Release(x, y);
    }
    void Type(const std::wstring& text)
    {
        for (wchar_t ch : text)
            window->InjectMessage(WM_CHAR, static_cast<uint32_t>(ch), 1);
        Pass();
    }
    void Key(uint32_t vk)
    {
        window->InjectMessage(WM_KEYDOWN, vk, 1);
        window->InjectMessage(WM_KEYUP, vk, static_cast<int32_t>(0xC0000001u));
        Pass();
    }

    ManualClock clock { 1'000'000 };
    ScopedClock installed { clock };
    IMWindow* window { nullptr };
};
