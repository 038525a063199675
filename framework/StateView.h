#pragma once
// IMStateView: a texture view with one texture per visual state. States: 0 normal,
// 1 disabled, 3 mouse over, 4 pressed (2 is never used).

#include "framework/TextureView.h"

#include <cstdint>
#include <map>
#include <string>

class IMStateView : public IMTextureView {
public:
    static constexpr int32_t kNormal = 0;
    static constexpr int32_t kDisabled = 1;
    static constexpr int32_t kMouseOver = 3;
    static constexpr int32_t kPressed = 4;

    // Names the state textures (an empty name falls back to `normal`) and shows the one of
    // the current state.
    void SetStateTextures(const std::wstring& normal, const std::wstring& disabled,
        const std::wstring& mouseOver, const std::wstring& pressed);

    int32_t GetState() const { return state; }
    // The texture name of a state; empty when none was named.
    std::wstring GetStateTexture(int32_t which) const;

protected:
    int32_t state { kNormal };
    std::map<int32_t, std::wstring> stateTextures;
};
