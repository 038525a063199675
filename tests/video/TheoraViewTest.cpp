#include "VideoFixture.h"

#include "framework/Messages.h"
#include "framework/StaticPicture.h"

#include <string>

namespace {

using TheoraView = VideoTest;

const TextureSlot* SlotOf(int32_t index) { return index >= 0 ? resourceManager->Slot(index) : nullptr; }

TEST_F(TheoraView, TextureNamesCarryTheSharedCounter)
{
    const std::vector<uint8_t> clip = MakeClip({});
    const int32_t counter = IMTheoraView::TextureCounter();
    std::wstring firstNames[2];
    {
        IMTheoraView first;
        ASSERT_TRUE(first.Open(clip));
        IMTheoraView second;
        ASSERT_TRUE(second.Open(clip));
        const std::wstring digits[2] = { std::to_wstring(counter), std::to_wstring(counter + 1) };
        const IMTheoraView* views[2] = { &first, &second };
        for (int i = 0; i < 2; ++i) {
            const TextureSlot* front = SlotOf(views[i]->FrontTexture());
            const TextureSlot* back = SlotOf(views[i]->BackTexture());
            ASSERT_NE(front, nullptr);
            ASSERT_NE(back, nullptr);
            EXPECT_EQ(front->name, L"IMTheoraView1" + digits[i]);
            EXPECT_EQ(back->name, L"IMTheoraView2" + digits[i]);
            for (const TextureSlot* slot : { front, back }) {
                EXPECT_EQ(slot->format, TextureFormat::XRGB);
                EXPECT_TRUE(EqualRect(slot->imageRect, RECT { 0, 0, 32, 32 }));
            }
            EXPECT_EQ(views[i]->GetTexture(), views[i]->FrontTexture());
        }
        firstNames[0] = SlotOf(first.FrontTexture())->name;
        firstNames[1] = SlotOf(first.BackTexture())->name;

        // A clip that cannot be read makes no textures and uses no number.
        IMTheoraView broken;
        const std::vector<uint8_t> garbage(3000, 0x5A);
        EXPECT_FALSE(broken.Open(garbage));
        EXPECT_TRUE(broken.HasFailed());
        EXPECT_EQ(broken.FrontTexture(), -1);
        EXPECT_EQ(IMTheoraView::TextureCounter(), counter + 2);
    }
    // The views gave their textures back.
    for (const std::wstring& name : firstNames)
        EXPECT_EQ(resourceManager->FindTexture(name), resourceManager->SlotCount());
}

TEST_F(TheoraView, TwentySixFramesPlayOnceAtTwelveFramesASecond)
{
    IMTheoraAnimation* animation = Animation(MakeClip({}));
    ASSERT_TRUE(opened);
    int frameSignals = 0;
    animation->sigFrame.connect([&](const IMEvent& event) -> long {
        EXPECT_EQ(event.sender, animation);
        ++frameSignals;
        return 0;
    });
    Play(animation);
    EXPECT_EQ(frameSignals, 1);

    // Index 0 shows the blank first texture, index 1 frame 0, index n >= 2 frame n.
    for (int index = 0; index <= 25; ++index) {
        SCOPED_TRACE(testing::Message() << "clock index " << index);
        if (index > 0) {
            PassAt(IndexStart(index) - 1);
            EXPECT_EQ(FrameAt(), index == 1 ? -1 : index == 2 ? 0 : index - 1);
        }
        const uint32_t wait = PassAtIndex(index);
        EXPECT_EQ(FrameAt(), index == 0 ? -1 : index == 1 ? 0 : index);
        EXPECT_EQ(finished, 0);
        // The loop is told to come back for the next frame and may sleep until then.
        EXPECT_GE(wait, 1u);
        EXPECT_LE(wait, 84u);
    }
    EXPECT_EQ(animation->LastFrame(), 25);

    PassAt(IndexStart(26) - 1);
    EXPECT_EQ(finished, 0);
    const uint32_t wait = PassAtIndex(26);
    EXPECT_EQ(finished, 1);
    EXPECT_FALSE(animation->IsPlaying());
    // One from Play, then one per new frame (indexes 1 to 25).
    EXPECT_EQ(frameSignals, 1 + 25);
    // The last frame stays on screen, and nothing asks the loop to wake any more.
    EXPECT_EQ(FrameAt(), 25);
    EXPECT_EQ(wait, UINT32_MAX);
    PassAtIndex(40);
    EXPECT_EQ(finished, 1);
}

TEST_F(TheoraView, PlayingAgainRestartsTheDecoder)
{
    IMTheoraAnimation* animation = Animation(MakeClip({}));
    Play(animation);
    for (int index = 0; index <= 26; ++index)
        PassAtIndex(index);
    ASSERT_EQ(finished, 1);
    ASSERT_EQ(animation->DecodedFrame(), 25);

    PassAtIndex(30);
    Play(animation);
    PassAtIndex(0);
    // The decoder went back to the start of the data: frame 0 and the next one prepared.
    EXPECT_EQ(animation->DecodedFrame(), 1);
    EXPECT_EQ(FrameAt(), 0);
    for (int index = 1; index <= 25; ++index) {
        PassAtIndex(index);
        EXPECT_EQ(FrameAt(), index) << "clock index " << index;
    }
    PassAtIndex(26);
    EXPECT_EQ(finished, 2);
    EXPECT_EQ(FrameAt(), 25);
}

struct ClipCase {
    const char* name;
    ClipOptions options;
    size_t minBytes;
    size_t maxBytes;
};

TEST_F(TheoraView, ShortAndLongClipsDecodeAlike)
{
    ClipOptions tiny;
    tiny.frames = 3;
    ClipOptions noisy;
    noisy.frameWidth = noisy.picWidth = 96;
    noisy.frameHeight = noisy.picHeight = 64;
    noisy.noise = true;
    ClipOptions foreign;
    foreign.foreignStreamFirst = true;
    const ClipCase cases[] = {
        { "under one chunk", ClipOptions {}, 0, IMTheoraView::kChunkBytes - 1 },
        { "three frames", tiny, 0, IMTheoraView::kChunkBytes - 1 },
        { "several chunks", noisy, 3 * IMTheoraView::kChunkBytes, SIZE_MAX },
        { "after another stream", foreign, 0, SIZE_MAX },
    };
    for (const ClipCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<uint8_t> clip = MakeClip(c.options);
        ASSERT_GE(clip.size(), c.minBytes);
        ASSERT_LE(clip.size(), c.maxBytes);
        IMTheoraAnimation* animation = Animation(clip, RECT { 0, 0, c.options.picWidth, c.options.picHeight });
        ASSERT_TRUE(opened);
        finished = 0;
        Play(animation);
        std::vector<int> shown;
        int index = 0;
        for (; index <= c.options.frames + 2 && finished == 0; ++index) {
            PassAtIndex(index);
            if (finished == 0)
                shown.push_back(FrameAt(8, 8));
        }
        std::vector<int> expected { -1, 0 };
        for (int frame = 2; frame < c.options.frames; ++frame)
            expected.push_back(frame);
        EXPECT_EQ(shown, expected);
        EXPECT_EQ(index - 1, c.options.frames) << "finished at this clock index";
        EXPECT_EQ(finished, 1);
        animation->Release();
        PassAtIndex(index + 1);
    }
}

TEST_F(TheoraView, ShowsOnlyThePictureOfALargerCodedFrame)
{
    // A 20 x 12 picture at (4, 6) of a 48 x 32 coded frame: dark upper half, light lower half,
    // and a third value around it.
    ClipOptions options;
    options.frameWidth = 48;
    options.frameHeight = 32;
    options.picX = 4;
    options.picY = 6;
    options.picWidth = 20;
    options.picHeight = 12;
    options.frames = 2;
    options.paint = [&options](int, ClipPlanes& planes) {
        for (int y = 0; y < planes.height; ++y) {
            for (int x = 0; x < planes.width; ++x) {
                const bool inside = x >= options.picX && x < options.picX + options.picWidth && y >= options.picY
                    && y < options.picY + options.picHeight;
                const bool upper = y < options.picY + options.picHeight / 2;
                planes.SetLuma(x, y, MarkerLuma(inside ? (upper ? 3 : 20) : 12));
            }
        }
    };
    IMTheoraAnimation* animation = Animation(MakeClip(options), RECT { 0, 0, 20, 12 });
    ASSERT_TRUE(opened);
    EXPECT_EQ(animation->FrameWidth(), 20);
    EXPECT_EQ(animation->FrameHeight(), 12);
    Play(animation);
    PassAtIndex(0);
    PassAtIndex(1);
    const struct {
        int x, y, frame;
    } probes[] = { { 0, 0, 3 }, { 19, 0, 3 }, { 10, 4, 3 }, { 0, 11, 20 }, { 19, 11, 20 }, { 10, 7, 20 } };
    for (const auto& probe : probes)
        EXPECT_EQ(FrameAt(probe.x, probe.y), probe.frame) << probe.x << "," << probe.y;
}

TEST_F(TheoraView, FramesStayOpaqueAndCurrentAfterADeviceLoss)
{
    // White under the video: a frame drawn with its zero fourth byte as alpha would show it.
    std::vector<uint8_t> white(32 * 32 * 4, 0xFF);
    const int whiteTexture = resourceManager->CreateTextureFromPixels(L"white under video", 32, 32, white.data(), 128);
    ASSERT_NE(resourceManager->Slot(whiteTexture), nullptr);
    window->CreatePicture(0, 0, L"white under video");
    IMTheoraAnimation* animation = Animation(MakeClip({}));
    Play(animation);
    for (int index = 0; index <= 5; ++index)
        PassAtIndex(index);
    ASSERT_EQ(FrameAt(), 5);

    window->Display()->NotifyReset(true);
    PassAtIndex(5);
    window->InjectMessage(WM_PAINT, 0, 0);
    ASSERT_FALSE(resourceManager->IsDeviceLost());
    PassAtIndex(5);
    EXPECT_EQ(FrameAt(), 5);
    for (int32_t index : { animation->FrontTexture(), animation->BackTexture() })
        EXPECT_EQ(SlotOf(index)->format, TextureFormat::XRGB);

    // Playing goes on from the restored textures.
    PassAtIndex(6);
    EXPECT_EQ(FrameAt(), 6);
    PassAtIndex(7);
    EXPECT_EQ(FrameAt(), 7);
}

}
