// The whole program driven by random window messages for a few minutes of program time:
// pointer moves, presses, releases, double clicks, wheel turns, every key the program knows and
// random others, typed letters (Latin and Cyrillic), the pointer leaving and entering, the window
// minimised and restored. Whatever screen is showing gets the input. The run must not crash,
// and the results file saved at the end must hold exactly what the in-memory record held.
//
// The seed is fixed; TIRLAN_MONKEY_SEED sets another. A failure prints the seed.

#include "../game/GameFixture.h"

#include "platform/Events.h"
#include "platform/Text.h"
#include "results/ResultsFile.h"
#include "results/ResultsRecord.h"
#include "results/ResultsWorkbook.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr uint32_t kDefaultSeed = 734;
// Program time the monkey plays for.
constexpr uint64_t kRunMs = 4 * 60 * 1000;

uint32_t SeedFromEnvironment()
{
    if (const char* text = std::getenv("TIRLAN_MONKEY_SEED"); text != nullptr && *text != '\0')
        return static_cast<uint32_t>(std::strtoul(text, nullptr, 10));
    return kDefaultSeed;
}

std::string ReadBytes(const std::filesystem::path& path)
{
    std::string bytes;
    int error = 0;
    if (ResultsFile::ReadWhole(path, bytes, error) != ResultsFile::ReadResult::Read)
        return "<unreadable: errno " + std::to_string(error) + ">";
    return bytes;
}

class Monkey : public GameFixture {
protected:
    int Coordinate(int size)
    {
        // Mostly inside the canvas, sometimes just outside it.
        return std::uniform_int_distribution<int>(-20, size + 20)(random);
    }
    uint32_t Pick(uint32_t count) { return std::uniform_int_distribution<uint32_t>(0, count - 1)(random); }

    void Send(uint32_t message, uint32_t wParam, int32_t lParam)
    {
        window->InjectMessage(message, wParam, lParam);
        ++sent;
    }
    void KeyPress(uint32_t vk)
    {
        Send(WM_KEYDOWN, vk, 0);
        Send(WM_KEYUP, vk, static_cast<int32_t>(0xC0000000u));
    }

    // Centres, in canvas pixels, of the shown controls of `dialog` whose top-left corner lies at
    // (originX, originY), walking into nested dialogs.
    static void CollectTargets(const IMDialog* dialog, int originX, int originY, std::vector<POINT>& out)
    {
        for (const auto& [layer, controls] : dialog->GetChildren()) {
            for (IMControl* control : controls) {
                if (control == nullptr || control->IsHidden())
                    continue;
                const RECT r = control->GetRect();
                const int left = originX + r.left;
                const int top = originY + r.top;
                out.push_back(POINT { left + (r.right - r.left) / 2, top + (r.bottom - r.top) / 2 });
                if (const auto* inner = dynamic_cast<const IMDialog*>(control))
                    CollectTargets(inner, left, top, out);
            }
        }
    }

    // One random piece of input.
    void OneAction()
    {
        static const uint32_t knownKeys[] = { VK_F1, VK_F12, VK_ESCAPE, VK_SPACE, VK_RETURN, VK_BACK, VK_TAB,
            VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN, VK_HOME, VK_END, VK_DELETE, VK_SHIFT };
        static const wchar_t letters[] = L"abcxyzABCZ0129 .,-АБВЯабвгдеёжзийклмнопрстуфхцчшщъыьэюяЁ";
        const uint32_t buttons = held;
        if (Pick(40) == 0) { // now and then a click on something that is showing
            std::vector<POINT> targets;
            CollectTargets(window, 0, 0, targets);
            if (!targets.empty()) {
                const POINT at = targets[Pick(static_cast<uint32_t>(targets.size()))];
                x = at.x;
                y = at.y;
                Send(WM_MOUSEMOVE, held, At(x, y));
                Send(WM_LBUTTONDOWN, held | MK_LBUTTON, At(x, y));
                Send(WM_LBUTTONUP, held, At(x, y));
                return;
            }
        }
        switch (Pick(20)) {
        case 0: case 1: case 2: case 3: case 4: case 5:
            x = Coordinate(800);
            y = Coordinate(600);
            Send(WM_MOUSEMOVE, buttons, At(x, y));
            break;
        case 6:
            held |= MK_LBUTTON;
            Send(WM_LBUTTONDOWN, held, At(x, y));
            break;
        case 7:
            held &= ~MK_LBUTTON;
            Send(WM_LBUTTONUP, held, At(x, y));
            break;
        case 8: // a whole click, or a double click
            Send(WM_LBUTTONDOWN, held | MK_LBUTTON, At(x, y));
            Send(WM_LBUTTONUP, held, At(x, y));
            if (Pick(3) == 0) {
                Send(WM_LBUTTONDBLCLK, held | MK_LBUTTON, At(x, y));
                Send(WM_LBUTTONUP, held, At(x, y));
            }
            break;
        case 9: {
            static const uint32_t others[][2] = { { WM_RBUTTONDOWN, MK_RBUTTON }, { WM_RBUTTONUP, 0 },
                { WM_MBUTTONDOWN, MK_MBUTTON }, { WM_MBUTTONUP, 0 }, { WM_RBUTTONDBLCLK, MK_RBUTTON } };
            const auto& pick = others[Pick(5)];
            Send(pick[0], held | pick[1], At(x, y));
            break;
        }
        case 10: {
            const int16_t delta = Pick(2) ? 120 : -120;
            Send(WM_MOUSEWHEEL, static_cast<uint32_t>(static_cast<uint16_t>(delta)) << 16 | held, At(x, y));
            break;
        }
        case 11: case 12:
            KeyPress(knownKeys[Pick(sizeof knownKeys / sizeof knownKeys[0])]);
            break;
        case 13: // Ctrl+I, the pupil-name shortcut
            Send(WM_KEYDOWN, VK_CONTROL, 0);
            KeyPress('I');
            Send(WM_KEYUP, VK_CONTROL, static_cast<int32_t>(0xC0000000u));
            break;
        case 14: case 15:
            Send(WM_CHAR, static_cast<uint32_t>(letters[Pick(sizeof letters / sizeof letters[0] - 1)]), 1);
            break;
        case 16: // any key at all, and a random character
            KeyPress(Pick(256));
            if (Pick(2) == 0)
                Send(WM_CHAR, Pick(0x500), 1);
            break;
        case 17:
            if (Pick(2) == 0) {
                Send(WM_MOUSELEAVE, 0, 0);
            } else {
                x = Coordinate(800);
                y = Coordinate(600);
                Send(WM_MOUSEMOVE, held, At(x, y));
            }
            break;
        case 18: // minimised for a moment, then restored
            Send(IM_WM_SIZE, IM_SIZE_MINIMIZED, 0);
            Pass(std::uniform_int_distribution<int>(0, 500)(random));
            Send(IM_WM_SIZE, IM_SIZE_RESTORED, 0);
            break;
        case 19:
            Send(IM_WM_SHOWWINDOW, 0, 0);
            Pass(std::uniform_int_distribution<int>(0, 200)(random));
            Send(IM_WM_SHOWWINDOW, 1, 0);
            break;
        }
    }

