#include "widgets/Scroll.h"

#include "framework/Messages.h"
#include "framework/Window.h"

#include <algorithm>
#include <cmath>

namespace {
void Place(IMControl* control, int x, int y, int w, int h) { control->SetRect(RECT { x, y, x + w, y + h }); }

IMButtonBase<IMStateView>* MakeButton(IMDialog* parent, const wchar_t* texture)
{
    return parent->CreateButton(0, 0, texture, L"", L"", L"");
}
} // namespace

IMScroll::IMScroll(IMDialog* parent, const RECT& rect, int layer) : IMDialog(parent, &rect, layer)
{
    background = CreatePicture(0, 0, L"ScrollBackground");
    upButton = MakeButton(this, L"ScrollButtonUp");
    downButton = MakeButton(this, L"ScrollButtonDown");
    upperTrack = MakeButton(this, L"ScrollBackground");
    lowerTrack = MakeButton(this, L"ScrollBackground");
    slider = MakeButton(this, L"ScrollSlider");

    for (auto* button : { upButton, downButton, upperTrack, lowerTrack }) {
        Connect(button->sigMouseButton, this, &IMScroll::OnStepButton);
        Connect(button->sigMouseLeave, this, &IMScroll::OnStepButton);
    }
    Connect(slider->sigMouseButton, this, &IMScroll::OnSliderMouse);
    if (rootWindow) {
        Connect(rootWindow->sigMouseLeave, this, &IMScroll::OnSliderMouse);
        Connect(rootWindow->sigMouseButton, this, &IMScroll::OnSliderMouse);
    }
    UpdateLayout();
}

IMScroll::~IMScroll() { StopRepeat(); }

long IMScroll::SetRect(const RECT& r)
{
    IMDialog::SetRect(r);
    return UpdateLayout();
}

long IMScroll::UpdateLayout()
{
    const int w = GetWidth();
    const int h = GetHeight();
    const int track = h - 2 * w;
    const int range = Range();
    Place(upButton, 0, 0, w, w);
    Place(downButton, 0, h - w, w, w);
    Place(background, 0, 0, w, h);
    if (range <= 0 || track <= 0) {
        // Nothing to scroll: the slider fills the track.
        Place(upperTrack, 0, w, w, 0);
        Place(lowerTrack, 0, h - w, w, 0);
        if (!dragging)
            Place(slider, 0, w, w, std::max(track, 0));
        return 0;
    }
    Place(upperTrack, 0, w, w, track * position / range + w);
    const int below = (position + page) * track / range;
    Place(lowerTrack, 0, w + below, w, track - below);
    if (!dragging)
        Place(slider, 0, w + track * position / range, w, track * page / range);
    return 0;
}

void IMScroll::SetPosition(int value)
{
    if (Range() <= 0)
        return;
    const int next = std::min(maximum - page, std::max(value, minimum));
    if (next == position)
        return;
    position = next;
    if (!sigPositionChanged.empty())
        sigPositionChanged(IMEvent { this, IM_STATE_CHANGE }, position);
    UpdateLayout();
}

int IMScroll::StepOf(const IMControl* sender) const
{
    if (sender == upButton)
        return -(page / 10);
    if (sender == downButton)
        return page / 10;
    if (sender == upperTrack)
        return -page;
    if (sender == lowerTrack)
        return page;
    return 0;
}

void IMScroll::StopRepeat()
{
    dragOrRepeat.disconnect();
    if (repeatTimer && rootWindow)
        rootWindow->RemoveTimer(repeatTimer);
    repeatTimer = 0;
}

long IMScroll::OnStepButton(const IMMouseEvent& event)
{
    const int step = StepOf(event.sender);
    auto arm = [this, &event](uint32_t interval) {
        if (!rootWindow)
            return;
        repeatTimer = rootWindow->AddTimer(interval);
        IMMouseEvent tick = event;
        tick.message = IM_STATE_CHANGE;
        dragOrRepeat = rootWindow->ConnectTimerTracked(repeatTimer, this,
            [this, tick](const IMEvent&) { return OnStepButton(tick); });
    };
    if (event.Is(WM_LBUTTONDOWN)) {
        StopRepeat();
        dragging = false;
        SetPosition(position + step);
        arm(500);
    } else if (event.Is(IM_STATE_CHANGE)) {
        StopRepeat();
        SetPosition(position + step);
        arm(50);
    } else if ((event.Is(WM_LBUTTONUP) || event.Is(WM_MOUSELEAVE)) && repeatTimer) {
        StopRepeat();
    }
    return 0;
}

long IMScroll::OnSliderMouse(const IMMouseEvent& event)
{
    if (event.Is(WM_LBUTTONDOWN) && event.sender == slider) {
        if (!rootWindow)
            return 0;
        StopRepeat();
        lastMouseXDrag = rootWindow->lastMouseX;
        lastMouseYDrag = rootWindow->lastMouseY;
        dragging = true;
        dragOrRepeat = Connect(rootWindow->sigMouseMove, this, &IMScroll::OnSliderMouse);
        return 0;
    }
    if ((event.Is(WM_LBUTTONUP) || event.Is(WM_MOUSELEAVE)) && dragging) {
        dragOrRepeat.disconnect();
        dragging = false;
        UpdateLayout();
        return 0;
    }
    if (event.Is(WM_MOUSEMOVE) && dragging) {
        const int w = GetWidth();
        const int track = GetHeight() - 2 * w;
        const int sliderHeight = slider->GetHeight();
        const int y = std::clamp(slider->GetRect().top + (event.y - lastMouseYDrag), w,
            std::max(w, GetHeight() - w - sliderHeight));
        if (Range() > 0 && track > 0) {
            const int next = static_cast<int>(
                std::floor(static_cast<double>(y - w) * Range() / track + 0.5));
            if (next != position)
                SetPosition(next);
        }
        slider->MoveTo(0, y);
        lastMouseXDrag = event.x;
        lastMouseYDrag = event.y;
        UpdateLayout();
    }
    return 0;
}
