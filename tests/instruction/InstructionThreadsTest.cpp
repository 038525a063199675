// The spoken instruction on the silent audio device: the cues, the end of the speech, the
// closing page, and the ways the dialog goes early (Esc, any key after F1, the program ending).

#include "InstructionFixture.h"

#include "game/CursorMouse.h"

#include <array>

using InstructionThreads = InstructionFixture;

namespace {
struct Place {
    const wchar_t* texture;
    POINT at;
};
constexpr std::array<Place, 9> kScattered { {
    { L"106", { 93, 170 } }, { L"107", { 98, 194 } }, { L"108", { 52, 138 } },
    { L"109", { 115, 143 } }, { L"110", { 112, 232 } }, { L"111", { 132, 135 } },
    { L"112", { 86, 276 } }, { L"113", { 121, 356 } }, { L"114", { 117, 149 } },
} };
// Where the eight pieces come to rest after the glide at 14400 ms: one step beyond their
// places (51 moves of a fiftieth of the way).
constexpr std::array<Place, 8> kRestingInFrame { {
    { L"106", { 405, 104 } }, { L"107", { 493, 104 } }, { L"108", { 627, 105 } },
    { L"109", { 404, 198 } }, { L"110", { 496, 193 } }, { L"111", { 616, 187 } },
    { L"112", { 405, 333 } }, { L"113", { 492, 342 } },
} };
} // namespace

