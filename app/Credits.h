#pragma once
// The credits (Ctrl+I): the course title and the people behind the program, over the whole
// window, with an exit button that closes them.

#include "framework/Dialog.h"

// Raises the cursor's display count to at least 2 and sets `*showing`; builds the overlay
// (child of `mainWindow`, layer 9999). Closing it lowers the count by exactly what was
// raised and clears `*showing`.
IMDialog* BuildCredits(IMDialog* mainWindow, bool* showing);
