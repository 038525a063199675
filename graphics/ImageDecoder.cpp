#include "graphics/ImageDecoder.h"

#include "platform/Debug.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <string>

#include <png.h>
// jpeglib.h needs size_t and FILE declared before it.
#include <jpeglib.h>
#include <jerror.h>

bool HasPngSignature(std::span<const uint8_t> data)
{
    return data.size() >= 8 && png_sig_cmp(data.data(), 0, 8) == 0;
}

// ---- PNG -----------------------------------------------------------------------------------
// libpng reports errors by long-jumping back into DecodePng. Everything that must survive the
// jump lives in the heap-held context, whose pointer is set before setjmp and never changed.

namespace {

struct PngContext {
    std::span<const uint8_t> data;
    size_t offset { 0 };
    std::vector<png_bytep> rows;
    DecodedImage image;
};

void PngError(png_structp png, png_const_charp message)
{
    DebugOutput(std::string("libpng error: ") + (message ? message : "unknown"));
    png_longjmp(png, 1);
}

void PngWarning(png_structp, png_const_charp) { }

void PngRead(png_structp png, png_bytep out, png_size_t length)
{
    auto* context = static_cast<PngContext*>(png_get_io_ptr(png));
    if (length > context->data.size() - context->offset)
        png_error(png, "read past the end of the data");
    std::memcpy(out, context->data.data() + context->offset, length);
    context->offset += length;
}

bool DecodePngInto(PngContext* context)
{
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, PngError, PngWarning);
    if (!png)
        return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_set_read_fn(png, context, PngRead);
    png_set_user_limits(png, kMaxImageSide, kMaxImageSide);
    png_read_info(png, info);

    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int bitDepth = 0;
    int colourType = 0;
    png_get_IHDR(png, info, &width, &height, &bitDepth, &colourType, nullptr, nullptr, nullptr);

