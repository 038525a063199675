#include "framework/StaticPicture.h"

#include "framework/TextureView.h"

// The picture kind of the program, compiled once here.
template class IMStaticPictureBase<IMTextureView>;
