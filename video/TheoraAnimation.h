#pragma once
// The animation control of the program's clips: a Theora view played by IMAnimationBase.

#include "video/AnimationBase.h"
#include "video/TheoraView.h"

using IMTheoraAnimation = IMAnimationBase<IMTheoraView>;
