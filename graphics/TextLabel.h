#pragma once
// The text label: a control showing an IMTextView, as large as its text.

#include "framework/StaticPicture.h"
#include "graphics/TextView.h"

using IMTextLabel = IMStaticPictureBase<IMTextView>;
