#pragma once
// One Ogg Vorbis sound, decoded on demand into 16-bit little-endian PCM. The encoded bytes are
// held by the source itself, so it never depends on the caller's memory.
//
// Threads: a source is used by one stream at a time, under that stream's lock (the UI thread for
// the prefill, the decode thread for refills).

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

struct OggVorbis_File;

class SoundSource {
public:
    // Opens `data` as Ogg Vorbis; null when it is not a playable mono or stereo Vorbis stream.
    // `trimTail` shortens the sound as numbered resources are: by (int)(rate * channels * 2 * 0.02)
    // frames when it is longer than that.
    static std::unique_ptr<SoundSource> FromMemory(std::span<const uint8_t> data, bool trimTail = false);
    // Reads the file at `path` (UTF-8) whole and opens it; null on any failure.
    static std::unique_ptr<SoundSource> FromFile(const std::string& path);
    ~SoundSource();
    SoundSource(const SoundSource&) = delete;
    SoundSource& operator=(const SoundSource&) = delete;

    // Decodes up to `length` bytes (whole frames) at `destination`, never past `totalFrames`;
    // answers the bytes written. Holes in the stream are skipped; a damaged stream ends the read.
    uint32_t Read(uint8_t* destination, uint32_t length);
    // Back to the first sample; false when the stream cannot seek.
    bool Rewind();

    int channels { 0 };
    int rate { 0 };
    int frameBytes { 0 };
    uint32_t totalFrames { 0 };

    // The memory reader behind the decoder's callbacks.
    struct Reader {
        std::vector<uint8_t> bytes;
        size_t offset { 0 };
    };

private:
    SoundSource();
    Reader reader;
    std::unique_ptr<OggVorbis_File> decoder;
    bool opened { false };
};
