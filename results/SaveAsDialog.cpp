#include "results/SaveAsDialog.h"

#include <algorithm>

namespace {

constexpr int kWidth = 360;
constexpr int kHeight = 150;
constexpr int kMessageLeft = 30;
constexpr int kMessageWidth = 300;
constexpr int kMessageFont = 14;
constexpr int kMessageGap = 4; // between the buttons and the note, and below the note

} // namespace

IMSaveAsDialog::IMSaveAsDialog(IMDialog* parent, int layer) : IMDialog(parent, &kRect, layer)
{
    background = CreatePicture(0, 0, L"DefaultBackGround");
    lines[0] = CreatePicture(0, 0, L"EditBarKaretka");
    lines[1] = CreatePicture(0, 0, L"EditBarKaretka");
    lines[2] = CreatePicture(0, 0, L"EditBarKaretka");
    lines[3] = CreatePicture(0, 0, L"EditBarKaretka");
    LayOutFrame(kHeight);

    pathField = new IMEditBar(this);
    pathField->SetRect(RECT { 30, 28, 330, 48 });
    saveAsButton = CreateButton(30, 79, L"SaveAsButton", L"SaveAsButton", L"SaveAsButtonNuv", L"SaveAsButtonKlick");
    closeButton = CreateButton(221, 79, L"CloseButton", L"CloseButton", L"CloseButtonNuv", L"CloseButtonKlick");

    ConnectTracked(sigFocusGained, this, [this](const IMEvent&) { return pathField->SetFocus(true); });
    ConnectTracked(closeButton->sigClick, this, [this](const IMMouseEvent&) { return Close(); });
}

IMSaveAsDialog::~IMSaveAsDialog() = default;

void IMSaveAsDialog::LayOutFrame(int height)
{
    background->SetRect(RECT { 0, 0, kWidth, height });
    lines[0]->SetRect(RECT { 0, 0, 1, height });
    lines[1]->SetRect(RECT { 0, 0, kWidth, 1 });
    lines[2]->SetRect(RECT { 0, height - 1, kWidth, height });
    lines[3]->SetRect(RECT { kWidth - 1, 0, kWidth, height });
    SetDirty(true);
}

void IMSaveAsDialog::SetPath(const std::wstring& path)
{
    IMTextEdit* edit = pathField->Edit();
    edit->SetText(path);
    edit->SetCaret(static_cast<int>(path.size()));
    edit->UpdateCaret();
    pathField->ScrollToCaret(IMKeyboardEvent {});
    edit->SetDirty(true);
}

std::wstring IMSaveAsDialog::GetPath() const { return pathField->GetText(); }

void IMSaveAsDialog::ShowMessage(const std::wstring& text)
{
    const RECT own = GetRect();
    if (text.empty()) {
        if (message) {
            message->Release();
            message = nullptr;
        }
        SetRect(RECT { own.left, own.top, own.right, own.top + kHeight });
        LayOutFrame(kHeight);
        return;
    }
    if (!message) {
        message = new IMTextLabel(this, 1);
        message->wrap = true;
        message->textColour = kMessageColour;
        message->fontHeight = kMessageFont;
    }
    const int top = saveAsButton->GetRect().bottom + kMessageGap;
    // The text wraps at the rectangle's width, so the width is set before the text.
    message->SetRect(RECT { kMessageLeft, top, kMessageLeft + kMessageWidth, top + 1 });
    message->SetText(text);
    const int textHeight = RectHeight(message->GetSourceRect());
    message->SetRect(RECT { kMessageLeft, top, kMessageLeft + kMessageWidth, top + textHeight });

    // Grow downwards, but not past the bottom of the parent.
    int height = std::max(kHeight, top + textHeight + kMessageGap);
    if (parent)
        height = std::min(height, std::max(kHeight, RectHeight(parent->GetRect()) - own.top));
    SetRect(RECT { own.left, own.top, own.right, own.top + height });
    LayOutFrame(height);
}

std::wstring IMSaveAsDialog::Message() const { return message ? message->GetText() : std::wstring {}; }
