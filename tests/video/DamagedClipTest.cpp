#include "VideoFixture.h"

#include <random>
#include <string>

namespace {

using DamagedClip = VideoTest;

std::vector<uint8_t> Cut(std::vector<uint8_t> clip, size_t size)
{
    clip.resize(std::min(size, clip.size()));
    return clip;
}

std::vector<uint8_t> Garbage(size_t size)
{
    std::mt19937 random(7);
    std::vector<uint8_t> bytes(size);
    for (uint8_t& b : bytes)
        b = uint8_t(random() & 0xFF);
    return bytes;
}

// The pages of frames 1 onwards (after the two header pages and frame 0) filled with noise
// under valid checksums: the clip opens and its frame packets are garbage.
std::vector<uint8_t> ScrambledFrames(const ClipOptions& options, uint32_t seed)
{
    std::vector<uint8_t> clip = MakeClip(options);
    const std::vector<size_t> pages = PageOffsets(clip);
    for (size_t i = 3; i < pages.size(); ++i)
        ScramblePagePayload(clip, pages[i], seed + uint32_t(i));
    return clip;
}

struct DamageCase {
    std::string name;
    std::vector<uint8_t> clip;
    // Whether Open reads the clip at all (then it finishes only when its frames run out).
    bool opens;
};

TEST_F(DamagedClip, FinishesInsteadOfHanging)
{
    ClipOptions options;
    options.frames = 10;
    const std::vector<uint8_t> good = MakeClip(options);
    const std::vector<size_t> pages = PageOffsets(good);
    ASSERT_EQ(pages.size(), 2u + 10u);

    std::vector<DamageCase> cases = {
        { "empty", {}, false },
        { "garbage", Garbage(20000), false },
        { "not Theora", MakeForeignStream(), false },
        { "cut inside the first page", Cut(good, 20), false },
        { "cut inside the headers", Cut(good, pages[1] + 30), false },
        { "headers without frames", MakeHeadersOnly(options), true },
        { "cut inside a frame page", Cut(good, pages[5] + 20), true },
        { "cut one byte short", Cut(good, good.size() - 1), true },
    };
    for (uint32_t seed : { 1u, 2u, 3u })
        cases.push_back({ "scrambled frames " + std::to_string(seed), ScrambledFrames(options, seed * 100), true });

    for (const DamageCase& c : cases) {
        SCOPED_TRACE(c.name);
        finished = 0;
        IMTheoraAnimation* animation = Animation(c.clip);
        EXPECT_EQ(opened, c.opens);
        Play(animation);
        int index = 0;
        for (; index <= options.frames + 2 && finished == 0; ++index)
            PassAtIndex(index);
        EXPECT_EQ(finished, 1);
        EXPECT_FALSE(animation->IsPlaying());
        if (!c.opens) {
            EXPECT_TRUE(animation->HasFailed());
            EXPECT_EQ(index, 1) << "a clip that cannot be read finishes at the first pass";
        }
        animation->Release();
        PassAtIndex(index + 1);
    }
}

TEST_F(DamagedClip, HeadersWithoutFramesHaveNoLastFrame)
{
    IMTheoraView view;
    ASSERT_TRUE(view.Open(MakeHeadersOnly({})));
    EXPECT_EQ(view.LastFrame(), -1);
    EXPECT_EQ(view.DecodedFrame(), -1);
    view.ShowFrame(1);
    view.ShowFrame(0);
    EXPECT_EQ(view.DecodedFrame(), -1);
}

TEST_F(DamagedClip, AnUnopenedViewOrAZeroPeriodDoesNotStall)
{
    auto* unopened = new IMTheoraAnimation(window);
    unopened->ConnectFinished([this](const IMEvent&) -> long {
        ++finished;
        return 0;
    });
    Play(unopened);
    PassAtIndex(0);
    EXPECT_EQ(finished, 1);

    IMTheoraAnimation* fast = Animation(MakeClip({}));
    fast->framePeriod = 0;
    Play(fast);
    for (int pass = 0; pass < 40 && finished < 2; ++pass)
        PassAt(uint64_t(pass) * 100);
    EXPECT_EQ(finished, 2);
}

}
