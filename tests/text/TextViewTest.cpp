#include "framework/PaintDevice.h"
#include "graphics/FontRegistry.h"
#include "graphics/ResourceManager.h"
#include "graphics/TextTexture.h"
#include "graphics/TextView.h"
#include "platform/Display.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// Records the quads of a paint; the viewport and origin behave like the device's.
class QuadRecorder : public IMPaintDevice {
public:
    RECT GetViewport() const override { return viewport; }
    void SetViewport(const RECT& v) override { viewport = v; }
    void DrawQuad(int texture, const RECT& dest, const RECT*, uint32_t, float) override
    {
        quads.push_back({ texture, OffsetRect(dest, originX, originY) });
    }
    struct Quad {
        int texture;
        RECT screen;
    };
    RECT viewport { 0, 0, 800, 600 };
    std::vector<Quad> quads;
};

class TextViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        display = IMDisplay::OpenHeadless(800, 600);
        ASSERT_NE(display, nullptr);
        manager = std::make_unique<IMResourceManager>(display.get(), true);
        resourceManager = manager.get();
    }
    void TearDown() override
    {
        SetPaintDevice(nullptr);
        resourceManager = nullptr;
    }

    // Gives a character of the default style a texture of a chosen size, so layouts are exact.
    int FixedGlyph(wchar_t ch, int width, int height)
    {
        GlyphRecord g;
        g.character = ch;
        g.fontFace = L"Arial";
        const std::vector<uint8_t> texels(static_cast<size_t>(width) * height * 4, 0xFF);
        return manager->CreateTextureFromPixels(GlyphTextureName(g), width, height, texels.data(), width * 4);
    }

    int RefCount(int index) const
    {
        const TextureSlot* slot = manager->Slot(index);
        return slot ? slot->refCount : 0;
    }

    std::unique_ptr<IMDisplay> display;
    std::unique_ptr<IMResourceManager> manager;
};

} // namespace

TEST_F(TextViewTest, GlyphNamesFollowTheStyle)
{
    GlyphRecord a;
    a.character = L'A';
    a.fontFace = L"Arial";
    EXPECT_EQ(GlyphTextureName(a), L"ArialA16-100011513775" L"0");
    a.bold = 1;
    a.mark = 1;
    a.textColour = 0xFF072134;
    EXPECT_EQ(GlyphTextureName(a), L"ArialA16-16309964" L"0011151377" L"51");
}

TEST_F(TextViewTest, LabelsShareGlyphTexturesUntilTheLastLetsGo)
{
    auto first = std::make_unique<IMTextView>();
    auto second = std::make_unique<IMTextView>();
    first->SetText(L"ab");
    second->SetText(L"ab");
    ASSERT_EQ(first->GlyphCount(), 2);
    const int a = first->GetCharTexture(0);
    const int b = first->GetCharTexture(1);
    ASSERT_GE(a, 0);
    ASSERT_GE(b, 0);
    EXPECT_NE(a, b);
    EXPECT_EQ(second->GetCharTexture(0), a);
    EXPECT_EQ(second->GetCharTexture(1), b);
    EXPECT_EQ(RefCount(a), 2);

    first->EraseText(0, 2);
    EXPECT_EQ(RefCount(a), 1);
    second->EraseText(0, 5); // more than there is: the rest goes
    EXPECT_EQ(manager->Slot(a), nullptr);
    EXPECT_EQ(manager->Slot(b), nullptr);
    EXPECT_EQ(second->GetText(), L"");
}

TEST_F(TextViewTest, EmptyTextHasNoExtentAndDrawsNothing)
{
    QuadRecorder recorder;
    SetPaintDevice(&recorder);
    IMTextView view;
    view.SetRect({ 10, 10, 200, 40 });
    view.SetText(L"");
    EXPECT_EQ(view.GetSourceRect(), RECT {});
    view.Draw();
    EXPECT_TRUE(recorder.quads.empty());
    EXPECT_FALSE(view.IsDirty());
}

