#pragma once
// One ring buffer of 16-bit interleaved PCM (mono or stereo, any rate) played by an audio device:
// a play cursor, looping, and locking of a region for writing, which hands out two parts when the
// region wraps past the end. Writers fill a private copy of the locked region; Unlock publishes it,
// so the mixing thread never sees a half-written region and never waits on a decoder.
//
// Threads: the owner (one thread at a time: the UI thread or a stream's decode thread) calls
// Lock/Unlock/Play/Stop/positions; the device's mixing thread calls MixInto. One mutex guards the
// samples and the cursor.

#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

class AudioDevice;

class AudioBuffer {
public:
    // Made by AudioDevice::CreateBuffer. `bytes` is rounded down to whole frames.
    AudioBuffer(AudioDevice* device, int rate, int channels, uint32_t bytes, bool followsClock);
    ~AudioBuffer();
    AudioBuffer(const AudioBuffer&) = delete;
    AudioBuffer& operator=(const AudioBuffer&) = delete;

    int Rate() const { return rate; }
    int Channels() const { return channels; }
    uint32_t BlockAlign() const { return static_cast<uint32_t>(channels) * 2; }
    uint32_t Bytes() const { return frameCount * BlockAlign(); }
    uint32_t Frames() const { return frameCount; }

    // Hands out the region [offset, offset + bytes), wrapped at the end of the buffer: part 1 up to
    // the end, part 2 (or null with 0 bytes) from the start. The parts hold the current samples.
    // Fails when the region is empty, longer than the buffer, or a lock is already outstanding.
    bool Lock(uint32_t offset, uint32_t bytes, void** part1, uint32_t* bytes1, void** part2,
              uint32_t* bytes2);
    // Publishes the first `written1`/`written2` bytes of the parts of the outstanding lock.
    // Fails (and publishes nothing) when the pointers are not those of the lock or a count is larger.
    bool Unlock(void* part1, uint32_t written1, void* part2, uint32_t written2);

    // Starts playing from the current position; a looping buffer wraps, another stops at its end.
    bool Play(bool looping);
    // Stops; the position is kept.
    bool Stop();
    bool IsPlaying();
    // Moves the play cursor to `offset` bytes (rounded down to a frame; beyond the end fails).
    bool SetCurrentPosition(uint32_t offset);
    // The play cursor and the write cursor (where it is safe to write), in bytes.
    bool GetCurrentPosition(uint32_t* play, uint32_t* write);

    // Called by the device's mixing thread: adds `frames` frames at `outRate`/`outChannels` to
    // `accumulator`, converting the rate by linear interpolation, and moves the cursor.
    void MixInto(int32_t* accumulator, uint32_t frames, int outRate, int outChannels);
    // Called by the device when it goes away before its buffers: the buffer plays no more.
    void Detach();

private:
    // Under `mutex`: for a buffer on the clock-driven device, moves the cursor by the time elapsed.
    void FollowClock();
    // Under `mutex`: moves the cursor by `frames` source frames, wrapping or stopping at the end.
    void AdvanceFrames(uint64_t frames);
    int16_t SampleAt(uint32_t frame, int channel) const { return samples[frame * channels + channel]; }

    AudioDevice* device { nullptr };
    const int rate;
    const int channels;
    const uint32_t frameCount;
    const bool followsClock;

    std::mutex mutex;
    std::vector<int16_t> samples;  // guarded by mutex
    std::vector<uint8_t> staging;  // the writer's copy of the locked region, laid out like samples
    uint64_t position { 0 };       // guarded by mutex; frames in 32.32 fixed point
    bool looping { false };        // guarded by mutex
    std::atomic<bool> playing { false };
    std::atomic<bool> detached { false };

    // The outstanding lock (owner's thread only).
    bool locked { false };
    uint32_t lockOffset { 0 };
    uint32_t lockBytes1 { 0 };
    uint32_t lockBytes2 { 0 };

    // Clock-driven cursor (guarded by mutex): clock reading at Play and frames moved since then.
    uint64_t playStartCounter { 0 };
    uint64_t framesSincePlay { 0 };
};
