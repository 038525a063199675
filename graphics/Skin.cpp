#include "graphics/Skin.h"

#include "graphics/ResourceManager.h"
#include "platform/Debug.h"
#include "platform/Resources.h"
#include "platform/Text.h"

size_t RegisterSkin(IMResourceManager& manager)
{
    size_t registered = 0;
    for (const SkinEntry& entry : kSkinTable) {
        std::wstring name(entry.name);
        std::span<const uint8_t> blob = FindNamedBlob(WideToUtf8(name));
        if (blob.empty()) {
            DebugOutput(L"skin picture \"" + name + L"\" is missing");
            continue;
        }
        if (manager.RegisterTexture(name, blob) == manager.SlotCount()) {
            DebugOutput(L"skin picture \"" + name + L"\" cannot be registered");
            continue;
        }
        ++registered;
    }
    return registered;
}

void ReleaseSkin(IMResourceManager& manager)
{
    for (const SkinEntry& entry : kSkinTable)
        manager.ReleaseTexture(std::wstring(entry.name));
}

size_t RegisterSkin() { return resourceManager ? RegisterSkin(*resourceManager) : 0; }

void ReleaseSkin()
{
    if (resourceManager)
        ReleaseSkin(*resourceManager);
}
