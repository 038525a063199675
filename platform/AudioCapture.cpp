#include "platform/AudioCapture.h"

#include <algorithm>

namespace {
constexpr uint32_t kBlockFrames = 1024;
}

CaptureAudioDevice::CaptureAudioDevice(int rate, int channels)
    : AudioDevice(rate, std::clamp(channels, 1, 2), 0, false)
    , block(static_cast<size_t>(kBlockFrames) * OutputChannels())
{
    ReserveScratch(kBlockFrames);
}

void CaptureAudioDevice::Advance(uint32_t frames)
{
    while (frames > 0) {
        const uint32_t n = std::min(frames, kBlockFrames);
        Mix(block.data(), n);
        {
            std::lock_guard guard(capturedLock);
            captured.insert(captured.end(), block.begin(), block.begin() + static_cast<long>(n) * OutputChannels());
        }
        frames -= n;
    }
}

std::vector<int16_t> CaptureAudioDevice::Captured() const
{
    std::lock_guard guard(capturedLock);
    return captured;
}

uint64_t CaptureAudioDevice::CapturedFrames() const
{
    std::lock_guard guard(capturedLock);
    return captured.size() / static_cast<size_t>(OutputChannels());
}

void CaptureAudioDevice::ClearCaptured()
{
    std::lock_guard guard(capturedLock);
    captured.clear();
}
