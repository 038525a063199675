#include "app/ExitDialog.h"

#include "app/ScreenParts.h"
#include "framework/Button.h"

#include <algorithm>

namespace {

constexpr int kBoxWidth = 136;
constexpr int kBoxHeight = 200;
constexpr uint32_t kDimming = 0x4B000096; // translucent dark blue

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

    HoldKeyboardWhileOpen(mainWindow, overlay);
    return overlay;
}
