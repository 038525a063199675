#include "graphics/TextView.h"

#include "framework/PaintDevice.h"
#include "graphics/ResourceManager.h"
#include "graphics/TextTexture.h"

#include <algorithm>

std::wstring GlyphTextureName(const GlyphRecord& g)
{
    std::wstring name = g.fontFace;
    name.push_back(g.character);
    name += std::to_wstring(g.fontHeight);
    name += std::to_wstring(static_cast<int32_t>(g.textColour));
    name += std::to_wstring(g.italic);
    name += std::to_wstring(g.underline);
    name += std::to_wstring(g.bold);
    name += std::to_wstring(static_cast<int32_t>(g.backColour));
    name += std::to_wstring(g.mark);
    return name;
}

namespace {
bool IsMarkable(wchar_t ch) { return ch == L'\t' || ch == L'\n' || ch == L'\r' || ch == L' '; }
} // namespace

IMTextView::~IMTextView()
{
    for (auto& g : glyphs)
        ReleaseGlyphTexture(*g);
}

void IMTextView::AcquireGlyphTexture(GlyphRecord& g)
{
    g.mark = showMarks && IsMarkable(g.character) ? 1 : 0;
    g.textureName = GlyphTextureName(g);
    if (g.mark) {
        const IMTextMark mark = g.character == L' ' ? IMTextMark::Space
            : g.character == L'\t'                   ? IMTextMark::Tab
            : g.character == L'\r'                   ? IMTextMark::Return
                                                     : IMTextMark::LineEnd;
        g.texture = CreateMarkTexture(g.textureName, mark);
    } else if (g.character == L'\n') {
        g.texture = CreateMarkTexture(g.textureName, IMTextMark::LineFeed);
    } else {
        // Spaces, tabs and carriage returns show as a space.
        const wchar_t shown = (g.character == L'\t' || g.character == L'\r') ? L' ' : g.character;
        g.texture = CreateTextTexture(g.textureName, std::wstring(1, shown), nullptr, g.textColour, g.fontHeight,
            g.fontFace, g.bold, g.italic, g.underline, g.backColour);
    }
}

void IMTextView::ReleaseGlyphTexture(GlyphRecord& g)
{
    if (g.texture >= 0 && resourceManager)
        resourceManager->ReleaseTexture(g.texture);
    g.texture = -1;
}

POINT IMTextView::GlyphSize(const GlyphRecord& g) const
{
    if (g.texture < 0 || !resourceManager)
        return {};
    const TextureSlot* slot = resourceManager->Slot(g.texture);
    if (!slot)
        return {};
    return { RectWidth(slot->imageRect), RectHeight(slot->imageRect) };
}

void IMTextView::InsertText(int position, const std::wstring& text)
{
    if (position < 0 || position > GlyphCount())
        return;
    for (size_t i = 0; i < text.size(); ++i) {
        auto g = std::make_unique<GlyphRecord>();
        g->character = text[i];
        g->textColour = textColour;
        g->underline = underline;
        g->italic = italic;
        g->bold = bold;
        g->fontHeight = fontHeight;
        g->fontFace = fontFace;
        g->backColour = backColour;
        AcquireGlyphTexture(*g);
        glyphs.insert(glyphs.begin() + position + static_cast<ptrdiff_t>(i), std::move(g));
    }
    Layout(position);
}

void IMTextView::EraseText(int position, int count)
{
    if (position < 0 || position >= GlyphCount() || count <= 0)
        return;
    const int end = std::min(GlyphCount(), position + count);
    for (int i = position; i < end; ++i)
        ReleaseGlyphTexture(*glyphs[static_cast<size_t>(i)]);
    glyphs.erase(glyphs.begin() + position, glyphs.begin() + end);
    Layout(position);
}

void IMTextView::SetText(const std::wstring& text)
{
    for (auto& g : glyphs)
        ReleaseGlyphTexture(*g);
    glyphs.clear();
    SetSourceRect(RECT {});
    InsertText(0, text);
}

