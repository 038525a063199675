#pragma once
// CursorMouse: the drawn cursor of the instruction: a small arrow and, 10 pixels below and to
// the right of it, a hand holding a mouse. Both glide together; the mouse picture can show the
// left button pressed. The pictures lie on layer 60000 of their dialog, above everything else.

#include "framework/Effects.h"
#include "framework/Signal.h"
#include "framework/Types.h"

#include <array>
#include <cstdint>

class CursorMouse {
public:
    static constexpr int kLayer = 60000;

    // Registers the click sound and the eight pictures, then creates the mouse picture at
    // (10, 10) and the arrow at (0, 0) in `dialog`.
    explicit CursorMouse(IMDialog* dialog);
    CursorMouse(const CursorMouse&) = delete;
    CursorMouse& operator=(const CursorMouse&) = delete;

    // The mouse picture shows the left button pressed (until the pictures go).
    void PressLeft();
    // Starts both glides (about half a second, 51 steps); returns at once.
    void GlideTo(int fromX, int fromY, int toX, int toY);
    // Unregisters the pictures' names and closes both pictures; the sound stays registered.
    // Safe to call more than once.
    void Release();

    IMPicture* mousePicture { nullptr };
    IMPicture* cursorPicture { nullptr };
    uint32_t clickSound { 0 };
    IMDialog* ownerDialog { nullptr };
    POINT mouseOffset { 10, 10 };
    bool mouseHidden { false };

private:
    // Which of the eight picture names this object registered.
    std::array<bool, 8> registered {};
    // Connected while the picture lives.
    IMConnection mouseAlive {};
    IMConnection cursorAlive {};
};
