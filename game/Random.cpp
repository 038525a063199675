#include "game/Random.h"

#include "platform/Clock.h"

#include <cstdint>
#include <cstdlib>

int RandomBelow(int n)
{
    if (n <= 0)
        return 0;
    // Values at or above the largest multiple of n that fits the generator's range would
    // favour the small results; they are drawn again.
    const uint64_t range = static_cast<uint64_t>(RAND_MAX) + 1;
    const uint64_t limit = range - range % static_cast<uint64_t>(n);
    uint64_t r = 0;
    do {
        r = static_cast<uint64_t>(std::rand());
    } while (r >= limit);
    return static_cast<int>(r % static_cast<uint64_t>(n));
}

void ReseedFromTicks() { std::srand(GetClock().Milliseconds()); }
