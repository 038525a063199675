#include "SoundTestSupport.h"

#include <vorbis/vorbisenc.h>
#include <vorbis/vorbisfile.h>

#include <cmath>
#include <cstring>
#include <random>

#include <gtest/gtest.h>

namespace {
void AppendPage(std::vector<uint8_t>& out, const ogg_page& page)
{
    out.insert(out.end(), page.header, page.header + page.header_len);
    out.insert(out.end(), page.body, page.body + page.body_len);
}

struct MemoryReader {
    const std::vector<uint8_t>* bytes;
    size_t offset { 0 };
};

size_t ReadMemory(void* into, size_t size, size_t count, void* state)
{
    auto* r = static_cast<MemoryReader*>(state);
    const size_t n = std::min(size * count, r->bytes->size() - r->offset);
    std::memcpy(into, r->bytes->data() + r->offset, n);
    r->offset += n;
    return size ? n / size : 0;
}
} // namespace

std::vector<uint8_t> EncodeVorbis(int rate, int channels, uint32_t frames,
                                  const std::function<float(uint32_t, int)>& sample)
{
    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, channels, rate, 0.4f) != 0) {
        vorbis_info_clear(&info);
        ADD_FAILURE() << "vorbisenc refused " << rate << " Hz x" << channels;
        return {};
    }
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_dsp_state dsp;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block block;
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, 1);

    std::vector<uint8_t> out;
    ogg_packet header, headerComment, headerCode;
    vorbis_analysis_headerout(&dsp, &comment, &header, &headerComment, &headerCode);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &headerComment);
    ogg_stream_packetin(&stream, &headerCode);
    ogg_page page;
    while (ogg_stream_flush(&stream, &page) != 0)
        AppendPage(out, page);

    const uint32_t chunk = 1024;
    uint32_t done = 0;
    int packets = 0;
    bool ended = false;
    while (!ended) {
        if (done < frames) {
            const uint32_t n = std::min(chunk, frames - done);
            float** buffer = vorbis_analysis_buffer(&dsp, static_cast<int>(n));
            for (uint32_t i = 0; i < n; ++i)
                for (int c = 0; c < channels; ++c)
                    buffer[c][i] = sample(done + i, c);
            vorbis_analysis_wrote(&dsp, static_cast<int>(n));
            done += n;
        } else {
            vorbis_analysis_wrote(&dsp, 0);
        }
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&dsp, &packet) == 1) {
                ogg_stream_packetin(&stream, &packet);
                // Small pages (a few packets each), so that tests can cut the stream up.
                const bool flush = ++packets % 8 == 0;
                while ((flush ? ogg_stream_flush(&stream, &page) : ogg_stream_pageout(&stream, &page)) != 0) {
                    AppendPage(out, page);
                    if (ogg_page_eos(&page))
                        ended = true;
                }
            }
        }
    }
    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return out;
}

std::vector<uint8_t> EncodeTone(int rate, int channels, double seconds)
{
    const auto frames = static_cast<uint32_t>(std::lround(seconds * rate));
    return EncodeVorbis(rate, channels, frames, [rate](uint32_t i, int c) {
        const double hz = c == 0 ? 440.0 : 660.0;
        return static_cast<float>(0.5 * std::sin(2 * M_PI * hz * i / rate));
    });
}

std::vector<int16_t> DecodeAll(const std::vector<uint8_t>& ogg)
{
    MemoryReader reader { &ogg };
    OggVorbis_File file;
    const ov_callbacks callbacks { ReadMemory, nullptr, nullptr, nullptr };
    std::vector<int16_t> pcm;
    if (ov_open_callbacks(&reader, &file, nullptr, 0, callbacks) != 0) {
        ADD_FAILURE() << "reference decode could not open the stream";
        return pcm;
    }
    char chunk[8192];
    int bitstream = 0;
    for (;;) {
        const long got = ov_read(&file, chunk, sizeof chunk, 0, 2, 1, &bitstream);
        if (got == OV_HOLE)
            continue;
        if (got <= 0)
            break;
        const size_t old = pcm.size();
        pcm.resize(old + static_cast<size_t>(got) / 2);
        std::memcpy(pcm.data() + old, chunk, static_cast<size_t>(got));
    }
    ov_clear(&file);
    return pcm;
}

