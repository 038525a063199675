// The start screen as the teacher and the pupil use it: its layout, the scrolled description,
// the name field, Start and Enter, the exit and Options buttons.

#include "app/StartScreen.h"

#include "ScreenFixture.h"

#include "widgets/EditBar.h"
#include "widgets/Scroll.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

const std::wstring kShortDescription = L"Собери картинку из кусочков.";

std::wstring TallDescription()
{
    std::wstring text;
    for (int i = 0; i < 24; ++i)
        text += L"Перетащи мышкой каждый кусочек картинки на его место в рамке. ";
    return text;
}

class StartScreenTest : public ScreenFixture {
protected:
    IMDialog* Open(const std::wstring& description = kShortDescription, bool withOptions = false)
    {
        StartScreenActions actions;
        actions.start = [this](const std::wstring& name) { started.push_back(name); };
        actions.exit = [this] { ++exits; };
        if (withOptions)
            actions.options = [this](IMDialog* page) { optionsPages.push_back(page); };
        screen = BuildStartScreen(window, StartScreenTexts { L"00734", L"Игра «Тирлан»", description }, actions);
        ConnectTracked(screen->sigClosed, screen, [this](const IMEvent&) { ++closes; return 0L; });
        Pass();
        return screen;
    }
    IMEditBar* NameField() const
    {
        auto fields = FindAll<IMEditBar>(screen);
        return fields.size() == 1 ? fields[0] : nullptr;
    }
    IMScroll* Scroll() const
    {
        auto bars = FindAll<IMScroll>(screen);
        return bars.size() == 1 ? bars[0] : nullptr;
    }
    // The label of the description (the only wrapped text of the screen).
    IMTextLabel* Description() const
    {
        for (IMTextLabel* label : FindAll<IMTextLabel>(screen))
            if (label->wrap)
                return label;
        return nullptr;
    }

    IMDialog* screen { nullptr };
    std::vector<std::wstring> started;
    std::vector<IMDialog*> optionsPages;
    int exits { 0 };
    int closes { 0 };
};

TEST_F(StartScreenTest, ItemsSitWhereTheLayoutPutsThem)
{
    Open();
    EXPECT_EQ(screen->GetRect(), (RECT { 0, 0, 800, 600 }));

    struct Placed {
        const wchar_t* text;
        int x, y, size;
        bool bold;
    };
    const Placed texts[] = {
        { L"Номер ЦОР:", 30, 115, 18, true },
        { L"00734", 135, 115, 18, false },
        { L"Название:", 30, 152, 18, true },
        { L"Игра «Тирлан»", 135, 152, 18, false },
        { L"Описание:", 30, 188, 18, true },
        { L"Ученик:", 30, 460, 18, true },
        { L"Клавиши:", 30, 520, 18, true },
        { L"- пропустить инструкцию;", 180, 520, 16, false },
        { L"- повторить инструкцию;", 395, 520, 16, false },
        { L"- выход", 600, 520, 16, false },
    };
    for (const Placed& item : texts) {
        SCOPED_TRACE(testing::Message() << "text at " << item.x << "," << item.y);
        IMTextLabel* label = FindText(screen, item.text);
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->GetPosition().x, item.x);
        EXPECT_EQ(label->GetPosition().y, item.y);
        EXPECT_EQ(label->fontHeight, item.size);
        EXPECT_EQ(label->bold, item.bold);
        EXPECT_EQ(label->textColour, 0xFF072134u);
        EXPECT_GT(label->GetWidth(), 0) << "sized to its text";
    }

    // Centred texts: each half is truncated on its own (an odd width moves the text right).
    for (const auto& [text, y] : { std::pair { L"информационный источник сложной структуры", 10 },
             std::pair { L"Варнико", 35 } }) {
        IMTextLabel* label = FindText(screen, text);
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->GetPosition().x, 400 - label->GetWidth() / 2);
        EXPECT_EQ(label->GetPosition().y, y);
    }
    EXPECT_TRUE(FindText(screen, L"Варнико")->bold);

    ASSERT_NE(NameField(), nullptr);
    EXPECT_EQ(NameField()->GetRect(), (RECT { 135, 460, 655, 480 }));
    EXPECT_TRUE(NameField()->Edit()->IsFocused()) << "the keyboard starts in the name field";

    struct Button {
        const wchar_t* normal;
        const wchar_t* over;
        RECT rect;
    };
    const Button buttons[] = {
        { L"StartPopStartButton", L"StartPopStartButtonNuv", { 690, 450, 774, 497 } },
        { L"ExitButton", L"ExitButton", { 755, 22, 776, 43 } },
        { L"OptionsButton", L"OptionsButtonNuv", { 665, 510, 774, 557 } },
    };
    for (const Button& b : buttons) {
        auto* button = FindButton(screen, b.normal);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->GetRect(), b.rect);
        EXPECT_EQ(button->GetStateTexture(IMStateView::kMouseOver), b.over);
    }
}

