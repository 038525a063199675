// The texture table: names, slots, references, the free list, acquisition from resources
// and files, damaged input, memory pressure and device loss.

#include "GraphicsFixture.h"

#include "graphics/Skin.h"
#include "platform/Clock.h"

#include <png.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace {

using TextureTable = GraphicsTest;

Rgba Tinted(int x, int y) { return Rgba { uint8_t(x * 3), uint8_t(y * 5), 100, uint8_t(x % 2 ? 255 : 90) }; }

std::filesystem::path WriteTempFile(const std::string& name, const std::vector<uint8_t>& bytes)
{
    auto path = std::filesystem::temp_directory_path() / ("tirlan-graphics-" + std::to_string(::getpid()) + "-" + name);
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return path;
}

TEST_F(TextureTable, SameNameTwiceSharesOneSlot)
{
    auto png = MakePng(4, 4, Tinted);
    int first = manager->RegisterTexture(L"picture", png);
    std::vector<uint8_t> garbage(100, 0x11); // not decoded: the name is live already
    int second = manager->RegisterTexture(L"picture", garbage);
    EXPECT_EQ(first, 0);
    EXPECT_EQ(second, first);
    EXPECT_EQ(manager->Slot(first)->refCount, 2);
    EXPECT_EQ(manager->SlotCount(), 1);

    manager->ReleaseTexture(first);
    EXPECT_EQ(manager->FindTexture(L"picture"), first);
    manager->ReleaseTexture(L"picture");
    EXPECT_EQ(manager->FindTexture(L"picture"), manager->SlotCount());
    EXPECT_EQ(manager->Slot(first), nullptr);
}

TEST_F(TextureTable, NumberedNamesAndFilePaths)
{
    auto png = MakePng(6, 3, Tinted);
    InstallNumberedResource(9102, png);
    int plain = manager->AcquireTexture(L"9102");
    int zeros = manager->AcquireTexture(L"09102");
    ASSERT_NE(plain, manager->SlotCount());
    ASSERT_NE(zeros, manager->SlotCount());
    EXPECT_NE(plain, zeros);
    EXPECT_EQ(manager->Slot(plain)->pixels, manager->Slot(zeros)->pixels);
    EXPECT_EQ(manager->Slot(zeros)->name, L"09102");
    // The id is the low 16 bits of the number: 74638 = 65536 + 9102.
    int wrapped = manager->AcquireTexture(L"74638");
    ASSERT_NE(wrapped, manager->SlotCount());
    EXPECT_EQ(manager->Slot(wrapped)->pixels, manager->Slot(plain)->pixels);

    // Not a number: a file path. "9102a" names no file.
    int before = manager->SlotCount();
    EXPECT_EQ(manager->AcquireTexture(L"9102a"), before);
    auto path = WriteTempFile("picture.png", png);
    std::wstring wide = path.wstring();
    int fromFile = manager->AcquireTexture(wide);
    ASSERT_NE(fromFile, manager->SlotCount());
    EXPECT_EQ(manager->Slot(fromFile)->imageRect, (RECT { 0, 0, 6, 3 }));
    EXPECT_EQ(manager->AcquireTexture(wide), fromFile);
    EXPECT_EQ(manager->Slot(fromFile)->refCount, 2);
    std::filesystem::remove(path);
}

TEST_F(TextureTable, FreedIndicesAreReusedLastInFirstOut)
{
    for (int i = 0; i < 6; ++i)
        ASSERT_EQ(MakeTexture(L"t" + std::to_wstring(i), 2, 2, Tinted), i);
    manager->ReleaseTexture(3);
    manager->ReleaseTexture(5);
    EXPECT_EQ(MakeTexture(L"new1", 2, 2, Tinted), 5);
    EXPECT_EQ(MakeTexture(L"new2", 2, 2, Tinted), 3);
    EXPECT_EQ(MakeTexture(L"new3", 2, 2, Tinted), 6);
    EXPECT_EQ(manager->SlotCount(), 7);
}

