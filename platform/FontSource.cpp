#include "platform/FontSource.h"

#include "platform/Debug.h"
#include "platform/Text.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <mutex>

namespace {

// The one FreeType library of the process; faces are opened from it on the UI thread.
FT_Library Library()
{
    static FT_Library library = [] {
        FT_Library lib = nullptr;
        if (FT_Init_FreeType(&lib) != 0) {
            DebugOutput(std::string_view("fonts: FreeType could not be initialised"));
            return static_cast<FT_Library>(nullptr);
        }
        return lib;
    }();
    return library;
}

struct FaceFile {
    std::string path;
    int index { 0 };
};

// Asks fontconfig for the best face of a family, weight and slant. Empty path when none.
FaceFile MatchFace(const std::string& family, int32_t weight, bool italic)
{
    static std::once_flag initialised;
    std::call_once(initialised, [] { FcInit(); });

    FaceFile result;
    FcPattern* pattern = FcPatternCreate();
    if (!pattern)
        return result;
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, weight >= 600 ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult matchResult = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &matchResult);
    if (match) {
        FcChar8* file = nullptr;
        int index = 0;
        if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file) {
            result.path = reinterpret_cast<const char*>(file);
            if (FcPatternGetInteger(match, FC_INDEX, 0, &index) == FcResultMatch)
                result.index = index;
        }
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
    return result;
}

int32_t Round(double v) { return static_cast<int32_t>(std::lround(v)); }

IMOutlinePoint ToPoint(const FT_Vector* v) { return { v->x / 64.0, v->y / 64.0 }; }

struct DecomposeState {
    IMGlyphOutline* out;
};

int MoveTo(const FT_Vector* to, void* user)
{
    auto* state = static_cast<DecomposeState*>(user);
    state->out->contours.push_back(IMOutlineContour { ToPoint(to), {} });
    return 0;
}

int LineTo(const FT_Vector* to, void* user)
{
    auto* state = static_cast<DecomposeState*>(user);
    if (state->out->contours.empty())
        return 1;
    IMOutlineSegment segment;
    segment.kind = IMOutlineSegment::Kind::Line;
    segment.points[0] = ToPoint(to);
    state->out->contours.back().segments.push_back(segment);
    return 0;
}

int ConicTo(const FT_Vector* control, const FT_Vector* to, void* user)
{
    auto* state = static_cast<DecomposeState*>(user);
    if (state->out->contours.empty())
        return 1;
    IMOutlineSegment segment;
    segment.kind = IMOutlineSegment::Kind::Quadratic;
    segment.points[0] = ToPoint(control);
    segment.points[1] = ToPoint(to);
    state->out->contours.back().segments.push_back(segment);
    return 0;
}

int CubicTo(const FT_Vector* control1, const FT_Vector* control2, const FT_Vector* to, void* user)
{
    auto* state = static_cast<DecomposeState*>(user);
    if (state->out->contours.empty())
        return 1;
    IMOutlineSegment segment;
    segment.kind = IMOutlineSegment::Kind::Cubic;
    segment.points[0] = ToPoint(control1);
    segment.points[1] = ToPoint(control2);
    segment.points[2] = ToPoint(to);
    state->out->contours.back().segments.push_back(segment);
    return 0;
}

constexpr char32_t cyrillicProbe = U'Ж';

} // namespace

struct IMFontFace::Impl {
    FT_Face face { nullptr };
    char32_t loaded { 0 };
    bool hasLoaded { false };
    bool loadedFound { false };

    ~Impl()
    {
        if (face)
            FT_Done_Face(face);
    }
};

