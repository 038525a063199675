// The game played through window messages: whole runs, snapping, counting, the next arrow.

#include "GameFixture.h"

#include "graphics/PngWriter.h"
#include "platform/Display.h"

#include <unistd.h>

#include <vector>

namespace {

// The folder of the test binary, where the screenshots go.
std::filesystem::path BinaryFolder()
{
    std::error_code error;
    auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::current_path() : exe.parent_path();
}

} // namespace

using GameRun = GameFixture;

TEST_F(GameRun, ExactDropsThroughAllThreePuzzlesCountTwentyEightDragsAndReachTheResults)
{
    StartGame(L"");
    const char* names[] = { "picture", "mosaic", "figures" };
    for (int puzzle = 0; puzzle < 3; ++puzzle) {
        ASSERT_EQ(CurrentGame().current, puzzle);
        ASSERT_FALSE(Puzzle()->IsHidden());
        EXPECT_FALSE(CurrentGame().nextArrow->IsEnabled());
        // Every piece starts whole inside the scatter area.
        for (const auto& slot : Puzzle()->pieces) {
            const RECT r = slot.picture->GetRect();
            EXPECT_GE(r.left, kScatterArea.left);
            EXPECT_GE(r.top, kScatterArea.top);
            EXPECT_LE(r.right, kScatterArea.right);
            EXPECT_LE(r.bottom, kScatterArea.bottom);
        }
        Pass(1);
        auto shot = window->Display()->ReadPixels();
        EXPECT_TRUE(WritePng((BinaryFolder() / (std::string("puzzle-") + names[puzzle] + "-scattered.png")).string(), 800, 600, shot));

        const int before = app->dragCount;
        const int pieces = static_cast<int>(Puzzle()->pieces.size());
        EXPECT_EQ(SolvePuzzle(), pieces);
        EXPECT_EQ(app->dragCount - before, pieces);
        EXPECT_EQ(Puzzle()->remainingPieces, 0);
        EXPECT_TRUE(CurrentGame().nextArrow->IsEnabled());
        EXPECT_FALSE(CurrentGame().wellDone->IsHidden());
        EXPECT_FALSE(Puzzle()->hintPicture->IsHidden());
        for (const auto& slot : Puzzle()->pieces)
            EXPECT_TRUE(slot.picture->IsHidden());

        Pass(1);
        shot = window->Display()->ReadPixels();
        EXPECT_TRUE(WritePng((BinaryFolder() / (std::string("puzzle-") + names[puzzle] + "-assembled.png")).string(), 800, 600, shot));
        ClickNextArrow();
    }
    EXPECT_EQ(app->dragCount, 28);
    EXPECT_EQ(app->extraClickCount, 0);
    // After the third: task completed over the right panel, background above the puzzles.
    IMDialog* exercise = CurrentGame().parent;
    ASSERT_NE(exercise, nullptr);
    EXPECT_EQ(CurrentGame().wellDone->GetRect(), (RECT { 498, 243, 498 + 161, 243 + 68 }));
    EXPECT_EQ(exercise->GetLayer(CurrentGame().background), 3);
    EXPECT_FALSE(CurrentGame().nextArrow->IsEnabled());
    EXPECT_EQ(app->resultsScreenShows, 0);
    // The praise closes the exercise; the results screen follows.
    RunFor(2300);
    EXPECT_EQ(app->exerciseDialog, nullptr);
    EXPECT_EQ(app->resultsScreenShows, 1);
}

struct SnapCase {
    int dx;
    int dy;
    bool snaps;
};

class GameSnap : public GameFixture, public ::testing::WithParamInterface<SnapCase> { };

TEST_P(GameSnap, DropsLessThanTwentyPixelsOffInBothDirectionsSnapAndEveryDropCounts)
{
    StartGame();
    const SnapCase c = GetParam();
    std::size_t index = 0;
    while (!GrabPoint(Puzzle()->pieces[index].picture))
        ++index;
    IMPicture* piece = Puzzle()->pieces[index].picture;
    const PieceEntry& target = TargetOf(0, index);
    ASSERT_TRUE(DragPiece(index, c.dx, c.dy));
    EXPECT_EQ(app->dragCount, 1);
    EXPECT_EQ(Puzzle()->pieces[index].active, !c.snaps);
    EXPECT_EQ(Puzzle()->draggedPiece, nullptr);
    const POINT place { kFrameOrigin.x + target.targetX, kFrameOrigin.y + target.targetY };
    if (c.snaps)
        EXPECT_EQ(piece->GetPosition(), place);
    else
        EXPECT_EQ(piece->GetPosition(), (POINT { place.x + c.dx, place.y + c.dy }));
    EXPECT_EQ(Puzzle()->remainingPieces, c.snaps ? 8 : 9);
}

