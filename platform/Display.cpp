#include "platform/Display.h"

#include "platform/Debug.h"
#include "platform/Text.h"

#include <SDL.h>
#include <X11/Xlib.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include <unistd.h>

// Shared between a display and its textures, so that a texture outliving its display knows
// the renderer (and with it the texture) is gone.
struct IMDisplayState {
    SDL_Renderer* renderer { nullptr };
    size_t memoryLimit { 0 };
    size_t memoryInUse { 0 };
};

namespace {

void ReportSdlError(const char* what)
{
    DebugOutput(std::string(what) + ": " + SDL_GetError());
}

bool LooksLikeOutOfMemory(const char* error)
{
    std::string text(error ? error : "");
    std::transform(text.begin(), text.end(), text.begin(),
        [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text.find("memory") != std::string::npos;
}

// Floor division for possibly negative numerators (positions in the left or top bar).
int64_t FloorDiv(int64_t a, int64_t b)
{
    int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0)))
        --q;
    return q;
}

SDL_Rect ToSdl(const RECT& r) { return SDL_Rect { r.left, r.top, r.right - r.left, r.bottom - r.top }; }

// With TIRLAN_TRACE_FIRST_FRAME set, the first present writes "first frame <ms> ms": the
// time since the process started (its start time in /proc/self/stat, boot-clock ticks).
void TraceFirstFrame()
{
    static bool done = false;
    if (done || !std::getenv("TIRLAN_TRACE_FIRST_FRAME"))
        return;
    done = true;
    std::ifstream file("/proc/self/stat");
    std::string stat((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::istringstream fields(stat.substr(std::min(stat.size(), stat.rfind(')') + 1)));
    std::string field; // the fields after the name start at 3; the start time is 22
    for (int i = 3; i <= 22; ++i)
        fields >> field;
    timespec now {};
    const long ticksPerSecond = ::sysconf(_SC_CLK_TCK);
    if (!fields || ticksPerSecond <= 0 || ::clock_gettime(CLOCK_BOOTTIME, &now) != 0)
        return;
    const double startMs = std::strtod(field.c_str(), nullptr) * 1000.0 / double(ticksPerSecond);
    const double nowMs = double(now.tv_sec) * 1000.0 + double(now.tv_nsec) / 1e6;
    DebugOutput("first frame " + std::to_string(std::lround(nowMs - startMs)) + " ms");
}

// Whether the renderer draws through an OpenGL driver that rasterises on the processor
// (Mesa's llvmpipe, softpipe or swrast, as under Xvfb or without a graphics card). Such a
// driver copies every frame several times; SDL's own software renderer is far cheaper there.
bool DrawsThroughSoftwareOpenGl(SDL_Renderer* renderer)
{
    SDL_RendererInfo info {};
    if (SDL_GetRendererInfo(renderer, &info) != 0 || info.name == nullptr
        || std::strncmp(info.name, "opengl", 6) != 0)
        return false;
    using GetString = const unsigned char* (*)(unsigned int);
    constexpr unsigned int kGlRenderer = 0x1F01;
    auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
    const unsigned char* name = getString ? getString(kGlRenderer) : nullptr;
    if (name == nullptr)
        return false;
    const std::string text(reinterpret_cast<const char*>(name));
    for (const char* soft : { "llvmpipe", "softpipe", "swrast", "Software Rasterizer" })
        if (text.find(soft) != std::string::npos)
            return true;
    return false;
}

// Whether the display is an X server that offers no direct rendering (DRI2 or DRI3), as Xvfb
// and remote displays do: OpenGL would then rasterise on the processor, and merely loading
// that driver costs some 60 MB. Asked on a connection of its own, before any window exists.
bool XServerWithoutDirectRendering()
{
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver == nullptr || std::strcmp(driver, "x11") != 0)
        return false;
    Display* x = XOpenDisplay(nullptr);
    if (x == nullptr)
        return false;
    int opcode = 0, event = 0, error = 0;
    const bool direct = XQueryExtension(x, "DRI3", &opcode, &event, &error) || XQueryExtension(x, "DRI2", &opcode, &event, &error);
    XCloseDisplay(x);
    return !direct;
}

} // namespace

