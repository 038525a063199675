#pragma once
// IMTheoraView: a texture view that shows an Ogg Theora clip held in memory, one frame ahead.
// Two video textures take turns: while one is on screen with frame n, the next frame is
// decoded and converted into the other, and ShowFrame swaps them. Everything runs on the
// user-interface thread, inside ShowFrame.
//
// Texture names: "IMTheoraView1" and "IMTheoraView2", each followed by the decimal value of a
// counter shared by all views (0 for the first clip opened in a run), advanced once per
// successful header read. The textures are XRGB: video frames draw opaque.
//
// A clip that cannot be read (no Theora stream, truncated headers, a corrupt packet) is not
// an exception to the caller: the view writes a diagnostic line, keeps what it shows, and
// answers HasFailed() from then on, so the control playing it can finish.

#include "framework/TextureView.h"
#include "video/AnimationView.h"

#include <cstdint>
#include <span>
#include <string>

#include <ogg/ogg.h>
#include <theora/theora.h>

class IMTheoraView : public IMTextureView, public IMAnimationView {
public:
    // LastFrame() until the end of the data has been met.
    static constexpr int32_t kUnknownLastFrame = 0x7FFFFFFF;
    // Bytes handed to the page synchroniser at a time.
    static constexpr int32_t kChunkBytes = 8192;

    IMTheoraView();
    // Releases both video textures and the decoder.
    ~IMTheoraView() override;

    // Starts decoding the clip of `size` bytes at `data` (not copied: it must outlive the
    // view): reads the headers, makes the two textures, shows the first (still black) and
    // prepares frame 0 in the other. Any clip opened before is closed first. False, with a
    // diagnostic line, when the clip cannot be read; a clip with headers but no frames opens
    // and has LastFrame() -1.
    bool Open(const uint8_t* data, int32_t size);
    bool Open(std::span<const uint8_t> clip);

    // Shows the frame prepared by the previous call (frame 0 after Open) and prepares
    // frame + 1. A frame behind the decoder (a replay) is decoded from the start of the clip
    // and shown itself.
    void ShowFrame(int32_t frame) override;
    int32_t CurrentFrame() const override { return shownFrame; }
    int32_t FirstFrame() const override { return firstFrame; }
    int32_t LastFrame() const override { return lastFrame; }
    void SetFirstFrame(int32_t frame) override { firstFrame = frame; }
    void SetLastFrame(int32_t frame) override { lastFrame = frame; }
    bool HasFailed() const override { return !ready; }

    // Texture-table indices of the video textures; -1 while there are none.
    int32_t FrontTexture() const { return frontTexture; }
    int32_t BackTexture() const { return backTexture; }
    // The number of the frame last decoded; -1 before the first.
    int32_t DecodedFrame() const { return decodedFrame; }
    // Size of the clip's picture; 0 x 0 before a clip is open.
    int32_t FrameWidth() const { return frameWidth; }
    int32_t FrameHeight() const { return frameHeight; }
    // The counter value the next opened clip's texture names will carry.
    static int32_t TextureCounter();

private:
    // Gives the next chunk of the clip to the synchroniser; the bytes taken (0 at the end).
    int32_t Feed();
    // Finds the Theora stream and reads its three headers; starts the decoder. Throws
    // std::runtime_error with the reason.
    void ReadHeaders();
    // The next packet of the Theora stream into oggPacket; false once the data has ended.
    bool NextPacket();
    // Decodes oggPacket into yuv and counts the frame. Throws on a corrupt packet.
    void DecodePacket();
    // Decodes up to targetFrame (restarting when it lies behind) and converts it.
    void DecodeToTarget();
    // Converts the frame in yuv into backTexture and keeps a copy for device recovery.
    void ConvertIntoBack();
    void CreateTextures();
    void ReleaseTextures();
    // Drops the decoder and the Ogg state; the textures stay.
    void ClearDecoder();
    void Fail(const char* reason);

    ogg_stream_state oggStream {};
    ogg_sync_state oggSync {};
    ogg_page oggPage {};
    ogg_packet oggPacket {};
    theora_comment theoraComment {};
    theora_info theoraInfo {};
    theora_state theoraState {};
    yuv_buffer yuv {};
    // Row pitch of the video textures when they were made (each conversion is handed the
    // pitch of its own lock).
    int32_t texturePitch { 0 };
    const uint8_t* data { nullptr };
    int32_t dataSize { 0 };
    int32_t readOffset { 0 };
    int32_t shownFrame { 0 };
    int32_t lastFrame { kUnknownLastFrame };
    int32_t firstFrame { 0 };
    int32_t frontTexture { -1 };
    int32_t backTexture { -1 };
    int32_t decodedFrame { -1 };
    int32_t targetFrame { 0 };

    int32_t frameWidth { 0 };
    int32_t frameHeight { 0 };
    // Which of the libogg / libtheora structures above are initialised.
    bool syncReady { false };
    bool streamReady { false };
    bool headersReady { false };
    bool decoderReady { false };
    // A clip is open and decodable.
    bool ready { false };
};
