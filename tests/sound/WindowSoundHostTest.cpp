// The sound system on a real (headless) main window: posted messages come back through the
// window's loop and labels are the window's own timers.

#include "SoundTestSupport.h"

#include "framework/Window.h"
#include "platform/MessageQueue.h"
#include "sound/WindowSoundHost.h"

#include <gtest/gtest.h>

TEST(WindowSoundHost, EndsAndLabelsArriveThroughTheMainWindow)
{
    ManualClock clock;
    ScopedClock scope(clock);
    TakePostedMessages();
    IMWindow* window = IMWindow::CreateHeadless();
    ASSERT_NE(window, nullptr);
    {
        WindowSoundHost host;
        CSoundSystem system;
        ASSERT_EQ(system.InitializeSound(&host, std::make_unique<NullAudioDevice>()), 1) << "silent device";
        EXPECT_EQ(system.MsgSoundPlay(), RegisterWindowMessage(L"WM_IM_ONSOUNDPLAY"));

        const auto ogg = EncodeTone(8000, 1, 0.7);
        const uint32_t id = system.CreateSoundFromMemory(L"tone", ogg.data(), ogg.size());
        ASSERT_EQ(id, 1u);
        std::vector<std::pair<std::string, uint32_t>> heard;
        system.FindStream(id)->playSignal.connect([&](uint32_t) { return heard.emplace_back("play", clock.Milliseconds()), 0L; });
        system.ConnectSoundEnd(id, [&](uint32_t) { return heard.emplace_back("end", clock.Milliseconds()), 0L; });
        system.AddSoundLabel(id, 300, [&](uint32_t, uint32_t t) { return heard.emplace_back("label", t), 0L; });
        system.AddSoundLabel(id, 5000, [&](uint32_t, uint32_t t) { return heard.emplace_back("late label", t), 0L; });

        ASSERT_TRUE(system.PlaySound(id, false));
        EXPECT_EQ(window->Timers().Count(), 2u);
        CSoundStream* stream = system.FindStream(id);
        for (int step = 0; step < 300 && (heard.empty() || heard.back().first != "end"); ++step) {
            stream->RunPass();
            window->RunPass();
            clock.AdvanceMilliseconds(10);
        }
        const std::vector<std::pair<std::string, uint32_t>> expected { { "play", 0 }, { "label", 300 }, { "end", 1000 } };
        EXPECT_EQ(heard, expected);
        EXPECT_EQ(window->Timers().Count(), 0u) << "the unreached label's timer went with the end";
    }
    delete window;
    TakePostedMessages();
}
