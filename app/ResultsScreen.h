#pragma once
// The results screen: the task is done, who did it, and the buttons to print or save the
// record, start again or quit.

#include "framework/Dialog.h"

#include <functional>
#include <string>

struct ResultsScreenTexts {
    std::wstring resourceNumber {};
    std::wstring title {};
    std::wstring pupilName {};
};

struct ResultsScreenActions {
    // Print and save-as; empty (no workbook) makes the button grey and disabled.
    std::function<void()> print {};
    std::function<void()> saveAs {};
    // Retry: called, then the results screen closes.
    std::function<void()> retry {};
    // Close and the exit button: end the program.
    std::function<void()> close {};
};

// Builds the results screen as a new child of `mainWindow` (whole window, layer 0).
IMDialog* BuildResultsScreen(IMDialog* mainWindow, const ResultsScreenTexts& texts, ResultsScreenActions actions);
