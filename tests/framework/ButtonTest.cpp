// Buttons: the state table and the look through clicks, leaves, enabling and hiding.

#include "TextureFixture.h"

#include "framework/Button.h"

#include <vector>

namespace {

using Button = IMButtonBase<IMStateView>;

class ButtonTest : public TextureTest {
protected:
    void SetUp() override
    {
        TextureTest::SetUp();
        normal = MakeOpaque(L"Retry", 40, 20);
        over = MakeOpaque(L"RetryNuv", 40, 20);
        pressed = MakeOpaque(L"RetryKlick", 40, 20);
        button = root->CreateButton(10, 20, L"Retry", L"Retry", L"RetryNuv", L"RetryKlick");
        Step();
        ConnectTracked(button->sigClick, button, [this](const IMMouseEvent&) { return static_cast<long>(++clicks); });
        MouseMove(500, 500);
    }

    // The state after each step, and the texture it shows.
    void Expect(int state) const
    {
        EXPECT_EQ(button->GetState(), state);
        const int textures[] = { normal, normal, -1, over, pressed };
        EXPECT_EQ(button->GetTexture(), textures[state]) << "state " << state;
    }

    int normal { 0 };
    int over { 0 };
    int pressed { 0 };
    Button* button { nullptr };
    int clicks { 0 };
};

TEST_F(ButtonTest, CreateButtonPlacesItAtTheSizeOfItsPicture)
{
    EXPECT_EQ(button->GetRect(), (RECT { 10, 20, 50, 40 }));
    Expect(0);
}

TEST_F(ButtonTest, OneClickGoesOverPressedOverAndFiresOnce)
{
    MouseMove(15, 25);
    Expect(3);
    MouseButton(WM_LBUTTONDOWN, 15, 25, MK_LBUTTON);
    Expect(4);
    MouseButton(WM_LBUTTONUP, 15, 25, 0);
    Expect(3);
    EXPECT_EQ(clicks, 1);
    MouseMove(500, 500);
    Expect(0);
}

TEST_F(ButtonTest, PressedAndReleasedOutsideGoesBackToNormalWithoutAClick)
{
    MouseMove(15, 25);
    MouseButton(WM_LBUTTONDOWN, 15, 25, MK_LBUTTON);
    Expect(4);
    MouseMove(500, 500, MK_LBUTTON);
    Expect(0);
    MouseButton(WM_LBUTTONUP, 500, 500, 0);
    Expect(0);
    EXPECT_EQ(clicks, 0);
}

TEST_F(ButtonTest, DisablingShowsTheDisabledLookAndEnablingFollowsTheMouse)
{
    MouseMove(15, 25);
    button->Disable();
    Expect(1);
    MouseButton(WM_LBUTTONDOWN, 15, 25, MK_LBUTTON);
    MouseButton(WM_LBUTTONUP, 15, 25, 0);
    Expect(1);
    EXPECT_EQ(clicks, 0);
    button->Enable();
    Expect(3);
    MouseMove(500, 500);
    button->Disable();
    button->Enable();
    Expect(0);
}

TEST_F(ButtonTest, HiddenWhilePressedKeepsThePressedLook)
{
    MouseMove(15, 25);
    MouseButton(WM_LBUTTONDOWN, 15, 25, MK_LBUTTON);
    button->Hide();
    EXPECT_FALSE(button->IsMouseOver());
    Expect(4);
    // Shown under the mouse: the enter comes at once, with the button still held.
    button->Show();
    EXPECT_TRUE(button->IsMouseOver());
    Expect(4);
    MouseButton(WM_LBUTTONUP, 15, 25, 0);
    Expect(3);
}

TEST_F(ButtonTest, ShownAwayFromTheMouseKeepsItsLookUntilTheNextMouseEvent)
{
    MouseMove(15, 25);
    MouseButton(WM_LBUTTONDOWN, 15, 25, MK_LBUTTON);
    button->Hide();
    MouseMove(500, 500, MK_LBUTTON);
    MouseButton(WM_LBUTTONUP, 500, 500, 0);
    button->Show();
    Expect(4);
    // There is no mouse capture: the release went elsewhere, so the button's last button
    // message still had the button down, and its next one settles the look.
    MouseMove(15, 25);
    Expect(4);
    MouseButton(WM_LBUTTONUP, 15, 25, 0);
    Expect(3);
}

TEST_F(ButtonTest, EmptyNamesFallBackToTheNormalPicture)
{
    auto* plain = root->CreateButton(100, 100, L"Retry", L"", L"RetryNuv", L"");
    Step();
    EXPECT_EQ(plain->GetStateTexture(IMStateView::kDisabled), L"Retry");
    EXPECT_EQ(plain->GetStateTexture(IMStateView::kPressed), L"Retry");
    MouseMove(110, 110);
    EXPECT_EQ(plain->GetTexture(), over);
    MouseButton(WM_LBUTTONDOWN, 110, 110, MK_LBUTTON);
    EXPECT_EQ(plain->GetState(), 4);
    EXPECT_EQ(plain->GetTexture(), normal);
    plain->Disable();
    EXPECT_EQ(plain->GetState(), 1);
    EXPECT_EQ(plain->GetTexture(), normal);
}

TEST_F(ButtonTest, ReleasedButtonGivesItsTextureReferencesBack)
{
    const int before = RefCount(over);
    MouseMove(15, 25);
    EXPECT_EQ(RefCount(over), before + 1);
    EXPECT_EQ(RefCount(normal), 1);
    button->Close();
    Step();
    EXPECT_EQ(RefCount(over), before);
    EXPECT_EQ(root->GetHovered(), nullptr);
}

}
