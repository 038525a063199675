#include "graphics/FontRegistry.h"
#include "graphics/GlyphPath.h"
#include "graphics/GlyphRaster.h"

#include <gtest/gtest.h>

namespace {

struct Texel {
    uint8_t b, g, r, a;
    bool operator==(const Texel&) const = default;
};

Texel At(const IMGlyphImage& image, int x, int y)
{
    const uint8_t* p = &image.texels[(static_cast<size_t>(y) * image.width + x) * 4];
    return { p[0], p[1], p[2], p[3] };
}

IMGlyphImage Fill(IMGlyphPath& path, int w, int h, uint32_t text, uint32_t back)
{
    IMGlyphImage image;
    image.width = w;
    image.height = h;
    image.texels.assign(static_cast<size_t>(w) * h * 4, 0x55);
    RasteriseGlyph(path, image.texels.data(), w, h, w * 4, text, back);
    return image;
}

// The number of texels in a row whose alpha is above half.
int InkInRow(const IMGlyphImage& image, int y)
{
    int n = 0;
    for (int x = 0; x < image.width; ++x)
        n += At(image, x, y).a > 128;
    return n;
}

} // namespace

TEST(GlyphRaster, BlendsWithoutPremultiplying)
{
    struct Case {
        uint32_t text, back;
        Texel inside, outside;
    };
    const Case cases[] = {
        // opaque ink over the default transparent grey: the colour is copied
        { 0xFF072134, 0x00AFAFAF, { 0x34, 0x21, 0x07, 0xFF }, { 0xAF, 0xAF, 0xAF, 0x00 } },
        // half-transparent red over opaque black: channels move half-way, alpha stays full
        { 0x80FF0000, 0xFF000000, { 0x00, 0x00, 0x7F, 0xFF }, { 0x00, 0x00, 0x00, 0xFF } },
        // half-transparent white over clear: alpha 128 + 0 - (0 + 255) / 256 = 128
        { 0x80FFFFFF, 0x00000000, { 0x7F, 0x7F, 0x7F, 0x80 }, { 0x00, 0x00, 0x00, 0x00 } },
    };
    for (const auto& c : cases) {
        IMGlyphPath square;
        square.MoveToPoint(2, 2);
        square.LineToPoint(8, 2);
        square.LineToPoint(8, 8);
        square.LineToPoint(2, 8);
        square.ClosePolygon();
        square.Finish();
        const IMGlyphImage image = Fill(square, 10, 10, c.text, c.back);
        EXPECT_EQ(At(image, 5, 5), c.inside) << std::hex << c.text;
        EXPECT_EQ(At(image, 0, 0), c.outside) << std::hex << c.text;
        EXPECT_EQ(At(image, 9, 9), c.outside) << std::hex << c.text;
    }
}

TEST(GlyphRaster, YGrowsUpwardsFromTheBottomRowAndNonZeroFillsOverlaps)
{
    IMGlyphPath path;
    // A bar across the top three rows (y 7..10 in a 10-high image) ...
    path.MoveToPoint(0, 7);
    path.LineToPoint(10, 7);
    path.LineToPoint(10, 10);
    path.LineToPoint(0, 10);
    path.ClosePolygon();
    // ... and a second contour in the same direction overlapping it: still filled, not a hole.
    path.MoveToPoint(0, 8);
    path.LineToPoint(10, 8);
    path.LineToPoint(10, 9);
    path.LineToPoint(0, 9);
    path.ClosePolygon();
    path.Finish();
    const IMGlyphImage image = Fill(path, 10, 10, 0xFF000000, 0x00FFFFFF);
    for (int y = 0; y < 3; ++y)
        EXPECT_EQ(InkInRow(image, y), 10) << "row " << y;
    for (int y = 3; y < 10; ++y)
        EXPECT_EQ(InkInRow(image, y), 0) << "row " << y;
}