TEST_F(TextureTable, ReferenceOperationsOnFreeOrOutOfRangePositions)
{
    int a = MakeTexture(L"a", 2, 2, Tinted);
    int b = MakeTexture(L"b", 2, 2, Tinted);
    manager->ReleaseTexture(a);
    EXPECT_EQ(manager->AddTextureRef(a), manager->SlotCount());
    EXPECT_EQ(manager->AddTextureRef(99), manager->SlotCount());
    EXPECT_EQ(manager->AddTextureRef(-1), manager->SlotCount());
    for (int index : { a, -1, 2, 99 })
        manager->ReleaseTexture(index); // ignored
    manager->ReleaseTexture(L"nobody");
    EXPECT_EQ(manager->Slot(b)->refCount, 1);
    EXPECT_EQ(manager->AddTextureRef(b), b);
    EXPECT_EQ(manager->Slot(b)->refCount, 2);
}

TEST_F(TextureTable, TextureSizesArePowersOfTwoAroundTheImage)
{
    struct Case {
        int width, height, textureWidth, textureHeight;
    } cases[] = { { 350, 350, 512, 512 }, { 1, 1, 1, 1 }, { 97, 58, 128, 64 }, { 800, 600, 1024, 1024 },
        { 2, 19, 2, 32 } };
    for (const Case& c : cases) {
        auto png = MakePng(c.width, c.height, Tinted, { PNG_COLOR_TYPE_RGB, 8 });
        std::wstring name = std::to_wstring(c.width) + L"x" + std::to_wstring(c.height);
        int index = manager->RegisterTexture(name, png);
        const TextureSlot* slot = manager->Slot(index);
        ASSERT_TRUE(slot) << c.width << "x" << c.height;
        EXPECT_EQ(slot->imageRect, (RECT { 0, 0, c.width, c.height }));
        EXPECT_EQ(slot->textureWidth, c.textureWidth);
        EXPECT_EQ(slot->textureHeight, c.textureHeight);
        ASSERT_EQ(slot->pixels.size(), size_t(c.textureWidth) * size_t(c.textureHeight) * 4);
        // An RGB picture is opaque everywhere inside the image, transparent outside.
        EXPECT_EQ(slot->AlphaAt(c.width - 1, c.height - 1), 255);
        EXPECT_EQ(slot->AlphaAt(0, 0), 255);
        EXPECT_EQ(slot->AlphaAt(c.width, 0), 0);
        if (c.textureWidth > c.width) {
            EXPECT_EQ(slot->pixels[size_t(c.width) * 4 + 3], 0);
        }
    }
}

TEST_F(TextureTable, PixelCopyHoldsTheTexelsForHitTests)
{
    int index = manager->RegisterTexture(L"tinted", MakePng(5, 3, Tinted));
    const TextureSlot* slot = manager->Slot(index);
    ASSERT_TRUE(slot);
    ASSERT_EQ(slot->textureWidth, 8);
    const uint8_t* texel = slot->pixels.data() + (size_t(slot->textureWidth) * 2 + 3) * 4;
    Rgba want = Tinted(3, 2);
    EXPECT_EQ(texel[0], want.b);
    EXPECT_EQ(texel[1], want.g);
    EXPECT_EQ(texel[2], want.r);
    EXPECT_EQ(texel[3], want.a);
    EXPECT_EQ(slot->AlphaAt(0, 0), 90);
    EXPECT_EQ(slot->AlphaAt(1, 0), 255);
}

