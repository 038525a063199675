#pragma once
// IMTextureView: a view that draws a texture of the texture table with a colour and a
// rotation, and takes the mouse only on the texels that are opaque enough (also when the
// view is rotated or stretched). The view holds one reference on its texture while it has
// one.

#include "framework/View.h"

#include <cstdint>
#include <string>

class IMTextureView : public IMView {
public:
    IMTextureView() = default;
    // Drops the view's texture reference.
    ~IMTextureView() override;

    // Shows the texture of that name (acquired from the table); the source rectangle
    // becomes the whole image. Showing the texture already shown changes nothing.
    void SetTexture(const std::wstring& name);
    // The same for a table index.
    void SetTexture(int index);

    // Draws the texture into the rectangle (relative to the device origin) when there is one.
    long Draw() override;
    // Texel test: the point, turned back by `angle` about the rectangle's centre, must fall
    // in the rectangle, and the texel it maps to must have alpha (scaled by the colour's
    // alpha) of at least `alphaThreshold`. A view without a texture is never hit.
    bool HitTest(const POINT& point) const override;

    int GetTexture() const { return texture; }
    bool HasTexture() const { return hasTexture; }

    // Multiplied into the texels' colour and alpha when drawing (ARGB).
    uint32_t colour { 0xFFFFFFFF };
    // Rotation about the centre of the rectangle, in radians.
    float angle { 0.0f };
    // Least texel alpha that counts as a hit.
    int32_t alphaThreshold { 255 };

protected:
    // Takes a texture for which the caller holds one reference (dropped here).
    void AdoptTexture(int index);

    int32_t texture { 0 };
    bool hasTexture { false };
};
