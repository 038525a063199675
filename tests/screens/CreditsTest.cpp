// The credits over the whole window: what they show, the cursor they make visible and give
// back, and the flag that keeps a second copy from opening.

#include "app/Credits.h"
#include "app/StartScreen.h"

#include "ScreenFixture.h"

#include <gtest/gtest.h>

namespace {

class CreditsTest : public ScreenFixture {
protected:
    // Sets the cursor's display count to `count` from its start value 0.
    static void SetCursorCount(int count)
    {
        while (CursorDisplayCount() < count)
            ShowCursor(true);
        while (CursorDisplayCount() > count)
            ShowCursor(false);
    }
    void CloseWithItsButton() { Click(765, 32); }

    bool showing { false };
};

TEST_F(CreditsTest, ClosingGivesBackExactlyTheCursorCountItRaised)
{
    struct Case {
        int before;
        int open; // the count while the credits show
    };
    // From -1 (hidden during the instruction) three steps, from 0 two, from 1 or more one.
    const Case cases[] = { { -1, 2 }, { 0, 2 }, { 1, 2 }, { 2, 3 }, { -3, 2 } };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "count before " << c.before);
        SetCursorCount(c.before);
        IMDialog* credits = BuildCredits(window, &showing);
        ASSERT_NE(credits, nullptr);
        Pass();
        EXPECT_EQ(CursorDisplayCount(), c.open);
        EXPECT_TRUE(showing);

        CloseWithItsButton();
        EXPECT_EQ(CursorDisplayCount(), c.before);
        EXPECT_FALSE(showing);
        EXPECT_FALSE(OnWindow(credits));
    }
}

TEST_F(CreditsTest, ASecondOpenIsRefusedWhileTheyShow)
{
    IMDialog* credits = BuildCredits(window, &showing);
    ASSERT_NE(credits, nullptr);
    Pass();
    const int count = CursorDisplayCount();
    const size_t children = ChildrenOf(window).size();
    EXPECT_EQ(BuildCredits(window, &showing), nullptr);
    EXPECT_EQ(CursorDisplayCount(), count);
    EXPECT_EQ(ChildrenOf(window).size(), children);

    // Closed by someone else than its button: the same give-back, once.
    credits->Close();
    credits->Close();
    Pass();
    EXPECT_EQ(CursorDisplayCount(), 0);
    EXPECT_FALSE(showing);
    EXPECT_NE(BuildCredits(window, &showing), nullptr) << "they open again once closed";
}

TEST_F(CreditsTest, TitleRolesAndEightPeopleInTheirPlaces)
{
    IMDialog* credits = BuildCredits(window, &showing);
    Pass();
    EXPECT_EQ(credits->parent, window);
    EXPECT_EQ(window->GetLayer(credits), 9999);
    EXPECT_EQ(credits->GetRect(), (RECT { 0, 0, 800, 600 }));

    IMTextLabel* title = FindText(credits, L"Варнико");
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->GetPosition().x, 22);
    EXPECT_EQ(title->GetPosition().y, 18);
    EXPECT_EQ(title->fontHeight, 25);

    struct Role {
        const wchar_t* text;
        int y;
        std::vector<int> people;
    };
    const Role roles[] = {
        { L"Авторы:", 90, { 110, 130 } },
        { L"Руководитель проекта:", 170, { 190 } },
        { L"Программисты:", 230, { 250, 270 } },
        { L"Художник:", 310, { 330 } },
        { L"Дизайнер-аниматор:", 370, { 390 } },
        { L"Трёхмерная графика:", 430, { 450 } },
    };
    std::vector<int> peopleRows;
    for (IMTextLabel* label : FindAll<IMTextLabel>(credits)) {
        EXPECT_EQ(label->GetPosition().x, 22);
        EXPECT_EQ(label->textColour, 0xFF072134u);
        if (label->fontHeight == 20) {
            peopleRows.push_back(label->GetPosition().y);
            EXPECT_NE(label->GetText().find(L' '), std::wstring::npos) << "a first name and a surname";
        }
    }
    std::vector<int> expectedRows;
    for (const Role& role : roles) {
        IMTextLabel* label = FindText(credits, role.text);
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->GetPosition().y, role.y);
        EXPECT_EQ(label->fontHeight, 21);
        expectedRows.insert(expectedRows.end(), role.people.begin(), role.people.end());
    }
    EXPECT_EQ(peopleRows, expectedRows);
    ASSERT_EQ(peopleRows.size(), 8u);

    auto* exitButton = FindButton(credits, L"ExitButton");
    ASSERT_NE(exitButton, nullptr);
    EXPECT_EQ(exitButton->GetRect(), (RECT { 755, 22, 776, 43 }));
}

TEST_F(CreditsTest, ScreenshotShowsTheCredits)
{
    BuildCredits(window, &showing);
    const std::vector<uint32_t> pixels = Screenshot("screens-credits.png");
    ASSERT_EQ(pixels.size(), 800u * 600u);
    EXPECT_GT(InkIn(pixels, RECT { 22, 18, 200, 45 }), 80) << "the course title";
    EXPECT_GT(InkIn(pixels, RECT { 22, 450, 300, 472 }), 80) << "the last name";
}

TEST_F(CreditsTest, TheScreenBeneathGetsTheKeyboardOnlyAfterTheCreditsClose)
{
    std::vector<std::wstring> started;
    StartScreenActions start;
    start.start = [&](const std::wstring& name) { started.push_back(name); };
    BuildStartScreen(window, StartScreenTexts {}, start);
    Pass();
    Type(L"Ян");

    ASSERT_NE(BuildCredits(window, &showing), nullptr);
    Pass();
    Type(L"xyz");
    Key(VK_RETURN);
    EXPECT_TRUE(started.empty()) << "Enter does not start the game under the credits";

    CloseWithItsButton();
    Pass();
    Type(L"а");
    Key(VK_RETURN);
    EXPECT_EQ(started, std::vector<std::wstring> { L"Яна" });
}

} // namespace