// ---- IMTexture ---------------------------------------------------------------------------

IMTexture::~IMTexture()
{
    if (state && state->renderer && texture) {
        if (locked)
            SDL_UnlockTexture(texture);
        SDL_DestroyTexture(texture);
    }
    if (state)
        state->memoryInUse -= std::min(state->memoryInUse, size_t(width) * size_t(height) * 4);
}

uint8_t* IMTexture::Lock(int& pitch)
{
    pitch = 0;
    if (!state || !state->renderer || !texture)
        return nullptr;
    if (locked) {
        pitch = lockedPitch;
        return locked;
    }
    void* texels = nullptr;
    if (SDL_LockTexture(texture, nullptr, &texels, &lockedPitch) != 0) {
        ReportSdlError("texture lock failed");
        return nullptr;
    }
    locked = static_cast<uint8_t*>(texels);
    pitch = lockedPitch;
    return locked;
}

void IMTexture::Unlock()
{
    if (!locked)
        return;
    if (format == TextureFormat::XRGB) {
        for (int y = 0; y < height; ++y) {
            uint8_t* row = locked + size_t(y) * size_t(lockedPitch);
            for (int x = 0; x < width; ++x)
                row[x * 4 + 3] = 0xFF;
        }
    }
    SDL_UnlockTexture(texture);
    locked = nullptr;
    lockedPitch = 0;
}

// ---- Opening and closing -----------------------------------------------------------------

std::unique_ptr<IMDisplay> IMDisplay::OpenWindow(const std::wstring& title, bool windowed)
{
    std::unique_ptr<IMDisplay> display(new IMDisplay());
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        ReportSdlError("video initialisation failed");
        return nullptr;
    }
    display->initFlags = SDL_INIT_VIDEO;
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "linear");

    // TIRLAN_RENDERER=software or =accelerated chooses; otherwise the software renderer serves
    // an X server without direct rendering, and an accelerated renderer is kept unless its
    // driver turns out to rasterise on the processor.
    const char* choice = std::getenv("TIRLAN_RENDERER");
    const bool forceAccelerated = choice != nullptr && std::strcmp(choice, "accelerated") == 0;
    const bool forceSoftware = (choice != nullptr && std::strcmp(choice, "software") == 0)
        || (!forceAccelerated && XServerWithoutDirectRendering());
    // Nor may SDL back the software renderer's window surface with an OpenGL one.
    if (forceSoftware)
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");

    Uint32 flags = 0;
    int x = int(SDL_WINDOWPOS_CENTERED);
    int y = int(SDL_WINDOWPOS_CENTERED);
    int width = kCanvasWidth;
    int height = kCanvasHeight;
    SDL_DisplayMode desktop {};
    if (!windowed) {
        // Made desktop-sized and borderless from the start, so that the window covers the
        // screen even where no window manager carries out the full-screen request.
        flags = SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_BORDERLESS;
        if (SDL_GetDesktopDisplayMode(0, &desktop) == 0 && desktop.w > 0 && desktop.h > 0) {
            x = 0;
            y = 0;
            width = desktop.w;
            height = desktop.h;
        }
    }
    display->window = SDL_CreateWindow(WideToUtf8(title).c_str(), x, y, width, height, flags);
    if (!display->window) {
        ReportSdlError("window creation failed");
        return nullptr;
    }
    if (!forceSoftware)
        display->renderer = SDL_CreateRenderer(display->window, -1,
            SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC | SDL_RENDERER_TARGETTEXTURE);
    if (display->renderer && !forceAccelerated && DrawsThroughSoftwareOpenGl(display->renderer)) {
        SDL_DestroyRenderer(display->renderer);
        display->renderer = SDL_CreateRenderer(display->window, -1, SDL_RENDERER_SOFTWARE | SDL_RENDERER_TARGETTEXTURE);
        if (display->renderer)
            DebugOutput("display: OpenGL rasterises on the processor here; drawing with the software renderer");
    }
    if (!display->renderer) {
        if (!forceSoftware)
            ReportSdlError("accelerated renderer unavailable, using the software renderer");
        display->renderer
            = SDL_CreateRenderer(display->window, -1, SDL_RENDERER_SOFTWARE | SDL_RENDERER_TARGETTEXTURE);
    }
    if (!display->renderer) {
        ReportSdlError("renderer creation failed");
        return nullptr;
    }
    if (!display->FinishOpening(kCanvasWidth, kCanvasHeight))
        return nullptr;
    return display;
}

