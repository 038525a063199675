#include "framework/Timer.h"

#include "platform/Clock.h"

#include <algorithm>
#include <limits>

namespace {

int64_t Now() { return static_cast<int64_t>(GetClock().Counter()); }

int64_t Frequency()
{
    uint64_t f = GetClock().Frequency();
    return f == 0 ? 1 : static_cast<int64_t>(f);
}

} // namespace

int IMTimerTable::AddTimer(uint32_t interval)
{
    auto timer = std::make_unique<Timer>();
    timer->interval = interval;
    timer->lastFired = Now();
    int id = ++lastTimerId;
    timers.emplace(id, std::move(timer));
    return id;
}

IMConnection IMTimerTable::ConnectTimer(int id, const Handler& handler)
{
    auto it = timers.find(id);
    if (it == timers.end())
        return IMConnection {};
    it->second->everConnected = true;
    return it->second->sigTimer.connect(handler);
}

long IMTimerTable::RemoveTimer(int id)
{
    if (id == 0)
        return 0;
    auto it = timers.find(id);
    if (it == timers.end())
        return 0;
    it->second->sigTimer.disconnect_all_slots();
    std::unique_ptr<Timer> timer = std::move(it->second);
    timers.erase(it);
    // A signal must not be destroyed while it runs its handlers.
    if (firingDepth > 0)
        removedWhileFiring.push_back(std::move(timer));
    return 0;
}

void IMTimerTable::FireDue(const IMEvent& event)
{
    if (timers.empty())
        return;
    int64_t now = Now();
    int64_t frequency = Frequency();
    std::vector<int> ids;
    ids.reserve(timers.size());
    for (const auto& entry : timers)
        ids.push_back(entry.first);
    ++firingDepth;
    for (int id : ids) {
        auto it = timers.find(id);
        if (it == timers.end())
            continue; // removed by an earlier handler of this pass
        Timer* timer = it->second.get();
        int64_t ticks = std::max<int64_t>(0, now - timer->lastFired);
        uint32_t elapsed = static_cast<uint32_t>(ticks * 1000 / frequency);
        if (elapsed < timer->interval)
            continue;
        timer->lastFired = Now();
        // Handlers bound to a destroyed control count as gone; a timer left without any
        // can never do anything again.
        if (timer->sigTimer.empty()) {
            if (timer->everConnected)
                RemoveTimer(id);
            continue;
        }
        FireSignal(timer->sigTimer, event);
        if (timers.count(id) != 0 && timer->sigTimer.empty())
            RemoveTimer(id);
    }
    --firingDepth;
    if (firingDepth == 0)
        removedWhileFiring.clear();
}

uint32_t IMTimerTable::MillisecondsUntilDue() const
{
    if (timers.empty())
        return std::numeric_limits<uint32_t>::max();
    int64_t now = Now();
    int64_t frequency = Frequency();
    int64_t best = std::numeric_limits<int64_t>::max();
    for (const auto& entry : timers) {
        const Timer& t = *entry.second;
        int64_t elapsedMs = std::max<int64_t>(0, now - t.lastFired) * 1000 / frequency;
        int64_t left = static_cast<int64_t>(t.interval) - elapsedMs;
        best = std::min(best, std::max<int64_t>(0, left));
    }
    return static_cast<uint32_t>(std::min<int64_t>(best, std::numeric_limits<uint32_t>::max() - 1));
}

const Timer* IMTimerTable::Find(int id) const
{
    auto it = timers.find(id);
    return it == timers.end() ? nullptr : it->second.get();
}

void IMTimerTable::Clear()
{
    for (auto& entry : timers)
        entry.second->sigTimer.disconnect_all_slots();
    if (firingDepth > 0)
        for (auto& entry : timers)
            removedWhileFiring.push_back(std::move(entry.second));
    timers.clear();
}
