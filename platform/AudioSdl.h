#pragma once
// The SDL audio output: 44100 Hz 16-bit stereo, the buffers mixed in SDL's audio callback
// (SDL converts to the hardware's own format behind it).

#include "platform/AudioDevice.h"

#include <cstdint>

class SdlAudioDevice final : public AudioDevice {
public:
    // Opens the default output; null when SDL has no audio output to give.
    static std::unique_ptr<SdlAudioDevice> Open();
    ~SdlAudioDevice() override;
    std::string Name() const override { return "sdl"; }

private:
    SdlAudioDevice();
    // Called by SDL's audio thread.
    static void Callback(void* self, uint8_t* stream, int length);

    uint32_t deviceId { 0 };
};
