#include "graphics/PngWriter.h"

#include <png.h>

#include <cstdio>
#include <filesystem>

bool WritePng(const std::string& path, int width, int height, const std::vector<uint32_t>& argb, bool alpha)
{
    if (width <= 0 || height <= 0 || argb.size() < static_cast<size_t>(width) * static_cast<size_t>(height))
        return false;
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    volatile bool ok = false;
    // Declared before setjmp: a libpng error jumps back over nothing that needs destroying.
    std::vector<png_byte> row(static_cast<size_t>(width) * 4);
    if (png && info && setjmp(png_jmpbuf(png)) == 0) {
        png_init_io(png, file);
        png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
            alpha ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
            PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        for (int y = 0; y < height; ++y) {
            size_t n = 0;
            for (int x = 0; x < width; ++x) {
                const uint32_t p = argb[static_cast<size_t>(y) * width + x];
                row[n++] = static_cast<png_byte>(p >> 16);
                row[n++] = static_cast<png_byte>(p >> 8);
                row[n++] = static_cast<png_byte>(p);
                if (alpha)
                    row[n++] = static_cast<png_byte>(p >> 24);
            }
            png_write_row(png, row.data());
        }
        png_write_end(png, info);
        ok = true;
    }
    png_destroy_write_struct(&png, &info);
    const bool closed = std::fclose(file) == 0;
    ok = closed && ok;
    if (!ok) {
        std::error_code ignored;
        std::filesystem::remove(path, ignored);
    }
    return ok;
}