INSTANTIATE_TEST_SUITE_P(Offsets, GameSnap, ::testing::Values(
    SnapCase { 19, 19, true }, SnapCase { -19, -19, true }, SnapCase { 19, -19, true }, SnapCase { 0, 0, true },
    SnapCase { 20, 0, false }, SnapCase { -20, 0, false }, SnapCase { 0, 20, false }, SnapCase { 0, -20, false },
    SnapCase { 20, 19, false }, SnapCase { 19, 20, false }));

TEST_F(GameRun, RightAndMiddleClicksCountOnPiecesPlacedOrNotButNotElsewhere)
{
    StartGame();
    std::size_t index = 0;
    while (!GrabPoint(Puzzle()->pieces[index].picture))
        ++index;
    ASSERT_TRUE(DragPiece(index, 0, 0));
    IMPicture* placed = Puzzle()->pieces[index].picture;
    const auto onPlaced = GrabPoint(placed);
    ASSERT_TRUE(onPlaced);

    struct Click {
        uint32_t down;
        uint32_t up;
        uint32_t flags;
    };
    const Click right { WM_RBUTTONDOWN, WM_RBUTTONUP, MK_RBUTTON };
    const Click middle { WM_MBUTTONDOWN, WM_MBUTTONUP, MK_MBUTTON };
    auto click = [&](const Click& c, int x, int y) {
        Move(x, y);
        Button(c.down, x, y, c.flags);
        Button(c.up, x, y, 0);
        Pass();
    };
    click(right, onPlaced->x, onPlaced->y);
    click(middle, onPlaced->x, onPlaced->y);
    EXPECT_EQ(app->extraClickCount, 2);

    // The background between the panels, the empty frame's far corner, the header.
    const POINT nowhere[] = { { 380, 300 }, { 740, 440 }, { 400, 30 } };
    for (const POINT p : nowhere) {
        click(right, p.x, p.y);
        click(middle, p.x, p.y);
    }
    EXPECT_EQ(app->extraClickCount, 2);

    // An active piece counts too; double clicks count nothing and pick nothing up.
    std::size_t other = 0;
    while (!Puzzle()->pieces[other].active || !GrabPoint(Puzzle()->pieces[other].picture))
        ++other;
    const auto onOther = GrabPoint(Puzzle()->pieces[other].picture);
    click(right, onOther->x, onOther->y);
    EXPECT_EQ(app->extraClickCount, 3);
    Move(onOther->x, onOther->y);
    for (uint32_t dbl : { WM_LBUTTONDBLCLK, WM_RBUTTONDBLCLK, WM_MBUTTONDBLCLK })
        Button(dbl, onOther->x, onOther->y, 0);
    Pass();
    EXPECT_EQ(app->extraClickCount, 3);
    EXPECT_EQ(Puzzle()->draggedPiece, nullptr);

    // A left click on the placed piece does nothing at all.
    const POINT before = placed->GetPosition();
    LeftClick(onPlaced->x, onPlaced->y);
    Move(onPlaced->x + 30, onPlaced->y + 30);
    Pass();
    EXPECT_EQ(placed->GetPosition(), before);
    EXPECT_EQ(Puzzle()->draggedPiece, nullptr);
    EXPECT_EQ(app->dragCount, 1);
}

