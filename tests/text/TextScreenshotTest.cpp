// The start screen's texts rendered on the headless device and compared with a stored picture.
// The picture written by the run is kept beside the test program (text-screenshot.png) so a
// person can look at it; TIRLAN_UPDATE_REFERENCES=1 stores it as the new reference.

#include "framework/PaintDevice.h"
#include "graphics/ImageDecoder.h"
#include "graphics/PngWriter.h"
#include "graphics/ResourceManager.h"
#include "graphics/TextView.h"
#include "platform/Display.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

constexpr int kWidth = 620;
constexpr int kHeight = 130;

struct Line {
    const wchar_t* text;
    int height;
    bool bold;
    int x; // -1: centred
    int y;
};

std::vector<uint32_t> RenderStartScreenTexts()
{
    auto display = IMDisplay::OpenHeadless(800, 600);
    if (!display)
        return {};
    IMResourceManager manager(display.get(), true);
    resourceManager = &manager;
    SetPaintDevice(&manager);

    const uint32_t paper = 0xFFF4F6F8;
    const int ground = manager.CreateTextureFromPixels(L"paper", 1, 1, reinterpret_cast<const uint8_t*>(&paper), 4);
    const Line lines[] = {
        { L"информационный источник сложной структуры", 14, false, -1, 6 },
        { L"Варнико", 18, true, -1, 26 },
        { L"Номер ЦОР:", 18, true, 10, 56 },
        { L"00734", 18, false, 115, 56 },
        { L"Собери картинку: перетащи мышкой каждый кусочек на его место.", 18, false, 10, 82 },
        { L"- пропустить инструкцию;", 16, false, 10, 106 },
    };
    std::vector<std::unique_ptr<IMTextView>> views;
    for (const auto& line : lines) {
        auto view = std::make_unique<IMTextView>();
        view->textColour = 0xFF072134;
        view->fontHeight = line.height;
        view->bold = line.bold;
        view->SetText(line.text);
        const RECT extent = view->GetSourceRect();
        const int x = line.x >= 0 ? line.x : kWidth / 2 - RectWidth(extent) / 2;
        view->SetRect(OffsetRect(extent, x, line.y));
        views.push_back(std::move(view));
    }

    manager.Clear();
    manager.BeginScene();
    manager.DrawQuad(ground, RECT { 0, 0, kWidth, kHeight }, nullptr, 0xFFFFFFFF, 0.0f);
    for (auto& view : views)
        view->Draw();
    manager.EndScene();
    std::vector<uint32_t> canvas = display->ReadPixels();
    views.clear();
    SetPaintDevice(nullptr);
    resourceManager = nullptr;

    std::vector<uint32_t> crop;
    if (canvas.size() < 800u * 600u)
        return crop;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            crop.push_back(canvas[static_cast<size_t>(y) * 800 + x]);
    return crop;
}

} // namespace

TEST(TextScreenshot, StartScreenTextsMatchTheStoredPicture)
{
    const std::vector<uint32_t> picture = RenderStartScreenTexts();
    ASSERT_EQ(picture.size(), static_cast<size_t>(kWidth) * kHeight);
    ASSERT_TRUE(WritePng("text-screenshot.png", kWidth, kHeight, picture));

    // Ink is there at all: dark texels in the title row and the description row.
    auto darkIn = [&](int top, int bottom) {
        int n = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = 0; x < kWidth; ++x)
                n += (picture[static_cast<size_t>(y) * kWidth + x] & 0xFF) < 0x60;
        return n;
    };
    EXPECT_GT(darkIn(26, 50), 100) << "the bold course title";
    EXPECT_GT(darkIn(82, 104), 300) << "the description line";

    const std::string reference = std::string(TIRLAN_TEST_FIXTURES) + "/text/start-screen-text.png";
    if (const char* update = std::getenv("TIRLAN_UPDATE_REFERENCES"); update && std::string(update) == "1") {
        ASSERT_TRUE(WritePng(reference, kWidth, kHeight, picture));
        GTEST_SKIP() << "reference stored at " << reference;
    }
    std::ifstream in(reference, std::ios::binary);
    ASSERT_TRUE(in) << "no reference picture " << reference << " (TIRLAN_UPDATE_REFERENCES=1 makes it)";
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto stored = DecodePng(bytes);
    ASSERT_TRUE(stored.has_value());
    ASSERT_EQ(stored->width, kWidth);
    ASSERT_EQ(stored->height, kHeight);

    // Within a small tolerance: a few texels may differ slightly, none may differ a lot.
    size_t differing = 0;
    long total = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const uint32_t p = picture[static_cast<size_t>(y) * kWidth + x];
            const uint8_t* s = &stored->bgra[(static_cast<size_t>(y) * kWidth + x) * 4];
            const int d = std::abs(static_cast<int>(p & 0xFF) - s[0]) + std::abs(static_cast<int>((p >> 8) & 0xFF) - s[1])
                + std::abs(static_cast<int>((p >> 16) & 0xFF) - s[2]);
            total += d;
            differing += d > 48;
        }
    }
    EXPECT_LT(differing, static_cast<size_t>(kWidth * kHeight / 200)) << "more than 0.5% of texels differ clearly";
    EXPECT_LT(static_cast<double>(total) / (kWidth * kHeight), 1.5) << "mean difference per texel";
}
