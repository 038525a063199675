#include "app/ResultsScreen.h"

#include "app/ScreenParts.h"
#include "framework/Button.h"

#include <memory>

namespace {

constexpr uint32_t kUnavailable = 0xFF808080; // grey over a button with nothing to do

// Connects `action` to the button's click, or, without one, greys the button and disables it
// (a disabled button still reports clicks, so it gets no handler at all).
void OfferOrGrey(IMButtonBase<IMStateView>* button, const std::function<void()>& action)
{
    if (!action) {
        button->colour = kUnavailable;
        button->Disable();
        return;
    }
    ConnectTracked(button->sigClick, button, [action](const IMMouseEvent&) {
        action();
        return 0L;
    });
}

} // namespace

IMDialog* BuildResultsScreen(IMDialog* mainWindow, const ResultsScreenTexts& texts, ResultsScreenActions actions)
{
    IMDialog* screen = CreateHeadedScreen(mainWindow);
    CreateCentredText(screen, 150, L"ЗАДАНИЕ ВЫПОЛНЕНО", 24);
    CreateScreenText(screen, 30, 250, L"Номер ЦОР:", 18, true);
    CreateScreenText(screen, 135, 250, texts.resourceNumber, 18);
    CreateScreenText(screen, 30, 300, L"Название:", 18, true);
    CreateScreenText(screen, 135, 300, texts.title, 18);
    CreateScreenText(screen, 30, 350, L"Ученик:", 18, true);
    CreateScreenText(screen, 135, 350, texts.pupilName, 18);
    CreateScreenText(screen, 30, 465, L"Статистика:", 18, true);

    auto* print = screen->CreateButton(30, 490, L"PrintButton", L"PrintButton", L"PrintButtonNuv", L"PrintButtonKlick");
    auto* saveAs = screen->CreateButton(128, 490, L"SaveAsButton", L"SaveAsButton", L"SaveAsButtonNuv",
        L"SaveAsButtonKlick");
    auto* retry = screen->CreateButton(535, 490, L"RetryButton", L"RetryButton", L"RetryButtonNuv", L"RetryButtonKlick");
    auto* close = screen->CreateButton(660, 490, L"CloseButton", L"CloseButton", L"CloseButtonNuv", L"CloseButtonKlick");
    auto* exitButton = screen->CreateButton(755, 22, L"ExitButton", L"", L"", L"");

    OfferOrGrey(print, actions.print);
    OfferOrGrey(saveAs, actions.saveAs);

    // Retry runs once, then the screen goes; a second click before it is gone does nothing.
    auto retried = std::make_shared<bool>(false);
    ConnectTracked(retry->sigClick, retry, [screen, retried, action = actions.retry](const IMMouseEvent&) {
        if (*retried)
            return 0L;
        *retried = true;
        if (action)
            action();
        return screen->Close();
    });

    const auto quit = [action = actions.close](const IMMouseEvent&) {
        if (action)
            action();
        return 0L;
    };
    ConnectTracked(close->sigClick, close, quit);
    ConnectTracked(exitButton->sigClick, exitButton, quit);

    // NOTE: no key handler on purpose: keys, Enter included, do nothing on this screen.
    return screen;
}
