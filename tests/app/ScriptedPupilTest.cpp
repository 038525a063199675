// A pupil's whole run through window messages only, from the start screen to the results
// screen and the saved record, with the spoken instruction timed by the silent audio device.

#include "../game/GameFixture.h"

#include "app/ProgramSound.h"
#include "platform/AudioNull.h"
#include "platform/Resources.h"
#include "platform/Text.h"
#include "sound/SoundSystem.h"
#include "sound/WindowSoundHost.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <functional>
#include <memory>
#include <regex>
#include <sstream>
#include <thread>
#include <utility>
#include <vector>

using ::testing::ElementsAre;
using ::testing::Pair;

namespace {
// Calendar seconds at the fixture clock's zero: 1 January 2009 09:05 UTC less the clock's
// start of 1000 s.
constexpr int64_t kCalendarBase = 1230800700 - 1000;

using Rows = std::vector<std::pair<std::string, std::string>>;

// The rows of a saved workbook: each row's label and value; an empty row gives two empties.
Rows ReadRows(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream buffer;
    buffer << in.rdbuf();
    const std::string text = buffer.str();
    Rows rows;
    const std::regex row("<Row/>|<Row>(.*?)</Row>");
    const std::regex data("<Data[^>]*>([^<]*)</Data>");
    for (auto it = std::sregex_iterator(text.begin(), text.end(), row); it != std::sregex_iterator(); ++it) {
        const std::string cells = (*it)[1].str();
        std::vector<std::string> values;
        for (auto d = std::sregex_iterator(cells.begin(), cells.end(), data); d != std::sregex_iterator(); ++d)
            values.push_back((*d)[1].str());
        values.resize(2);
        rows.emplace_back(values[0], values[1]);
    }
    return rows;
}
} // namespace

class ScriptedPupilThreads : public GameFixture {
protected:
    void SetUp() override
    {
        ::setenv("TZ", "UTC", 1);
        ::tzset();
        App::calendarClock = [this] { return kCalendarBase + static_cast<int64_t>(clock.Milliseconds() / 1000); };
        GameFixture::SetUp();
        sound = std::make_unique<CSoundSystem>();
        sound->SetResourceLookup([](uint16_t id) { return FindNumberedResource(id); });
        ASSERT_EQ(sound->InitializeSound(&host, std::make_unique<NullAudioDevice>()), 1);
        SetProgramSound(sound.get());
        app->ShowStartScreen();
        Pass();
    }
    void TearDown() override
    {
        // The screens go before the sounds they hold ids of.
        App::ReleaseInstance();
        SetProgramSound(nullptr);
        sound.reset();
        App::calendarClock = {};
        GameFixture::TearDown();
    }

    // Types `text` into the focused field as the keyboard would: one character message each.
    void Type(const std::wstring& text)
    {
        for (wchar_t ch : text)
            window->InjectMessage(WM_CHAR, static_cast<uint32_t>(ch), 1);
        Pass();
    }
    // Runs 10 ms passes until `done` holds or `limitMs` of program time have gone; the sound
    // threads get a moment each pass. The program time it took, or -1.
    int64_t RunUntil(const std::function<bool()>& done, uint64_t limitMs)
    {
        for (uint64_t t = 0; t <= limitMs; t += 10) {
            if (done())
                return static_cast<int64_t>(t);
            std::this_thread::sleep_for(std::chrono::microseconds(200));
            Pass(10);
        }
        return done() ? static_cast<int64_t>(limitMs) : -1;
    }
    // Children of the main window that are neither pending deletion nor hidden.
    bool IsOpen(IMDialog* dialog) const
    {
        return dialog != nullptr && !window->IsPendingDelete(dialog) && !dialog->IsHidden();
    }
    // The main window's children, active and pending, that are not being deleted.
    std::vector<IMControl*> LiveChildren() const
    {
        std::vector<IMControl*> live;
        for (const auto* map : { &window->GetChildren(), &window->GetPendingChildren() })
            for (const auto& [layer, list] : *map)
                for (IMControl* child : list)
                    if (!window->IsPendingDelete(child))
                        live.push_back(child);
        return live;
    }
    std::filesystem::path ResultsFile() const { return WideToUtf8(app->Record()->ResultsFilePath()); }

