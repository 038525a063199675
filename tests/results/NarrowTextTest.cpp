#include "results/NarrowText.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <optional>
#include <iconv.h>

namespace {

// The C library's own Windows-1251 converter: the byte of `c`, or nothing.
std::optional<char> LibraryByte(iconv_t cd, char32_t c)
{
    char32_t in[1] = { c };
    char out[8];
    char* inPtr = reinterpret_cast<char*>(in);
    size_t inLeft = sizeof in;
    char* outPtr = out;
    size_t outLeft = sizeof out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1))
        return std::nullopt;
    if (sizeof out - outLeft != 1)
        return std::nullopt;
    return out[0];
}

TEST(NarrowText, AgreesWithTheLibraryCodePageOnEveryCharacter)
{
    iconv_t cd = iconv_open("CP1251", "UTF-32LE");
    ASSERT_NE(cd, reinterpret_cast<iconv_t>(-1)) << "glibc lacks CP1251";
    for (char32_t c = 1; c < 0x30000; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF)
            continue;
        const std::string narrowed = NarrowText(std::wstring(1, static_cast<wchar_t>(c)));
        ASSERT_EQ(narrowed.size(), 1u);
        const std::optional<char> expected = c == U'"' ? std::optional<char>('\'') : LibraryByte(cd, c);
        ASSERT_EQ(narrowed[0], expected.value_or('?')) << "U+" << std::hex << static_cast<uint32_t>(c);
    }
    iconv_close(cd);
}

TEST(NarrowText, WideningReturnsEveryCodePageCharacter)
{
    for (int byte = 1; byte < 256; ++byte) {
        const std::string one(1, static_cast<char>(byte));
        const std::wstring wide = WidenText(one);
        ASSERT_EQ(wide.size(), 1u);
        if (byte == 0x98) {
            EXPECT_EQ(wide, L"?");  // the code page's unassigned byte
        } else if (byte != '"') {
            EXPECT_EQ(NarrowText(wide), one) << "byte " << byte;
        }
    }
}

TEST(NarrowText, Cases)
{
    struct Case {
        const wchar_t* input;
        const wchar_t* stored;    // WidenText(NarrowText(input))
        const wchar_t* printed;   // CodePageText(input)
    };
    const Case cases[] = {
        { L"Петя \"Иванов\"", L"Петя 'Иванов'", L"Петя \"Иванов\"" },
        { L"Ёжик № 5 «ура» — €", L"Ёжик № 5 «ура» — €", L"Ёжик № 5 «ура» — €" },
        { L"Łódź", L"??d?", L"??d?" },
        { L"日本 😀", L"?? ?", L"?? ?" },
        { L"   ", L"   ", L"   " },
        { L"", L"", L"" },
    };
    for (const Case& c : cases) {
        EXPECT_EQ(NarrowText(c.input).size(), std::wstring(c.input).size()) << c.input;
        EXPECT_EQ(WidenText(NarrowText(c.input)), c.stored) << c.input;
        EXPECT_EQ(CodePageText(c.input), c.printed) << c.input;
    }
}

} // namespace
