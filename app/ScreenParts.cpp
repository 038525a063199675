#include "app/ScreenParts.h"

#include "graphics/TextLabel.h"

#include <algorithm>

IMDialog* CreateSubDialog(int x, int width, IMDialog* parent, int y, int height, int layer)
{
    const RECT rect { x, y, x + width, y + height };
    return new IMDialog(parent, &rect, layer);
}

IMStaticPictureBase<IMTextView>* CreateScreenText(IMDialog* dialog, int x, int y, const std::wstring& text,
    int size, bool bold)
{
    // The style is set before the text, so the glyphs are laid out once, in that style.
    auto* label = new IMTextLabel(dialog, 0);
    label->textColour = kScreenTextColour;
    label->fontHeight = size;
    label->bold = bold;
    label->SetText(text);
    label->SetRect(label->GetSourceRect());
    label->MoveTo(x, y);
    return label;
}

IMStaticPictureBase<IMTextView>* CreateCentredText(IMDialog* dialog, int y, const std::wstring& text, int size,
    bool bold)
{
    IMTextLabel* label = CreateScreenText(dialog, 0, y, text, size, bold);
    // Integer halves: each is truncated on its own.
    label->MoveTo(dialog->GetWidth() / 2 - label->GetWidth() / 2, y);
    return label;
}

IMDialog* CreateHeadedScreen(IMDialog* mainWindow)
{
    auto* screen = new IMDialog(mainWindow, nullptr, 0);

    auto* background = screen->CreatePicture(0, 0, L"DefaultBackGround");
    background->SetRect(RECT { 0, 0, screen->GetWidth(), screen->GetHeight() });

    CreateCentredText(screen, 10, L"информационный источник сложной структуры", 14);
    CreateCentredText(screen, 35, L"Варнико", 18, true);
    return screen;
}

namespace {
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
} // namespace

void HoldKeyboardWhileOpen(IMDialog* mainWindow, IMDialog* overlay)
{
    IMControl* previousFocus = mainWindow->GetFocusChild();
    overlay->SetFocus(true);
    ConnectTracked(overlay->sigClosed, overlay, [mainWindow, overlay, previousFocus](const IMEvent&) {
        if (overlay->IsFocused() && IsLiveChild(mainWindow, previousFocus))
            previousFocus->SetFocus(true);
        return 0L;
    });
}
