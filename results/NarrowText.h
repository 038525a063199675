#pragma once
// The Windows-1251 repertoire of the results file. Every text that enters the workbook (its
// path, the worksheet name, labels, values and types) is narrowed to that code page first, so
// the file holds only characters a Windows-1251 reader can show.

#include <string>
#include <string_view>

// One Windows-1251 byte per input character: a double quote becomes an apostrophe, a
// character the code page lacks becomes "?".
std::string NarrowText(std::wstring_view text);

// Windows-1251 bytes back to wide characters, one per byte (0x98, the code page's one hole,
// becomes "?").
std::wstring WidenText(std::string_view bytes);

// The text as the code page can show it: characters the code page lacks become "?"; double
// quotes stay. Used where text leaves the workbook for an 8-bit device.
std::wstring CodePageText(std::wstring_view text);
