// Damaged JPEG bytes must be refused, never read out of bounds; a picture that decodes has
// exactly width * height texels.
#include "graphics/ImageDecoder.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (auto image = DecodeJpeg(std::span<const uint8_t>(data, size))) {
        if (image->width <= 0 || image->height <= 0 || image->width > kMaxImageSide || image->height > kMaxImageSide
            || image->bgra.size() != size_t(image->width) * size_t(image->height) * 4)
            std::abort();
    }
    return 0;
}
