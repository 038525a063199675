#pragma once
// The one object through which the program reaches its pictures and its drawing device:
// the renderer half (frame operations, DrawQuad, device loss, frame statistics) and the
// texture table (named, reference-counted textures with a CPU copy of their texels).
//
// Index contract: an index names a slot of the table; it stays fixed while the slot lives.
// Every operation that fails to produce a texture answers SlotCount() (the "missing" index)
// and leaves the table as it was. Operations that find a live slot by name add a reference
// for the caller, who gives it back with ReleaseTexture.
//
// Texel layout: 32 bits per texel, bytes in memory B, G, R, A. The image sits in the top-left
// corner of a power-of-two texture; texel (x, y) of `pixels` is at byte
// (textureWidth * y + x) * 4.
//
// Everything here runs on the user-interface thread.

#include "framework/PaintDevice.h"
#include "framework/Types.h"
#include "platform/Display.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

// Raised by CreateTextureObject when the device has no texture memory left. The creating
// operations catch it, evict another texture and retry; it reaches a caller only when
// nothing is left to evict.
class TextureOutOfMemory : public std::runtime_error {
public:
    TextureOutOfMemory() : std::runtime_error("out of texture memory") { }
};

struct TextureSlot {
    // Null while evicted (device loss or memory pressure); rebuilt from `pixels` on next use.
    std::unique_ptr<IMTexture> textureObject;
    // (0, 0, image width, image height): the default source rectangle and natural size.
    RECT imageRect {};
    // Size of the texture: the image size rounded up to powers of two.
    int32_t textureWidth { 0 };
    int32_t textureHeight { 0 };
    TextureFormat format { TextureFormat::ARGB };
    std::wstring name;
    int32_t refCount { 0 };
    // Copy of the texels, textureHeight rows of 4 * textureWidth bytes; empty when no copy
    // could be taken (then the slot answers no hit tests and cannot be restored).
    std::vector<uint8_t> pixels;

    bool HasPixels() const { return !pixels.empty(); }
    // Alpha of image texel (x, y); 0 outside the image or without a pixel copy.
    uint8_t AlphaAt(int x, int y) const;
};

class IMResourceManager final : public IMPaintDevice {
public:
    // Window size the manager asks of the display, and the full-screen refresh rate it notes.
    static constexpr int kBackBufferWidth = 800;
    static constexpr int kBackBufferHeight = 600;
    static constexpr uint32_t kRefreshRate = 75;

    // Creates the process-wide manager on `window` (not owned; must outlive the manager), sets
    // `resourceManager` and the paint device, and registers the skin textures. Throws
    // std::runtime_error("Не могу создать устройство Direct3D") when there is no display.
    static void Startup(IMDisplay* window, bool windowed);
    // Releases the skin textures, writes the "FPS: " line, destroys the manager; afterwards
    // `resourceManager` and the paint device are null. Does nothing when not started.
    static void Shutdown();

    // A manager without the process-wide side effects (no skin, no global pointers); tests
    // use it directly. `window` must not be null and must outlive the manager.
    IMResourceManager(IMDisplay* window, bool windowed);
    ~IMResourceManager() override;
    IMResourceManager(const IMResourceManager&) = delete;
    IMResourceManager& operator=(const IMResourceManager&) = delete;

    // ---- Texture table -------------------------------------------------------------------

    // Texture from an image in memory: PNG, else JPEG. Only the bytes of `data` are read; a
    // PNG stream is read up to its end, whatever follows it.
    int RegisterTexture(const std::wstring& name, std::span<const uint8_t> data);
    // Texture from a numbered resource (a name of decimal digits; leading zeros make a
    // separate name for the same resource) or else from the file the name is a path of.
    int AcquireTexture(const std::wstring& name);
    // Zero-filled texture of width x height (image rectangle), power-of-two sized.
    int CreateBlankTexture(const std::wstring& name, int width, int height,
        TextureFormat format = TextureFormat::ARGB);
    // Texture holding a copy of width x height B, G, R, A texels (`pitch` bytes per row).
    int CreateTextureFromPixels(const std::wstring& name, int width, int height,
        const uint8_t* bgra, int pitch, TextureFormat format = TextureFormat::ARGB);

