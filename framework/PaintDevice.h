#pragma once
// What the paint traversal and the views need from the renderer: the device viewport that
// clips, the drawing origin that offsets every quad, and the quad itself. The resource
// manager implements it on the real device; tests use a recording double.

#include "framework/Types.h"

#include <cstdint>

class IMPaintDevice {
public:
    virtual ~IMPaintDevice() = default;

    // The device viewport in back-buffer pixels (left, top, right, bottom). It clips; it
    // does not move the origin.
    virtual RECT GetViewport() const = 0;
    virtual void SetViewport(const RECT& viewport) = 0;

    // Draws the texture of table slot `textureIndex` into `dest` (relative to the origin).
    // `source` is a rectangle in image pixels, or null for the whole image. `colour` (ARGB)
    // multiplies texel colour and alpha; `angle` rotates about the centre of `dest`.
    virtual void DrawQuad(int textureIndex, const RECT& dest, const RECT* source, uint32_t colour,
        float angle) = 0;

    // Drawing origin added to every quad; containers move it while they paint children.
    int32_t originX { 0 };
    int32_t originY { 0 };
};

// The device the tree paints through (null before a device exists). Not owned.
IMPaintDevice* GetPaintDevice();
void SetPaintDevice(IMPaintDevice* device);
