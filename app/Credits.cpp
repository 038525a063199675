#include "app/Credits.h"

#include "app/ScreenParts.h"
#include "framework/Button.h"
#include "platform/Cursor.h"

#include <memory>

namespace {

constexpr int kLeft = 22;
constexpr int kRoleSize = 21;
constexpr int kNameSize = 20;

struct CreditLine {
    int y;
    const wchar_t* text;
    int size;
};

// The roles and, under each, the people who filled them.
constexpr CreditLine kCredits[] = {
    { 90, L"Авторы:", kRoleSize },
    { 110, L"Светлана Коровина", kNameSize },
    { 130, L"Матвей Дубравин", kNameSize },
    { 170, L"Руководитель проекта:", kRoleSize },
    { 190, L"Ираида Полесова", kNameSize },
    { 230, L"Программисты:", kRoleSize },
    { 250, L"Ярослав Кречетов", kNameSize },
    { 270, L"Остап Ильменев", kNameSize },
    { 310, L"Художник:", kRoleSize },
    { 330, L"Любава Сенцова", kNameSize },
    { 370, L"Дизайнер-аниматор:", kRoleSize },
    { 390, L"Тимофей Загорулин", kNameSize },
    { 430, L"Трёхмерная графика:", kRoleSize },
    { 450, L"Евдокия Щеглова", kNameSize },
};

// The cursor must be visible over the credits even while the instruction hides it: one
// step up, then on until the count reaches 2. Answers how many steps were taken.
int RaiseCursor()
{
    int steps = 1;
    int count = ShowCursor(true);
    while (count < 2) {
        count = ShowCursor(true);
        ++steps;
    }
    return steps;
}

} // namespace

IMDialog* BuildCredits(IMDialog* mainWindow, bool* showing)
{
    if (showing && *showing)
        return nullptr;
    const int steps = RaiseCursor();
    if (showing)
        *showing = true;

    IMDialog* overlay = CreateSubDialog(0, mainWindow->GetWidth(), mainWindow, 0, mainWindow->GetHeight(), 9999);
    auto* background = overlay->CreatePicture(0, 0, L"DefaultBackGround");
    background->SetRect(RECT { 0, 0, overlay->GetWidth(), overlay->GetHeight() });

    CreateScreenText(overlay, kLeft, 18, L"Варнико", 25);
    for (const CreditLine& line : kCredits)
        CreateScreenText(overlay, kLeft, line.y, line.text, line.size);

    auto* exitButton = overlay->CreateButton(755, 22, L"ExitButton", L"", L"", L"");
    ConnectTracked(exitButton->sigClick, exitButton, [overlay](const IMMouseEvent&) { return overlay->Close(); });

    // Undoes exactly the steps taken above, once, however often the overlay is closed.
    auto remaining = std::make_shared<int>(steps);
    ConnectTracked(overlay->sigClosed, overlay, [remaining, showing](const IMEvent&) {
        for (; *remaining > 0; --*remaining)
            ShowCursor(false);
        if (showing)
            *showing = false;
        return 0L;
    });
    HoldKeyboardWhileOpen(mainWindow, overlay);
    return overlay;
}