TEST_F(StartScreenTest, AShortOrEmptyDescriptionHasNoScrollBar)
{
    for (const std::wstring& description : { kShortDescription, std::wstring {} }) {
        SCOPED_TRACE(description.empty() ? "empty" : "short");
        Open(description);
        ASSERT_NE(Scroll(), nullptr);
        EXPECT_EQ(Scroll()->GetRect(), (RECT { 712, 187, 726, 427 }));
        EXPECT_TRUE(Scroll()->IsHidden());
        ASSERT_NE(Description(), nullptr);
        EXPECT_EQ(Description()->GetText(), description);
        const int height = Description()->GetHeight();
        EXPECT_LE(height, 236);
        // Without any text the inner dialog keeps a height of its own.
        EXPECT_EQ(RectHeight(Description()->parent->GetRect()), description.empty() ? 235 : height);
        screen->Close();
        Pass();
    }
}

TEST_F(StartScreenTest, ATallDescriptionScrollsUnderItsWindow)
{
    Open(TallDescription());
    IMScroll* bar = Scroll();
    IMTextLabel* text = Description();
    ASSERT_NE(bar, nullptr);
    ASSERT_NE(text, nullptr);
    auto* inner = text->parent;
    auto* outer = inner->parent;
    EXPECT_EQ(outer->GetRect(), (RECT { 119, 187, 712, 423 })) << "the visible window onto the text";
    EXPECT_LE(text->GetWidth(), 593) << "wrapped at the window's width";
    ASSERT_GT(text->GetHeight(), 236);
    EXPECT_EQ(inner->GetRect(), (RECT { 0, 0, 593, text->GetHeight() }));

    EXPECT_FALSE(bar->IsHidden());
    EXPECT_EQ(bar->maximum, text->GetHeight());
    EXPECT_EQ(bar->page, 236);
    EXPECT_EQ(bar->position, 0);

    // The bar's down arrow moves the text up by the bar's position.
    ClickAt(OffsetRect(bar->DownButton()->GetRect(), 712, 187));
    ASSERT_GT(bar->position, 0);
    EXPECT_EQ(inner->GetRect().top, -bar->position);

    // Far down: the position stops where the last line shows at the bottom of the window.
    bar->SetPosition(100000);
    EXPECT_EQ(bar->position, text->GetHeight() - 236);
    EXPECT_EQ(inner->GetRect().top, -(text->GetHeight() - 236));
    EXPECT_EQ(RectHeight(inner->GetRect()), text->GetHeight());
}

TEST_F(StartScreenTest, AClickOnTheDescriptionLeavesTheKeyboardInTheNameField)
{
    Open(TallDescription());
    ClickAt(RECT { 300, 250, 300, 250 });
    ClickAt(OffsetRect(Scroll()->DownButton()->GetRect(), 712, 187));
    Type(L"Ваня");
    EXPECT_EQ(NameField()->GetText(), L"Ваня");
}

