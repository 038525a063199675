#include "graphics/ImageDecoder.h"

#include "ImageFixtures.h"

#include <gtest/gtest.h>

#include <png.h>

#include <string>

namespace {

// B, G, R, A of texel (x, y) of a decoded picture.
Rgba TexelOf(const DecodedImage& image, int x, int y)
{
    const uint8_t* p = image.bgra.data() + (size_t(image.width) * size_t(y) + size_t(x)) * 4;
    return Rgba { p[2], p[1], p[0], p[3] };
}

Rgba Pattern(int x, int y)
{
    return Rgba { uint8_t(x * 20), uint8_t(y * 30), uint8_t(200 - x * 10), uint8_t(x == 0 ? 0 : 255 - y * 10) };
}

struct PngCase {
    const char* what;
    PngOptions options;
    // Expected colour of texel (x, y) after decoding.
    Rgba (*expected)(int x, int y);
};

class PngKinds : public testing::TestWithParam<PngCase> { };

TEST_P(PngKinds, DecodeToBgraWithTheRightAlpha)
{
    const PngCase& c = GetParam();
    auto png = MakePng(5, 4, Pattern, c.options);
    auto image = DecodePng(png);
    ASSERT_TRUE(image) << c.what;
    ASSERT_EQ(image->width, 5);
    ASSERT_EQ(image->height, 4);
    ASSERT_EQ(image->bgra.size(), size_t(5 * 4 * 4));
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 5; ++x) {
            Rgba got = TexelOf(*image, x, y);
            Rgba want = c.expected(x, y);
            EXPECT_EQ(got.r, want.r) << c.what << " at " << x << "," << y;
            EXPECT_EQ(got.g, want.g) << c.what << " at " << x << "," << y;
            EXPECT_EQ(got.b, want.b) << c.what << " at " << x << "," << y;
            EXPECT_EQ(got.a, want.a) << c.what << " at " << x << "," << y;
        }
    }
}

Rgba Opaque(int x, int y)
{
    Rgba c = Pattern(x, y);
    c.a = 255;
    return c;
}
Rgba Grey(int x, int y)
{
    Rgba c = Pattern(x, y);
    return Rgba { c.r, c.r, c.r, 255 };
}
Rgba GreyAlpha(int x, int y)
{
    Rgba c = Pattern(x, y);
    return Rgba { c.r, c.r, c.r, c.a };
}
Rgba PaletteWithHole(int x, int y)
{
    Rgba c = Opaque(x, y);
    if (x == 0 && y == 0)
        c.a = 0; // palette entry 0 is the colour of texel (0, 0)
    return c;
}

INSTANTIATE_TEST_SUITE_P(Decoder, PngKinds,
    testing::Values(PngCase { "RGBA", { PNG_COLOR_TYPE_RGB_ALPHA, 8 }, Pattern },
        PngCase { "RGB comes out opaque", { PNG_COLOR_TYPE_RGB, 8 }, Opaque },
        PngCase { "16-bit RGBA is stripped to 8", { PNG_COLOR_TYPE_RGB_ALPHA, 16 }, Pattern },
        PngCase { "grey becomes RGB, opaque", { PNG_COLOR_TYPE_GRAY, 8 }, Grey },
        PngCase { "grey with alpha", { PNG_COLOR_TYPE_GRAY_ALPHA, 8 }, GreyAlpha },
        PngCase { "palette without transparency is opaque", { PNG_COLOR_TYPE_PALETTE, 8 }, Opaque },
        PngCase { "palette transparency becomes alpha", { PNG_COLOR_TYPE_PALETTE, 8, true }, PaletteWithHole }));

TEST(PngDecoder, BackgroundChunkCompositesToOpaque)
{
    PngOptions options;
    options.background = true;
    options.backgroundColour = Rgba { 0, 0, 255, 255 };
    // Half-transparent red over a blue background.
    auto png = MakePng(2, 2, Solid(Rgba { 255, 0, 0, 128 }), options);
    auto image = DecodePng(png);
    ASSERT_TRUE(image);
    Rgba c = TexelOf(*image, 1, 1);
    EXPECT_EQ(c.a, 255);
    EXPECT_NEAR(c.r, 128, 2);
    EXPECT_NEAR(c.b, 127, 2);
}

TEST(PngDecoder, ReadsOnlyAsFarAsThePngStreamGoes)
{
    auto png = MakePng(3, 3, Pattern);
    std::vector<uint8_t> blob = png;
    blob.insert(blob.end(), 5000, 0xAB); // whatever follows the stream is not looked at
    auto image = DecodePng(blob);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width, 3);
}

TEST(JpegDecoder, ThreeComponentsComeOutOpaqueBgr)
{
    auto jpeg = MakeJpeg(16, 8, Solid(Rgba { 200, 40, 90 }));
    auto image = DecodeImage(jpeg);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width, 16);
    EXPECT_EQ(image->height, 8);
    Rgba c = TexelOf(*image, 5, 5);
    EXPECT_NEAR(c.r, 200, 4);
    EXPECT_NEAR(c.g, 40, 4);
    EXPECT_NEAR(c.b, 90, 4);
    EXPECT_EQ(c.a, 255);
}

std::vector<uint8_t> Cut(std::vector<uint8_t> bytes, size_t keep)
{
    bytes.resize(std::min(keep, bytes.size()));
    return bytes;
}

std::vector<uint8_t> Flip(std::vector<uint8_t> bytes, size_t at)
{
    bytes[at] ^= 0x5A;
    return bytes;
}

TEST(ImageDecoder, DamagedDataIsRefusedWithoutCrashing)
{
    auto png = MakePng(40, 30, Pattern);
    auto jpeg = MakeJpeg(40, 30, Pattern);
    // A header claiming a picture far beyond any texture.
    std::vector<uint8_t> hugePng = png;
    hugePng[16] = 0x7F; // width's high byte in IHDR
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
    } cases[] = {
        { "empty", {} },
        { "signature only", Cut(png, 8) },
        { "PNG cut inside the header", Cut(png, 20) },
        { "PNG cut inside the image data", Cut(png, png.size() / 2) },
        { "PNG without its end chunk", Cut(png, png.size() - 12) },
        { "PNG with a damaged header CRC", Flip(png, 29) },
        { "PNG with a damaged data byte", Flip(png, png.size() - 20) },
        { "PNG with a huge size", hugePng },
        { "JPEG cut in half", Cut(jpeg, jpeg.size() / 2) },
        { "JPEG header only", Cut(jpeg, 20) },
        { "JPEG with a damaged marker", Flip(jpeg, 3) },
        { "random bytes", std::vector<uint8_t>(300, 0x42) },
    };
    for (const Case& c : cases)
        EXPECT_FALSE(DecodeImage(c.bytes)) << c.what;
}

} // namespace