    // Drives the program at random for a few minutes of program time, then checks that the
    // record the program saves equals the one it held in memory. Answers the file it saved.
    std::filesystem::path RunMonkeyAndCheckTheRecord()
    {
        uint64_t elapsed = 0;
        bool closed = false;
        while (elapsed < kRunMs) {
            const int actions = std::uniform_int_distribution<int>(1, 3)(random);
            for (int i = 0; i < actions && !window->IsQuitting(); ++i)
                OneAction();
            if (window->IsQuitting()) {
                closed = true;
                break;
            }
            const uint64_t step = std::uniform_int_distribution<uint64_t>(5, 80)(random);
            Pass(step);
            elapsed += step;
            if (window->IsQuitting()) {
                closed = true;
                break;
            }
        }
        std::printf("monkey: %llu messages over %llu ms of program time%s\n", static_cast<unsigned long long>(sent),
            static_cast<unsigned long long>(elapsed), closed ? ", then the window was closed" : "");

        // What the record holds in memory, written aside, against what the program saves.
        EXPECT_NE(app->workbook, nullptr);
        if (!app->workbook)
            return {};
        const std::filesystem::path resultsPath(WideToUtf8(app->workbook->ResultsFilePath()));
        ResultsWorkbook* held = app->workbook->Workbook();
        const std::filesystem::path aside = dataHome / "in-memory.xls";
        EXPECT_NE(held, nullptr) << "the monkey's exercise opened no workbook";
        if (held == nullptr)
            return {};
        EXPECT_TRUE(held->Save(Utf8ToWide(aside.string())).ok);
        const std::string expected = ReadBytes(aside);
        size_t rows = 0;
        for (size_t at = expected.find("<Row"); at != std::string::npos; at = expected.find("<Row", at + 1))
            ++rows;
        std::printf("monkey: the record holds %zu rows\n", rows);

        App::ReleaseInstance();
        window = nullptr;

        EXPECT_EQ(ReadBytes(resultsPath), expected);
        ResultsWorkbook reread(Utf8ToWide(resultsPath.string()), L"Обезьянка");
        EXPECT_EQ(reread.OpenMessage(), L"");
        return resultsPath;
    }

    uint32_t seed { SeedFromEnvironment() };
    std::mt19937 random { seed };
    int x { 400 };
    int y { 300 };
    uint32_t held { 0 };
    uint64_t sent { 0 };
};

TEST_F(Monkey, RandomInputNeitherCrashesNorLosesResults)
{
    SCOPED_TRACE("TIRLAN_MONKEY_SEED=" + std::to_string(seed));
    std::printf("monkey seed %u (set TIRLAN_MONKEY_SEED to repeat another)\n", seed);

    // Whatever screen shows first, an exercise under a pupil's name is started; from then on
    // the monkey drives whatever is on the screen.
    app->StartPressed(L"Обезьянка");
    Pass();

    const std::filesystem::path saved = RunMonkeyAndCheckTheRecord();
    EXPECT_NE(ReadBytes(saved).find("Обезьянка"), std::string::npos);
}

TEST_F(Monkey, AfterAWholeRunRandomInputKeepsItsRows)
{
    // A seed of its own (the next one), so that this run is not the first test's again.
    random.seed(++seed);
    SCOPED_TRACE("TIRLAN_MONKEY_SEED=" + std::to_string(seed - 1));
    std::printf("monkey seed %u (this run uses the one after it)\n", seed - 1);
    // The whole task first, so that the record holds the rows of an exercise's end too; the
    // monkey then starts on the results screen.
    StartGame(L"Обезьянка");
    for (int puzzle = 0; puzzle < 3; ++puzzle) {
        SolvePuzzle();
        ClickNextArrow();
    }
    RunFor(2500);
    ASSERT_NE(app->resultsScreen, nullptr);
    // The monkey may start another pupil's run; the first pupil's file keeps the whole task.
    const std::filesystem::path first(WideToUtf8(app->workbook->ResultsFilePath()));
    RunMonkeyAndCheckTheRecord();
    const std::string saved = ReadBytes(first);
    EXPECT_NE(saved.find("Количество перетаскиваний предметов</Data></Cell><Cell><Data ss:Type=\"Number\">28<"),
        std::string::npos);
    EXPECT_NE(saved.find("Общее время работы с упражнением. с."), std::string::npos);
}

} // namespace