TEST_F(GameRun, AReleaseOutsideTheWindowLeavesThePieceOnTheCursorUntilAPressAndRelease)
{
    StartGame();
    std::size_t index = 0;
    while (!GrabPoint(Puzzle()->pieces[index].picture))
        ++index;
    IMPicture* piece = Puzzle()->pieces[index].picture;
    const POINT grab = *GrabPoint(piece);
    const POINT start = piece->GetPosition();
    Move(grab.x, grab.y);
    Button(WM_LBUTTONDOWN, grab.x, grab.y, MK_LBUTTON);
    Move(grab.x + 100, grab.y - 50, MK_LBUTTON);
    // The button goes up outside the window: no message arrives. The mouse comes back.
    Move(grab.x + 150, grab.y + 20);
    Pass();
    EXPECT_EQ(Puzzle()->draggedPiece, piece);
    EXPECT_EQ(piece->GetPosition(), (POINT { start.x + 150, start.y + 20 }));
    EXPECT_EQ(app->dragCount, 0);
    LeftClick(grab.x + 150, grab.y + 20);
    EXPECT_EQ(Puzzle()->draggedPiece, nullptr);
    EXPECT_EQ(app->dragCount, 1);
    Move(grab.x, grab.y);
    Pass();
    EXPECT_EQ(piece->GetPosition(), (POINT { start.x + 150, start.y + 20 }));
}

TEST_F(GameRun, ADroppedPieceLiesAboveEveryOtherPiece)
{
    StartGame();
    TirlanDlg* puzzle = Puzzle();
    // Drop each grabbable piece in turn onto the middle of the area, off its place.
    for (int round = 0; round < 3; ++round) {
        std::size_t index = 0;
        while (!GrabPoint(puzzle->pieces[index].picture) || puzzle->FindChildAt(190, 280) == puzzle->pieces[index].picture)
            ++index;
        IMPicture* piece = puzzle->pieces[index].picture;
        const POINT grab = *GrabPoint(piece);
        const POINT at = piece->GetPosition();
        const int x = 190 - piece->GetWidth() / 2 + (grab.x - at.x);
        const int y = 280 - piece->GetHeight() / 2 + (grab.y - at.y);
        Move(grab.x, grab.y);
        Button(WM_LBUTTONDOWN, grab.x, grab.y, MK_LBUTTON);
        EXPECT_EQ(puzzle->GetLayer(piece), 3);
        Move(x, y, MK_LBUTTON);
        Button(WM_LBUTTONUP, x, y, 0);
        Pass();
        EXPECT_EQ(puzzle->GetLayer(piece), 2);
        EXPECT_EQ(puzzle->GetChildren().at(2).back(), piece);
        EXPECT_EQ(puzzle->FindChildAt(190, 280), piece);
    }
}

TEST_F(GameRun, TheDisabledNextArrowDoesNothing)
{
    StartGame();
    ClickNextArrow();
    EXPECT_EQ(CurrentGame().current, 0);
    EXPECT_FALSE(Puzzle()->IsHidden());
    EXPECT_TRUE(CurrentGame().puzzles[1]->IsHidden());
}

TEST_F(GameRun, AClickOnATransparentCornerReachesThePieceBelow)
{
    StartGame();
    ASSERT_EQ(SolvePuzzle(), 9);
    ClickNextArrow();
    ASSERT_EQ(SolvePuzzle(), 9);
    ClickNextArrow();
    ASSERT_EQ(CurrentGame().current, 2);
    TirlanDlg* puzzle = Puzzle();
    // Lay every piece over the one added first, then look for a point inside a later piece's
    // box where that piece is transparent and the first one shows.
    IMPicture* below = puzzle->pieces[0].picture;
    below->MoveTo(60, 120);
    std::optional<POINT> corner;
    IMPicture* above = nullptr;
    for (std::size_t i = 1; i < puzzle->pieces.size() && !corner; ++i) {
        above = puzzle->pieces[i].picture;
        above->MoveTo(60, 120);
        Pass();
        const RECT r = above->GetRect();
        for (int y = r.top; y < r.bottom && !corner; y += 2)
            for (int x = r.left; x < r.right && !corner; x += 2)
                if (!above->HitTest(x, y) && below->HitTest(x, y) && Reaches(x, y, below))
                    corner = POINT { x, y };
        if (!corner)
            above->MoveTo(600, 600);
    }
    ASSERT_TRUE(corner) << "no piece of the third puzzle has a transparent corner over another";
    ASSERT_GT(puzzle->GetChildren().at(2).size(), 1u);
    Move(corner->x, corner->y);
    Button(WM_LBUTTONDOWN, corner->x, corner->y, MK_LBUTTON);
    EXPECT_EQ(puzzle->draggedPiece, below);
    Button(WM_LBUTTONUP, corner->x, corner->y, 0);
    Pass();
}
