#include "ClipMaker.h"

#include <ogg/ogg.h>
#include <theora/theoraenc.h>

#include <cstdlib>
#include <cstring>
#include <random>
#include <stdexcept>

namespace {

constexpr int kTheoraSerial = 0x5A17;
constexpr int kForeignSerial = 0x0F0F;

void AppendPage(std::vector<uint8_t>& out, const ogg_page& page)
{
    out.insert(out.end(), page.header, page.header + page.header_len);
    out.insert(out.end(), page.body, page.body + page.body_len);
}

void Flush(ogg_stream_state& stream, std::vector<uint8_t>& out)
{
    ogg_page page;
    while (ogg_stream_flush(&stream, &page) > 0)
        AppendPage(out, page);
}

// One packet of made-up bytes; the first is marked as the beginning of its stream.
void ForeignPacket(ogg_stream_state& stream, int number, std::vector<uint8_t>& out)
{
    static unsigned char bytes[64];
    std::memset(bytes, 0x40 + number, sizeof bytes);
    std::memcpy(bytes, "\x01vorbix", 7);
    ogg_packet packet {};
    packet.packet = bytes;
    packet.bytes = sizeof bytes;
    packet.b_o_s = number == 0 ? 1 : 0;
    packet.packetno = number;
    packet.granulepos = number;
    ogg_stream_packetin(&stream, &packet);
    Flush(stream, out);
}

std::vector<uint8_t> Encode(const ClipOptions& options, bool headersOnly)
{
    th_info info;
    th_info_init(&info);
    info.frame_width = uint32_t(options.frameWidth);
    info.frame_height = uint32_t(options.frameHeight);
    info.pic_width = uint32_t(options.picWidth);
    info.pic_height = uint32_t(options.picHeight);
    info.pic_x = uint32_t(options.picX);
    info.pic_y = uint32_t(options.picY);
    info.fps_numerator = uint32_t(options.fps);
    info.fps_denominator = 1;
    info.aspect_numerator = 1;
    info.aspect_denominator = 1;
    info.colorspace = TH_CS_UNSPECIFIED;
    info.pixel_fmt = TH_PF_420;
    info.target_bitrate = 0;
    info.quality = 63;
    info.keyframe_granule_shift = 6;
    th_enc_ctx* encoder = th_encode_alloc(&info);
    th_info_clear(&info);
    if (!encoder)
        throw std::runtime_error("theora encoder refused the clip settings");

    std::vector<uint8_t> out;
    ogg_stream_state foreign {};
    if (options.foreignStreamFirst) {
        ogg_stream_init(&foreign, kForeignSerial);
        ForeignPacket(foreign, 0, out);
    }

    ogg_stream_state stream;
    ogg_stream_init(&stream, kTheoraSerial);
    th_comment comment;
    th_comment_init(&comment);
    ogg_packet packet;
    bool first = true;
    while (th_encode_flushheader(encoder, &comment, &packet) > 0) {
        ogg_stream_packetin(&stream, &packet);
        // The identification header has a page of its own.
        if (first)
            Flush(stream, out);
        first = false;
    }
    Flush(stream, out);
    th_comment_clear(&comment);
    if (options.foreignStreamFirst)
        ForeignPacket(foreign, 1, out);

    if (!headersOnly) {
        ClipPlanes planes;
        planes.width = options.frameWidth;
        planes.height = options.frameHeight;
        std::mt19937 random(12345);
        for (int index = 0; index < options.frames; ++index) {
            planes.y.assign(size_t(options.frameWidth) * size_t(options.frameHeight), MarkerLuma(index));
            planes.u.assign(size_t(options.frameWidth / 2) * size_t(options.frameHeight / 2), 128);
            planes.v.assign(planes.u.size(), 128);
            if (options.noise) {
                for (int y = 0; y < options.frameHeight; ++y) {
                    for (int x = 0; x < options.frameWidth; ++x) {
                        if (x >= options.picX + 16 || y >= options.picY + 16)
                            planes.SetLuma(x, y, uint8_t(random() & 0xFF));
                    }
                }
            }
            if (options.paint)
                options.paint(index, planes);
            th_ycbcr_buffer buffer;
            buffer[0] = { options.frameWidth, options.frameHeight, options.frameWidth, planes.y.data() };
            buffer[1] = { options.frameWidth / 2, options.frameHeight / 2, options.frameWidth / 2, planes.u.data() };
            buffer[2] = { options.frameWidth / 2, options.frameHeight / 2, options.frameWidth / 2, planes.v.data() };
            if (th_encode_ycbcr_in(encoder, buffer) != 0)
                throw std::runtime_error("theora encoder refused a frame");
            const int last = index + 1 == options.frames ? 1 : 0;
            while (th_encode_packetout(encoder, last, &packet) > 0)
                ogg_stream_packetin(&stream, &packet);
            // A page per frame, so that damage can be aimed at single frames.
            Flush(stream, out);
        }
        Flush(stream, out);
    }
    ogg_stream_clear(&stream);
    if (options.foreignStreamFirst)
        ogg_stream_clear(&foreign);
    th_encode_free(encoder);
    return out;
}

}

uint8_t MarkerLuma(int index) { return uint8_t(40 + 7 * index); }

int FrameFromRed(int red)
{
    int best = -2;
    int bestDistance = 4;
    for (int index = -1; index <= 26; ++index) {
        const int expected = index < 0 ? 0 : (int(MarkerLuma(index)) - 16) * 74 >> 6;
        const int distance = std::abs(expected - red);
        if (distance < bestDistance) {
            best = index;
            bestDistance = distance;
        }
    }
    return best;
}

std::vector<uint8_t> MakeClip(const ClipOptions& options) { return Encode(options, false); }

std::vector<uint8_t> MakeHeadersOnly(const ClipOptions& options) { return Encode(options, true); }

std::vector<uint8_t> MakeForeignStream()
{
    std::vector<uint8_t> out;
    ogg_stream_state foreign;
    ogg_stream_init(&foreign, kForeignSerial);
    for (int number = 0; number < 4; ++number)
        ForeignPacket(foreign, number, out);
    ogg_stream_clear(&foreign);
    return out;
}

std::vector<size_t> PageOffsets(const std::vector<uint8_t>& ogg)
{
    std::vector<size_t> offsets;
    size_t at = 0;
    while (at + 27 <= ogg.size() && std::memcmp(ogg.data() + at, "OggS", 4) == 0) {
        const size_t segments = ogg[at + 26];
        if (at + 27 + segments > ogg.size())
            break;
        size_t body = 0;
        for (size_t s = 0; s < segments; ++s)
            body += ogg[at + 27 + s];
        offsets.push_back(at);
        at += 27 + segments + body;
    }
    return offsets;
}

void ScramblePagePayload(std::vector<uint8_t>& ogg, size_t offset, uint32_t seed)
{
    const size_t segments = ogg[offset + 26];
    size_t body = 0;
    for (size_t s = 0; s < segments; ++s)
        body += ogg[offset + 27 + s];
    const size_t header = 27 + segments;
    std::mt19937 random(seed);
    // Keep the first byte (the packet type bit) so the decoder takes it as a frame.
    for (size_t i = 1; i < body; ++i)
        ogg[offset + header + i] = uint8_t(random() & 0xFF);
    ogg_page page;
    page.header = ogg.data() + offset;
    page.header_len = long(header);
    page.body = ogg.data() + offset + header;
    page.body_len = long(body);
    ogg_page_checksum_set(&page);
}
