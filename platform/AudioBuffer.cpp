#include "platform/AudioBuffer.h"

#include "platform/AudioDevice.h"
#include "platform/Clock.h"

#include <cstring>

namespace {
constexpr int kFractionBits = 32;
constexpr uint64_t kOneFrame = uint64_t(1) << kFractionBits;
} // namespace

AudioBuffer::AudioBuffer(AudioDevice* device, int rate, int channels, uint32_t bytes, bool followsClock)
    : device(device)
    , rate(rate)
    , channels(channels)
    , frameCount(bytes / (static_cast<uint32_t>(channels) * 2))
    , followsClock(followsClock)
    , samples(static_cast<size_t>(frameCount) * channels, 0)
    , staging(static_cast<size_t>(frameCount) * channels * 2, 0)
{
}

AudioBuffer::~AudioBuffer()
{
    if (device && !detached.load())
        device->Unregister(this);
}

void AudioBuffer::Detach()
{
    std::lock_guard guard(mutex);
    detached = true;
    playing = false;
}

bool AudioBuffer::Lock(uint32_t offset, uint32_t bytes, void** part1, uint32_t* bytes1, void** part2,
                       uint32_t* bytes2)
{
    const uint32_t size = Bytes();
    if (locked || bytes == 0 || bytes > size || offset >= size || !part1 || !bytes1)
        return false;
    const uint32_t first = std::min(bytes, size - offset);
    const uint32_t second = bytes - first;
    if (second > 0 && (!part2 || !bytes2))
        return false;
    {
        std::lock_guard guard(mutex);
        const auto* raw = reinterpret_cast<const uint8_t*>(samples.data());
        std::memcpy(staging.data() + offset, raw + offset, first);
        if (second > 0)
            std::memcpy(staging.data(), raw, second);
    }
    locked = true;
    lockOffset = offset;
    lockBytes1 = first;
    lockBytes2 = second;
    *part1 = staging.data() + offset;
    *bytes1 = first;
    if (part2)
        *part2 = second > 0 ? staging.data() : nullptr;
    if (bytes2)
        *bytes2 = second;
    return true;
}

bool AudioBuffer::Unlock(void* part1, uint32_t written1, void* part2, uint32_t written2)
{
    if (!locked)
        return false;
    const bool samePointers = part1 == staging.data() + lockOffset
        && (lockBytes2 == 0 ? (part2 == nullptr || written2 == 0) : part2 == staging.data());
    if (!samePointers || written1 > lockBytes1 || written2 > lockBytes2)
        return false;
    {
        std::lock_guard guard(mutex);
        auto* raw = reinterpret_cast<uint8_t*>(samples.data());
        std::memcpy(raw + lockOffset, staging.data() + lockOffset, written1);
        if (written2 > 0)
            std::memcpy(raw, staging.data(), written2);
    }
    locked = false;
    return true;
}

bool AudioBuffer::Play(bool loop)
{
    if (detached.load() || frameCount == 0)
        return false;
    std::lock_guard guard(mutex);
    FollowClock();
    looping = loop;
    if (!playing.load()) {
        playStartCounter = GetClock().Counter();
        framesSincePlay = 0;
        playing = true;
    }
    return true;
}

bool AudioBuffer::Stop()
{
    std::lock_guard guard(mutex);
    FollowClock();
    playing = false;
    return true;
}

bool AudioBuffer::IsPlaying()
{
    if (followsClock) {
        std::lock_guard guard(mutex);
        FollowClock();
    }
    return playing.load();
}

bool AudioBuffer::SetCurrentPosition(uint32_t offset)
{
    if (offset > Bytes())
        return false;
    std::lock_guard guard(mutex);
    FollowClock();
    uint32_t frame = offset / BlockAlign();
    if (frame >= frameCount)
        frame = 0;
    position = uint64_t(frame) << kFractionBits;
    return true;
}

bool AudioBuffer::GetCurrentPosition(uint32_t* play, uint32_t* write)
{
    if (frameCount == 0)
        return false;
    uint32_t frame;
    {
        std::lock_guard guard(mutex);
        FollowClock();
        frame = static_cast<uint32_t>(position >> kFractionBits);
    }
    if (play)
        *play = frame * BlockAlign();
    if (write) {
        uint64_t lead = 0;
        if (device && !detached.load() && device->OutputRate() > 0)
            lead = uint64_t(device->LatencyFrames()) * rate / device->OutputRate();
        *write = static_cast<uint32_t>((frame + lead) % frameCount) * BlockAlign();
    }
    return true;
}

void AudioBuffer::FollowClock()
{
    if (!followsClock || !playing.load())
        return;
    const IMClock& clock = GetClock();
    const uint64_t elapsed = clock.Counter() - playStartCounter;
    // Frames due since Play, computed from the start each time so that rounding never drifts.
    const uint64_t frequency = clock.Frequency();
    const uint64_t due = elapsed / frequency * static_cast<unsigned>(rate)
        + elapsed % frequency * static_cast<unsigned>(rate) / frequency;
    if (due > framesSincePlay) {
        AdvanceFrames(due - framesSincePlay);
        framesSincePlay = due;
    }
}

void AudioBuffer::AdvanceFrames(uint64_t frames)
{
    const uint64_t end = uint64_t(frameCount) << kFractionBits;
    const uint64_t current = position >> kFractionBits;
    if (looping) {
        position = (((current + frames) % frameCount) << kFractionBits) | (position & (kOneFrame - 1));
    } else if (current + frames >= frameCount) {
        position = end - kOneFrame;
        playing = false;
    } else {
        position += frames << kFractionBits;
    }
}

void AudioBuffer::MixInto(int32_t* accumulator, uint32_t frames, int outRate, int outChannels)
{
    if (!playing.load() || outRate <= 0)
        return;
    std::lock_guard guard(mutex);
    if (!playing.load() || frameCount == 0)
        return;
    const uint64_t step = (uint64_t(static_cast<unsigned>(rate)) << kFractionBits) / static_cast<unsigned>(outRate);
    const uint64_t end = uint64_t(frameCount) << kFractionBits;
    for (uint32_t n = 0; n < frames; ++n) {
        const uint32_t i = static_cast<uint32_t>(position >> kFractionBits);
        uint32_t j = i + 1;
        if (j == frameCount)
            j = looping ? 0 : i;
        const int64_t fraction = static_cast<int64_t>(position & (kOneFrame - 1));
        int32_t value[2];
        for (int c = 0; c < channels; ++c) {
            const int32_t a = SampleAt(i, c);
            const int32_t b = SampleAt(j, c);
            value[c] = a + static_cast<int32_t>(((b - a) * fraction) >> kFractionBits);
        }
        int32_t* out = accumulator + static_cast<size_t>(n) * outChannels;
        if (outChannels == 1) {
            out[0] += channels == 1 ? value[0] : (value[0] + value[1]) / 2;
        } else {
            out[0] += value[0];
            out[1] += channels == 1 ? value[0] : value[1];
        }
        position += step;
        if (position >= end) {
            if (looping) {
                position %= end;
            } else {
                position = end - kOneFrame;
                playing = false;
                break;
            }
        }
    }
}
