#include "framework/Button.h"

#include "framework/StateView.h"

// The one button kind of the program, compiled once here.
template class IMButtonBase<IMStateView>;