// Each way of starting runs the start once with the typed name and closes the screen.
TEST_F(StartScreenTest, StartAndEnterEachStartOnceWithTheTypedName)
{
    struct Case {
        const char* what;
        std::function<void()> press;
    };
    const Case cases[] = {
        { "Enter as key-down, character and key-up",
            [this] {
                window->InjectMessage(WM_KEYDOWN, VK_RETURN, 1);
                window->InjectMessage(WM_CHAR, 13, 1);
                window->InjectMessage(WM_KEYUP, VK_RETURN, static_cast<int32_t>(0xC0000001u));
                Pass();
            } },
        { "Enter held down (auto-repeat)",
            [this] {
                for (int i = 0; i < 3; ++i)
                    window->InjectMessage(WM_KEYDOWN, VK_RETURN, 1);
                Pass();
            } },
        { "a click on Start",
            [this] { Click(730, 473); } },
        { "two clicks on Start before the screen is gone",
            [this] {
                MoveMouse(730, 473);
                for (int i = 0; i < 2; ++i) {
                    window->InjectMessage(WM_LBUTTONDOWN, MK_LBUTTON, Position(730, 473));
                    window->InjectMessage(WM_LBUTTONUP, 0, Position(730, 473));
                }
                Pass();
            } },
        { "Start clicked, then Enter before the screen is gone",
            [this] {
                MoveMouse(730, 473);
                window->InjectMessage(WM_LBUTTONDOWN, MK_LBUTTON, Position(730, 473));
                window->InjectMessage(WM_LBUTTONUP, 0, Position(730, 473));
                window->InjectMessage(WM_KEYDOWN, VK_RETURN, 1);
                Pass();
            } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        started.clear();
        closes = 0;
        Open();
        Type(L"Маша Петрова");
        c.press();
        EXPECT_EQ(started, std::vector<std::wstring> { L"Маша Петрова" });
        EXPECT_EQ(closes, 1);
        EXPECT_FALSE(OnWindow(screen)) << "the screen is gone after the next pass";
        // Enter again goes nowhere near a closed screen.
        Key(VK_RETURN);
        EXPECT_EQ(started.size(), 1u);
    }
}

TEST_F(StartScreenTest, AnEmptyNameStartsToo)
{
    Open();
    Key(VK_RETURN);
    EXPECT_EQ(started, std::vector<std::wstring> { L"" });
    EXPECT_EQ(closes, 1);
}

TEST_F(StartScreenTest, KeysOtherThanEnterOnlyType)
{
    Open();
    Type(L"Оля");
    Key(VK_ESCAPE);
    Key(VK_F1);
    Key(VK_SPACE);
    EXPECT_TRUE(started.empty());
    EXPECT_EQ(closes, 0);
    EXPECT_TRUE(OnWindow(screen));
}

TEST_F(StartScreenTest, TheExitButtonCallsExitAndLeavesTheScreen)
{
    Open();
    Click(765, 32);
    EXPECT_EQ(exits, 1);
    EXPECT_TRUE(started.empty());
}

TEST_F(StartScreenTest, OptionsWithoutAnActionDoNothing)
{
    Open();
    const size_t before = ChildrenOf(window).size();
    Click(720, 533);
    EXPECT_EQ(ChildrenOf(window).size(), before) << "no empty page";
    auto* options = FindButton(screen, L"OptionsButton");
    ASSERT_NE(options, nullptr);
    EXPECT_FALSE(options->IsEnabled());
    EXPECT_EQ(options->GetState(), IMStateView::kDisabled) << "no highlight under the mouse";
    Type(L"x");
    EXPECT_EQ(NameField()->GetText(), L"x") << "the keyboard stays in the name field";
}

TEST_F(StartScreenTest, OptionsWithAnActionGetAFocusedPageOnTheMainWindow)
{
    Open(kShortDescription, true);
    Click(720, 533);
    ASSERT_EQ(optionsPages.size(), 1u);
    IMDialog* page = optionsPages[0];
    EXPECT_EQ(page->parent, window);
    EXPECT_EQ(page->GetRect(), (RECT { 0, 0, 800, 600 }));
    EXPECT_TRUE(page->IsFocused());
    EXPECT_EQ(window->GetFocusChild(), page);
    EXPECT_TRUE(started.empty());
}

TEST_F(StartScreenTest, ScreenshotShowsEveryItemLegibly)
{
    Open(TallDescription());
    Type(L"Ваня Иванов");
    const std::vector<uint32_t> pixels = Screenshot("screens-start.png");
    ASSERT_EQ(pixels.size(), 800u * 600u);
    EXPECT_GT(InkIn(pixels, RECT { 0, 35, 800, 60 }), 100) << "the course title";
    EXPECT_GT(InkIn(pixels, RECT { 119, 187, 712, 423 }), 2000) << "the description";
    EXPECT_EQ(InkIn(pixels, RECT { 119, 424, 680, 458 }), 0) << "the description is clipped to its window";
}

} // namespace
