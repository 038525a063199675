// Entry point of the game: opens the full-screen main window and runs its loop until the
// window is closed. The application object and its screens attach to this window.
#include "framework/Window.h"

int main()
{
    IMWindow* window = IMWindow::Create(L"00734 Игра «Тирлан»", false);
    if (window == nullptr)
        return 1;
    int code = IMWindow::Run(window);
    delete window;
    return code;
}
