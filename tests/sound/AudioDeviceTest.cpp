#include "platform/AudioCapture.h"
#include "platform/AudioDevice.h"
#include "platform/AudioNull.h"
#include "platform/Clock.h"

#include <gtest/gtest.h>

#include <cstring>
#include <numeric>

namespace {
// Writes `values` at byte `offset` of `buffer` through Lock/Unlock.
void Write(AudioBuffer& buffer, uint32_t offset, const std::vector<int16_t>& values)
{
    void* p1 = nullptr;
    void* p2 = nullptr;
    uint32_t n1 = 0, n2 = 0;
    const auto bytes = static_cast<uint32_t>(values.size() * 2);
    ASSERT_TRUE(buffer.Lock(offset, bytes, &p1, &n1, &p2, &n2));
    std::memcpy(p1, values.data(), n1);
    if (n2)
        std::memcpy(p2, reinterpret_cast<const uint8_t*>(values.data()) + n1, n2);
    ASSERT_TRUE(buffer.Unlock(p1, n1, p2, n2));
}
} // namespace

TEST(AudioBuffer, LockHandsOutTwoPartsForAWrappedRegionAndRefusesBadRequests)
{
    CaptureAudioDevice device(8000, 1);
    auto buffer = device.CreateBuffer(8000, 1, 100); // 50 frames
    ASSERT_TRUE(buffer);
    void* p1 = nullptr;
    void* p2 = nullptr;
    uint32_t n1 = 0, n2 = 0;
    ASSERT_TRUE(buffer->Lock(80, 40, &p1, &n1, &p2, &n2));
    EXPECT_EQ(n1, 20u);
    EXPECT_EQ(n2, 20u);
    EXPECT_NE(p2, nullptr);
    EXPECT_FALSE(buffer->Lock(0, 10, &p1, &n1, &p2, &n2)) << "a second lock while one is out";
    EXPECT_FALSE(buffer->Unlock(p2, n1, p1, n2)) << "pointers of another region";
    EXPECT_FALSE(buffer->Unlock(p1, n1 + 2, p2, n2)) << "more than was locked";
    EXPECT_TRUE(buffer->Unlock(p1, n1, p2, n2));
    EXPECT_FALSE(buffer->Unlock(p1, n1, p2, n2)) << "nothing locked any more";

    struct Case {
        uint32_t offset, bytes;
    };
    for (const Case c : { Case { 0, 0 }, Case { 0, 101 }, Case { 100, 2 }, Case { 400, 2 } })
        EXPECT_FALSE(buffer->Lock(c.offset, c.bytes, &p1, &n1, &p2, &n2)) << c.offset << "+" << c.bytes;
    EXPECT_TRUE(buffer->Lock(0, 100, &p1, &n1, &p2, &n2));
    EXPECT_EQ(n1, 100u);
    EXPECT_EQ(n2, 0u);
    EXPECT_EQ(p2, nullptr);
    EXPECT_TRUE(buffer->Unlock(p1, n1, nullptr, 0));
}

TEST(AudioBuffer, DeviceRefusesFormatsItCannotPlay)
{
    CaptureAudioDevice device;
    EXPECT_FALSE(device.CreateBuffer(44100, 3, 1000));
    EXPECT_FALSE(device.CreateBuffer(0, 2, 1000));
    EXPECT_FALSE(device.CreateBuffer(44100, 2, 2)); // less than a frame
    EXPECT_TRUE(device.CreateBuffer(11025, 1, 22050));
}

TEST(AudioBuffer, MixesAtTheSameRateExactlyAndStopsAtTheEndWithoutLooping)
{
    CaptureAudioDevice device(8000, 2);
    auto buffer = device.CreateBuffer(8000, 1, 8); // four mono frames
    Write(*buffer, 0, { 100, -200, 300, -400 });
    ASSERT_TRUE(buffer->Play(false));
    device.Advance(6);
    const std::vector<int16_t> expected { 100, 100, -200, -200, 300, 300, -400, -400, 0, 0, 0, 0 };
    EXPECT_EQ(device.Captured(), expected) << "mono goes to both sides, silence after the end";
    EXPECT_FALSE(buffer->IsPlaying());
}

