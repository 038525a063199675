#pragma once
// The frame of a results dialog, and the short message it shows under its buttons when a save or
// print failed.

#include "graphics/TextLabel.h"
#include "framework/Forward.h"

#include <string>


#include <array>

// Sizes a dialog's background and its four frame lines (left, top, bottom, right) for a dialog
// `width` x `height` pixels, and marks the dialog dirty.
void LayOutDialogFrame(IMDialog& dialog, IMStaticPictureBase<IMTextureView>* background,
    const std::array<IMStaticPictureBase<IMTextureView>*, 4>& lines, int width, int height);

// Shows `text` in `label` (made in `dialog` on first use, released when `text` is empty) from
// `top` down, wrapped at 300 pixels in the screens' text colour. Answers the height the dialog
// needs: `baseHeight` without a message, otherwise tall enough for it but never past the bottom
// of the dialog's parent.
int ShowDialogMessage(IMDialog& dialog, IMTextLabel*& label, const std::wstring& text, int top, int baseHeight);