std::unique_ptr<IMFontFace> IMFontFace::Open(const std::wstring& family, int32_t height, int32_t weight,
    bool italic)
{
    FT_Library library = Library();
    if (!library)
        return nullptr;

    // The requested family first; when it cannot show Russian text, a face that can.
    const std::string requested = WideToUtf8(family);
    const std::string candidates[] = { requested, "Liberation Sans", "DejaVu Sans", "sans-serif" };
    std::unique_ptr<IMFontFace> font(new IMFontFace());
    font->impl = std::make_unique<Impl>();
    for (const auto& name : candidates) {
        const FaceFile file = MatchFace(name, weight, italic);
        if (file.path.empty())
            continue;
        FT_Face face = nullptr;
        if (FT_New_Face(library, file.path.c_str(), file.index, &face) != 0)
            continue;
        if (!FT_IS_SCALABLE(face) || FT_Get_Char_Index(face, cyrillicProbe) == 0) {
            FT_Done_Face(face);
            continue;
        }
        font->impl->face = face;
        font->filePath = file.path;
        font->familyName = face->family_name ? face->family_name : "";
        break;
    }
    if (!font->impl->face) {
        DebugOutput(L"fonts: no face found for \"" + family + L"\"");
        return nullptr;
    }

    FT_Face face = font->impl->face;
    const double unitsPerEm = face->units_per_EM ? face->units_per_EM : 2048;
    double winAscent = face->ascender;
    double winDescent = -face->descender;
    double lineGap = 0;
    auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    auto* hhea = static_cast<TT_HoriHeader*>(FT_Get_Sfnt_Table(face, FT_SFNT_HHEA));
    if (os2 && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0) {
        winAscent = os2->usWinAscent;
        winDescent = os2->usWinDescent;
    }
    if (hhea)
        lineGap = std::max(0.0,
            hhea->Line_Gap - ((winAscent + winDescent) - (hhea->Ascender - hhea->Descender)));
    if (winAscent + winDescent <= 0) {
        winAscent = unitsPerEm * 0.8;
        winDescent = unitsPerEm * 0.2;
    }

    if (height == 0)
        height = 16;
    IMTextMetrics& m = font->metrics;
    int32_t pixelsPerEm = 0;
    if (height > 0) {
        // A cell height: the em is the part of the cell that the design's em takes.
        pixelsPerEm = std::max(1, Round(height * unitsPerEm / (winAscent + winDescent)));
        m.height = height;
        m.ascent = Round(height * winAscent / (winAscent + winDescent));
        m.descent = height - m.ascent;
    } else {
        pixelsPerEm = -height;
        m.ascent = Round(winAscent * pixelsPerEm / unitsPerEm);
        m.descent = Round(winDescent * pixelsPerEm / unitsPerEm);
        m.height = m.ascent + m.descent;
    }
    m.internalLeading = std::max(0, m.height - pixelsPerEm);
    m.externalLeading = Round(lineGap * pixelsPerEm / unitsPerEm);
    m.aveCharWidth = os2 ? Round(os2->xAvgCharWidth * pixelsPerEm / unitsPerEm) : pixelsPerEm / 2;
    m.maxCharWidth = Round(face->max_advance_width * pixelsPerEm / unitsPerEm);

    if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixelsPerEm)) != 0) {
        DebugOutput(std::string_view("fonts: the face cannot be scaled to that size"));
        return nullptr;
    }
    return font;
}

IMFontFace::~IMFontFace() = default;

bool IMFontFace::HasGlyph(char32_t ch) const { return FT_Get_Char_Index(impl->face, ch) != 0; }

bool IMFontFace::LoadGlyph(char32_t ch)
{
    if (impl->hasLoaded && impl->loaded == ch)
        return impl->loadedFound;
    impl->hasLoaded = true;
    impl->loaded = ch;
    // A character the face lacks loads glyph 0, the face's missing-glyph box.
    const FT_UInt index = FT_Get_Char_Index(impl->face, ch);
    impl->loadedFound = FT_Load_Glyph(impl->face, index, FT_LOAD_DEFAULT | FT_LOAD_NO_BITMAP) == 0;
    return impl->loadedFound;
}

IMCharWidths IMFontFace::CharWidths(char32_t ch)
{
    IMCharWidths widths;
    if (!LoadGlyph(ch))
        return widths;
    FT_GlyphSlot slot = impl->face->glyph;
    const int32_t advance = Round(slot->advance.x / 64.0);
    FT_BBox box {};
    if (slot->format == FT_GLYPH_FORMAT_OUTLINE && slot->outline.n_points > 0) {
        FT_Outline_Get_CBox(&slot->outline, &box);
        const int32_t left = static_cast<int32_t>(std::floor(box.xMin / 64.0));
        const int32_t right = static_cast<int32_t>(std::ceil(box.xMax / 64.0));
        widths.a = left;
        widths.b = static_cast<uint32_t>(std::max(right - left, 0));
        widths.c = advance - left - static_cast<int32_t>(widths.b);
    } else {
        // A blank glyph: all of the advance is space after an empty box.
        widths.a = 0;
        widths.b = 0;
        widths.c = advance;
    }
    return widths;
}

bool IMFontFace::Outline(char32_t ch, IMGlyphOutline& out)
{
    out = IMGlyphOutline {};
    if (!LoadGlyph(ch))
        return false;
    out.found = HasGlyph(ch);
    FT_GlyphSlot slot = impl->face->glyph;
    if (slot->format != FT_GLYPH_FORMAT_OUTLINE)
        return false;
    FT_Outline_Funcs funcs {};
    funcs.move_to = MoveTo;
    funcs.line_to = LineTo;
    funcs.conic_to = ConicTo;
    funcs.cubic_to = CubicTo;
    DecomposeState state { &out };
    if (FT_Outline_Decompose(&slot->outline, &funcs, &state) != 0) {
        out.contours.clear();
        return false;
    }
    return true;
}