TEST(GlyphRaster, CurvesAreFlattenedAndAntiAliased)
{
    IMGlyphPath path;
    path.MoveToPoint(0, 0);
    path.Curve3To(10, 20, 20, 0);
    path.ClosePolygon();
    path.Finish();
    const IMGlyphImage image = Fill(path, 20, 12, 0xFF000000, 0x00FFFFFF);
    EXPECT_EQ(At(image, 10, 11).a, 255) << "under the arch, near the bottom";
    EXPECT_EQ(At(image, 10, 0).a, 0) << "the arch peaks at y = 10, below the top row";
    bool partial = false;
    for (int x = 0; x < 20; ++x)
        for (int y = 0; y < 12; ++y)
            partial |= At(image, x, y).a > 0 && At(image, x, y).a < 255;
    EXPECT_TRUE(partial) << "edges are anti-aliased";
}

TEST(FontRegistry, FontsAreSharedByFaceHeightAndStyleButNotUnderline)
{
    IMFontRegistry fonts;
    const int regular = fonts.GetFont(L"Arial", 16, false, false, false);
    ASSERT_GE(regular, 0);
    EXPECT_EQ(fonts.GetFont(L"Arial", 16, false, false, true), regular);
    EXPECT_NE(fonts.GetFont(L"Arial", 16, true, false, false), regular);
    EXPECT_NE(fonts.GetFont(L"Arial", 17, false, false, false), regular);
    EXPECT_EQ(fonts.FontCount(), 3u);
    EXPECT_EQ(fonts.GlyphOutline(regular, L'Ж'), fonts.GlyphOutline(regular, L'Ж')) << "cached";
}

TEST(FontRegistry, RendersALetterUprightOnItsBaseline)
{
    IMFontRegistry fonts;
    IMGlyphImage t;
    ASSERT_TRUE(fonts.RenderCharacter(L'Т', nullptr, 0xFF072134, 32, L"Arial", true, false, false,
        0x00AFAFAF, t));
    const int font = fonts.GetFont(L"Arial", 32, true, false, false);
    const IMTextMetrics& m = fonts.Font(font)->metrics;
    const IMCharWidths w = fonts.CharWidths(font, L'Т');
    EXPECT_EQ(t.width, w.a + static_cast<int>(w.b) + w.c);
    EXPECT_EQ(t.height, m.height);
    // The bar of the letter is wide and near the cap height; the stem is narrow and reaches the baseline.
    int widest = 0, widestRow = -1;
    for (int y = 0; y < t.height; ++y)
        if (InkInRow(t, y) > widest) {
            widest = InkInRow(t, y);
            widestRow = y;
        }
    EXPECT_LT(widestRow, t.height / 2) << "the bar is in the upper half";
    const int baselineRow = t.height - 1 - m.descent;
    EXPECT_GT(InkInRow(t, baselineRow), 0);
    EXPECT_LT(InkInRow(t, baselineRow), widest / 2);
    EXPECT_EQ(InkInRow(t, t.height - 1), 0) << "nothing below the baseline";
}

TEST(FontRegistry, UnderlineSizesAndMissingCharacters)
{
    IMFontRegistry fonts;
    IMGlyphImage space;
    ASSERT_TRUE(fonts.RenderCharacter(L' ', nullptr, 0xFF000000, 30, L"Arial", false, false, true, 0, space));
    const int font = fonts.GetFont(L"Arial", 30, false, false, true);
    const int descent = fonts.Font(font)->metrics.descent;
    int inkRows = 0;
    for (int y = 0; y < space.height; ++y)
        inkRows += InkInRow(space, y) == space.width;
    EXPECT_GE(inkRows, 1) << "an underlined space is a bar across the whole advance";
    EXPECT_EQ(InkInRow(space, space.height - 1 - descent), 0) << "the bar lies below the baseline";

    IMGlyphImage sized;
    const RECT zeroWide { 0, 0, 0, 12 };
    ASSERT_TRUE(fonts.RenderCharacter(L'a', &zeroWide, 0xFF000000, 16, L"Arial", false, false, false, 0, sized));
    EXPECT_EQ(sized.width, 1);
    EXPECT_EQ(sized.height, 12);

    IMGlyphImage astral;
    EXPECT_TRUE(fonts.RenderCharacter(static_cast<wchar_t>(0x1F600), nullptr, 0xFF000000, 16, L"Arial", false,
        false, false, 0, astral));
    EXPECT_GT(astral.width, 1) << "the face's missing-glyph box, one glyph wide";
}
