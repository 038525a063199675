// Damaged PNG bytes must be refused, never read out of bounds; a picture that decodes has
// exactly width * height texels.
#include "graphics/ImageDecoder.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::span<const uint8_t> bytes(data, size);
    if (auto image = DecodePng(bytes)) {
        if (image->width <= 0 || image->height <= 0 || image->width > kMaxImageSide || image->height > kMaxImageSide
            || image->bgra.size() != size_t(image->width) * size_t(image->height) * 4)
            std::abort();
    }
    // The front door the texture manager uses: PNG first, JPEG as the fallback.
    if (auto image = DecodeImage(bytes)) {
        if (image->bgra.size() != size_t(image->width) * size_t(image->height) * 4)
            std::abort();
    }
    return 0;
}
