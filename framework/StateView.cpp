#include "framework/StateView.h"

void IMStateView::SetStateTextures(const std::wstring& normal, const std::wstring& disabled,
    const std::wstring& mouseOver, const std::wstring& pressed)
{
    stateTextures[kNormal] = normal;
    stateTextures[kDisabled] = disabled.empty() ? normal : disabled;
    stateTextures[kMouseOver] = mouseOver.empty() ? normal : mouseOver;
    stateTextures[kPressed] = pressed.empty() ? normal : pressed;
    SetTexture(GetStateTexture(state));
}

std::wstring IMStateView::GetStateTexture(int32_t which) const
{
    const auto it = stateTextures.find(which);
    return it == stateTextures.end() ? std::wstring() : it->second;
}