void IMTextView::SetChar(wchar_t ch, int index)
{
    if (index < 0 || index >= GlyphCount())
        return;
    glyphs[static_cast<size_t>(index)]->character = ch;
    RefreshGlyphs(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
}

void IMTextView::SetTextColour(uint32_t colour) { SetAttributes(&colour, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr); }
void IMTextView::SetBackColour(uint32_t colour) { SetAttributes(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &colour); }
void IMTextView::SetFontHeight(int32_t height) { SetAttributes(nullptr, nullptr, nullptr, nullptr, &height, nullptr, nullptr); }
void IMTextView::SetItalic(bool on) { SetAttributes(nullptr, nullptr, &on, nullptr, nullptr, nullptr, nullptr); }

void IMTextView::SetAttributes(const uint32_t* newTextColour, const bool* newUnderline, const bool* newItalic,
    const bool* newBold, const int32_t* newFontHeight, const std::wstring* newFontFace,
    const uint32_t* newBackColour)
{
    if (newTextColour)
        textColour = *newTextColour;
    if (newUnderline)
        underline = *newUnderline;
    if (newItalic)
        italic = *newItalic;
    if (newBold)
        bold = *newBold;
    if (newFontHeight)
        fontHeight = *newFontHeight;
    if (newFontFace)
        fontFace = *newFontFace;
    if (newBackColour)
        backColour = *newBackColour;
    RefreshGlyphs(newTextColour, newUnderline, newItalic, newBold, newFontHeight, newFontFace, newBackColour);
}

void IMTextView::RefreshGlyphs(const uint32_t* newTextColour, const bool* newUnderline, const bool* newItalic,
    const bool* newBold, const int32_t* newFontHeight, const std::wstring* newFontFace,
    const uint32_t* newBackColour)
{
    bool resized = false;
    for (auto& gp : glyphs) {
        GlyphRecord& g = *gp;
        if (newTextColour)
            g.textColour = *newTextColour;
        if (newUnderline)
            g.underline = *newUnderline;
        if (newItalic)
            g.italic = *newItalic;
        if (newBold)
            g.bold = *newBold;
        if (newFontHeight)
            g.fontHeight = *newFontHeight;
        if (newFontFace)
            g.fontFace = *newFontFace;
        if (newBackColour)
            g.backColour = *newBackColour;
        // Acquire under the (possibly new) name before letting the old texture go, so that an
        // unchanged glyph keeps its texture without rendering it again.
        const int previous = g.texture;
        const POINT before = GlyphSize(g);
        AcquireGlyphTexture(g);
        if (previous >= 0 && resourceManager)
            resourceManager->ReleaseTexture(previous);
        const POINT after = GlyphSize(g);
        resized |= before.x != after.x || before.y != after.y;
    }
    if (resized)
        Layout(0);
    SetDirty(true);
}

std::wstring IMTextView::GetText() const
{
    std::wstring text;
    text.reserve(glyphs.size());
    for (const auto& g : glyphs)
        text.push_back(g->character);
    return text;
}

wchar_t IMTextView::GetChar(int index) const
{
    if (index < 0 || index >= GlyphCount())
        return static_cast<wchar_t>(GlyphCount());
    return glyphs[static_cast<size_t>(index)]->character;
}

RECT IMTextView::GetCharRect(int index) const
{
    if (index < 0 || index >= GlyphCount())
        return {};
    return glyphs[static_cast<size_t>(index)]->rect;
}

uint32_t IMTextView::GetCharColour(int index) const
{
    if (index < 0 || index >= GlyphCount())
        return textColour;
    return glyphs[static_cast<size_t>(index)]->textColour;
}

std::wstring IMTextView::GetCharFace(int index) const
{
    if (index < 0 || index >= GlyphCount())
        return {};
    return glyphs[static_cast<size_t>(index)]->fontFace;
}

int IMTextView::GetCharTexture(int index) const
{
    if (index < 0 || index >= GlyphCount())
        return -1;
    return glyphs[static_cast<size_t>(index)]->texture;
}

void IMTextView::Layout(int from)
{
    const int count = GlyphCount();
    from = std::clamp(from, 0, count);
    if (from == 0)
        lineStarts.assign(1, 0);
    else
        lineStarts.erase(std::remove_if(lineStarts.begin() + 1, lineStarts.end(), [from](int s) { return s >= from; }),
            lineStarts.end());

    const int viewWidth = RectWidth(rect);
    RECT extent {};
    int x = 0;
    int top = 0;
    int height = lineHeight;
    int widest = 0;
    int lastSpace = -1;

    auto startLine = [&](int first) {
        if (lineStarts.back() < first)
            lineStarts.push_back(first);
    };

    for (int i = 0; i < count; ++i) {
        GlyphRecord& g = *glyphs[static_cast<size_t>(i)];
        if (i < from) {
            // Laid out already: continue after it.
            if (g.rect.top != top) {
                top = g.rect.top;
                height = lineHeight;
            }
            height = std::max(height, RectHeight(g.rect));
            x = g.rect.right;
            extent.right = std::max(extent.right, g.rect.right);
            extent.bottom = std::max(extent.bottom, g.rect.bottom);
            widest = std::max(widest, x);
            if (wrap && (g.character == L'\n' || g.character == L'\r')) {
                top += height;
                height = lineHeight;
                x = g.character == L'\r' ? RectWidth(g.rect) : 0;
            }
            if (g.character == L' ')
                lastSpace = i;
            continue;
        }
        const POINT size = GlyphSize(g);
        const int w = size.x;
        const int h = size.y;
        if (!wrap) {
            height = std::max(height, h);
            g.rect = RECT { x, 0, x + w, h };
            x += w;
            extent.right += w;
            extent.bottom = std::max(extent.bottom, h);
            continue;
        }
        if (x + w > viewWidth && x > 0) {
            top += height;
            height = lineHeight;
            x = 0;
            if (lastSpace >= 0 && lastSpace < i) {
                // Move the word after the last space to the new line.
                startLine(lastSpace + 1);
                for (int j = lastSpace + 1; j < i; ++j) {
                    GlyphRecord& moved = *glyphs[static_cast<size_t>(j)];
                    const int mw = RectWidth(moved.rect);
                    const int mh = RectHeight(moved.rect);
                    moved.rect = RECT { x, top, x + mw, top + mh };
                    x += mw;
                    height = std::max(height, mh);
                }
            } else {
                // A word wider than the view: break it at the view's edge.
                startLine(i);
            }
            lastSpace = -1;
        }
        height = std::max(height, h);
        g.rect = RECT { x, top, x + w, top + h };
        x += w;
        widest = std::max(widest, x);
        if (g.character == L'\n' || g.character == L'\r') {
            top += height;
            height = lineHeight;
            // The next line starts at the left edge after a line feed, after the carriage
            // return's own width after a carriage return.
            x = g.character == L'\r' ? w : 0;
            startLine(i + 1);
        } else if (g.character == L' ') {
            lastSpace = i;
        }
    }
    if (wrap)
        extent = RECT { 0, 0, widest, count > 0 ? top + height : 0 };
    SetSourceRect(extent);
}

long IMTextView::Draw()
{
    IMPaintDevice* device = GetPaintDevice();
    if (device && !glyphs.empty()) {
        const RECT viewport = device->GetViewport();
        const RECT screen = OffsetRect(rect, device->originX, device->originY);
        RECT clip {};
        if (IntersectRect(clip, viewport, screen)) {
            const int32_t savedX = device->originX;
            const int32_t savedY = device->originY;
            device->SetViewport(clip);
            device->originX = screen.left;
            device->originY = screen.top;

            // Visible lines, in view coordinates: the last line starting at or above the clip top,
            // through the last line starting above the clip bottom.
            const int clipTop = clip.top - screen.top;
            const int clipBottom = clip.bottom - screen.top;
            auto lineTop = [this](int line) {
                const int first = lineStarts[static_cast<size_t>(line)];
                return first < GlyphCount() ? glyphs[static_cast<size_t>(first)]->rect.top : INT32_MAX;
            };
            const int lines = static_cast<int>(lineStarts.size());
            int lo = 0, hi = lines; // first line whose top is beyond clipTop
            while (lo < hi) {
                const int mid = (lo + hi) / 2;
                if (lineTop(mid) <= clipTop)
                    lo = mid + 1;
                else
                    hi = mid;
            }
            const int firstLine = std::max(0, lo - 1);
            lo = firstLine;
            hi = lines;
            while (lo < hi) {
                const int mid = (lo + hi) / 2;
                if (lineTop(mid) < clipBottom)
                    lo = mid + 1;
                else
                    hi = mid;
            }
            const int endLine = std::max(lo, firstLine + 1);
            const int firstGlyph = lineStarts[static_cast<size_t>(firstLine)];
            const int endGlyph = endLine < lines ? lineStarts[static_cast<size_t>(endLine)] : GlyphCount();
            for (int i = firstGlyph; i < endGlyph; ++i) {
                const GlyphRecord& g = *glyphs[static_cast<size_t>(i)];
                if (g.texture >= 0)
                    device->DrawQuad(g.texture, g.rect, nullptr, 0xFFFFFFFF, 0.0f);
            }
            device->originX = savedX;
            device->originY = savedY;
            device->SetViewport(viewport);
        }
    }
    dirty = false;
    return 0;
}
