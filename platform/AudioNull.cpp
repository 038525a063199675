#include "platform/AudioNull.h"

NullAudioDevice::NullAudioDevice()
    : AudioDevice(44100, 2, 0, true)
{
}
