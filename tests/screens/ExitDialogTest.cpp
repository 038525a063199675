// The exit dialog over whatever the window shows: its centred box, its buttons, and that the
// screen beneath gets neither the mouse nor the keyboard while it is open.

#include "app/ExitDialog.h"
#include "app/StartScreen.h"

#include "ScreenFixture.h"

#include "widgets/EditBar.h"

#include <gtest/gtest.h>

namespace {

class ExitDialogTest : public ScreenFixture {
protected:
    IMDialog* Open(int width = 800, int height = 600)
    {
        ExitDialogActions actions;
        actions.retry = [this] { ++retries; };
        actions.close = [this] { ++closes; };
        actions.cancel = [this] { ++cancels; dialog->Close(); };
        dialog = BuildExitDialog(window, width, height, actions);
        Pass();
        return dialog;
    }
    IMDialog* Box() const
    {
        for (IMControl* child : ChildrenOf(dialog))
            if (auto* box = dynamic_cast<IMDialog*>(child))
                return box;
        return nullptr;
    }

    IMDialog* dialog { nullptr };
    int retries { 0 };
    int closes { 0 };
    int cancels { 0 };
};

TEST_F(ExitDialogTest, TheBoxIsCentredOnTheBackBuffer)
{
    struct Case {
        int width, height;
        RECT box;
    };
    const Case cases[] = {
        { 800, 600, { 332, 200, 468, 400 } },
        { 1024, 768, { 444, 284, 580, 484 } },
        { 801, 601, { 332, 200, 468, 400 } }, // odd sizes: the halves are truncated
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
        Open(c.width, c.height);
        EXPECT_EQ(dialog->parent, window);
        EXPECT_EQ(window->GetLayer(dialog), 1099);
        EXPECT_EQ(dialog->GetRect(), (RECT { 0, 0, c.width, c.height }));
        ASSERT_NE(Box(), nullptr);
        EXPECT_EQ(Box()->GetRect(), c.box);
        EXPECT_EQ(dialog->GetLayer(Box()), 1);
        dialog->Close();
        Pass();
    }
}

TEST_F(ExitDialogTest, DimmingButtonsAndFrameAreInPlace)
{
    Open();
    // The dimming is the overlay's own picture; the box holds the background and the frame.
    const IMStaticPictureBase<IMTextureView>* dimming = nullptr;
    for (IMControl* child : ChildrenOf(dialog))
        if (auto* picture = dynamic_cast<IMStaticPictureBase<IMTextureView>*>(child))
            dimming = picture;
    ASSERT_NE(dimming, nullptr);
    EXPECT_EQ(dimming->GetRect(), (RECT { 0, 0, 800, 600 }));
    EXPECT_EQ(dimming->colour, 0x4B000096u);

    std::vector<RECT> frame;
    RECT background {};
    for (IMControl* child : ChildrenOf(Box()))
        if (auto* picture = dynamic_cast<IMStaticPictureBase<IMTextureView>*>(child)) {
            if (RectHeight(picture->GetRect()) == 1 || RectWidth(picture->GetRect()) == 1)
                frame.push_back(picture->GetRect());
            else
                background = picture->GetRect();
        }
    EXPECT_EQ(background, (RECT { 0, -100, 136, 300 }));
    const std::vector<RECT> expected { { 0, 0, 1, 200 }, { 0, 0, 136, 1 }, { 135, 0, 136, 200 }, { 0, 199, 136, 200 } };
    EXPECT_EQ(frame, expected);

    struct Button {
        const wchar_t* normal;
        const wchar_t* over;
        const wchar_t* pressed;
        int x, y;
    };
    const Button buttons[] = {
        { L"RetryButton", L"RetryButtonNuv", L"RetryButtonKlick", 10, 20 },
        { L"CloseButton", L"CloseButtonNuv", L"CloseButtonKlick", 10, 80 },
        { L"CancelButton", L"CancelButtonNuv", L"CancelButtonKlick", 10, 140 },
    };
    for (const Button& b : buttons) {
        auto* button = FindButton(Box(), b.normal);
        ASSERT_NE(button, nullptr) << "button " << b.y;
        EXPECT_EQ(button->GetPosition().x, b.x);
        EXPECT_EQ(button->GetPosition().y, b.y);
        EXPECT_EQ(button->GetStateTexture(IMStateView::kDisabled), b.normal);
        EXPECT_EQ(button->GetStateTexture(IMStateView::kMouseOver), b.over);
        EXPECT_EQ(button->GetStateTexture(IMStateView::kPressed), b.pressed);
    }
}

TEST_F(ExitDialogTest, EachButtonCallsItsOwnAction)
{
    struct Case {
        const char* what;
        int y; // window y of the button's middle
        int* counter;
    };
    const Case cases[] = {
        { "Retry", 200 + 20 + 23, &retries },
        { "Close", 200 + 80 + 23, &closes },
        { "Cancel", 200 + 140 + 23, &cancels },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        retries = closes = cancels = 0;
        Open();
        Click(332 + 10 + 50, c.y);
        EXPECT_EQ(*c.counter, 1);
        EXPECT_EQ(retries + closes + cancels, 1) << "only that action";
        if (OnWindow(dialog)) {
            dialog->Close();
            Pass();
        }
    }
}

TEST_F(ExitDialogTest, TheMouseOutsideTheBoxReachesNothingBelow)
{
    auto* below = window->CreateButton(40, 40, L"RetryButton", L"", L"RetryButtonNuv", L"");
    int belowClicks = 0;
    ConnectTracked(below->sigClick, below, [&](const IMMouseEvent&) { ++belowClicks; return 0L; });
    Pass();
    Click(60, 60);
    ASSERT_EQ(belowClicks, 1) << "the probe works without the dialog";

    Open();
    MoveMouse(70, 60);
    EXPECT_FALSE(below->IsMouseOver());
    EXPECT_EQ(below->GetState(), IMStateView::kNormal);
    Click(60, 60);
    Click(400, 210); // inside the box but on no button
    EXPECT_EQ(belowClicks, 1);
    EXPECT_EQ(retries + closes + cancels, 0);
    EXPECT_TRUE(OnWindow(dialog)) << "a click beside the box does not close it";
}

TEST_F(ExitDialogTest, TheScreenBeneathGetsTheKeyboardOnlyAfterTheDialogCloses)
{
    std::vector<std::wstring> started;
    StartScreenActions start;
    start.start = [&](const std::wstring& name) { started.push_back(name); };
    IMDialog* screen = BuildStartScreen(window, StartScreenTexts {}, start);
    Pass();
    Type(L"Ян");

    Open();
    Type(L"xyz");
    Key(VK_RETURN);
    EXPECT_TRUE(started.empty()) << "Enter does not start the game under the dialog";

    Click(332 + 60, 200 + 140 + 23); // Cancel
    ASSERT_EQ(cancels, 1);
    Pass();
    Type(L"а");
    Key(VK_RETURN);
    EXPECT_EQ(started, std::vector<std::wstring> { L"Яна" });
    EXPECT_FALSE(OnWindow(screen));
}

TEST_F(ExitDialogTest, ScreenshotShowsTheDimmedWindowAndTheFramedBox)
{
    window->CreatePicture(0, 0, L"DefaultBackGround");
    Pass();
    const std::vector<uint32_t> plain = Screenshot("screens-exit-before.png");
    Open();
    const std::vector<uint32_t> pixels = Screenshot("screens-exit.png");
    ASSERT_EQ(pixels.size(), plain.size());

    // Outside the box the picture is tinted towards dark blue.
    const uint32_t before = PixelAt(plain, 100, 300);
    const uint32_t after = PixelAt(pixels, 100, 300);
    EXPECT_NE(before, after);
    EXPECT_LT((after >> 16) & 0xFF, (before >> 16) & 0xFF) << "less red";
    // The box's frame is drawn on its edge; inside, the background is not dimmed.
    EXPECT_NE(PixelAt(pixels, 332, 300), PixelAt(pixels, 333, 300));
    EXPECT_NE(PixelAt(pixels, 467, 300), PixelAt(pixels, 466, 300));
}

} // namespace
