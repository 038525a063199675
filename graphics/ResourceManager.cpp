// Contents:
//   start-up and shutdown     the process-wide manager
//   texture table             creation, lookup, references, eviction and restoration
//   renderer                  quads, viewport, frame operations, device loss

#include "graphics/ResourceManager.h"

#include "graphics/ImageDecoder.h"
#include "graphics/Skin.h"
#include "platform/Clock.h"
#include "platform/Debug.h"
#include "platform/Resources.h"
#include "platform/Text.h"

#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>

IMResourceManager* resourceManager = nullptr;

namespace {

// A texture side is the image side rounded up to a power of two.
int PowerOfTwoAtLeast(int value)
{
    int size = 1;
    while (size < value)
        size *= 2;
    return size;
}

bool IsUsableSize(int width, int height)
{
    return width > 0 && height > 0 && width <= kMaxImageSide && height <= kMaxImageSide;
}

// The whole name as an unsigned 32-bit decimal number (leading zeros allowed, nothing else).
std::optional<uint32_t> ParseResourceNumber(const std::wstring& name)
{
    if (name.empty())
        return std::nullopt;
    uint64_t value = 0;
    for (wchar_t c : name) {
        if (c < L'0' || c > L'9')
            return std::nullopt;
        value = value * 10 + uint64_t(c - L'0');
        if (value > 0xFFFFFFFFull)
            return std::nullopt;
    }
    return uint32_t(value);
}

// Largest picture file read from disk.
constexpr std::streamoff kMaxPictureFileBytes = 256ll * 1024 * 1024;

std::optional<std::vector<uint8_t>> ReadWholeFile(const std::wstring& path)
{
    std::ifstream in(WideToUtf8(path), std::ios::binary | std::ios::ate);
    if (!in)
        return std::nullopt;
    std::streamoff size = in.tellg();
    if (size < 0 || size > kMaxPictureFileBytes)
        return std::nullopt;
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    in.seekg(0);
    if (size > 0 && !in.read(reinterpret_cast<char*>(bytes.data()), size))
        return std::nullopt;
    return bytes;
}

} // namespace

uint8_t TextureSlot::AlphaAt(int x, int y) const
{
    if (pixels.empty() || x < imageRect.left || y < imageRect.top || x >= imageRect.right
        || y >= imageRect.bottom)
        return 0;
    return pixels[(size_t(textureWidth) * size_t(y) + size_t(x)) * 4 + 3];
}

// ---- Start-up and shutdown -----------------------------------------------------------------

void IMResourceManager::Startup(IMDisplay* window, bool windowed)
{
    if (resourceManager) {
        DebugOutput(std::string_view("resource manager started twice; keeping the first"));
        return;
    }
    resourceManager = new IMResourceManager(window, windowed);
    SetPaintDevice(resourceManager);
    RegisterSkin(*resourceManager);
}

void IMResourceManager::Shutdown()
{
    if (!resourceManager)
        return;
    ReleaseSkin(*resourceManager);
    DebugOutput(resourceManager->FrameRateLine());
    if (GetPaintDevice() == resourceManager)
        SetPaintDevice(nullptr);
    delete resourceManager;
    resourceManager = nullptr;
}

IMResourceManager::IMResourceManager(IMDisplay* display, bool isWindowed)
    : window(display)
    , windowed(isWindowed)
{
    if (!window)
        throw std::runtime_error("Не могу создать устройство Direct3D");
    startTime = GetClock().Milliseconds();
    backBufferWidth = window->CanvasWidth();
    backBufferHeight = window->CanvasHeight();
}

IMResourceManager::~IMResourceManager() = default;

std::wstring IMResourceManager::FrameRateLine() const
{
    // Less than a millisecond since start-up counts as one, so the rate is always defined.
    uint64_t elapsed = uint32_t(GetClock().Milliseconds() - startTime);
    if (elapsed == 0)
        elapsed = 1;
    uint64_t rate = uint64_t(frameCount) * 1000 / elapsed;
    return L"FPS: " + std::to_wstring(rate) + L"\n";
}

