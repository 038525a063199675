#include "WidgetFixture.h"

#include "widgets/List.h"
#include "widgets/Scroll.h"

namespace {

// The start screen's bar: 14 wide, 240 high, so the arrows are 14 x 14 and the track 212.
class ScrollTest : public WidgetFixture {
protected:
    void SetUp() override
    {
        WidgetFixture::SetUp();
        scroll = new IMScroll(window, RECT { 712, 187, 726, 427 });
        scroll->sigPositionChanged.connect([this](const IMEvent&, int position) {
            changes.push_back(position);
            return 0L;
        });
        Pass();
    }
    void Configure(int maximum, int page)
    {
        scroll->maximum = maximum;
        scroll->page = page;
        scroll->UpdateLayout();
        Pass();
    }
    // Screen point inside a child of the bar.
    POINT Inside(IMControl* child)
    {
        const RECT r = child->GetRect();
        return { 712 + (r.left + r.right) / 2, 187 + (r.top + r.bottom) / 2 };
    }

    IMScroll* scroll { nullptr };
    std::vector<int> changes;
};

} // namespace

TEST_F(ScrollTest, PositionsAreClamped)
{
    struct Case {
        int minimum, maximum, page, value, expected;
    };
    const Case cases[] = {
        { 0, 100, 10, 500, 90 },
        { 0, 100, 10, -5, 0 },
        { 0, 100, 10, 42, 42 },
        { 0, 5, 10, 3, -5 }, // maximum - page below minimum: maximum - page wins
    };
    for (const auto& c : cases) {
        scroll->minimum = c.minimum;
        scroll->maximum = c.maximum;
        scroll->page = c.page;
        scroll->position = 1;
        scroll->SetPosition(c.value);
        EXPECT_EQ(scroll->position, c.expected) << c.value;
    }
}

TEST_F(ScrollTest, LayoutFollowsThePosition)
{
    Configure(424, 106);
    scroll->SetPosition(106);
    EXPECT_EQ(scroll->UpButton()->GetRect(), (RECT { 0, 0, 14, 14 }));
    EXPECT_EQ(scroll->DownButton()->GetRect(), (RECT { 0, 226, 14, 240 }));
    // track 212: slider at 14 + 212 * 106 / 424 = 67, 212 * 106 / 424 = 53 high
    EXPECT_EQ(scroll->Slider()->GetRect(), (RECT { 0, 67, 14, 120 }));
    EXPECT_EQ(scroll->LowerTrack()->GetRect(), (RECT { 0, 120, 14, 226 }));
    EXPECT_EQ(changes, (std::vector<int> { 106 }));
    scroll->SetPosition(106);
    EXPECT_EQ(changes.size(), 1u) << "no change, no signal";
}

TEST_F(ScrollTest, AZeroRangeShowsAFullSliderAndKeepsItsPosition)
{
    scroll->minimum = 0;
    Configure(0, 10);
    EXPECT_EQ(scroll->Slider()->GetRect(), (RECT { 0, 14, 14, 226 }));
    scroll->SetPosition(5);
    Click(Inside(scroll->DownButton()).x, Inside(scroll->DownButton()).y);
    EXPECT_EQ(scroll->position, 0);
    EXPECT_TRUE(changes.empty());
}

TEST_F(ScrollTest, ArrowsRepeatAfterADelayAndTracksPage)
{
    Configure(100, 20);
    const POINT down = Inside(scroll->DownButton());
    Press(down.x, down.y);
    EXPECT_EQ(scroll->position, 2) << "one step of page / 10 at once";
    Wait(490);
    EXPECT_EQ(scroll->position, 2);
    Wait(20);
    EXPECT_EQ(scroll->position, 4) << "a second step after 500 ms";
    Wait(100);
    EXPECT_EQ(scroll->position, 8) << "then one every 50 ms";
    Release(down.x, down.y);
    Wait(300);
    EXPECT_EQ(scroll->position, 8) << "releasing stops the repeat";
    EXPECT_EQ(scroll->RepeatTimer(), 0);

    const POINT lower = Inside(scroll->LowerTrack());
    Click(lower.x, lower.y);
    EXPECT_EQ(scroll->position, 28);

    // Leaving the held arrow stops the repeat as well.
    const POINT up = Inside(scroll->UpButton());
    Press(up.x, up.y);
    EXPECT_EQ(scroll->position, 26);
    MoveMouse(100, 100, MK_LBUTTON);
    Wait(700);
    EXPECT_EQ(scroll->position, 26);
}

