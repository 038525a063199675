#pragma once
// Translation of SDL events into the framework's window messages, with the Win32 numbers and
// parameters: keys by virtual-key code (from the key's position, whatever the layout) with
// Win32 key data, WM_CHAR per typed code point, mouse messages with MK_ flags and canvas
// positions, double clicks, the wheel, closing, minimising and hiding. Also the bounded wait
// for input.

#include "framework/Types.h"
#include "platform/MessageQueue.h"

#include <cstdint>
#include <functional>
#include <vector>

union SDL_Event;

// Window-state messages the translation produces (Win32 numbers).
constexpr uint32_t IM_WM_SIZE = 0x0005;
constexpr uint32_t IM_WM_SHOWWINDOW = 0x0018;
constexpr uint32_t IM_SIZE_RESTORED = 0;
constexpr uint32_t IM_SIZE_MINIMIZED = 1;
constexpr uint32_t IM_VK_F4 = 0x73;
constexpr uint32_t IM_VK_F10 = 0x79;

// Mouse position packing of lParam: x in the signed low 16 bits, y in the signed high 16 bits.
int32_t MakeMouseLParam(int x, int y);
int MouseLParamX(int32_t lParam);
int MouseLParamY(int32_t lParam);

class IMEventTranslator {
public:
    // Two left button-downs closer than this in time and position make a double click.
    static constexpr uint32_t kDoubleClickMs = 500;
    static constexpr int kDoubleClickSlop = 2; // pixels either way, in window pixels

    // Maps window pixels to canvas pixels; identity until set.
    void SetCanvasMapper(std::function<POINT(int x, int y)> mapper);
    // Called for SDL_RENDER_TARGETS_RESET (false) and SDL_RENDER_DEVICE_RESET (true).
    void SetResetHandler(std::function<void(bool deviceReset)> handler);
    // Only events of this SDL window are taken (0, the default, takes every window's).
    void SetWindowId(uint32_t id) { windowId = id; }

    // Appends the window messages that `event` stands for to `out` (often none, sometimes
    // several: a key gives its WM_KEYDOWN and maybe a WM_CHAR; Alt+F4 also gives WM_CLOSE).
    void Translate(const SDL_Event& event, std::vector<IMWindowMessage>& out);

    // MK_ flags of the buttons held and of Shift and Control.
    uint32_t KeyStateFlags() const;

private:
    bool ForThisWindow(uint32_t id) const { return windowId == 0 || id == 0 || id == windowId; }
    POINT ToCanvas(int x, int y) const;
    void TranslateKey(const SDL_Event& event, std::vector<IMWindowMessage>& out);
    void TranslateButton(const SDL_Event& event, std::vector<IMWindowMessage>& out);
    void TranslateWindowEvent(const SDL_Event& event, std::vector<IMWindowMessage>& out);

    std::function<POINT(int, int)> mapper;
    std::function<void(bool)> onReset;
    uint32_t windowId { 0 };
    uint32_t buttons { 0 }; // MK_LBUTTON | MK_RBUTTON | MK_MBUTTON held

    // The last button-down that may start a double click.
    uint8_t clickButton { 0 };
    uint32_t clickTime { 0 };
    int clickX { 0 };
    int clickY { 0 };
    bool clickArmed { false };
};

// Sleeps until input or a posted message arrives or `timeoutMs` passed (UINT32_MAX: no
// limit). Without SDL's event system only posted messages end the wait early.
void WaitForInput(uint32_t timeoutMs);

// Takes every queued SDL event and appends its messages to `out`. Does nothing when SDL's
// event system is not running.
void TakeInputMessages(IMEventTranslator& translator, std::vector<IMWindowMessage>& out);
