#pragma once
// The silent device: nothing is mixed; each buffer's play cursor follows GetClock() as if it were
// being played, so streams refill, end and fire their cues on time.

#include "platform/AudioDevice.h"

class NullAudioDevice final : public AudioDevice {
public:
    NullAudioDevice();
    std::string Name() const override { return "null"; }
};
