#pragma once
// Building blocks shared by the screens: rectangular sub-dialogs and texts in the screens'
// colour and face.

#include "framework/Dialog.h"
#include "framework/StaticPicture.h"
#include "graphics/TextView.h"

#include <cstdint>
#include <string>

// Opaque dark blue of every text on the screens.
inline constexpr uint32_t kScreenTextColour = 0xFF072134;

// A new child dialog of `parent` covering (x, y, x + width, y + height) on `layer`.
IMDialog* CreateSubDialog(int x, int width, IMDialog* parent, int y, int height, int layer);

// A text label at (x, y) on layer 0, `size` pixels high, bold or not, in the screens' colour,
// as large as its text.
IMStaticPictureBase<IMTextView>* CreateScreenText(IMDialog* dialog, int x, int y, const std::wstring& text,
    int size, bool bold = false);

// The same text centred on `dialog`: x = width / 2 - text width / 2, each half truncated.
IMStaticPictureBase<IMTextView>* CreateCentredText(IMDialog* dialog, int y, const std::wstring& text, int size,
    bool bold = false);

// A new whole-window screen (child of `mainWindow`, layer 0) with the stretched background,
// the kind of resource at y 10 and the course at y 35, both centred.
IMDialog* CreateHeadedScreen(IMDialog* mainWindow);

// Gives `overlay` the keyboard while it is open, so that typing or Enter does not reach the
// screen beneath; when it closes, the child of `mainWindow` that had the keyboard gets it
// back (if it is still there).
void HoldKeyboardWhileOpen(IMDialog* mainWindow, IMDialog* overlay);
