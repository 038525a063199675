#include "sound/SoundSource.h"

#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {
// The decoder reports a hole with OV_HOLE and goes on; a run of them this long is a damaged file.
constexpr int kMaxHolesInARow = 64;

size_t ReadCallback(void* into, size_t size, size_t count, void* state)
{
    auto* reader = static_cast<SoundSource::Reader*>(state);
    if (size == 0 || count == 0)
        return 0;
    const size_t left = reader->bytes.size() - reader->offset;
    const size_t wanted = size * count;
    const size_t n = std::min(wanted, left);
    std::memcpy(into, reader->bytes.data() + reader->offset, n);
    reader->offset += n;
    // fread semantics: whole elements; vorbisfile always asks with size 1.
    return n / size;
}

int SeekCallback(void* state, ogg_int64_t offset, int whence)
{
    auto* reader = static_cast<SoundSource::Reader*>(state);
    const auto size = static_cast<ogg_int64_t>(reader->bytes.size());
    ogg_int64_t base;
    switch (whence) {
    case SEEK_SET: base = 0; break;
    case SEEK_CUR: base = static_cast<ogg_int64_t>(reader->offset); break;
    case SEEK_END: base = size; break;
    default: return -1;
    }
    const ogg_int64_t target = base + offset;
    if (target < 0 || target > size)
        return -1;
    reader->offset = static_cast<size_t>(target);
    return 0;
}

int CloseCallback(void*) { return 0; }

long TellCallback(void* state) { return static_cast<long>(static_cast<SoundSource::Reader*>(state)->offset); }
} // namespace

SoundSource::SoundSource()
    : decoder(std::make_unique<OggVorbis_File>())
{
}

SoundSource::~SoundSource()
{
    if (opened)
        ov_clear(decoder.get());
}

std::unique_ptr<SoundSource> SoundSource::FromMemory(std::span<const uint8_t> data, bool trimTail)
{
    if (data.empty())
        return nullptr;
    std::unique_ptr<SoundSource> source(new SoundSource());
    source->reader.bytes.assign(data.begin(), data.end());
    const ov_callbacks callbacks { ReadCallback, SeekCallback, CloseCallback, TellCallback };
    if (ov_open_callbacks(&source->reader, source->decoder.get(), nullptr, 0, callbacks) != 0)
        return nullptr;
    source->opened = true;
    const vorbis_info* info = ov_info(source->decoder.get(), -1);
    const ogg_int64_t total = ov_pcm_total(source->decoder.get(), -1);
    // Only mono and stereo are laid out as the buffers expect; anything else is refused.
    if (!info || (info->channels != 1 && info->channels != 2) || info->rate <= 0 || total < 0)
        return nullptr;
    source->channels = info->channels;
    source->rate = static_cast<int>(info->rate);
    source->frameBytes = source->channels == 1 ? 2 : 4;
    source->totalFrames = static_cast<uint32_t>(std::min<ogg_int64_t>(total, UINT32_MAX));
    if (trimTail) {
        // 0.02 s of bytes taken as frames: 0.04 s of a stereo sound, 3528 frames at 44100 Hz.
        const auto trim = static_cast<uint32_t>(source->rate * source->channels * 2 * 0.02);
        if (source->totalFrames > trim)
            source->totalFrames -= trim;
    }
    return source;
}

std::unique_ptr<SoundSource> SoundSource::FromFile(const std::string& path)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return nullptr;
    std::vector<uint8_t> bytes;
    uint8_t chunk[65536];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        bytes.insert(bytes.end(), chunk, chunk + n);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed)
        return nullptr;
    return FromMemory(bytes);
}

uint32_t SoundSource::Read(uint8_t* destination, uint32_t length)
{
    if (!opened)
        return 0;
    const ogg_int64_t position = ov_pcm_tell(decoder.get());
    if (position < 0)
        return 0;
    const ogg_int64_t remaining = std::max<ogg_int64_t>(0, ogg_int64_t(totalFrames) - position) * frameBytes;
    length = static_cast<uint32_t>(std::min<ogg_int64_t>(length, remaining));
    length -= length % static_cast<uint32_t>(frameBytes);
    uint32_t sum = 0;
    int holes = 0;
    while (sum < length) {
        int bitstream = 0;
        const long got = ov_read(decoder.get(), reinterpret_cast<char*>(destination + sum),
                                 static_cast<int>(length - sum), 0, 2, 1, &bitstream);
        if (got == OV_HOLE && ++holes < kMaxHolesInARow)
            continue;
        if (got <= 0)
            break;
        holes = 0;
        sum += static_cast<uint32_t>(got);
    }
    return sum;
}

bool SoundSource::Rewind()
{
    // A fresh decoder over the same bytes rather than a seek: seeking inside a damaged stream
    // can leave the Ogg layer in a state that a later read mishandles (a negative copy inside
    // libogg), while opening again replays exactly what the first pass decoded.
    if (opened)
        ov_clear(decoder.get());
    opened = false;
    reader.offset = 0;
    const ov_callbacks callbacks { ReadCallback, SeekCallback, CloseCallback, TellCallback };
    if (ov_open_callbacks(&reader, decoder.get(), nullptr, 0, callbacks) != 0)
        return false;
    opened = true;
    return true;
}
