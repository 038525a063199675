#pragma once
// The screens on a headless 800 x 600 main window with the manual clock: input goes in as
// window messages, and controls are found in the tree by what they show.

#include "../widgets/WidgetFixture.h"

#include "framework/Button.h"
#include "framework/Dialog.h"
#include "graphics/PngWriter.h"
#include "graphics/TextLabel.h"
#include "platform/Cursor.h"
#include "platform/Display.h"

#include <string>
#include <vector>

class ScreenFixture : public WidgetFixture {
protected:
    void SetUp() override
    {
        ResetCursorState();
        WidgetFixture::SetUp();
    }
    void TearDown() override
    {
        WidgetFixture::TearDown();
        ResetCursorState();
    }

    // Active and pending children of `dialog`, lowest layer first.
    static std::vector<IMControl*> ChildrenOf(const IMDialog* dialog)
    {
        std::vector<IMControl*> all;
        for (const auto* map : { &dialog->GetChildren(), &dialog->GetPendingChildren() })
            for (const auto& [layer, controls] : *map)
                all.insert(all.end(), controls.begin(), controls.end());
        return all;
    }

    // Every control of the subtree under `dialog` of type T, depth first.
    template <class T>
    static std::vector<T*> FindAll(const IMDialog* dialog)
    {
        std::vector<T*> found;
        for (IMControl* child : ChildrenOf(dialog)) {
            if (auto* hit = dynamic_cast<T*>(child))
                found.push_back(hit);
            if (auto* inner = dynamic_cast<IMDialog*>(child)) {
                auto below = FindAll<T>(inner);
                found.insert(found.end(), below.begin(), below.end());
            }
        }
        return found;
    }

    // The text label of the subtree showing exactly `text`, or null.
    static IMTextLabel* FindText(const IMDialog* dialog, const std::wstring& text)
    {
        for (IMTextLabel* label : FindAll<IMTextLabel>(dialog))
            if (label->GetText() == text)
                return label;
        return nullptr;
    }

    // The button of the subtree whose normal picture is `texture`, or null.
    static IMButtonBase<IMStateView>* FindButton(const IMDialog* dialog, const std::wstring& texture)
    {
        for (auto* button : FindAll<IMButtonBase<IMStateView>>(dialog))
            if (button->GetStateTexture(IMStateView::kNormal) == texture)
                return button;
        return nullptr;
    }

    // The window point at the centre of a control whose rectangle is given in window space.
    static POINT Centre(const RECT& r) { return POINT { (r.left + r.right) / 2, (r.top + r.bottom) / 2 }; }
    void ClickAt(const RECT& windowRect)
    {
        const POINT p = Centre(windowRect);
        Click(p.x, p.y);
    }

    // Whether `control` is still an active or pending child of the main window.
    bool OnWindow(const IMControl* control) const
    {
        for (IMControl* child : ChildrenOf(window))
            if (child == control)
                return true;
        return false;
    }

    // Draws a frame of the whole tree and writes it as `name` into the working folder (the
    // build's test folder); answers the canvas.
    std::vector<uint32_t> Screenshot(const std::string& name)
    {
        window->SetDirty(true);
        Pass();
        std::vector<uint32_t> pixels = window->Display()->ReadPixels();
        EXPECT_EQ(pixels.size(), 800u * 600u);
        if (pixels.size() == 800u * 600u) {
            EXPECT_TRUE(WritePng(name, 800, 600, pixels));
        }
        return pixels;
    }
    static uint32_t PixelAt(const std::vector<uint32_t>& pixels, int x, int y)
    {
        return pixels.at(static_cast<size_t>(y) * 800 + static_cast<size_t>(x));
    }
    // Dark ink (the screens' dark blue text) within the rectangle.
    static int InkIn(const std::vector<uint32_t>& pixels, const RECT& r)
    {
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) {
                const uint32_t p = PixelAt(pixels, x, y);
                n += ((p >> 16) & 0xFF) < 0x50 && ((p >> 8) & 0xFF) < 0x60 && (p & 0xFF) < 0x80;
            }
        return n;
    }
};
