#include "platform/FontSource.h"

#include <gtest/gtest.h>

namespace {

// The extent of an outline's points, to check that a glyph sits where its widths say.
struct Extent {
    double left { 1e9 }, bottom { 1e9 }, right { -1e9 }, top { -1e9 };
    void Add(const IMOutlinePoint& p)
    {
        left = std::min(left, p.x);
        right = std::max(right, p.x);
        bottom = std::min(bottom, p.y);
        top = std::max(top, p.y);
    }
};

Extent OutlineExtent(const IMGlyphOutline& outline)
{
    Extent e;
    for (const auto& contour : outline.contours) {
        e.Add(contour.start);
        for (const auto& s : contour.segments) {
            const int n = s.kind == IMOutlineSegment::Kind::Line ? 1
                : s.kind == IMOutlineSegment::Kind::Quadratic   ? 2
                                                                : 3;
            for (int i = 0; i < n; ++i)
                e.Add(s.points[i]);
        }
    }
    return e;
}

} // namespace

TEST(FontSource, ArialResolvesToAMetricCompatibleFaceWithCyrillic)
{
    struct Case {
        int32_t weight;
        bool italic;
        const char* fileSuffix;
    };
    const Case cases[] = {
        { 400, false, "LiberationSans-Regular.ttf" },
        { 700, false, "LiberationSans-Bold.ttf" },
        { 400, true, "LiberationSans-Italic.ttf" },
        { 700, true, "LiberationSans-BoldItalic.ttf" },
    };
    for (const auto& c : cases) {
        auto font = IMFontFace::Open(L"Arial", 16, c.weight, c.italic);
        ASSERT_NE(font, nullptr);
        EXPECT_EQ(font->FamilyName(), "Liberation Sans");
        EXPECT_TRUE(font->FilePath().ends_with(c.fileSuffix)) << font->FilePath();
        EXPECT_TRUE(font->HasGlyph(U'Ж'));
    }
}

TEST(FontSource, AFamilyWithoutCyrillicFallsBackToOneWithIt)
{
    auto font = IMFontFace::Open(L"No Such Family Anywhere", 20, 400, false);
    ASSERT_NE(font, nullptr);
    EXPECT_TRUE(font->HasGlyph(U'я'));
}

TEST(FontSource, PositiveHeightIsTheCellAndNegativeTheCharacterHeight)
{
    for (int32_t h : { 12, 16, 24, 37 }) {
        auto cell = IMFontFace::Open(L"Arial", h, 400, false);
        ASSERT_NE(cell, nullptr);
        const auto& m = cell->Metrics();
        EXPECT_EQ(m.height, h);
        EXPECT_EQ(m.ascent + m.descent, m.height);
        EXPECT_GT(m.ascent, m.descent);
        EXPECT_GT(m.internalLeading, 0) << "the cell is taller than the em";
        EXPECT_GT(m.aveCharWidth, 0);

        auto character = IMFontFace::Open(L"Arial", -h, 400, false);
        ASSERT_NE(character, nullptr);
        const auto& c = character->Metrics();
        EXPECT_GT(c.height, h) << "an em of h pixels needs a taller cell";
        EXPECT_EQ(c.height - c.internalLeading, h);
    }
}

TEST(FontSource, WidthsAndOutlinesAgree)
{
    auto font = IMFontFace::Open(L"Arial", 32, 700, false);
    ASSERT_NE(font, nullptr);
    for (char32_t ch : { U'A', U'Ж', U'g', U'j', U'«' }) {
        IMGlyphOutline outline;
        ASSERT_TRUE(font->Outline(ch, outline));
        EXPECT_TRUE(outline.found);
        ASSERT_FALSE(outline.contours.empty());
        const IMCharWidths w = font->CharWidths(ch);
        EXPECT_GT(w.b, 0u);
        const Extent e = OutlineExtent(outline);
        EXPECT_GE(e.left, w.a - 0.01);
        EXPECT_LE(e.right, w.a + static_cast<double>(w.b) + 0.01);
        EXPECT_GT(e.top, 0.0) << "outlines grow upwards from the baseline";
    }
    // Descenders go below the baseline, within the descent.
    IMGlyphOutline g;
    ASSERT_TRUE(font->Outline(U'g', g));
    const Extent e = OutlineExtent(g);
    EXPECT_LT(e.bottom, 0.0);
    EXPECT_GE(e.bottom, -font->Metrics().descent - 1.0);
}

TEST(FontSource, BlankAndMissingCharactersAreHarmless)
{
    auto font = IMFontFace::Open(L"Arial", 16, 400, false);
    ASSERT_NE(font, nullptr);

    IMGlyphOutline space;
    ASSERT_TRUE(font->Outline(U' ', space));
    EXPECT_TRUE(space.contours.empty());
    const IMCharWidths sw = font->CharWidths(U' ');
    EXPECT_EQ(sw.b, 0u);
    EXPECT_GT(sw.a + static_cast<int32_t>(sw.b) + sw.c, 0);

    // A character above the Basic Multilingual Plane the face lacks: its missing-glyph box.
    IMGlyphOutline missing;
    font->Outline(U'\U0001F600', missing);
    EXPECT_FALSE(missing.found);
    EXPECT_FALSE(font->HasGlyph(U'\U0001F600'));
    const IMCharWidths mw = font->CharWidths(U'\U0001F600');
    EXPECT_GT(mw.a + static_cast<int32_t>(mw.b) + mw.c, 0);
}
