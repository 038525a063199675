#pragma once
// Fills a glyph path into a 32-bit B,G,R,A image with anti-aliasing and the non-zero rule.

#include "graphics/GlyphPath.h"

#include <cstdint>

// `bits` points at the first byte of the image's top row; `pitch` is the byte step between rows.
// The path's y axis grows upwards from the image's bottom row. The image is first cleared to
// `backColour`; then the path is filled in `textColour` (both ARGB), blended without
// premultiplication: alpha = colour alpha x (coverage + 1) / 256; a full alpha copies the colour,
// otherwise each channel moves towards it by alpha / 256 and the destination alpha becomes
// alpha + dst - (alpha x dst + 255) / 256.
void RasteriseGlyph(IMGlyphPath& path, uint8_t* bits, int width, int height, int pitch, uint32_t textColour,
    uint32_t backColour);
