#pragma once
// The short message a results dialog shows under its buttons when a save or print failed.

#include "graphics/TextLabel.h"
#include "framework/Forward.h"

#include <string>


// Shows `text` in `label` (made in `dialog` on first use, released when `text` is empty) from
// `top` down, wrapped at 300 pixels in the screens' text colour. Answers the height the dialog
// needs: `baseHeight` without a message, otherwise tall enough for it but never past the bottom
// of the dialog's parent.
int ShowDialogMessage(IMDialog& dialog, IMTextLabel*& label, const std::wstring& text, int top, int baseHeight);
