#pragma once
// IMEditBar: a framed one-line field holding an IMTextEdit. It gives the edit a background and
// a one-pixel frame, hands its focus on to it, and scrolls it sideways so that the caret stays
// inside the bar.

#include "framework/Dialog.h"
#include "framework/StaticPicture.h"
#include "widgets/TextEdit.h"

#include <array>
#include <string>

class IMEditBar : public IMDialog {
public:
    explicit IMEditBar(IMDialog* parent, int layer = 0);
    ~IMEditBar() override;

    // Lays out the frame, the background and the text edit inside `rect`.
    long SetRect(const RECT& rect) override;
    std::wstring GetText() const;
    // Keeps the caret inside the bar; runs after every key the edit receives.
    long ScrollToCaret(const IMKeyboardEvent&);

    IMTextEdit* Edit() const { return edit; }

private:
    IMStaticPictureBase<IMTextureView>* background { nullptr };
    std::array<IMStaticPictureBase<IMTextureView>*, 4> corners {}; // top-left, top-right, bottom-left, bottom-right
    std::array<IMStaticPictureBase<IMTextureView>*, 4> edges {};   // left, top, right, bottom
    IMTextEdit* edit { nullptr };
};
