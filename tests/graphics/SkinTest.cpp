#include "graphics/Skin.h"

#include "GraphicsFixture.h"
#include "graphics/ImageDecoder.h"
#include "platform/Text.h"

#include <set>
#include <string>

namespace {

using Skin = GraphicsTest;

TEST(SkinTable, NamesAreUniqueAndButtonsComeInThreeStates)
{
    std::set<std::wstring> names;
    for (const SkinEntry& entry : kSkinTable)
        EXPECT_TRUE(names.insert(entry.name).second) << WideToUtf8(entry.name);
    EXPECT_EQ(std::wstring(kSkinTable.front().name), L"DefaultBackGround");
    EXPECT_EQ(std::wstring(kSkinTable[56].name), L"SelectionMask");
    for (const wchar_t* button : { L"PrintButton", L"SaveAsButton", L"RetryButton", L"CloseButton",
             L"StartPopStartButton", L"SubmitButton", L"OptionsButton", L"CancelButton" }) {
        EXPECT_TRUE(names.count(std::wstring(button) + L"Klick"));
        EXPECT_TRUE(names.count(std::wstring(button) + L"Nuv"));
    }
}

TEST(SkinTable, EmbeddedPicturesHaveTheirTableSizeAndAlpha)
{
    for (const SkinEntry& entry : kSkinTable) {
        auto blob = FindNamedBlob(WideToUtf8(entry.name));
        if (blob.empty()) {
            ADD_FAILURE() << "missing skin blob " << WideToUtf8(entry.name);
            continue;
        }
        auto image = DecodeImage(blob);
        ASSERT_TRUE(image) << WideToUtf8(entry.name);
        EXPECT_EQ(image->width, entry.width) << WideToUtf8(entry.name);
        EXPECT_EQ(image->height, entry.height) << WideToUtf8(entry.name);
        if (!entry.hasAlpha) {
            for (size_t i = 3; i < image->bgra.size(); i += 4)
                ASSERT_EQ(image->bgra[i], 255) << WideToUtf8(entry.name) << " should be opaque";
        }
    }
}

TEST_F(Skin, DamagedBlobIsSkippedAndTheRestRegistered)
{
    InstallNamedBlob("ExitButton", std::vector<uint8_t>(40, 0x99));
    size_t registered = RegisterSkin(*manager);
    EXPECT_EQ(registered, kSkinTable.size() - 1);
    EXPECT_EQ(manager->FindTexture(L"ExitButton"), manager->SlotCount());
    EXPECT_EQ(manager->FindTexture(L"DefaultBackGround"), 0);
    EXPECT_EQ(manager->FindTexture(L"PrintButton"), 1);

    ReleaseSkin(*manager);
    for (const SkinEntry& entry : kSkinTable)
        EXPECT_EQ(manager->FindTexture(entry.name), manager->SlotCount()) << WideToUtf8(entry.name);
}

} // namespace