TEST_F(InstructionThreads, WithoutKeysTheSpeechDrivesTheDemonstrationThenTheClosingPageWaitsForSpace)
{
    StartSoundSystem();
    const int countBefore = CursorDisplayCount();
    app->StartPressed(L"");
    const uint32_t start = Now();
    IMDialog* dialog = app->instructionDialog;
    ASSERT_NE(dialog, nullptr);
    ASSERT_EQ(PlayingStreams().size(), 1u) << "the speech plays";
    const uint32_t speech = PlayingStreams().front();
    Pass();
    EXPECT_EQ(CursorDisplayCount(), countBefore - 1) << "the system cursor is hidden";

    ASSERT_NE(PictureOf(dialog, L"103"), nullptr);
    EXPECT_EQ(PictureOf(dialog, L"103")->GetPosition(), (POINT { 0, 0 }));
    ASSERT_NE(PictureOf(dialog, L"102"), nullptr);
    EXPECT_EQ(PictureOf(dialog, L"102")->GetPosition(), (POINT { 0, 60 }));
    for (const Place& p : kScattered) {
        IMPicture* piece = PictureOf(dialog, p.texture);
        ASSERT_NE(piece, nullptr) << "piece " << p.texture;
        EXPECT_EQ(piece->GetPosition(), p.at) << "piece " << p.texture;
    }
    IMPicture* carried = PictureOf(dialog, L"114");
    IMPicture* arrow = PictureOf(dialog, L"CURSOR");
    IMPicture* mouse = PictureOf(dialog, L"MOUSE_M");
    ASSERT_NE(arrow, nullptr);
    ASSERT_NE(mouse, nullptr);
    EXPECT_TRUE(arrow->IsHidden());
    EXPECT_TRUE(mouse->IsHidden());
    EXPECT_EQ(dialog->GetLayer(arrow), CursorMouse::kLayer);

    AdvanceTo(start, 4980);
    EXPECT_TRUE(PicturesOf(dialog, L"149").empty());
    AdvanceTo(start, 5050);
    ASSERT_NE(PictureOf(dialog, L"149"), nullptr) << "the red frame around the left panel blinks";
    EXPECT_EQ(PictureOf(dialog, L"149")->GetPosition(), (POINT { 22, 83 }));
    Shot("instruction-5050ms.png");

    AdvanceTo(start, 7000);
    EXPECT_FALSE(arrow->IsHidden());
    EXPECT_FALSE(mouse->IsHidden());
    AdvanceTo(start, 7920);
    EXPECT_EQ(arrow->GetPosition(), (POINT { 184, 217 })) << "the arrow glided from (300, 300)";
    AdvanceTo(start, 7950);
    EXPECT_EQ(mouse->GetTexture(), resourceManager->FindTexture(L"MOUSE_ML")) << "left button pressed";
    AdvanceTo(start, 8200);
    EXPECT_TRUE(PicturesOf(dialog, L"149").empty()) << "the blinking frame closed itself";
    Shot("instruction-8200ms.png");
    AdvanceTo(start, 9000);
    EXPECT_EQ(carried->GetPosition(), (POINT { 628, 324 })) << "carried one step beyond (618, 321)";
    EXPECT_EQ(arrow->GetPosition(), (POINT { 706, 396 }));
    EXPECT_EQ(mouse->GetPosition(), (POINT { 716, 406 }));
    AdvanceTo(start, 9200);
    EXPECT_TRUE(arrow->IsHidden());
    EXPECT_TRUE(mouse->IsHidden());

    AdvanceTo(start, 10300);
    ASSERT_NE(PictureOf(dialog, L"148"), nullptr) << "the red frame around the target blinks";
    EXPECT_EQ(PictureOf(dialog, L"148")->GetPosition(), (POINT { 404, 103 }));

    AdvanceTo(start, 15000);
    for (const Place& p : kRestingInFrame) {
        IMPicture* piece = PictureOf(dialog, p.texture);
        ASSERT_NE(piece, nullptr) << "piece " << p.texture;
        EXPECT_EQ(piece->GetPosition(), p.at) << "piece " << p.texture;
    }
    Shot("instruction-15000ms.png");

    AdvanceTo(start, 15350);
    IMPicture* finished = PictureOf(dialog, L"115");
    ASSERT_EQ(finished, carried) << "the carried piece shows the finished picture";
    EXPECT_EQ(finished->GetRect(), (RECT { 405, 106, 755, 456 }));
    for (const Place& p : kScattered) {
        if (std::wstring(p.texture) != L"114") {
            EXPECT_TRUE(PicturesOf(dialog, p.texture).empty()) << "piece " << p.texture << " closed";
        }
    }
    EXPECT_TRUE(PicturesOf(dialog, L"KEYBOARDPIC").empty()) << "the speech is still on";
    EXPECT_FALSE(app->instructionEnded);

    // The speech is 17 s long; its end (a second of silence behind it) opens the closing page.
    while (!app->instructionEnded && Now() - start < 25000)
        Advance(10);
    ASSERT_TRUE(app->instructionEnded);
    EXPECT_GE(Now() - start, 17000u);
    EXPECT_LE(Now() - start, 19000u);
    EXPECT_FALSE(sound->FindStream(speech)->IsPlaying());
    Pass();
    EXPECT_EQ(PlayingStreams().size(), 1u) << "the closing sentence plays";
    EXPECT_EQ(CursorDisplayCount(), countBefore) << "the system cursor is back";
    EXPECT_FALSE(Registered(L"MOUSE_MB")) << "the drawn cursor gave back its pictures";
    EXPECT_TRUE(PicturesOf(dialog, L"CURSOR").empty());

    const struct {
        const wchar_t* name;
        POINT at;
    } page[] = { { L"KEYBOARDPIC", { 107, 347 } }, { L"MOUSE", { 500, 209 } }, { L"KEYSPACE", { 237, 502 } } };
    for (const auto& p : page) {
        IMPicture* picture = PictureOf(dialog, p.name);
        ASSERT_NE(picture, nullptr) << p.name;
        EXPECT_EQ(picture->GetPosition(), p.at) << p.name;
        EXPECT_EQ(dialog->GetLayer(picture), 1000) << p.name;
    }
    Shot("instruction-closing-page.png");
    IMPicture* space = PictureOf(dialog, L"KEYSPACE");
    const bool shown = !space->IsHidden();
    Advance(500);
    EXPECT_NE(!space->IsHidden(), shown) << "the space bar blinks every 500 ms";
    Advance(500);
    EXPECT_EQ(!space->IsHidden(), shown);

    Advance(10000);
    EXPECT_TRUE(IsOpen(dialog)) << "the closing page waits for Space";
    EXPECT_EQ(app->exerciseDialog, nullptr);
    Key(VK_SPACE);
    EXPECT_FALSE(IsOpen(dialog));
    EXPECT_FALSE(app->instructionShowing);
    EXPECT_NE(app->exerciseDialog, nullptr) << "the game starts";
    EXPECT_TRUE(PlayingStreams().empty()) << "the closing sentence stops with its page";
}