    WindowSoundHost host;
    std::unique_ptr<CSoundSystem> sound;
};

TEST_F(ScriptedPupilThreads, ANamedPupilPlaysToTheEndAndTheRecordHoldsTheWork)
{
    // The start screen with the focus in the name field.
    ASSERT_TRUE(IsOpen(app->startScreen));
    Type(L"Петя Иванов");
    Key(VK_RETURN);
    EXPECT_EQ(app->startScreen, nullptr);
    EXPECT_EQ(app->pupilName, L"Петя Иванов");
    ASSERT_NE(app->Workbook(), nullptr);
    EXPECT_TRUE(app->instructionShowing);
    EXPECT_EQ(app->exerciseDialog, nullptr);
    const uint32_t instructionStart = clock.Milliseconds();

    // The spoken instruction runs to its end, then the closing page waits for Space.
    ASSERT_GE(RunUntil([&] { return app->instructionEnded; }, 40000), 15300);
    RunFor(3000);
    EXPECT_TRUE(app->instructionShowing);
    EXPECT_EQ(app->exerciseDialog, nullptr);
    Key('A');
    EXPECT_EQ(app->exerciseDialog, nullptr) << "only Space closes the closing page";
    Key(VK_SPACE);
    EXPECT_FALSE(app->instructionShowing);
    ASSERT_NE(app->exerciseDialog, nullptr);
    EXPECT_GT(clock.Milliseconds() - instructionStart, 18000u);
    const uint32_t exerciseStart = clock.Milliseconds();

    // F1 during the game: the demonstration over the game; the next key closes it and the
    // game is as it was.
    IMDialog* exercise = app->exerciseDialog;
    std::vector<POINT> before;
    for (const auto& piece : Puzzle()->pieces)
        before.push_back(piece.picture->GetPosition());
    Key(VK_F1);
    EXPECT_TRUE(app->instructionShowing);
    RunFor(8000);
    Key('Q');
    EXPECT_FALSE(app->instructionShowing);
    EXPECT_EQ(app->exerciseDialog, exercise);
    for (std::size_t i = 0; i < before.size(); ++i) {
        EXPECT_EQ(Puzzle()->pieces[i].picture->GetPosition().x, before[i].x) << i;
        EXPECT_EQ(Puzzle()->pieces[i].picture->GetPosition().y, before[i].y) << i;
    }

    // F12, then Cancel: back in the game.
    Key(VK_F12);
    ASSERT_TRUE(IsOpen(app->exitDialog));
    LeftClick(332 + 10 + 8, 200 + 140 + 8);
    Pass();
    EXPECT_EQ(app->exitDialog, nullptr);
    EXPECT_EQ(app->exerciseDialog, exercise);

    // Three puzzles, every piece dropped exactly on its place.
    int drags = 0;
    uint32_t lastArrow = 0;
    for (int puzzle = 0; puzzle < 3; ++puzzle) {
        drags += SolvePuzzle();
        lastArrow = clock.Milliseconds();
        ClickNextArrow();
    }
    EXPECT_EQ(drags, 28);
    // The praise plays; its end closes the exercise and the results screen follows.
    EXPECT_EQ(app->resultsScreen, nullptr);
    const int64_t praise = RunUntil([&] { return app->resultsScreen != nullptr; }, 5000);
    EXPECT_GE(praise, 2100);
    EXPECT_LE(praise, 2300);
    EXPECT_EQ(app->exerciseDialog, nullptr);
    const uint32_t end = clock.Milliseconds();
    ASSERT_TRUE(IsOpen(app->resultsScreen));

    // Enter on the results screen changes nothing.
    LeftClick(400, 420);
    Key(VK_RETURN);
    EXPECT_EQ(app->resultsScreenShows, 1);

    // Save as opens its dialog above the screen; it goes again without saving anything.
    const std::vector<IMControl*> screens = LiveChildren();
    LeftClick(128 + 10, 490 + 10);
    Pass();
    const std::vector<IMControl*> withDialog = LiveChildren();
    ASSERT_EQ(withDialog.size(), screens.size() + 1);
    for (IMControl* child : withDialog)
        if (std::find(screens.begin(), screens.end(), child) == screens.end())
            child->Close();
    Pass();

    // Close ends the program and the record reaches the disk.
    const std::filesystem::path file = ResultsFile();
    LeftClick(660 + 10, 490 + 10);
    Pass();
    App::ReleaseInstance();
    const int64_t seconds = (end / 1000) - (exerciseStart / 1000);
    EXPECT_GE(end - lastArrow, 2100u);
    EXPECT_THAT(ReadRows(file),
        ElementsAre(Pair("Время начала работы с упражнением", "01-January-2009 09:05"),
            Pair("Количество перетаскиваний предметов", "28"), Pair("Количество лишних кликов", "0"),
            Pair("Количество дополнительных вызовов инструкций", "1"),
            Pair("Общее время работы с упражнением. с.", std::to_string(seconds)), Pair("", "")));
}