TEST(AudioBuffer, LoopingWrapsAndTheCursorFollowsTheMix)
{
    CaptureAudioDevice device(8000, 2);
    auto buffer = device.CreateBuffer(8000, 2, 12); // three stereo frames
    Write(*buffer, 0, { 1, 2, 3, 4, 5, 6 });
    ASSERT_TRUE(buffer->Play(true));
    device.Advance(7);
    const std::vector<int16_t> expected { 1, 2, 3, 4, 5, 6, 1, 2, 3, 4, 5, 6, 1, 2 };
    EXPECT_EQ(device.Captured(), expected);
    uint32_t play = 99, write = 99;
    ASSERT_TRUE(buffer->GetCurrentPosition(&play, &write));
    EXPECT_EQ(play, 4u);
    ASSERT_TRUE(buffer->Stop());
    device.Advance(2);
    ASSERT_TRUE(buffer->GetCurrentPosition(&play, &write));
    EXPECT_EQ(play, 4u) << "a stopped buffer keeps its place";
    ASSERT_TRUE(buffer->SetCurrentPosition(9)); // rounded down to frame 2
    ASSERT_TRUE(buffer->GetCurrentPosition(&play, &write));
    EXPECT_EQ(play, 8u);
}

TEST(AudioBuffer, ConvertsTheRateByLinearInterpolationAndClampsTheSum)
{
    CaptureAudioDevice device(16000, 1);
    auto slow = device.CreateBuffer(8000, 1, 8);
    Write(*slow, 0, { 0, 1000, 3000, 3000 });
    slow->Play(false);
    device.Advance(6);
    const std::vector<int16_t> halfway { 0, 500, 1000, 2000, 3000, 3000 };
    EXPECT_EQ(device.Captured(), halfway);

    device.ClearCaptured();
    auto a = device.CreateBuffer(16000, 2, 8);
    auto b = device.CreateBuffer(16000, 2, 8);
    Write(*a, 0, { 30000, 30000, -30000, -30000 });
    Write(*b, 0, { 20000, 20000, -10000, -30000 });
    a->Play(false);
    b->Play(false);
    device.Advance(2);
    // Stereo into mono averages the sides; the sum of the buffers is clamped.
    const std::vector<int16_t> clamped { 32767, -32768 };
    EXPECT_EQ(device.Captured(), clamped);
}

TEST(AudioBuffer, NullDeviceMovesTheCursorOnTheClock)
{
    ManualClock clock(1'000'000);
    ScopedClock scope(clock);
    auto device = OpenAudioDevice("null");
    ASSERT_EQ(device->Name(), "null");
    auto buffer = device->CreateBuffer(44100, 2, 176400);
    uint32_t play = 0;
    ASSERT_TRUE(buffer->Play(true));
    clock.AdvanceMilliseconds(250);
    ASSERT_TRUE(buffer->GetCurrentPosition(&play, nullptr));
    EXPECT_EQ(play, 11025u * 4);
    clock.AdvanceMilliseconds(1000);
    ASSERT_TRUE(buffer->GetCurrentPosition(&play, nullptr));
    EXPECT_EQ(play, 11025u * 4) << "a looping second comes back to the same place";
    buffer->Stop();
    clock.AdvanceMilliseconds(100);
    ASSERT_TRUE(buffer->GetCurrentPosition(&play, nullptr));
    EXPECT_EQ(play, 11025u * 4);

    auto once = device->CreateBuffer(1000, 1, 200); // 100 frames, 0.1 s
    once->Play(false);
    clock.AdvanceMilliseconds(500);
    EXPECT_FALSE(once->IsPlaying()) << "a buffer that does not loop ends by the clock";
}

TEST(AudioBuffer, OpenByNameGivesTheBackendAskedFor)
{
    EXPECT_EQ(OpenAudioDevice("null")->Name(), "null");
    EXPECT_EQ(OpenAudioDevice("capture")->Name(), "capture");
}
