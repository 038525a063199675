#pragma once
// Writes a picture to a PNG file: screenshots of the canvas and pictures made by tests.

#include <cstdint>
#include <string>
#include <vector>

// `argb` holds width x height words 0xAARRGGBB, row after row. With `alpha` false the file is
// RGB. False (and nothing left behind) when the file cannot be written.
bool WritePng(const std::string& path, int width, int height, const std::vector<uint32_t>& argb, bool alpha = false);
