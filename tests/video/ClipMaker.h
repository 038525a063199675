#pragma once
// Small Ogg Theora clips made in memory with libtheora's encoder, so the tests need no binary
// fixtures. By default each frame is flat grey with a luma that names its number.

#include <cstdint>
#include <functional>
#include <vector>

struct ClipPlanes {
    // Full coded frame: luma frameWidth x frameHeight, chroma half that (4:2:0).
    std::vector<uint8_t> y;
    std::vector<uint8_t> u;
    std::vector<uint8_t> v;
    int width { 0 };
    int height { 0 };
    void SetLuma(int x, int yy, uint8_t value) { y[size_t(yy) * size_t(width) + size_t(x)] = value; }
};

struct ClipOptions {
    // Coded frame size (multiples of 16) and the picture inside it.
    int frameWidth { 32 };
    int frameHeight { 32 };
    int picX { 0 };
    int picY { 0 };
    int picWidth { 32 };
    int picHeight { 32 };
    int frames { 26 };
    int fps { 12 };
    // Random luma everywhere but the top-left 16 x 16 marker block, so that the clip is
    // large (several 8192-byte chunks).
    bool noise { false };
    // A stream of another codec begins before the Theora one and has a page in between.
    bool foreignStreamFirst { false };
    // Draws frame `index`; the default fills the marker luma.
    std::function<void(int index, ClipPlanes& planes)> paint;
};

// Luma that names frame `index` (0..26): far enough apart to survive lossy coding.
uint8_t MarkerLuma(int index);
// The frame number whose marker converts (Y - 16) * 74 >> 6 to about `red`; -1 for black.
int FrameFromRed(int red);

std::vector<uint8_t> MakeClip(const ClipOptions& options);
// Only the pages that carry the three Theora headers of MakeClip(options).
std::vector<uint8_t> MakeHeadersOnly(const ClipOptions& options);
// A well-formed Ogg stream whose packets are not Theora.
std::vector<uint8_t> MakeForeignStream();

// Byte offsets of the pages of an Ogg stream (for damaging data pages on purpose).
std::vector<size_t> PageOffsets(const std::vector<uint8_t>& ogg);
// Overwrites payload bytes of the page at `offset` with noise and fixes its checksum, so
// that the page is delivered and the packet in it is garbage.
void ScramblePagePayload(std::vector<uint8_t>& ogg, size_t offset, uint32_t seed);
