#pragma once
// IMSelectPrinterDialog: a framed dialog listing printer names, with "print" and "close"
// buttons. The default printer is selected when the dialog opens. The owner connects the
// print button and reads the list's selected item; the close button closes the dialog.
// ShowMessage() puts a short note (no printer, a failed printout) under the buttons, growing
// the dialog downwards as far as the note needs.

#include "framework/Button.h"
#include "framework/Dialog.h"
#include "framework/StaticPicture.h"
#include "graphics/TextLabel.h"
#include "widgets/List.h"

#include <array>
#include <string>
#include <vector>

class IMSelectPrinterDialog : public IMDialog {
public:
    // The dialog's place in the main window.
    static constexpr RECT kRect { 220, 125, 580, 375 };
    // Colour of the note text, the screens' text colour.
    static constexpr uint32_t kMessageColour = 0xFF072134;

    // Builds the frame, the caption, the list of `printers` (in the given order) and the
    // buttons. Every item equal to `defaultPrinter` is selected in turn, so the last one ends
    // up selected; an empty or unknown default selects nothing.
    IMSelectPrinterDialog(IMDialog* parent, const std::vector<std::wstring>& printers,
        const std::wstring& defaultPrinter, int layer = 0);
    ~IMSelectPrinterDialog() override;

    // The selected printer's name, empty when nothing is selected.
    std::wstring SelectedPrinter() const;

    // Shows `text` under the buttons (replacing an earlier note); an empty text removes it.
    void ShowMessage(const std::wstring& text);
    // The text of the note shown, empty when none.
    std::wstring Message() const;

    IMList* PrinterList() const { return list; }
    IMButtonBase<IMStateView>* PrintButton() const { return printButton; }
    IMButtonBase<IMStateView>* CloseButton() const { return closeButton; }

private:
    // Sizes the background and the frame lines for a dialog `height` pixels tall.
    void LayOutFrame(int height);

    IMStaticPictureBase<IMTextureView>* background { nullptr };
    std::array<IMStaticPictureBase<IMTextureView>*, 4> lines {}; // left, top, bottom, right
    IMTextLabel* caption { nullptr };
    IMList* list { nullptr };
    IMButtonBase<IMStateView>* printButton { nullptr };
    IMButtonBase<IMStateView>* closeButton { nullptr };
    IMTextLabel* message { nullptr };
};
