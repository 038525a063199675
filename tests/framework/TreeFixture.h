#pragma once
// Small trees for the framework tests: a root dialog (no parent), leaves with a plain
// rectangle, an event log that names controls, and one update step.

#include "framework/Dialog.h"
#include "framework/Messages.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

// A leaf hit on its whole rectangle that paints through sigPaint only.
class TestLeaf : public IMViewControl<IMEmptyView> {
public:
    TestLeaf(IMDialog* parent, RECT r, int layer = 0) : IMViewControl<IMEmptyView>(parent, layer)
    {
        SetRect(r);
    }
    ~TestLeaf() override
    {
        if (deleted)
            *deleted = true;
    }
    bool* deleted { nullptr };
};

// A dialog that reports its deletion.
class TestDialog : public IMDialog {
public:
    TestDialog(IMDialog* parent, const RECT* r, int layer = 0) : IMDialog(parent, r, layer) { }
    ~TestDialog() override
    {
        if (deleted)
            *deleted = true;
    }
    bool* deleted { nullptr };
};

class TreeTest : public ::testing::Test {
protected:
    TreeTest() : root(std::make_unique<TestDialog>(nullptr, nullptr)) { names[root.get()] = "root"; }

    // One idle pass of the tree: pending insertions and deletions take effect.
    void Step() { root->Update(IMEvent(root.get(), WM_CLOSE)); }

    TestLeaf* Leaf(IMDialog* parent, RECT r, const std::string& name, int layer = 0)
    {
        auto* leaf = new TestLeaf(parent, r, layer);
        names[leaf] = name;
        return leaf;
    }
    TestDialog* Dialog(IMDialog* parent, RECT r, const std::string& name, int layer = 0)
    {
        auto* dialog = new TestDialog(parent, &r, layer);
        names[dialog] = name;
        return dialog;
    }

    std::string Name(const IMControl* control) const
    {
        const auto it = names.find(control);
        return it == names.end() ? "?" : it->second;
    }

    // Logs "<what>:<sender>" (and the position for mouse events) whenever the signal fires.
    template <class E>
    void Log(IMSignal<E>& signal, IMControl* owner, const std::string& what)
    {
        ConnectTracked(signal, owner, [this, what](const E& e) {
            log.push_back(what + ":" + Name(e.sender) + Position(e));
            return 0L;
        });
    }

    static std::string Position(const IMEvent&) { return ""; }
    static std::string Position(const IMMouseEvent& e)
    {
        return "@" + std::to_string(e.x) + "," + std::to_string(e.y);
    }

    void MouseMove(int x, int y, uint32_t keys = 0)
    {
        root->OnMouseMove(IMMouseEvent(nullptr, WM_MOUSEMOVE, keys, x, y));
    }
    void MouseButton(uint32_t message, int x, int y, uint32_t keys)
    {
        root->OnMouseButton(IMMouseEvent(nullptr, message, keys, x, y));
    }
    void Key(uint32_t message, uint32_t code)
    {
        root->OnKey(IMKeyboardEvent(nullptr, message, code, 0));
    }

    std::unique_ptr<TestDialog> root;
    std::map<const IMControl*, std::string> names;
    std::vector<std::string> log;
};