std::unique_ptr<IMDisplay> IMDisplay::OpenHeadless(int width, int height)
{
    if (width <= 0 || height <= 0)
        return nullptr;
    std::unique_ptr<IMDisplay> display(new IMDisplay());
    // Video (and with it the event queue) is initialised as for a window; without a display
    // server the dummy driver serves, and the software renderer needs neither.
    // With no display server in sight, go straight to the dummy driver rather than let every
    // real driver try (and complain).
    bool noServer = !SDL_getenv("DISPLAY") && !SDL_getenv("WAYLAND_DISPLAY");
    if (!SDL_WasInit(SDL_INIT_VIDEO) && noServer && !SDL_getenv("SDL_VIDEODRIVER"))
        SDL_SetHint(SDL_HINT_VIDEODRIVER, "dummy");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) {
        display->initFlags = SDL_INIT_VIDEO;
    } else {
        if (!SDL_getenv("SDL_VIDEODRIVER"))
            SDL_SetHint(SDL_HINT_VIDEODRIVER, "dummy");
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0)
            display->initFlags = SDL_INIT_VIDEO;
        else if (SDL_InitSubSystem(SDL_INIT_EVENTS) == 0)
            display->initFlags = SDL_INIT_EVENTS;
    }
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "linear");

    display->surface = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_ARGB8888);
    if (!display->surface) {
        ReportSdlError("surface creation failed");
        return nullptr;
    }
    display->renderer = SDL_CreateSoftwareRenderer(display->surface);
    if (!display->renderer) {
        ReportSdlError("software renderer creation failed");
        return nullptr;
    }
    if (!display->FinishOpening(width, height))
        return nullptr;
    return display;
}

bool IMDisplay::FinishOpening(int width, int height)
{
    canvasWidth = width;
    canvasHeight = height;
    state = std::make_shared<IMDisplayState>();
    state->renderer = renderer;
    if (!CreateCanvas())
        return false;
    Clear();
    return true;
}

IMDisplay::~IMDisplay()
{
    if (canvas && renderer)
        SDL_DestroyTexture(canvas);
    if (renderer)
        SDL_DestroyRenderer(renderer); // also destroys every texture still alive
    if (state)
        state->renderer = nullptr;
    if (window)
        SDL_DestroyWindow(window);
    if (surface)
        SDL_FreeSurface(surface);
    if (initFlags)
        SDL_QuitSubSystem(initFlags);
}

bool IMDisplay::CreateCanvas()
{
    if (canvas)
        SDL_DestroyTexture(canvas);
    canvas = SDL_CreateTexture(
        renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_TARGET, canvasWidth, canvasHeight);
    if (!canvas) {
        ReportSdlError("canvas creation failed");
        return false;
    }
    SDL_SetTextureBlendMode(canvas, SDL_BLENDMODE_NONE);
    SDL_SetTextureScaleMode(canvas, SDL_ScaleModeLinear);
    if (SDL_SetRenderTarget(renderer, canvas) != 0) {
        ReportSdlError("canvas cannot be drawn into");
        return false;
    }
    clip = RECT { 0, 0, canvasWidth, canvasHeight };
    ApplyClip();
    return true;
}

// ---- Window geometry ---------------------------------------------------------------------

uint32_t IMDisplay::WindowId() const { return window ? SDL_GetWindowID(window) : 0; }

bool IMDisplay::IsMinimized() const
{
    if (!window)
        return false;
    Uint32 flags = SDL_GetWindowFlags(window);
    return (flags & (SDL_WINDOW_MINIMIZED | SDL_WINDOW_HIDDEN)) != 0;
}

