#include "video/YuvConverter.h"

#include <cstddef>
#include <emmintrin.h>

namespace {

constexpr int kLumaOffset = 16;
constexpr int kChromaOffset = 128;
constexpr int kLuma = 74;
constexpr int kBlueFromU = 129;
constexpr int kGreenFromU = 25;
constexpr int kGreenFromV = 52;
constexpr int kRedFromV = 102;

// Signed 16-bit lane arithmetic, as the vector instructions do it.
int16_t Saturate16(int value)
{
    if (value > INT16_MAX)
        return INT16_MAX;
    if (value < INT16_MIN)
        return INT16_MIN;
    return static_cast<int16_t>(value);
}
int16_t AddSat(int16_t a, int16_t b) { return Saturate16(int(a) + int(b)); }
int16_t SubSat(int16_t a, int16_t b) { return Saturate16(int(a) - int(b)); }
// The low 16 bits of the product (modular in C++20).
int16_t MulLow(int16_t a, int16_t b) { return static_cast<int16_t>(int(a) * int(b)); }
uint8_t Clamp255(int16_t value)
{
    if (value < 0)
        return 0;
    if (value > 255)
        return 255;
    return static_cast<uint8_t>(value);
}

bool IsUsable(const YuvPicture& p, const uint8_t* out)
{
    return p.y && p.u && p.v && out && p.width > 0 && p.height > 0 && p.left >= 0 && p.top >= 0
        && p.chromaShiftX >= 0 && p.chromaShiftX <= 1 && p.chromaShiftY >= 0 && p.chromaShiftY <= 1;
}

const uint8_t* Row(const uint8_t* plane, int stride, int row)
{
    return plane + static_cast<ptrdiff_t>(stride) * row;
}

// Plain conversion of columns [from, width) of picture row `r`.
void ConvertRowPlain(const YuvPicture& p, int r, int from, uint8_t* outRow)
{
    const int planeRow = p.top + r;
    const uint8_t* yRow = Row(p.y, p.yStride, planeRow);
    const uint8_t* uRow = Row(p.u, p.uvStride, planeRow >> p.chromaShiftY);
    const uint8_t* vRow = Row(p.v, p.uvStride, planeRow >> p.chromaShiftY);
    for (int x = from; x < p.width; ++x) {
        const int column = p.left + x;
        const int chroma = column >> p.chromaShiftX;
        YuvToBgr0(yRow[column], uRow[chroma], vRow[chroma], outRow + static_cast<size_t>(x) * 4);
    }
}

// Eight texels' worth of 16-bit lanes: B, G, R before packing.
struct Lanes {
    __m128i b;
    __m128i g;
    __m128i r;
};

Lanes ConvertLanes(__m128i y16, __m128i u16, __m128i v16)
{
    const __m128i c = _mm_subs_epi16(y16, _mm_set1_epi16(kLumaOffset));
    const __m128i d = _mm_subs_epi16(u16, _mm_set1_epi16(kChromaOffset));
    const __m128i e = _mm_subs_epi16(v16, _mm_set1_epi16(kChromaOffset));
    const __m128i luma = _mm_mullo_epi16(c, _mm_set1_epi16(kLuma));
    Lanes out;
    out.r = _mm_srai_epi16(_mm_adds_epi16(luma, _mm_mullo_epi16(e, _mm_set1_epi16(kRedFromV))), 6);
    out.g = _mm_srai_epi16(_mm_subs_epi16(_mm_subs_epi16(luma, _mm_mullo_epi16(d, _mm_set1_epi16(kGreenFromU))),
                               _mm_mullo_epi16(e, _mm_set1_epi16(kGreenFromV))),
        6);
    out.b = _mm_srai_epi16(_mm_adds_epi16(luma, _mm_mullo_epi16(d, _mm_set1_epi16(kBlueFromU))), 6);
    return out;
}

// Sixteen texels from 16 luma bytes and 16 chroma bytes each (already one per texel).
void ConvertSixteen(__m128i y8, __m128i u8, __m128i v8, uint8_t* out)
{
    const __m128i zero = _mm_setzero_si128();
    const Lanes low = ConvertLanes(_mm_unpacklo_epi8(y8, zero), _mm_unpacklo_epi8(u8, zero), _mm_unpacklo_epi8(v8, zero));
    const Lanes high = ConvertLanes(_mm_unpackhi_epi8(y8, zero), _mm_unpackhi_epi8(u8, zero), _mm_unpackhi_epi8(v8, zero));
    // Saturating packs clamp every channel to 0..255.
    const __m128i b = _mm_packus_epi16(low.b, high.b);
    const __m128i g = _mm_packus_epi16(low.g, high.g);
    const __m128i r = _mm_packus_epi16(low.r, high.r);
    const __m128i bgLow = _mm_unpacklo_epi8(b, g);
    const __m128i bgHigh = _mm_unpackhi_epi8(b, g);
    const __m128i r0Low = _mm_unpacklo_epi8(r, zero);
    const __m128i r0High = _mm_unpackhi_epi8(r, zero);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_unpacklo_epi16(bgLow, r0Low));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 16), _mm_unpackhi_epi16(bgLow, r0Low));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 32), _mm_unpacklo_epi16(bgHigh, r0High));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 48), _mm_unpackhi_epi16(bgHigh, r0High));
}

