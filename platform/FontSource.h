#pragma once
// The outline font source under the text renderer: a face found by family name, weight and
// slant through fontconfig, scaled the way a Windows font height is given, and read through
// FreeType. "Arial" resolves to a metric-compatible face with Cyrillic (Liberation Sans).
// User-interface thread only.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Text metrics in whole pixels. `height` = `ascent` + `descent`.
struct IMTextMetrics {
    int32_t height { 0 };
    int32_t ascent { 0 };
    int32_t descent { 0 };
    int32_t internalLeading { 0 };
    int32_t externalLeading { 0 };
    int32_t aveCharWidth { 0 };
    int32_t maxCharWidth { 0 };
};

// A/B/C widths: A the space before the black box, B its width, C the space after it;
// A + B + C is the advance.
struct IMCharWidths {
    int32_t a { 0 };
    uint32_t b { 0 };
    int32_t c { 0 };
};

struct IMOutlinePoint {
    double x { 0.0 };
    double y { 0.0 };
};

// One piece of a contour, ending at `points.back()`: a line (one point), a quadratic curve
// (control, end) or a cubic curve (control, control, end).
struct IMOutlineSegment {
    enum class Kind : uint8_t { Line, Quadratic, Cubic };
    Kind kind { Kind::Line };
    IMOutlinePoint points[3];
};

// A closed contour: starts at `start`; the last segment returns to it or is closed by a line.
struct IMOutlineContour {
    IMOutlinePoint start;
    std::vector<IMOutlineSegment> segments;
};

// A glyph outline in pixels, relative to the glyph origin on the baseline, y growing upwards.
struct IMGlyphOutline {
    std::vector<IMOutlineContour> contours;
    bool found { false }; // false when the face has no glyph for the character (the box is drawn)
};

class IMFontFace {
public:
    // `height` as a Windows font height: positive = cell height (ascent + descent),
    // negative = character height (the em size), 0 = a default of 16 pixels.
    // `weight` 400 regular, 700 bold. Null when no face at all can be found.
    static std::unique_ptr<IMFontFace> Open(const std::wstring& family, int32_t height, int32_t weight,
        bool italic);
    ~IMFontFace();

    const IMTextMetrics& Metrics() const { return metrics; }
    // The file the face was loaded from (for diagnostics and tests).
    const std::string& FilePath() const { return filePath; }
    // The family name the face reports (e.g. "Liberation Sans").
    const std::string& FamilyName() const { return familyName; }

    bool HasGlyph(char32_t ch) const;
    IMCharWidths CharWidths(char32_t ch);
    // False only when the glyph could not be loaded at all; a blank glyph (space) gives true
    // with no contours.
    bool Outline(char32_t ch, IMGlyphOutline& out);

    IMFontFace(const IMFontFace&) = delete;
    IMFontFace& operator=(const IMFontFace&) = delete;

private:
    IMFontFace() = default;
    bool LoadGlyph(char32_t ch);

    struct Impl;
    std::unique_ptr<Impl> impl;
    IMTextMetrics metrics;
    std::string filePath;
    std::string familyName;
};
