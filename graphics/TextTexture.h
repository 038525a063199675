#pragma once
// Glyph textures: one character of a face, size, colour and style rendered into a texture of
// the texture table, shared by name.

#include "framework/Types.h"

#include <cstdint>
#include <string>

class IMFontRegistry;

// The fonts every text of the program is rendered with (made on first use).
IMFontRegistry& TextFonts();

// Renders `text[0]` into a texture named `name` (a live name gets one more reference instead).
// The image is advance x cell height, or the size of `rect` when given (a zero side becomes 1).
// Answers the table index, or -1 when there is no texture table or no texture could be made.
int CreateTextTexture(const std::wstring& name, const std::wstring& text, const RECT* rect, uint32_t textColour,
    int32_t height, const std::wstring& face, bool bold, bool italic, bool underline, uint32_t backColour);

// The pictures a text view shows for a space, tab, line feed (LineEnd) or carriage return with
// marks on, and the
// transparent 1 x 1 picture of a line feed without marks. Registered under `name`; -1 on failure.
enum class IMTextMark { Space, Tab, LineEnd, Return, LineFeed };
int CreateMarkTexture(const std::wstring& name, IMTextMark mark);
