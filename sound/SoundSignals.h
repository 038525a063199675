#pragma once
// The signals a sound stream fires on the UI thread: play, end and stop with the stream id, and
// one per label time with (stream id, label time in ms). Handlers return a long, 0 by
// convention; the value is ignored.

#include <boost/signals2/last_value.hpp>
#include <boost/signals2/signal.hpp>

#include <cstdint>

using SoundSignal = boost::signals2::signal<long(uint32_t), boost::signals2::last_value<long>>;
using LabelSignal = boost::signals2::signal<long(uint32_t, uint32_t), boost::signals2::last_value<long>>;
using SoundConnection = boost::signals2::connection;

// Calls `signal` only when it has a handler that can run.
template <class Signal, class... Args>
void FireSoundSignal(Signal& signal, Args... args)
{
    if (signal.empty())
        return;
    try {
        signal(args...);
    } catch (const boost::signals2::no_slots_error&) {
    }
}
