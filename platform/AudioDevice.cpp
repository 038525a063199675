#include "platform/AudioDevice.h"

#include "platform/AudioCapture.h"
#include "platform/AudioNull.h"
#include "platform/AudioSdl.h"
#include "platform/Debug.h"

#include <algorithm>
#include <cstdlib>

namespace {
constexpr int kMinRate = 1000;
constexpr int kMaxRate = 384000;
} // namespace

AudioDevice::AudioDevice(int rate, int channels, uint32_t latency, bool clockDriven)
    : outputRate(rate)
    , outputChannels(channels)
    , latencyFrames(latency)
    , clockDriven(clockDriven)
{
}

AudioDevice::~AudioDevice() { DetachAll(); }

std::unique_ptr<AudioBuffer> AudioDevice::CreateBuffer(int rate, int channels, uint32_t bytes)
{
    if (rate < kMinRate || rate > kMaxRate || (channels != 1 && channels != 2)
        || bytes < static_cast<uint32_t>(channels) * 2)
        return nullptr;
    auto buffer = std::make_unique<AudioBuffer>(this, rate, channels, bytes, clockDriven);
    std::lock_guard guard(buffersLock);
    buffers.push_back(buffer.get());
    return buffer;
}

void AudioDevice::Unregister(AudioBuffer* buffer)
{
    std::lock_guard guard(buffersLock);
    std::erase(buffers, buffer);
}

void AudioDevice::DetachAll()
{
    std::lock_guard guard(buffersLock);
    for (AudioBuffer* buffer : buffers)
        buffer->Detach();
    buffers.clear();
}

void AudioDevice::ReserveScratch(uint32_t frames)
{
    std::lock_guard guard(buffersLock);
    scratch.resize(static_cast<size_t>(frames) * outputChannels);
}

void AudioDevice::Mix(int16_t* out, uint32_t frames)
{
    std::lock_guard guard(buffersLock);
    const uint32_t chunk = scratch.empty() ? 0 : static_cast<uint32_t>(scratch.size() / outputChannels);
    if (chunk == 0) {
        std::fill(out, out + static_cast<size_t>(frames) * outputChannels, int16_t(0));
        return;
    }
    while (frames > 0) {
        const uint32_t n = std::min(frames, chunk);
        const size_t values = static_cast<size_t>(n) * outputChannels;
        std::fill(scratch.begin(), scratch.begin() + values, 0);
        for (AudioBuffer* buffer : buffers)
            buffer->MixInto(scratch.data(), n, outputRate, outputChannels);
        for (size_t i = 0; i < values; ++i)
            out[i] = static_cast<int16_t>(std::clamp(scratch[i], -32768, 32767));
        out += values;
        frames -= n;
    }
}

std::unique_ptr<AudioDevice> OpenAudioDevice(std::string_view name)
{
    if (name == "capture")
        return std::make_unique<CaptureAudioDevice>();
    std::string chosen(name);
    if (chosen.empty()) {
        // The environment may silence the program; nobody would drive a capture device there.
        const char* fromEnvironment = std::getenv("TIRLAN_AUDIO");
        chosen = fromEnvironment ? fromEnvironment : "";
    }
    if (chosen == "null")
        return std::make_unique<NullAudioDevice>();
    if (auto device = SdlAudioDevice::Open())
        return device;
    DebugOutput(std::string_view("audio: no output device, sounds are timed but silent"));
    return std::make_unique<NullAudioDevice>();
}
