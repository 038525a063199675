#pragma once
// A paint device that draws nothing and records what the tree asked of it: every viewport
// set and every quad with the origin and viewport in force when it was drawn.

#include "framework/PaintDevice.h"

#include <vector>

class RecordingPaintDevice final : public IMPaintDevice {
public:
    struct Quad {
        int texture { 0 };
        RECT dest {};
        RECT source {};
        bool hasSource { false };
        uint32_t colour { 0 };
        float angle { 0.0f };
        int32_t originX { 0 };
        int32_t originY { 0 };
        RECT viewport {};
    };

    explicit RecordingPaintDevice(RECT whole = RECT { 0, 0, 800, 600 }) : viewport(whole) { }

    RECT GetViewport() const override { return viewport; }
    void SetViewport(const RECT& r) override
    {
        viewport = r;
        viewportsSet.push_back(r);
    }
    void DrawQuad(int textureIndex, const RECT& dest, const RECT* source, uint32_t colour,
        float angle) override
    {
        quads.push_back(Quad { textureIndex, dest, source ? *source : RECT {}, source != nullptr, colour,
            angle, originX, originY, viewport });
    }

    RECT viewport;
    std::vector<RECT> viewportsSet;
    std::vector<Quad> quads;
};

// Installs a paint device for the life of a scope.
class ScopedPaintDevice {
public:
    explicit ScopedPaintDevice(IMPaintDevice& device) { SetPaintDevice(&device); }
    ~ScopedPaintDevice() { SetPaintDevice(nullptr); }
    ScopedPaintDevice(const ScopedPaintDevice&) = delete;
    ScopedPaintDevice& operator=(const ScopedPaintDevice&) = delete;
};
