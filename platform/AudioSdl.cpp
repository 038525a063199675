#include "platform/AudioSdl.h"

#include "platform/Debug.h"

#include <SDL.h>

#include <string>

namespace {
constexpr int kRate = 44100;
constexpr int kChannels = 2;
constexpr uint32_t kCallbackFrames = 1024;
} // namespace

SdlAudioDevice::SdlAudioDevice()
    : AudioDevice(kRate, kChannels, kCallbackFrames, false)
{
    ReserveScratch(kCallbackFrames);
}

std::unique_ptr<SdlAudioDevice> SdlAudioDevice::Open()
{
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        DebugOutput("audio: " + std::string(SDL_GetError()));
        return nullptr;
    }
    std::unique_ptr<SdlAudioDevice> device(new SdlAudioDevice());
    SDL_AudioSpec want {};
    want.freq = kRate;
    want.format = AUDIO_S16SYS;
    want.channels = kChannels;
    want.samples = kCallbackFrames;
    want.callback = &SdlAudioDevice::Callback;
    want.userdata = device.get();
    SDL_AudioSpec have {};
    // No format changes allowed: SDL converts to whatever the hardware plays.
    device->deviceId = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (device->deviceId == 0) {
        DebugOutput("audio: " + std::string(SDL_GetError()));
        return nullptr;
    }
    SDL_PauseAudioDevice(device->deviceId, 0);
    return device;
}

SdlAudioDevice::~SdlAudioDevice()
{
    // Closing waits for a running callback; after it nothing mixes the buffers any more.
    if (deviceId != 0)
        SDL_CloseAudioDevice(deviceId);
    DetachAll();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void SdlAudioDevice::Callback(void* self, uint8_t* stream, int length)
{
    auto* device = static_cast<SdlAudioDevice*>(self);
    const auto frameBytes = static_cast<uint32_t>(device->OutputChannels()) * 2;
    device->Mix(reinterpret_cast<int16_t*>(stream), static_cast<uint32_t>(length) / frameBytes);
}
