#pragma once
// A headless display with a resource manager of its own (no skin, no process-wide pointer),
// and helpers to make textures from texel functions and to read canvas pixels.

#include "graphics/ResourceManager.h"
#include "platform/Resources.h"

#include "ImageFixtures.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

class GraphicsTest : public testing::Test {
protected:
    static constexpr int kCanvas = 256;

    void SetUp() override
    {
        display = IMDisplay::OpenHeadless(kCanvas, kCanvas);
        ASSERT_TRUE(display);
        manager = std::make_unique<IMResourceManager>(display.get(), true);
        manager->Clear();
    }
    void TearDown() override
    {
        manager.reset();
        display.reset();
        ClearInstalledResources();
    }

    // A texture named `name` of width x height texels from a texel function.
    int MakeTexture(const std::wstring& name, int width, int height, const TexelFunction& texel)
    {
        std::vector<uint8_t> bgra(size_t(width) * size_t(height) * 4);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                Rgba c = texel(x, y);
                uint8_t* p = bgra.data() + (size_t(y) * size_t(width) + size_t(x)) * 4;
                p[0] = c.b;
                p[1] = c.g;
                p[2] = c.r;
                p[3] = c.a;
            }
        }
        return manager->CreateTextureFromPixels(name, width, height, bgra.data(), width * 4);
    }

    // Reads the canvas once per call; ARGB of (x, y).
    uint32_t Pixel(int x, int y)
    {
        auto pixels = display->ReadPixels();
        return pixels.at(size_t(y) * kCanvas + size_t(x));
    }

    std::unique_ptr<IMDisplay> display;
    std::unique_ptr<IMResourceManager> manager;
};

inline uint32_t Argb(Rgba c) { return uint32_t(c.a) << 24 | uint32_t(c.r) << 16 | uint32_t(c.g) << 8 | c.b; }
