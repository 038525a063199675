#pragma once
// IMTextView: a text drawn as a row (or, with `wrap`, lines) of glyph textures. Every character
// is its own small texture named after the character and its style, so the same letter in the
// same style is rasterised once and shared by every text that shows it. The view's source
// rectangle holds the text's extent after layout.
//
// Characters are code points (one wchar_t each); a character above the Basic Multilingual
// Plane is one glyph.

#include "framework/View.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct GlyphRecord {
    int texture { -1 }; // table index, -1 when no texture could be made
    wchar_t character { 0 };
    RECT rect {};       // in view coordinates
    uint32_t textColour { 0xFFFFFFFF };
    uint8_t underline { 0 };
    uint8_t italic { 0 };
    uint8_t bold { 0 };
    int32_t fontHeight { 16 };
    std::wstring fontFace;
    std::wstring textureName;
    uint32_t backColour { 0x00AFAFAF };
    uint8_t mark { 0 }; // the glyph shows a visible mark for a space, tab or line end
};

// The texture name of a glyph: face, character, height, text colour (signed), italic,
// underline, bold, background colour (signed) and the mark flag, written one after another.
std::wstring GlyphTextureName(const GlyphRecord& glyph);

class IMTextView : public IMView {
public:
    IMTextView() = default;
    ~IMTextView() override;

    // Draws the glyphs of the lines inside the device viewport, clipped to the view.
    long Draw() override;
    // Inserts `text` before glyph `position` (0..count; anything else is ignored) in the
    // current style and lays out from there.
    virtual void InsertText(int position, const std::wstring& text);
    // Removes up to `count` glyphs from `position` (ignored outside the text) and lays out.
    virtual void EraseText(int position, int count);

    void SetText(const std::wstring& text);
    // Replaces the character of glyph `index`; nothing beyond the end.
    void SetChar(wchar_t ch, int index);
    void SetTextColour(uint32_t colour);
    void SetBackColour(uint32_t colour);
    void SetFontHeight(int32_t height);
    void SetItalic(bool on);
    // Null arguments keep the current value; every glyph adopts the given ones.
    void SetAttributes(const uint32_t* textColour, const bool* underline, const bool* italic, const bool* bold,
        const int32_t* fontHeight, const std::wstring* fontFace, const uint32_t* backColour);

    std::wstring GetText() const;
    int GlyphCount() const { return static_cast<int>(glyphs.size()); }
    // Per glyph; an index at or beyond the end gives the glyph count, an empty rectangle, the
    // view's colour and an empty face.
    wchar_t GetChar(int index) const;
    RECT GetCharRect(int index) const;
    uint32_t GetCharColour(int index) const;
    std::wstring GetCharFace(int index) const;
    int GetCharTexture(int index) const;
    const std::vector<int>& LineStarts() const { return lineStarts; }

    uint32_t textColour { 0xFFFFFFFF };
    uint32_t backColour { 0x00AFAFAF };
    bool wrap { false };
    bool underline { false };
    bool italic { false };
    bool bold { false };
    bool showMarks { false };
    int32_t fontHeight { 16 };
    std::wstring fontFace { L"Arial" };

protected:
    // Lays the glyphs out from glyph `from` on (0: from scratch) and stores the extent.
    void Layout(int from);
    // Acquires the texture for the glyph's current name (a reference for the glyph).
    void AcquireGlyphTexture(GlyphRecord& glyph);
    void ReleaseGlyphTexture(GlyphRecord& glyph);
    // Refreshes every glyph after a style change; lays out when an image size changed.
    void RefreshGlyphs(const uint32_t* textColour, const bool* underline, const bool* italic, const bool* bold,
        const int32_t* fontHeight, const std::wstring* fontFace, const uint32_t* backColour);
    // Image size of a glyph's texture, 0 x 0 without one.
    POINT GlyphSize(const GlyphRecord& glyph) const;

    std::vector<std::unique_ptr<GlyphRecord>> glyphs;
    int32_t lineHeight { 16 };
    std::vector<int> lineStarts { 0 };
};
