// The skin pictures and the text view's marks in data/skin.tsv against the sizes and colour types
// the program relies on, and the visible properties the screens need of them.

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "SkinPng.h"

using namespace skintest;

namespace {

struct Expected {
    const char* key;
    int width;
    int height;
    bool alpha;
};

// The 57 skin textures in registration order, then the text view's mark pictures.
const Expected kSkin[] = {
    {"DefaultBackGround", 800, 600, false}, {"ExitButton", 21, 21, true},
    {"PrintButton", 84, 47, true}, {"SaveAsButton", 148, 47, true},
    {"RetryButton", 109, 47, true}, {"CloseButton", 111, 47, true},
    {"StartPopStartButton", 84, 47, true}, {"EscButton", 37, 25, false},
    {"F1Button", 37, 25, false}, {"F12Button", 37, 25, false},
    {"SubmitButton", 109, 47, true}, {"OptionsButton", 109, 47, true},
    {"CancelButton", 111, 47, true}, {"PrintButtonKlick", 84, 47, true},
    {"SaveAsButtonKlick", 148, 47, true}, {"RetryButtonKlick", 109, 47, true},
    {"CloseButtonKlick", 111, 47, true}, {"StartPopStartButtonKlick", 84, 47, true},
    {"SubmitButtonKlick", 109, 47, true}, {"OptionsButtonKlick", 109, 47, true},
    {"CancelButtonKlick", 111, 47, true}, {"PrintButtonNuv", 84, 47, true},
    {"SaveAsButtonNuv", 148, 47, true}, {"RetryButtonNuv", 109, 47, true},
    {"CloseButtonNuv", 111, 47, true}, {"StartPopStartButtonNuv", 84, 47, true},
    {"SubmitButtonNuv", 109, 47, true}, {"OptionsButtonNuv", 109, 47, true},
    {"CancelButtonNuv", 111, 47, true}, {"SliderSliderVertical", 19, 10, true},
    {"SliderSliderVerticalHover", 19, 10, true}, {"SliderSliderHorizontal", 11, 20, true},
    {"SliderSliderHorizontalHover", 11, 20, true}, {"ScrollSlider", 16, 2, false},
    {"ScrollSliderHorizontal", 2, 16, false}, {"ScrollBackground", 16, 16, false},
    {"ScrollButtonUp", 16, 16, true}, {"ScrollButtonDown", 16, 16, true},
    {"CheckBoxUnchecked", 16, 16, false}, {"CheckBoxChecked", 16, 16, false},
    {"RadioButtonUnchecked", 16, 16, true}, {"RadioButtonChecked", 16, 16, true},
    {"CheckBoxDisUnchecked", 16, 16, false}, {"CheckBoxDisChecked", 16, 16, false},
    {"RadioButtonDisUnchecked", 16, 16, true}, {"RadioButtonDisChecked", 16, 16, true},
    {"EditBarBackGround", 1, 1, false}, {"EditBarCornerLT", 8, 8, true},
    {"EditBarCornerRT", 8, 8, true}, {"EditBarCornerLB", 8, 8, true},
    {"EditBarCornerRB", 8, 8, true}, {"EditBarBorderL", 8, 1, false},
    {"EditBarBorderR", 8, 1, false}, {"EditBarBorderT", 1, 8, false},
    {"EditBarBorderB", 1, 8, false}, {"EditBarKaretka", 1, 19, false},
    {"SelectionMask", 1, 1, true},
    // Marks of a text view that shows spaces, tabs and line ends, and its line-feed glyph.
    {"mark_tab_png", 10, 5, true}, {"mark_linefeed_png", 11, 21, true},
    {"mark_return_png", 11, 21, true}, {"mark_space_png", 3, 3, true},
    {"linefeed_png", 1, 1, true},
};

class SkinContent : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        for (const auto& row : ReadTable(DataDir() / "skin.tsv")) {
            rows_.push_back(row);
            std::string error;
            if (auto png = ReadPng(DataDir() / row.file, &error)) pictures_.emplace(row.key, std::move(*png));
        }
    }

    static const Png& Picture(const std::string& key) {
        static const Png empty;
        const auto it = pictures_.find(key);
        return it == pictures_.end() ? empty : it->second;
    }

    static std::vector<TableRow> rows_;
    static std::map<std::string, Png> pictures_;
};

