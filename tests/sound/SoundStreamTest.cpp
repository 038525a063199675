#include "SoundTestSupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace {
const std::vector<uint8_t>& Click()
{
    static const auto bytes = EncodeTone(44000, 2, 0.36);
    return bytes;
}

const std::vector<uint8_t>& SixSeconds()
{
    static const auto bytes = EncodeTone(8000, 1, 6.0);
    return bytes;
}

const std::vector<uint8_t>& OneSecond()
{
    static const auto bytes = EncodeTone(8000, 1, 1.0);
    return bytes;
}

uint32_t Load(SoundRig& rig, const wchar_t* name, const std::vector<uint8_t>& bytes)
{
    return rig.system.CreateSoundFromMemory(name, bytes.data(), bytes.size());
}

// Threads of the process now. The first thread ever made may bring helpers of the runtime
// (ThreadSanitizer's own) along, so one is made and joined before the first count.
int ThreadsOfThisProcess()
{
    static const bool warmedUp = [] { return std::thread([] { }).join(), true; }();
    (void)warmedUp;
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("Threads:", 0) == 0)
            return std::stoi(line.substr(8));
    return -1;
}
} // namespace

TEST(SoundStream, AShortClickEndsOneSecondAfterPlayOnEveryDevice)
{
    struct Case {
        const char* device;
        int captureRate;
    };
    for (const Case c : { Case { "capture", 44000 }, Case { "null", 0 } }) {
        SCOPED_TRACE(c.device);
        SoundRig rig(c.captureRate);
        const uint32_t id = Load(rig, L"click", Click());
        ASSERT_EQ(id, 1u);
        long ends = 0;
        rig.system.ConnectSoundEnd(id, [&](uint32_t) { return ++ends, 0L; });
        ASSERT_TRUE(rig.Play(id, false));
        EXPECT_EQ(rig.host.PostedOf(rig.system.MsgSoundPlay()).size(), 1u);
        const uint32_t took = rig.AdvanceUntilEnd(id, 3000);
        EXPECT_GE(took, 1000u);
        EXPECT_LE(took, 1030u);
        EXPECT_EQ(ends, 1);
        EXPECT_FALSE(rig.system.FindStream(id)->IsPlaying());
        rig.Advance(1000);
        EXPECT_EQ(rig.EndsOf(id), 1u) << "one end per playback";
    }
}

TEST(SoundStream, ALoopedSoundEndsOnlyWhenStopped)
{
    SoundRig rig;
    const uint32_t id = Load(rig, L"click", Click());
    ASSERT_TRUE(rig.Play(id, true));
    rig.Advance(3000);
    EXPECT_EQ(rig.EndsOf(id), 0u);
    EXPECT_TRUE(rig.system.StopSound(id));
    rig.host.Pump();
    EXPECT_EQ(rig.EndsOf(id), 1u) << "a stop ends the playback as a natural end does";
    EXPECT_FALSE(rig.system.FindStream(id)->Stop()) << "stopping a stopped stream";
    rig.Advance(100);
    EXPECT_EQ(rig.EndsOf(id), 1u) << "and posts nothing";
}

TEST(SoundStream, PlayWhilePlayingOnlyStoresTheLoopFlag)
{
    SoundRig rig;
    const uint32_t id = Load(rig, L"click", Click());
    CSoundStream* stream = rig.system.FindStream(id);
    ASSERT_TRUE(rig.Play(id, true));
    rig.Advance(1200);
    EXPECT_FALSE(stream->Play(false));
    EXPECT_TRUE(rig.system.PlaySound(id, false)) << "the system answers for the stream's existence";
    EXPECT_EQ(rig.host.PostedOf(rig.system.MsgSoundPlay()).size(), 1u);
    const uint32_t took = rig.AdvanceUntilEnd(id, 3000);
    EXPECT_EQ(rig.EndsOf(id), 1u) << "without the loop flag the sound runs out";
    EXPECT_LE(took, 2000u);
}