// ---- Texture table -------------------------------------------------------------------------

TextureSlot* IMResourceManager::LiveSlot(int index)
{
    if (index < 0 || index >= slotCount)
        return nullptr;
    return slots[size_t(index)].get();
}

const TextureSlot* IMResourceManager::Slot(int index) const
{
    if (index < 0 || index >= slotCount)
        return nullptr;
    return slots[size_t(index)].get();
}

int IMResourceManager::FindTexture(const std::wstring& name) const
{
    auto found = slotIndex.find(name);
    return found == slotIndex.end() ? slotCount : found->second;
}

int IMResourceManager::AddTextureRef(int index)
{
    TextureSlot* slot = LiveSlot(index);
    if (!slot)
        return slotCount;
    ++slot->refCount;
    return index;
}

void IMResourceManager::ReleaseTexture(int index)
{
    TextureSlot* slot = LiveSlot(index);
    if (!slot)
        return;
    if (--slot->refCount > 0)
        return;
    slotIndex.erase(slot->name);
    slots[size_t(index)].reset();
    freeSlots.push_back(index);
}

void IMResourceManager::ReleaseTexture(const std::wstring& name) { ReleaseTexture(FindTexture(name)); }

std::unique_ptr<IMTexture> IMResourceManager::CreateTextureObject(
    int width, int height, TextureFormat format)
{
    bool outOfMemory = false;
    auto texture = window->CreateTexture(
        PowerOfTwoAtLeast(width), PowerOfTwoAtLeast(height), format, outOfMemory);
    if (!texture && outOfMemory)
        throw TextureOutOfMemory();
    return texture;
}

bool IMResourceManager::EvictOneExcept(const std::wstring& name)
{
    for (int index = 0; index < slotCount; ++index) {
        TextureSlot* slot = slots[size_t(index)].get();
        if (slot && slot->textureObject && slot->name != name) {
            EvictTexture(index);
            return true;
        }
    }
    return false;
}

std::unique_ptr<IMTexture> IMResourceManager::CreateTextureEvicting(
    int width, int height, TextureFormat format, const std::wstring& name)
{
    // Memory pressure: give up other textures one at a time (they come back from their pixel
    // copies when next drawn) until the new one fits or nothing is left to give up.
    for (;;) {
        try {
            return CreateTextureObject(width, height, format);
        } catch (const TextureOutOfMemory&) {
            if (!EvictOneExcept(name)) {
                DebugOutput(L"out of texture memory for \"" + name + L"\"");
                return nullptr;
            }
        }
    }
}

int IMResourceManager::FinishCreation(const std::wstring& name, int width, int height,
    TextureFormat format, const std::vector<uint8_t>& texels)
{
    if (!IsUsableSize(width, height))
        return slotCount;
    std::unique_ptr<IMTexture> texture = CreateTextureEvicting(width, height, format, name);
    if (!texture)
        return slotCount;
    if (!texels.empty()) {
        int pitch = 0;
        uint8_t* target = texture->Lock(pitch);
        if (!target)
            return slotCount;
        for (int y = 0; y < height; ++y)
            std::memcpy(target + size_t(y) * size_t(pitch), texels.data() + size_t(y) * size_t(width) * 4,
                size_t(width) * 4);
        texture->Unlock();
    }

    int index = 0;
    if (!freeSlots.empty()) {
        index = freeSlots.back();
        freeSlots.pop_back();
    } else {
        index = slotCount++;
        slots.emplace_back();
    }
    auto slot = std::make_unique<TextureSlot>();
    slot->imageRect = RECT { 0, 0, width, height };
    slot->textureWidth = texture->Width();
    slot->textureHeight = texture->Height();
    slot->format = format;
    slot->name = name;
    slot->refCount = 1;
    slot->textureObject = std::move(texture);
    slots[size_t(index)] = std::move(slot);
    slotIndex[name] = index;
    SnapshotTexture(index);
    return index;
}