std::vector<TableRow> SkinContent::rows_;
std::map<std::string, Png> SkinContent::pictures_;

TEST_F(SkinContent, TableNamesEveryPictureOnceAndNothingElse) {
    std::set<std::string> expected;
    for (const auto& e : kSkin) expected.insert(e.key);
    std::set<std::string> seen;
    for (const auto& row : rows_) {
        EXPECT_TRUE(expected.count(row.key)) << "unexpected row " << row.key << " at line " << row.line;
        EXPECT_TRUE(seen.insert(row.key).second) << "duplicate row " << row.key << " at line " << row.line;
        EXPECT_FALSE(row.file.empty()) << row.key << " names no file";
    }
    for (const auto& key : expected) EXPECT_TRUE(seen.count(key)) << "missing row " << key;
}

TEST_F(SkinContent, EveryPictureHasItsSizeAndColourType) {
    for (const auto& row : rows_) {
        std::string error;
        const auto png = ReadPng(DataDir() / row.file, &error);
        ASSERT_TRUE(png) << error;
        for (const auto& e : kSkin) {
            if (row.key != e.key) continue;
            EXPECT_EQ(png->width, e.width) << row.key;
            EXPECT_EQ(png->height, e.height) << row.key;
            EXPECT_EQ(png->bitDepth, 8) << row.key;
            EXPECT_EQ(png->colourType, e.alpha ? 6 : 2) << row.key << (e.alpha ? " must be RGBA" : " must be RGB");
        }
    }
}