TEST_F(TextureTable, BadInputFailsAndLeavesTheTableUnchanged)
{
    auto png = MakePng(30, 30, Tinted);
    auto jpeg = MakeJpeg(30, 30, Tinted);
    InstallNumberedResource(9200, std::vector<uint8_t>(png.begin(), png.begin() + long(png.size() / 2)));
    InstallNumberedResource(9201, std::vector<uint8_t>(jpeg.begin(), jpeg.begin() + long(jpeg.size() / 2)));
    std::vector<uint8_t> corrupt = png;
    corrupt[40] ^= 0xFF;
    InstallNumberedResource(9202, corrupt);
    auto brokenFile = WriteTempFile("broken.png", std::vector<uint8_t>(png.begin(), png.begin() + 50));
    auto folder = std::filesystem::temp_directory_path();

    int kept = MakeTexture(L"kept", 3, 3, Tinted);
    manager->ReleaseTexture(MakeTexture(L"freed", 3, 3, Tinted)); // leaves one free position
    int count = manager->SlotCount();

    struct Case {
        const char* what;
        std::function<int()> attempt;
        std::wstring name;
    } cases[] = {
        { "truncated PNG resource", [&] { return manager->AcquireTexture(L"9200"); }, L"9200" },
        { "truncated JPEG resource", [&] { return manager->AcquireTexture(L"9201"); }, L"9201" },
        { "corrupt PNG resource", [&] { return manager->AcquireTexture(L"9202"); }, L"9202" },
        { "unknown id", [&] { return manager->AcquireTexture(L"9299"); }, L"9299" },
        { "id zero", [&] { return manager->AcquireTexture(L"0"); }, L"0" },
        { "missing file", [&] { return manager->AcquireTexture(L"/nonexistent/picture.png"); },
            L"/nonexistent/picture.png" },
        { "a folder", [&] { return manager->AcquireTexture(folder.wstring()); }, folder.wstring() },
        { "broken file", [&] { return manager->AcquireTexture(brokenFile.wstring()); }, brokenFile.wstring() },
        { "empty name", [&] { return manager->AcquireTexture(L""); }, L"" },
        { "garbage blob", [&] { return manager->RegisterTexture(L"junk", std::vector<uint8_t>(64, 7)); }, L"junk" },
        { "empty blob", [&] { return manager->RegisterTexture(L"nothing", {}); }, L"nothing" },
        { "blank of no size", [&] { return manager->CreateBlankTexture(L"blank", 0, 10); }, L"blank" },
        { "blank too large", [&] { return manager->CreateBlankTexture(L"huge", 1 << 20, 4); }, L"huge" },
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.attempt(), count) << c.what;
        EXPECT_EQ(manager->SlotCount(), count) << c.what;
        EXPECT_EQ(manager->FindTexture(c.name), count) << c.what;
    }
    // The free position is still the next one handed out.
    EXPECT_EQ(MakeTexture(L"after", 2, 2, Tinted), 1);
    EXPECT_EQ(manager->Slot(kept)->refCount, 1);
    std::filesystem::remove(brokenFile);
}

TEST_F(TextureTable, MemoryPressureEvictsAnotherTextureAndRetries)
{
    // Room for two 64 x 64 textures.
    display->SetTextureMemoryLimit(2 * 64 * 64 * 4);
    int a = MakeTexture(L"a", 64, 64, Solid(Rgba { 255, 0, 0, 255 }));
    int b = MakeTexture(L"b", 64, 64, Solid(Rgba { 0, 255, 0, 255 }));
    int c = MakeTexture(L"c", 64, 64, Solid(Rgba { 0, 0, 255, 255 }));
    ASSERT_NE(c, manager->SlotCount());
    EXPECT_FALSE(manager->Slot(a)->textureObject); // the first in index order gave way
    EXPECT_TRUE(manager->Slot(b)->textureObject);
    EXPECT_TRUE(manager->Slot(a)->HasPixels());

    // Drawing the evicted one brings it back (and evicts another in turn).
    manager->DrawQuad(a, RECT { 0, 0, 64, 64 }, nullptr, 0xFFFFFFFF, 0.0f);
    EXPECT_TRUE(manager->Slot(a)->textureObject);
    EXPECT_EQ(Pixel(10, 10), 0xFFFF0000u);

    // Nothing can give way to a texture larger than all memory: a failure answer, no throw.
    int count = manager->SlotCount();
    EXPECT_EQ(MakeTexture(L"big", 200, 200, Tinted), count);
    EXPECT_EQ(manager->FindTexture(L"big"), count);
}

TEST_F(TextureTable, DeviceLossEvictsEverythingAndDrawingRestores)
{
    int picture = MakeTexture(L"picture", 8, 8, Solid(Rgba { 10, 200, 30, 255 }));
    EXPECT_FALSE(manager->IsDeviceLost());
    display->NotifyReset(true);
    EXPECT_TRUE(manager->IsDeviceLost());
    EXPECT_TRUE(manager->RecoverDevice());
    EXPECT_FALSE(manager->IsDeviceLost());
    EXPECT_FALSE(manager->Slot(picture)->textureObject);
    manager->Clear();
    manager->DrawQuad(picture, RECT { 0, 0, 8, 8 }, nullptr, 0xFFFFFFFF, 0.0f);
    EXPECT_EQ(Pixel(4, 4), 0xFF0AC81Eu);
}

