#pragma once
// A device that mixes into memory, moved on by whoever drives it (a test or a benchmark): Advance
// mixes the next frames of output and appends them to the captured PCM. Nothing moves otherwise.

#include "platform/AudioDevice.h"

class CaptureAudioDevice final : public AudioDevice {
public:
    explicit CaptureAudioDevice(int rate = 44100, int channels = 2);
    std::string Name() const override { return "capture"; }

    // Mixes `frames` frames of output (called by the driving thread).
    void Advance(uint32_t frames);
    // Interleaved 16-bit output captured so far, and its length in frames.
    std::vector<int16_t> Captured() const;
    uint64_t CapturedFrames() const;
    void ClearCaptured();

private:
    mutable std::mutex capturedLock;
    std::vector<int16_t> captured;
    std::vector<int16_t> block;
};