TEST(SoundStream, ALabelFiresOnceAtItsTimeIsCancelledByAStopAndFiresInTheNextPlayback)
{
    SoundRig rig;
    const uint32_t id = Load(rig, L"instruction", SixSeconds());
    std::vector<std::pair<uint32_t, uint32_t>> fired;
    const auto slot = [&](uint32_t stream, uint32_t time) { return fired.emplace_back(stream, time), 0L; };
    rig.system.AddSoundLabel(id, 5000, slot);

    // Stopped at 3 s: nothing fires and the time stays pending.
    ASSERT_TRUE(rig.Play(id, false));
    rig.Advance(3000);
    rig.system.StopSound(id);
    rig.host.Pump();
    EXPECT_EQ(rig.host.LiveTimers(), 0u);
    rig.Advance(6000);
    EXPECT_TRUE(fired.empty());
    EXPECT_EQ(rig.system.FindStream(id)->PendingLabels(), std::vector<uint32_t> { 5000 });

    // The next playback reaches it.
    const uint32_t start = rig.NowMs();
    ASSERT_TRUE(rig.Play(id, false));
    rig.Advance(4990);
    EXPECT_TRUE(fired.empty());
    rig.Advance(10);
    ASSERT_EQ(fired.size(), 1u);
    EXPECT_EQ(fired[0], std::make_pair(id, 5000u));
    const auto labels = rig.host.PostedOf(rig.system.MsgLabel());
    ASSERT_EQ(labels.size(), 1u);
    EXPECT_EQ(labels[0].lParam, 5000);
    EXPECT_EQ(labels[0].postedAtMs - start, 5000u);
    rig.AdvanceUntilEnd(id, 3000);
    EXPECT_EQ(fired.size(), 1u) << "once per AddLabelTime";

    // Fired labels are no longer pending: a third playback is silent about it.
    EXPECT_TRUE(rig.system.FindStream(id)->PendingLabels().empty());
    ASSERT_TRUE(rig.Play(id, false));
    rig.AdvanceUntilEnd(id, 8000);
    EXPECT_EQ(fired.size(), 1u);
}

TEST(SoundStream, ALabelAddedWhilePlayingIsNotPending)
{
    SoundRig rig;
    const uint32_t id = Load(rig, L"instruction", SixSeconds());
    long calls = 0;
    ASSERT_TRUE(rig.Play(id, false));
    rig.system.AddSoundLabel(id, 100, [&](uint32_t, uint32_t) { return ++calls, 0L; });
    EXPECT_TRUE(rig.system.FindStream(id)->PendingLabels().empty());
    rig.Advance(1000);
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(rig.host.LiveTimers(), 0u);
}

TEST(SoundStream, TheNaturalEndLeavesTheTimerTableToTheUiThread)
{
    SoundRig rig;
    const uint32_t id = Load(rig, L"short", OneSecond());
    long calls = 0;
    rig.system.AddSoundLabel(id, 5000, [&](uint32_t, uint32_t) { return ++calls, 0L; });
    ASSERT_TRUE(rig.Play(id, false));
    EXPECT_EQ(rig.host.LiveTimers(), 1u);
    rig.AdvanceUntilEnd(id, 4000);
    ASSERT_EQ(rig.EndsOf(id), 1u);
    EXPECT_EQ(rig.host.LiveTimers(), 0u) << "removed when the end message arrived";
    EXPECT_TRUE(rig.host.TimersTouchedOnlyByOwner());
    rig.Advance(5000);
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(rig.system.FindStream(id)->PendingLabels(), std::vector<uint32_t> { 5000 });
}

TEST(SoundStream, ALabelTimerDueBeforeTheEndMessageArrivesPostsNothing)
{
    SoundRig rig;
    const uint32_t id = Load(rig, L"short", OneSecond());
    rig.system.AddSoundLabel(id, 1990, [](uint32_t, uint32_t) { return 0L; });
    ASSERT_TRUE(rig.Play(id, false));
    CSoundStream* stream = rig.system.FindStream(id);
    // Run the decode thread to its end without delivering its end message.
    while (rig.EndsOf(id) == 0 && rig.NowMs() < 4000) {
        rig.clock.AdvanceMilliseconds(10);
        rig.capture->Advance(441);
        stream->RunPass();
    }
    ASSERT_EQ(rig.EndsOf(id), 1u);
    rig.clock.AdvanceMilliseconds(3000);
    rig.host.RunTimers(); // the stale label timer is due
    EXPECT_TRUE(rig.host.PostedOf(rig.system.MsgLabel()).empty());
    EXPECT_EQ(rig.host.LiveTimers(), 0u);
    rig.host.Pump();
    EXPECT_EQ(rig.host.LiveTimers(), 0u);
}

TEST(SoundStream, TheThreadOfAFinishedPlaybackIsJoined)
{
    SoundRig rig;
    const uint32_t id = Load(rig, L"click", Click());
    const int before = ThreadsOfThisProcess();
    ASSERT_GT(before, 0);
    for (int round = 0; round < 3; ++round) {
        ASSERT_TRUE(rig.Play(id, false));
        rig.AdvanceUntilEnd(id, 3000);
        ASSERT_EQ(rig.EndsOf(id), static_cast<size_t>(round + 1));
        EXPECT_EQ(ThreadsOfThisProcess(), before) << "round " << round;
    }
}

TEST(SoundStream, DestroyingTheSystemWhilePlayingStopsEveryThread)
{
    const int before = ThreadsOfThisProcess();
    {
        SoundRig rig;
        const uint32_t a = Load(rig, L"click", Click());
        const uint32_t b = Load(rig, L"instruction", SixSeconds());
        rig.system.AddSoundLabel(b, 5000, [](uint32_t, uint32_t) { return 0L; });
        ASSERT_TRUE(rig.Play(a, true));
        ASSERT_TRUE(rig.Play(b, false));
        rig.Advance(200);
    }
    EXPECT_EQ(ThreadsOfThisProcess(), before);
}
