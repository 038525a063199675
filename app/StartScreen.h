#pragma once
// The start screen: the resource's kind, course, number, title and description, the pupil's
// name field, Start, the exit button in the corner, Options and the key legend.

#include "framework/Dialog.h"

#include <functional>
#include <string>

struct StartScreenTexts {
    std::wstring resourceNumber {};
    std::wstring title {};
    std::wstring description {};
};

struct StartScreenActions {
    // Start or Enter in the name field, with the field's text; the screen closes right after.
    std::function<void(const std::wstring& name)> start {};
    // The exit button: ends the program.
    std::function<void()> exit {};
    // Options: fills the page it is given; empty means the button does nothing.
    std::function<void(IMDialog* page)> options {};
};

// Builds the start screen as a new child of `mainWindow` (whole window, layer 0) with the
// keyboard focus in the name field.
IMDialog* BuildStartScreen(IMDialog* mainWindow, const StartScreenTexts& texts, StartScreenActions actions);
