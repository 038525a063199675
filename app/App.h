#pragma once
// App: this program's application: the puzzle game as its one exercise ("Dialog1"), its
// texts, and the game's own counters (drags and extra clicks).

#include "app/IMApp.h"

#include <string>

class CursorMouse;

class App : public IMApp<App> {
public:
    // The teacher's description shown on the start screen (901 characters).
    static const std::wstring& TeacherDescription();

    ~App() override;

    // Registers the game as "Dialog1".
    void Init() override;
    // The game's spoken instruction acted out in `dialog`: the first puzzle's pieces, the
    // blinking frames, the drawn cursor carrying a piece, the pieces flying into place.
    void ShowInstruction(IMDialog* dialog) override;
    // The end of the instruction (the speech is over or `dialog` closed), once per
    // instruction: the closing page, the system cursor back, the drawn cursor released.
    void InstructionEnd(IMDialog* dialog, CursorMouse* cursor);
    // The closing page in `dialog`: keyboard, mouse, the blinking space bar and the closing
    // sentence; Space closes `dialog`.
    void ShowClosingPage(IMDialog* dialog);

    // The next arrow after the third puzzle: the drag and extra-click rows, then the praise.
    void RecordGameStatistics();

    IMDialog* instructionDialog { nullptr };
    bool instructionEnded { false };
    int dragCount { 0 };
    int extraClickCount { 0 };

protected:
    friend class IMApp<App>;
    App();
};
