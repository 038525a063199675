#pragma once
// IMStaticPictureBase<V>: a control that shows one view and nothing more. With
// IMTextureView it is a picture; with IMTextView a text label.

#include "framework/TextureView.h"
#include "framework/ViewControl.h"

#include <string>

template <class V>
class IMStaticPictureBase : public IMViewControl<V> {
public:
    explicit IMStaticPictureBase(IMDialog* parent, int layer = 0) : IMViewControl<V>(parent, layer) { }

    // Shows the named texture; the control becomes exactly the image's size, with its
    // top-left corner at (0, 0) of the parent. Texture views only.
    void SetTexture(const std::wstring& name)
    {
        V::SetTexture(name);
        this->SetRect(this->GetSourceRect());
    }
};
