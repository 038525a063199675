#include "platform/Cursor.h"

#include "framework/Messages.h"
#include "platform/Display.h"
#include "platform/MessageQueue.h"

#include <SDL.h>

namespace {

constexpr int canvasWidth = 800;
constexpr int canvasHeight = 600;

int displayCount = 0;
POINT position {};
bool inWindow = false;
uint32_t windowId = 0;
int windowCanvasWidth = canvasWidth;
int windowCanvasHeight = canvasHeight;

int32_t PackPoint(int x, int y)
{
    return static_cast<int32_t>((static_cast<uint32_t>(static_cast<uint16_t>(y)) << 16)
        | static_cast<uint16_t>(x));
}

void ApplyVisibility()
{
    if (SDL_WasInit(SDL_INIT_VIDEO) != 0)
        SDL_ShowCursor(displayCount >= 0 ? SDL_ENABLE : SDL_DISABLE);
}

} // namespace

int ShowCursor(bool show)
{
    displayCount += show ? 1 : -1;
    ApplyVisibility();
    return displayCount;
}

int CursorDisplayCount() { return displayCount; }

void SetCursorPosition(int x, int y)
{
    position = POINT { x, y };
    SDL_Window* window = windowId != 0 ? SDL_GetWindowFromID(windowId) : nullptr;
    if (window != nullptr) {
        int ww = 0;
        int wh = 0;
        SDL_GetWindowSize(window, &ww, &wh);
        POINT w = CanvasToWindow(x, y, ww, wh, windowCanvasWidth, windowCanvasHeight);
        SDL_WarpMouseInWindow(window, w.x, w.y);
        return;
    }
    inWindow = x >= 0 && y >= 0 && x < canvasWidth && y < canvasHeight;
    PostWindowMessage(WM_MOUSEMOVE, 0, PackPoint(x, y));
}

POINT GetCursorPosition() { return position; }

bool IsCursorInWindow() { return inWindow; }

POINT CanvasToWindow(int x, int y, int windowWidth, int windowHeight, int cw, int ch)
{
    RECT box = IMDisplay::LetterboxRect(windowWidth, windowHeight, cw, ch);
    if (IsRectEmpty(box) || cw <= 0 || ch <= 0)
        return POINT { x, y };
    // The centre of canvas pixel x, so that mapping back gives x again.
    int64_t wx = box.left + ((int64_t(x) * 2 + 1) * RectWidth(box)) / (int64_t(cw) * 2);
    int64_t wy = box.top + ((int64_t(y) * 2 + 1) * RectHeight(box)) / (int64_t(ch) * 2);
    return POINT { static_cast<int32_t>(wx), static_cast<int32_t>(wy) };
}

void AttachCursorWindow(uint32_t sdlWindowId, int cw, int ch)
{
    windowId = sdlWindowId;
    windowCanvasWidth = cw;
    windowCanvasHeight = ch;
    SDL_SetHint(SDL_HINT_MOUSE_AUTO_CAPTURE, "0");
    ApplyVisibility();
}

void DetachCursorWindow() { windowId = 0; }

void NoteCursorPosition(POINT canvas) { position = canvas; }

void NoteCursorInWindow(bool inside) { inWindow = inside; }

void ResetCursorState()
{
    displayCount = 0;
    position = POINT {};
    inWindow = false;
    DetachCursorWindow();
}
