#pragma once
// The framework's common look: 57 pictures compiled into the program as named blobs and
// registered under fixed names at start-up, so that any control can acquire them by name.
// Registration holds one reference of its own, so these textures stay resident all run.

#include <array>
#include <cstddef>

class IMResourceManager;

struct SkinEntry {
    // Texture name, also the name of the blob it is decoded from.
    const wchar_t* name;
    // Picture size and whether it carries alpha (without alpha it draws opaque).
    int width;
    int height;
    bool hasAlpha;
};

// In registration order; button states carry the suffixes Nuv (under the mouse) and Klick
// (pressed).
inline constexpr std::array<SkinEntry, 57> kSkinTable { {
    { L"DefaultBackGround", 800, 600, false },
    { L"ExitButton", 21, 21, true },
    { L"PrintButton", 84, 47, true },
    { L"SaveAsButton", 148, 47, true },
    { L"RetryButton", 109, 47, true },
    { L"CloseButton", 111, 47, true },
    { L"StartPopStartButton", 84, 47, true },
    { L"EscButton", 37, 25, false },
    { L"F1Button", 37, 25, false },
    { L"F12Button", 37, 25, false },
    { L"SubmitButton", 109, 47, true },
    { L"OptionsButton", 109, 47, true },
    { L"CancelButton", 111, 47, true },
    { L"PrintButtonKlick", 84, 47, true },
    { L"SaveAsButtonKlick", 148, 47, true },
    { L"RetryButtonKlick", 109, 47, true },
    { L"CloseButtonKlick", 111, 47, true },
    { L"StartPopStartButtonKlick", 84, 47, true },
    { L"SubmitButtonKlick", 109, 47, true },
    { L"OptionsButtonKlick", 109, 47, true },
    { L"CancelButtonKlick", 111, 47, true },
    { L"PrintButtonNuv", 84, 47, true },
    { L"SaveAsButtonNuv", 148, 47, true },
    { L"RetryButtonNuv", 109, 47, true },
    { L"CloseButtonNuv", 111, 47, true },
    { L"StartPopStartButtonNuv", 84, 47, true },
    { L"SubmitButtonNuv", 109, 47, true },
    { L"OptionsButtonNuv", 109, 47, true },
    { L"CancelButtonNuv", 111, 47, true },
    { L"SliderSliderVertical", 19, 10, true },
    { L"SliderSliderVerticalHover", 19, 10, true },
    { L"SliderSliderHorizontal", 11, 20, true },
    { L"SliderSliderHorizontalHover", 11, 20, true },
    { L"ScrollSlider", 16, 2, false },
    { L"ScrollSliderHorizontal", 2, 16, false },
    { L"ScrollBackground", 16, 16, false },
    { L"ScrollButtonUp", 16, 16, true },
    { L"ScrollButtonDown", 16, 16, true },
    { L"CheckBoxUnchecked", 16, 16, false },
    { L"CheckBoxChecked", 16, 16, false },
    { L"RadioButtonUnchecked", 16, 16, true },
    { L"RadioButtonChecked", 16, 16, true },
    { L"CheckBoxDisUnchecked", 16, 16, false },
    { L"CheckBoxDisChecked", 16, 16, false },
    { L"RadioButtonDisUnchecked", 16, 16, true },
    { L"RadioButtonDisChecked", 16, 16, true },
    { L"EditBarBackGround", 1, 1, false },
    { L"EditBarCornerLT", 8, 8, true },
    { L"EditBarCornerRT", 8, 8, true },
    { L"EditBarCornerLB", 8, 8, true },
    { L"EditBarCornerRB", 8, 8, true },
    { L"EditBarBorderL", 8, 1, false },
    { L"EditBarBorderR", 8, 1, false },
    { L"EditBarBorderT", 1, 8, false },
    { L"EditBarBorderB", 1, 8, false },
    { L"EditBarKaretka", 1, 19, false },
    { L"SelectionMask", 1, 1, true },
} };
static_assert(kSkinTable.size() == 57, "the skin has 57 pictures");

// Registers every skin picture in table order from its named blob. A blob that is missing
// or cannot be decoded is reported on the diagnostic output and skipped; the others are
// still registered. Returns how many were registered.
size_t RegisterSkin(IMResourceManager& manager);
// Drops the registration reference of every skin picture, in table order.
void ReleaseSkin(IMResourceManager& manager);

// The same on the process-wide manager (nothing happens when there is none).
size_t RegisterSkin();
void ReleaseSkin();
