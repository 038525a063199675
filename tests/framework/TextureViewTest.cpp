// Texture views and pictures: texture references, source rectangles, drawing, the texel test.

#include "TextureFixture.h"

#include "framework/StaticPicture.h"

#include <cmath>
#include <limits>
#include <numbers>

namespace {

using Picture = IMStaticPictureBase<IMTextureView>;

class TextureViewTest : public TextureTest {
protected:
    // 20 x 10: columns 0-9 opaque, 10-14 half transparent (alpha 128), 15-19 clear.
    void SetUp() override
    {
        TextureTest::SetUp();
        halves = MakeTexture(L"halves", 20, 10, [](int x, int) { return x < 10 ? 255 : x < 15 ? 128 : 0; });
    }
    int halves { 0 };
};

TEST_F(TextureViewTest, PictureTakesTheImageSizeAndHoldsOneReference)
{
    MakeOpaque(L"97x58", 97, 58);
    const int wide = MakeOpaque(L"100x40", 100, 40);
    Picture* small = root->CreatePicture(0, 0, L"97x58");
    Picture* placed = root->CreatePicture(135, 517, L"100x40", 0, 0xFFFFFFFF);
    EXPECT_EQ(small->GetSourceRect(), (RECT { 0, 0, 97, 58 }));
    EXPECT_EQ(small->GetRect(), (RECT { 0, 0, 97, 58 }));
    EXPECT_EQ(placed->GetRect(), (RECT { 135, 517, 235, 557 }));
    EXPECT_EQ(placed->GetTexture(), wide);
    EXPECT_EQ(RefCount(wide), 2);

    // The texture already shown changes nothing in the view; another one swaps the
    // references, and the picture takes its size at (0, 0).
    placed->SetDirty(false);
    placed->IMTextureView::SetTexture(L"100x40");
    EXPECT_EQ(RefCount(wide), 2);
    EXPECT_FALSE(placed->IsDirty());
    placed->SetTexture(L"halves");
    EXPECT_EQ(RefCount(wide), 1);
    EXPECT_EQ(RefCount(halves), 2);
    EXPECT_EQ(placed->GetRect(), (RECT { 0, 0, 20, 10 }));

    placed->Close();
    Step();
    EXPECT_EQ(RefCount(halves), 1);
}

TEST_F(TextureViewTest, AnUnknownNameLeavesTheViewWithoutATexture)
{
    Picture* picture = root->CreatePicture(10, 10, L"halves");
    ASSERT_TRUE(picture->HasTexture());
    picture->SetTexture(L"/nonexistent/picture.png");
    EXPECT_FALSE(picture->HasTexture());
    EXPECT_EQ(RefCount(halves), 1);
    Step();
    device.quads.clear();
    root->Paint(IMEvent(root.get(), WM_PAINT));
    EXPECT_TRUE(device.quads.empty());
    EXPECT_FALSE(picture->HitTest(10, 10));
}

TEST_F(TextureViewTest, DrawsItsQuadAtTheParentsOriginWithColourAndAngle)
{
    RECT area { 100, 50, 400, 300 };
    auto* dialog = new TestDialog(root.get(), &area);
    Picture* picture = dialog->CreatePicture(5, 6, L"halves", 0, 0x80FFFFFF);
    picture->angle = 0.5f;
    picture->SetSourceRect(RECT { 2, 0, 12, 10 });
    Step();
    Step();
    root->Paint(IMEvent(root.get(), WM_PAINT));
    ASSERT_EQ(device.quads.size(), 1u);
    const auto& quad = device.quads[0];
    EXPECT_EQ(quad.texture, halves);
    EXPECT_EQ(quad.dest, (RECT { 5, 6, 25, 16 }));
    EXPECT_TRUE(quad.hasSource);
    EXPECT_EQ(quad.source, (RECT { 2, 0, 12, 10 }));
    EXPECT_EQ(quad.colour, 0x80FFFFFFu);
    EXPECT_FLOAT_EQ(quad.angle, 0.5f);
    EXPECT_EQ(quad.originX, 100);
    EXPECT_EQ(quad.originY, 50);
    EXPECT_EQ(quad.viewport, area);

    picture->Hide();
    device.quads.clear();
    root->Paint(IMEvent(root.get(), WM_PAINT));
    EXPECT_TRUE(device.quads.empty());
}

TEST_F(TextureViewTest, TexelHitTest)
{
    constexpr float kQuarter = std::numbers::pi_v<float> / 2;
    struct Case {
        const char* what;
        RECT dest;
        RECT source; // empty: the whole image
        float angle;
        uint32_t colour;
        int threshold;
        int x, y;
        bool hit;
    };
    const Case cases[] = {
        { "opaque texel", { 0, 0, 20, 10 }, {}, 0, 0xFFFFFFFF, 255, 5, 5, true },
        { "half transparent texel", { 0, 0, 20, 10 }, {}, 0, 0xFFFFFFFF, 255, 12, 5, false },
        { "clear texel", { 0, 0, 20, 10 }, {}, 0, 0xFFFFFFFF, 255, 17, 5, false },
        { "outside the rectangle", { 0, 0, 20, 10 }, {}, 0, 0xFFFFFFFF, 255, 20, 5, false },
        { "lower threshold takes the half texel", { 0, 0, 20, 10 }, {}, 0, 0xFFFFFFFF, 128, 12, 5, true },
        { "lower threshold, clear texel", { 0, 0, 20, 10 }, {}, 0, 0xFFFFFFFF, 128, 17, 5, false },
        { "translucent colour is never hit", { 0, 0, 20, 10 }, {}, 0, 0xFEFFFFFF, 255, 5, 5, false },
        { "translucent colour, threshold 0", { 0, 0, 20, 10 }, {}, 0, 0x40FFFFFF, 0, 17, 5, true },
        { "stretched: opaque", { 0, 0, 40, 20 }, {}, 0, 0xFFFFFFFF, 255, 19, 19, true },
        { "stretched: clear", { 0, 0, 40, 20 }, {}, 0, 0xFFFFFFFF, 255, 30, 5, false },
        { "moved", { 100, 100, 120, 110 }, {}, 0, 0xFFFFFFFF, 255, 105, 105, true },
        { "source part: clear half", { 0, 0, 20, 10 }, { 10, 0, 20, 10 }, 0, 0xFFFFFFFF, 255, 15, 5, false },
        { "source part: opaque half", { 0, 0, 10, 10 }, { 0, 0, 10, 10 }, 0, 0xFFFFFFFF, 255, 9, 9, true },
        // Turned a quarter about (10, 5): (12, 2) maps back to (7, 3), (3, 5) to (10, 12).
        { "turned: clear spot now opaque", { 0, 0, 20, 10 }, {}, kQuarter, 0xFFFFFFFF, 255, 12, 2, true },
        { "turned: opaque spot now outside", { 0, 0, 20, 10 }, {}, kQuarter, 0xFFFFFFFF, 255, 3, 5, false },
        { "turned upside down", { 0, 0, 20, 10 }, {}, 2 * kQuarter, 0xFFFFFFFF, 255, 17, 5, true },
        { "empty rectangle", { 5, 5, 5, 5 }, {}, 0, 0xFFFFFFFF, 255, 5, 5, false },
        { "not a number", { 0, 0, 20, 10 }, {}, std::numeric_limits<float>::quiet_NaN(), 0xFFFFFFFF, 255, 5, 5,
            false },
    };
    Picture* picture = root->CreatePicture(0, 0, L"halves");
    for (const auto& c : cases) {
        picture->SetRect(c.dest);
        picture->SetSourceRect(IsRectEmpty(c.source) ? RECT { 0, 0, 20, 10 } : c.source);
        picture->angle = c.angle;
        picture->colour = c.colour;
        picture->alphaThreshold = c.threshold;
        EXPECT_EQ(picture->HitTest(c.x, c.y), c.hit) << c.what;
    }
}

TEST_F(TextureViewTest, NoTextureOrHiddenMeansNoHit)
{
    MakeOpaque(L"first", 4, 4); // slot 0 would answer a test of index 0
    auto* blank = new Picture(root.get(), 0);
    blank->SetRect(RECT { 0, 0, 4, 4 });
    EXPECT_FALSE(blank->HasTexture());
    EXPECT_FALSE(blank->HitTest(1, 1));

    Picture* shown = root->CreatePicture(0, 0, L"first");
    EXPECT_TRUE(shown->HitTest(1, 1));
    shown->Hide();
    EXPECT_FALSE(shown->HitTest(1, 1));
}

TEST_F(TextureViewTest, TheMouseGoesThroughTransparentTexelsToThePictureBelow)
{
    MakeOpaque(L"below", 20, 10);
    Picture* below = root->CreatePicture(0, 0, L"below", 0);
    Picture* above = root->CreatePicture(0, 0, L"halves", 1);
    Step();
    MouseMove(17, 5);
    EXPECT_EQ(root->GetHovered(), below);
    MouseMove(3, 5);
    EXPECT_EQ(root->GetHovered(), above);
}

TEST_F(TextureViewTest, TableIndexFormTakesItsOwnReference)
{
    Picture* picture = root->CreatePicture(0, 0, L"halves");
    const int other = MakeOpaque(L"other", 8, 8);
    picture->IMTextureView::SetTexture(other);
    EXPECT_EQ(picture->GetTexture(), other);
    EXPECT_EQ(picture->GetSourceRect(), (RECT { 0, 0, 8, 8 }));
    EXPECT_EQ(RefCount(other), 2);
    EXPECT_EQ(RefCount(halves), 1);
    picture->IMTextureView::SetTexture(manager->SlotCount() + 5);
    EXPECT_FALSE(picture->HasTexture());
    EXPECT_EQ(RefCount(other), 1);
}

}
