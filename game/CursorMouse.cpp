#include "game/CursorMouse.h"

#include "app/ProgramSound.h"
#include "framework/Dialog.h"
#include "framework/StaticPicture.h"
#include "graphics/ResourceManager.h"
#include "platform/Resources.h"
#include "platform/Text.h"
#include "sound/SoundSystem.h"

#include <array>
#include <string_view>

namespace {
constexpr std::array<std::string_view, 8> pictureNames {
    "MOUSE_M", "MOUSE_MB", "MOUSE_MB_PR", "MOUSE_MB_R1", "MOUSE_MB_R2", "MOUSE_ML", "MOUSE_MR", "CURSOR",
};
static_assert(pictureNames.size() == 8, "CursorMouse keeps one registration flag per picture");
constexpr std::string_view clickSoundName = "MOUSE_CLICK_SOUND";

std::wstring Wide(std::string_view name) { return std::wstring(name.begin(), name.end()); }

// A connection that stays connected exactly while `picture` lives and is not released.
IMConnection Watch(IMPicture* picture)
{
    return ConnectTracked(picture->sigPaint, picture, [](const IMEvent&) { return 0L; });
}
} // namespace

CursorMouse::CursorMouse(IMDialog* dialog) : ownerDialog(dialog)
{
    if (CSoundSystem* sound = ProgramSound()) {
        const auto bytes = FindNamedBlob(clickSoundName);
        if (!bytes.empty())
            clickSound = sound->CreateSoundFromMemory(Wide(clickSoundName), bytes.data(), bytes.size());
    }
    if (resourceManager != nullptr) {
        for (std::size_t i = 0; i < pictureNames.size(); ++i) {
            const int index = resourceManager->RegisterTexture(Wide(pictureNames[i]), FindNamedBlob(pictureNames[i]));
            registered[i] = index != resourceManager->SlotCount();
        }
    }
    if (ownerDialog == nullptr)
        return;
    mousePicture = ownerDialog->CreatePicture(mouseOffset.x, mouseOffset.y, L"MOUSE_M", kLayer, 0xFFFFFFFF);
    cursorPicture = ownerDialog->CreatePicture(0, 0, L"CURSOR", kLayer, 0xFFFFFFFF);
    if (mousePicture)
        mouseAlive = Watch(mousePicture);
    if (cursorPicture)
        cursorAlive = Watch(cursorPicture);
}

void CursorMouse::PressLeft()
{
    // The view's texture only: the picture keeps its place.
    if (mousePicture && mouseAlive.connected()) {
        mousePicture->IMTextureView::SetTexture(L"MOUSE_ML");
        mousePicture->SetDirty(true);
    }
}

void CursorMouse::GlideTo(int fromX, int fromY, int toX, int toY)
{
    if (cursorPicture && cursorAlive.connected())
        AnimateMove(static_cast<float>(fromX), static_cast<float>(fromY), toX, toY, cursorPicture);
    if (mousePicture && mouseAlive.connected())
        AnimateMove(static_cast<float>(fromX + mouseOffset.x), static_cast<float>(fromY + mouseOffset.y),
            toX + mouseOffset.x, toY + mouseOffset.y, mousePicture);
}

void CursorMouse::Release()
{
    // Only the registrations that succeeded are given back.
    for (std::size_t i = 0; i < pictureNames.size(); ++i) {
        if (registered[i] && resourceManager != nullptr)
            resourceManager->ReleaseTexture(Wide(pictureNames[i]));
        registered[i] = false;
    }
    // Pictures that went with their dialog are not touched.
    if (mousePicture && mouseAlive.connected())
        mousePicture->Close();
    if (cursorPicture && cursorAlive.connected())
        cursorPicture->Close();
    mousePicture = nullptr;
    cursorPicture = nullptr;
}
