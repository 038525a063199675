#pragma once
// YUV to 32-bit texel conversion for decoded video frames, in exact integer arithmetic:
//   C = Y - 16, D = U - 128, E = V - 128
//   R = (74 C + 102 E) >> 6, G = (74 C - 25 D - 52 E) >> 6, B = (74 C + 129 D) >> 6
// with every sum saturating at signed 16 bits, arithmetic shifts, and each result clamped to
// 0..255. Each texel is written as the bytes B, G, R, 0. The SSE2 and the plain routine give
// identical results for every input; ConvertYuvToXrgb uses the fast one where it applies.

#include <cstdint>

// A picture inside decoded planes. Chroma sample (x >> chromaShiftX, y >> chromaShiftY) goes
// with luma sample (x, y), both counted from the planes' first row and column; the picture is
// width x height samples starting at luma sample (left, top). Strides may be negative.
struct YuvPicture {
    const uint8_t* y { nullptr };
    const uint8_t* u { nullptr };
    const uint8_t* v { nullptr };
    int yStride { 0 };
    int uvStride { 0 };
    int left { 0 };
    int top { 0 };
    int width { 0 };
    int height { 0 };
    // 1 when chroma is subsampled by 2 in that direction (4:2:0 has both), 0 when not.
    int chromaShiftX { 1 };
    int chromaShiftY { 1 };
};

// One texel from one sample triple; the reference for both routines.
void YuvToBgr0(int y, int u, int v, uint8_t* texel);

// Writes picture row r to `out` + r * pitch, width texels of 4 bytes each. Nothing for an
// empty picture or null planes or output.
void ConvertYuvToXrgbPlain(const YuvPicture& picture, uint8_t* out, int pitch);
// The same with SSE2, 16 texels per step; the columns left over go through the plain code.
void ConvertYuvToXrgbSse2(const YuvPicture& picture, uint8_t* out, int pitch);
// The fastest routine available for the picture.
void ConvertYuvToXrgb(const YuvPicture& picture, uint8_t* out, int pitch);
