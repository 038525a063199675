// Frame time of the game screen while a piece is dragged: the whole program on a headless
// 800 x 600 window (software renderer), the game built with its three puzzles (28 pieces),
// a piece of the first puzzle held down. One iteration = one mouse move of the held piece
// and one pass of the loop, which draws and presents the frame (no read-back).

#include "app/App.h"
#include "framework/Messages.h"
#include "framework/StaticPicture.h"
#include "framework/Window.h"
#include "game/Game.h"
#include "game/TirlanDlg.h"
#include "platform/Clock.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include <unistd.h>

namespace fs = std::filesystem;

namespace {

int32_t At(int x, int y)
{
    return static_cast<int32_t>((static_cast<uint32_t>(y) << 16) | (static_cast<uint32_t>(x) & 0xFFFF));
}

// The program with the game on the screen, its instruction skipped with Esc.
class RunningGame {
public:
    RunningGame()
        : dataHome(fs::temp_directory_path() / ("tirlan-bench-drag-" + std::to_string(::getpid())))
    {
        fs::create_directories(dataHome);
        ::setenv("XDG_DATA_HOME", dataHome.c_str(), 1);
        App::windowMaker = [](const std::wstring&, bool) { return IMWindow::CreateHeadless(); };
        app = App::Instance(L"00734 Игра «Тирлан»", false);
        if (app == nullptr || app->mainWindow == nullptr)
            return;
        window = app->mainWindow;
        Pass();
        app->StartPressed(L"");
        Pass();
        window->InjectMessage(WM_KEYDOWN, VK_ESCAPE, 0);
        window->InjectMessage(WM_KEYUP, VK_ESCAPE, static_cast<int32_t>(0xC0000000u));
        Pass();
        Pass();
    }
    ~RunningGame()
    {
        App::ReleaseInstance();
        App::windowMaker = {};
        std::error_code ignored;
        fs::remove_all(dataHome, ignored);
    }

    void Pass(uint64_t ms = 0)
    {
        clock.AdvanceMilliseconds(ms);
        window->RunPass();
    }

    // Why the game is not as the benchmark needs it, or empty when it is.
    std::string Problem() const
    {
        if (window == nullptr)
            return "no headless window";
        const GameState& game = CurrentGame();
        if (game.parent == nullptr || game.parent != app->exerciseDialog)
            return "the game did not start";
        std::size_t pieces = 0;
        for (const TirlanDlg* puzzle : game.puzzles) {
            if (puzzle == nullptr)
                return "a puzzle is missing";
            pieces += puzzle->pieces.size();
        }
        if (pieces != 28)
            return "the game has " + std::to_string(pieces) + " pieces, not 28";
        return {};
    }

    // A canvas point where a press reaches a piece of the first puzzle.
    std::optional<POINT> PieceUnder() const
    {
        IMDialog* exercise = CurrentGame().parent;
        TirlanDlg* puzzle = CurrentGame().puzzles[0];
        for (const TirlanDlg::PieceSlot& slot : puzzle->pieces) {
            const RECT r = slot.picture->GetRect();
            for (int y = r.top + 2; y < r.bottom; y += 3)
                for (int x = r.left + 2; x < r.right; x += 3)
                    if (x >= 0 && y >= 0 && x < 800 && y < 600 && window->FindChildAt(x, y) == exercise
                        && exercise->FindChildAt(x, y) == puzzle && puzzle->FindChildAt(x, y) == slot.picture)
                        return POINT { x, y };
        }
        return std::nullopt;
    }

    ManualClock clock { 1'000'000'000 };
    ScopedClock scoped { clock };
    fs::path dataHome;
    App* app { nullptr };
    IMWindow* window { nullptr };
};

void DragFrame(benchmark::State& state)
{
    RunningGame game;
    if (const std::string problem = game.Problem(); !problem.empty()) {
        state.SkipWithError(problem.c_str());
        return;
    }
    const std::optional<POINT> grab = game.PieceUnder();
    if (!grab) {
        state.SkipWithError("no piece can be grabbed");
        return;
    }
    IMWindow* window = game.window;
    window->InjectMessage(WM_MOUSEMOVE, 0, At(grab->x, grab->y));
    window->InjectMessage(WM_LBUTTONDOWN, MK_LBUTTON, At(grab->x, grab->y));
    game.Pass();
    if (CurrentGame().puzzles[0]->draggedPiece == nullptr) {
        state.SkipWithError("the press did not pick the piece up");
        return;
    }
    const uint32_t framesBefore = window->FramesDrawn();
    int step = 1; // the first move must leave the grab point
    for (auto _ : state) {
        // Back and forth over 60 pixels, as a hand would move it: every move is a change.
        const int offset = (step < 30 ? step : 60 - step) * 2;
        step = (step + 1) % 60;
        window->InjectMessage(WM_MOUSEMOVE, MK_LBUTTON, At(grab->x + offset, grab->y + offset / 2));
        game.Pass(13);
    }
    const uint32_t frames = window->FramesDrawn() - framesBefore;
    if (frames != state.iterations())
        state.SkipWithError("not every move drew a frame");
    window->InjectMessage(WM_LBUTTONUP, 0, At(grab->x, grab->y));
    game.Pass();
    state.counters["frames"] = static_cast<double>(frames);
}
BENCHMARK(DragFrame)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
