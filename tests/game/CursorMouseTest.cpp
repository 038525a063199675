// The drawn cursor of the instruction: its pictures, its glide and the pressed button.

#include "GameFixture.h"

#include "game/CursorMouse.h"
#include "graphics/ResourceManager.h"

using CursorMouseTest = GameFixture;

TEST_F(CursorMouseTest, GlidesArrowAndMouseTogetherAndComesToRestOneStepBeyond)
{
    auto* dialog = new IMDialog(window, nullptr, 0);
    CursorMouse cursor(dialog);
    ASSERT_NE(cursor.cursorPicture, nullptr);
    ASSERT_NE(cursor.mousePicture, nullptr);
    Pass();
    EXPECT_EQ(dialog->GetLayer(cursor.cursorPicture), CursorMouse::kLayer);
    EXPECT_EQ(cursor.mousePicture->GetRect(), (RECT { 10, 10, 56, 89 }));
    EXPECT_EQ(cursor.cursorPicture->GetRect(), (RECT { 0, 0, 12, 21 }));

    cursor.PressLeft();
    const int pressed = cursor.mousePicture->GetTexture();
    EXPECT_EQ(cursor.mousePicture->GetPosition(), (POINT { 10, 10 }));
    cursor.GlideTo(300, 300, 187, 219);
    RunFor(250);
    EXPECT_EQ(cursor.mousePicture->GetTexture(), pressed);
    RunFor(270);
    EXPECT_EQ(cursor.cursorPicture->GetPosition(), (POINT { 184, 217 }));
    EXPECT_EQ(cursor.mousePicture->GetPosition(), (POINT { 194, 227 }));
    EXPECT_EQ(cursor.mousePicture->GetTexture(), pressed);
    EXPECT_EQ(resourceManager->FindTexture(L"MOUSE_ML"), pressed);

    cursor.Release();
    Pass();
    EXPECT_EQ(resourceManager->FindTexture(L"MOUSE_MB"), resourceManager->SlotCount());
    EXPECT_EQ(cursor.cursorPicture, nullptr);
    cursor.Release();
}

TEST_F(CursorMouseTest, ReleaseAfterItsDialogWentTouchesNothing)
{
    auto* dialog = new IMDialog(window, nullptr, 0);
    CursorMouse cursor(dialog);
    Pass();
    cursor.GlideTo(0, 0, 100, 100);
    dialog->Close();
    RunFor(600);
    cursor.PressLeft();
    cursor.GlideTo(0, 0, 10, 10);
    cursor.Release();
    Pass();
}
