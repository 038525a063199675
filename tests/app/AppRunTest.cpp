// The application object: texts, the registry, the instruction and its keys, Retry, the
// results rows; the game is driven through window messages on the headless window.

#include "../game/GameFixture.h"

#include "platform/Text.h"

#include <fstream>
#include <sstream>

using AppRun = GameFixture;

namespace {
std::string ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}
} // namespace

TEST_F(AppRun, CarriesItsTextsAndRegistersTheGameFirst)
{
    EXPECT_EQ(App::TeacherDescription().size(), 901u);
    EXPECT_EQ(app->description, App::TeacherDescription());
    EXPECT_EQ(app->resourceNumber, L"00734");
    EXPECT_EQ(app->title, L"Игра «Тирлан»");
    EXPECT_EQ(app->windowTitle, L"00734 Игра «Тирлан»");
    EXPECT_EQ(app->nextExerciseName, L"Dialog1");
    // Empty and repeated names are refused; a name sorting first does not jump the queue.
    int calls = 0;
    app->AddExercise(L"", [&](IMDialog*) { ++calls; });
    app->AddExercise(L"Dialog1", [&](IMDialog*) { ++calls; });
    app->AddExercise(L"A", [&](IMDialog*) { ++calls; });
    EXPECT_EQ(app->exercises.size(), 2u);
    EXPECT_EQ(app->nextExerciseName, L"Dialog1");
    // Instance counts uses and answers the same object.
    EXPECT_EQ(App::Instance(L"Application", true), app);
    EXPECT_EQ(App::UseCount(), 2);
    App::ReleaseInstance();
    EXPECT_EQ(App::Current(), app);
}

TEST_F(AppRun, EscDuringTheFirstInstructionStartsTheGameAtOnce)
{
    app->StartPressed(L"");
    Pass();
    EXPECT_TRUE(app->instructionShowing);
    EXPECT_EQ(app->exerciseDialog, nullptr);
    Key(VK_ESCAPE);
    EXPECT_FALSE(app->instructionShowing);
    ASSERT_NE(app->exerciseDialog, nullptr);
    EXPECT_EQ(CurrentGame().parent, app->exerciseDialog);
    EXPECT_EQ(app->nextExerciseName, L"");
    // A second Esc starts nothing more.
    IMDialog* exercise = app->exerciseDialog;
    Key(VK_ESCAPE);
    EXPECT_EQ(app->exerciseDialog, exercise);
}

TEST_F(AppRun, WithoutSpeechTheInstructionWaitsOnItsClosingPageForSpace)
{
    // No sound system here: the closing page comes at once and stays until Space.
    app->StartPressed(L"");
    RunFor(20000);
    EXPECT_TRUE(app->instructionEnded);
    EXPECT_TRUE(app->instructionShowing);
    EXPECT_EQ(app->exerciseDialog, nullptr);
    Key('A');
    EXPECT_EQ(app->exerciseDialog, nullptr);
    Key(VK_SPACE);
    EXPECT_FALSE(app->instructionShowing);
    EXPECT_NE(app->exerciseDialog, nullptr);
}

TEST_F(AppRun, F1CountsOnlyWhenItOpensTheInstructionAfterTheExerciseBegan)
{
    // Before the start and during the first instruction.
    Key(VK_F1);
    Key(VK_F1);  // closes the one just opened
    app->StartPressed(L"");
    Pass();
    Key(VK_F1);
    EXPECT_EQ(app->instructionRepeats, 1);
    Key(VK_ESCAPE);
    ASSERT_NE(app->exerciseDialog, nullptr);
    EXPECT_EQ(app->instructionRepeats, 0);

    // F1 opens it and counts; the next key of any kind closes it, uncounted.
    Key(VK_F1);
    EXPECT_TRUE(app->instructionShowing);
    EXPECT_EQ(app->instructionRepeats, 1);
    Key(VK_F1);
    EXPECT_FALSE(app->instructionShowing);
    EXPECT_EQ(app->instructionRepeats, 1);
    Key(VK_F1);
    Key('A');
    EXPECT_FALSE(app->instructionShowing);
    EXPECT_EQ(app->instructionRepeats, 2);
    // One left open a long time still closes on the next key, and the F1 after counts again.
    Key(VK_F1);
    RunFor(20000);
    EXPECT_TRUE(app->instructionShowing);
    Key(VK_SPACE);
    EXPECT_FALSE(app->instructionShowing);
    Key(VK_F1);
    EXPECT_EQ(app->instructionRepeats, 4);
    // Closing a repeated instruction starts nothing.
    EXPECT_EQ(CurrentGame().parent, app->exerciseDialog);
}

