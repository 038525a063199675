#pragma once
// The exit dialog (F12): a dimmed overlay over the whole back buffer with a framed box of
// three buttons: Retry, Close and Cancel.

#include "framework/Dialog.h"

#include <functional>

struct ExitDialogActions {
    std::function<void()> retry {};
    std::function<void()> close {};
    std::function<void()> cancel {};
};

// The overlay, a child of `mainWindow` on layer 1099 covering width x height (the back
// buffer), with the 136 x 200 box centred on it.
IMDialog* BuildExitDialog(IMDialog* mainWindow, int width, int height, ExitDialogActions actions);
