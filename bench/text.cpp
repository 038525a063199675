// Text rendering costs: rasterising glyphs (first use against a shared, live texture) and laying
// out and drawing a description-sized text of 901 characters with wrapping.

#include "framework/PaintDevice.h"
#include "graphics/FontRegistry.h"
#include "graphics/ResourceManager.h"
#include "graphics/TextTexture.h"
#include "graphics/TextView.h"
#include "platform/Display.h"

#include <benchmark/benchmark.h>

namespace {

std::wstring Description()
{
    const std::wstring sentence = L"Ученик собирает картинку из кусочков: перетаскивает каждый кусочек мышью "
                                  L"в рамку, и кусочек, положенный рядом со своим местом, встаёт на место. ";
    std::wstring text;
    while (text.size() < 901)
        text += sentence;
    text.resize(901);
    return text;
}

struct Device {
    Device() : display(IMDisplay::OpenHeadless(800, 600)), manager(display.get(), true)
    {
        resourceManager = &manager;
        SetPaintDevice(&manager);
    }
    ~Device()
    {
        SetPaintDevice(nullptr);
        resourceManager = nullptr;
    }
    std::unique_ptr<IMDisplay> display;
    IMResourceManager manager;
};

void GlyphFirstUse(benchmark::State& state)
{
    IMFontRegistry fonts;
    IMGlyphImage image;
    wchar_t ch = L'А';
    for (auto _ : state) {
        // Every character of the Cyrillic block in turn, rasterised into a fresh image.
        fonts.RenderCharacter(ch, nullptr, 0xFF072134, 18, L"Arial", false, false, false, 0x00AFAFAF, image);
        benchmark::DoNotOptimize(image.texels.data());
        ch = ch == L'я' ? L'А' : static_cast<wchar_t>(ch + 1);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(GlyphFirstUse);

void GlyphTextureShared(benchmark::State& state)
{
    Device device;
    const int first = CreateTextTexture(L"shared", L"Ж", nullptr, 0xFF072134, 18, L"Arial", false, false, false, 0);
    for (auto _ : state) {
        const int again = CreateTextTexture(L"shared", L"Ж", nullptr, 0xFF072134, 18, L"Arial", false, false, false, 0);
        resourceManager->ReleaseTexture(again);
    }
    resourceManager->ReleaseTexture(first);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(GlyphTextureShared);

void DescriptionLayout(benchmark::State& state)
{
    Device device;
    const std::wstring text = Description();
    IMTextView keep; // keeps the glyph textures live, as the start screen does
    keep.wrap = true;
    keep.fontHeight = 18;
    keep.SetRect({ 0, 0, 593, 415 });
    keep.SetText(text);
    for (auto _ : state) {
        IMTextView view;
        view.wrap = true;
        view.fontHeight = 18;
        view.SetRect({ 0, 0, 593, 415 });
        view.SetText(text);
        benchmark::DoNotOptimize(view.GetSourceRect());
    }
}
BENCHMARK(DescriptionLayout)->Unit(benchmark::kMicrosecond);

void DescriptionDraw(benchmark::State& state)
{
    Device device;
    IMTextView view;
    view.wrap = true;
    view.fontHeight = 18;
    view.SetRect({ 119, 187, 712, 602 });
    view.SetText(Description());
    device.manager.SetViewport({ 119, 187, 712, 423 }); // the description area clips
    for (auto _ : state) {
        device.manager.Clear();
        device.manager.SetViewport({ 119, 187, 712, 423 });
        view.Draw();
    }
}
BENCHMARK(DescriptionDraw)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