// SSE2 needs chroma columns that start on a whole sample: no horizontal subsampling, or an
// even first column.
bool SuitsSse2(const YuvPicture& p) { return p.chromaShiftX == 0 || (p.left & 1) == 0; }

}

void YuvToBgr0(int y, int u, int v, uint8_t* texel)
{
    const int16_t c = SubSat(static_cast<int16_t>(y), kLumaOffset);
    const int16_t d = SubSat(static_cast<int16_t>(u), kChromaOffset);
    const int16_t e = SubSat(static_cast<int16_t>(v), kChromaOffset);
    const int16_t luma = MulLow(c, kLuma);
    const int16_t r = static_cast<int16_t>(AddSat(luma, MulLow(e, kRedFromV)) >> 6);
    const int16_t g = static_cast<int16_t>(SubSat(SubSat(luma, MulLow(d, kGreenFromU)), MulLow(e, kGreenFromV)) >> 6);
    const int16_t b = static_cast<int16_t>(AddSat(luma, MulLow(d, kBlueFromU)) >> 6);
    texel[0] = Clamp255(b);
    texel[1] = Clamp255(g);
    texel[2] = Clamp255(r);
    texel[3] = 0;
}

void ConvertYuvToXrgbPlain(const YuvPicture& picture, uint8_t* out, int pitch)
{
    if (!IsUsable(picture, out))
        return;
    for (int r = 0; r < picture.height; ++r)
        ConvertRowPlain(picture, r, 0, out + static_cast<ptrdiff_t>(pitch) * r);
}

void ConvertYuvToXrgbSse2(const YuvPicture& picture, uint8_t* out, int pitch)
{
    if (!IsUsable(picture, out))
        return;
    if (!SuitsSse2(picture)) {
        ConvertYuvToXrgbPlain(picture, out, pitch);
        return;
    }
    const YuvPicture& p = picture;
    const int whole = p.width & ~15;
    for (int r = 0; r < p.height; ++r) {
        const int planeRow = p.top + r;
        const uint8_t* yRow = Row(p.y, p.yStride, planeRow) + p.left;
        const uint8_t* uRow = Row(p.u, p.uvStride, planeRow >> p.chromaShiftY) + (p.left >> p.chromaShiftX);
        const uint8_t* vRow = Row(p.v, p.uvStride, planeRow >> p.chromaShiftY) + (p.left >> p.chromaShiftX);
        uint8_t* outRow = out + static_cast<ptrdiff_t>(pitch) * r;
        for (int x = 0; x < whole; x += 16) {
            const __m128i y8 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(yRow + x));
            __m128i u8;
            __m128i v8;
            if (p.chromaShiftX == 1) {
                // Eight chroma samples, each doubled for the two texels it covers.
                const __m128i u = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(uRow + x / 2));
                const __m128i v = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(vRow + x / 2));
                u8 = _mm_unpacklo_epi8(u, u);
                v8 = _mm_unpacklo_epi8(v, v);
            } else {
                u8 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(uRow + x));
                v8 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(vRow + x));
            }
            ConvertSixteen(y8, u8, v8, outRow + static_cast<size_t>(x) * 4);
        }
        if (whole < p.width)
            ConvertRowPlain(p, r, whole, outRow);
    }
}

void ConvertYuvToXrgb(const YuvPicture& picture, uint8_t* out, int pitch)
{
    ConvertYuvToXrgbSse2(picture, out, pitch);
}
