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
    // Asking for a sound already opened answers its stream: the prompt 145 is playing and
    // 146 has not been opened yet (it would be the next stream).
    const uint32_t prompt145 = sound->CreateSound(L"145");
    ASSERT_NE(sound->FindStream(prompt145), nullptr);
    EXPECT_TRUE(sound->FindStream(prompt145)->IsPlaying());
    EXPECT_EQ(sound->FindStream(prompt145 + 1), nullptr);
    SolvePuzzle();
    ClickNextArrow();
    const uint32_t prompt146 = sound->CreateSound(L"146");
    EXPECT_EQ(prompt146, prompt145 + 1);
    ASSERT_NE(sound->FindStream(prompt146), nullptr);
    EXPECT_TRUE(sound->FindStream(prompt146)->IsPlaying());
    RunFor(100);

    SetProgramSound(nullptr);
    sound.reset();
}