RECT IMDisplay::LetterboxRect(int windowWidth, int windowHeight, int canvasW, int canvasH)
{
    if (windowWidth <= 0 || windowHeight <= 0 || canvasW <= 0 || canvasH <= 0)
        return RECT {};
    int64_t w = windowWidth;
    int64_t h = windowHeight;
    // Whichever side limits the scale fills the window; the other is centred between bars.
    if (int64_t(windowWidth) * canvasH <= int64_t(windowHeight) * canvasW)
        h = (int64_t(windowWidth) * canvasH + canvasW / 2) / canvasW;
    else
        w = (int64_t(windowHeight) * canvasW + canvasH / 2) / canvasH;
    int32_t left = int32_t((windowWidth - w) / 2);
    int32_t top = int32_t((windowHeight - h) / 2);
    return RECT { left, top, left + int32_t(w), top + int32_t(h) };
}

POINT IMDisplay::WindowToCanvas(
    int x, int y, int windowWidth, int windowHeight, int canvasW, int canvasH)
{
    RECT box = LetterboxRect(windowWidth, windowHeight, canvasW, canvasH);
    if (IsRectEmpty(box))
        return POINT { x, y };
    int64_t cx = FloorDiv((int64_t(x) - box.left) * canvasW, RectWidth(box));
    int64_t cy = FloorDiv((int64_t(y) - box.top) * canvasH, RectHeight(box));
    return POINT { int32_t(cx), int32_t(cy) };
}

RECT IMDisplay::LetterboxRect() const
{
    int w = canvasWidth;
    int h = canvasHeight;
    // The renderer's output size would answer the canvas size while the canvas is the target.
    if (window)
        SDL_GetWindowSizeInPixels(window, &w, &h);
    return LetterboxRect(w, h, canvasWidth, canvasHeight);
}

POINT IMDisplay::WindowToCanvas(int x, int y) const
{
    int w = canvasWidth;
    int h = canvasHeight;
    if (window)
        SDL_GetWindowSize(window, &w, &h);
    return WindowToCanvas(x, y, w, h, canvasWidth, canvasHeight);
}

bool IMDisplay::SetIcon(const uint8_t* bgra, int width, int height, int pitch)
{
    if (!window || !bgra || width <= 0 || height <= 0 || pitch < width * 4)
        return false;
    // B, G, R, A bytes are one ARGB8888 word each on this little-endian platform.
    SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormatFrom(
        const_cast<uint8_t*>(bgra), width, height, 32, pitch, SDL_PIXELFORMAT_ARGB8888);
    if (!icon)
        return false;
    SDL_SetWindowIcon(window, icon);
    SDL_FreeSurface(icon);
    return true;
}

// ---- Textures ----------------------------------------------------------------------------

std::unique_ptr<IMTexture> IMDisplay::CreateTexture(
    int width, int height, TextureFormat format, bool& outOfMemory)
{
    outOfMemory = false;
    if (width <= 0 || height <= 0 || !renderer)
        return nullptr;
    size_t bytes = size_t(width) * size_t(height) * 4;
    if (state->memoryLimit != 0 && state->memoryInUse + bytes > state->memoryLimit) {
        outOfMemory = true;
        return nullptr;
    }
    SDL_Texture* texture = SDL_CreateTexture(
        renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, width, height);
    if (!texture) {
        outOfMemory = LooksLikeOutOfMemory(SDL_GetError());
        ReportSdlError("texture creation failed");
        return nullptr;
    }
    SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_BLEND);
    SDL_SetTextureScaleMode(texture, SDL_ScaleModeLinear);

    std::unique_ptr<IMTexture> result(new IMTexture());
    result->state = state;
    result->texture = texture;
    result->width = width;
    result->height = height;
    result->format = format;
    state->memoryInUse += bytes;

    int pitch = 0;
    uint8_t* texels = result->Lock(pitch);
    if (!texels)
        return nullptr;
    std::memset(texels, 0, size_t(pitch) * size_t(height));
    result->Unlock();
    return result;
}

void IMDisplay::SetTextureMemoryLimit(size_t bytes)
{
    if (state)
        state->memoryLimit = bytes;
}