    // Index of the live slot of `name`, or SlotCount(); adds no reference.
    int FindTexture(const std::wstring& name) const;
    // One more reference on a live slot: returns `index`, or SlotCount() for a free or
    // out-of-range position.
    int AddTextureRef(int index);
    // Drops one reference; at zero the slot is freed and its index reused (last freed, first
    // reused). Out-of-range indices, free positions and unknown names are ignored.
    void ReleaseTexture(int index);
    void ReleaseTexture(const std::wstring& name);

    // Rebuilds an evicted texture from its pixel copy.
    void RestoreTexture(int index);
    // Releases the texture object and keeps the slot and its pixel copy.
    void EvictTexture(int index);
    // Refreshes the pixel copy from the texture.
    void SnapshotTexture(int index);
    // Locks the texture and calls writer(texels, pitch in bytes, image height); the pixel
    // copy is not refreshed (call SnapshotTexture for that).
    void UpdateTexture(int index, const std::function<void(uint8_t*, int, int)>& writer);
    // Row pitch of the texture in bytes; 0 when it cannot be locked.
    int TexturePitch(int index);

    // Read access for views: the live slot at `index`, or null.
    const TextureSlot* Slot(int index) const;
    // Number of table positions ever allocated; also the answer for "not found".
    int SlotCount() const { return slotCount; }

    // ---- Renderer ------------------------------------------------------------------------

    // IMPaintDevice: the viewport clips in canvas pixels and never moves the origin.
    RECT GetViewport() const override;
    void SetViewport(const RECT& viewport) override;
    // Draws slot `textureIndex` into `dest` (relative to the origin). Empty dest draws nothing;
    // angle exactly 0 is axis-aligned, any other (NaN too) rotates about the centre of dest.
    void DrawQuad(int textureIndex, const RECT& dest, const RECT* source, uint32_t colour,
        float angle) override;

    // Frame operations of the main window. Clear fills the canvas opaque black and resets the
    // viewport to the whole canvas; Present shows the canvas. Begin/EndScene bracket the
    // painting of the tree.
    void Clear();
    void BeginScene();
    void EndScene();
    void Present();

    // Device loss: true when the display reported a reset that has not been recovered.
    bool IsDeviceLost();
    // Evicts every texture and rebuilds the display; true when drawing works again.
    // Textures come back one by one as they are drawn or updated.
    bool RecoverDevice();

    IMDisplay* Window() const { return window; }
    bool IsWindowed() const { return windowed; }
    int BackBufferWidth() const { return backBufferWidth; }
    int BackBufferHeight() const { return backBufferHeight; }
    // The frame-rate line written at shutdown ("FPS: <n>").
    std::wstring FrameRateLine() const;

    // Frame ticks (drawn or skipped because nothing changed); the main window counts them.
    uint32_t frameCount { 0 };

private:
    int FinishCreation(const std::wstring& name, int width, int height, TextureFormat format,
        const std::vector<uint8_t>& texels);
    std::unique_ptr<IMTexture> CreateTextureObject(int width, int height, TextureFormat format);
    std::unique_ptr<IMTexture> CreateTextureEvicting(int width, int height, TextureFormat format,
        const std::wstring& name);
    bool EvictOneExcept(const std::wstring& name);
    int DecodeAndCreate(const std::wstring& name, std::span<const uint8_t> data);
    TextureSlot* LiveSlot(int index);

    std::vector<std::unique_ptr<TextureSlot>> slots;
    std::map<std::wstring, int> slotIndex;
    std::vector<int> freeSlots;
    int slotCount { 0 };

    IMDisplay* window { nullptr };
    int32_t backBufferWidth { 0 };
    int32_t backBufferHeight { 0 };
    bool windowed { true };
    bool deviceLost { false };
    uint32_t refreshRate { kRefreshRate };
    uint32_t startTime { 0 };
};

// The process-wide manager; null before Startup and after Shutdown.
extern IMResourceManager* resourceManager;
