// The praise: the cloud, the clip's place and timing, its end, the close-mark form, and the
// choice of the word.

#include "InstructionFixture.h"

#include "app/Praise.h"
#include "video/TheoraAnimation.h"

#include <array>
#include <cstdlib>

namespace {
IMTheoraAnimation* ClipOf(IMDialog* praise)
{
    for (const auto& [layer, controls] : praise->GetChildren())
        for (IMControl* child : controls)
            if (auto* clip = dynamic_cast<IMTheoraAnimation*>(child); clip && !praise->IsPendingDelete(clip))
                return clip;
    return nullptr;
}
} // namespace

using Praise = InstructionFixture;

TEST(PraiseChoice, EveryWordIsDrawnAndTheDrawIsRoughlyUniform)
{
    std::srand(12345);
    std::array<int, 5> counts {};
    constexpr int draws = 10000;
    for (int i = 0; i < draws; ++i) {
        const int index = ChoosePraiseIndex();
        ASSERT_GE(index, 0);
        ASSERT_LT(index, 5);
        ++counts[static_cast<std::size_t>(index)];
    }
    // 2000 expected each; the standard deviation is 40.
    for (int n : counts) {
        EXPECT_GT(n, 1800);
        EXPECT_LT(n, 2200);
    }
}

TEST_F(Praise, EachWordPlaysItsClipInTheCloudThenClosesAndEndsOnce)
{
    for (int index = 0; index < 5; ++index) {
        SCOPED_TRACE(index);
        int ends = 0;
        IMDialog* praise = BuildPraiseAt(window, 137, 100, index, [&] { ++ends; });
        ASSERT_NE(praise, nullptr);
        Pass();
        IMPicture* cloud = PictureOf(praise, L"oblako_png");
        ASSERT_NE(cloud, nullptr);
        EXPECT_EQ(cloud->GetRect(), (RECT { 137, 100, 643, 450 }));
        const TextureSlot* slot = resourceManager->Slot(cloud->GetTexture());
        ASSERT_NE(slot, nullptr);
        EXPECT_EQ(slot->refCount, 1) << "the name was given back; the picture keeps the texture";
        IMTheoraAnimation* clip = ClipOf(praise);
        ASSERT_NE(clip, nullptr);
        EXPECT_EQ(clip->GetRect(), (RECT { 230, 176, 550, 376 }));
        EXPECT_EQ(clip->framePeriod, 5000);
        EXPECT_FALSE(clip->HasFailed());
        EXPECT_TRUE(clip->IsPlaying());

        Advance(2100);
        EXPECT_TRUE(IsOpen(praise));
        EXPECT_EQ(ends, 0);
        EXPECT_GT(clip->CurrentFrame(), 20) << "the clip runs at 12 frames a second";
        Advance(200);
        EXPECT_FALSE(IsOpen(praise));
        EXPECT_EQ(ends, 1);
        Advance(3000);
        EXPECT_EQ(ends, 1);
    }
}

TEST_F(Praise, DamagedOrMissingClipStillEndsAfterThePraisesTime)
{
    std::vector<uint8_t> clip(FindNamedBlob("bravo_clip").begin(), FindNamedBlob("bravo_clip").end());
    ASSERT_GT(clip.size(), 4000u);
    const struct {
        const char* name;
        std::vector<uint8_t> bytes;
    } cases[] = {
        { "missing", {} },
        { "not a clip", std::vector<uint8_t>(5000, 0x33) },
        { "cut after its headers", std::vector<uint8_t>(clip.begin(), clip.begin() + 4000) },
        { "corrupt middle", [&] {
              auto bytes = clip;
              for (std::size_t i = bytes.size() / 3; i < bytes.size() / 3 + 2000; ++i)
                  bytes[i] ^= 0xA5;
              return bytes;
          }() },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        InstallNamedBlob("bravo_clip", c.bytes);
        int ends = 0;
        IMDialog* praise = BuildPraiseAt(window, 137, 100, 0, [&] { ++ends; });
        Pass();
        ASSERT_NE(PictureOf(praise, L"oblako_png"), nullptr) << "the cloud shows anyway";
        Advance(2100);
        EXPECT_TRUE(IsOpen(praise));
        EXPECT_EQ(ends, 0);
        Advance(200);
        EXPECT_FALSE(IsOpen(praise));
        EXPECT_EQ(ends, 1);
        Advance(1000);
        EXPECT_EQ(ends, 1);
    }
}

