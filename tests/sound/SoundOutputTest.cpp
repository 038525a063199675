// What reaches the audio device: the decoded sound, in order, without gaps or repeated halves.

#include "SoundTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

namespace {
// Frame `i` of interleaved `pcm` with `channels`, as it reaches a stereo device.
std::pair<int, int> StereoFrame(const std::vector<int16_t>& pcm, int channels, size_t i)
{
    if (channels == 1)
        return { pcm[i], pcm[i] };
    return { pcm[2 * i], pcm[2 * i + 1] };
}

// Index of the first frame of `captured` (stereo) that differs from `expected`, or -1.
long FirstMismatch(const std::vector<int16_t>& captured, const std::vector<int16_t>& expected, int channels,
                   size_t frames)
{
    for (size_t i = 0; i < frames; ++i) {
        const auto [l, r] = StereoFrame(expected, channels, i);
        if (captured[2 * i] != l || captured[2 * i + 1] != r)
            return static_cast<long>(i);
    }
    return -1;
}
} // namespace

TEST(SoundOutput, TheDeviceReceivesExactlyTheDecodedSoundThenSilence)
{
    struct Case {
        int rate, channels;
        double seconds;
    };
    // 11025 Hz stereo: a second is 44100 bytes, whose half is not a whole number of frames.
    for (const Case c : { Case { 22050, 2, 1.7 }, Case { 11025, 2, 2.0 }, Case { 8000, 1, 1.3 } }) {
        SCOPED_TRACE(testing::Message() << c.rate << " Hz x" << c.channels);
        const auto ogg = EncodeTone(c.rate, c.channels, c.seconds);
        const auto decoded = DecodeAll(ogg);
        const size_t frames = decoded.size() / static_cast<size_t>(c.channels);
        ASSERT_EQ(frames, static_cast<size_t>(c.rate * c.seconds));

        SoundRig rig(c.rate, 2);
        const uint32_t id = rig.system.CreateSoundFromMemory(L"tone", ogg.data(), ogg.size());
        ASSERT_NE(id, 0u);
        ASSERT_TRUE(rig.Play(id, false));
        rig.AdvanceUntilEnd(id, 5000);
        ASSERT_EQ(rig.EndsOf(id), 1u);
        EXPECT_EQ(rig.system.FindStream(id)->BytesDecoded(), decoded.size() * 2);
        const auto captured = rig.capture->Captured();
        ASSERT_GE(captured.size(), frames * 2);
        EXPECT_EQ(FirstMismatch(captured, decoded, c.channels, frames), -1);
        size_t loud = 0;
        for (size_t i = frames * 2; i < captured.size(); ++i)
            loud += captured[i] != 0;
        EXPECT_EQ(loud, 0u) << "nothing but silence after the sound";
    }
}

TEST(SoundOutput, ALowerRateIsInterpolatedToTheDeviceRate)
{
    const auto ogg = EncodeTone(22050, 1, 0.8);
    const auto decoded = DecodeAll(ogg);
    SoundRig rig(44100, 2);
    const uint32_t id = rig.system.CreateSoundFromMemory(L"tone", ogg.data(), ogg.size());
    ASSERT_TRUE(rig.Play(id, false));
    rig.AdvanceUntilEnd(id, 3000);
    const auto captured = rig.capture->Captured();
    ASSERT_GE(captured.size(), decoded.size() * 4);
    long wrong = 0;
    for (size_t k = 0; k + 1 < decoded.size(); ++k) {
        const int even = captured[4 * k];
        const int odd = captured[4 * k + 2];
        const int middle = (decoded[k] + decoded[k + 1]) / 2;
        wrong += even != decoded[k] || std::abs(odd - middle) > 1 || captured[4 * k + 1] != even;
    }
    EXPECT_EQ(wrong, 0);
}

TEST(SoundOutput, ALoopedSoundJoinsItsEndToItsStart)
{
    struct Case {
        int rate;
        double seconds;
    };
    // Shorter than half the buffer (several laps in one half) and longer than the whole buffer.
    for (const Case c : { Case { 8000, 0.3 }, Case { 8000, 1.25 } }) {
        SCOPED_TRACE(c.seconds);
        const auto ogg = EncodeTone(c.rate, 1, c.seconds);
        const auto decoded = DecodeAll(ogg);
        SoundRig rig(c.rate, 2);
        const uint32_t id = rig.system.CreateSoundFromMemory(L"loop", ogg.data(), ogg.size());
        ASSERT_TRUE(rig.Play(id, true));
        rig.Advance(4000);
        rig.system.StopSound(id);
        const auto captured = rig.capture->Captured();
        ASSERT_EQ(captured.size(), static_cast<size_t>(c.rate) * 4 * 2);
        long wrong = 0;
        for (size_t i = 0; i < captured.size() / 2; ++i)
            wrong += captured[2 * i] != decoded[i % decoded.size()];
        EXPECT_EQ(wrong, 0);
    }
}

TEST(SoundOutput, AResourceSoundLosesItsTailTrim)
{
    const auto ogg = EncodeTone(44100, 2, 2.0);
    const auto decoded = DecodeAll(ogg);
    ASSERT_EQ(decoded.size(), 88200u * 2);
    SoundRig rig(44100, 2);
    int asked = -1;
    rig.system.SetResourceLookup([&](uint16_t id) {
        asked = id;
        return id == 141 ? std::span<const uint8_t>(ogg) : std::span<const uint8_t>();
    });
    const uint32_t id = rig.system.CreateSound(L"141");
    ASSERT_NE(id, 0u);
    EXPECT_EQ(asked, 141);
    ASSERT_TRUE(rig.Play(id, false));
    rig.AdvanceUntilEnd(id, 4000);
    EXPECT_EQ(rig.system.FindStream(id)->BytesDecoded(), 84672u * 4);
    const auto captured = rig.capture->Captured();
    ASSERT_GE(captured.size(), 88200u * 2);
    EXPECT_EQ(FirstMismatch(captured, decoded, 2, 84672), -1);
    size_t loud = 0;
    for (size_t i = 84672 * 2; i < captured.size(); ++i)
        loud += captured[i] != 0;
    EXPECT_EQ(loud, 0u);
}