TEST_F(TextureTable, SnapshotOfAnEvictedTextureKeepsItsCopy)
{
    int picture = MakeTexture(L"picture", 4, 4, Tinted);
    std::vector<uint8_t> before = manager->Slot(picture)->pixels;
    manager->EvictTexture(picture);
    manager->SnapshotTexture(picture);
    EXPECT_EQ(manager->Slot(picture)->pixels, before);
    manager->RestoreTexture(picture);
    EXPECT_TRUE(manager->Slot(picture)->textureObject);
}

TEST_F(TextureTable, BlankTexturesUpdatePitchAndSnapshot)
{
    int blank = manager->CreateBlankTexture(L"text", 20, 10);
    ASSERT_NE(blank, manager->SlotCount());
    const TextureSlot* slot = manager->Slot(blank);
    EXPECT_EQ(slot->textureWidth, 32);
    EXPECT_EQ(slot->textureHeight, 16);
    EXPECT_EQ(slot->AlphaAt(5, 5), 0);
    EXPECT_GE(manager->TexturePitch(blank), 32 * 4);
    int seenHeight = 0;
    manager->UpdateTexture(blank, [&](uint8_t* texels, int pitch, int height) {
        seenHeight = height;
        texels[5 * pitch + 5 * 4 + 3] = 200;
    });
    EXPECT_EQ(seenHeight, 10);
    EXPECT_EQ(slot->AlphaAt(5, 5), 0); // the copy follows only on request
    manager->SnapshotTexture(blank);
    EXPECT_EQ(slot->AlphaAt(5, 5), 200);
    // An update of an evicted texture restores it first.
    manager->EvictTexture(blank);
    manager->UpdateTexture(blank, [](uint8_t*, int, int) { });
    EXPECT_TRUE(slot->textureObject);
    EXPECT_EQ(manager->TexturePitch(99), 0);
}

TEST(ResourceManagerLifecycle, StartupRegistersTheSkinAndShutdownClearsEverything)
{
    auto display = IMDisplay::OpenHeadless(800, 600);
    ASSERT_TRUE(display);
    ManualClock clock(5'000'000);
    ScopedClock scoped(clock);
    IMResourceManager::Startup(display.get(), true);
    ASSERT_TRUE(resourceManager);
    EXPECT_EQ(GetPaintDevice(), resourceManager);
    if (resourceManager->SlotCount() != int(kSkinTable.size()))
        ADD_FAILURE() << "only " << resourceManager->SlotCount() << " skin pictures registered";
    EXPECT_EQ(resourceManager->FindTexture(L"SelectionMask"), 56);
    EXPECT_EQ(resourceManager->FindTexture(L"no such texture"), 57);

    int print = resourceManager->AcquireTexture(L"PrintButton");
    EXPECT_EQ(resourceManager->Slot(print)->refCount, 2);
    resourceManager->ReleaseTexture(print);
    EXPECT_EQ(resourceManager->Slot(print)->refCount, 1);
    int background = resourceManager->FindTexture(L"DefaultBackGround");
    ASSERT_NE(background, resourceManager->SlotCount());
    EXPECT_EQ(resourceManager->Slot(background)->imageRect, (RECT { 0, 0, 800, 600 }));

    resourceManager->frameCount = 150;
    clock.AdvanceMilliseconds(2000);
    EXPECT_EQ(resourceManager->FrameRateLine(), L"FPS: 75\n");
    IMResourceManager::Shutdown();
    EXPECT_EQ(resourceManager, nullptr);
    EXPECT_EQ(GetPaintDevice(), nullptr);
    IMResourceManager::Shutdown(); // harmless when not started
}

TEST(ResourceManagerLifecycle, FrameRateWithoutElapsedTimeIsDefined)
{
    auto display = IMDisplay::OpenHeadless(16, 16);
    ASSERT_TRUE(display);
    ManualClock clock(1'000);
    ScopedClock scoped(clock);
    IMResourceManager manager(display.get(), true);
    manager.frameCount = 3;
    EXPECT_EQ(manager.FrameRateLine(), L"FPS: 3000\n");
}

TEST(ResourceManagerLifecycle, StartupWithoutADisplayReportsTheDeviceError)
{
    try {
        IMResourceManager::Startup(nullptr, true);
        FAIL() << "no error";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "Не могу создать устройство Direct3D");
    }
    EXPECT_EQ(resourceManager, nullptr);
}

} // namespace
