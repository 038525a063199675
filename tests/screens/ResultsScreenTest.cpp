// The results screen: its texts, the buttons with and without a record behind them, and that
// keys do nothing on it.

#include "app/ResultsScreen.h"

#include "ScreenFixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class ResultsScreenTest : public ScreenFixture {
protected:
    IMDialog* Open(bool withRecord)
    {
        ResultsScreenActions actions;
        if (withRecord) {
            actions.print = [this] { calls.push_back("print"); };
            actions.saveAs = [this] { calls.push_back("save as"); };
        }
        actions.retry = [this] {
            calls.push_back(closed ? "retry after close" : "retry");
        };
        actions.close = [this] { calls.push_back("close"); };
        screen = BuildResultsScreen(window, ResultsScreenTexts { L"00734", L"Игра «Тирлан»", L"Ваня Иванов" }, actions);
        ConnectTracked(screen->sigClosed, screen, [this](const IMEvent&) { closed = true; return 0L; });
        Pass();
        return screen;
    }

    IMDialog* screen { nullptr };
    std::vector<std::string> calls;
    bool closed { false };
};

TEST_F(ResultsScreenTest, TextsSitWhereTheLayoutPutsThem)
{
    Open(true);
    struct Placed {
        const wchar_t* text;
        int x, y, size;
        bool bold;
    };
    const Placed texts[] = {
        { L"Номер ЦОР:", 30, 250, 18, true },
        { L"00734", 135, 250, 18, false },
        { L"Название:", 30, 300, 18, true },
        { L"Игра «Тирлан»", 135, 300, 18, false },
        { L"Ученик:", 30, 350, 18, true },
        { L"Ваня Иванов", 135, 350, 18, false },
        { L"Статистика:", 30, 465, 18, true },
    };
    for (const Placed& item : texts) {
        IMTextLabel* label = FindText(screen, item.text);
        ASSERT_NE(label, nullptr) << item.y;
        EXPECT_EQ(label->GetPosition().x, item.x);
        EXPECT_EQ(label->GetPosition().y, item.y);
        EXPECT_EQ(label->fontHeight, item.size);
        EXPECT_EQ(label->bold, item.bold);
    }
    for (const auto& [text, y, size] : { std::tuple { L"информационный источник сложной структуры", 10, 14 },
             std::tuple { L"Варнико", 35, 18 }, std::tuple { L"ЗАДАНИЕ ВЫПОЛНЕНО", 150, 24 } }) {
        IMTextLabel* label = FindText(screen, text);
        ASSERT_NE(label, nullptr) << y;
        EXPECT_EQ(label->GetPosition().x, 400 - label->GetWidth() / 2);
        EXPECT_EQ(label->GetPosition().y, y);
        EXPECT_EQ(label->fontHeight, size);
    }
}

TEST_F(ResultsScreenTest, WithoutARecordPrintAndSaveAsAreGreyAndDoNothing)
{
    Open(false);
    for (const wchar_t* name : { L"PrintButton", L"SaveAsButton" }) {
        auto* button = FindButton(screen, name);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->colour, 0xFF808080u);
        EXPECT_FALSE(button->IsEnabled());
        ClickAt(button->GetRect());
        EXPECT_EQ(button->GetState(), IMStateView::kDisabled);
    }
    EXPECT_TRUE(calls.empty());
    EXPECT_FALSE(closed);
}

TEST_F(ResultsScreenTest, EachButtonCallsItsAction)
{
    struct Case {
        const wchar_t* button;
        RECT rect;
        std::vector<std::string> calls;
        bool closes;
    };
    const Case cases[] = {
        { L"PrintButton", { 30, 490, 114, 537 }, { "print" }, false },
        { L"SaveAsButton", { 128, 490, 276, 537 }, { "save as" }, false },
        { L"RetryButton", { 535, 490, 644, 537 }, { "retry" }, true },
        { L"CloseButton", { 660, 490, 771, 537 }, { "close" }, false },
        { L"ExitButton", { 755, 22, 776, 43 }, { "close" }, false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << RectWidth(c.rect) << " wide at " << c.rect.left);
        calls.clear();
        closed = false;
        Open(true);
        auto* button = FindButton(screen, c.button);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->GetRect(), c.rect);
        EXPECT_EQ(button->colour, 0xFFFFFFFFu);
        ClickAt(c.rect);
        EXPECT_EQ(calls, c.calls);
        EXPECT_EQ(closed, c.closes);
        EXPECT_EQ(OnWindow(screen), !c.closes);
        if (OnWindow(screen)) {
            screen->Close();
            Pass();
        }
    }
}

TEST_F(ResultsScreenTest, RetryTwiceBeforeTheScreenIsGoneRetriesOnce)
{
    Open(true);
    MoveMouse(590, 513);
    for (int i = 0; i < 2; ++i) {
        window->InjectMessage(WM_LBUTTONDOWN, MK_LBUTTON, Position(590, 513));
        window->InjectMessage(WM_LBUTTONUP, 0, Position(590, 513));
    }
    Pass();
    EXPECT_EQ(calls, std::vector<std::string> { "retry" });
}

TEST_F(ResultsScreenTest, EnterDoesNothingEvenWithTheScreenFocused)
{
    Open(true);
    Click(400, 420); // the background: the screen takes the keyboard
    ASSERT_TRUE(screen->IsFocused());
    const size_t children = ChildrenOf(window).size();
    Key(VK_RETURN);
    Type(L"\r ");
    Key(VK_SPACE);
    EXPECT_TRUE(calls.empty());
    EXPECT_FALSE(closed);
    EXPECT_EQ(ChildrenOf(window).size(), children);
}

TEST_F(ResultsScreenTest, ScreenshotsWithAndWithoutARecord)
{
    Open(true);
    const std::vector<uint32_t> offered = Screenshot("screens-results.png");
    screen->Close();
    Pass();
    Open(false);
    const std::vector<uint32_t> grey = Screenshot("screens-results-grey.png");
    ASSERT_EQ(offered.size(), grey.size());
    EXPECT_GT(InkIn(grey, RECT { 0, 150, 800, 180 }), 200) << "the headline";
    // The grey print button is darker than the offered one; Retry looks the same in both.
    const auto green = [](uint32_t p) { return static_cast<int>((p >> 8) & 0xFF); };
    EXPECT_LT(green(PixelAt(grey, 72, 513)), green(PixelAt(offered, 72, 513)));
    EXPECT_EQ(PixelAt(grey, 590, 513), PixelAt(offered, 590, 513));
}

} // namespace
