#pragma once
// The three puzzles of the game: header, finished picture, tint switch and pieces. Each piece
// is a numbered texture and its place, an offset from the top-left corner of the frame.
// Pieces on the frame's left edge sit at x -1, as does the finished picture.

#include "framework/Types.h"

#include <array>
#include <cstddef>

struct PieceEntry {
    int texture { 0 };
    int targetX { 0 };
    int targetY { 0 };
};

struct LevelEntry {
    int header { 0 };
    int hint { 0 };
    bool tinted { false };
    std::size_t pieceCount { 0 };
    std::array<PieceEntry, 10> pieces {};
};

inline constexpr std::size_t kLevelCount = 3;

inline constexpr std::array<LevelEntry, kLevelCount> kLevels { {
    // 1: «Собери картинку», the colour picture.
    { 103, 115, false, 9,
      { { { 106, -1, 0 }, { 107, 86, 0 }, { 108, 216, 0 }, { 109, -1, 91 }, { 110, 89, 88 },
          { 111, 207, 80 }, { 112, -1, 226 }, { 113, 85, 237 }, { 114, 220, 217 } } } },
    // 2: «Собери мозаику», jigsaw pieces in the tint colour.
    { 104, 116, true, 9,
      { { { 132, -1, 0 }, { 133, 84, 0 }, { 134, 147, 0 }, { 135, 273, 138 }, { 136, 194, 133 },
          { 127, 89, 256 }, { 128, -1, 190 }, { 129, -1, 92 }, { 130, 91, 137 } } } },
    // 3: «Собери мозаику», geometric figures in the tint colour; their boxes overlap.
    { 104, 116, true, 10,
      { { { 117, -1, 0 }, { 118, 0, 0 }, { 119, 89, 0 }, { 120, 219, 0 }, { 121, 249, 61 },
          { 122, 173, 174 }, { 123, 174, 262 }, { 124, 109, 175 }, { 125, -1, 239 },
          { 126, -1, 174 } } } },
} };

static_assert(kLevels.size() == 3, "the game has three puzzles");
static_assert(kLevels[0].pieceCount + kLevels[1].pieceCount + kLevels[2].pieceCount == 28,
    "28 pieces in all");

// Shared by the three puzzles: where the frame starts and where pieces are scattered.
inline constexpr POINT kFrameOrigin { 406, 106 };
inline constexpr RECT kScatterArea { 27, 88, 350, 471 };

// Within a puzzle dialog: next arrow 0, header and hint base + 1, pieces base + 2, the
// dragged piece base + 3.
inline constexpr int kHeaderLayerOffset = 1;
inline constexpr int kPieceLayerOffset = 2;
inline constexpr int kDragLayerOffset = 3;

// A drop snaps when the piece's corner is less than this far from its place, in x and in y.
inline constexpr int kSnapDistance = 20;

// The tint colours of the plain puzzles: pale yellow, pale cyan, pink.
inline constexpr std::array<uint32_t, 3> kTintColours { 0xFFFFFE70u, 0xFFC8FFFFu, 0xFFFFC0E6u };
