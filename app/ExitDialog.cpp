#include "app/ExitDialog.h"

#include "app/ScreenParts.h"
#include "framework/Button.h"

#include <algorithm>

namespace {

constexpr int kBoxWidth = 136;
constexpr int kBoxHeight = 200;
constexpr uint32_t kDimming = 0x4B000096; // translucent dark blue

// Whether `child` is still one of `dialog`'s children and not on its way out. Compares
// pointers only: `child` may already be gone.
bool IsLiveChild(const IMDialog* dialog, const IMControl* child)
{
    if (!child || dialog->IsPendingDelete(child))
        return false;
    for (const auto* map : { &dialog->GetChildren(), &dialog->GetPendingChildren() })
        for (const auto& [layer, controls] : *map)
            if (std::find(controls.begin(), controls.end(), child) != controls.end())
                return true;
    return false;
}

// Connects `action` to the button's click; an empty action leaves the button without one.
void ConnectAction(IMButtonBase<IMStateView>* button, const std::function<void()>& action)
{
    if (!action)
        return;
    ConnectTracked(button->sigClick, button, [action](const IMMouseEvent&) {
        action();
        return 0L;
    });
}

} // namespace

IMDialog* BuildExitDialog(IMDialog* mainWindow, int width, int height, ExitDialogActions actions)
{
    // The overlay covers everything, so mouse input outside the box stops at it.
    IMDialog* overlay = CreateSubDialog(0, width, mainWindow, 0, height, 1099);
    auto* dimming = overlay->CreatePicture(0, 0, L"EditBarKaretka", 0, kDimming);
    dimming->SetRect(RECT { 0, 0, width, height });

    IMDialog* box = CreateSubDialog((width - kBoxWidth) / 2, kBoxWidth, overlay, (height - kBoxHeight) / 2,
        kBoxHeight, 1);
    auto* background = box->CreatePicture(0, 0, L"DefaultBackGround");
    background->SetRect(RECT { 0, -100, kBoxWidth, 300 });

    auto* retry = box->CreateButton(10, 20, L"RetryButton", L"RetryButton", L"RetryButtonNuv", L"RetryButtonKlick");
    auto* close = box->CreateButton(10, 80, L"CloseButton", L"CloseButton", L"CloseButtonNuv", L"CloseButtonKlick");
    auto* cancel = box->CreateButton(10, 140, L"CancelButton", L"CancelButton", L"CancelButtonNuv",
        L"CancelButtonKlick");
    ConnectAction(retry, actions.retry);
    ConnectAction(close, actions.close);
    ConnectAction(cancel, actions.cancel);

    // The one-pixel frame: left, top, right, bottom.
    const RECT frame[] = {
        { 0, 0, 1, kBoxHeight },
        { 0, 0, kBoxWidth, 1 },
        { kBoxWidth - 1, 0, kBoxWidth, kBoxHeight },
        { 0, kBoxHeight - 1, kBoxWidth, kBoxHeight },
    };
    for (const RECT& line : frame)
        box->CreatePicture(0, 0, L"EditBarKaretka")->SetRect(line);

    // The keyboard stays with the overlay while it is open, so that typing or Enter does not
    // reach the screen beneath; when it closes, the screen that had the keyboard gets it back.
    IMControl* previousFocus = mainWindow->GetFocusChild();
    overlay->SetFocus(true);
    ConnectTracked(overlay->sigClosed, overlay, [mainWindow, overlay, previousFocus](const IMEvent&) {
        if (overlay->IsFocused() && IsLiveChild(mainWindow, previousFocus))
            previousFocus->SetFocus(true);
        return 0L;
    });
    return overlay;
}