int IMResourceManager::DecodeAndCreate(const std::wstring& name, std::span<const uint8_t> data)
{
    std::optional<DecodedImage> image = DecodeImage(data);
    if (!image) {
        DebugOutput(L"picture \"" + name + L"\" cannot be decoded");
        return slotCount;
    }
    return FinishCreation(name, image->width, image->height, TextureFormat::ARGB, image->bgra);
}

int IMResourceManager::RegisterTexture(const std::wstring& name, std::span<const uint8_t> data)
{
    int existing = FindTexture(name);
    if (existing != slotCount)
        return AddTextureRef(existing);
    return DecodeAndCreate(name, data);
}

int IMResourceManager::AcquireTexture(const std::wstring& name)
{
    int existing = FindTexture(name);
    if (existing != slotCount)
        return AddTextureRef(existing);

    if (std::optional<uint32_t> number = ParseResourceNumber(name)) {
        auto id = uint16_t(*number & 0xFFFF);
        std::span<const uint8_t> data = FindNumberedResource(id);
        if (data.empty()) {
            DebugOutput(L"no picture resource " + std::to_wstring(id));
            return slotCount;
        }
        return DecodeAndCreate(name, data);
    }
    std::optional<std::vector<uint8_t>> file = ReadWholeFile(name);
    if (!file) {
        DebugOutput(L"picture file \"" + name + L"\" cannot be read");
        return slotCount;
    }
    return DecodeAndCreate(name, *file);
}

int IMResourceManager::CreateBlankTexture(
    const std::wstring& name, int width, int height, TextureFormat format)
{
    int existing = FindTexture(name);
    if (existing != slotCount)
        return AddTextureRef(existing);
    return FinishCreation(name, width, height, format, {});
}

int IMResourceManager::CreateTextureFromPixels(const std::wstring& name, int width, int height,
    const uint8_t* bgra, int pitch, TextureFormat format)
{
    int existing = FindTexture(name);
    if (existing != slotCount)
        return AddTextureRef(existing);
    if (!bgra || !IsUsableSize(width, height) || pitch < width * 4)
        return slotCount;
    std::vector<uint8_t> texels(size_t(width) * size_t(height) * 4);
    for (int y = 0; y < height; ++y)
        std::memcpy(texels.data() + size_t(y) * size_t(width) * 4, bgra + size_t(y) * size_t(pitch),
            size_t(width) * 4);
    return FinishCreation(name, width, height, format, texels);
}

void IMResourceManager::EvictTexture(int index)
{
    if (TextureSlot* slot = LiveSlot(index))
        slot->textureObject.reset();
}

void IMResourceManager::SnapshotTexture(int index)
{
    TextureSlot* slot = LiveSlot(index);
    // An evicted texture keeps its copy: the copy is all that is left of it.
    if (!slot || !slot->textureObject)
        return;
    slot->pixels.clear();
    int pitch = 0;
    uint8_t* texels = slot->textureObject->Lock(pitch);
    if (!texels)
        return;
    size_t rowBytes = size_t(slot->textureWidth) * 4;
    slot->pixels.resize(rowBytes * size_t(slot->textureHeight));
    for (int y = 0; y < slot->textureHeight; ++y)
        std::memcpy(slot->pixels.data() + rowBytes * size_t(y), texels + size_t(pitch) * size_t(y), rowBytes);
    slot->textureObject->Unlock();
}

void IMResourceManager::RestoreTexture(int index)
{
    TextureSlot* slot = LiveSlot(index);
    if (!slot || slot->textureObject || slot->pixels.empty())
        return;
    std::unique_ptr<IMTexture> texture
        = CreateTextureEvicting(slot->textureWidth, slot->textureHeight, slot->format, slot->name);
    if (!texture)
        return;
    int pitch = 0;
    uint8_t* texels = texture->Lock(pitch);
    if (!texels)
        return;
    size_t rowBytes = size_t(slot->textureWidth) * 4;
    for (int y = 0; y < slot->textureHeight; ++y)
        std::memcpy(texels + size_t(pitch) * size_t(y), slot->pixels.data() + rowBytes * size_t(y), rowBytes);
    texture->Unlock();
    slot->textureObject = std::move(texture);
}