uint32_t FakeSoundHost::RegisterMessage(std::wstring_view name)
{
    if (!failingName.empty() && name == failingName)
        return 0;
    const auto it = registered.find(std::wstring(name));
    if (it != registered.end())
        return it->second;
    const auto id = static_cast<uint32_t>(0xC000 + registered.size());
    registered.emplace(std::wstring(name), id);
    return id;
}

bool FakeSoundHost::PostMessage(uint32_t message, uint32_t wParam, int32_t lParam)
{
    std::lock_guard guard(queueLock);
    const PostedMessage posted { message, wParam, lParam, GetClock().Milliseconds() };
    queue.push_back(posted);
    log.push_back(posted);
    return true;
}

void FakeSoundHost::CheckThread()
{
    if (std::this_thread::get_id() != owner)
        foreignTimerCall = true;
}

int FakeSoundHost::AddTimer(uint32_t intervalMs)
{
    CheckThread();
    const int id = ++lastTimerId;
    timers[id] = Timer { intervalMs, GetClock().Milliseconds(), {} };
    return id;
}

void FakeSoundHost::ConnectTimer(int id, std::function<void()> handler)
{
    CheckThread();
    const auto it = timers.find(id);
    if (it != timers.end())
        it->second.handlers.push_back(std::move(handler));
}

void FakeSoundHost::RemoveTimer(int id)
{
    CheckThread();
    timers.erase(id);
}

void FakeSoundHost::Pump()
{
    std::vector<PostedMessage> taken;
    {
        std::lock_guard guard(queueLock);
        taken.swap(queue);
    }
    for (const auto& m : taken)
        if (receiver)
            receiver(m.message, m.wParam, m.lParam);
}

void FakeSoundHost::RunTimers()
{
    const uint32_t now = GetClock().Milliseconds();
    for (auto it = timers.begin(); it != timers.end();) {
        const int id = it->first;
        ++it;
        auto& timer = timers.at(id);
        if (now - timer.lastFired < timer.interval)
            continue;
        timer.lastFired = now;
        const auto handlers = timer.handlers; // a handler may remove its own timer
        for (const auto& handler : handlers)
            handler();
    }
}

std::vector<PostedMessage> FakeSoundHost::Posted() const
{
    std::lock_guard guard(queueLock);
    return log;
}

std::vector<PostedMessage> FakeSoundHost::PostedOf(uint32_t message) const
{
    std::vector<PostedMessage> result;
    for (const auto& m : Posted())
        if (m.message == message)
            result.push_back(m);
    return result;
}

SoundRig::SoundRig(int captureRate, int captureChannels)
    : rate(captureRate)
{
    std::unique_ptr<AudioDevice> device;
    if (captureRate > 0) {
        auto owned = std::make_unique<CaptureAudioDevice>(captureRate, captureChannels);
        capture = owned.get();
        device = std::move(owned);
    } else {
        device = std::make_unique<NullAudioDevice>();
    }
    system.InitializeSound(&host, std::move(device));
}

SoundRig::~SoundRig() = default;

bool SoundRig::Play(uint32_t id, bool loop)
{
    const bool result = system.PlaySound(id, loop);
    if (CSoundStream* stream = system.FindStream(id))
        stream->RunPass();
    host.Pump();
    return result;
}

void SoundRig::Advance(uint32_t ms)
{
    for (uint32_t step = 0; step < ms; step += 10) {
        clock.AdvanceMilliseconds(10);
        if (capture) {
            // Frames due by now at the capture rate, so that no fraction is ever lost.
            const uint64_t due = uint64_t(clock.Counter()) * static_cast<uint64_t>(rate) / 1'000'000;
            if (due > framesAdvanced) {
                capture->Advance(static_cast<uint32_t>(due - framesAdvanced));
                framesAdvanced = due;
            }
        }
        for (uint32_t id = 1; CSoundStream* stream = system.FindStream(id); ++id)
            stream->RunPass();
        host.RunTimers();
        host.Pump();
    }
}

uint32_t SoundRig::AdvanceUntilEnd(uint32_t id, uint32_t limitMs)
{
    const uint32_t start = NowMs();
    const size_t before = EndsOf(id);
    while (EndsOf(id) == before && NowMs() - start < limitMs)
        Advance(10);
    return NowMs() - start;
}

size_t SoundRig::EndsOf(uint32_t id) const
{
    size_t n = 0;
    for (const auto& m : host.PostedOf(system.MsgSoundPouse()))
        n += m.wParam == id;
    return n;
}
