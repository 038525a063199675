#pragma once
// The whole program in-process on a headless window and a manual clock, driven only through
// window messages: keys, mouse moves and button presses at canvas positions.

#include "app/App.h"
#include "framework/Messages.h"
#include "framework/StaticPicture.h"
#include "framework/Window.h"
#include "game/Game.h"
#include "game/Levels.h"
#include "game/TirlanDlg.h"
#include "platform/Clock.h"
#include "platform/Cursor.h"
#include "platform/Keyboard.h"
#include "platform/MessageQueue.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

class GameFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        dataHome = std::filesystem::temp_directory_path()
            / ("tirlan-game-" + std::to_string(::getpid()) + "-" + std::to_string(++runs));
        std::filesystem::create_directories(dataHome);
        ::setenv("XDG_DATA_HOME", dataHome.c_str(), 1);
        ResetCursorState();
        ReleaseAllKeys();
        TakePostedMessages();
        TirlanDlg::ResetLastTintIndex();
        App::windowMaker = [](const std::wstring&, bool) { return IMWindow::CreateHeadless(); };
        app = App::Instance(L"00734 Игра «Тирлан»", false);
        ASSERT_NE(app, nullptr);
        ASSERT_NE(app->mainWindow, nullptr);
        window = app->mainWindow;
        Pass();
    }
    void TearDown() override
    {
        App::ReleaseInstance();
        App::windowMaker = {};
        TakePostedMessages();
        ResetCursorState();
        ReleaseAllKeys();
        std::error_code ignored;
        std::filesystem::remove_all(dataHome, ignored);
    }

    // ---- time and input ----

    void Pass(uint64_t ms = 0)
    {
        clock.AdvanceMilliseconds(ms);
        window->RunPass();
    }
    // Runs passes 10 ms apart for `ms` milliseconds.
    void RunFor(uint64_t ms)
    {
        for (uint64_t t = 0; t < ms; t += 10)
            Pass(10);
    }
    static int32_t At(int x, int y) { return static_cast<int32_t>((static_cast<uint32_t>(y) << 16) | (static_cast<uint32_t>(x) & 0xFFFF)); }
    void Move(int x, int y, uint32_t flags = 0) { window->InjectMessage(WM_MOUSEMOVE, flags, At(x, y)); }
    void Button(uint32_t message, int x, int y, uint32_t flags) { window->InjectMessage(message, flags, At(x, y)); }
    void LeftClick(int x, int y)
    {
        Move(x, y);
        Button(WM_LBUTTONDOWN, x, y, MK_LBUTTON);
        Button(WM_LBUTTONUP, x, y, 0);
        Pass();
    }
    void Key(uint32_t vk)
    {
        window->InjectMessage(WM_KEYDOWN, vk, 0);
        window->InjectMessage(WM_KEYUP, vk, static_cast<int32_t>(0xC0000000u));
        Pass();
    }

    // Start with `name`, skip the instruction with Esc: the game is on the screen.
    void StartGame(const std::wstring& name = L"")
    {
        app->StartPressed(name);
        Pass();
        Key(VK_ESCAPE);
        Pass();
        ASSERT_NE(app->exerciseDialog, nullptr);
        ASSERT_EQ(CurrentGame().parent, app->exerciseDialog);
    }

    // ---- the game as the tree shows it ----

    TirlanDlg* Puzzle() const { return CurrentGame().puzzles[static_cast<std::size_t>(CurrentGame().current)]; }
    static const PieceEntry& TargetOf(int puzzle, std::size_t piece) { return kLevels[static_cast<std::size_t>(puzzle)].pieces[piece]; }

    // Whether a press at (x, y) would reach `control` inside the current puzzle.
    bool Reaches(int x, int y, IMControl* control) const
    {
        IMDialog* exercise = CurrentGame().parent;
        TirlanDlg* puzzle = Puzzle();
        return window->FindChildAt(x, y) == exercise && exercise->FindChildAt(x, y) == puzzle
            && puzzle->FindChildAt(x, y) == control;
    }
    // A point of `control` (canvas pixels) that a press would reach, if any.
    std::optional<POINT> GrabPoint(IMControl* control) const
    {
        const RECT r = control->GetRect();
        for (int y = r.top + 2; y < r.bottom; y += 3)
            for (int x = r.left + 2; x < r.right; x += 3)
                if (x >= 0 && y >= 0 && x < 800 && y < 600 && Reaches(x, y, control))
                    return POINT { x, y };
        return std::nullopt;
    }
    // Drags piece `index` of the current puzzle so that it is dropped (offX, offY) away from
    // its place. False when no point of it can be grabbed.
    bool DragPiece(std::size_t index, int offX, int offY)
    {
        IMPicture* piece = Puzzle()->pieces[index].picture;
        const auto grab = GrabPoint(piece);
        if (!grab)
            return false;
        const PieceEntry& target = TargetOf(CurrentGame().current, index);
        const POINT at = piece->GetPosition();
        const int dropX = grab->x + kFrameOrigin.x + target.targetX - at.x + offX;
        const int dropY = grab->y + kFrameOrigin.y + target.targetY - at.y + offY;
        Move(grab->x, grab->y);
        Button(WM_LBUTTONDOWN, grab->x, grab->y, MK_LBUTTON);
        Move((grab->x + dropX) / 2, (grab->y + dropY) / 2, MK_LBUTTON);
        Move(dropX, dropY, MK_LBUTTON);
        Button(WM_LBUTTONUP, dropX, dropY, 0);
        Pass();
        return true;
    }
    // Places every piece of the current puzzle exactly, always taking a piece that can be
    // grabbed (pieces may hide one another). Answers how many drags it made.
    int SolvePuzzle()
    {
        int drags = 0;
        for (int guard = 0; guard < 20 && Puzzle()->remainingPieces > 0; ++guard) {
            auto& pieces = Puzzle()->pieces;
            for (std::size_t i = 0; i < pieces.size(); ++i) {
                if (pieces[i].active && GrabPoint(pieces[i].picture)) {
                    EXPECT_TRUE(DragPiece(i, 0, 0));
                    ++drags;
                    break;
                }
            }
        }
        return drags;
    }
    // A click in the middle of the current next arrow.
    void ClickNextArrow() { LeftClick(142 + 48, 497 + 29); }

    ManualClock clock { 1'000'000'000 };
    ScopedClock scoped { clock };
    App* app { nullptr };
    IMWindow* window { nullptr };
    std::filesystem::path dataHome;
    static inline int runs = 0;
};
