#pragma once
// Small pictures made in memory for the graphics tests: PNG through libpng, JPEG through
// libjpeg, so that no binary fixture has to be kept.

#include <cstdint>
#include <functional>
#include <vector>

// Colour of texel (x, y) as R, G, B, A.
struct Rgba {
    uint8_t r { 0 };
    uint8_t g { 0 };
    uint8_t b { 0 };
    uint8_t a { 255 };
};
using TexelFunction = std::function<Rgba(int x, int y)>;

struct PngOptions {
    // PNG_COLOR_TYPE_* of the file; palette files get one palette entry per distinct colour.
    int colourType { 6 };
    int bitDepth { 8 };
    // Palette entry 0 made fully transparent (tRNS), for palette files.
    bool transparentIndex0 { false };
    // A bKGD chunk with this grey-free background colour.
    bool background { false };
    Rgba backgroundColour {};
};

std::vector<uint8_t> MakePng(int width, int height, const TexelFunction& texel, const PngOptions& options = {});
std::vector<uint8_t> MakeJpeg(int width, int height, const TexelFunction& texel, int quality = 95);

inline TexelFunction Solid(Rgba colour)
{
    return [colour](int, int) { return colour; };
}
