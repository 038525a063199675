// Pixel tests of quads on the headless display: where they land, how they clip, rotate,
// blend and sample.

#include "GraphicsFixture.h"

#include <cmath>
#include <limits>
#include <numbers>

namespace {

constexpr uint32_t kBlack = 0xFF000000;
constexpr uint32_t kWhite = 0xFFFFFFFF;
constexpr uint32_t kRed = 0xFFFF0000;

using Renderer = GraphicsTest;

// Texel colour that tells its own position, to see exactly which texel reached a pixel.
Rgba PositionColour(int x, int y) { return Rgba { uint8_t(x), uint8_t(y), 77, 255 }; }

TEST_F(Renderer, QuadAtAnOriginLandsOnTheRightPixels)
{
    int white = MakeTexture(L"white", 1, 1, Solid(Rgba { 255, 255, 255, 255 }));
    manager->originX = 200;
    manager->originY = 100;
    manager->DrawQuad(white, RECT { 0, 0, 10, 10 }, nullptr, 0xFFFFFFFF, 0.0f);
    auto pixels = display->ReadPixels();
    auto at = [&](int x, int y) { return pixels[size_t(y) * kCanvas + size_t(x)]; };
    for (int y = 95; y < 115; ++y) {
        for (int x = 195; x < 215; ++x) {
            bool inside = x >= 200 && x <= 209 && y >= 100 && y <= 109;
            EXPECT_EQ(at(x, y), inside ? kWhite : kBlack) << x << "," << y;
        }
    }
}

TEST_F(Renderer, OnePixelCheckerboardLandsUnblurred)
{
    auto checker = [](int x, int y) {
        return (x + y) % 2 ? Rgba { 255, 255, 255, 255 } : Rgba { 255, 0, 0, 255 };
    };
    int board = MakeTexture(L"checker", 8, 8, checker);
    manager->DrawQuad(board, RECT { 10, 10, 18, 18 }, nullptr, 0xFFFFFFFF, 0.0f);
    auto pixels = display->ReadPixels();
    for (int y = 9; y <= 18; ++y) {
        for (int x = 9; x <= 18; ++x) {
            bool inside = x >= 10 && x < 18 && y >= 10 && y < 18;
            uint32_t want = inside ? Argb(checker(x - 10, y - 10)) : kBlack;
            EXPECT_EQ(pixels[size_t(y) * kCanvas + size_t(x)], want) << x << "," << y;
        }
    }
}

TEST_F(Renderer, ViewportClipsWithoutMoving)
{
    int picture = MakeTexture(L"positions", 200, 200, PositionColour);
    manager->SetViewport(RECT { 50, 60, 100, 90 });
    EXPECT_EQ(manager->GetViewport(), (RECT { 50, 60, 100, 90 }));
    manager->DrawQuad(picture, RECT { 0, 0, 200, 200 }, nullptr, 0xFFFFFFFF, 0.0f);
    auto pixels = display->ReadPixels();
    for (int y = 40; y < 110; y += 3) {
        for (int x = 30; x < 120; x += 3) {
            bool inside = x >= 50 && x < 100 && y >= 60 && y < 90;
            uint32_t want = inside ? Argb(PositionColour(x, y)) : kBlack;
            EXPECT_EQ(pixels[size_t(y) * kCanvas + size_t(x)], want) << x << "," << y;
        }
    }
}

TEST_F(Renderer, EmptyViewportOrDestinationDrawsNothing)
{
    int white = MakeTexture(L"white", 1, 1, Solid(Rgba { 255, 255, 255, 255 }));
    for (RECT dest : { RECT { 10, 10, 10, 50 }, RECT { 10, 10, 50, 10 }, RECT { 50, 50, 10, 10 } })
        manager->DrawQuad(white, dest, nullptr, 0xFFFFFFFF, 0.0f);
    manager->SetViewport(RECT { 20, 20, 20, 40 });
    manager->DrawQuad(white, RECT { 0, 0, 256, 256 }, nullptr, 0xFFFFFFFF, 0.0f);
    manager->SetViewport(RECT { 300, 300, 400, 400 }); // entirely off the canvas
    manager->DrawQuad(white, RECT { 0, 0, 256, 256 }, nullptr, 0xFFFFFFFF, 0.0f);
    for (uint32_t p : display->ReadPixels())
        ASSERT_EQ(p, kBlack);
}

TEST_F(Renderer, QuarterTurnOfA100By50Quad)
{
    // Left half red, right half green; turned by pi/2 about (100, 100) the quad covers
    // x 75..125, y 50..150 with its former left half at the top.
    int picture = MakeTexture(L"halves", 100, 50,
        [](int x, int) { return x < 50 ? Rgba { 255, 0, 0, 255 } : Rgba { 0, 255, 0, 255 }; });
    manager->DrawQuad(picture, RECT { 50, 75, 150, 125 }, nullptr, 0xFFFFFFFF, std::numbers::pi_v<float> / 2);
    struct Probe {
        int x, y;
        uint32_t want;
    } probes[] = {
        { 77, 52, kRed }, { 123, 52, kRed }, { 100, 95, kRed },
        { 77, 148, 0xFF00FF00 }, { 123, 148, 0xFF00FF00 }, { 100, 105, 0xFF00FF00 },
        { 73, 100, kBlack }, { 127, 100, kBlack }, { 100, 48, kBlack }, { 100, 152, kBlack },
        { 60, 100, kBlack }, { 140, 100, kBlack }, // where the unturned quad would be
    };
    auto pixels = display->ReadPixels();
    for (const Probe& p : probes)
        EXPECT_EQ(pixels[size_t(p.y) * kCanvas + size_t(p.x)], p.want) << p.x << "," << p.y;
}

TEST_F(Renderer, NanAngleTakesTheRotatedPathAndDrawsNothing)
{
    int white = MakeTexture(L"white", 1, 1, Solid(Rgba { 255, 255, 255, 255 }));
    manager->DrawQuad(white, RECT { 10, 10, 60, 60 }, nullptr, 0xFFFFFFFF, std::numeric_limits<float>::quiet_NaN());
    for (uint32_t p : display->ReadPixels())
        ASSERT_EQ(p, kBlack);
}

TEST_F(Renderer, ColourModulatesTexelColourAndAlpha)
{
    int white = MakeTexture(L"white", 1, 1, Solid(Rgba { 255, 255, 255, 255 }));
    int halfRed = MakeTexture(L"halfRed", 1, 1, Solid(Rgba { 255, 0, 0, 128 }));
    // Right half transparent: drawn black, only the shape of its alpha shows.
    int shape = MakeTexture(L"shape", 20, 20,
        [](int x, int) { return x < 10 ? Rgba { 0, 0, 255, 255 } : Rgba { 0, 0, 255, 0 }; });

    manager->DrawQuad(white, RECT { 0, 0, 20, 20 }, nullptr, 0x80FFFFFF, 0.0f);
    manager->DrawQuad(halfRed, RECT { 30, 0, 50, 20 }, nullptr, 0x80FFFFFF, 0.0f);
    manager->DrawQuad(white, RECT { 60, 0, 80, 20 }, nullptr, 0xFFFFFFFF, 0.0f);
    manager->DrawQuad(shape, RECT { 60, 0, 80, 20 }, nullptr, 0xFF000000, 0.0f);

    auto pixels = display->ReadPixels();
    auto at = [&](int x, int y) { return pixels[size_t(y) * kCanvas + size_t(x)]; };
    auto channel = [](uint32_t p, int shift) { return int((p >> shift) & 0xFF); };
    // White at half alpha over black.
    EXPECT_NEAR(channel(at(10, 10), 16), 128, 2);
    EXPECT_NEAR(channel(at(10, 10), 8), 128, 2);
    // A texel of alpha 128 at half alpha: a quarter.
    EXPECT_NEAR(channel(at(40, 10), 16), 64, 2);
    EXPECT_EQ(channel(at(40, 10), 8), 0);
    // Alpha shape in black over white.
    EXPECT_EQ(at(65, 10), kBlack);
    EXPECT_EQ(at(75, 10), kWhite);
}

TEST_F(Renderer, PictureInALargerTextureDrawsWhole)
{
    int arrow = MakeTexture(L"arrow", 97, 58, PositionColour);
    const TextureSlot* slot = manager->Slot(arrow);
    ASSERT_TRUE(slot);
    EXPECT_EQ(slot->textureWidth, 128);
    EXPECT_EQ(slot->textureHeight, 64);
    manager->DrawQuad(arrow, RECT { 0, 0, 97, 58 }, nullptr, 0xFFFFFFFF, 0.0f);
    auto pixels = display->ReadPixels();
    auto at = [&](int x, int y) { return pixels[size_t(y) * kCanvas + size_t(x)]; };
    for (int y : { 0, 30, 57 }) {
        for (int x : { 0, 48, 96 })
            EXPECT_EQ(at(x, y), Argb(PositionColour(x, y))) << x << "," << y;
    }
    EXPECT_EQ(at(97, 10), kBlack);
    EXPECT_EQ(at(10, 58), kBlack);
}

TEST_F(Renderer, SourceRectangleDrawsOnlyThatPartStretched)
{
    int picture = MakeTexture(L"positions", 40, 40, PositionColour);
    RECT source { 10, 20, 14, 24 }; // 4 x 4 texels
    manager->DrawQuad(picture, RECT { 100, 100, 108, 108 }, &source, 0xFFFFFFFF, 0.0f);
    auto pixels = display->ReadPixels();
    auto at = [&](int x, int y) { return pixels[size_t(y) * kCanvas + size_t(x)]; };
    uint32_t first = at(100, 100);
    uint32_t last = at(107, 107);
    EXPECT_NEAR(int((first >> 16) & 0xFF), 10, 1);
    EXPECT_NEAR(int((first >> 8) & 0xFF), 20, 1);
    EXPECT_NEAR(int((last >> 16) & 0xFF), 13, 1);
    EXPECT_NEAR(int((last >> 8) & 0xFF), 23, 1);
    EXPECT_EQ(at(108, 104), kBlack);
}

TEST_F(Renderer, XrgbTextureDrawsOpaqueWhateverItsFourthByte)
{
    int frame = manager->CreateBlankTexture(L"frame", 16, 16, TextureFormat::XRGB);
    ASSERT_NE(frame, manager->SlotCount());
    manager->UpdateTexture(frame, [](uint8_t* texels, int pitch, int height) {
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < 16; ++x) {
                uint8_t* p = texels + y * pitch + x * 4;
                p[0] = 0x30; // B
                p[1] = 0x60; // G
                p[2] = 0x90; // R
                p[3] = 0x00; // X: no alpha meant
            }
        }
    });
    manager->DrawQuad(frame, RECT { 0, 0, 16, 16 }, nullptr, 0xFFFFFFFF, 0.0f);
    EXPECT_EQ(Pixel(8, 8), 0xFF906030u);
}

TEST_F(Renderer, ClearIsOpaqueBlackAndResetsTheViewport)
{
    int white = MakeTexture(L"white", 1, 1, Solid(Rgba { 255, 255, 255, 255 }));
    manager->DrawQuad(white, RECT { 0, 0, 256, 256 }, nullptr, 0xFFFFFFFF, 0.0f);
    manager->SetViewport(RECT { 0, 0, 5, 5 });
    manager->Clear();
    EXPECT_EQ(manager->GetViewport(), (RECT { 0, 0, kCanvas, kCanvas }));
    EXPECT_EQ(Pixel(128, 128), kBlack);
    manager->Present(); // a headless present keeps the canvas
    EXPECT_EQ(Pixel(128, 128), kBlack);
}

} // namespace
