#pragma once
// The program's entry: the application, its start screen, the loop until the main window
// closes, then the release. Returns the process exit code (1 when no window could be opened).
int RunGame(bool windowed);
