#pragma once
// The one clock every time-driven part of the program reads: timers, glides, blinks, video
// frames and sound cues. Tests install a ManualClock and advance it themselves.

#include <atomic>
#include <cstdint>

class IMClock {
public:
    virtual ~IMClock() = default;
    // Milliseconds since an arbitrary start, wrapping like a 32-bit tick count.
    virtual uint32_t Milliseconds() const = 0;
    // High-resolution counter and its ticks per second.
    virtual uint64_t Counter() const = 0;
    virtual uint64_t Frequency() const = 0;
};

// Steady wall clock (std::chrono::steady_clock).
class RealClock final : public IMClock {
public:
    uint32_t Milliseconds() const override;
    uint64_t Counter() const override;
    uint64_t Frequency() const override;
};

// A clock that moves only when told to. Safe to read from any thread.
class ManualClock final : public IMClock {
public:
    explicit ManualClock(uint64_t startMicroseconds = 0) : now(startMicroseconds) { }
    uint32_t Milliseconds() const override { return static_cast<uint32_t>(now.load() / 1000); }
    uint64_t Counter() const override { return now.load(); }
    uint64_t Frequency() const override { return 1'000'000; }
    void AdvanceMilliseconds(uint64_t ms) { now += ms * 1000; }
    void AdvanceMicroseconds(uint64_t us) { now += us; }

private:
    std::atomic<uint64_t> now;
};

// The process-wide clock; a RealClock unless a test installed another.
IMClock& GetClock();
// Installs `clock` (not owned) as the process-wide clock; null restores the real one.
void SetClock(IMClock* clock);

// Installs a clock for the lifetime of a scope.
class ScopedClock {
public:
    explicit ScopedClock(IMClock& clock) { SetClock(&clock); }
    ~ScopedClock() { SetClock(nullptr); }
    ScopedClock(const ScopedClock&) = delete;
    ScopedClock& operator=(const ScopedClock&) = delete;
};
