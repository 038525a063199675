// The control tree: deferred insertion and deletion, layers, release, ownership.

#include "TreeFixture.h"

#include <vector>

namespace {

using Strings = std::vector<std::string>;

class ControlTreeTest : public TreeTest {
protected:
    // The active children as "layer:name", layers ascending.
    Strings Children(const IMDialog& dialog) const
    {
        Strings out;
        for (const auto& [layer, controls] : dialog.GetChildren())
            for (const IMControl* c : controls)
                out.push_back(std::to_string(layer) + ":" + Name(c));
        return out;
    }
};

TEST_F(ControlTreeTest, ChildrenBecomeActiveAtTheNextUpdateInLayerOrder)
{
    Leaf(root.get(), RECT { 0, 0, 10, 10 }, "b", 2);
    Leaf(root.get(), RECT { 0, 0, 10, 10 }, "a", 0);
    Leaf(root.get(), RECT { 0, 0, 10, 10 }, "c", 2);
    EXPECT_TRUE(root->GetChildren().empty());
    EXPECT_EQ(root->FindChildAt(5, 5), nullptr);
    Step();
    EXPECT_EQ(Children(*root), (Strings { "0:a", "2:b", "2:c" }));
    EXPECT_EQ(Name(root->FindChildAt(5, 5)), "c");
}

TEST_F(ControlTreeTest, ControlCreatedDuringAnUpdateIsNeitherUpdatedNorHitUntilTheNext)
{
    TestLeaf* late = nullptr;
    ConnectTracked(root->sigUpdate, root.get(), [&](const IMEvent&) {
        if (!late) {
            late = Leaf(root.get(), RECT { 0, 0, 10, 10 }, "late");
            Log(late->sigUpdate, late, "update");
        }
        return 0L;
    });
    Step();
    ASSERT_NE(late, nullptr);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(root->FindChildAt(1, 1), nullptr);
    Step();
    EXPECT_EQ(log, (Strings { "update:late" }));
    EXPECT_EQ(root->FindChildAt(1, 1), late);
}

TEST_F(ControlTreeTest, UpdateRunsFrameHookThenSignalThenChildrenLayersAscending)
{
    auto* high = Leaf(root.get(), RECT {}, "high", 5);
    auto* low = Leaf(root.get(), RECT {}, "low", -1);
    auto* mid = Leaf(root.get(), RECT {}, "mid", 0);
    for (IMControl* c : { static_cast<IMControl*>(root.get()), static_cast<IMControl*>(high),
             static_cast<IMControl*>(low), static_cast<IMControl*>(mid) })
        Log(c->sigUpdate, c, "update");
    Step();
    EXPECT_EQ(log, (Strings { "update:root", "update:low", "update:mid", "update:high" }));
}

TEST_F(ControlTreeTest, ReleaseDuringAnUpdateDeletesAtTheEndOfThatUpdate)
{
    bool firstDeleted = false;
    bool secondDeleted = false;
    auto* first = Leaf(root.get(), RECT {}, "first");
    auto* second = Leaf(root.get(), RECT {}, "second");
    first->deleted = &firstDeleted;
    second->deleted = &secondDeleted;
    Step();

    // The first child, while updated, releases itself and its sibling.
    ConnectTracked(first->sigUpdate, first, [&](const IMEvent&) {
        first->Release();
        second->Close();
        EXPECT_FALSE(firstDeleted);
        EXPECT_FALSE(secondDeleted);
        EXPECT_TRUE(first->IsEnabled()); // still safe to use
        return 0L;
    });
    Step();
    EXPECT_TRUE(firstDeleted);
    EXPECT_TRUE(secondDeleted);
    EXPECT_TRUE(root->GetChildren().empty());
}

TEST_F(ControlTreeTest, DialogClosingItselfFromItsOwnHandlerGoesAtTheParentsNextUpdate)
{
    bool dialogDeleted = false;
    bool childDeleted = false;
    auto* dialog = Dialog(root.get(), RECT { 0, 0, 100, 100 }, "dialog");
    dialog->deleted = &dialogDeleted;
    auto* child = Leaf(dialog, RECT { 0, 0, 10, 10 }, "child");
    child->deleted = &childDeleted;
    Step();
    Log(dialog->sigClosed, dialog, "closed");

    ConnectTracked(dialog->sigUpdate, dialog, [&](const IMEvent&) {
        dialog->Close();
        // The handler carries on with the dialog it just closed.
        EXPECT_EQ(dialog->GetChildren().size(), 1u);
        EXPECT_TRUE(dialog->IsPendingDelete(child));
        EXPECT_FALSE(dialogDeleted);
        return 0L;
    });
    // The dialog's update runs inside the root's: the root's closing ProcessPendingDeletes
    // of the same pass deletes it.
    Step();
    EXPECT_EQ(log, (Strings { "closed:dialog" }));
    EXPECT_TRUE(dialogDeleted);
    EXPECT_TRUE(childDeleted);
}

TEST_F(ControlTreeTest, DeletingTheHoveredOrFocusedChildClearsThePointer)
{
    auto* child = Leaf(root.get(), RECT { 0, 0, 50, 50 }, "child");
    child->SetFocusable(true);
    Step();
    MouseMove(10, 10);
    child->SetFocus(true);
    ASSERT_EQ(root->GetHovered(), child);
    ASSERT_EQ(root->GetFocusChild(), child);

    child->Release();
    // Released but not yet deleted: still drawn and hit until the update.
    EXPECT_EQ(root->GetHovered(), child);
    Step();
    EXPECT_EQ(root->GetHovered(), nullptr);
    EXPECT_EQ(root->GetFocusChild(), nullptr);
}

TEST_F(ControlTreeTest, ReleasingAPendingChildDeletesItAtOnceAndForgetsItsFocus)
{
    bool deleted = false;
    auto* child = Leaf(root.get(), RECT { 0, 0, 50, 50 }, "child", 3);
    child->deleted = &deleted;
    child->SetFocusable(true);
    child->SetFocus(true);
    ASSERT_EQ(root->GetFocusChild(), child);

    child->Release();
    EXPECT_TRUE(deleted);
    EXPECT_EQ(root->GetFocusChild(), nullptr);
    EXPECT_TRUE(root->GetPendingChildren().empty());
}

TEST_F(ControlTreeTest, ReleaseQueuesOnceAndAddChildTwiceAddsOnce)
{
    auto* child = Leaf(root.get(), RECT {}, "child");
    root->AddChild(child, 0);
    root->AddChild(child, 4);
    Step();
    EXPECT_EQ(Children(*root), (Strings { "0:child" }));
    root->AddChild(child, 0);
    Step();
    EXPECT_EQ(Children(*root), (Strings { "0:child" }));

    child->Release();
    child->Release();
    child->Close();
    Step(); // a second delete would be caught by the address sanitizer
    EXPECT_TRUE(root->GetChildren().empty());
}

TEST_F(ControlTreeTest, SetLayerMovesAnActiveChildToTheTopOfTheLayer)
{
    auto* a = Leaf(root.get(), RECT { 0, 0, 10, 10 }, "a");
    auto* b = Leaf(root.get(), RECT { 0, 0, 10, 10 }, "b");
    auto* c = Leaf(root.get(), RECT { 0, 0, 10, 10 }, "c", 1);
    Step();

    struct Case {
        IMControl* child;
        int layer;
        Strings expected;
    };
    const std::vector<Case> cases {
        { a, 0, { "0:a", "0:b", "1:c" } }, // same layer: nothing moves
        { a, 1, { "0:b", "1:c", "1:a" } }, // another layer: last there
        { b, 7, { "1:c", "1:a", "7:b" } }, // layer 0 became empty and is dropped
        { c, 1, { "1:c", "1:a", "7:b" } },
        { c, -2, { "-2:c", "1:a", "7:b" } },
    };
    for (const auto& step : cases) {
        root->SetLayer(step.child, step.layer);
        EXPECT_EQ(Children(*root), step.expected) << Name(step.child) << " -> " << step.layer;
        EXPECT_EQ(root->GetLayer(step.child), step.layer);
    }
    EXPECT_EQ(root->GetChildren().count(0), 0u);
    EXPECT_EQ(Name(root->FindChildAt(1, 1)), "b");
}

TEST_F(ControlTreeTest, MissingChildrenAreNoOps)
{
    TestDialog other(nullptr, nullptr);
    auto* stranger = Leaf(&other, RECT {}, "stranger");
    auto* pending = Leaf(root.get(), RECT {}, "pending", 2);
    root->SetLayer(stranger, 3);
    root->SetLayer(pending, 3);
    root->RemoveChild(stranger);
    EXPECT_EQ(root->GetLayer(stranger), 0);
    EXPECT_EQ(root->GetLayer(pending), 0);
    EXPECT_FALSE(root->IsPendingDelete(stranger));
    Step();
    EXPECT_EQ(Children(*root), (Strings { "2:pending" }));
}

TEST_F(ControlTreeTest, SetLayerFromAHandlerDuringTheUpdateWalkAppliesAfterTheWalk)
{
    auto* a = Leaf(root.get(), RECT {}, "a");
    auto* b = Leaf(root.get(), RECT {}, "b");
    auto* c = Leaf(root.get(), RECT {}, "c");
    Step();
    for (IMControl* x : { static_cast<IMControl*>(a), static_cast<IMControl*>(b), static_cast<IMControl*>(c) })
        Log(x->sigUpdate, x, "update");
    ConnectTracked(a->sigUpdate, a, [&](const IMEvent&) {
        root->SetLayer(a, 0); // no change
        root->SetLayer(b, 9);
        root->SetLayer(a, 9);
        return 0L;
    });
    Step();
    // Each child updated once, in the order the walk began with.
    EXPECT_EQ(log, (Strings { "update:a", "update:b", "update:c" }));
    EXPECT_EQ(Children(*root), (Strings { "0:c", "9:b", "9:a" }));
}

TEST_F(ControlTreeTest, FocusHandlersSurviveReleaseAndAllOthersGo)
{
    auto* child = Leaf(root.get(), RECT { 0, 0, 10, 10 }, "child");
    child->SetFocusable(true);
    Step();
    Log(child->sigFocusGained, child, "gained");
    Log(child->sigFocusLost, child, "lost");
    Log(child->sigDirty, child, "dirty");
    Log(child->sigMouseEnter, child, "enter");
    Log(child->sigKey, child, "key");
    Log(child->sigClosed, child, "closed");

    child->Release();
    child->SetFocus(true);
    child->SetFocus(false);
    child->SetDirty(true);
    child->OnMouseEnter(IMMouseEvent(root.get(), IM_MOUSE_ENTER, 0, 0, 0));
    child->OnKey(IMKeyboardEvent(root.get(), WM_KEYDOWN, VK_SPACE, 0));
    EXPECT_EQ(log, (Strings { "gained:child", "lost:child" }));
}

TEST_F(ControlTreeTest, RootDestructorDeletesQueuedActiveAndPendingChildren)
{
    bool queued = false, active = false, pending = false, grandchild = false;
    auto* q = Leaf(root.get(), RECT {}, "queued");
    auto* dialog = Dialog(root.get(), RECT { 0, 0, 10, 10 }, "dialog");
    auto* g = Leaf(dialog, RECT {}, "grandchild");
    q->deleted = &queued;
    dialog->deleted = &active;
    g->deleted = &grandchild;
    Step();
    q->Release();
    auto* p = Leaf(root.get(), RECT {}, "pending");
    p->deleted = &pending;
    root.reset();
    EXPECT_TRUE(queued);
    EXPECT_TRUE(active);
    EXPECT_TRUE(pending);
    EXPECT_TRUE(grandchild);
}

TEST_F(ControlTreeTest, DirtyFlagOfADialogIsItsOwnOrAnyChilds)
{
    auto* dialog = Dialog(root.get(), RECT { 0, 0, 100, 100 }, "dialog");
    auto* leaf = Leaf(dialog, RECT { 0, 0, 10, 10 }, "leaf");
    Step();
    root->SetDirty(false);
    EXPECT_FALSE(root->IsDirty());
    EXPECT_FALSE(leaf->IsDirty());

    leaf->MoveTo(5, 5);
    EXPECT_TRUE(leaf->IsDirty());
    EXPECT_TRUE(dialog->IsDirty());
    EXPECT_TRUE(root->IsDirty());
    root->SetDirty(false);
    EXPECT_FALSE(leaf->IsDirty());
    EXPECT_FALSE(dialog->IsDirty());

    dialog->SetDirty(true);
    EXPECT_FALSE(leaf->IsDirty());
    EXPECT_TRUE(root->IsDirty());
    root->SetDirty(false);

    // The rectangle it already has changes nothing.
    Log(leaf->sigDirty, leaf, "dirty");
    leaf->SetRect(RECT { 5, 5, 15, 15 });
    EXPECT_TRUE(log.empty());
    EXPECT_FALSE(root->IsDirty());
    leaf->SetSize(3, 4);
    EXPECT_EQ(log, (Strings { "dirty:leaf" }));
}

}
