#include "VideoFixture.h"

#include "platform/Resources.h"
#include "video/YuvConverter.h"

#include <ogg/ogg.h>
#include <theora/theoradec.h>

#include <cstdlib>
#include <cstring>
#include <span>

namespace {

using EmbeddedClip = VideoTest;

struct DecodedFrame {
    int width { 0 };
    int height { 0 };
    std::vector<uint8_t> bgr0;
};

// Every frame of a clip through libtheora's own interface and the plain converter, as a
// second opinion on what the view must show.
std::vector<DecodedFrame> DecodeAll(std::span<const uint8_t> clip)
{
    std::vector<DecodedFrame> frames;
    ogg_sync_state sync;
    ogg_sync_init(&sync);
    char* buffer = ogg_sync_buffer(&sync, long(clip.size()));
    std::memcpy(buffer, clip.data(), clip.size());
    ogg_sync_wrote(&sync, long(clip.size()));

    th_info info;
    th_info_init(&info);
    th_comment comment;
    th_comment_init(&comment);
    th_setup_info* setup = nullptr;
    th_dec_ctx* decoder = nullptr;
    ogg_stream_state stream {};
    bool haveStream = false;
    ogg_page page;
    ogg_packet packet;
    while (ogg_sync_pageout(&sync, &page) > 0) {
        if (!haveStream) {
            ogg_stream_init(&stream, ogg_page_serialno(&page));
            haveStream = true;
        }
        if (ogg_stream_pagein(&stream, &page) != 0)
            continue;
        while (ogg_stream_packetout(&stream, &packet) > 0) {
            if (!decoder) {
                if (th_decode_headerin(&info, &comment, &setup, &packet) > 0)
                    continue;
                decoder = th_decode_alloc(&info, setup);
                if (!decoder)
                    break;
            }
            if (th_decode_packetin(decoder, &packet, nullptr) < 0)
                continue;
            th_ycbcr_buffer planes;
            th_decode_ycbcr_out(decoder, planes);
            DecodedFrame frame;
            frame.width = int(info.pic_width);
            frame.height = int(info.pic_height);
            frame.bgr0.resize(size_t(frame.width) * size_t(frame.height) * 4);
            YuvPicture picture { planes[0].data, planes[1].data, planes[2].data, planes[0].stride, planes[1].stride,
                int(info.pic_x), int(info.pic_y), frame.width, frame.height };
            ConvertYuvToXrgbPlain(picture, frame.bgr0.data(), frame.width * 4);
            frames.push_back(std::move(frame));
        }
    }
    if (decoder)
        th_decode_free(decoder);
    th_setup_free(setup);
    th_comment_clear(&comment);
    th_info_clear(&info);
    if (haveStream)
        ogg_stream_clear(&stream);
    ogg_sync_clear(&sync);
    return frames;
}

// Largest channel difference between the canvas at (x0, y0) and the frame.
int Difference(const std::vector<uint32_t>& canvas, int canvasWidth, int x0, int y0, const DecodedFrame& frame)
{
    int worst = 0;
    for (int y = 0; y < frame.height; ++y) {
        for (int x = 0; x < frame.width; ++x) {
            const uint32_t pixel = canvas[size_t(y0 + y) * size_t(canvasWidth) + size_t(x0 + x)];
            const uint8_t* texel = frame.bgr0.data() + (size_t(y) * size_t(frame.width) + size_t(x)) * 4;
            for (int channel = 0; channel < 3; ++channel) {
                const int got = int((pixel >> (8 * channel)) & 0xFF);
                worst = std::max(worst, std::abs(got - int(texel[channel])));
            }
        }
    }
    return worst;
}

TEST_F(EmbeddedClip, BravoClipReachesTheCanvasFrameByFrame)
{
    const std::span<const uint8_t> blob = FindNamedBlob("bravo_clip");
    ASSERT_FALSE(blob.empty());
    const std::vector<DecodedFrame> reference = DecodeAll(blob);
    ASSERT_EQ(reference.size(), 26u);
    ASSERT_EQ(reference[0].width, 320);
    ASSERT_EQ(reference[0].height, 240);

    const int x0 = 230;
    const int y0 = 176;
    auto* animation = new IMTheoraAnimation(window);
    ASSERT_TRUE(animation->Open(blob));
    animation->SetRect(RECT { x0, y0, x0 + 320, y0 + 240 });
    animation->framePeriod = kPeriod;
    animation->ConnectFinished([this](const IMEvent&) -> long {
        ++finished;
        return 0;
    });
    Play(animation);
    const int width = window->Display()->CanvasWidth();
    std::vector<int> differences;
    for (int index = 1; index <= 25; ++index) {
        PassAtIndex(index);
        const int frame = index == 1 ? 0 : index;
        differences.push_back(Difference(window->Display()->ReadPixels(), width, x0, y0, reference[size_t(frame)]));
    }
    for (size_t i = 0; i < differences.size(); ++i)
        EXPECT_LE(differences[i], 1) << "clock index " << i + 1;
    // The frames differ from one another, so matching them says something.
    EXPECT_GT(Difference(window->Display()->ReadPixels(), width, x0, y0, reference[0]), 16);
    EXPECT_EQ(finished, 0);
    PassAtIndex(26);
    EXPECT_EQ(finished, 1);
}

TEST_F(EmbeddedClip, EveryPraiseClipOpensWithTheSameShape)
{
    for (const char* name : { "bravo_clip", "gotovo_clip", "molodec_clip", "otlichno_clip", "ura_clip" }) {
        SCOPED_TRACE(name);
        IMTheoraView view;
        ASSERT_TRUE(view.Open(FindNamedBlob(name)));
        EXPECT_EQ(view.FrameWidth(), 320);
        EXPECT_EQ(view.FrameHeight(), 240);
        for (int frame = 1; frame <= 26; ++frame)
            view.ShowFrame(frame);
        EXPECT_FALSE(view.HasFailed());
        EXPECT_EQ(view.LastFrame(), 25);
    }
}

}
