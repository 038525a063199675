#include "graphics/FontRegistry.h"

#include "graphics/GlyphPath.h"
#include "graphics/GlyphRaster.h"

#include <algorithm>

int IMFontRegistry::GetFont(const std::wstring& face, int32_t height, bool bold, bool italic, bool underline)
{
    for (size_t i = 0; i < fonts.size(); ++i) {
        const auto& f = *fonts[i];
        if (f.face == face && f.height == height && f.bold == bold && f.italic == italic)
            return static_cast<int>(i);
    }
    auto source = IMFontFace::Open(face, height, bold ? 700 : 400, italic);
    if (!source)
        return -1;
    auto record = std::make_unique<IMFontRecord>();
    record->face = face;
    record->height = height;
    record->bold = bold;
    record->italic = italic;
    record->underline = underline;
    record->metrics = source->Metrics();
    record->source = std::move(source);
    fonts.push_back(std::move(record));
    return static_cast<int>(fonts.size() - 1);
}

const IMFontRecord* IMFontRegistry::Font(int id) const
{
    if (id < 0 || static_cast<size_t>(id) >= fonts.size())
        return nullptr;
    return fonts[static_cast<size_t>(id)].get();
}

IMCharWidths IMFontRegistry::CharWidths(int font, wchar_t ch)
{
    auto* record = const_cast<IMFontRecord*>(Font(font));
    if (!record)
        return {};
    auto found = record->widths.find(ch);
    if (found != record->widths.end())
        return found->second;
    const IMCharWidths widths = record->source->CharWidths(static_cast<char32_t>(ch));
    record->widths.emplace(ch, widths);
    return widths;
}

const IMGlyphOutline* IMFontRegistry::GlyphOutline(int font, wchar_t ch)
{
    auto* record = const_cast<IMFontRecord*>(Font(font));
    if (!record)
        return nullptr;
    auto found = record->outlines.find(ch);
    if (found != record->outlines.end())
        return found->second.get();
    auto outline = std::make_unique<IMGlyphOutline>();
    if (!record->source->Outline(static_cast<char32_t>(ch), *outline))
        outline.reset();
    return record->outlines.emplace(ch, std::move(outline)).first->second.get();
}

bool IMFontRegistry::RenderCharacter(wchar_t ch, const RECT* rect, uint32_t textColour, int32_t height,
    const std::wstring& face, bool bold, bool italic, bool underline, uint32_t backColour, IMGlyphImage& out)
{
    const int font = GetFont(face, height, bold, italic, underline);
    if (font < 0) {
        out.width = out.height = 1;
        out.texels.assign(4, 0);
        return false;
    }
    const IMTextMetrics& metrics = Font(font)->metrics;
    const IMCharWidths abc = CharWidths(font, ch);
    const int advance = abc.a + static_cast<int>(abc.b) + abc.c;

    int width = rect ? RectWidth(*rect) : advance;
    int imageHeight = rect ? RectHeight(*rect) : metrics.height;
    width = std::max(width, 1);
    imageHeight = std::max(imageHeight, 1);

    IMGlyphPath path;
    if (const IMGlyphOutline* outline = GlyphOutline(font, ch))
        path.AddOutline(*outline, metrics.descent);
    if (underline)
        path.AddUnderline(advance, metrics.descent);
    path.Finish();

    out.width = width;
    out.height = imageHeight;
    out.texels.assign(static_cast<size_t>(width) * static_cast<size_t>(imageHeight) * 4, 0);
    RasteriseGlyph(path, out.texels.data(), width, imageHeight, width * 4, textColour, backColour);
    return true;
}
