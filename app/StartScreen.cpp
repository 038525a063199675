#include "app/StartScreen.h"

#include "app/ScreenParts.h"
#include "framework/Button.h"
#include "framework/Messages.h"
#include "graphics/TextLabel.h"
#include "widgets/EditBar.h"
#include "widgets/Scroll.h"

#include <boost/bind/bind.hpp>

#include <memory>

namespace {

// The description area: the visible window onto the text, and the scroll bar beside it.
constexpr int kDescriptionLeft = 119;
constexpr int kDescriptionTop = 187;
constexpr int kDescriptionWidth = 593;
constexpr int kDescriptionHeight = 236;
// The text wraps at the area's width; this height only seeds the layout.
constexpr int kDescriptionLayoutHeight = 415;
// The inner dialog's height when the description lays out to nothing.
constexpr int kEmptyDescriptionHeight = 235;
constexpr RECT kScrollRect { 712, 187, 726, 427 };

constexpr RECT kNameField { 135, 460, 135 + 520, 460 + 20 };

// Keeps the top of the scrolled text at -position.
struct MoveToScrollPosition {
    long operator()(IMDialog* inner, const IMEvent&, int position) const
    {
        inner->MoveTo(0, -position);
        return 0;
    }
};

// Builds the scrolled description inside `screen`.
void BuildDescription(IMDialog* screen, const std::wstring& description)
{
    IMDialog* outer = CreateSubDialog(kDescriptionLeft, kDescriptionWidth, screen, kDescriptionTop,
        kDescriptionHeight, 0);
    IMDialog* inner = CreateSubDialog(0, kDescriptionWidth, outer, 0, kDescriptionHeight, 0);
    // A click on the description must not take the keyboard away from the name field.
    outer->SetFocusable(false);
    inner->SetFocusable(false);

    auto* text = new IMTextLabel(inner, 0);
    text->textColour = kScreenTextColour;
    text->fontHeight = 18;
    text->wrap = true;
    text->SetRect(RECT { 0, 0, kDescriptionWidth, kDescriptionLayoutHeight });
    text->SetText(description);
    const RECT extent = text->GetSourceRect();
    text->SetRect(RECT { 0, 0, RectWidth(extent), RectHeight(extent) });

    const int textHeight = RectHeight(extent);
    const int innerHeight = textHeight > 0 ? textHeight : kEmptyDescriptionHeight;
    inner->SetRect(RECT { 0, 0, kDescriptionWidth, innerHeight });

    auto* scroll = new IMScroll(screen, kScrollRect, 0);
    scroll->SetFocusable(false);
    scroll->maximum = innerHeight;
    scroll->page = kDescriptionHeight;
    scroll->position = 0;
    scroll->UpdateLayout();
    if (textHeight <= kDescriptionHeight)
        scroll->Hide();
    // Bound through boost::bind so that the connection ends with the inner dialog.
    scroll->sigPositionChanged.connect(IMScroll::PositionSignal::slot_type(
        boost::bind<long>(MoveToScrollPosition {}, inner, boost::placeholders::_1, boost::placeholders::_2)));
}

} // namespace

IMDialog* BuildStartScreen(IMDialog* mainWindow, const StartScreenTexts& texts, StartScreenActions actions)
{
    IMDialog* screen = CreateHeadedScreen(mainWindow);
    CreateScreenText(screen, 30, 115, L"Номер ЦОР:", 18, true);
    CreateScreenText(screen, 135, 115, texts.resourceNumber, 18);
    CreateScreenText(screen, 30, 152, L"Название:", 18, true);
    CreateScreenText(screen, 135, 152, texts.title, 18);
    CreateScreenText(screen, 30, 188, L"Описание:", 18, true);
    BuildDescription(screen, texts.description);

    CreateScreenText(screen, 30, 460, L"Ученик:", 18, true);
    auto* nameField = new IMEditBar(screen, 0);
    nameField->SetRect(kNameField);
    auto* startButton = screen->CreateButton(690, 450, L"StartPopStartButton", L"StartPopStartButton",
        L"StartPopStartButtonNuv", L"StartPopStartButtonKlick");
    auto* exitButton = screen->CreateButton(755, 22, L"ExitButton", L"", L"", L"");

    CreateScreenText(screen, 30, 520, L"Клавиши:", 18, true);
    screen->CreatePicture(135, 517, L"EscButton");
    CreateScreenText(screen, 180, 520, L"- пропустить инструкцию;", 16);
    screen->CreatePicture(350, 517, L"F1Button");
    CreateScreenText(screen, 395, 520, L"- повторить инструкцию;", 16);
    screen->CreatePicture(555, 517, L"F12Button");
    CreateScreenText(screen, 600, 520, L"- выход", 16);
    auto* optionsButton = screen->CreateButton(665, 510, L"OptionsButton", L"OptionsButton", L"OptionsButtonNuv",
        L"OptionsButtonKlick");

    // Start and Enter share one run: the name goes to the action once, then the screen goes.
    // The flag keeps a second Enter or click that arrives before the screen is gone from
    // starting a second run.
    auto started = std::make_shared<bool>(false);
    auto start = [screen, nameField, started, action = actions.start]() {
        if (*started)
            return 0L;
        *started = true;
        const std::wstring name = nameField->GetText();
        if (action)
            action(name);
        screen->Close();
        return 0L;
    };
    ConnectTracked(startButton->sigClick, startButton, [start](const IMMouseEvent&) { return start(); });
    ConnectTracked(nameField->sigKey, nameField, [start](const IMKeyboardEvent& event) {
        // A press of Enter, as key-down or as its character; its key-up starts nothing.
        if (event.wParam == VK_RETURN && (event.Is(WM_KEYDOWN) || event.Is(WM_CHAR)))
            return start();
        return 0L;
    });

    ConnectTracked(exitButton->sigClick, exitButton, [exit = actions.exit](const IMMouseEvent&) {
        if (exit)
            exit();
        return 0L;
    });

    if (actions.options) {
        ConnectTracked(optionsButton->sigClick, optionsButton,
            [mainWindow, options = actions.options](const IMMouseEvent&) {
                auto* page = new IMDialog(mainWindow, nullptr, 0);
                page->SetFocus(true);
                options(page);
                return 0L;
            });
    } else {
        // Without an options page the button stays in its place but offers nothing: no
        // highlight under the mouse, no press, no page.
        optionsButton->Disable();
    }

    // The keyboard belongs to the name field whenever the screen has it, also when the screen
    // gets it back from a dialog that held it for a while.
    ConnectTracked(screen->sigFocusGained, nameField, [nameField](const IMEvent&) {
        return nameField->SetFocus(true);
    });
    nameField->SetFocus(true);
    return screen;
}
