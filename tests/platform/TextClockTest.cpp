#include "platform/Clock.h"
#include "platform/Text.h"

#include <gtest/gtest.h>

TEST(Text, RoundTripsCyrillicAndAstralCharacters)
{
    const std::string utf8 = "Игра «Тирлан» \xF0\x9F\x98\x80";
    const std::wstring wide = Utf8ToWide(utf8);
    ASSERT_EQ(wide.size(), 15u);
    EXPECT_EQ(wide[0], L'И');
    EXPECT_EQ(wide[5], L'«');
    EXPECT_EQ(static_cast<char32_t>(wide[14]), U'\U0001F600'); // one character, not two halves
    EXPECT_EQ(WideToUtf8(wide), utf8);
}

TEST(Text, DamagedInputBecomesReplacementCharacters)
{
    struct Case {
        std::string in;
        std::wstring out;
    };
    const Case cases[] = {
        { "a\xFF" "b", L"a\uFFFDb" },          // stray byte
        { "\xD0", L"\uFFFD" },                 // truncated at the end
        { "\xC0\xAF", L"\uFFFD" },             // overlong encoding
        { "\xED\xA0\x80", L"\uFFFD" },         // surrogate
        { "\xE2\x82" "x", L"\uFFFDx" },        // truncated in the middle
    };
    for (const auto& c : cases)
        EXPECT_EQ(Utf8ToWide(c.in), c.out) << c.in;
    EXPECT_EQ(WideToUtf8(std::wstring(1, static_cast<wchar_t>(0xD800))), "\xEF\xBF\xBD");
}

TEST(Clock, ManualClockMovesOnlyWhenAdvancedAndIsInstalledForAScope)
{
    ManualClock manual(5000);
    {
        ScopedClock scope(manual);
        EXPECT_EQ(GetClock().Milliseconds(), 5u);
        manual.AdvanceMilliseconds(600);
        EXPECT_EQ(GetClock().Milliseconds(), 605u);
        EXPECT_EQ(GetClock().Counter(), 605000u);
    }
    EXPECT_NE(&GetClock(), &manual);
}