TEST_F(AppRun, RetryBeforeAnyExerciseOnlyClosesTheExitDialog)
{
    Key(VK_F12);
    ASSERT_NE(app->exitDialog, nullptr);
    Key(VK_F12);  // one exit dialog at a time
    const int starts = app->startScreenShows;
    EXPECT_EQ(app->Restart(), 1);
    EXPECT_EQ(app->exitDialog, nullptr);
    EXPECT_EQ(app->exerciseDialog, nullptr);
    EXPECT_EQ(app->startScreenShows, starts);
    EXPECT_EQ(app->resultsScreenShows, 0);
}

TEST_F(AppRun, RetryDuringTheGameRecordsTheEndAndShowsTheStartScreen)
{
    StartGame();
    Key(VK_F12);
    const int starts = app->startScreenShows;
    EXPECT_EQ(app->Restart(), 0);
    Pass();
    EXPECT_EQ(app->exitDialog, nullptr);
    EXPECT_EQ(app->exerciseDialog, nullptr);
    EXPECT_EQ(app->resultsScreenShows, 1);
    EXPECT_EQ(app->startScreenShows, starts + 1);
    EXPECT_EQ(app->nextExerciseName, L"Dialog1");
}

TEST_F(AppRun, AfterTheExerciseClosedRetryOnlyClosesTheExitDialogAndThePraiseClosesNothingGone)
{
    StartGame();
    for (int puzzle = 0; puzzle < 3; ++puzzle) {
        SolvePuzzle();
        ClickNextArrow();
    }
    // Retry while the praise runs: the exercise ends now, a new run begins.
    Key(VK_F12);
    EXPECT_EQ(app->Restart(), 0);
    EXPECT_EQ(app->resultsScreenShows, 1);
    StartGame();
    IMDialog* second = app->exerciseDialog;
    RunFor(2500);
    // The first praise's end does not close the second exercise.
    EXPECT_EQ(app->exerciseDialog, second);
    EXPECT_EQ(app->resultsScreenShows, 1);

    // The second game to its end: the praise closes it, the results follow.
    for (int puzzle = 0; puzzle < 3; ++puzzle) {
        SolvePuzzle();
        ClickNextArrow();
    }
    RunFor(2300);
    EXPECT_EQ(app->exerciseDialog, nullptr);
    EXPECT_EQ(app->resultsScreenShows, 2);
    // On the results screen Retry only closes the exit dialog.
    Key(VK_F12);
    const int starts = app->startScreenShows;
    EXPECT_EQ(app->Restart(), 1);
    EXPECT_EQ(app->exitDialog, nullptr);
    EXPECT_EQ(app->startScreenShows, starts);
    EXPECT_EQ(app->resultsScreenShows, 2);
}

TEST_F(AppRun, ANamedPupilsRowsReachTheResultsFile)
{
    StartGame(L"Петя");
    ASSERT_NE(app->Workbook(), nullptr);
    const std::filesystem::path file = WideToUtf8(app->Record()->ResultsFilePath());
    // Two misses and one right click besides the exact drops.
    std::size_t index = 0;
    while (!GrabPoint(Puzzle()->pieces[index].picture))
        ++index;
    ASSERT_TRUE(DragPiece(index, 25, 0));
    ASSERT_TRUE(DragPiece(index, 0, -30));
    const auto grab = GrabPoint(Puzzle()->pieces[index].picture);
    ASSERT_TRUE(grab);
    Move(grab->x, grab->y);
    Button(WM_RBUTTONDOWN, grab->x, grab->y, MK_RBUTTON);
    Button(WM_RBUTTONUP, grab->x, grab->y, 0);
    Key(VK_F1);
    Key(VK_F1);
    for (int puzzle = 0; puzzle < 3; ++puzzle) {
        SolvePuzzle();
        ClickNextArrow();
    }
    EXPECT_EQ(app->dragCount, 30);
    EXPECT_EQ(app->extraClickCount, 1);
    RunFor(2300);
    EXPECT_EQ(app->resultsScreenShows, 1);
    App::ReleaseInstance();
    const std::string text = ReadFile(file);
    ASSERT_FALSE(text.empty()) << file;
    for (const char* row : { "Время начала работы с упражнением", "Количество перетаскиваний предметов",
             "Количество лишних кликов", "Количество дополнительных вызовов инструкций",
             "Общее время работы с упражнением. с." })
        EXPECT_NE(text.find(row), std::string::npos) << row;
    EXPECT_NE(text.find(">30<"), std::string::npos);
    EXPECT_LT(text.find("Количество перетаскиваний предметов"), text.find("Количество лишних кликов"));
}

TEST_F(AppRun, AnEmptyNameRecordsNothingButTheGameAndResultsRun)
{
    StartGame(L"");
    EXPECT_EQ(app->Workbook(), nullptr);
    for (int puzzle = 0; puzzle < 3; ++puzzle) {
        SolvePuzzle();
        ClickNextArrow();
    }
    RunFor(2300);
    EXPECT_EQ(app->resultsScreenShows, 1);
    const std::filesystem::path file = WideToUtf8(app->Record()->ResultsFilePath());
    App::ReleaseInstance();
    EXPECT_FALSE(std::filesystem::exists(file));
}
