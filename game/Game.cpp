#include "game/Game.h"

#include "app/App.h"
#include "app/ProgramSound.h"
#include "framework/StaticPicture.h"
#include "game/Levels.h"
#include "game/TirlanDlg.h"

#include <string>

namespace {
GameState game;
// Counters for a game played without an application object.
int ownDragCount = 0;
int ownExtraClickCount = 0;

// The places and textures of the screen outside the puzzles.
constexpr POINT nextArrowAt { 142, 497 };
constexpr POINT wellDoneAt { 499, 497 };
constexpr POINT taskDoneAt { 498, 243 };
constexpr POINT backgroundAt { 0, 60 };
constexpr int wellDoneLayer = 4;
constexpr int raisedBackgroundLayer = 3;
// The spoken prompts of puzzles 2 and 3.
constexpr const wchar_t* promptSounds[] = { nullptr, L"145", L"146" };

std::wstring Name(int texture) { return std::to_wstring(texture); }

// A disabled next arrow on `puzzle` whose click leads on.
IMButtonBase<IMStateView>* CreateNextArrow(TirlanDlg* puzzle)
{
    IMButtonBase<IMStateView>* button = puzzle->CreateButton(nextArrowAt.x, nextArrowAt.y, L"101", L"105", L"101", L"101", 0);
    if (button == nullptr)
        return nullptr;
    button->Disable();
    ConnectTracked(button->sigClick, button, [](const IMMouseEvent& e) { return NextPuzzle(e); });
    return button;
}

TirlanDlg* CreatePuzzle(IMDialog* parent, const LevelEntry& level)
{
    const RECT whole { 0, 0, 800, 600 };
    auto* puzzle = new TirlanDlg(parent, whole, level.tinted);
    puzzle->dragCounter = GameDragCounter();
    puzzle->extraClickCounter = GameExtraClickCounter();
    puzzle->SetHeader(Name(level.header));
    puzzle->frameOrigin = &kFrameOrigin;
    puzzle->scatterArea = &kScatterArea;
    for (std::size_t i = 0; i < level.pieceCount; ++i) {
        const PieceEntry& piece = level.pieces[i];
        puzzle->AddPiece(Name(piece.texture), piece.targetX, piece.targetY);
    }
    puzzle->SetHint(Name(level.hint));
    return puzzle;
}
} // namespace

GameState& CurrentGame() { return game; }

void ForgetGame() { game = GameState {}; }

int* GameDragCounter()
{
    App* app = App::Current();
    return app ? &app->dragCount : &ownDragCount;
}

int* GameExtraClickCounter()
{
    App* app = App::Current();
    return app ? &app->extraClickCount : &ownExtraClickCount;
}

void BuildGame(IMDialog* exerciseDialog)
{
    if (exerciseDialog == nullptr)
        return;
    ForgetGame();
    game.parent = exerciseDialog;
    *GameDragCounter() = 0;
    *GameExtraClickCounter() = 0;
    game.current = 0;

    game.wellDone = exerciseDialog->CreatePicture(wellDoneAt.x, wellDoneAt.y, L"137", wellDoneLayer, 0xFFFFFFFF);
    if (game.wellDone)
        game.wellDone->Hide();
    game.background = exerciseDialog->CreatePicture(backgroundAt.x, backgroundAt.y, L"102", 0, 0xFFFFFFFF);

    game.puzzles[0] = CreatePuzzle(exerciseDialog, kLevels[0]);
    game.nextArrow = CreateNextArrow(game.puzzles[0]);
    for (std::size_t i = 1; i < kLevelCount; ++i) {
        game.puzzles[i] = CreatePuzzle(exerciseDialog, kLevels[i]);
        game.puzzles[i]->Hide();
    }
}

long NextPuzzle(const IMMouseEvent& event)
{
    if (game.parent == nullptr)
        return 0;
    if (game.current < static_cast<int>(kLevelCount) - 1) {
        if (game.wellDone)
            game.wellDone->Hide();
        ++game.current;
        TirlanDlg* puzzle = game.puzzles[static_cast<std::size_t>(game.current)];
        // The previous arrow stays, disabled, on its hidden puzzle.
        game.nextArrow = CreateNextArrow(puzzle);
        for (std::size_t i = 0; i < kLevelCount; ++i) {
            if (game.puzzles[i] == puzzle)
                game.puzzles[i]->Show();
            else
                game.puzzles[i]->Hide();
        }
        PlayProgramSound(promptSounds[game.current]);
        return 0;
    }
    IMControl* clicked = event.sender;
    if (App* app = App::Current())
        app->RecordGameStatistics();
    if (game.wellDone) {
        game.wellDone->SetTexture(L"138");
        game.wellDone->MoveTo(taskDoneAt.x, taskDoneAt.y);
    }
    if (game.background)
        game.parent->SetLayer(game.background, raisedBackgroundLayer);
    if (clicked)
        clicked->Disable();
    return 0;
}
