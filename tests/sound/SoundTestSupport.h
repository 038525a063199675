#pragma once
// Shared by the sound tests: Ogg Vorbis sounds made in memory, a reference decode, a fake main
// window (registered messages, a posted queue and timers on the manual clock), and a rig that
// moves clock, capture device and decode threads forward together, 10 ms at a time.

#include "platform/AudioCapture.h"
#include "platform/AudioNull.h"
#include "platform/Clock.h"
#include "sound/SoundHost.h"
#include "sound/SoundStream.h"
#include "sound/SoundSystem.h"

#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// Ogg Vorbis bytes of `frames` frames; `sample(frame, channel)` gives values in [-1, 1].
std::vector<uint8_t> EncodeVorbis(int rate, int channels, uint32_t frames,
                                  const std::function<float(uint32_t, int)>& sample);
// A tone of `seconds` at `rate` with `channels` (a different pitch per channel).
std::vector<uint8_t> EncodeTone(int rate, int channels, double seconds);
// Every sample of `ogg` as libvorbisfile gives it (16-bit interleaved), holes skipped.
std::vector<int16_t> DecodeAll(const std::vector<uint8_t>& ogg);

struct PostedMessage {
    uint32_t message { 0 };
    uint32_t wParam { 0 };
    int32_t lParam { 0 };
    uint32_t postedAtMs { 0 };
};

class FakeSoundHost final : public ISoundHost {
public:
    uint32_t RegisterMessage(std::wstring_view name) override;
    bool PostMessage(uint32_t message, uint32_t wParam, int32_t lParam) override;
    void SetReceiver(Receiver receiver) override { this->receiver = std::move(receiver); }
    int AddTimer(uint32_t intervalMs) override;
    void ConnectTimer(int id, std::function<void()> handler) override;
    void RemoveTimer(int id) override;

    // Delivers the queued messages to the receiver (the window procedure's part).
    void Pump();
    // Fires the due timers by GetClock(), ascending ids, as the main loop does.
    void RunTimers();
    // Every message posted so far, in order.
    std::vector<PostedMessage> Posted() const;
    std::vector<PostedMessage> PostedOf(uint32_t message) const;
    size_t LiveTimers() const { return timers.size(); }
    // True while every timer call came from the thread that made the host.
    bool TimersTouchedOnlyByOwner() const { return !foreignTimerCall; }

    // Registration of this name answers 0.
    std::wstring failingName;

private:
    struct Timer {
        uint32_t interval { 0 };
        uint32_t lastFired { 0 };
        std::vector<std::function<void()>> handlers;
    };
    void CheckThread();

    std::map<std::wstring, uint32_t> registered;
    mutable std::mutex queueLock;
    std::vector<PostedMessage> queue;
    std::vector<PostedMessage> log;
    Receiver receiver;
    std::map<int, Timer> timers;
    int lastTimerId { 0 };
    std::thread::id owner { std::this_thread::get_id() };
    bool foreignTimerCall { false };
};

// A sound system on a fake window and a capture device (or the null device), under a manual clock.
class SoundRig {
public:
    // `captureRate` 0 puts the system on the null device.
    explicit SoundRig(int captureRate = 44100, int captureChannels = 2);
    ~SoundRig();

    // PlaySound, then waits until the decode thread has started the buffer.
    bool Play(uint32_t id, bool loop);
    // Moves everything forward by `ms` (a multiple of the 10 ms step).
    void Advance(uint32_t ms);
    // Advances until stream `id` has posted its end, at most `limitMs`; answers the time taken.
    uint32_t AdvanceUntilEnd(uint32_t id, uint32_t limitMs);
    uint32_t NowMs() const { return clock.Milliseconds(); }
    size_t EndsOf(uint32_t id) const;

    ManualClock clock;
    ScopedClock scope { clock };
    FakeSoundHost host;
    CaptureAudioDevice* capture { nullptr };
    CSoundSystem system;

private:
    int rate { 0 };
    uint64_t framesAdvanced { 0 };
};
