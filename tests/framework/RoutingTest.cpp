// Input routing: hover tracking, click synthesis, double clicks, keyboard and focus.

#include "TreeFixture.h"

#include <vector>

namespace {

using Strings = std::vector<std::string>;

class RoutingTest : public TreeTest {
protected:
    // Logs every mouse signal of a control.
    void LogMouse(IMControl* c)
    {
        Log(c->sigMouseEnter, c, "enter");
        Log(c->sigMouseLeave, c, "leave");
        Log(c->sigMouseButton, c, "button");
        Log(c->sigClick, c, "click");
        Log(c->sigDoubleClick, c, "double");
    }
    void Click(int x, int y)
    {
        MouseButton(WM_LBUTTONDOWN, x, y, MK_LBUTTON);
        MouseButton(WM_LBUTTONUP, x, y, 0);
    }
};

TEST_F(RoutingTest, TheNewChildGetsItsEnterBeforeTheOldOneItsLeave)
{
    auto* a = Leaf(root.get(), RECT { 0, 0, 50, 50 }, "a");
    auto* b = Leaf(root.get(), RECT { 50, 0, 100, 50 }, "b");
    Step();
    LogMouse(a);
    LogMouse(b);
    MouseMove(10, 10);
    MouseMove(60, 10);
    MouseMove(200, 200);
    EXPECT_EQ(log, (Strings { "enter:a@10,10", "enter:b@60,10", "leave:a@60,10", "leave:b@200,200" }));
    EXPECT_FALSE(a->IsMouseOver());
    EXPECT_FALSE(b->IsMouseOver());
    EXPECT_EQ(root->GetHovered(), nullptr);
}

TEST_F(RoutingTest, LaterChildOfALayerAndHigherLayersTakeTheMouse)
{
    auto* top = Leaf(root.get(), RECT { 0, 0, 50, 50 }, "top", 1);
    Leaf(root.get(), RECT { 0, 0, 50, 50 }, "under", 0);
    auto* later = Leaf(root.get(), RECT { 0, 0, 50, 50 }, "later", 0);
    Step();
    MouseMove(5, 5);
    EXPECT_EQ(root->GetHovered(), top);
    top->Hide();
    EXPECT_EQ(root->GetHovered(), later);
}

TEST_F(RoutingTest, ClickReachesEveryLevelRootFirstInEachParentsSpace)
{
    auto* outer = Dialog(root.get(), RECT { 100, 100, 300, 300 }, "outer");
    auto* inner = Dialog(outer, RECT { 5, 5, 105, 105 }, "inner");
    auto* button = Leaf(inner, RECT { 10, 10, 60, 40 }, "button");
    Step();
    Step();
    Step();
    for (IMControl* c : std::vector<IMControl*> { root.get(), outer, inner, button })
        Log(c->sigClick, c, "click");
    MouseMove(120, 120);
    Click(120, 120);
    EXPECT_EQ(log,
        (Strings { "click:root@120,120", "click:outer@120,120", "click:inner@20,20", "click:button@15,15" }));
    EXPECT_EQ(outer->lastMouseX, 20);
    EXPECT_EQ(inner->lastMouseY, 15);
}

TEST_F(RoutingTest, ReleaseElsewhereGivesNoClick)
{
    auto* a = Leaf(root.get(), RECT { 0, 0, 50, 50 }, "a");
    auto* b = Leaf(root.get(), RECT { 50, 0, 100, 50 }, "b");
    Step();
    Log(a->sigClick, a, "click");
    Log(b->sigClick, b, "click");
    MouseMove(10, 10);
    MouseButton(WM_LBUTTONDOWN, 10, 10, MK_LBUTTON);
    MouseMove(60, 10, MK_LBUTTON);
    MouseButton(WM_LBUTTONUP, 60, 10, 0);
    EXPECT_TRUE(log.empty());
    // b's previous button message (the release) had no button down; now a full click.
    Click(60, 10);
    EXPECT_EQ(log, (Strings { "click:b@60,10" }));
}

TEST_F(RoutingTest, ClickCodesFollowTheButton)
{
    auto* a = Leaf(root.get(), RECT { 0, 0, 50, 50 }, "a");
    Step();
    std::vector<uint32_t> codes;
    ConnectTracked(a->sigClick, a, [&](const IMMouseEvent& e) {
        codes.push_back(e.message);
        return 0L;
    });
    MouseMove(1, 1);
    MouseButton(WM_RBUTTONDOWN, 1, 1, MK_RBUTTON);
    MouseButton(WM_RBUTTONUP, 1, 1, 0);
    MouseButton(WM_MBUTTONDOWN, 1, 1, MK_MBUTTON);
    MouseButton(WM_MBUTTONUP, 1, 1, 0);
    MouseButton(WM_LBUTTONDOWN, 1, 1, MK_LBUTTON);
    MouseButton(WM_LBUTTONUP, 1, 1, 0);
    EXPECT_EQ(codes, (std::vector<uint32_t> { IM_RIGHT_CLICK, IM_MIDDLE_CLICK, IM_LEFT_CLICK }));
}

TEST_F(RoutingTest, DoubleClickGivesButtonDoubleAndASecondClick)
{
    auto* a = Leaf(root.get(), RECT { 0, 0, 50, 50 }, "a");
    Step();
    LogMouse(a);
    MouseMove(1, 1);
    log.clear();
    Click(1, 1);
    MouseButton(WM_LBUTTONDBLCLK, 1, 1, MK_LBUTTON);
    MouseButton(WM_LBUTTONUP, 1, 1, 0);
    EXPECT_EQ(log,
        (Strings { "button:a@1,1", "click:a@1,1", "button:a@1,1", "button:a@1,1", "double:a@1,1", "click:a@1,1",
            "button:a@1,1" }));
}

TEST_F(RoutingTest, WheelHoldsAButtonOnlyWhenItsKeyStateNamesExactlyOne)
{
    auto* a = Leaf(root.get(), RECT { 0, 0, 50, 50 }, "a");
    Step();
    MouseMove(1, 1);
    const struct {
        uint32_t wParam;
        bool held;
    } cases[] = {
        { 0x00780000u, false },
        { 0x00780000u | MK_LBUTTON, true },
        { 0xFF880000u | MK_RBUTTON, true },
        { 0x00780000u | MK_MBUTTON, true },
        { 0x00780000u | MK_LBUTTON | MK_RBUTTON, false },
        { 0x00780000u | MK_LBUTTON | MK_SHIFT, false },
    };
    for (const auto& c : cases) {
        MouseButton(WM_MOUSEWHEEL, 1, 1, c.wParam);
        EXPECT_EQ(a->IsButtonHeld(), c.held) << std::hex << c.wParam;
    }
}

TEST_F(RoutingTest, DisabledControlsGetMovesEntersLeavesAndKeysButNoButtons)
{
    auto* dialog = Dialog(root.get(), RECT { 0, 0, 100, 100 }, "dialog");
    auto* leaf = Leaf(dialog, RECT { 0, 0, 50, 50 }, "leaf");
    leaf->SetFocusable(true);
    Step();
    Step();
    MouseMove(500, 500);
    leaf->SetFocus(true);
    dialog->Disable();
    leaf->Disable();
    for (IMControl* c : std::vector<IMControl*> { dialog, leaf }) {
        LogMouse(c);
        Log(c->sigMouseMove, c, "move");
        Log(c->sigKey, c, "key");
    }
    MouseMove(10, 10);
    Click(10, 10);
    MouseButton(WM_LBUTTONDBLCLK, 10, 10, MK_LBUTTON);
    Key(WM_KEYDOWN, VK_SPACE);
    MouseMove(500, 500);
    EXPECT_EQ(log,
        (Strings { "enter:dialog@10,10", "move:dialog@10,10", "enter:leaf@10,10", "move:leaf@10,10", "key:dialog",
            "key:leaf", "leave:dialog@500,500", "leave:leaf@500,500" }));
    // The button messages still reached the disabled leaf through the disabled dialog.
    EXPECT_TRUE(leaf->IsButtonHeld());
    EXPECT_EQ(root->GetHovered(), nullptr);
}

TEST_F(RoutingTest, ButtonMessagesReachADisabledDialogsHoveredChild)
{
    auto* dialog = Dialog(root.get(), RECT { 0, 0, 100, 100 }, "dialog");
    auto* leaf = Leaf(dialog, RECT { 0, 0, 50, 50 }, "leaf");
    Step();
    Step();
    dialog->Disable();
    Log(leaf->sigClick, leaf, "click");
    MouseMove(10, 10);
    Click(10, 10);
    EXPECT_EQ(log, (Strings { "click:leaf@10,10" }));
}

TEST_F(RoutingTest, HidingTheHoveredChildUnderAStillMouseEntersTheOneBelow)
{
    auto* below = Leaf(root.get(), RECT { 0, 0, 50, 50 }, "below");
    auto* above = Leaf(root.get(), RECT { 0, 0, 50, 50 }, "above");
    Step();
    MouseMove(10, 10, MK_LBUTTON);
    std::vector<std::pair<uint32_t, uint32_t>> messages;
    for (IMControl* c : std::vector<IMControl*> { below, above }) {
        LogMouse(c);
        ConnectTracked(c->sigMouseEnter, c, [&](const IMMouseEvent& e) {
            messages.emplace_back(e.message, e.wParam);
            return 0L;
        });
        ConnectTracked(c->sigMouseLeave, c, [&](const IMMouseEvent& e) {
            messages.emplace_back(e.message, e.wParam);
            return 0L;
        });
    }
    above->Hide();
    EXPECT_EQ(log, (Strings { "enter:below@10,10", "leave:above@10,10" }));
    EXPECT_EQ(messages, (std::vector<std::pair<uint32_t, uint32_t>> { { IM_MOUSE_ENTER, 0 }, { WM_MOUSELEAVE, 0 } }));
    log.clear();
    above->Show();
    EXPECT_EQ(log, (Strings { "enter:above@10,10", "leave:below@10,10" }));
}

TEST_F(RoutingTest, APressUnderAStillMouseReachesAChildThatCameAfterTheLastMove)
{
    // A screen closes and the next one opens under the pointer; the mouse does not move
    // before the press.
    auto* screen = Dialog(root.get(), RECT { 0, 0, 200, 200 }, "screen");
    Leaf(screen, RECT { 0, 0, 50, 50 }, "old");
    Step();
    MouseMove(10, 10);
    screen->Close();
    Step();
    auto* next = Dialog(root.get(), RECT { 0, 0, 200, 200 }, "next");
    auto* leaf = Leaf(next, RECT { 5, 5, 50, 50 }, "leaf");
    Step();
    LogMouse(leaf);
    Click(10, 10);
    EXPECT_EQ(log, (Strings { "enter:leaf@10,10", "button:leaf@10,10", "click:leaf@10,10", "button:leaf@10,10" }));
}

TEST_F(RoutingTest, AMovedChildUnderAStillMouseGetsEnterAndLeave)
{
    auto* leaf = Leaf(root.get(), RECT { 100, 100, 150, 150 }, "leaf");
    Step();
    MouseMove(10, 10);
    LogMouse(leaf);
    leaf->MoveTo(0, 0);
    leaf->MoveTo(100, 0);
    EXPECT_EQ(log, (Strings { "enter:leaf@10,10", "leave:leaf@10,10" }));
}

TEST_F(RoutingTest, HiddenDialogIsNeverHoveredAndItsChildrenGetNoMouse)
{
    auto* dialog = Dialog(root.get(), RECT { 0, 0, 100, 100 }, "dialog");
    auto* leaf = Leaf(dialog, RECT { 0, 0, 50, 50 }, "leaf");
    Step();
    Step();
    dialog->Hide();
    LogMouse(leaf);
    Log(leaf->sigMouseMove, leaf, "move");
    MouseMove(10, 10);
    Click(10, 10);
    EXPECT_EQ(root->GetHovered(), nullptr);
    EXPECT_FALSE(leaf->IsHidden());
    // Changes inside the hidden dialog do not enter its children from old positions.
    leaf->MoveTo(5, 5);
    EXPECT_TRUE(log.empty());
}

TEST_F(RoutingTest, ALeaveRunsDownTheWholeHoveredChain)
{
    auto* outer = Dialog(root.get(), RECT { 0, 0, 100, 100 }, "outer");
    auto* inner = Dialog(outer, RECT { 0, 0, 100, 100 }, "inner");
    auto* leaf = Leaf(inner, RECT { 0, 0, 50, 50 }, "leaf");
    Step();
    Step();
    Step();
    MouseMove(10, 10);
    ASSERT_TRUE(leaf->IsMouseOver());
    for (IMControl* c : std::vector<IMControl*> { outer, inner, leaf })
        Log(c->sigMouseLeave, c, "leave");
    MouseMove(400, 400);
    EXPECT_EQ(log, (Strings { "leave:outer@400,400", "leave:inner@400,400", "leave:leaf@400,400" }));
    EXPECT_EQ(outer->GetHovered(), nullptr);
    EXPECT_EQ(inner->GetHovered(), nullptr);
}

TEST_F(RoutingTest, KeySignalsFollowTheMessage)
{
    Step();
    Log(root->sigKeyDown, root.get(), "down");
    Log(root->sigKeyUp, root.get(), "up");
    Log(root->sigKey, root.get(), "key");
    const struct {
        uint32_t message;
        Strings expected;
    } cases[] = {
        { WM_KEYDOWN, { "down:root", "key:root" } },
        { WM_SYSKEYDOWN, { "down:root", "key:root" } },
        { WM_KEYUP, { "up:root", "key:root" } },
        { WM_SYSKEYUP, { "up:root", "key:root" } },
        { WM_CHAR, { "key:root" } },
    };
    for (const auto& c : cases) {
        log.clear();
        Key(c.message, 'A');
        EXPECT_EQ(log, c.expected) << c.message;
    }
}

TEST_F(RoutingTest, BothKeyHandlersRunWhateverTheFirstReturns)
{
    std::vector<int> order;
    ConnectTracked(root->sigKeyDown, root.get(), [&](const IMKeyboardEvent&) {
        order.push_back(1);
        return 1L;
    });
    ConnectTracked(root->sigKeyDown, root.get(), [&](const IMKeyboardEvent&) {
        order.push_back(2);
        return 0L;
    });
    Key(WM_KEYDOWN, VK_F1);
    EXPECT_EQ(order, (std::vector<int> { 1, 2 }));
}

TEST_F(RoutingTest, KeysTravelDownTheFocusChain)
{
    auto* dialog = Dialog(root.get(), RECT { 0, 0, 100, 100 }, "dialog");
    auto* edit = Leaf(dialog, RECT { 0, 0, 50, 50 }, "edit");
    auto* other = Leaf(dialog, RECT { 50, 0, 100, 50 }, "other");
    edit->SetFocusable(true);
    Step();
    Step();
    for (IMControl* c : std::vector<IMControl*> { root.get(), dialog, edit, other })
        Log(c->sigKey, c, "key");
    Key(WM_CHAR, 'x');
    edit->SetFocus(true);
    Key(WM_CHAR, 'y');
    EXPECT_EQ(log, (Strings { "key:root", "key:root", "key:dialog", "key:edit" }));
}

TEST_F(RoutingTest, DeepFocusFocusesThePathAndClearsPreviousSiblingsAtEachLevel)
{
    auto* left = Dialog(root.get(), RECT { 0, 0, 100, 100 }, "left");
    auto* leftEdit = Leaf(left, RECT { 0, 0, 50, 50 }, "leftEdit");
    auto* right = Dialog(root.get(), RECT { 100, 0, 200, 100 }, "right");
    auto* inner = Dialog(right, RECT { 0, 0, 100, 100 }, "inner");
    auto* deepEdit = Leaf(inner, RECT { 0, 0, 50, 50 }, "deepEdit");
    leftEdit->SetFocusable(true);
    deepEdit->SetFocusable(true);
    Step();
    Step();
    Step();

    leftEdit->SetFocus(true);
    EXPECT_TRUE(root->IsFocused());
    EXPECT_TRUE(left->IsFocused());
    EXPECT_EQ(root->GetFocusChild(), left);

    deepEdit->SetFocus(true);
    EXPECT_TRUE(deepEdit->IsFocused());
    EXPECT_TRUE(inner->IsFocused());
    EXPECT_TRUE(right->IsFocused());
    EXPECT_EQ(root->GetFocusChild(), right);
    EXPECT_EQ(right->GetFocusChild(), inner);
    EXPECT_EQ(inner->GetFocusChild(), deepEdit);
    // Losing the focus cleared it in the whole previous subtree.
    EXPECT_FALSE(left->IsFocused());
    EXPECT_FALSE(leftEdit->IsFocused());
    EXPECT_EQ(left->GetFocusChild(), nullptr);
}

TEST_F(RoutingTest, LeftButtonDownMovesTheFocusOnlyToFocusableChildren)
{
    auto* edit = Leaf(root.get(), RECT { 0, 0, 50, 50 }, "edit");
    auto* plain = Leaf(root.get(), RECT { 50, 0, 100, 50 }, "plain");
    auto* second = Leaf(root.get(), RECT { 100, 0, 150, 50 }, "second");
    edit->SetFocusable(true);
    second->SetFocusable(true);
    Step();
    struct Case {
        int x;
        uint32_t message;
        IMControl* expected;
    };
    const std::vector<Case> cases {
        { 10, WM_LBUTTONDOWN, edit },
        { 60, WM_LBUTTONDOWN, edit },   // not focusable: the focus stays
        { 110, WM_RBUTTONDOWN, edit },  // only the left button moves it
        { 110, WM_LBUTTONDOWN, second },
    };
    for (const auto& c : cases) {
        MouseMove(c.x, 10);
        MouseButton(c.message, c.x, 10, c.message == WM_LBUTTONDOWN ? MK_LBUTTON : MK_RBUTTON);
        EXPECT_EQ(root->GetFocusChild(), c.expected) << c.x;
        EXPECT_TRUE(c.expected->IsFocused());
    }
    EXPECT_FALSE(plain->IsFocused());
    EXPECT_FALSE(edit->IsFocused());
    plain->SetFocus(true);
    EXPECT_FALSE(plain->IsFocused());
    EXPECT_EQ(root->GetFocusChild(), second);
}

}
