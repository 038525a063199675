#pragma once
// A texture table over a headless display, installed as the process-wide manager, with a
// helper that makes small textures from texel alphas.

#include "RecordingPaintDevice.h"
#include "TreeFixture.h"

#include "graphics/ResourceManager.h"
#include "platform/Display.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

class TextureTest : public TreeTest {
protected:
    TextureTest()
        : display(IMDisplay::OpenHeadless(800, 600))
    {
        if (display) {
            manager = std::make_unique<IMResourceManager>(display.get(), true);
            resourceManager = manager.get();
        }
        SetPaintDevice(&device);
    }
    ~TextureTest() override
    {
        // The tree goes first: its views give their references back to the table.
        root.reset();
        SetPaintDevice(nullptr);
        resourceManager = nullptr;
    }
    void SetUp() override { ASSERT_NE(manager, nullptr) << "no headless display"; }

    // A width x height texture whose texel alpha is alphaAt(x, y). The test keeps the
    // creation reference, so the texture lives for the whole test: a view's references come
    // on top of that one.
    template <class AlphaAt>
    int MakeTexture(const std::wstring& name, int width, int height, AlphaAt alphaAt)
    {
        std::vector<uint8_t> bgra(static_cast<size_t>(width) * height * 4);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                uint8_t* t = &bgra[(static_cast<size_t>(y) * width + x) * 4];
                t[0] = 10;
                t[1] = 20;
                t[2] = 30;
                t[3] = static_cast<uint8_t>(alphaAt(x, y));
            }
        const int index = manager->CreateTextureFromPixels(name, width, height, bgra.data(), width * 4);
        return index;
    }
    int MakeOpaque(const std::wstring& name, int width, int height)
    {
        return MakeTexture(name, width, height, [](int, int) { return 255; });
    }
    int RefCount(int index) const
    {
        const TextureSlot* slot = manager->Slot(index);
        return slot ? slot->refCount : 0;
    }

    std::unique_ptr<IMDisplay> display;
    std::unique_ptr<IMResourceManager> manager;
    RecordingPaintDevice device;
};
