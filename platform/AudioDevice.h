#pragma once
// The audio output the sound streams play through. Every backend hands out AudioBuffers and mixes
// the playing ones into its own output format:
//   "sdl"     the default SDL audio device (the program's choice);
//   "null"    no output; play cursors advance on GetClock(), so cues and ends come when they would
//             have (used when no audio output can be opened, or when asked for);
//   "capture" mixes into memory, advanced explicitly by a test (only when asked for by name).
//
// Threads: CreateBuffer, the constructor and the destructor run on the UI thread; buffers are
// used as AudioBuffer says; the mixing runs on the backend's own thread (SDL's audio thread, or
// the thread that advances a capture device).

#include "platform/AudioBuffer.h"

#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

class AudioDevice {
public:
    virtual ~AudioDevice();
    AudioDevice(const AudioDevice&) = delete;
    AudioDevice& operator=(const AudioDevice&) = delete;

    // A buffer of `bytes` bytes of 16-bit PCM at `rate` with 1 or 2 channels; null for a format
    // the device cannot play. The buffer must not outlive the device.
    std::unique_ptr<AudioBuffer> CreateBuffer(int rate, int channels, uint32_t bytes);

    // The backend's name: "sdl", "null" or "capture".
    virtual std::string Name() const = 0;
    // Output format the buffers are mixed into.
    int OutputRate() const { return outputRate; }
    int OutputChannels() const { return outputChannels; }
    // Frames of output the device holds ahead of what is heard (the write cursor's lead).
    uint32_t LatencyFrames() const { return latencyFrames; }

    // Called by AudioBuffer's destructor.
    void Unregister(AudioBuffer* buffer);

protected:
    AudioDevice(int rate, int channels, uint32_t latency, bool clockDriven);
    // Mixes every playing buffer into `out` (`frames` interleaved frames of the output format),
    // clamping the sum. Called by the mixing thread; allocates nothing once `scratch` is big enough.
    void Mix(int16_t* out, uint32_t frames);
    // Detaches every remaining buffer (a backend's destructor calls it before it stops mixing).
    void DetachAll();
    void ReserveScratch(uint32_t frames);

private:
    const int outputRate;
    const int outputChannels;
    const uint32_t latencyFrames;
    const bool clockDriven;
    std::mutex buffersLock;              // guards buffers and scratch
    std::vector<AudioBuffer*> buffers;
    std::vector<int32_t> scratch;
};

// Opens the backend named `name`. An empty name means the TIRLAN_AUDIO environment variable
// ("null" or "sdl"), else "sdl". When the SDL device cannot be opened the null device is returned
// in its place (with one diagnostic line), so the caller always gets a device; an unknown name is
// treated like "sdl". "capture" is only given when passed here by name.
std::unique_ptr<AudioDevice> OpenAudioDevice(std::string_view name = {});
