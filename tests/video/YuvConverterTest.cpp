#include "video/YuvConverter.h"

#include <gtest/gtest.h>

#include <array>
#include <random>
#include <vector>

namespace {

struct SampleCase {
    int y, u, v;
    int b, g, r;
};

// Worked by hand from the integer formula.
const SampleCase kSamples[] = {
    { 126, 128, 128, 127, 127, 127 }, // grey: 74 * 110 >> 6
    { 235, 128, 128, 253, 253, 253 }, // white: 74 * 219 >> 6
    { 16, 128, 128, 0, 0, 0 },        // black
    { 0, 128, 128, 0, 0, 0 },         // below black clamps to 0
    { 255, 255, 255, 255, 123, 255 }, // blue sum saturates at 32767, then clamps
    { 81, 90, 240, 0, 0, 253 },       // red
    { 145, 54, 34, 0, 254, 0 },       // green
    { 41, 240, 110, 254, 0, 0 },      // blue
    { 100, 150, 100, 141, 111, 52 },  // a mixed colour
    { 0, 0, 0, 0, 135, 0 },           // every offset at its most negative
};

TEST(YuvConversion, SamplesConvertToTheWorkedValues)
{
    for (const SampleCase& c : kSamples) {
        SCOPED_TRACE(testing::Message() << "Y " << c.y << " U " << c.u << " V " << c.v);
        std::array<uint8_t, 4> texel { 9, 9, 9, 9 };
        YuvToBgr0(c.y, c.u, c.v, texel.data());
        EXPECT_EQ(texel, (std::array<uint8_t, 4> { uint8_t(c.b), uint8_t(c.g), uint8_t(c.r), 0 }));

        // Both routines give the same through a whole 16 x 2 picture.
        std::vector<uint8_t> y(32, uint8_t(c.y)), u(8, uint8_t(c.u)), v(8, uint8_t(c.v));
        YuvPicture picture { y.data(), u.data(), v.data(), 16, 8, 0, 0, 16, 2 };
        std::vector<uint8_t> plain(16 * 4 * 2), simd(16 * 4 * 2);
        ConvertYuvToXrgbPlain(picture, plain.data(), 64);
        ConvertYuvToXrgbSse2(picture, simd.data(), 64);
        EXPECT_EQ(plain, simd);
        EXPECT_EQ(plain[17 * 4 + 2], c.r);
    }
}

TEST(YuvConversion, OneChromaSampleServesATwoByTwoBlock)
{
    // Luma flat; U differs between the left and the right block, V between the rows of blocks.
    std::vector<uint8_t> y(4 * 4, 126);
    std::vector<uint8_t> u { 128, 255, 128, 255 };
    std::vector<uint8_t> v { 128, 128, 255, 255 };
    YuvPicture picture { y.data(), u.data(), v.data(), 4, 2, 0, 0, 4, 4 };
    std::vector<uint8_t> out(4 * 4 * 4);
    ConvertYuvToXrgbPlain(picture, out.data(), 16);
    auto blue = [&](int x, int row) { return out[size_t(row) * 16 + size_t(x) * 4]; };
    auto red = [&](int x, int row) { return out[size_t(row) * 16 + size_t(x) * 4 + 2]; };
    EXPECT_EQ(blue(0, 0), 127);
    EXPECT_EQ(blue(1, 1), 127);
    EXPECT_EQ(blue(2, 0), 255);
    EXPECT_EQ(blue(3, 1), 255);
    EXPECT_EQ(red(1, 1), 127);
    EXPECT_EQ(red(0, 2), 255);
    EXPECT_EQ(red(3, 3), 255);
}

struct Geometry {
    int width, height, left, top, shiftX, shiftY;
    bool bottomUp;
};

// Widths around the 16-texel step, odd sizes and offsets, each subsampling, a bottom-up
// plane layout, and the clips' own size.
const Geometry kGeometries[] = {
    { 1, 1, 0, 0, 1, 1, false },
    { 15, 3, 0, 0, 1, 1, false },
    { 16, 2, 0, 0, 1, 1, false },
    { 17, 5, 0, 0, 1, 1, false },
    { 33, 7, 2, 1, 1, 1, false },
    { 31, 4, 3, 2, 1, 1, false },
    { 48, 6, 0, 0, 1, 0, false },
    { 40, 5, 1, 0, 0, 0, false },
    { 64, 8, 0, 0, 1, 1, true },
    { 320, 240, 0, 0, 1, 1, false },
};

TEST(YuvConversion, SimdAndPlainAgreeOnRandomPlanes)
{
    std::mt19937 random(2024);
    for (const Geometry& g : kGeometries) {
        SCOPED_TRACE(testing::Message() << g.width << "x" << g.height << " at " << g.left << "," << g.top
                                        << " shift " << g.shiftX << g.shiftY);
        const int planeWidth = g.left + g.width + 3;
        const int planeHeight = g.top + g.height + 1;
        const int chromaWidth = (planeWidth >> g.shiftX) + 1;
        const int chromaHeight = (planeHeight >> g.shiftY) + 1;
        std::vector<uint8_t> y(size_t(planeWidth) * size_t(planeHeight));
        std::vector<uint8_t> u(size_t(chromaWidth) * size_t(chromaHeight));
        std::vector<uint8_t> v(u.size());
        for (auto* plane : { &y, &u, &v })
            for (uint8_t& sample : *plane)
                sample = uint8_t(random() & 0xFF);

        YuvPicture picture { y.data(), u.data(), v.data(), planeWidth, chromaWidth, g.left, g.top, g.width,
            g.height, g.shiftX, g.shiftY };
        if (g.bottomUp) {
            // Rows stored last to first: start at the last row and step backwards.
            picture.y = y.data() + size_t(planeWidth) * size_t(planeHeight - 1);
            picture.u = u.data() + size_t(chromaWidth) * size_t(chromaHeight - 1);
            picture.v = v.data() + size_t(chromaWidth) * size_t(chromaHeight - 1);
            picture.yStride = -planeWidth;
            picture.uvStride = -chromaWidth;
        }

        // A margin after each row shows any write past the picture.
        const int pitch = g.width * 4 + 8;
        std::vector<uint8_t> plain(size_t(pitch) * size_t(g.height), 0xAA);
        std::vector<uint8_t> simd(plain.size(), 0xAA);
        ConvertYuvToXrgbPlain(picture, plain.data(), pitch);
        ConvertYuvToXrgbSse2(picture, simd.data(), pitch);
        ASSERT_EQ(plain, simd);
        for (int row = 0; row < g.height; ++row) {
            const uint8_t* margin = plain.data() + size_t(row) * size_t(pitch) + size_t(g.width) * 4;
            EXPECT_EQ(std::vector<uint8_t>(margin, margin + 8), std::vector<uint8_t>(8, 0xAA));
        }
        // Spot check against the reference for one texel.
        const int x = g.width - 1;
        const int row = g.height - 1;
        const uint8_t* yRow = picture.y + std::ptrdiff_t(picture.yStride) * (g.top + row);
        const uint8_t* uRow = picture.u + std::ptrdiff_t(picture.uvStride) * ((g.top + row) >> g.shiftY);
        const uint8_t* vRow = picture.v + std::ptrdiff_t(picture.uvStride) * ((g.top + row) >> g.shiftY);
        std::array<uint8_t, 4> expected {};
        YuvToBgr0(yRow[g.left + x], uRow[(g.left + x) >> g.shiftX], vRow[(g.left + x) >> g.shiftX], expected.data());
        const uint8_t* got = plain.data() + size_t(row) * size_t(pitch) + size_t(x) * 4;
        EXPECT_EQ((std::array<uint8_t, 4> { got[0], got[1], got[2], got[3] }), expected);
    }
}

TEST(YuvConversion, UnusablePicturesWriteNothing)
{
    std::vector<uint8_t> plane(64, 100);
    std::vector<uint8_t> out(64, 0xAA);
    const YuvPicture cases[] = {
        { nullptr, plane.data(), plane.data(), 8, 4, 0, 0, 4, 4 },
        { plane.data(), plane.data(), plane.data(), 8, 4, 0, 0, 0, 4 },
        { plane.data(), plane.data(), plane.data(), 8, 4, 0, 0, 4, -1 },
        { plane.data(), plane.data(), plane.data(), 8, 4, -2, 0, 4, 4 },
    };
    for (const YuvPicture& picture : cases) {
        ConvertYuvToXrgbPlain(picture, out.data(), 16);
        ConvertYuvToXrgbSse2(picture, out.data(), 16);
    }
    EXPECT_EQ(out, std::vector<uint8_t>(64, 0xAA));
}

}