TEST_F(ScriptedPupilThreads, WithoutANameTheRunHasNoRecordAndTheResultsButtonsAreGrey)
{
    // A click on Start does what Enter does.
    LeftClick(690 + 20, 450 + 15);
    EXPECT_EQ(app->startScreen, nullptr);
    EXPECT_EQ(app->Workbook(), nullptr);
    EXPECT_TRUE(app->instructionShowing);
    // Esc during the speech: the game at once, the cursor shown again.
    RunFor(8000);
    Key(VK_ESCAPE);
    EXPECT_FALSE(app->instructionShowing);
    ASSERT_NE(app->exerciseDialog, nullptr);
    EXPECT_TRUE(app->instructionEnded);
    for (int puzzle = 0; puzzle < 3; ++puzzle) {
        SolvePuzzle();
        ClickNextArrow();
    }
    ASSERT_GE(RunUntil([&] { return app->resultsScreen != nullptr; }, 5000), 0);
    // Print and save-as are grey and do nothing.
    const std::vector<IMControl*> screens = LiveChildren();
    LeftClick(30 + 10, 490 + 10);
    LeftClick(128 + 10, 490 + 10);
    Pass();
    EXPECT_EQ(LiveChildren(), screens);
    // Retry: the start screen again, and the next Start runs a second game.
    LeftClick(535 + 10, 490 + 10);
    Pass();
    EXPECT_EQ(app->resultsScreen, nullptr);
    ASSERT_TRUE(IsOpen(app->startScreen));
    Key(VK_RETURN);
    EXPECT_EQ(app->startScreen, nullptr);
    EXPECT_TRUE(app->instructionShowing);
    Key(VK_ESCAPE);
    EXPECT_NE(app->exerciseDialog, nullptr);
    EXPECT_FALSE(std::filesystem::exists(ResultsFile()));
}

TEST_F(ScriptedPupilThreads, RetryDuringTheGameLeavesOneStartScreenAndKeepsTheRows)
{
    Type(L"Оля");
    Key(VK_RETURN);
    Key(VK_ESCAPE);
    ASSERT_NE(app->exerciseDialog, nullptr);
    const std::filesystem::path file = ResultsFile();
    Key(VK_F12);
    LeftClick(332 + 10 + 8, 200 + 20 + 8);  // Retry
    Pass();
    EXPECT_EQ(app->exitDialog, nullptr);
    EXPECT_EQ(app->exerciseDialog, nullptr);
    // The end rows were written and the results screen built for them is gone: only the
    // start screen is up.
    EXPECT_EQ(app->resultsScreenShows, 1);
    EXPECT_EQ(app->resultsScreen, nullptr);
    ASSERT_TRUE(IsOpen(app->startScreen));
    // Close from the exit dialog ends the program with the rows saved.
    Key(VK_F12);
    LeftClick(332 + 10 + 8, 200 + 80 + 8);
    Pass();
    App::ReleaseInstance();
    const Rows rows = ReadRows(file);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0].first, "Время начала работы с упражнением");
    EXPECT_THAT(rows[1], Pair("Количество дополнительных вызовов инструкций", "0"));
}
