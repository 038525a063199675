#include "ImageFixtures.h"

#include <cstdio>
#include <cstring>
#include <map>
#include <stdexcept>

#include <png.h>
#include <jpeglib.h>

namespace {

void AppendBytes(png_structp png, png_bytep data, png_size_t length)
{
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void NoFlush(png_structp) { }

} // namespace

std::vector<uint8_t> MakePng(int width, int height, const TexelFunction& texel, const PngOptions& options)
{
    std::vector<uint8_t> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        throw std::runtime_error("PNG fixture could not be written");
    }
    png_set_write_fn(png, &out, AppendBytes, NoFlush);
    png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), options.bitDepth, options.colourType,
        PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);

    std::map<uint32_t, int> paletteIndex;
    std::vector<png_color> palette;
    if (options.colourType == PNG_COLOR_TYPE_PALETTE) {
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                Rgba c = texel(x, y);
                uint32_t key = uint32_t(c.r) << 16 | uint32_t(c.g) << 8 | c.b;
                if (!paletteIndex.count(key)) {
                    paletteIndex[key] = int(palette.size());
                    palette.push_back(png_color { c.r, c.g, c.b });
                }
            }
        }
        png_set_PLTE(png, info, palette.data(), int(palette.size()));
        if (options.transparentIndex0) {
            png_byte alpha[1] = { 0 };
            png_set_tRNS(png, info, alpha, 1, nullptr);
        }
    }
    if (options.background) {
        png_color_16 bg {};
        bg.red = options.backgroundColour.r;
        bg.green = options.backgroundColour.g;
        bg.blue = options.backgroundColour.b;
        png_set_bKGD(png, info, &bg);
    }
    png_write_info(png, info);

    int channels = 0;
    switch (options.colourType) {
    case PNG_COLOR_TYPE_GRAY: channels = 1; break;
    case PNG_COLOR_TYPE_GRAY_ALPHA: channels = 2; break;
    case PNG_COLOR_TYPE_RGB: channels = 3; break;
    case PNG_COLOR_TYPE_RGB_ALPHA: channels = 4; break;
    default: channels = 1; break;
    }
    int bytesPerSample = options.bitDepth == 16 ? 2 : 1;
    for (int y = 0; y < height; ++y) {
        std::vector<uint8_t> row;
        for (int x = 0; x < width; ++x) {
            Rgba c = texel(x, y);
            std::vector<uint8_t> samples;
            switch (options.colourType) {
            case PNG_COLOR_TYPE_GRAY: samples = { c.r }; break;
            case PNG_COLOR_TYPE_GRAY_ALPHA: samples = { c.r, c.a }; break;
            case PNG_COLOR_TYPE_RGB: samples = { c.r, c.g, c.b }; break;
            case PNG_COLOR_TYPE_RGB_ALPHA: samples = { c.r, c.g, c.b, c.a }; break;
            default: samples = { uint8_t(paletteIndex[uint32_t(c.r) << 16 | uint32_t(c.g) << 8 | c.b]) }; break;
            }
            for (uint8_t s : samples) {
                row.push_back(s);
                if (bytesPerSample == 2)
                    row.push_back(s); // 16-bit sample s * 257
            }
        }
        (void)channels;
        png_write_row(png, row.data());
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return out;
}

std::vector<uint8_t> MakeJpeg(int width, int height, const TexelFunction& texel, int quality)
{
    jpeg_compress_struct encoder {};
    jpeg_error_mgr errors {};
    encoder.err = jpeg_std_error(&errors);
    jpeg_create_compress(&encoder);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&encoder, &buffer, &size);
    encoder.image_width = JDIMENSION(width);
    encoder.image_height = JDIMENSION(height);
    encoder.input_components = 3;
    encoder.in_color_space = JCS_RGB;
    jpeg_set_defaults(&encoder);
    jpeg_set_quality(&encoder, quality, TRUE);
    jpeg_start_compress(&encoder, TRUE);
    std::vector<uint8_t> row(size_t(width) * 3);
    while (encoder.next_scanline < encoder.image_height) {
        for (int x = 0; x < width; ++x) {
            Rgba c = texel(x, int(encoder.next_scanline));
            row[size_t(x) * 3 + 0] = c.r;
            row[size_t(x) * 3 + 1] = c.g;
            row[size_t(x) * 3 + 2] = c.b;
        }
        JSAMPROW rows[1] = { row.data() };
        jpeg_write_scanlines(&encoder, rows, 1);
    }
    jpeg_finish_compress(&encoder);
    std::vector<uint8_t> out(buffer, buffer + size);
    jpeg_destroy_compress(&encoder);
    free(buffer);
    return out;
}