TEST_F(ScrollTest, APageBelowTenMakesTheArrowsStill)
{
    Configure(100, 9);
    const POINT down = Inside(scroll->DownButton());
    Click(down.x, down.y);
    EXPECT_EQ(scroll->position, 0);
    const POINT lower = Inside(scroll->LowerTrack());
    Click(lower.x, lower.y);
    EXPECT_EQ(scroll->position, 9) << "the track still pages";
}

TEST_F(ScrollTest, DraggingTheSliderPastTheEndsStopsThere)
{
    Configure(100, 25);
    const POINT grip = Inside(scroll->Slider());
    Press(grip.x, grip.y);
    ASSERT_TRUE(scroll->IsDragging());
    // The drag stays inside the window: leaving it would end the drag.
    for (int y = grip.y; y <= grip.y + 250; y += 7)
        MoveMouse(grip.x, y, MK_LBUTTON);
    EXPECT_EQ(scroll->position, 75);
    const int sliderHeight = scroll->Slider()->GetHeight();
    EXPECT_EQ(scroll->Slider()->GetRect().top, 240 - 14 - sliderHeight);
    // Every change was reported once, in order, without repeats.
    for (size_t i = 1; i < changes.size(); ++i)
        EXPECT_LT(changes[i - 1], changes[i]);
    EXPECT_EQ(changes.back(), 75);

    for (int y = grip.y + 250; y >= grip.y - 250; y -= 9)
        MoveMouse(grip.x, y, MK_LBUTTON);
    EXPECT_EQ(scroll->position, 0);
    EXPECT_EQ(scroll->Slider()->GetRect().top, 14);
    Release(grip.x, grip.y - 250);
    EXPECT_FALSE(scroll->IsDragging());
    const size_t seen = changes.size();
    MoveMouse(grip.x, grip.y + 100);
    EXPECT_EQ(changes.size(), seen) << "after the release the slider no longer follows";

    // Leaving the window ends a drag as well.
    Press(grip.x, Inside(scroll->Slider()).y);
    ASSERT_TRUE(scroll->IsDragging());
    MoveMouse(grip.x, 700, MK_LBUTTON);
    Pass();
    EXPECT_FALSE(scroll->IsDragging());
}

namespace {
class ListTest : public WidgetFixture { };
} // namespace

TEST_F(ListTest, ItemsStackAndClicksSelectThem)
{
    auto* list = new IMList(window);
    list->SetRect(RECT { 200, 150, 500, 300 });
    auto* first = list->AddItem(L"Принтер в классе");
    auto* second = list->AddItem(L"PDF");
    Pass();
    Pass();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->GetRect().top, 0);
    EXPECT_EQ(second->GetRect().top, first->GetHeight());
    EXPECT_EQ(first->GetCharColour(0), 0xFF000000u);
    EXPECT_TRUE(list->SelectionMask()->IsHidden());

    const RECT r = second->GetRect();
    Click(201 + r.left + 3, 151 + r.top + RectHeight(r) / 2);
    EXPECT_EQ(list->Selected(), second);
    EXPECT_FALSE(list->SelectionMask()->IsHidden());
    EXPECT_EQ(list->SelectionMask()->GetRect(), (RECT { 0, r.top, 298, r.bottom + 1 }));

    list->SelectionMask()->SetRect(RECT {});
    Click(201 + r.left + 3, 151 + r.top + RectHeight(r) / 2);
    EXPECT_EQ(list->SelectionMask()->GetRect(), (RECT { 0, r.top, 298, r.bottom + 1 })) << "placed again";

    list->Select(nullptr);
    EXPECT_EQ(list->Selected(), nullptr);
    EXPECT_TRUE(list->SelectionMask()->IsHidden());
}
