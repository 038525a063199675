#pragma once
// Reading data tables and PNG files for the content tests of the skin and the screens' pictures.

#include <png.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace skintest {

inline std::filesystem::path DataDir() { return std::filesystem::path(TIRLAN_SOURCE_DIR) / "data"; }

struct TableRow {
    std::string key;
    std::string file;
    int line = 0;
};

// Rows of a data/<family>.tsv table: key TAB file [TAB comment]; '#' lines and blank lines skipped.
inline std::vector<TableRow> ReadTable(const std::filesystem::path& path) {
    std::vector<TableRow> rows;
    std::ifstream in(path);
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (line.empty() || line[0] == '#') continue;
        const auto tab = line.find('\t');
        if (tab == std::string::npos) {
            rows.push_back({line, "", number});
            continue;
        }
        const auto tab2 = line.find('\t', tab + 1);
        rows.push_back({line.substr(0, tab), line.substr(tab + 1, tab2 == std::string::npos ? std::string::npos : tab2 - tab - 1),
                        number});
    }
    return rows;
}

struct Png {
    int width = 0;
    int height = 0;
    int bitDepth = 0;
    int colourType = -1;           // from the header: 2 = RGB, 6 = RGBA
    std::vector<uint8_t> rgba;     // straight-alpha R, G, B, A rows, top first

    const uint8_t* At(int x, int y) const { return &rgba[(static_cast<size_t>(y) * width + x) * 4]; }
    int Alpha(int x, int y) const { return At(x, y)[3]; }
    double Luma(int x, int y) const {
        const uint8_t* p = At(x, y);
        return 0.299 * p[0] + 0.587 * p[1] + 0.114 * p[2];
    }
};

// Decodes a PNG file; the header fields come straight from its IHDR chunk. nullopt on any failure.
inline std::optional<Png> ReadPng(const std::filesystem::path& path, std::string* error = nullptr) {
    auto fail = [&](const std::string& why) -> std::optional<Png> {
        if (error) *error = path.string() + ": " + why;
        return std::nullopt;
    };
    std::ifstream in(path, std::ios::binary);
    if (!in) return fail("cannot open");
    unsigned char head[33] = {};
    in.read(reinterpret_cast<char*>(head), sizeof head);
    if (in.gcount() != static_cast<std::streamsize>(sizeof head)) return fail("too short");
    static const unsigned char signature[8] = {137, 80, 78, 71, 13, 10, 26, 10};
    if (!std::equal(signature, signature + 8, head)) return fail("not a PNG signature");
    if (std::string(reinterpret_cast<char*>(head + 12), 4) != "IHDR") return fail("first chunk is not IHDR");
    Png png;
    png.width = (head[16] << 24) | (head[17] << 16) | (head[18] << 8) | head[19];
    png.height = (head[20] << 24) | (head[21] << 16) | (head[22] << 8) | head[23];
    png.bitDepth = head[24];
    png.colourType = head[25];

    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.string().c_str())) return fail(image.message);
    image.format = PNG_FORMAT_RGBA;
    png.rgba.resize(PNG_IMAGE_SIZE(image));
    const bool ok = png_image_finish_read(&image, nullptr, png.rgba.data(), 0, nullptr) != 0;
    const std::string message = image.message;
    png_image_free(&image);
    if (!ok) return fail(message);
    if (static_cast<int>(image.width) != png.width || static_cast<int>(image.height) != png.height)
        return fail("decoded size differs from the header");
    return png;
}

struct Mean {
    double r = 0, g = 0, b = 0, luma = 0;
    long count = 0;
};

// Mean colour of the pixels whose alpha is at least minAlpha.
inline Mean MeanOpaque(const Png& png, int minAlpha = 250) {
    Mean m;
    for (int y = 0; y < png.height; ++y)
        for (int x = 0; x < png.width; ++x) {
            const uint8_t* p = png.At(x, y);
            if (p[3] < minAlpha) continue;
            m.r += p[0];
            m.g += p[1];
            m.b += p[2];
            ++m.count;
        }
    if (m.count) {
        m.r /= m.count;
        m.g /= m.count;
        m.b /= m.count;
        m.luma = 0.299 * m.r + 0.587 * m.g + 0.114 * m.b;
    }
    return m;
}

}  // namespace skintest