TEST_F(Praise, CloseMarkShowsAtTheClipsEndAndClosesTheTargetAndThePraise)
{
    auto* target = new IMDialog(window, nullptr, 0);
    IMDialog* praise = BuildPraiseWithCloseMark(window, target, 2);
    ASSERT_NE(praise, nullptr);
    Pass();
    IMTheoraAnimation* clip = ClipOf(praise);
    ASSERT_NE(clip, nullptr);
    EXPECT_EQ(clip->GetRect(), (RECT { 230, 176, 550, 376 }));
    IMPicture* mark = PictureOf(praise, L"ExitButton");
    ASSERT_NE(mark, nullptr);
    EXPECT_EQ(mark->GetRect(), (RECT { 740, 10, 780, 50 }));
    EXPECT_EQ(praise->GetLayer(mark), 901);
    EXPECT_TRUE(mark->IsHidden());

    Advance(2300);
    EXPECT_EQ(ClipOf(praise), nullptr) << "the clip closed at its end";
    EXPECT_FALSE(mark->IsHidden());
    EXPECT_TRUE(IsOpen(praise)) << "the praise waits for the mark";
    EXPECT_TRUE(IsOpen(target));
    Shot("praise-close-mark.png");

    LeftClick(760, 30);
    EXPECT_FALSE(IsOpen(target));
    EXPECT_FALSE(IsOpen(praise));
}

TEST_F(Praise, CloseMarkPraiseGoesWithItsTarget)
{
    for (const bool ended : { false, true }) {
        SCOPED_TRACE(ended ? "after the clip" : "during the clip");
        auto* target = new IMDialog(window, nullptr, 0);
        IMDialog* praise = BuildPraiseWithCloseMark(window, target, 4);
        Pass();
        Advance(ended ? 2300 : 500);
        target->Close();
        Pass();
        EXPECT_FALSE(IsOpen(praise));
        Advance(3000);
    }
    // Without a target the mark closes the praise itself.
    IMDialog* alone = BuildPraiseWithCloseMark(window, nullptr, 1);
    Advance(2300);
    LeftClick(760, 30);
    EXPECT_FALSE(IsOpen(alone));
}

TEST_F(Praise, ClipIsDrawnOverTheCloud)
{
    BuildPraiseAt(window, 137, 100, 3, [] { });
    Advance(1000);
    const std::vector<uint32_t> canvas = Shot("praise-1000ms.png");
    ASSERT_EQ(canvas.size(), 800u * 600u);
    // The cloud's own colour fills the clip's area; the clip's frames are not that plain.
    const uint32_t cloudColour = canvas[static_cast<std::size_t>(110 * 800 + 400)];
    int differing = 0;
    for (int y = 186; y < 366; y += 4)
        for (int x = 240; x < 540; x += 4)
            differing += canvas[static_cast<std::size_t>(y * 800 + x)] != cloudColour;
    EXPECT_GT(differing, 500) << "the clip's area shows more than the cloud";
}

using PraiseThreads = InstructionFixture;

TEST_F(PraiseThreads, TheChosenWordIsSpokenOnceAndNotStoppedByTheEnd)
{
    StartSoundSystem();
    int ends = 0;
    BuildPraiseAt(window, 137, 100, 1, [&] { ++ends; });
    ASSERT_EQ(PlayingStreams().size(), 1u);
    const uint32_t word = PlayingStreams().front();
    EXPECT_EQ(sound->CreateSoundFromBlob(L"gotovo_sound"), word) << "the stream of word 1";
    Advance(2300);
    EXPECT_EQ(ends, 1);
    EXPECT_EQ(PlayingStreams().size(), 1u) << "the end of the praise does not stop the word";
    Advance(2000);
    EXPECT_TRUE(PlayingStreams().empty()) << "the two-second word played to its end";
}
