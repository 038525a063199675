#pragma once
// IMWindow: the program's one top-level window and the root of the control tree. It turns
// window messages into tree calls (the window procedure), runs the message loop with its
// per-pass update, frame and timers, and owns the millisecond timers the rest of the
// program uses. The process-wide `rootWindow` points to it while it exists.
//
// One pass of the loop: dispatch every queued message (input and posted messages); then,
// unless the window is quitting, update the tree, draw a frame if anything is dirty, fire the
// due timers, and let the caller sleep until input arrives or the next timer is due.
//
// UI thread only, except where a comment says otherwise.

#include "framework/Dialog.h"
#include "framework/Timer.h"
#include "platform/Events.h"
#include "platform/MessageQueue.h"

#include <cstdint>
#include <memory>
#include <string>

class IMDisplay;

class IMWindow : public IMDialog {
public:
    // Opens the real window (full screen unless `windowed`) with `title`, starts the resource
    // manager on it and sets `rootWindow` and `windowHandle`. Null, with a diagnostic line,
    // when there is no display or no renderer.
    static IMWindow* Create(const std::wstring& title, bool windowed);
    // The same over an in-memory display of width x height: no window, the cursor simulated,
    // input only through InjectMessage, posted messages and pushed SDL events.
    static IMWindow* CreateHeadless(int width = 800, int height = 600);

    // The message loop: passes until the window quits; returns 0.
    static int Run(IMWindow* window);

    // Deletes the released and remaining screens, shuts the resource manager down, clears
    // `rootWindow` and `windowHandle`, closes the display and deletes the timers.
    ~IMWindow() override;

    // ---- timers ----

    // A timer of `interval` ms; returns its id (1, 2, 3, ... never reused). 0 when called
    // off the UI thread.
    int AddTimer(uint32_t interval);
    // Connects `handler` to timer `id`; an empty connection when there is no such timer.
    IMConnection ConnectTimer(int id, const IMTimerTable::Handler& handler);
    // Disconnects and deletes timer `id`; 0 and unknown ids are ignored. Safe from the
    // timer's own handler. From another thread the removal is handed to the UI thread.
    long RemoveTimer(int id);
    // Connects any callable to timer `id` so that the connection ends by itself when `owner`
    // (a control) is destroyed; the timer then goes at its next firing.
    template <class Owner, class Handler>
    IMConnection ConnectTimerTracked(int id, Owner* owner, Handler handler);
    const IMTimerTable& Timers() const { return timers; }

    // ---- the loop ----

    // One pass of the loop (see the top of this file). Returns how long the caller may sleep,
    // in ms (UINT32_MAX: until input), or 0 once the window is quitting.
    uint32_t RunPass();
    // The window procedure: what one window message does to the window and the tree.
    void HandleMessage(const IMWindowMessage& msg);
    // Tests inject window messages here, as if they came from the windowing system.
    void InjectMessage(uint32_t message, uint32_t wParam, int32_t lParam)
    {
        HandleMessage(IMWindowMessage { message, wParam, lParam });
    }
    // The next sleep of the loop lasts at most `ms` (per-frame hooks that animate call it on
    // every pass; timers need not).
    void RequestPassWithin(uint32_t ms);
    // True once the quit was requested (Release, WM_DESTROY); the loop then ends.
    bool IsQuitting() const { return quitting; }

    // ---- frames ----

    // Draws a frame when anything in the tree is dirty; counts the frame tick either way.
    // Nothing at all while `inactive`.
    virtual long Render();
    // Frames actually drawn since creation.
    uint32_t FramesDrawn() const { return framesDrawn; }
    // Frame ticks counted by the renderer (drawn or skipped).
    uint32_t FrameCount() const;

    IMDisplay* Display() const { return display.get(); }

    // ---- overrides ----

    // Requests the end of the loop instead of detaching from a parent.
    long Release() override;
    // Notices the mouse entering and leaving the window.
    long OnFrame() override;

    // The window is minimised or hidden: no frame is drawn (the tree is still updated and
    // timers still fire).
    bool inactive { false };

private:
    IMWindow(std::unique_ptr<IMDisplay> display, bool windowed);
    static IMWindow* Open(std::unique_ptr<IMDisplay> display, bool windowed);
    bool DeviceLost() const;
    void DispatchQueued();

    std::unique_ptr<IMDisplay> display;
    IMTimerTable timers;
    IMEventTranslator translator;
    bool quitting { false };
    bool closing { false };
    uint32_t framesDrawn { 0 };
    uint32_t passWithin { UINT32_MAX };
};

namespace im_timer_detail {
template <class Handler, class Owner>
struct TrackedCall {
    mutable Handler handler;
    long operator()(Owner*, const IMEvent& event) const { return static_cast<long>(handler(event)); }
};
}

template <class Owner, class Handler>
IMConnection IMWindow::ConnectTimerTracked(int id, Owner* owner, Handler handler)
{
    // boost::bind exposes the owner pointer to Signals2, which tracks it as a trackable.
    using Call = im_timer_detail::TrackedCall<Handler, Owner>;
    return ConnectTimer(id, IMTimerTable::Handler(
        boost::bind<long>(Call { std::move(handler) }, owner, boost::placeholders::_1)));
}

// The main window; null before creation and after destruction.
extern IMWindow* rootWindow;
// The display the main window draws on (the window handle); null without a window.
extern IMDisplay* windowHandle;
