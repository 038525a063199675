#pragma once
// The path of one glyph as the rasteriser reads it: commands with their vertices, read back in
// order. Built from an outline with the cell bottom at y = 0 and y growing upwards (the baseline
// lies at y = descent), optionally with an underline bar, and filled into a glyph texture.

#include "platform/FontSource.h"

#include <cstdint>
#include <vector>

// 16.16 fixed-point values as outline sources give them.
using FIXED16 = int32_t;
inline double FixedToDouble(FIXED16 v) { return static_cast<double>(v) / 65536.0; }
inline FIXED16 DoubleToFixed(double v) { return static_cast<FIXED16>(v * 65536.0 + (v < 0 ? -0.5 : 0.5)); }

class IMGlyphPath {
public:
    enum Command : uint8_t {
        Stop = 0,
        MoveTo = 1,
        LineTo = 2,
        Curve3 = 3,   // a control vertex then an end vertex, both carrying this command
        Curve4 = 4,   // two control vertices then an end vertex
        EndPolyClose = 0x5F,
    };

    IMGlyphPath();

    void Clear();
    void MoveToPoint(double x, double y);
    void LineToPoint(double x, double y);
    void Curve3To(double cx, double cy, double x, double y);
    void Curve4To(double c1x, double c1y, double c2x, double c2y, double x, double y);
    void ClosePolygon();
    void Finish();

    // Appends an outline shifted up by `descent`, so that the cell bottom is y = 0.
    void AddOutline(const IMGlyphOutline& outline, double descent);
    // Appends the underline bar: a closed rectangle from y = descent / 2 down to descent / 15.
    void AddUnderline(double advance, double descent);

    // Vertex-source interface for the rasteriser: rewind, then read until Stop.
    void rewind(unsigned pathId);
    unsigned vertex(double* x, double* y);

    size_t VertexCount() const { return commands.size(); }
    size_t Capacity() const { return commands.capacity(); }
    // Makes room before decomposing an outline of `outlineBytes` bytes.
    void Reserve(size_t outlineBytes);

    // Added to every vertex that is read back.
    double offsetX { 0.0 };
    double offsetY { 0.0 };

private:
    void Push(uint8_t command, double x, double y);

    std::vector<uint8_t> commands;
    std::vector<double> coordinates; // x, y pairs
    size_t readPosition { 0 };
};
