#include "graphics/TextLabel.h"

#include "framework/Dialog.h"

IMStaticPictureBase<IMTextView>* IMDialogBase<IMEmptyView>::CreateText(int x, int y, const std::wstring& text,
    int layer)
{
    auto* label = new IMStaticPictureBase<IMTextView>(this, layer);
    label->SetText(text);
    label->SetRect(label->GetSourceRect());
    label->MoveTo(x, y);
    return label;
}
