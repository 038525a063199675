#pragma once
// IMAnimationBase<V>: a control (layer 0) that plays the animation of its view V (an
// IMAnimationView) once, from the program's clock. On every update pass it works out the
// clock index, elapsed time / framePeriod, and asks the view for that frame when it changes;
// once the index passes the last frame, or when the view has nothing to play, it stops and
// fires sigFinished. Between frames it asks the main window to wake it for the next one and
// otherwise lets the loop sleep.
//
// Timing: index 0 shows nothing new (the view starts on its blank first texture); index 1
// shows frame 0; from index 2 on, index n shows frame n; the control stops when the index
// reaches the number of frames.

#include "framework/Signal.h"
#include "framework/ViewControl.h"
#include "framework/Window.h"
#include "platform/Clock.h"

#include <algorithm>
#include <cstdint>

template <class V>
class IMAnimationBase : public IMViewControl<V> {
public:
    // Clock units per second: framePeriod counts sixtieths of a millisecond.
    static constexpr int64_t kUnitsPerSecond = 60000;

    explicit IMAnimationBase(IMDialog* parent) : IMViewControl<V>(parent, 0) { }

    // Fires sigStarted and sigFrame, then starts the clock from now.
    void Play()
    {
        FireSignal(sigStarted, IMEvent(this, 0));
        FireSignal(sigFrame, IMEvent(this, 0));
        playing = true;
        startCounter = GetClock().Counter();
        // The first pass must come even when nothing else wakes the loop.
        RequestPass(this->HasFailed() ? 1 : MillisecondsUntilIndex(1, 0));
    }

    // Stops at the frame on screen and fires sigFinished.
    void Stop()
    {
        playing = false;
        FireSignal(sigFinished, IMEvent(this, 0));
    }

    // Connects a handler to sigFinished. A boost::bind of a control's member is tracked (see
    // framework/Signal.h); for lambdas that must end with a control use ConnectTracked.
    template <class Slot>
    IMConnection ConnectFinished(const Slot& slot)
    {
        return sigFinished.connect(slot);
    }

    bool IsPlaying() const { return playing; }

    // The per-frame hook, run on every update pass.
    long OnFrame() override
    {
        if (!playing)
            return 0;
        V& view = *this;
        const int64_t first = view.FirstFrame();
        const int64_t last = view.LastFrame();
        // A clip that failed, or has no frame at all, finishes at once.
        if (view.HasFailed() || last < first) {
            Stop();
            return 0;
        }
        const int64_t elapsed = ElapsedUnits();
        const int64_t index = elapsed / Period();
        const int64_t length = last + 1 - first;
        const int64_t target = index % length + first;
        if (target != view.CurrentFrame()) {
            if (index > last - first) {
                Stop();
                return 0;
            }
            FireSignal(sigFrame, IMEvent(this, 0));
            view.ShowFrame(static_cast<int32_t>(target));
            this->SetDirty(true);
        }
        if (playing)
            RequestPass(MillisecondsUntilIndex(index + 1, elapsed));
        return 0;
    }

    // Also drops the handlers of the animation's own signals and stops the clock.
    long Release() override
    {
        playing = false;
        sigStarted.disconnect_all_slots();
        sigFinished.disconnect_all_slots();
        sigFrame.disconnect_all_slots();
        return IMViewControl<V>::Release();
    }

    // Clock counter at Play.
    int64_t startCounter { 0 };
    // Duration of one frame in 1/60000 s; 2400 is 25 frames per second.
    int32_t framePeriod { 2400 };
    bool playing { false };

    IMEventSignal sigStarted;
    IMEventSignal sigFinished;
    IMEventSignal sigFrame;

private:
    // A period below one unit would divide by zero; it counts as one.
    int64_t Period() const { return std::max<int64_t>(framePeriod, 1); }

    // Time since Play in clock units, exact in 64 bits for any run length.
    int64_t ElapsedUnits() const
    {
        const IMClock& clock = GetClock();
        const auto now = static_cast<int64_t>(clock.Counter());
        const auto frequency = static_cast<int64_t>(std::max<uint64_t>(clock.Frequency(), 1));
        const int64_t ticks = std::max<int64_t>(now - startCounter, 0);
        return ticks / frequency * kUnitsPerSecond + ticks % frequency * kUnitsPerSecond / frequency;
    }

    // Whole milliseconds (at least 1) from `elapsed` units until clock index `index` begins.
    uint32_t MillisecondsUntilIndex(int64_t index, int64_t elapsed) const
    {
        const int64_t remaining = index * Period() - elapsed;
        const int64_t ms = (remaining + kUnitsPerSecond / 1000 - 1) / (kUnitsPerSecond / 1000);
        return static_cast<uint32_t>(std::clamp<int64_t>(ms, 1, UINT32_MAX));
    }

    static void RequestPass(uint32_t ms)
    {
        if (rootWindow)
            rootWindow->RequestPassWithin(ms);
    }
};
