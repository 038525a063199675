#pragma once
// The mouse cursor: its display count, its position in canvas pixels and whether it is over
// the window. Without a window (headless runs) the cursor is simulated: moving it records
// the position and posts the mouse move a real pointer would cause.

#include "framework/Types.h"

#include <cstdint>

// Adds one to the display count (show) or takes one away; the cursor is visible while the
// count is >= 0, and it starts at 0. Returns the new count. UI thread only.
int ShowCursor(bool show);
int CursorDisplayCount();

// Moves the cursor to the canvas point (x, y) of the window; the move arrives as a
// WM_MOUSEMOVE like any other.
void SetCursorPosition(int x, int y);
// The cursor position in canvas pixels, as last reported by input or set by SetCursorPosition.
POINT GetCursorPosition();
// True while the pointer is over the window (over the canvas when headless).
bool IsCursorInWindow();

// Binds the cursor to an SDL window (by id) showing a canvas of canvasWidth x canvasHeight
// letterboxed. Id 0 means no window: the cursor is simulated. Also turns off SDL's mouse
// capture: a button released outside the window is not seen, as the game expects.
void AttachCursorWindow(uint32_t sdlWindowId, int canvasWidth, int canvasHeight);

// Canvas point (x, y) in window pixels for a window of windowWidth x windowHeight.
POINT CanvasToWindow(int x, int y, int windowWidth, int windowHeight, int canvasWidth, int canvasHeight);
void DetachCursorWindow();

// Records where input saw the pointer (called by the event translation).
void NoteCursorPosition(POINT canvas);
void NoteCursorInWindow(bool inside);

// Back to the start state: count 0, position (0, 0), outside, no window. For tests.
void ResetCursorState();
