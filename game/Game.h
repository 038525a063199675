#pragma once
// The game screen: background, three puzzle dialogs stacked (one shown at a time), the
// well-done picture and the next arrow, and the advance from one puzzle to the next.
// One game at a time; its state is process-wide.

#include "framework/Button.h"
#include "framework/Dialog.h"
#include "framework/Effects.h"

#include <array>

class TirlanDlg;

struct GameState {
    IMDialog* parent { nullptr };
    std::array<TirlanDlg*, 3> puzzles {};
    int current { 0 };
    IMButtonBase<IMStateView>* nextArrow { nullptr };
    IMPicture* wellDone { nullptr };
    IMPicture* background { nullptr };
};

// The running game; every pointer is null when none runs.
GameState& CurrentGame();
// Forgets the running game (its dialogs are going away).
void ForgetGame();

// Fills the exercise dialog with the game: the factory of the exercise "Dialog1".
void BuildGame(IMDialog* exerciseDialog);
// The click on the enabled next arrow: the next puzzle, or after the third the statistics,
// the task-completed picture and the background raised over the puzzles.
long NextPuzzle(const IMMouseEvent& event);

// The drag and extra-click counters the puzzles count into: the application's when there
// is one, otherwise counters of the game's own.
int* GameDragCounter();
int* GameExtraClickCounter();
