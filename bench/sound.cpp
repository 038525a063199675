// Sound costs on the program's own sounds: the decoding of one half buffer, one second of a
// playing stream (decode thread, mixing and cursor looks), and the delay from PlaySound to the
// first sample reaching the device.

#include "platform/AudioCapture.h"
#include "platform/Resources.h"
#include "sound/SoundHost.h"
#include "sound/SoundSource.h"
#include "sound/SoundStream.h"
#include "sound/SoundSystem.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

namespace {
// A main window that drops what is posted and has no timers.
class QuietHost final : public ISoundHost {
public:
    uint32_t RegisterMessage(std::wstring_view) override { return ++lastId; }
    bool PostMessage(uint32_t, uint32_t, int32_t) override { return true; }
    void SetReceiver(Receiver) override { }
    int AddTimer(uint32_t) override { return 0; }
    void ConnectTimer(int, std::function<void()>) override { }
    void RemoveTimer(int) override { }

private:
    uint32_t lastId { 0xC000 };
};

constexpr uint16_t kInstruction = 141;
const char* const kClick = "MOUSE_CLICK_SOUND";

void DecodeHalfBuffer(benchmark::State& state)
{
    auto source = SoundSource::FromMemory(FindNumberedResource(kInstruction), true);
    if (!source) {
        state.SkipWithError("resource 141 is not embedded");
        return;
    }
    const uint32_t half = static_cast<uint32_t>(source->rate / 2 * source->frameBytes);
    std::vector<uint8_t> pcm(half);
    for (auto _ : state) {
        if (source->Read(pcm.data(), half) < half)
            source->Rewind();
        benchmark::DoNotOptimize(pcm.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * half);
    state.counters["sound_s_per_s"] = benchmark::Counter(0.5 * static_cast<double>(state.iterations()),
                                                          benchmark::Counter::kIsRate);
}
BENCHMARK(DecodeHalfBuffer)->Unit(benchmark::kMillisecond);

void OneSecondOfPlayback(benchmark::State& state)
{
    QuietHost host;
    CSoundSystem system;
    auto device = std::make_unique<CaptureAudioDevice>(44100, 2);
    CaptureAudioDevice* capture = device.get();
    system.InitializeSound(&host, std::move(device));
    const uint32_t id = system.CreateSound(L"141");
    if (id == 0) {
        state.SkipWithError("resource 141 is not embedded");
        return;
    }
    system.PlaySound(id, true);
    CSoundStream* stream = system.FindStream(id);
    for (auto _ : state) {
        for (int step = 0; step < 100; ++step) {
            capture->Advance(441);
            stream->RunPass();
        }
        capture->ClearCaptured();
    }
    system.StopSound(id);
    state.counters["sound_s_per_s"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                                          benchmark::Counter::kIsRate);
}
BENCHMARK(OneSecondOfPlayback)->Unit(benchmark::kMillisecond);

void PlayToFirstSample(benchmark::State& state)
{
    QuietHost host;
    CSoundSystem system;
    auto device = std::make_unique<CaptureAudioDevice>(44000, 2);
    CaptureAudioDevice* capture = device.get();
    system.InitializeSound(&host, std::move(device));
    const std::span<const uint8_t> click = FindNamedBlob(kClick);
    const uint32_t id = system.CreateSoundFromMemory(L"MOUSE_CLICK_SOUND", click.data(), click.size());
    if (id == 0) {
        state.SkipWithError("MOUSE_CLICK_SOUND is not embedded");
        return;
    }
    for (auto _ : state) {
        capture->ClearCaptured();
        const auto start = std::chrono::steady_clock::now();
        system.PlaySound(id, false);
        // The device mixes in small blocks until the first non-silent sample comes out.
        bool heard = false;
        for (int blocks = 0; !heard && blocks < 1'000'000; ++blocks) {
            capture->Advance(16);
            const auto pcm = capture->Captured();
            heard = std::any_of(pcm.end() - 32, pcm.end(), [](int16_t v) { return v != 0; });
        }
        const auto took = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(std::chrono::duration<double>(took).count());
        system.StopSound(id);
        if (!heard) {
            state.SkipWithError("the click never reached the device");
            break;
        }
    }
}
BENCHMARK(PlayToFirstSample)->UseManualTime()->Unit(benchmark::kMicrosecond);
} // namespace

BENCHMARK_MAIN();
