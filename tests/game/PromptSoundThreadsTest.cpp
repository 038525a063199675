// The spoken prompts of puzzles 2 and 3 on the silent audio device (its streams run threads).

#include "GameFixture.h"

#include "app/ProgramSound.h"
#include "platform/AudioNull.h"
#include "platform/Resources.h"
#include "sound/SoundStream.h"
#include "sound/SoundSystem.h"
#include "sound/WindowSoundHost.h"

#include <memory>

using GameSoundThreads = GameFixture;

TEST_F(GameSoundThreads, TheNextArrowPlaysPrompt145ThenPrompt146)
{
    WindowSoundHost host;
    auto sound = std::make_unique<CSoundSystem>();
    sound->SetResourceLookup([](uint16_t id) { return FindNumberedResource(id); });
    ASSERT_EQ(sound->InitializeSound(&host, std::make_unique<NullAudioDevice>()), 1);
    SetProgramSound(sound.get());

    StartGame();
    SolvePuzzle();
    ClickNextArrow();
    ASSERT_NE(sound->FindStream(1), nullptr);
    EXPECT_TRUE(sound->FindStream(1)->IsPlaying());
    EXPECT_EQ(sound->FindStream(2), nullptr);
    SolvePuzzle();
    ClickNextArrow();
    ASSERT_NE(sound->FindStream(2), nullptr);
    EXPECT_TRUE(sound->FindStream(2)->IsPlaying());
    // The streams were made for those two sounds: asking again answers the same ids.
    EXPECT_EQ(sound->CreateSound(L"145"), 1u);
    EXPECT_EQ(sound->CreateSound(L"146"), 2u);
    RunFor(100);

    SetProgramSound(nullptr);
    sound.reset();
}
