#pragma once
// IMScroll: a vertical scroll bar with two arrow buttons, clickable track areas above and below
// a draggable slider. Holding an arrow or a track area steps once, again after 500 ms and then
// every 50 ms; dragging the slider follows the mouse until the button is released anywhere in
// the window or the mouse leaves the window.
//
// The owner sets `maximum`, `page` and `position`, calls UpdateLayout(), and listens to
// sigPositionChanged. A bar whose range (maximum - minimum) is not positive shows a slider over
// the whole track and keeps its position.

#include "framework/Button.h"
#include "framework/Dialog.h"
#include "framework/StateView.h"
#include "framework/StaticPicture.h"

#include <boost/signals2/signal.hpp>

class IMScroll : public IMDialog {
public:
    using PositionSignal = boost::signals2::signal<long(const IMEvent&, int), boost::signals2::last_value<long>>;

    IMScroll(IMDialog* parent, const RECT& rect, int layer = 0);
    ~IMScroll() override;

    long SetRect(const RECT& rect) override;
    virtual long OnSliderMouse(const IMMouseEvent& event);
    virtual long UpdateLayout();

    // Moves to `value` clamped to minimum .. maximum - page; fires sigPositionChanged on a change.
    void SetPosition(int value);

    int minimum { 0 };
    int maximum { 100 };
    int position { 0 };
    int page { 10 };
    int orientation { 0 };
    PositionSignal sigPositionChanged;

    IMButtonBase<IMStateView>* UpButton() const { return upButton; }
    IMButtonBase<IMStateView>* DownButton() const { return downButton; }
    IMButtonBase<IMStateView>* UpperTrack() const { return upperTrack; }
    IMButtonBase<IMStateView>* LowerTrack() const { return lowerTrack; }
    IMButtonBase<IMStateView>* Slider() const { return slider; }
    bool IsDragging() const { return dragging; }
    int RepeatTimer() const { return repeatTimer; }

private:
    long OnStepButton(const IMMouseEvent& event);
    int StepOf(const IMControl* sender) const;
    void StopRepeat();
    int Range() const { return maximum - minimum; }

    IMStaticPictureBase<IMTextureView>* background { nullptr };
    IMButtonBase<IMStateView>* upButton { nullptr };
    IMButtonBase<IMStateView>* downButton { nullptr };
    IMButtonBase<IMStateView>* upperTrack { nullptr };
    IMButtonBase<IMStateView>* lowerTrack { nullptr };
    IMButtonBase<IMStateView>* slider { nullptr };
    IMConnection dragOrRepeat;
    int repeatTimer { 0 };
    bool dragging { false };
    int lastMouseXDrag { 0 };
    int lastMouseYDrag { 0 };
};
