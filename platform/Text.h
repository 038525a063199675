#pragma once
// Conversions at the edges of the program: wide strings inside (one wchar_t per code point),
// UTF-8 for files, SDL and the terminal.

#include <string>
#include <string_view>

// Invalid or truncated sequences become U+FFFD.
std::wstring Utf8ToWide(std::string_view utf8);
// Code points that are not valid Unicode scalar values become U+FFFD.
std::string WideToUtf8(std::wstring_view wide);