TEST_F(SkinContent, FlatPartsHaveTheirExactColours) {
    struct Case {
        const char* key;
        uint8_t r, g, b, a;
    };
    const Case cases[] = {
        {"SelectionMask", 0, 86, 255, 28},
        {"EditBarKaretka", 0, 0, 0, 255},
        {"EditBarBackGround", 255, 255, 255, 255},
        {"linefeed_png", 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        const Png& png = Picture(c.key);
        ASSERT_GT(png.width, 0) << c.key;
        for (int y = 0; y < png.height; ++y)
            for (int x = 0; x < png.width; ++x) {
                const uint8_t* p = png.At(x, y);
                if (c.a == 0) {
                    EXPECT_EQ(p[3], 0) << c.key << " must be transparent";
                    continue;
                }
                EXPECT_EQ(p[0], c.r) << c.key << " at " << x << "," << y;
                EXPECT_EQ(p[1], c.g) << c.key;
                EXPECT_EQ(p[2], c.b) << c.key;
                EXPECT_EQ(p[3], c.a) << c.key;
            }
    }
}

TEST_F(SkinContent, BackgroundHasADarkerBandSixtyFourPixelsHigh) {
    const Png& bg = Picture("DefaultBackGround");
    ASSERT_EQ(bg.height, 600);
    auto rowLuma = [&](int y) {
        double sum = 0;
        for (int x = 0; x < bg.width; ++x) sum += bg.Luma(x, y);
        return sum / bg.width;
    };
    const double band = rowLuma(30), below = rowLuma(100), bottom = rowLuma(590);
    EXPECT_LT(band + 10, below) << "the band must be visibly darker than the screen";
    EXPECT_LT(band + 5, bottom);
    for (int y = 0; y < 60; ++y) EXPECT_LT(rowLuma(y), below) << "row " << y << " belongs to the band";
    for (int y = 72; y < 600; y += 8) EXPECT_GT(rowLuma(y), band + 5) << "row " << y << " is below the band";
    EXPECT_GT(bottom, 200) << "the screen stays light grey, so dark text reads on it";
}

// Each button in its three states: hover lighter, pressed darker and one pixel lower and to the
// right, the caption drawn in white inside the face.
TEST_F(SkinContent, ButtonStatesAndCaptions) {
    struct Case {
        const char* name;
        bool green;
    };
    const Case cases[] = {{"PrintButton", true},         {"SaveAsButton", true}, {"RetryButton", true},
                          {"CloseButton", false},        {"StartPopStartButton", true},
                          {"SubmitButton", true},        {"OptionsButton", true}, {"CancelButton", false}};
    auto topRow = [](const Png& p) {
        for (int y = 0; y < p.height; ++y)
            for (int x = 0; x < p.width; ++x)
                if (p.Alpha(x, y) > 250) return y;
        return -1;
    };
    auto leftColumn = [](const Png& p) {
        for (int x = 0; x < p.width; ++x)
            for (int y = 0; y < p.height; ++y)
                if (p.Alpha(x, y) > 250) return x;
        return -1;
    };
    for (const auto& c : cases) {
        const std::string name = c.name;
        const Png& normal = Picture(name);
        const Png& hover = Picture(name + "Nuv");
        const Png& pressed = Picture(name + "Klick");
        ASSERT_GT(normal.width, 0) << name;
        ASSERT_EQ(hover.width, normal.width) << name;
        ASSERT_EQ(pressed.width, normal.width) << name;

        const Mean n = MeanOpaque(normal), h = MeanOpaque(hover), k = MeanOpaque(pressed);
        EXPECT_GT(h.luma, n.luma + 5) << name << ": the hover state must be lighter";
        EXPECT_LT(k.luma, n.luma - 5) << name << ": the pressed state must be darker";
        if (c.green) EXPECT_GT(n.g, n.r + 30) << name << " is a green button";
        else EXPECT_GT(n.r, n.g + 60) << name << " is a red button";

        EXPECT_EQ(topRow(pressed), topRow(normal) + 1) << name << ": pressed face one pixel lower";
        EXPECT_EQ(leftColumn(pressed), leftColumn(normal)) << name << ": the button's side stays in place";

        // The caption: white pixels, well inside the picture (not cut at an edge), in every state.
        for (const Png* p : {&normal, &hover, &pressed}) {
            int count = 0, minX = p->width, maxX = -1, minY = p->height, maxY = -1;
            for (int y = 0; y < p->height; ++y)
                for (int x = 0; x < p->width; ++x) {
                    const uint8_t* px = p->At(x, y);
                    if (px[3] == 255 && px[0] > 235 && px[1] > 235 && px[2] > 235) {
                        ++count;
                        minX = std::min(minX, x);
                        maxX = std::max(maxX, x);
                        minY = std::min(minY, y);
                        maxY = std::max(maxY, y);
                    }
                }
            EXPECT_GT(count, 30) << name << ": no caption drawn";
            EXPECT_GE(minX, 5) << name << ": caption touches the left edge";
            EXPECT_LE(maxX, p->width - 6) << name << ": caption touches the right edge";
            EXPECT_GE(maxY - minY, 8) << name << ": caption too small to read";
            EXPECT_GE(minY, 8) << name;
            EXPECT_LE(maxY, 38) << name;
        }
    }
}

TEST_F(SkinContent, KeyCapsCarryDarkLabelsOnALightCap) {
    // The caps are opaque and lie on the start screen's background at these places, so their
    // corners must have the background's colour there.
    const struct {
        const char* key;
        int x, y;
    } caps[] = {{"EscButton", 135, 517}, {"F1Button", 350, 517}, {"F12Button", 555, 517}};
    const Png& bg = Picture("DefaultBackGround");
    ASSERT_EQ(bg.width, 800);
    for (const auto& [key, px, py] : caps) {
        const Png& cap = Picture(key);
        ASSERT_EQ(cap.width, 37) << key;
        for (auto [cx, cy] : {std::pair{0, 0}, {36, 0}, {0, 24}, {36, 24}})
            for (int ch = 0; ch < 3; ++ch)
                EXPECT_NEAR(cap.At(cx, cy)[ch], bg.At(px + cx, py + cy)[ch], 2) << key << " corner " << cx << "," << cy;
        int dark = 0;
        for (int y = 4; y < 18; ++y)
            for (int x = 6; x < 31; ++x)
                if (cap.Luma(x, y) < 90) ++dark;
        EXPECT_GT(dark, 12) << key << ": no legible label";
        EXPECT_GT(cap.Luma(18, 3), 200) << key << ": the cap's face is light";
    }
}

// States that must be told apart at a glance.
TEST_F(SkinContent, PairedStatesDiffer) {
    const std::pair<const char*, const char*> pairs[] = {
        {"CheckBoxUnchecked", "CheckBoxChecked"},
        {"CheckBoxDisUnchecked", "CheckBoxDisChecked"},
        {"CheckBoxChecked", "CheckBoxDisChecked"},
        {"RadioButtonUnchecked", "RadioButtonChecked"},
        {"RadioButtonDisUnchecked", "RadioButtonDisChecked"},
        {"RadioButtonChecked", "RadioButtonDisChecked"},
        {"SliderSliderVertical", "SliderSliderVerticalHover"},
        {"SliderSliderHorizontal", "SliderSliderHorizontalHover"},
        {"ScrollButtonUp", "ScrollButtonDown"},
        {"ScrollSlider", "ScrollBackground"},
    };
    for (const auto& [a, b] : pairs) {
        const Png& pa = Picture(a);
        const Png& pb = Picture(b);
        ASSERT_GT(pa.width, 0) << a;
        ASSERT_GT(pb.width, 0) << b;
        const int w = std::min(pa.width, pb.width), h = std::min(pa.height, pb.height);
        int differing = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const uint8_t* p = pa.At(x, y);
                const uint8_t* q = pb.At(x, y);
                int d = 0;
                for (int i = 0; i < 4; ++i) d += std::abs(p[i] - q[i]);
                if (d > 60) ++differing;
            }
        EXPECT_GE(differing, std::min(8, w * h / 4)) << a << " and " << b << " look the same";
    }
}

