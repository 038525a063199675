#include "results/DialogMessage.h"
#include "results/SaveAsDialog.h"

#include <algorithm>

namespace {

constexpr int kWidth = 360;
constexpr int kHeight = 150;
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

void IMSaveAsDialog::LayOutFrame(int height) { LayOutDialogFrame(*this, background, lines, kWidth, height); }

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
    const int height = ShowDialogMessage(*this, message, text, saveAsButton->GetRect().bottom + kMessageGap, kHeight);
    SetRect(RECT { own.left, own.top, own.right, own.top + height });
    LayOutFrame(height);
}

std::wstring IMSaveAsDialog::Message() const { return message ? message->GetText() : std::wstring {}; }
