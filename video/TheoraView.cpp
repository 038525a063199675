#include "video/TheoraView.h"

#include "graphics/ResourceManager.h"
#include "platform/Debug.h"
#include "video/YuvConverter.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <string>
#include <utility>

namespace {

// Shared by every view: the suffix of the next clip's texture names.
int32_t textureCounter = 0;

[[noreturn]] void StreamError(const char* reason) { throw std::runtime_error(reason); }

}

int32_t IMTheoraView::TextureCounter() { return textureCounter; }

IMTheoraView::IMTheoraView() = default;

IMTheoraView::~IMTheoraView()
{
    ClearDecoder();
    ReleaseTextures();
}

bool IMTheoraView::Open(std::span<const uint8_t> clip)
{
    const auto size = static_cast<int32_t>(std::min<size_t>(clip.size(), size_t(INT32_MAX)));
    return Open(clip.data(), size);
}

bool IMTheoraView::Open(const uint8_t* clip, int32_t size)
{
    ClearDecoder();
    ReleaseTextures();
    ready = false;
    data = clip;
    dataSize = clip ? std::max<int32_t>(size, 0) : 0;
    readOffset = 0;
    shownFrame = 0;
    lastFrame = kUnknownLastFrame;
    decodedFrame = -1;
    targetFrame = 0;
    frameWidth = 0;
    frameHeight = 0;
    try {
        ReadHeaders();
        CreateTextures();
        SetTexture(frontTexture);
        SetSourceRect(RECT { 0, 0, frameWidth, frameHeight });
        texturePitch = resourceManager->TexturePitch(frontTexture);
        ready = true;
        if (NextPacket()) {
            DecodePacket();
            ConvertIntoBack();
        } else {
            // Headers without a single frame: nothing to play.
            shownFrame = 0;
            lastFrame = decodedFrame;
        }
    } catch (const std::exception& error) {
        Fail(error.what());
        return false;
    }
    return true;
}

int32_t IMTheoraView::Feed()
{
    const int32_t take = std::min(kChunkBytes, dataSize - readOffset);
    if (take <= 0)
        return 0;
    char* buffer = ogg_sync_buffer(&oggSync, take);
    if (!buffer)
        StreamError("out of memory for the clip's pages");
    std::memcpy(buffer, data + readOffset, size_t(take));
    ogg_sync_wrote(&oggSync, take);
    readOffset += take;
    return take;
}

void IMTheoraView::ReadHeaders()
{
    ogg_sync_init(&oggSync);
    syncReady = true;
    theora_info_init(&theoraInfo);
    theora_comment_init(&theoraComment);
    headersReady = true;

    // Find the first logical stream whose first packet is a Theora header. The search ends
    // at the first page that does not begin a stream.
    int headers = 0;
    bool searching = true;
    while (searching) {
        if (Feed() == 0)
            StreamError("eof searched, terminate...");
        while (ogg_sync_pageout(&oggSync, &oggPage) > 0) {
            if (!ogg_page_bos(&oggPage)) {
                if (streamReady)
                    ogg_stream_pagein(&oggStream, &oggPage);
                searching = false;
                break;
            }
            ogg_stream_state trial {};
            if (ogg_stream_init(&trial, ogg_page_serialno(&oggPage)) != 0)
                StreamError("error during ogg_stream_init");
            if (ogg_stream_pagein(&trial, &oggPage) != 0) {
                ogg_stream_clear(&trial);
                StreamError("error during ogg_stream_pagein");
            }
            const int got = ogg_stream_packetout(&trial, &oggPacket);
            if (got < 0) {
                ogg_stream_clear(&trial);
                StreamError("error during ogg_stream_packetout");
            }
            if (!streamReady && got > 0 && theora_decode_header(&theoraInfo, &theoraComment, &oggPacket) >= 0) {
                // The stream state owns heap buffers; it moves into oggStream as a whole.
                oggStream = trial;
                streamReady = true;
                headers = 1;
            } else {
                ogg_stream_clear(&trial);
            }
        }
    }
    if (!streamReady)
        StreamError("no Theora stream in the clip");

    // The comment and setup headers follow, possibly on later pages.
    while (headers < 3) {
        int got = 0;
        while (headers < 3 && (got = ogg_stream_packetout(&oggStream, &oggPacket)) != 0) {
            if (got < 0)
                StreamError("error during ogg_stream_packetout");
            if (theora_decode_header(&theoraInfo, &theoraComment, &oggPacket) < 0)
                StreamError("error during theora_decode_header (corrupt stream)");
            ++headers;
        }
        if (headers == 3)
            break;
        if (ogg_sync_pageout(&oggSync, &oggPage) > 0)
            ogg_stream_pagein(&oggStream, &oggPage);
        else if (Feed() == 0)
            StreamError("eof searched. terminate...");
    }

    if (theora_decode_init(&theoraState, &theoraInfo) != 0)
        StreamError("error during theora_decode_init");
    decoderReady = true;
    frameWidth = static_cast<int32_t>(std::min<ogg_uint32_t>(theoraInfo.frame_width, INT32_MAX));
    frameHeight = static_cast<int32_t>(std::min<ogg_uint32_t>(theoraInfo.frame_height, INT32_MAX));
}