void IMResourceManager::UpdateTexture(int index, const std::function<void(uint8_t*, int, int)>& writer)
{
    RestoreTexture(index);
    TextureSlot* slot = LiveSlot(index);
    if (!slot || !writer)
        return;
    int pitch = 0;
    uint8_t* texels = slot->textureObject ? slot->textureObject->Lock(pitch) : nullptr;
    if (!texels) {
        DebugOutput(L"texture \"" + slot->name + L"\" cannot be locked; update skipped");
        return;
    }
    writer(texels, pitch, slot->imageRect.bottom);
    slot->textureObject->Unlock();
}

int IMResourceManager::TexturePitch(int index)
{
    RestoreTexture(index);
    TextureSlot* slot = LiveSlot(index);
    if (!slot || !slot->textureObject)
        return 0;
    int pitch = 0;
    if (!slot->textureObject->Lock(pitch))
        return 0;
    slot->textureObject->Unlock();
    return pitch;
}

// ---- Renderer ------------------------------------------------------------------------------

RECT IMResourceManager::GetViewport() const { return window->ClipRect(); }

void IMResourceManager::SetViewport(const RECT& viewport) { window->SetClipRect(viewport); }

void IMResourceManager::DrawQuad(
    int textureIndex, const RECT& dest, const RECT* source, uint32_t colour, float angle)
{
    TextureSlot* slot = LiveSlot(textureIndex);
    if (!slot)
        return;
    if (!slot->textureObject)
        RestoreTexture(textureIndex);
    if (IsRectEmpty(dest) || !slot->textureObject)
        return;
    const RECT& src = source ? *source : slot->imageRect;
    float cx = (float(dest.left) + float(dest.right)) * 0.5f;
    float cy = (float(dest.top) + float(dest.bottom)) * 0.5f;

    // Corners top-left, top-right, bottom-right, bottom-left.
    float xs[4] = { float(dest.left), float(dest.right), float(dest.right), float(dest.left) };
    float ys[4] = { float(dest.top), float(dest.top), float(dest.bottom), float(dest.bottom) };
    if (angle != 0.0f) {
        float c = std::cos(angle);
        float s = std::sin(angle);
        for (int i = 0; i < 4; ++i) {
            float dx = xs[i] - cx;
            float dy = ys[i] - cy;
            xs[i] = cx + dx * c - dy * s;
            ys[i] = cy + dx * s + dy * c;
        }
    }
    // A quad without a position (a NaN or infinite angle) covers no pixel.
    for (int i = 0; i < 4; ++i) {
        if (!std::isfinite(xs[i]) || !std::isfinite(ys[i]))
            return;
    }

    float tw = float(slot->textureWidth);
    float th = float(slot->textureHeight);
    float us[4] = { float(src.left) / tw, float(src.right) / tw, float(src.right) / tw, float(src.left) / tw };
    float vs[4] = { float(src.top) / th, float(src.top) / th, float(src.bottom) / th, float(src.bottom) / th };
    std::array<QuadVertex, 4> corners;
    for (int i = 0; i < 4; ++i) {
        corners[size_t(i)] = QuadVertex { float(originX) + xs[i], float(originY) + ys[i], 0.0f, 1.0f, colour,
            us[i], vs[i] };
    }
    window->DrawQuad(*slot->textureObject, corners);
}

void IMResourceManager::Clear() { window->Clear(); }

void IMResourceManager::BeginScene() { }

void IMResourceManager::EndScene() { }

void IMResourceManager::Present() { window->Present(); }

bool IMResourceManager::IsDeviceLost()
{
    if (!deviceLost)
        deviceLost = window->IsLost();
    return deviceLost;
}

bool IMResourceManager::RecoverDevice()
{
    for (int index = 0; index < slotCount; ++index)
        EvictTexture(index);
    if (deviceLost || window->IsLost())
        deviceLost = !window->Recover();
    return !deviceLost;
}