    bool hasTransparency = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    bool hasAlpha = (colourType & PNG_COLOR_MASK_ALPHA) != 0 || hasTransparency;
    if (bitDepth == 16)
        png_set_strip_16(png);
    if (colourType == PNG_COLOR_TYPE_PALETTE && bitDepth <= 8)
        png_set_expand(png);
    if (colourType == PNG_COLOR_TYPE_GRAY && bitDepth < 8)
        png_set_expand(png);
    if (hasTransparency)
        png_set_tRNS_to_alpha(png);
    if (colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(png);

    // Compositing onto the background removes the alpha channel; the filler puts an opaque
    // one back, as for every picture stored without alpha.
    png_color_16p background = nullptr;
    bool composite = png_get_bKGD(png, info, &background) != 0 && background;
    if (!hasAlpha || composite)
        png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    png_set_bgr(png);
    if (composite)
        png_set_background(png, background, PNG_BACKGROUND_GAMMA_FILE, 1, 1.0);
    double fileGamma = 0.0;
    if (png_get_gAMA(png, info, &fileGamma) && fileGamma > 0.0)
        png_set_gamma(png, 2.2, fileGamma);
    png_read_update_info(png, info);

    if (png_get_bit_depth(png, info) != 8 || png_get_channels(png, info) != 4
        || png_get_rowbytes(png, info) != size_t(width) * 4)
        png_error(png, "unexpected pixel layout after transformation");

    context->image.width = int(width);
    context->image.height = int(height);
    try {
        context->image.bgra.assign(size_t(width) * size_t(height) * 4, 0);
        context->rows.resize(height);
    } catch (const std::bad_alloc&) {
        png_error(png, "Visual PNG: out of memory");
    }
    for (png_uint_32 y = 0; y < height; ++y)
        context->rows[y] = context->image.bgra.data() + size_t(y) * size_t(width) * 4;
    png_read_image(png, context->rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

} // namespace

std::optional<DecodedImage> DecodePng(std::span<const uint8_t> data)
{
    if (!HasPngSignature(data))
        return std::nullopt;
    auto context = std::make_unique<PngContext>();
    context->data = data;
    if (!DecodePngInto(context.get()))
        return std::nullopt;
    return std::move(context->image);
}

// ---- JPEG ----------------------------------------------------------------------------------

namespace {

struct JpegContext {
    jpeg_decompress_struct decoder {};
    jpeg_error_mgr errors {};
    std::jmp_buf jump {};
    bool endedEarly { false };
    std::vector<uint8_t> scanline;
    DecodedImage image;
};

void JpegErrorExit(j_common_ptr info)
{
    char message[JMSG_LENGTH_MAX] = {};
    (*info->err->format_message)(info, message);
    DebugOutput(std::string("libjpeg error: ") + message);
    auto* context = reinterpret_cast<JpegContext*>(info->client_data);
    std::longjmp(context->jump, 1);
}

void JpegMessage(j_common_ptr info, int level)
{
    // Warnings only; a picture cut short is reported as damaged rather than shown half grey.
    if (level < 0 && info->err->msg_code == JWRN_JPEG_EOF) {
        auto* context = reinterpret_cast<JpegContext*>(info->client_data);
        context->endedEarly = true;
    }
}

bool DecodeJpegInto(JpegContext* context, std::span<const uint8_t> data)
{
    jpeg_decompress_struct* decoder = &context->decoder;
    decoder->err = jpeg_std_error(&context->errors);
    context->errors.error_exit = JpegErrorExit;
    context->errors.emit_message = JpegMessage;
    decoder->client_data = context;
    if (setjmp(context->jump)) {
        jpeg_destroy_decompress(decoder);
        return false;
    }
    jpeg_create_decompress(decoder);
    jpeg_mem_src(decoder, data.data(), static_cast<unsigned long>(data.size()));
    jpeg_read_header(decoder, TRUE);
    if (decoder->image_width > unsigned(kMaxImageSide) || decoder->image_height > unsigned(kMaxImageSide))
        ERREXIT1(decoder, JERR_IMAGE_TOO_BIG, unsigned(kMaxImageSide));
    if (decoder->num_components != 4)
        decoder->out_color_space = JCS_RGB;
    jpeg_start_decompress(decoder);

    int width = int(decoder->output_width);
    int height = int(decoder->output_height);
    int components = decoder->output_components;
    if (components != 3 && components != 4)
        ERREXIT(decoder, JERR_CONVERSION_NOTIMPL);
    try {
        context->image.bgra.assign(size_t(width) * size_t(height) * 4, 0);
        context->scanline.resize(size_t(width) * size_t(components));
    } catch (const std::bad_alloc&) {
        ERREXIT1(decoder, JERR_OUT_OF_MEMORY, 0);
    }
    context->image.width = width;
    context->image.height = height;
    while (decoder->output_scanline < decoder->output_height) {
        uint8_t* row = context->image.bgra.data() + size_t(decoder->output_scanline) * size_t(width) * 4;
        JSAMPROW in = context->scanline.data();
        if (jpeg_read_scanlines(decoder, &in, 1) != 1)
            break;
        for (int x = 0; x < width; ++x) {
            const uint8_t* texel = context->scanline.data() + size_t(x) * size_t(components);
            row[x * 4 + 0] = texel[2];
            row[x * 4 + 1] = texel[1];
            row[x * 4 + 2] = texel[0];
            row[x * 4 + 3] = components == 4 ? texel[3] : 0xFF;
        }
    }
    if (!context->endedEarly)
        jpeg_finish_decompress(decoder);
    jpeg_destroy_decompress(decoder);
    return !context->endedEarly;
}

} // namespace

std::optional<DecodedImage> DecodeJpeg(std::span<const uint8_t> data)
{
    if (data.size() < 4)
        return std::nullopt;
    auto context = std::make_unique<JpegContext>();
    if (!DecodeJpegInto(context.get(), data)) {
        if (context->endedEarly)
            DebugOutput(std::string_view("libjpeg error: the data ends before the picture does"));
        return std::nullopt;
    }
    return std::move(context->image);
}

std::optional<DecodedImage> DecodeImage(std::span<const uint8_t> data)
{
    if (HasPngSignature(data)) {
        if (auto image = DecodePng(data))
            return image;
    }
    return DecodeJpeg(data);
}