TEST_F(TextViewTest, WrapMovesTheLastWordToTheNextLine)
{
    FixedGlyph(L'a', 20, 16);
    FixedGlyph(L' ', 20, 16);
    FixedGlyph(L'b', 20, 16);
    IMTextView view;
    view.wrap = true;
    view.SetRect({ 0, 0, 100, 100 });
    view.SetText(L"aaa bbb");
    const RECT expected[] = { { 0, 0, 20, 16 }, { 20, 0, 40, 16 }, { 40, 0, 60, 16 }, { 60, 0, 80, 16 },
        { 0, 16, 20, 32 }, { 20, 16, 40, 32 }, { 40, 16, 60, 32 } };
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(view.GetCharRect(i), expected[i]) << "glyph " << i;
    EXPECT_EQ(view.LineStarts(), (std::vector<int> { 0, 4 }));
    EXPECT_EQ(view.GetSourceRect(), (RECT { 0, 0, 100, 32 }));
}

TEST_F(TextViewTest, AWordWiderThanTheViewBreaksAtTheEdge)
{
    FixedGlyph(L'w', 30, 16);
    IMTextView view;
    view.wrap = true;
    view.SetRect({ 0, 0, 100, 100 });
    view.SetText(L"wwwwwww");
    EXPECT_EQ(view.LineStarts(), (std::vector<int> { 0, 3, 6 }));
    EXPECT_EQ(view.GetCharRect(3), (RECT { 0, 16, 30, 32 }));
    EXPECT_EQ(view.GetCharRect(6), (RECT { 0, 32, 30, 48 }));
    for (int i = 0; i < view.GlyphCount(); ++i)
        EXPECT_FALSE(IsRectEmpty(view.GetCharRect(i))) << i;
}

TEST_F(TextViewTest, LineFeedsBreakOnlyWrappedViews)
{
    FixedGlyph(L'x', 10, 16);
    IMTextView line;
    line.SetRect({ 0, 0, 300, 20 });
    line.SetText(L"x\nx");
    EXPECT_EQ(line.GetCharRect(1), (RECT { 10, 0, 11, 1 })) << "a 1-pixel transparent glyph";
    EXPECT_EQ(line.GetCharRect(2), (RECT { 11, 0, 21, 16 }));

    IMTextView page;
    page.wrap = true;
    page.SetRect({ 0, 0, 300, 100 });
    page.SetText(L"x\nx");
    EXPECT_EQ(page.GetCharRect(2), (RECT { 0, 16, 10, 32 }));
    EXPECT_EQ(page.LineStarts(), (std::vector<int> { 0, 2 }));
}

TEST_F(TextViewTest, RestylingRendersOnlyGlyphsWhoseNameChanges)
{
    IMTextView keep;
    keep.SetText(L"ok");
    const int o = keep.GetCharTexture(0);

    IMTextView view;
    view.SetText(L"ok");
    ASSERT_EQ(view.GetCharTexture(0), o);
    view.SetTextColour(0xFFFF0000);
    EXPECT_NE(view.GetCharTexture(0), o);
    EXPECT_EQ(RefCount(o), 1) << "the old texture was let go";
    EXPECT_EQ(view.GetCharColour(1), 0xFFFF0000u);

    view.SetTextColour(0xFFFFFFFF);
    EXPECT_EQ(view.GetCharTexture(0), o) << "switching back reuses the live texture";
    EXPECT_EQ(RefCount(o), 2);

    // The same colour again changes no name and no texture.
    const int k = view.GetCharTexture(1);
    view.SetTextColour(0xFFFFFFFF);
    EXPECT_EQ(view.GetCharTexture(1), k);
    EXPECT_EQ(RefCount(k), 2);
}

