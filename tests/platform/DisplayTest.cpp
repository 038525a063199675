// The display on its own: letterbox geometry, the headless canvas and its textures.

#include "platform/Display.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(DisplayLetterbox, CanvasFitsTheWindowWithBars)
{
    struct Case {
        int windowWidth, windowHeight;
        RECT box;
    } cases[] = {
        { 1920, 1080, { 240, 0, 1680, 1080 } }, // bars left and right
        { 800, 600, { 0, 0, 800, 600 } },
        { 1600, 1200, { 0, 0, 1600, 1200 } },
        { 800, 1000, { 0, 200, 800, 800 } }, // bars above and below
        { 1366, 768, { 171, 0, 1195, 768 } },
        { 0, 600, { 0, 0, 0, 0 } },
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IMDisplay::LetterboxRect(c.windowWidth, c.windowHeight, 800, 600), c.box)
            << c.windowWidth << "x" << c.windowHeight;
    }
}

TEST(DisplayLetterbox, WindowPositionsMapToCanvasPixels)
{
    struct Case {
        int x, y;
        POINT canvas;
    } cases[] = {
        { 240, 0, { 0, 0 } },
        { 960, 540, { 400, 300 } },
        { 1679, 1079, { 799, 599 } },
        { 241, 1, { 0, 0 } },
        { 242, 2, { 1, 1 } }, // 1.8 window pixels per canvas pixel
        { 1680, 540, { 800, 300 } }, // first pixel of the right bar: just outside
        { 239, 540, { -1, 300 } }, // last pixel of the left bar
        { 0, 0, { -134, 0 } },
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IMDisplay::WindowToCanvas(c.x, c.y, 1920, 1080, 800, 600), c.canvas) << c.x << "," << c.y;
    }
    // An unscaled window maps every pixel to itself.
    EXPECT_EQ(IMDisplay::WindowToCanvas(123, 456, 800, 600, 800, 600), (POINT { 123, 456 }));
}

TEST(DisplayHeadless, CanvasStartsOpaqueBlackAndHasNoWindow)
{
    auto display = IMDisplay::OpenHeadless(32, 16);
    ASSERT_TRUE(display);
    EXPECT_EQ(display->WindowId(), 0u);
    EXPECT_TRUE(display->IsHeadless());
    EXPECT_FALSE(display->IsMinimized());
    EXPECT_EQ(display->LetterboxRect(), (RECT { 0, 0, 32, 16 }));
    EXPECT_FALSE(display->SetIcon(nullptr, 0, 0, 0));
    auto pixels = display->ReadPixels();
    ASSERT_EQ(pixels.size(), size_t(32 * 16));
    for (uint32_t p : pixels)
        ASSERT_EQ(p, 0xFF000000u);
    EXPECT_FALSE(IMDisplay::OpenHeadless(0, 10));
}

TEST(DisplayHeadless, TexturesAreZeroFilledAndKeepTheirContentBetweenLocks)
{
    auto display = IMDisplay::OpenHeadless(8, 8);
    ASSERT_TRUE(display);
    bool outOfMemory = true;
    auto texture = display->CreateTexture(4, 2, TextureFormat::ARGB, outOfMemory);
    ASSERT_TRUE(texture);
    EXPECT_FALSE(outOfMemory);
    int pitch = 0;
    uint8_t* texels = texture->Lock(pitch);
    ASSERT_TRUE(texels);
    EXPECT_GE(pitch, 16);
    for (int y = 0; y < 2; ++y) {
        for (int i = 0; i < 16; ++i)
            ASSERT_EQ(texels[y * pitch + i], 0);
    }
    texels[pitch + 5] = 0x7E;
    texture->Unlock();
    texels = texture->Lock(pitch);
    ASSERT_TRUE(texels);
    EXPECT_EQ(texels[pitch + 5], 0x7E);
    texture->Unlock();
}

TEST(DisplayHeadless, XrgbTexturesAreOpaqueAfterUnlock)
{
    auto display = IMDisplay::OpenHeadless(8, 8);
    ASSERT_TRUE(display);
    bool outOfMemory = false;
    auto texture = display->CreateTexture(2, 2, TextureFormat::XRGB, outOfMemory);
    ASSERT_TRUE(texture);
    int pitch = 0;
    uint8_t* texels = texture->Lock(pitch);
    ASSERT_TRUE(texels);
    EXPECT_EQ(texels[3], 0xFF); // even the zero fill is opaque
    std::memset(texels, 0, size_t(pitch) * 2);
    texture->Unlock();
    texels = texture->Lock(pitch);
    EXPECT_EQ(texels[pitch + 7], 0xFF);
    texture->Unlock();
}

TEST(DisplayHeadless, MemoryLimitReportsOutOfMemory)
{
    auto display = IMDisplay::OpenHeadless(8, 8);
    ASSERT_TRUE(display);
    display->SetTextureMemoryLimit(64 * 4);
    bool outOfMemory = false;
    auto first = display->CreateTexture(8, 8, TextureFormat::ARGB, outOfMemory);
    ASSERT_TRUE(first);
    EXPECT_EQ(display->TextureMemoryInUse(), size_t(64 * 4));
    auto second = display->CreateTexture(1, 1, TextureFormat::ARGB, outOfMemory);
    EXPECT_FALSE(second);
    EXPECT_TRUE(outOfMemory);
    first.reset();
    EXPECT_EQ(display->TextureMemoryInUse(), 0u);
    EXPECT_TRUE(display->CreateTexture(1, 1, TextureFormat::ARGB, outOfMemory));
}

TEST(DisplayHeadless, TextureOutlivingItsDisplayIsSafe)
{
    auto display = IMDisplay::OpenHeadless(8, 8);
    ASSERT_TRUE(display);
    bool outOfMemory = false;
    auto texture = display->CreateTexture(2, 2, TextureFormat::ARGB, outOfMemory);
    ASSERT_TRUE(texture);
    display.reset();
    int pitch = 0;
    EXPECT_EQ(texture->Lock(pitch), nullptr);
    texture.reset();
}

TEST(DisplayHeadless, ResetIsLossUntilRecovered)
{
    auto display = IMDisplay::OpenHeadless(8, 8);
    ASSERT_TRUE(display);
    EXPECT_FALSE(display->IsLost());
    display->NotifyReset(false);
    EXPECT_TRUE(display->IsLost());
    EXPECT_TRUE(display->Recover());
    EXPECT_FALSE(display->IsLost());
    EXPECT_EQ(display->ReadPixels().at(0), 0xFF000000u);
}

} // namespace
