#include "results/DialogMessage.h"

#include "framework/Dialog.h"

#include <algorithm>

namespace {
constexpr uint32_t kMessageColour = 0xFF072134;
constexpr int kMessageLeft = 30;
constexpr int kMessageWidth = 300;
constexpr int kMessageFont = 14;
constexpr int kMessageGap = 4; // below the note
}

void LayOutDialogFrame(IMDialog& dialog, IMStaticPictureBase<IMTextureView>* background,
    const std::array<IMStaticPictureBase<IMTextureView>*, 4>& lines, int width, int height)
{
    background->SetRect(RECT { 0, 0, width, height });
    lines[0]->SetRect(RECT { 0, 0, 1, height });
    lines[1]->SetRect(RECT { 0, 0, width, 1 });
    lines[2]->SetRect(RECT { 0, height - 1, width, height });
    lines[3]->SetRect(RECT { width - 1, 0, width, height });
    dialog.SetDirty(true);
}

int ShowDialogMessage(IMDialog& dialog, IMTextLabel*& label, const std::wstring& text, int top, int baseHeight)
{
    if (text.empty()) {
        if (label) {
            label->Release();
            label = nullptr;
        }
        return baseHeight;
    }
    if (!label) {
        label = new IMTextLabel(&dialog, 1);
        label->wrap = true;
        label->textColour = kMessageColour;
        label->fontHeight = kMessageFont;
    }
    // The text wraps at the rectangle's width, so the width is set before the text.
    label->SetRect(RECT { kMessageLeft, top, kMessageLeft + kMessageWidth, top + 1 });
    label->SetText(text);
    const int textHeight = RectHeight(label->GetSourceRect());
    label->SetRect(RECT { kMessageLeft, top, kMessageLeft + kMessageWidth, top + textHeight });

    // Grow downwards, but not past the bottom of the parent.
    int height = std::max(baseHeight, top + textHeight + kMessageGap);
    if (dialog.parent)
        height = std::min(height, std::max(baseHeight, RectHeight(dialog.parent->GetRect()) - dialog.GetRect().top));
    return height;
}
