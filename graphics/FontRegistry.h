#pragma once
// The fonts of the text renderer: one record per (face, height, bold, italic), with the
// character widths and glyph outlines cached per character for the whole run, and the
// rendering of one character into a B,G,R,A glyph image. User-interface thread only.

#include "framework/Types.h"
#include "platform/FontSource.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

struct IMFontRecord {
    std::wstring face;
    int32_t height { 0 };
    uint8_t bold { 0 };
    uint8_t italic { 0 };
    uint8_t underline { 0 }; // stored, not compared: the path draws the underline
    IMTextMetrics metrics;
    std::map<wchar_t, IMCharWidths> widths;
    std::map<wchar_t, std::unique_ptr<IMGlyphOutline>> outlines; // null entry: no outline
    std::unique_ptr<IMFontFace> source;
};

// A rendered character: `width` x `height` texels, rows top to bottom, 4 bytes B,G,R,A each.
struct IMGlyphImage {
    int width { 0 };
    int height { 0 };
    std::vector<uint8_t> texels;
};

class IMFontRegistry {
public:
    // The id of the font for these settings, made on first use; -1 when no face can be found.
    int GetFont(const std::wstring& face, int32_t height, bool bold, bool italic, bool underline);
    const IMFontRecord* Font(int id) const;
    IMCharWidths CharWidths(int font, wchar_t ch);
    // Null when the character has no outline (it then renders as an empty cell).
    const IMGlyphOutline* GlyphOutline(int font, wchar_t ch);

    // Renders `ch` as the glyph texture does: the image is advance x cell height, or the size of
    // `rect` when given (a zero side becomes 1), cleared to `backColour` and filled in
    // `textColour`. False only when no font at all can be had (the image is then 1 x 1, clear).
    bool RenderCharacter(wchar_t ch, const RECT* rect, uint32_t textColour, int32_t height,
        const std::wstring& face, bool bold, bool italic, bool underline, uint32_t backColour,
        IMGlyphImage& out);

    size_t FontCount() const { return fonts.size(); }

private:
    std::vector<std::unique_ptr<IMFontRecord>> fonts;
};
