#pragma once
// App: this program's application: the puzzle game as its one exercise ("Dialog1"), its
// texts, and the game's own counters (drags and extra clicks).

#include "app/IMApp.h"

#include <string>

class App : public IMApp<App> {
public:
    // The teacher's description shown on the start screen (901 characters).
    static const std::wstring& TeacherDescription();

    ~App() override;

    // Registers the game as "Dialog1".
    void Init() override;
    // Replaced by the screens: the game's spoken instruction; until then the plain page.
    void ShowInstruction(IMDialog* dialog) override;

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
