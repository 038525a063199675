// Damaged Ogg Vorbis bytes: opening refuses them or the source decodes to its end, in whole
// frames and never more than its announced length, before and after a rewind.
#include "sound/SoundSource.h"

#include <cstdlib>
#include <vector>

namespace {

// Decodes the whole source; the bytes it produced.
uint64_t DecodeAll(SoundSource& source)
{
    std::vector<uint8_t> buffer(16384);
    const uint64_t limit = uint64_t(source.totalFrames) * uint64_t(source.frameBytes);
    uint64_t total = 0;
    for (;;) {
        const uint32_t got = source.Read(buffer.data(), uint32_t(buffer.size()));
        if (got == 0)
            break;
        if (got > buffer.size() || got % uint32_t(source.frameBytes) != 0)
            std::abort();
        total += got;
        if (total > limit)
            std::abort();
    }
    return total;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::span<const uint8_t> bytes(data, size);
    for (bool trim : { false, true }) {
        auto source = SoundSource::FromMemory(bytes, trim);
        if (!source)
            continue;
        if (source->channels < 1 || source->channels > 2 || source->rate <= 0
            || source->frameBytes != source->channels * 2)
            std::abort();
        // Long sounds are decoded once only, to keep the run fast.
        if (source->totalFrames > 4 * 48000u) {
            std::vector<uint8_t> buffer(4096);
            source->Read(buffer.data(), uint32_t(buffer.size()));
            continue;
        }
        DecodeAll(*source);
        // A damaged stream may replay shorter or longer than it first played, within bounds.
        if (source->Rewind())
            DecodeAll(*source);
    }
    return 0;
}
