// Entry point of the game: the application object opens the full-screen main window, shows
// the start screen and runs the loop until the window is closed.
#include "app/RunGame.h"

int main() { return RunGame(false); }
