#pragma once
// Timed effects on the main window's timers: a picture that blinks and then closes itself,
// and a straight glide of a picture (or of the mouse cursor) to a point. Each effect is a
// chain of one-shot timers; each step removes its own timer and starts the next one.
// An effect stops as soon as its picture is released or deleted: no step ever touches a
// control that is gone. UI thread only.

#include "framework/Forward.h"

#include <cstdint>
#include <string>

using IMPicture = IMStaticPictureBase<IMTextureView>;

// Creates a picture of `textureName` at (x, y) on `layer` of `dialog` that is hidden and
// shown again `blinks` times, each phase lasting durationMs / (2 * blinks) ms, and closes
// itself one phase after it was last shown. Null (and nothing created) when `blinks` is 0,
// the dialog is null or there is no main window.
IMPicture* CreateBlinkingPicture(IMDialog* dialog, int x, int y, const std::wstring& textureName,
    uint32_t blinks, uint32_t durationMs, int layer);

// Glides `picture` (in its parent's coordinates), or the mouse cursor when `picture` is null
// (in canvas coordinates), from (fromX, fromY) towards (toX, toY): 51 moves 10 ms apart, the
// k-th to from + k * (to - from) / 50, so it comes to rest one step beyond the end point.
// False when there is no main window.
bool AnimateMove(float fromX, float fromY, int toX, int toY, IMPicture* picture);
