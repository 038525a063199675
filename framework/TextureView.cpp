#include "framework/TextureView.h"

#include "framework/PaintDevice.h"
#include "graphics/ResourceManager.h"

#include <cmath>
#include <cstddef>
#include <limits>

namespace {

// Truncates towards zero; false when the value does not fit an int (or is not a number).
bool ToInt(double value, int32_t& out)
{
    if (!(value > static_cast<double>(std::numeric_limits<int32_t>::min()) - 1.0
            && value < static_cast<double>(std::numeric_limits<int32_t>::max()) + 1.0))
        return false;
    out = static_cast<int32_t>(value);
    return true;
}

}

IMTextureView::~IMTextureView()
{
    if (hasTexture && resourceManager)
        resourceManager->ReleaseTexture(texture);
}

void IMTextureView::SetTexture(const std::wstring& name)
{
    if (!resourceManager)
        return;
    AdoptTexture(resourceManager->AcquireTexture(name));
}

void IMTextureView::SetTexture(int index)
{
    if (!resourceManager)
        return;
    AdoptTexture(resourceManager->AddTextureRef(index));
}

void IMTextureView::AdoptTexture(int index)
{
    const TextureSlot* slot = resourceManager->Slot(index);
    if (!slot) {
        // The table had nothing under that name or index. Showing nothing is the only safe
        // answer: a stale index could name another texture once the table grows.
        if (hasTexture) {
            resourceManager->ReleaseTexture(texture);
            hasTexture = false;
            dirty = true;
        }
        return;
    }
    if (hasTexture && index == texture) {
        resourceManager->ReleaseTexture(index);
        return;
    }
    // The caller's reference becomes the view's own.
    if (hasTexture)
        resourceManager->ReleaseTexture(texture);
    texture = index;
    hasTexture = true;
    SetSourceRect(slot->imageRect);
    dirty = true;
}

long IMTextureView::Draw()
{
    if (hasTexture) {
        if (IMPaintDevice* device = GetPaintDevice()) {
            const RECT source = GetSourceRect();
            device->DrawQuad(texture, GetRect(), &source, colour, angle);
        }
    }
    dirty = false;
    return 0;
}

bool IMTextureView::HitTest(const POINT& point) const
{
    if (!hasTexture || !resourceManager)
        return false;
    const RECT dest = GetRect();
    const RECT src = GetSourceRect();
    const int32_t cx = (dest.right - dest.left) / 2 + dest.left;
    const int32_t cy = (dest.bottom - dest.top) / 2 + dest.top;

    // Turn the point back by the view's angle about the centre of the rectangle.
    const double c = std::cos(-static_cast<double>(angle));
    const double s = std::sin(-static_cast<double>(angle));
    const double dx = static_cast<double>(point.x) - cx;
    const double dy = static_cast<double>(point.y) - cy;
    int32_t x = 0;
    int32_t y = 0;
    if (!ToInt(cx + c * dx - s * dy, x) || !ToInt(cy + s * dx + c * dy, y))
        return false;
    if (!PtInRect(dest, x, y))
        return false;

    // Map into the source rectangle (stretching), products first.
    const int64_t tx = src.left
        + static_cast<int64_t>(src.right - src.left) * (x - dest.left) / (dest.right - dest.left);
    const int64_t ty = src.top
        + static_cast<int64_t>(src.bottom - src.top) * (y - dest.top) / (dest.bottom - dest.top);
    if (!(tx >= src.left && tx < src.right && ty >= src.top && ty < src.bottom))
        return false;

    resourceManager->RestoreTexture(texture);
    const TextureSlot* slot = resourceManager->Slot(texture);
    if (!slot || tx < 0 || ty < 0 || tx >= slot->textureWidth || ty >= slot->textureHeight)
        return false;
    const size_t offset = (static_cast<size_t>(ty) * slot->textureWidth + static_cast<size_t>(tx)) * 4 + 3;
    if (offset >= slot->pixels.size())
        return false;
    const int32_t texelAlpha = slot->pixels[offset];
    const int32_t colourAlpha = static_cast<int32_t>(colour >> 24);
    return (colourAlpha / 255) * texelAlpha >= alphaThreshold;
}
