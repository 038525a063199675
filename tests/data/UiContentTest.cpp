// The screens' own pictures in data/ui.tsv (praise cloud, closing page of the instruction,
// demonstration cursor, window icon) against the sizes the program relies on and the places
// where the screens put them.

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
};

const Expected kUi[] = {
    {"oblako_png", 506, 350}, {"KEYBOARDPIC", 524, 230}, {"MOUSE", 246, 246}, {"KEYSPACE", 112, 14},
    {"MOUSE_M", 46, 79},      {"MOUSE_MB", 46, 79},      {"MOUSE_MB_PR", 46, 79}, {"MOUSE_MB_R1", 46, 79},
    {"MOUSE_MB_R2", 46, 79},  {"MOUSE_ML", 46, 79},      {"MOUSE_MR", 46, 79},  {"CURSOR", 12, 21},
    {"500", 64, 64},  // the window icon
};

// Where the closing page of the instruction places its three pictures.
constexpr int kKeyboardX = 107, kKeyboardY = 347;
constexpr int kMouseX = 500, kMouseY = 209;
constexpr int kSpaceX = 237, kSpaceY = 502;

class UiContent : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        for (const auto& row : ReadTable(DataDir() / "ui.tsv")) {
            rows_.push_back(row);
            if (auto png = ReadPng(DataDir() / row.file)) pictures_.emplace(row.key, std::move(*png));
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

std::vector<TableRow> UiContent::rows_;
std::map<std::string, Png> UiContent::pictures_;

TEST_F(UiContent, EveryRowIsAnRgbaPictureOfItsSize) {
    std::set<std::string> seen;
    for (const auto& row : rows_) {
        EXPECT_TRUE(seen.insert(row.key).second) << "duplicate row " << row.key;
        const Expected* e = nullptr;
        for (const auto& x : kUi)
            if (row.key == x.key) e = &x;
        EXPECT_NE(e, nullptr) << "unexpected row " << row.key << " at line " << row.line;
        std::string error;
        const auto png = ReadPng(DataDir() / row.file, &error);
        ASSERT_TRUE(png) << error;
        if (!e) continue;
        EXPECT_EQ(png->width, e->width) << row.key;
        EXPECT_EQ(png->height, e->height) << row.key;
        EXPECT_EQ(png->bitDepth, 8) << row.key;
        EXPECT_EQ(png->colourType, 6) << row.key << " must be RGBA (it lies on other pictures)";
    }
    for (const auto& x : kUi) EXPECT_TRUE(seen.count(x.key)) << "missing row " << x.key;
}

TEST_F(UiContent, DesktopIconsHaveTheirSizes) {
    for (int size : {48, 64, 128, 256}) {
        std::string error;
        const auto png = ReadPng(DataDir() / "icons" / ("tirlan-" + std::to_string(size) + ".png"), &error);
        ASSERT_TRUE(png) << error;
        EXPECT_EQ(png->width, size);
        EXPECT_EQ(png->height, size);
        EXPECT_EQ(png->colourType, 6);
        EXPECT_EQ(png->Alpha(0, 0), 0) << "the icon's rounded corner is transparent";
        EXPECT_EQ(png->Alpha(size / 2, size / 2), 255);
    }
    std::ifstream svg(DataDir() / "icons" / "tirlan.svg");
    std::string text((std::istreambuf_iterator<char>(svg)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("<svg"), std::string::npos);
    EXPECT_NE(text.find("</svg>"), std::string::npos);
}

TEST_F(UiContent, CloudIsPlainCloudColourWhereTheClipPlays) {
    const Png& cloud = Picture("oblako_png");
    ASSERT_EQ(cloud.width, 506);
    // The clip covers (93, 76)-(413, 276); its edges blend into the cloud colour 0xF2F7FF, so that
    // rectangle and a band of 12 pixels around it must be opaque and of that colour.
    for (int y = 76 - 12; y < 276 + 12; ++y)
        for (int x = 93 - 12; x < 413 + 12; ++x) {
            const uint8_t* p = cloud.At(x, y);
            ASSERT_EQ(p[3], 255) << x << "," << y;
            ASSERT_NEAR(p[0], 0xF2, 3) << x << "," << y;
            ASSERT_NEAR(p[1], 0xF7, 3) << x << "," << y;
            ASSERT_NEAR(p[2], 0xFF, 3) << x << "," << y;
        }
    for (auto [x, y] : {std::pair{0, 0}, {505, 0}, {0, 349}, {505, 349}})
        EXPECT_EQ(cloud.Alpha(x, y), 0) << "the cloud lies on a transparent ground at " << x << "," << y;
    // The cloud's border is not cut by the picture's edge: nothing opaque on the outermost rows.
    for (int x = 0; x < 506; ++x) {
        EXPECT_LT(cloud.Alpha(x, 0), 255) << "top edge at " << x;
        EXPECT_LT(cloud.Alpha(x, 349), 255) << "bottom edge at " << x;
    }
}

TEST_F(UiContent, SpaceHighlightLandsOnTheKeyboardsSpaceBar) {
    const Png& keyboard = Picture("KEYBOARDPIC");
    const Png& space = Picture("KEYSPACE");
    ASSERT_EQ(keyboard.width, 524);
    ASSERT_EQ(space.width, 112);
    const int sx = kSpaceX - kKeyboardX, sy = kSpaceY - kKeyboardY;   // the highlight in keyboard pixels
    const int midY = sy + space.height / 2;
    // Under the highlight: the light top of one long key.
    for (int x = sx + 2; x < sx + space.width - 2; ++x)
        EXPECT_GT(keyboard.Luma(x, midY), 200) << "space bar top at x " << x;
    for (int y = sy + 2; y < sy + space.height - 2; ++y) {
        EXPECT_GT(keyboard.Luma(sx + 3, y), 200) << "space bar top at y " << y;
        EXPECT_GT(keyboard.Luma(sx + space.width - 4, y), 200) << "space bar top at y " << y;
    }
    // Just outside the highlight: the dark keyboard between the keys.
    EXPECT_LT(keyboard.Luma(sx - 2, midY), 150) << "left of the space bar";
    EXPECT_LT(keyboard.Luma(sx + space.width + 1, midY), 150) << "right of the space bar";
    EXPECT_LT(keyboard.Luma(sx + space.width / 2, sy - 3), 150) << "above the space bar";
    // The highlight itself is yellow and nearly opaque, so that its blinking shows.
    const Mean m = MeanOpaque(space, 200);
    EXPECT_GT(m.count, space.width * space.height * 8 / 10);
    EXPECT_GT(m.r, m.b + 80);
    EXPECT_GT(m.g, m.b + 40);
}

TEST_F(UiContent, MouseOnTheClosingPageLeavesTheKeysVisible) {
    const Png& keyboard = Picture("KEYBOARDPIC");
    const Png& mouse = Picture("MOUSE");
    ASSERT_EQ(mouse.width, 246);
    ASSERT_EQ(keyboard.width, 524);
    // Find the keyboard body's back edge, then require the mouse (drawn above the keyboard) to cover
    // nothing of the keyboard below that edge except the end of its cable.
    int backEdge = -1;
    for (int y = 0; y < keyboard.height && backEdge < 0; ++y)
        if (keyboard.Alpha(keyboard.width / 2, y) == 255) backEdge = y;
    ASSERT_GT(backEdge, 0);
    int covered = 0;
    for (int y = 0; y < mouse.height; ++y)
        for (int x = 0; x < mouse.width; ++x) {
            const int kx = x + kMouseX - kKeyboardX, ky = y + kMouseY - kKeyboardY;
            if (kx < 0 || ky < backEdge + 6 || kx >= keyboard.width || ky >= keyboard.height) continue;
            if (mouse.Alpha(x, y) > 32 && keyboard.Alpha(kx, ky) > 32) ++covered;
        }
    EXPECT_EQ(covered, 0) << "the mouse hides part of the keyboard";
    // And the mouse is really there: a good part of its picture is opaque.
    EXPECT_GT(MeanOpaque(mouse).count, 246 * 246 / 6);
}

TEST_F(UiContent, HandOnMouseStatesShowTheRightButton) {
    const Png& rest = Picture("MOUSE_M");
    ASSERT_EQ(rest.width, 46);
    // Pixels that differ from the resting picture, counted in the left and right halves of the
    // buttons area (the upper third of the picture) and in the wheel's middle column.
    struct Diff {
        int left = 0, right = 0, wheel = 0;
    };
    auto diff = [&](const Png& p) {
        Diff d;
        for (int y = 0; y < 26; ++y)
            for (int x = 0; x < 46; ++x) {
                int sum = 0;
                for (int i = 0; i < 4; ++i) sum += std::abs(p.At(x, y)[i] - rest.At(x, y)[i]);
                if (sum < 60) continue;
                if (x >= 20 && x <= 26) ++d.wheel;
                else if (x < 20) ++d.left;
                else ++d.right;
            }
        return d;
    };
    struct Case {
        const char* key;
        char where;   // 'L' left button, 'R' right button, 'W' wheel only
    };
    const Case cases[] = {{"MOUSE_ML", 'L'}, {"MOUSE_MR", 'R'}, {"MOUSE_MB", 'W'},
                          {"MOUSE_MB_PR", 'W'}, {"MOUSE_MB_R1", 'W'}, {"MOUSE_MB_R2", 'W'}};
    for (const auto& c : cases) {
        const Png& p = Picture(c.key);
        ASSERT_EQ(p.width, 46) << c.key;
        const Diff d = diff(p);
        switch (c.where) {
        case 'L': EXPECT_GT(d.left, 4 * d.right + 20) << c.key; break;
        case 'R': EXPECT_GT(d.right, 4 * d.left + 20) << c.key; break;
        default: EXPECT_GT(d.wheel, 8) << c.key; break;
        }
    }
    // The two wheel-turn frames differ from each other, so that alternating them animates.
    const Png& r1 = Picture("MOUSE_MB_R1");
    const Png& r2 = Picture("MOUSE_MB_R2");
    int differing = 0;
    for (int y = 0; y < 79; ++y)
        for (int x = 0; x < 46; ++x)
            if (std::abs(r1.At(x, y)[0] - r2.At(x, y)[0]) + std::abs(r1.At(x, y)[2] - r2.At(x, y)[2]) > 60)
                ++differing;
    EXPECT_GT(differing, 3);
}

TEST_F(UiContent, ArrowPointsFromItsTopLeftCorner) {
    const Png& arrow = Picture("CURSOR");
    ASSERT_EQ(arrow.width, 12);
    EXPECT_GT(arrow.Alpha(0, 0), 128) << "the tip is the hot spot at (0, 0)";
    EXPECT_EQ(arrow.Alpha(11, 0), 0);
    EXPECT_EQ(arrow.Alpha(0, 20), 0);
    EXPECT_GT(arrow.Luma(3, 8), 200) << "a white arrow";
    EXPECT_LT(arrow.Luma(0, 8), 80) << "with a black outline";
}

}  // namespace
