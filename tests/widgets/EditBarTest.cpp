#include "WidgetFixture.h"

#include "graphics/ResourceManager.h"
#include "graphics/TextTexture.h"
#include "widgets/EditBar.h"

namespace {

class EditBarTest : public WidgetFixture {
protected:
    void SetUp() override
    {
        WidgetFixture::SetUp();
        bar = new IMEditBar(window);
        bar->SetRect(RECT { 100, 100, 300, 124 });
        Pass();
        bar->SetFocus(true);
        Pass();
    }
    IMTextEdit& Edit() { return *bar->Edit(); }
    RECT CaretRect() { return Edit().Caret()->GetRect(); }

    IMEditBar* bar { nullptr };
};

} // namespace

TEST_F(EditBarTest, TypingBackspaceAndDeleteEditAtTheCaret)
{
    Type(L"Ваня");
    EXPECT_EQ(bar->GetText(), L"Ваня");
    EXPECT_EQ(Edit().GetCaret(), 4);

    Key(VK_DELETE); // at the end: nothing
    EXPECT_EQ(bar->GetText(), L"Ваня");

    Key(VK_LEFT);
    Key(VK_LEFT);
    Type(L"с");
    EXPECT_EQ(bar->GetText(), L"Васня");
    EXPECT_EQ(Edit().GetCaret(), 3) << "the caret stays after the new character";

    Key(VK_DELETE);
    EXPECT_EQ(bar->GetText(), L"Вася");
    EXPECT_EQ(Edit().GetCaret(), 3);

    Key(VK_RIGHT); // to the end: backspace there erases one character and steps back one
    Type(L"\b");
    EXPECT_EQ(bar->GetText(), L"Вас");
    EXPECT_EQ(Edit().GetCaret(), 3);
    Type(L"\b\b");
    EXPECT_EQ(bar->GetText(), L"В");
    EXPECT_EQ(Edit().GetCaret(), 1);
    Type(L"я");
    Key(VK_LEFT);
    Type(L"\b");
    EXPECT_EQ(bar->GetText(), L"я");
    Type(L"\b"); // at 0: nothing
    EXPECT_EQ(bar->GetText(), L"я");
    EXPECT_EQ(Edit().GetCaret(), 0);
}

TEST_F(EditBarTest, ControlCharactersInsertNothingAndArrowsStopAtTheEnds)
{
    Type(L"ab");
    for (wchar_t control : { L'\r', L'\t', static_cast<wchar_t>(27), L'\n', static_cast<wchar_t>(1) }) {
        Type(std::wstring(1, control));
        EXPECT_EQ(bar->GetText(), L"ab") << static_cast<int>(control);
        EXPECT_EQ(Edit().GetCaret(), 2);
    }
    Key(VK_RIGHT);
    EXPECT_EQ(Edit().GetCaret(), 2);
    Key(VK_LEFT);
    Key(VK_LEFT);
    Key(VK_LEFT);
    EXPECT_EQ(Edit().GetCaret(), 0);
    Key(VK_HOME); // no other key moves the caret
    EXPECT_EQ(Edit().GetCaret(), 0);
}

TEST_F(EditBarTest, TheCaretFollowsTheCharacterBeforeIt)
{
    // Empty: at the edit's top-left, as tall as a space of the edit's font.
    const int space = CreateTextTexture(L"probe space", L" ", nullptr, 0xFF000000, 16, L"Arial", false, false,
        false, 0x00AFAFAF);
    ASSERT_GE(space, 0);
    const int spaceHeight = RectHeight(resourceManager->Slot(space)->imageRect);
    resourceManager->ReleaseTexture(space);
    EXPECT_EQ(CaretRect(), (RECT { 3, 2, 4, 2 + spaceHeight }));
    EXPECT_EQ(resourceManager->FindTexture(L"TempSpaceBar"), resourceManager->SlotCount())
        << "the measuring texture is let go";

    Type(L"Ж");
    const RECT zhe = Edit().GetCharRect(0);
    EXPECT_EQ(CaretRect(), (RECT { 3 + zhe.right, 2 + zhe.top, 4 + zhe.right, 2 + zhe.bottom }));
    Key(VK_LEFT);
    EXPECT_EQ(CaretRect().left, 3) << "index 0 of a text: the edit's left edge";
    EXPECT_EQ(RectHeight(CaretRect()), RectHeight(zhe));
}

TEST_F(EditBarTest, ALongTextScrollsLeftAndBack)
{
    const int barWidth = 200;
    for (int i = 0; i < 40; ++i) {
        Type(L"Ш");
        const RECT caret = CaretRect();
        EXPECT_LE(caret.right, barWidth - 3) << i;
        EXPECT_GE(caret.left, 0) << i;
    }
    EXPECT_EQ(CaretRect().right, barWidth - 3) << "the caret's right edge stays at the bar's width - 3";
    EXPECT_LT(Edit().GetRect().left, 0) << "the text moved left";
    EXPECT_GE(Edit().GetRect().right, CaretRect().right) << "the edit is wide enough for its text";

    for (int i = 0; i < 40; ++i) {
        Key(VK_LEFT);
        EXPECT_GE(CaretRect().left, 0) << i;
    }
    EXPECT_EQ(Edit().GetCaret(), 0);
    EXPECT_GE(Edit().GetRect().left, 2) << "back at the start, the text has come back to the right";
}

TEST_F(EditBarTest, TheCaretBlinksOnlyWhileFocused)
{
    auto* caret = Edit().Caret();
    EXPECT_FALSE(caret->IsHidden());
    Wait(510);
    EXPECT_TRUE(caret->IsHidden());
    Wait(500);
    EXPECT_FALSE(caret->IsHidden());

    bar->SetFocus(false);
    Pass();
    EXPECT_TRUE(caret->IsHidden());
    Wait(1100);
    EXPECT_TRUE(caret->IsHidden());
}

TEST_F(EditBarTest, UpAndDownKeepTheRememberedColumn)
{
    // A wrapped edit of its own, three lines of words.
    auto* edit = new IMTextEdit(window);
    edit->wrap = true;
    edit->SetRect(RECT { 0, 300, 60, 400 });
    Pass();
    edit->SetFocus(true);
    Type(L"");
    edit->SetText(L"один два три пять");
    edit->SetCaret(0);
    const std::vector<int> starts = edit->LineStarts();
    ASSERT_GE(starts.size(), 3u);
    edit->SetCaret(starts[1] + 2);
    Key(VK_LEFT);
    Key(VK_RIGHT); // remember column 2 of line 1
    EXPECT_EQ(IMTextEdit::rememberedColumn, 2);
    Key(VK_UP);
    EXPECT_EQ(edit->GetCaret(), starts[0] + 2);
    Key(VK_UP); // first line: nothing
    EXPECT_EQ(edit->GetCaret(), starts[0] + 2);
    Key(VK_DOWN);
    Key(VK_DOWN);
    EXPECT_EQ(edit->GetCaret(), std::min(starts[2] + 2, edit->GlyphCount() - 1));
    Key(VK_DOWN); // last line: nothing
    EXPECT_EQ(edit->GetCaret(), std::min(starts[2] + 2, edit->GlyphCount() - 1));
}

TEST_F(EditBarTest, ClosingTheBarTakesTheCaretAndTimerAlong)
{
    const size_t timers = window->Timers().Count();
    bar->Close();
    Pass();
    Pass();
    EXPECT_LT(window->Timers().Count(), timers) << "the blink timer went with the edit";
    Wait(600); // no timer may touch what is gone
    EXPECT_TRUE(window->GetChildren().empty());
}
