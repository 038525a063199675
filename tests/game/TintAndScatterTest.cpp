// The tint of the plain puzzles and the scattering of pieces, over many seeds.

#include "GameFixture.h"

#include "game/Random.h"

#include <array>
#include <cstdlib>
#include <set>

TEST(RandomBelow, IsUniformOverSmallRangesWithTheWideGenerator)
{
    // Over many seeds the first draw falls evenly on the three tints.
    std::array<int, 3> counts {};
    const int seeds = 30000;
    for (int seed = 1; seed <= seeds; ++seed) {
        std::srand(static_cast<unsigned>(seed));
        counts[static_cast<std::size_t>(RandomBelow(3))]++;
    }
    for (int c : counts) {
        EXPECT_GT(c, seeds / 3 - 600);
        EXPECT_LT(c, seeds / 3 + 600);
    }
}

TEST(RandomBelow, CoversTheWholeScatterRange)
{
    // Widest piece 263 in a 323-wide area: 60 places, each reached, none beyond.
    const int range = 323 - 263;
    std::array<int, range> hits {};
    for (int seed = 1; seed <= 20000; ++seed) {
        std::srand(static_cast<unsigned>(seed));
        const int v = RandomBelow(range);
        ASSERT_GE(v, 0);
        ASSERT_LT(v, range);
        hits[static_cast<std::size_t>(v)]++;
    }
    for (int h : hits) {
        EXPECT_GT(h, 20000 / range / 2);
        EXPECT_LT(h, 20000 / range * 2);
    }
}

TEST(RandomBelow, AnEmptyRangeGivesItsStart)
{
    for (int n : { 0, -1, -300 })
        EXPECT_EQ(RandomBelow(n), 0);
    EXPECT_EQ(RandomBelow(1), 0);
}

using GameTint = GameFixture;

TEST_F(GameTint, PuzzlesTwoAndThreeNeverShareATintAndEveryTintOccurs)
{
    StartGame();
    std::set<uint32_t> seen;
    for (int run = 0; run < 60; ++run) {
        // A new game at another millisecond.
        clock.AdvanceMilliseconds(static_cast<uint64_t>(run * 7 + 1));
        auto* exercise = new IMDialog(window, nullptr, 0);
        BuildGame(exercise);
        const GameState& game = CurrentGame();
        EXPECT_NE(game.puzzles[1]->tintColour, game.puzzles[2]->tintColour);
        EXPECT_NE(game.puzzles[0]->tintColour, game.puzzles[1]->tintColour);
        seen.insert(game.puzzles[1]->tintColour);
        // Pieces and the finished square take the tint; the picture puzzle stays untinted.
        EXPECT_EQ(game.puzzles[1]->pieces[0].picture->colour, game.puzzles[1]->tintColour);
        EXPECT_EQ(game.puzzles[0]->pieces[0].picture->colour, 0xFFFFFFFFu);
        exercise->Close();
        Pass();
    }
    EXPECT_EQ(seen.size(), 3u);
}

TEST_F(GameTint, APieceAsLargeAsTheScatterAreaGoesToItsCorner)
{
    auto* host = new IMDialog(window, nullptr, 0);
    auto* puzzle = new TirlanDlg(host, RECT { 0, 0, 800, 600 }, false);
    // 106 is 131 x 146: exactly as wide as this area, taller than it.
    const RECT area { 40, 50, 40 + 131, 50 + 100 };
    puzzle->scatterArea = &area;
    IMPicture* piece = puzzle->AddPiece(L"106", 0, 0);
    ASSERT_NE(piece, nullptr);
    EXPECT_EQ(piece->GetPosition(), (POINT { 40, 50 }));
    EXPECT_EQ(puzzle->remainingPieces, 1);
}

TEST_F(GameTint, PiecesAreScatteredOverTheWholeArea)
{
    // Over many milliseconds the first piece of puzzle 1 lands all over its range.
    int minX = 1000, maxX = -1000, minY = 1000, maxY = -1000;
    auto* host = new IMDialog(window, nullptr, 0);
    for (int run = 0; run < 400; ++run) {
        clock.AdvanceMilliseconds(13);
        auto* puzzle = new TirlanDlg(host, RECT { 0, 0, 800, 600 }, false);
        puzzle->scatterArea = &kScatterArea;
        IMPicture* piece = puzzle->AddPiece(L"118", 0, 0);
        const POINT p = piece->GetPosition();
        minX = std::min(minX, p.x);
        maxX = std::max(maxX, p.x);
        minY = std::min(minY, p.y);
        maxY = std::max(maxY, p.y);
        puzzle->Close();
    }
    // 118 is 263 x 175: x in [27, 87), y in [88, 296).
    EXPECT_EQ(minX, 27);
    EXPECT_EQ(maxX, 86);
    EXPECT_LT(minY, 88 + 10);
    EXPECT_GT(maxY, 295 - 10);
    EXPECT_LE(maxY, 295);
}
