#include "sound/SoundSystem.h"

#include "platform/AudioDevice.h"
#include "platform/Resources.h"
#include "platform/Text.h"
#include "sound/SoundHost.h"
#include "sound/SoundSource.h"
#include "sound/SoundStream.h"
#include "sound/WindowSoundHost.h"

#include <optional>

namespace {
// The whole name as an unsigned 32-bit decimal number (leading zeros allowed, nothing else).
std::optional<uint32_t> DecimalName(std::wstring_view name)
{
    if (name.empty())
        return std::nullopt;
    uint64_t value = 0;
    for (const wchar_t c : name) {
        if (c < L'0' || c > L'9')
            return std::nullopt;
        value = value * 10 + static_cast<uint64_t>(c - L'0');
        if (value > UINT32_MAX)
            return std::nullopt;
    }
    return static_cast<uint32_t>(value);
}
} // namespace

CSoundSystem::CSoundSystem()
    : resourceLookup(&FindNumberedResource)
{
}

CSoundSystem::~CSoundSystem() { ShutdownSound(); }

void CSoundSystem::ShutdownSound()
{
    // Streams first: each joins its thread and removes its timers while the host still exists.
    streams.clear();
    sources.clear();
    device.reset();
    if (soundWindow)
        soundWindow->SetReceiver(nullptr);
    soundWindow = nullptr;
    ownedHost.reset();
}

long CSoundSystem::InitializeSound(ISoundHost* window, std::unique_ptr<AudioDevice> output)
{
    if (!window)
        return 2;
    if (device)
        return device->Name() == "null" ? 1 : 0;
    soundWindow = window;
    // A failed registration leaves the ones after it unregistered.
    if ((msgSoundPlay = window->RegisterMessage(L"WM_IM_ONSOUNDPLAY")) != 0
        && (msgLabel = window->RegisterMessage(L"WM_IM_ONLABEL")) != 0
        && (msgSoundStop = window->RegisterMessage(L"WM_IM_ONSOUNDSTOP")) != 0)
        msgSoundPouse = window->RegisterMessage(L"WM_IM_ONSOUNDPOUSE");
    window->SetReceiver([this](uint32_t message, uint32_t wParam, int32_t lParam) {
        OnWindowMessage(message, wParam, lParam);
    });
    device = output ? std::move(output) : OpenAudioDevice();
    return device->Name() == "null" ? 1 : 0;
}

long CSoundSystem::InitializeSound()
{
    if (soundWindow)
        return InitializeSound(soundWindow);
    ownedHost = std::make_unique<WindowSoundHost>();
    return InitializeSound(ownedHost.get());
}

uint32_t CSoundSystem::CreateSoundFromBlob(std::wstring_view name)
{
    const std::span<const uint8_t> blob = FindNamedBlob(WideToUtf8(name));
    if (blob.empty())
        return CreateStream(name, [] { return nullptr; });
    return CreateSoundFromMemory(name, blob.data(), blob.size());
}

uint32_t CSoundSystem::CreateSoundFromMemory(std::wstring_view name, const void* data, size_t size)
{
    return CreateStream(name, [&] {
        return data ? SoundSource::FromMemory({ static_cast<const uint8_t*>(data), size }) : nullptr;
    });
}

uint32_t CSoundSystem::CreateSound(std::wstring_view name)
{
    if (const auto number = DecimalName(name)) {
        const auto id = static_cast<uint16_t>(*number & 0xFFFF);
        return CreateStream(name, [&]() -> std::unique_ptr<SoundSource> {
            if (!resourceLookup)
                return nullptr;
            return SoundSource::FromMemory(resourceLookup(id), true);
        });
    }
    return CreateStream(name, [&] { return SoundSource::FromFile(WideToUtf8(name)); });
}

uint32_t CSoundSystem::CreateStream(std::wstring_view name,
                                    const std::function<std::unique_ptr<SoundSource>()>& open)
{
    if (!device)
        return 0;
    SourceRecord* record = nullptr;
    for (SourceRecord& r : sources) {
        if (r.name == name) {
            record = &r;
            break;
        }
    }
    if (record) {
        for (auto& [id, stream] : streams) {
            if (stream->Source() == record->source.get()) {
                // The same sound asked for again: its stream is reused, its old end handlers go.
                stream->endSignal.disconnect_all_slots();
                return id;
            }
        }
        record->useCount += 1;
    } else {
        auto source = open();
        if (!source)
            return 0;
        sources.push_back(SourceRecord { std::move(source), 1, std::wstring(name) });
        record = &sources.back();
    }
    const uint32_t id = lastStreamId + 1;
    if (streams.contains(id))
        return 0;
    auto stream = std::make_unique<CSoundStream>(this, record->source.get(), id);
    if (!stream->IsValid())
        return 0;
    lastStreamId = id;
    streams.emplace(id, std::move(stream));
    return id;
}

CSoundStream* CSoundSystem::FindStream(uint32_t id) const
{
    const auto it = streams.find(id);
    return it == streams.end() ? nullptr : it->second.get();
}

bool CSoundSystem::PlaySound(uint32_t id, bool loop)
{
    CSoundStream* stream = FindStream(id);
    if (!stream)
        return false;
    stream->Play(loop);
    return true;
}

bool CSoundSystem::StopSound(uint32_t id)
{
    CSoundStream* stream = FindStream(id);
    if (!stream)
        return false;
    stream->Stop();
    return true;
}

SoundConnection CSoundSystem::ConnectSoundEnd(uint32_t id, const SoundSignal::slot_type& slot)
{
    CSoundStream* stream = FindStream(id);
    if (!stream)
        return {};
    return stream->endSignal.connect(slot);
}

void CSoundSystem::AddSoundLabel(uint32_t id, uint32_t timeMs, const LabelSignal::slot_type& slot)
{
    CSoundStream* stream = FindStream(id);
    if (!stream)
        return;
    stream->AddLabelTime(timeMs);
    stream->labelSignals[timeMs].connect(slot);
}

void CSoundSystem::OnLabelMessage(uint32_t wParam, int32_t lParam)
{
    CSoundStream* stream = FindStream(wParam);
    if (!stream)
        return;
    const auto it = stream->labelSignals.find(static_cast<uint32_t>(lParam));
    if (it != stream->labelSignals.end())
        FireSoundSignal(it->second, wParam, static_cast<uint32_t>(lParam));
}

bool CSoundSystem::OnWindowMessage(uint32_t message, uint32_t wParam, int32_t lParam)
{
    if (message == 0)
        return false;
    if (message == msgLabel) {
        OnLabelMessage(wParam, lParam);
        return true;
    }
    if (message != msgSoundPlay && message != msgSoundPouse && message != msgSoundStop)
        return false;
    CSoundStream* stream = FindStream(wParam);
    if (!stream)
        return true;
    if (message == msgSoundPlay) {
        FireSoundSignal(stream->playSignal, wParam);
    } else if (message == msgSoundPouse) {
        stream->OnEndMessage();
        FireSoundSignal(stream->endSignal, wParam);
    } else {
        FireSoundSignal(stream->stopSignal, wParam);
    }
    return true;
}
