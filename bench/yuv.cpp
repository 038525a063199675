// YUV 4:2:0 to texel conversion of one 320 x 240 video frame: the SSE2 routine against the
// plain one.

#include "video/YuvConverter.h"

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 240;

struct Frame {
    Frame() : y(size_t(kWidth) * kHeight), u(size_t(kWidth / 2) * (kHeight / 2)), v(u.size()), out(size_t(kWidth) * kHeight * 4)
    {
        std::mt19937 random(1);
        for (auto* plane : { &y, &u, &v })
            for (uint8_t& sample : *plane)
                sample = uint8_t(random() & 0xFF);
    }
    YuvPicture Picture() const
    {
        return YuvPicture { y.data(), u.data(), v.data(), kWidth, kWidth / 2, 0, 0, kWidth, kHeight };
    }
    std::vector<uint8_t> y;
    std::vector<uint8_t> u;
    std::vector<uint8_t> v;
    std::vector<uint8_t> out;
};

void BM_YuvPlain(benchmark::State& state)
{
    Frame frame;
    const YuvPicture picture = frame.Picture();
    for (auto _ : state) {
        ConvertYuvToXrgbPlain(picture, frame.out.data(), kWidth * 4);
        benchmark::DoNotOptimize(frame.out.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_YuvPlain);

void BM_YuvSse2(benchmark::State& state)
{
    Frame frame;
    const YuvPicture picture = frame.Picture();
    for (auto _ : state) {
        ConvertYuvToXrgbSse2(picture, frame.out.data(), kWidth * 4);
        benchmark::DoNotOptimize(frame.out.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_YuvSse2);

}

BENCHMARK_MAIN();
