// Views: rectangle operations and the dialog's own rectangle.

#include "TreeFixture.h"

#include <vector>

namespace {

class ViewTest : public TreeTest { };

TEST_F(ViewTest, MoveAndResizeKeepTheOtherHalfOfTheRectangle)
{
    auto* leaf = Leaf(root.get(), RECT { 0, 0, 40, 30 }, "leaf");
    leaf->MoveTo(10, 20);
    EXPECT_EQ(leaf->GetRect(), (RECT { 10, 20, 50, 50 }));
    EXPECT_EQ(leaf->GetPosition(), (POINT { 10, 20 }));
    leaf->SetSize(5, 6);
    EXPECT_EQ(leaf->GetRect(), (RECT { 10, 20, 15, 26 }));
    EXPECT_EQ(leaf->GetWidth(), 5);
    EXPECT_EQ(leaf->GetHeight(), 6);
    leaf->MoveTo(POINT { -3, -4 });
    EXPECT_EQ(leaf->GetRect(), (RECT { -3, -4, 2, 2 }));
}

TEST_F(ViewTest, RectangleAndSourceChangesMarkDirtyOnlyWhenTheyChange)
{
    auto* leaf = Leaf(root.get(), RECT { 0, 0, 40, 30 }, "leaf");
    leaf->SetDirty(false);
    Log(leaf->sigDirty, leaf, "dirty");
    IMView& view = *leaf;
    view.SetRect(RECT { 0, 0, 40, 30 });
    view.SetSourceRect(RECT {});
    leaf->MoveTo(0, 0);
    EXPECT_TRUE(log.empty());
    EXPECT_FALSE(view.IsDirty());

    // Changes made through the view reach the control's signal.
    view.SetSourceRect(RECT { 0, 0, 1, 1 });
    view.SetRect(RECT { 1, 1, 2, 2 });
    EXPECT_EQ(log, (std::vector<std::string> { "dirty:leaf", "dirty:leaf" }));
    EXPECT_TRUE(leaf->IsDirty());
}

TEST_F(ViewTest, DialogCoversTheBackBufferOrItsGivenRectangle)
{
    EXPECT_EQ(root->GetRect(), (RECT { 0, 0, 800, 600 }));
    EXPECT_TRUE(root->IsFocusable());
    auto* dialog = Dialog(root.get(), RECT { 5, 6, 70, 80 }, "dialog");
    EXPECT_EQ(dialog->GetRect(), (RECT { 5, 6, 70, 80 }));
    EXPECT_TRUE(dialog->HitTest(5, 6));
    EXPECT_FALSE(dialog->HitTest(70, 6));
    dialog->Hide();
    EXPECT_FALSE(dialog->HitTest(5, 6));
}

}
