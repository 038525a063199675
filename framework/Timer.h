#pragma once
// Millisecond timers of the main window. Each timer fires its signal when its interval has
// passed since it was created or last fired; a late timer fires once (missed periods are not
// caught up). Ids are 1, 2, 3, ... and never reused. Everything here runs on the UI thread.

#include "framework/Event.h"
#include "framework/Signal.h"

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

struct Timer {
    uint32_t interval { 0 };  // milliseconds between firings
    int64_t lastFired { 0 };  // clock counter at creation or at the last firing
    IMEventSignal sigTimer;   // handlers run with IMEvent{sender root window, message 0}
    bool everConnected { false }; // a handler was connected at some time
};

class IMTimerTable {
public:
    using Handler = IMEventSignal::slot_type;

    // A new timer of `interval` ms, started now. Returns its id.
    int AddTimer(uint32_t interval);
    // Connects `handler` to timer `id`; an empty connection when there is no such timer.
    IMConnection ConnectTimer(int id, const Handler& handler);
    // Disconnects every handler of timer `id` and forgets it; 0 and unknown ids are ignored.
    // Safe from the timer's own handler (it is deleted once its firing is over).
    long RemoveTimer(int id);

    // Fires every timer that is due, in ascending id order, with `event`. Timers added while
    // the pass runs are first examined by the next pass. A timer that had handlers and has none
    // left (they went with the controls they were bound to, or were disconnected) is dropped,
    // so nothing keeps waking the loop for nobody.
    void FireDue(const IMEvent& event);

    // Milliseconds until the next timer is due (0 when one is due now), or UINT32_MAX when
    // there are no timers.
    uint32_t MillisecondsUntilDue() const;

    bool HasTimer(int id) const { return timers.count(id) != 0; }
    size_t Count() const { return timers.size(); }
    const Timer* Find(int id) const;
    int LastTimerId() const { return lastTimerId; }
    // Deletes every timer (the ids stay used).
    void Clear();

private:
    int lastTimerId { 0 };
    std::map<int, std::unique_ptr<Timer>> timers;
    int firingDepth { 0 };
    std::vector<std::unique_ptr<Timer>> removedWhileFiring;
};
