#include "results/DialogMessage.h"
#include "results/SelectPrinterDialog.h"

#include <algorithm>

namespace {

constexpr int kWidth = 360;
constexpr int kHeight = 250;
constexpr int kMessageGap = 4; // between the buttons and the note, and below the note

} // namespace

IMSelectPrinterDialog::IMSelectPrinterDialog(IMDialog* parent, const std::vector<std::wstring>& printers,
    const std::wstring& defaultPrinter, int layer)
    : IMDialog(parent, &kRect, layer)
{
    background = CreatePicture(0, 0, L"DefaultBackGround");
    lines[0] = CreatePicture(0, 0, L"EditBarKaretka");
    lines[1] = CreatePicture(0, 0, L"EditBarKaretka");
    lines[2] = CreatePicture(0, 0, L"EditBarKaretka");
    lines[3] = CreatePicture(0, 0, L"EditBarKaretka");
    LayOutFrame(kHeight);

    caption = CreateText(30, 38, L"Выберите принтер:");
    caption->SetTextColour(0xFF000000);
    list = new IMList(this);
    list->SetRect(RECT { 30, 58, 330, 158 });
    printButton = CreateButton(30, 179, L"PrintButton", L"PrintButton", L"PrintButtonNuv", L"PrintButtonKlick");
    closeButton = CreateButton(221, 179, L"CloseButton", L"CloseButton", L"CloseButtonNuv", L"CloseButtonKlick");

    for (const std::wstring& name : printers)
        list->AddItem(name);
    if (!defaultPrinter.empty()) {
        for (IMTextLabel* item : list->Items()) {
            if (item->GetText() == defaultPrinter)
                list->Select(item);
        }
    }

    ConnectTracked(closeButton->sigClick, this, [this](const IMMouseEvent&) { return Close(); });
}

IMSelectPrinterDialog::~IMSelectPrinterDialog() = default;

void IMSelectPrinterDialog::LayOutFrame(int height) { LayOutDialogFrame(*this, background, lines, kWidth, height); }

std::wstring IMSelectPrinterDialog::SelectedPrinter() const
{
    const IMTextLabel* item = list->Selected();
    return item ? item->GetText() : std::wstring {};
}

void IMSelectPrinterDialog::ShowMessage(const std::wstring& text)
{
    const RECT own = GetRect();
    const int height = ShowDialogMessage(*this, message, text, printButton->GetRect().bottom + kMessageGap, kHeight);
    SetRect(RECT { own.left, own.top, own.right, own.top + height });
    LayOutFrame(height);
}

std::wstring IMSelectPrinterDialog::Message() const { return message ? message->GetText() : std::wstring {}; }