TEST_F(SkinContent, EditFieldPartsJoinWithoutSeams) {
    // The straight edge slices continue the corners' outer line, and the corners are transparent
    // outside the rounding so the field's corners stay round.
    const Png& lt = Picture("EditBarCornerLT");
    const Png& left = Picture("EditBarBorderL");
    const Png& top = Picture("EditBarBorderT");
    ASSERT_EQ(lt.width, 8);
    ASSERT_EQ(left.width, 8);
    ASSERT_EQ(top.height, 8);
    EXPECT_EQ(lt.Alpha(0, 0), 0) << "outside the rounded corner";
    for (int i = 0; i < 8; ++i) {
        const uint8_t* corner = lt.At(i, 7);         // the corner's bottom row meets the left edge
        const uint8_t* edge = left.At(i, 0);
        for (int ch = 0; ch < 3; ++ch) EXPECT_NEAR(corner[ch], edge[ch], 40) << "left edge, column " << i;
        const uint8_t* cornerT = lt.At(7, i);        // the corner's right column meets the top edge
        const uint8_t* edgeT = top.At(0, i);
        for (int ch = 0; ch < 3; ++ch) EXPECT_NEAR(cornerT[ch], edgeT[ch], 40) << "top edge, row " << i;
    }
    EXPECT_LT(left.Luma(0, 0), 120) << "the frame line is on the outside";
    EXPECT_GT(left.Luma(7, 0), 240) << "the field inside is white";
}

TEST_F(SkinContent, VisibleMarksAreDrawn) {
    for (const char* key : {"mark_tab_png", "mark_linefeed_png", "mark_return_png", "mark_space_png"}) {
        const Png& mark = Picture(key);
        ASSERT_GT(mark.width, 0) << key;
        int visible = 0;
        for (int y = 0; y < mark.height; ++y)
            for (int x = 0; x < mark.width; ++x)
                if (mark.Alpha(x, y) > 128) ++visible;
        EXPECT_GT(visible, 0) << key << " shows nothing";
        EXPECT_LT(visible, mark.width * mark.height) << key << " must leave its ground transparent";
    }
}

}  // namespace
