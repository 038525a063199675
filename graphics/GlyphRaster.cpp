#include "graphics/GlyphRaster.h"

#include <agg_conv_curve.h>
#include <agg_rasterizer_scanline_aa.h>
#include <agg_rendering_buffer.h>
#include <agg_scanline_u.h>

namespace {

void BlendTexel(uint8_t* p, uint32_t colour, unsigned cover)
{
    const unsigned r = (colour >> 16) & 0xFF;
    const unsigned g = (colour >> 8) & 0xFF;
    const unsigned b = colour & 0xFF;
    const unsigned alpha = ((colour >> 24) & 0xFF) * (cover + 1) / 256;
    if (alpha == 0)
        return;
    if (alpha >= 255) {
        p[0] = static_cast<uint8_t>(b);
        p[1] = static_cast<uint8_t>(g);
        p[2] = static_cast<uint8_t>(r);
        p[3] = 255;
        return;
    }
    auto toward = [alpha](uint8_t& channel, unsigned target) {
        const int c = channel;
        channel = static_cast<uint8_t>(c + ((static_cast<int>(target) - c) * static_cast<int>(alpha)) / 256);
    };
    toward(p[0], b);
    toward(p[1], g);
    toward(p[2], r);
    const unsigned dst = p[3];
    p[3] = static_cast<uint8_t>(alpha + dst - (alpha * dst + 255) / 256);
}

} // namespace

void RasteriseGlyph(IMGlyphPath& path, uint8_t* bits, int width, int height, int pitch, uint32_t textColour,
    uint32_t backColour)
{
    if (!bits || width <= 0 || height <= 0)
        return;
    for (int y = 0; y < height; ++y) {
        uint8_t* row = bits + static_cast<ptrdiff_t>(y) * pitch;
        for (int x = 0; x < width; ++x) {
            row[x * 4 + 0] = static_cast<uint8_t>(backColour & 0xFF);
            row[x * 4 + 1] = static_cast<uint8_t>((backColour >> 8) & 0xFF);
            row[x * 4 + 2] = static_cast<uint8_t>((backColour >> 16) & 0xFF);
            row[x * 4 + 3] = static_cast<uint8_t>((backColour >> 24) & 0xFF);
        }
    }

    // Row 0 of the buffer is the image's bottom row, so the y-up path lands upright.
    agg::rendering_buffer buffer;
    buffer.attach(bits, static_cast<unsigned>(width), static_cast<unsigned>(height), -pitch);

    agg::rasterizer_scanline_aa<> rasteriser;
    rasteriser.filling_rule(agg::fill_non_zero);
    rasteriser.clip_box(0, 0, width, height);
    agg::conv_curve<IMGlyphPath> curves(path);
    rasteriser.add_path(curves);
    if (!rasteriser.rewind_scanlines())
        return;

    agg::scanline_u8 scanline;
    scanline.reset(rasteriser.min_x(), rasteriser.max_x());
    while (rasteriser.sweep_scanline(scanline)) {
        const int y = scanline.y();
        if (y < 0 || y >= height)
            continue;
        uint8_t* row = buffer.row_ptr(y);
        auto span = scanline.begin();
        for (unsigned n = scanline.num_spans(); n > 0; --n, ++span) {
            for (int i = 0; i < span->len; ++i) {
                const int x = span->x + i;
                if (x >= 0 && x < width)
                    BlendTexel(row + x * 4, textColour, span->covers[i]);
            }
        }
    }
}
