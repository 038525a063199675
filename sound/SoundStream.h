#pragma once
// The playback of one sound through its own one-second ring buffer, refilled half by half by a
// decode thread that looks at the play cursor every 20 ms. The stream knows when the sound has
// run out (two halves of silence queued behind it), loops seamlessly, stops with a handshake,
// and schedules time labels as main-window timers. Every notification leaves as a message posted
// to the UI thread; the decode thread calls nothing else outside the stream.
//
// Threads: everything public runs on the UI thread. `lock` guards the playback members, the
// label lists and the source; the decode thread holds it for each look at the cursor.

#include "sound/SoundSignals.h"

#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class AudioBuffer;
class CSoundSystem;
class SoundSource;

class CSoundStream {
public:
    // Makes the buffer for `source` on the system's audio device; IsValid() tells whether it could.
    CSoundStream(CSoundSystem* system, SoundSource* source, uint32_t streamId);
    // Stops and joins the decode thread, removes the label timers.
    ~CSoundStream();
    CSoundStream(const CSoundStream&) = delete;
    CSoundStream& operator=(const CSoundStream&) = delete;

    bool IsValid() const { return buffer != nullptr; }
    // Starts playback and answers true; while playing only stores `loop` (it takes effect at the
    // next refill) and answers false. False too when the buffer cannot be filled.
    bool Play(bool loop);
    // Ends playback and waits for the decode thread; false (and nothing posted) when stopped.
    bool Stop();
    // Adds a label time (ms from the start) to be reached in the next playback; only while
    // stopped, and only once.
    void AddLabelTime(uint32_t timeMs);
    // The label timer `timerId` for `timeMs` has fired.
    void OnLabelTimer(int timerId, uint32_t timeMs);
    // The end message of this stream has reached the UI thread: removes the label timers the
    // natural end left behind and reaps the finished decode thread.
    void OnEndMessage();

    bool IsPlaying() const;
    SoundSource* Source() const { return source; }
    uint32_t StreamId() const { return streamId; }
    // Bytes read from the source since playback started.
    uint32_t BytesDecoded() const;
    uint32_t BufferBytes() const { return bufferBytes; }
    std::vector<uint32_t> PendingLabels() const;

    // Wakes the decode thread for one look at the play cursor and returns once it has taken it
    // (at once when nothing plays). For drivers that move the audio device by hand.
    void RunPass();

    SoundSignal playSignal;
    SoundSignal endSignal;
    SoundSignal stopSignal;
    std::map<uint32_t, LabelSignal> labelSignals;

private:
    static constexpr int kCommandEnd = 3;

    // Decode thread.
    void DecodeThread();
    // Under `lock`: fills the half at `offset`; see the comments inside for the end of the data.
    void RefillHalf(uint32_t offset);
    // Under `lock`: fills `part` with `length` bytes from the source, looping it when `loop` is
    // set; answers whether the data ran out (the rest is then silence).
    bool FillFromSource(uint8_t* part, uint32_t length);
    // Under `lock`, UI thread: the first half before the thread starts.
    bool Prefill();
    // Under `lock`: the timer ids of the current playback, emptied.
    std::vector<int> TakeLabelTimers();
    void RemoveTimers(const std::vector<int>& ids);
    void JoinThread();

    CSoundSystem* system { nullptr };
    SoundSource* source { nullptr };
    int state { 0 };           // 0 stopped, 1 playing
    int command { 0 };         // kCommandEnd asks the decode thread to end
    bool wakeSignalled { false };
    std::condition_variable wakeEvent;
    std::thread thread;
    uint32_t bufferBytes { 0 };
    bool fillSecondHalf { true };
    uint32_t firstHalfOffset { 0 };
    uint32_t halfBytes { 0 };
    std::unique_ptr<AudioBuffer> buffer;
    bool loop { false };
    int endCount { 0 };        // halves of silence written after the data ran out
    std::vector<uint32_t> pendingLabels;
    std::vector<int> labelTimers;
    std::vector<int> endedTimers; // left by a natural end, removed on the UI thread
    uint32_t streamId { 0 };
    mutable std::mutex lock;
    uint32_t bytesDecoded { 0 };
    uint64_t passes { 0 };
    bool threadFinished { false }; // the decode thread has posted its end
    std::condition_variable passTaken;
};