bool IMTheoraView::NextPacket()
{
    for (;;) {
        const int got = ogg_stream_packetout(&oggStream, &oggPacket);
        if (got > 0)
            return true;
        if (got < 0)
            continue; // a gap in the data; the packets after it follow
        if (ogg_sync_pageout(&oggSync, &oggPage) > 0) {
            // Pages of other logical streams are refused here by their serial number.
            ogg_stream_pagein(&oggStream, &oggPage);
            continue;
        }
        if (Feed() == 0)
            return false;
    }
}

void IMTheoraView::DecodePacket()
{
    if (theora_decode_packetin(&theoraState, &oggPacket) < 0)
        StreamError("error during theora_decode_packetin...");
    if (theora_decode_YUVout(&theoraState, &yuv) != 0)
        StreamError("error during theora_decode_YUVout...");
    ++decodedFrame;
}

void IMTheoraView::ShowFrame(int32_t frame)
{
    shownFrame = frame;
    targetFrame = frame;
    if (!ready)
        return;
    try {
        if (frame >= 0 && frame < decodedFrame) {
            // Going back (a replay): the prepared frame lies ahead of the one asked for, so
            // decode the requested frame itself into the back texture first.
            DecodeToTarget();
        }
    } catch (const std::exception& error) {
        Fail(error.what());
        return;
    }
    SetTexture(backTexture);
    if (targetFrame < INT32_MAX)
        ++targetFrame;
    std::swap(frontTexture, backTexture);
    try {
        DecodeToTarget();
    } catch (const std::exception& error) {
        Fail(error.what());
    }
}

void IMTheoraView::DecodeToTarget()
{
    if (targetFrame < decodedFrame) {
        // Played again from the start: read the clip from its beginning.
        ClearDecoder();
        readOffset = 0;
        ReadHeaders();
        decodedFrame = -1;
    }
    // lastFrame is the number of the last frame, so it is decoded too (on a replay it is
    // known before it is reached).
    while (decodedFrame < targetFrame && targetFrame <= lastFrame) {
        if (!NextPacket()) {
            lastFrame = decodedFrame;
            continue;
        }
        DecodePacket();
    }
    if (decodedFrame == targetFrame && decodedFrame >= 0)
        ConvertIntoBack();
}

