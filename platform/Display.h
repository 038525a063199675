#pragma once
// The program's window and drawing surface on SDL2: an 800 x 600 canvas (any size headless)
// that every frame is drawn into, copied letterboxed to the window at present.
//
// Drawing model: screen-space quads through SDL_RenderGeometry, per-vertex colour modulating
// texel colour and alpha, source-alpha blending, linear filtering. Pixel centres lie at +0.5,
// so a quad corner at integer (x, y) maps texel to pixel exactly. The clip rectangle clips
// in canvas pixels; it never moves what is drawn.
//
// All of it belongs to the user-interface thread.

#include "framework/Types.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Surface;
struct SDL_Texture;

// Texel formats. Both are 32 bits, bytes in memory B, G, R, A. XRGB textures draw opaque:
// whatever the fourth byte holds, it is forced to 255 when the texture is unlocked.
enum class TextureFormat : uint8_t { ARGB, XRGB };

// One corner of a quad in canvas pixels: position, ARGB colour, texture coordinates (0..1).
struct QuadVertex {
    float x { 0.0f };
    float y { 0.0f };
    float z { 0.0f };
    float rhw { 1.0f };
    uint32_t diffuse { 0xFFFFFFFF };
    float u { 0.0f };
    float v { 0.0f };
};
static_assert(sizeof(QuadVertex) == 28);

struct IMDisplayState;

// A streaming texture of the display. Destroying it after its display is gone is safe.
class IMTexture {
public:
    ~IMTexture();
    IMTexture(const IMTexture&) = delete;
    IMTexture& operator=(const IMTexture&) = delete;

    int Width() const { return width; }
    int Height() const { return height; }
    TextureFormat Format() const { return format; }

    // Locks the whole texture for reading and writing; the content is kept between locks.
    // Returns the first texel and sets `pitch` (bytes per row), or null on failure.
    uint8_t* Lock(int& pitch);
    void Unlock();

private:
    friend class IMDisplay;
    IMTexture() = default;

    std::shared_ptr<IMDisplayState> state;
    SDL_Texture* texture { nullptr };
    int width { 0 };
    int height { 0 };
    TextureFormat format { TextureFormat::ARGB };
    uint8_t* locked { nullptr };
    int lockedPitch { 0 };
};

class IMDisplay {
public:
    // Canvas size of the game window.
    static constexpr int kCanvasWidth = 800;
    static constexpr int kCanvasHeight = 600;

    // Opens the game window: windowed = an 800 x 600 window; otherwise desktop full screen with
    // the canvas scaled to fit, aspect kept, black bars. Null (with a diagnostic line) when SDL
    // has no usable video device or renderer.
    static std::unique_ptr<IMDisplay> OpenWindow(const std::wstring& title, bool windowed);
    // The same drawing code over an in-memory surface of width x height; needs no display.
    static std::unique_ptr<IMDisplay> OpenHeadless(int width, int height);

    ~IMDisplay();
    IMDisplay(const IMDisplay&) = delete;
    IMDisplay& operator=(const IMDisplay&) = delete;

    // SDL window id, for matching events to this window; 0 when headless.
    uint32_t WindowId() const;
    SDL_Window* NativeWindow() const { return window; }
    bool IsHeadless() const { return window == nullptr; }
    // True when the window is minimised or hidden (nothing would be seen of a frame).
    bool IsMinimized() const;

    int CanvasWidth() const { return canvasWidth; }
    int CanvasHeight() const { return canvasHeight; }

    // Where the canvas lies in the window, in window pixels.
    RECT LetterboxRect() const;
    // A window position mapped to canvas pixels (positions in the bars map outside 0..size).
    POINT WindowToCanvas(int x, int y) const;
    // The pure forms of the two above, for a window of windowWidth x windowHeight.
    static RECT LetterboxRect(int windowWidth, int windowHeight, int canvasWidth, int canvasHeight);
    static POINT WindowToCanvas(int x, int y, int windowWidth, int windowHeight, int canvasWidth,
        int canvasHeight);

    // Sets the window icon from B, G, R, A pixels (`pitch` bytes per row). False when headless
    // or the pixels are unusable.
    bool SetIcon(const uint8_t* bgra, int width, int height, int pitch);

    // A zero-filled streaming texture of exactly width x height. Null on failure; then
    // `outOfMemory` tells whether the device ran out of texture memory.
    std::unique_ptr<IMTexture> CreateTexture(int width, int height, TextureFormat format,
        bool& outOfMemory);
    // Limits the texel bytes of all live textures (0 = no limit, the default); a creation over
    // the limit fails as out of memory. Lets tests reproduce memory pressure.
    void SetTextureMemoryLimit(size_t bytes);
    size_t TextureMemoryInUse() const;

    // Frame: Clear (opaque black, clip reset), quads, Present (canvas to window).
    void Clear();
    void Present();

    // The clip rectangle in canvas pixels; an empty one clips everything away.
    RECT ClipRect() const { return clip; }
    void SetClipRect(const RECT& rect);

    // Draws a quad (corners top-left, top-right, bottom-right, bottom-left) as two triangles.
    void DrawQuad(IMTexture& texture, const std::array<QuadVertex, 4>& corners);

    // The canvas as ARGB words (0xAARRGGBB; in memory B, G, R, A), row after row. Empty on
    // failure.
    std::vector<uint32_t> ReadPixels() const;

    // Device loss: the event translation reports SDL_RENDER_TARGETS_RESET (false) and
    // SDL_RENDER_DEVICE_RESET (true) here.
    void NotifyReset(bool deviceReset);
    bool IsLost() const { return lost; }
    // Rebuilds the canvas after a reset; true when the display can draw again. The caller
    // recreates its own textures.
    bool Recover();

private:
    IMDisplay() = default;
    bool CreateCanvas();
    // The common end of opening: canvas size, shared state, the canvas texture, a first clear.
    bool FinishOpening(int width, int height);
    bool ApplyClip() const;

    SDL_Window* window { nullptr };
    SDL_Surface* surface { nullptr };
    SDL_Renderer* renderer { nullptr };
    SDL_Texture* canvas { nullptr };
    std::shared_ptr<IMDisplayState> state;
    int canvasWidth { 0 };
    int canvasHeight { 0 };
    RECT clip {};
    bool lost { false };
    uint32_t initFlags { 0 };
};
