// The instruction when its speech cannot be heard, and the plain help page.

#include "InstructionFixture.h"

#include "app/DefaultInstruction.h"
#include "graphics/TextLabel.h"

#include <functional>

namespace {
struct SilentCase {
    const char* name;
    bool soundSystem;
    std::vector<uint8_t> speech;  // installed as resource 141 when not empty
};
} // namespace

// Some cases play the closing sentence, whose stream runs a decode thread.
class SilentInstructionThreads : public InstructionFixture, public ::testing::WithParamInterface<SilentCase> { };

TEST_P(SilentInstructionThreads, GoesStraightToTheClosingPageAndSpaceStartsTheGame)
{
    const SilentCase& c = GetParam();
    if (!c.speech.empty())
        InstallNumberedResource(141, c.speech);
    if (c.soundSystem)
        StartSoundSystem();
    const int countBefore = CursorDisplayCount();
    app->StartPressed(L"");
    Pass();
    IMDialog* dialog = app->instructionDialog;
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(app->instructionEnded);
    EXPECT_EQ(CursorDisplayCount(), countBefore) << "the system cursor is back at once";
    EXPECT_FALSE(Registered(L"MOUSE_MB")) << "the drawn cursor was released";
    ASSERT_NE(PictureOf(dialog, L"KEYBOARDPIC"), nullptr);
    EXPECT_NE(PictureOf(dialog, L"114"), nullptr) << "the pieces stay scattered";
    EXPECT_EQ(PlayingStreams().size(), c.soundSystem ? 1u : 0u) << "only the closing sentence";

    IMPicture* space = PictureOf(dialog, L"KEYSPACE");
    ASSERT_NE(space, nullptr);
    const bool hidden = space->IsHidden();
    Advance(510);
    EXPECT_NE(space->IsHidden(), hidden);

    Key('A');
    EXPECT_TRUE(IsOpen(dialog)) << "only Space closes the closing page";
    Key(VK_SPACE);
    EXPECT_FALSE(IsOpen(dialog));
    EXPECT_FALSE(app->instructionShowing);
    EXPECT_NE(app->exerciseDialog, nullptr);
    Advance(20000);
    EXPECT_EQ(CursorDisplayCount(), countBefore + 1) << "plus the game's own increment, nothing more";
}

INSTANTIATE_TEST_SUITE_P(, SilentInstructionThreads,
    ::testing::Values(SilentCase { "NoSoundSystem", false, {} },
        SilentCase { "DamagedSpeech", true, std::vector<uint8_t>(4096, 0x5A) },
        SilentCase { "TruncatedSpeech", true, std::vector<uint8_t> { 'O', 'g', 'g', 'S', 0, 2 } }),
    [](const ::testing::TestParamInfo<SilentCase>& info) { return std::string(info.param.name); });

using SilentInstruction = InstructionFixture;

TEST_F(SilentInstruction, EscOnTheClosingPageClosesItOnce)
{
    app->StartPressed(L"");
    Pass();
    IMDialog* dialog = app->instructionDialog;
    Key(VK_ESCAPE);
    EXPECT_FALSE(IsOpen(dialog));
    ASSERT_NE(app->exerciseDialog, nullptr);
    IMDialog* game = app->exerciseDialog;
    Key(VK_SPACE);
    EXPECT_EQ(app->exerciseDialog, game) << "Space after the close starts nothing more";
    EXPECT_TRUE(IsOpen(game));
}

using DefaultInstructionPage = InstructionFixture;

TEST_F(DefaultInstructionPage, BackgroundStretchedAndBothTextsCentred)
{
    const RECT rect { 100, 50, 500, 350 };
    auto* dialog = new IMDialog(window, &rect, 0);
    BuildDefaultInstructionPage(dialog);
    Pass();
    IMPicture* background = PictureOf(dialog, L"DefaultBackGround");
    ASSERT_NE(background, nullptr);
    EXPECT_EQ(background->GetRect(), (RECT { 0, 0, 400, 300 }));

    std::vector<IMTextLabel*> texts;
    for (const auto& [layer, controls] : dialog->GetChildren())
        for (IMControl* child : controls)
            if (auto* text = dynamic_cast<IMTextLabel*>(child))
                texts.push_back(text);
    ASSERT_EQ(texts.size(), 2u);
    const struct {
        const wchar_t* text;
        int size;
        int y;
    } expected[] = { { L"информационный источник сложной структуры", 18, 20 }, { L"Справка", 24, 100 } };
    for (std::size_t i = 0; i < texts.size(); ++i) {
        EXPECT_EQ(texts[i]->GetText(), expected[i].text);
        EXPECT_EQ(texts[i]->fontHeight, expected[i].size);
        EXPECT_EQ(texts[i]->textColour, 0xFF072134u);
        EXPECT_GT(texts[i]->GetWidth(), 0);
        EXPECT_EQ(texts[i]->GetPosition().y, expected[i].y);
        EXPECT_EQ(texts[i]->GetPosition().x, 200 - texts[i]->GetWidth() / 2);
    }
    EXPECT_LT(texts[1]->GetWidth(), texts[0]->GetWidth());
}
