#pragma once
// Picture decoding from memory: PNG through libpng, JPEG through libjpeg as the fallback.
// Output texels are 32 bits, bytes B, G, R, A, rows of exactly 4 * width bytes.
// Damaged input of any kind yields std::nullopt (with a diagnostic line), never a crash.

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

struct DecodedImage {
    int width { 0 };
    int height { 0 };
    std::vector<uint8_t> bgra;
};

// Largest picture side accepted; bigger headers are refused before anything is allocated.
inline constexpr int kMaxImageSide = 8192;

// True when `data` begins with the 8-byte PNG signature.
bool HasPngSignature(std::span<const uint8_t> data);

// PNG: 16-bit channels are stripped to 8, palette and low-depth grey expanded, grey turned to
// RGB, transparency chunks become alpha, pictures without alpha come out opaque; a bKGD chunk
// composites onto that background, a gAMA chunk corrects for a 2.2 screen. Reading stops at
// the end of the PNG stream; bytes after it are ignored.
std::optional<DecodedImage> DecodePng(std::span<const uint8_t> data);

// JPEG: three components give opaque B, G, R; four components give B, G, R from the first
// three and alpha from the fourth; grey is expanded to RGB. Data that ends before the
// picture does is refused.
std::optional<DecodedImage> DecodeJpeg(std::span<const uint8_t> data);

// PNG when the signature matches and libpng accepts it, otherwise JPEG.
std::optional<DecodedImage> DecodeImage(std::span<const uint8_t> data);
