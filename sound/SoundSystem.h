#pragma once
// The sound system: Ogg Vorbis sounds from memory blobs, numbered resources or files, each played
// through a CSoundStream known by a small id (from 1; 0 means failure). Playback start, end and
// time labels come back as registered messages posted to the main window, which hands them to
// OnWindowMessage on the UI thread, so every connected handler runs there.
//
// Threads: every operation runs on the UI thread.

#include "sound/SoundSignals.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class AudioDevice;
class CSoundStream;
class ISoundHost;
class SoundSource;

// A decoded sound shared by name.
struct SourceRecord {
    std::unique_ptr<SoundSource> source;
    int32_t useCount { 1 };
    std::wstring name;
};

class CSoundSystem {
public:
    using ResourceLookup = std::function<std::span<const uint8_t>(uint16_t id)>;

    CSoundSystem();
    // Stops every stream (joining its thread), then frees streams, sources and the device.
    virtual ~CSoundSystem();
    CSoundSystem(const CSoundSystem&) = delete;
    CSoundSystem& operator=(const CSoundSystem&) = delete;

    // Set-up with the main window's services (`window`, not owned, must outlive the system) and
    // the audio output (null: the default device, see OpenAudioDevice). Registers the four
    // messages. Answers 0, or 1 when no audio output could be opened: sounds are then played on
    // the silent device, timed as if heard. Answers 2 when `window` is null.
    long InitializeSound(ISoundHost* window, std::unique_ptr<AudioDevice> device = nullptr);
    // The same on the main window (rootWindow): the program's set-up.
    long InitializeSound();

    // A stream for the Ogg Vorbis bytes `data` (copied), shared under `name`; 0 on failure.
    uint32_t CreateSoundFromMemory(std::wstring_view name, const void* data, size_t size);
    // The embedded blob `name` (e.g. "bravo_sound"), shared under that name; 0 when missing.
    uint32_t CreateSoundFromBlob(std::wstring_view name);
    // A decimal `name` is a numbered resource (its low 16 bits), any other name a file path.
    uint32_t CreateSound(std::wstring_view name);
    // True when stream `id` exists, whatever it answered.
    bool PlaySound(uint32_t id, bool loop);
    // True when stream `id` exists; returns after its thread has ended.
    bool StopSound(uint32_t id);
    // Connects `slot` to the end of stream `id` (after a natural end or a stop); an empty
    // connection when there is no such stream.
    SoundConnection ConnectSoundEnd(uint32_t id, const SoundSignal::slot_type& slot);
    // Calls `slot` with (id, timeMs) once when playback of stream `id` reaches `timeMs`.
    void AddSoundLabel(uint32_t id, uint32_t timeMs, const LabelSignal::slot_type& slot);
    void OnLabelMessage(uint32_t wParam, int32_t lParam);
    // Handles one of the four registered messages; false for any other message.
    bool OnWindowMessage(uint32_t message, uint32_t wParam, int32_t lParam);

    // Where numbered resources come from (the program's embedded data unless replaced).
    void SetResourceLookup(ResourceLookup lookup) { resourceLookup = std::move(lookup); }
    CSoundStream* FindStream(uint32_t id) const;
    AudioDevice* Device() const { return device.get(); }
    ISoundHost* Host() const { return soundWindow; }
    uint32_t MsgSoundPlay() const { return msgSoundPlay; }
    uint32_t MsgSoundStop() const { return msgSoundStop; }
    uint32_t MsgSoundPouse() const { return msgSoundPouse; }
    uint32_t MsgLabel() const { return msgLabel; }

private:
    // Steps 1-5 of making a stream: reuse by name, else `open` a new source.
    uint32_t CreateStream(std::wstring_view name, const std::function<std::unique_ptr<SoundSource>()>& open);
    void ShutdownSound();

    std::map<uint32_t, std::unique_ptr<CSoundStream>> streams;
    std::vector<SourceRecord> sources;
    std::unique_ptr<AudioDevice> device;
    uint32_t lastStreamId { 0 };
    ISoundHost* soundWindow { nullptr };
    uint32_t msgSoundPlay { 0 };
    uint32_t msgSoundStop { 0 };
    uint32_t msgSoundPouse { 0 };
    uint32_t msgLabel { 0 };
    ResourceLookup resourceLookup;
    std::unique_ptr<ISoundHost> ownedHost;
};
