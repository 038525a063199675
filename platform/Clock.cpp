#include "platform/Clock.h"

#include <chrono>

namespace {
RealClock realClock;
std::atomic<IMClock*> currentClock { &realClock };

uint64_t SteadyMicroseconds()
{
    using namespace std::chrono;
    static const auto start = steady_clock::now();
    return static_cast<uint64_t>(duration_cast<microseconds>(steady_clock::now() - start).count());
}
} // namespace

uint32_t RealClock::Milliseconds() const { return static_cast<uint32_t>(SteadyMicroseconds() / 1000); }
uint64_t RealClock::Counter() const { return SteadyMicroseconds(); }
uint64_t RealClock::Frequency() const { return 1'000'000; }

IMClock& GetClock() { return *currentClock.load(); }

void SetClock(IMClock* clock) { currentClock.store(clock ? clock : &realClock); }
