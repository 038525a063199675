#pragma once
// The plain help page of an exercise that has no spoken instruction of its own.

#include "framework/Dialog.h"

// Fills `dialog`: the background, the kind of resource and "Справка", centred.
void BuildDefaultInstructionPage(IMDialog* dialog);
