#pragma once
// IMSaveAsDialog: a small framed dialog with a path field and two buttons, "save as" and
// "close", centred in the 800 x 600 main window. The owner connects the save-as button; the
// close button closes the dialog. ShowMessage() puts a short note (a failed save) under the
// buttons, growing the dialog downwards as far as the note needs.

#include "framework/Button.h"
#include "framework/Dialog.h"
#include "framework/StaticPicture.h"
#include "graphics/TextLabel.h"
#include "widgets/EditBar.h"

#include <array>
#include <string>

class IMSaveAsDialog : public IMDialog {
public:
    // The dialog's place in the main window.
    static constexpr RECT kRect { 220, 225, 580, 375 };
    // Colour of the note text, the screens' text colour.
    static constexpr uint32_t kMessageColour = 0xFF072134;

    // Builds the frame, the field and the buttons; focusing the dialog focuses the field.
    explicit IMSaveAsDialog(IMDialog* parent, int layer = 0);
    ~IMSaveAsDialog() override;

    // Shows `path` in the field with the caret after its last character, scrolled into view.
    void SetPath(const std::wstring& path);
    // The field's current text.
    std::wstring GetPath() const;

    // Shows `text` under the buttons (replacing an earlier note); an empty text removes it.
    void ShowMessage(const std::wstring& text);
    // The text of the note shown, empty when none.
    std::wstring Message() const;

    IMEditBar* PathField() const { return pathField; }
    IMButtonBase<IMStateView>* SaveAsButton() const { return saveAsButton; }
    IMButtonBase<IMStateView>* CloseButton() const { return closeButton; }

private:
    // Sizes the background and the frame lines for a dialog `height` pixels tall.
    void LayOutFrame(int height);

    IMStaticPictureBase<IMTextureView>* background { nullptr };
    std::array<IMStaticPictureBase<IMTextureView>*, 4> lines {}; // left, top, bottom, right
    IMEditBar* pathField { nullptr };
    IMButtonBase<IMStateView>* saveAsButton { nullptr };
    IMButtonBase<IMStateView>* closeButton { nullptr };
    IMTextLabel* message { nullptr };
};