TEST_F(InstructionThreads, EscDuringTheSpeechEndsEverythingOnce)
{
    StartSoundSystem();
    app->StartPressed(L"");
    const uint32_t start = Now();
    IMDialog* dialog = app->instructionDialog;
    ASSERT_EQ(PlayingStreams().size(), 1u);
    const uint32_t speech = PlayingStreams().front();
    // Mid-demonstration: the cursor glides, the piece is carried.
    AdvanceTo(start, 8100);
    const int hidden = CursorDisplayCount();
    ASSERT_TRUE(Registered(L"MOUSE_MB"));

    Key(VK_ESCAPE);
    EXPECT_FALSE(IsOpen(dialog));
    EXPECT_FALSE(sound->FindStream(speech)->IsPlaying()) << "the speech stops";
    EXPECT_TRUE(PlayingStreams().empty()) << "no closing sentence over the game";
    EXPECT_FALSE(Registered(L"MOUSE_MB")) << "the drawn cursor was released";
    // One increment from the end of the instruction, one from the start of the game.
    EXPECT_EQ(CursorDisplayCount(), hidden + 2);
    ASSERT_NE(app->exerciseDialog, nullptr);
    const POINT piece = Puzzle()->pieces[0].picture->GetPosition();

    // The rest of the speech's time: no cue and no second end reaches anything.
    Advance(12000);
    EXPECT_EQ(CursorDisplayCount(), hidden + 2);
    EXPECT_EQ(Puzzle()->pieces[0].picture->GetPosition(), piece);
    EXPECT_FALSE(app->instructionShowing);
}

TEST_F(InstructionThreads, F1DuringTheGameShowsTheDemonstrationOverItAndAnyKeyLeavesTheGameAsItWas)
{
    StartSoundSystem();
    StartGame();
    Advance(100);
    ASSERT_TRUE(DragPiece(0, 0, 0));
    TirlanDlg* puzzle = Puzzle();
    std::vector<POINT> before;
    for (const auto& piece : puzzle->pieces)
        before.push_back(piece.picture->GetPosition());
    const int remaining = puzzle->remainingPieces;
    const int drags = app->dragCount;
    const int countBefore = CursorDisplayCount();

    Key(VK_F1);
    ASSERT_TRUE(app->instructionShowing);
    IMDialog* dialog = app->instructionDialog;
    ASSERT_NE(dialog, app->exerciseDialog);
    EXPECT_EQ(window->FindChildAt(300, 300), dialog) << "the demonstration lies over the game";
    EXPECT_EQ(CursorDisplayCount(), countBefore - 1);
    const uint32_t start = Now();
    AdvanceTo(start, 8000);
    ASSERT_NE(PictureOf(dialog, L"CURSOR"), nullptr);
    Shot("instruction-over-game-8000ms.png");

    Key('A');
    EXPECT_FALSE(IsOpen(dialog));
    EXPECT_FALSE(app->instructionShowing);
    EXPECT_EQ(CursorDisplayCount(), countBefore) << "the system cursor is back";
    EXPECT_FALSE(Registered(L"MOUSE_MB"));
    EXPECT_TRUE(PlayingStreams().empty());
    Advance(12000);
    EXPECT_EQ(Puzzle(), puzzle);
    for (std::size_t i = 0; i < puzzle->pieces.size(); ++i)
        EXPECT_EQ(puzzle->pieces[i].picture->GetPosition(), before[i]) << "piece " << i;
    EXPECT_EQ(puzzle->remainingPieces, remaining);
    EXPECT_EQ(app->dragCount, drags);
    EXPECT_EQ(app->instructionRepeats, 1);
    EXPECT_EQ(CursorDisplayCount(), countBefore);

    // Heard again to its end: the stream is the same, the cues are this instruction's alone.
    Key(VK_F1);
    IMDialog* again = app->instructionDialog;
    ASSERT_TRUE(IsOpen(again));
    const uint32_t second = Now();
    while (!app->instructionEnded && Now() - second < 25000)
        Advance(10);
    ASSERT_TRUE(app->instructionEnded);
    EXPECT_EQ(PicturesOf(again, L"115").size(), 1u);
    EXPECT_EQ(PicturesOf(again, L"KEYBOARDPIC").size(), 1u) << "one closing page";
    EXPECT_EQ(CursorDisplayCount(), countBefore);
    Key(VK_SPACE);
    EXPECT_FALSE(IsOpen(again));
    EXPECT_EQ(app->instructionRepeats, 2);
}

// The program ends (sounds first, then the window) with the instruction still open.
TEST_F(InstructionThreads, ProgramEndingDuringTheDemonstrationLeavesNothingBehind)
{
    StartSoundSystem();
    app->StartPressed(L"");
    AdvanceTo(Now(), 8100);
    ASSERT_TRUE(app->instructionShowing);
}

TEST_F(InstructionThreads, ProgramEndingOnTheClosingPageLeavesNothingBehind)
{
    StartSoundSystem();
    app->StartPressed(L"");
    const uint32_t start = Now();
    while (!app->instructionEnded && Now() - start < 25000)
        Advance(10);
    ASSERT_TRUE(app->instructionEnded);
    Advance(700);
    StopSoundSystem();
    Advance(700);
    ASSERT_NE(PictureOf(app->instructionDialog, L"KEYSPACE"), nullptr);
}