void IMTheoraView::ConvertIntoBack()
{
    if (!resourceManager || backTexture < 0 || resourceManager->IsDeviceLost())
        return;
    const TextureSlot* slot = resourceManager->Slot(backTexture);
    if (!slot || !yuv.y || !yuv.u || !yuv.v)
        return;

    YuvPicture picture;
    picture.y = yuv.y;
    picture.u = yuv.u;
    picture.v = yuv.v;
    picture.yStride = yuv.y_stride;
    picture.uvStride = yuv.uv_stride;
    picture.chromaShiftX = yuv.uv_width < yuv.y_width ? 1 : 0;
    picture.chromaShiftY = yuv.uv_height < yuv.y_height ? 1 : 0;
    // The picture lies inside the coded frame; keep it inside the planes and the texture
    // whatever the headers claim.
    picture.left = static_cast<int>(std::min<ogg_uint32_t>(theoraInfo.offset_x, ogg_uint32_t(yuv.y_width)));
    picture.top = static_cast<int>(std::min<ogg_uint32_t>(theoraInfo.offset_y, ogg_uint32_t(yuv.y_height)));
    picture.width = std::min({ frameWidth, yuv.y_width - picture.left, int(slot->imageRect.right) });
    picture.height = std::min({ frameHeight, yuv.y_height - picture.top, int(slot->imageRect.bottom) });
    if (picture.width <= 0 || picture.height <= 0)
        return;
    if (((picture.left + picture.width - 1) >> picture.chromaShiftX) >= yuv.uv_width
        || ((picture.top + picture.height - 1) >> picture.chromaShiftY) >= yuv.uv_height)
        return;

    resourceManager->UpdateTexture(backTexture,
        [&picture](uint8_t* texels, int pitch, int) { ConvertYuvToXrgb(picture, texels, pitch); });
    // The pixel copy is what a texture is rebuilt from after a device loss.
    resourceManager->SnapshotTexture(backTexture);
}

void IMTheoraView::CreateTextures()
{
    if (!resourceManager)
        StreamError("no texture manager for the video textures");
    const std::wstring suffix = std::to_wstring(textureCounter);
    frontTexture = resourceManager->CreateBlankTexture(L"IMTheoraView1" + suffix, frameWidth, frameHeight,
        TextureFormat::XRGB);
    backTexture = resourceManager->CreateBlankTexture(L"IMTheoraView2" + suffix, frameWidth, frameHeight,
        TextureFormat::XRGB);
    ++textureCounter;
    const int missing = resourceManager->SlotCount();
    if (frontTexture >= missing || backTexture >= missing) {
        // Answers equal to the table size name no texture (and could name another later).
        if (frontTexture >= missing)
            frontTexture = -1;
        if (backTexture >= missing)
            backTexture = -1;
        ReleaseTextures();
        StreamError("the video textures cannot be made");
    }
}

void IMTheoraView::ReleaseTextures()
{
    if (resourceManager) {
        // Stop showing them first; the view holds a reference of its own on the one shown.
        if (HasTexture() && (GetTexture() == frontTexture || GetTexture() == backTexture))
            AdoptTexture(resourceManager->SlotCount());
        if (frontTexture >= 0)
            resourceManager->ReleaseTexture(frontTexture);
        if (backTexture >= 0)
            resourceManager->ReleaseTexture(backTexture);
    }
    frontTexture = -1;
    backTexture = -1;
}

void IMTheoraView::ClearDecoder()
{
    if (decoderReady)
        theora_clear(&theoraState);
    if (headersReady) {
        theora_comment_clear(&theoraComment);
        theora_info_clear(&theoraInfo);
    }
    if (syncReady)
        ogg_sync_clear(&oggSync);
    if (streamReady)
        ogg_stream_clear(&oggStream);
    decoderReady = headersReady = syncReady = streamReady = false;
    theoraState = {};
    theoraInfo = {};
    theoraComment = {};
    oggSync = {};
    oggStream = {};
    // The planes belonged to the decoder.
    yuv = {};
    decodedFrame = -1;
}

void IMTheoraView::Fail(const char* reason)
{
    DebugOutput(std::string("video clip: ") + reason);
    ready = false;
    ClearDecoder();
}
