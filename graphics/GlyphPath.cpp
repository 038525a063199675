#include "graphics/GlyphPath.h"

#include <agg_basics.h>

namespace {
constexpr size_t initialCapacity = 256;
}

IMGlyphPath::IMGlyphPath()
{
    commands.reserve(initialCapacity);
    coordinates.reserve(initialCapacity * 2);
}

void IMGlyphPath::Clear()
{
    commands.clear();
    coordinates.clear();
    readPosition = 0;
}

void IMGlyphPath::Reserve(size_t outlineBytes)
{
    if (outlineBytes / 8 >= commands.capacity()) {
        const size_t vertices = outlineBytes / 8 + initialCapacity;
        commands.reserve(vertices);
        coordinates.reserve(vertices * 2);
    }
}

void IMGlyphPath::Push(uint8_t command, double x, double y)
{
    commands.push_back(command);
    coordinates.push_back(x);
    coordinates.push_back(y);
}

void IMGlyphPath::MoveToPoint(double x, double y) { Push(MoveTo, x, y); }
void IMGlyphPath::LineToPoint(double x, double y) { Push(LineTo, x, y); }

void IMGlyphPath::Curve3To(double cx, double cy, double x, double y)
{
    Push(Curve3, cx, cy);
    Push(Curve3, x, y);
}

void IMGlyphPath::Curve4To(double c1x, double c1y, double c2x, double c2y, double x, double y)
{
    Push(Curve4, c1x, c1y);
    Push(Curve4, c2x, c2y);
    Push(Curve4, x, y);
}

void IMGlyphPath::ClosePolygon() { Push(EndPolyClose, 0.0, 0.0); }
void IMGlyphPath::Finish() { Push(Stop, 0.0, 0.0); }

void IMGlyphPath::AddOutline(const IMGlyphOutline& outline, double descent)
{
    for (const auto& contour : outline.contours) {
        MoveToPoint(contour.start.x, contour.start.y + descent);
        for (const auto& s : contour.segments) {
            switch (s.kind) {
            case IMOutlineSegment::Kind::Line:
                LineToPoint(s.points[0].x, s.points[0].y + descent);
                break;
            case IMOutlineSegment::Kind::Quadratic:
                Curve3To(s.points[0].x, s.points[0].y + descent, s.points[1].x, s.points[1].y + descent);
                break;
            case IMOutlineSegment::Kind::Cubic:
                Curve4To(s.points[0].x, s.points[0].y + descent, s.points[1].x, s.points[1].y + descent,
                    s.points[2].x, s.points[2].y + descent);
                break;
            }
        }
        ClosePolygon();
    }
}

void IMGlyphPath::AddUnderline(double advance, double descent)
{
    MoveToPoint(0.0, descent * 0.5);
    LineToPoint(advance, descent * 0.5);
    LineToPoint(advance, descent / 15.0);
    LineToPoint(0.0, descent / 15.0);
    ClosePolygon();
}

void IMGlyphPath::rewind(unsigned) { readPosition = 0; }

unsigned IMGlyphPath::vertex(double* x, double* y)
{
    if (readPosition >= commands.size())
        return agg::path_cmd_stop;
    const uint8_t command = commands[readPosition];
    *x = coordinates[readPosition * 2] + offsetX;
    *y = coordinates[readPosition * 2 + 1] + offsetY;
    ++readPosition;
    switch (command) {
    case MoveTo:
        return agg::path_cmd_move_to;
    case LineTo:
        return agg::path_cmd_line_to;
    case Curve3:
        return agg::path_cmd_curve3;
    case Curve4:
        return agg::path_cmd_curve4;
    case EndPolyClose:
        return static_cast<unsigned>(agg::path_cmd_end_poly) | static_cast<unsigned>(agg::path_flags_close);
    default:
        readPosition = commands.size();
        return agg::path_cmd_stop;
    }
}
