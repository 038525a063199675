#pragma once
// The praise at the end of the task: a pale cloud, an animated character in it and one
// spoken praise word, chosen at random among five.

#include "framework/Dialog.h"

#include <array>
#include <functional>
#include <string_view>

struct PraiseItem {
    const wchar_t* soundName;  // sound blob, also the name it is registered under
    const char* clipBlob;      // Theora clip blob
};

// The five words with their clips, in index order.
extern const std::array<PraiseItem, 5> kPraiseItems;

// A uniform draw among the five words.
int ChoosePraiseIndex();

// The praise with its cloud's top-left corner at (x, y) in a new child of `mainWindow`:
// word `index` spoken once, its clip at (x + 93, y + 76), 320 x 200, 12 frames a second.
// When the clip ends (after the clip's time, 2167 ms, also when it cannot be played or
// breaks off) the praise closes, then `onEnd` runs.
IMDialog* BuildPraiseAt(IMDialog* mainWindow, int x, int y, int index, std::function<void()> onEnd);

// The praise at (137, 100) with a close mark in the corner whose click closes `target`; the
// mark shows once the clip has ended.
IMDialog* BuildPraiseWithCloseMark(IMDialog* mainWindow, IMDialog* target, int index);