TEST_F(TextViewTest, EditingKeepsOtherGlyphsAndIgnoresPositionsOutside)
{
    IMTextView view;
    view.SetText(L"Варнико");
    view.InsertText(7, L"!");
    view.InsertText(-1, L"?");
    view.InsertText(99, L"?");
    view.EraseText(99, 1);
    view.EraseText(-1, 1);
    view.SetChar(L'в', 0);
    view.SetChar(L'?', 99);
    EXPECT_EQ(view.GetText(), L"варнико!");
    EXPECT_EQ(view.GetChar(99), static_cast<wchar_t>(8));
    EXPECT_EQ(view.GetCharFace(99), L"");
    EXPECT_EQ(view.GetCharRect(99), RECT {});
    // Glyphs sit side by side from x = 0.
    for (int i = 1; i < view.GlyphCount(); ++i)
        EXPECT_EQ(view.GetCharRect(i).left, view.GetCharRect(i - 1).right);

    view.SetText(std::wstring(1, static_cast<wchar_t>(0x1F600)));
    EXPECT_EQ(view.GlyphCount(), 1) << "a character beyond the Basic Multilingual Plane is one glyph";
}

TEST_F(TextViewTest, MarksShowSpacesTabsAndLineEnds)
{
    IMTextView view;
    view.showMarks = true;
    view.SetText(L" \t\n");
    const POINT sizes[] = { { 3, 3 }, { 10, 5 }, { 11, 21 } };
    for (int i = 0; i < 3; ++i) {
        const RECT r = view.GetCharRect(i);
        EXPECT_EQ(RectWidth(r), sizes[i].x) << i;
        EXPECT_EQ(RectHeight(r), sizes[i].y) << i;
    }
    IMTextView plain;
    plain.SetText(L" ");
    EXPECT_NE(plain.GetCharTexture(0), view.GetCharTexture(0)) << "the mark flag is part of the name";
}

TEST_F(TextViewTest, DrawVisitsOnlyTheLinesInsideTheViewport)
{
    FixedGlyph(L'a', 20, 16);
    FixedGlyph(L'\n', 1, 1);
    QuadRecorder recorder;
    SetPaintDevice(&recorder);
    IMTextView view;
    view.wrap = true;
    view.SetRect({ 100, 100, 300, 400 });
    view.SetText(L"aa\naa\naa\naa");
    ASSERT_EQ(view.LineStarts(), (std::vector<int> { 0, 3, 6, 9 }));

    // Lines are 16 high: a viewport covering screen y 120..140 shows lines 1 and 2 only.
    recorder.viewport = { 0, 120, 800, 140 };
    view.Draw();
    ASSERT_EQ(recorder.quads.size(), 6u);
    EXPECT_EQ(recorder.quads.front().screen, (RECT { 100, 116, 120, 132 }));
    EXPECT_EQ(recorder.viewport, (RECT { 0, 120, 800, 140 })) << "the viewport is restored";
    EXPECT_EQ(recorder.originX, 0);

    recorder.quads.clear();
    recorder.viewport = { 0, 0, 800, 600 };
    view.Draw();
    EXPECT_EQ(recorder.quads.size(), 11u);

    recorder.quads.clear();
    recorder.viewport = { 400, 0, 800, 600 };
    view.Draw();
    EXPECT_TRUE(recorder.quads.empty()) << "a view outside the viewport draws nothing";
}

TEST_F(TextViewTest, NegativeLeftBearingIsClippedAtTheTextureEdge)
{
    // 'j' hangs left of its origin in the Liberation faces.
    IMFontRegistry& fonts = TextFonts();
    const int font = fonts.GetFont(L"Arial", 40, false, true, false);
    ASSERT_GE(font, 0);
    const IMCharWidths w = fonts.CharWidths(font, L'j');
    ASSERT_LT(w.a, 0);
    IMGlyphImage image;
    fonts.RenderCharacter(L'j', nullptr, 0xFF000000, 40, L"Arial", false, true, false, 0, image);
    EXPECT_EQ(image.width, w.a + static_cast<int>(w.b) + w.c);
    int leftColumnInk = 0;
    for (int y = 0; y < image.height; ++y)
        leftColumnInk += image.texels[static_cast<size_t>(y) * image.width * 4 + 3] > 0;
    EXPECT_GT(leftColumnInk, 0) << "the overhang reaches the left edge and is cut there";
}
