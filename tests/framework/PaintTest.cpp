// The paint traversal: clipping to each dialog, origins, order, hidden and outside dialogs.

#include "RecordingPaintDevice.h"
#include "TreeFixture.h"

#include <vector>

namespace {

struct Painted {
    std::string name;
    int32_t originX;
    int32_t originY;
    RECT viewport;
    friend bool operator==(const Painted&, const Painted&) = default;
};

std::ostream& operator<<(std::ostream& out, const Painted& p)
{
    return out << p.name << " origin " << p.originX << "," << p.originY << " viewport " << p.viewport.left << ","
               << p.viewport.top << "," << p.viewport.right << "," << p.viewport.bottom;
}

class PaintTest : public TreeTest {
protected:
    PaintTest() : scoped(device) { }

    // Records, at each sigPaint, the origin and viewport the device had.
    void Watch(IMControl* c)
    {
        ConnectTracked(c->sigPaint, c, [this](const IMEvent& e) {
            painted.push_back(Painted { Name(e.sender), device.originX, device.originY, device.viewport });
            return 0L;
        });
    }
    void Paint() { root->Paint(IMEvent(root.get(), WM_PAINT)); }
    void Activate(int levels)
    {
        for (int i = 0; i < levels; ++i)
            Step();
    }

    RecordingPaintDevice device;
    ScopedPaintDevice scoped;
    std::vector<Painted> painted;
};

const RECT kScreen { 0, 0, 800, 600 };

TEST_F(PaintTest, ChildrenPaintClippedToTheirParentAndOffsetByIt)
{
    auto* partly = Dialog(root.get(), RECT { 700, 500, 900, 700 }, "partly");
    auto* corner = Leaf(partly, RECT { 0, 0, 10, 10 }, "corner");
    auto* outer = Dialog(root.get(), RECT { 100, 100, 300, 300 }, "outer");
    auto* inner = Dialog(outer, RECT { 150, 150, 250, 250 }, "inner");
    auto* deep = Leaf(inner, RECT { 1, 2, 3, 4 }, "deep");
    Activate(3);
    for (IMControl* c : std::vector<IMControl*> { root.get(), partly, corner, outer, inner, deep })
        Watch(c);
    Paint();
    const std::vector<Painted> expected {
        { "corner", 700, 500, RECT { 700, 500, 800, 600 } },
        { "partly", 0, 0, kScreen },
        { "deep", 250, 250, RECT { 250, 250, 300, 300 } },
        { "inner", 100, 100, RECT { 100, 100, 300, 300 } },
        { "outer", 0, 0, kScreen },
        { "root", 0, 0, kScreen },
    };
    EXPECT_EQ(painted, expected);
    EXPECT_EQ(device.viewport, kScreen);
    EXPECT_EQ(device.originX, 0);
    EXPECT_EQ(device.originY, 0);
    const std::vector<RECT> viewports { kScreen, RECT { 700, 500, 800, 600 }, kScreen, RECT { 100, 100, 300, 300 },
        RECT { 250, 250, 300, 300 }, RECT { 100, 100, 300, 300 }, kScreen, kScreen };
    EXPECT_EQ(device.viewportsSet, viewports);
}

TEST_F(PaintTest, DialogsOutsideTheirParentOrHiddenPaintNothingButGetClean)
{
    auto* outside = Dialog(root.get(), RECT { 800, 0, 900, 100 }, "outside");
    auto* outsideChild = Leaf(outside, RECT { 0, 0, 10, 10 }, "outsideChild");
    auto* hidden = Dialog(root.get(), RECT { 0, 0, 100, 100 }, "hidden");
    auto* hiddenChild = Leaf(hidden, RECT { 0, 0, 10, 10 }, "hiddenChild");
    auto* nested = Dialog(root.get(), RECT { 10, 10, 20, 20 }, "nested");
    auto* beyond = Dialog(nested, RECT { 10, 0, 20, 10 }, "beyond"); // touches only the right edge
    auto* beyondChild = Leaf(beyond, RECT { 0, 0, 5, 5 }, "beyondChild");
    Activate(3);
    hidden->Hide();
    for (IMControl* c : std::vector<IMControl*> { outside, outsideChild, hidden, hiddenChild, beyond, beyondChild })
        Watch(c);
    ASSERT_TRUE(root->IsDirty());
    Paint();
    EXPECT_TRUE(painted.empty());
    EXPECT_FALSE(root->IsDirty());
    EXPECT_FALSE(hiddenChild->IsDirty());
    EXPECT_FALSE(hiddenChild->IsHidden());
}

TEST_F(PaintTest, LayersPaintAscendingAndLaterChildrenOnTop)
{
    auto* top = Leaf(root.get(), RECT {}, "top", 2);
    auto* first = Leaf(root.get(), RECT {}, "first", 0);
    auto* second = Leaf(root.get(), RECT {}, "second", 0);
    Activate(1);
    for (IMControl* c : std::vector<IMControl*> { top, first, second })
        Watch(c);
    Paint();
    ASSERT_EQ(painted.size(), 3u);
    EXPECT_EQ(painted[0].name, "first");
    EXPECT_EQ(painted[1].name, "second");
    EXPECT_EQ(painted[2].name, "top");
}

TEST_F(PaintTest, WithoutADeviceChildrenStillPaintAndGetClean)
{
    SetPaintDevice(nullptr);
    auto* dialog = Dialog(root.get(), RECT { 10, 10, 20, 20 }, "dialog");
    auto* leaf = Leaf(dialog, RECT { 0, 0, 5, 5 }, "leaf");
    Activate(2);
    int paints = 0;
    ConnectTracked(leaf->sigPaint, leaf, [&](const IMEvent&) { return static_cast<long>(++paints); });
    Paint();
    EXPECT_EQ(paints, 1);
    EXPECT_FALSE(root->IsDirty());
}

}