size_t IMDisplay::TextureMemoryInUse() const { return state ? state->memoryInUse : 0; }

// ---- Drawing -----------------------------------------------------------------------------

bool IMDisplay::ApplyClip() const
{
    RECT whole { 0, 0, canvasWidth, canvasHeight };
    RECT visible {};
    if (!IntersectRect(visible, clip, whole))
        return false;
    SDL_Rect r = ToSdl(visible);
    SDL_RenderSetClipRect(renderer, &r);
    return true;
}

void IMDisplay::SetClipRect(const RECT& rect)
{
    clip = rect;
    ApplyClip();
}

void IMDisplay::Clear()
{
    if (!renderer || !canvas)
        return;
    SDL_SetRenderTarget(renderer, canvas);
    clip = RECT { 0, 0, canvasWidth, canvasHeight };
    SDL_RenderSetClipRect(renderer, nullptr);
    SDL_SetRenderDrawBlendMode(renderer, SDL_BLENDMODE_NONE);
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    SDL_RenderClear(renderer);
    ApplyClip();
}

void IMDisplay::Present()
{
    if (!renderer || !canvas)
        return;
    SDL_SetRenderTarget(renderer, nullptr);
    SDL_RenderSetClipRect(renderer, nullptr);
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    SDL_RenderClear(renderer);
    SDL_Rect box = ToSdl(LetterboxRect());
    SDL_RenderCopy(renderer, canvas, nullptr, &box);
    SDL_RenderPresent(renderer);
    TraceFirstFrame();
    SDL_SetRenderTarget(renderer, canvas);
    ApplyClip();
}

void IMDisplay::DrawQuad(IMTexture& texture, const std::array<QuadVertex, 4>& corners)
{
    if (!renderer || !canvas || !texture.texture || texture.locked)
        return;
    RECT whole { 0, 0, canvasWidth, canvasHeight };
    RECT visible {};
    if (!IntersectRect(visible, clip, whole))
        return; // SDL would take an empty clip rectangle as "no clipping"
    if (SDL_GetRenderTarget(renderer) != canvas) {
        SDL_SetRenderTarget(renderer, canvas);
        ApplyClip();
    }
    SDL_Vertex vertices[4];
    for (size_t i = 0; i < 4; ++i) {
        const QuadVertex& c = corners[i];
        vertices[i].position = SDL_FPoint { c.x, c.y };
        vertices[i].color = SDL_Color { Uint8((c.diffuse >> 16) & 0xFF), Uint8((c.diffuse >> 8) & 0xFF),
            Uint8(c.diffuse & 0xFF), Uint8(c.diffuse >> 24) };
        vertices[i].tex_coord = SDL_FPoint { c.u, c.v };
    }
    static const int kFan[6] = { 0, 1, 2, 0, 2, 3 };
    SDL_RenderGeometry(renderer, texture.texture, vertices, 4, kFan, 6);
}

std::vector<uint32_t> IMDisplay::ReadPixels() const
{
    std::vector<uint32_t> out;
    if (!renderer || !canvas)
        return out;
    if (SDL_GetRenderTarget(renderer) != canvas) {
        SDL_SetRenderTarget(renderer, canvas);
        ApplyClip();
    }
    out.resize(size_t(canvasWidth) * size_t(canvasHeight));
    SDL_Rect whole { 0, 0, canvasWidth, canvasHeight };
    if (SDL_RenderReadPixels(renderer, &whole, SDL_PIXELFORMAT_ARGB8888, out.data(), canvasWidth * 4) != 0) {
        ReportSdlError("reading the canvas failed");
        out.clear();
    }
    return out;
}

// ---- Device loss -------------------------------------------------------------------------

void IMDisplay::NotifyReset(bool deviceReset)
{
    // Either reset loses the canvas; a device reset loses every texture as well. The caller
    // rebuilds all of its textures in both cases.
    (void)deviceReset;
    lost = true;
}

bool IMDisplay::Recover()
{
    if (!renderer)
        return false;
    lost = !CreateCanvas();
    if (!lost)
        Clear();
    return !lost;
}
