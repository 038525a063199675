// The game board and the three puzzles in data/puzzles.tsv: sizes, colour types, and that each
// puzzle's pieces, put at their targets, fill the frame once (and give the picture back).

#include <png.h>

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

fs::path DataDir() { return fs::path(TIRLAN_SOURCE_DIR) / "data"; }

enum class Kind { RGB, RGBA };

struct Picture {
    int id;
    int width;
    int height;
    Kind kind;
};

// The pictures of the game screen (pieces are listed with the levels below).
constexpr std::array<Picture, 13> kBoard = {{
    {101, 97, 58, Kind::RGBA},   {102, 800, 541, Kind::RGB}, {103, 800, 60, Kind::RGB},
    {104, 800, 60, Kind::RGB},   {105, 97, 58, Kind::RGBA},  {115, 350, 350, Kind::RGB},
    {116, 350, 350, Kind::RGB},  {131, 350, 350, Kind::RGB}, {137, 197, 48, Kind::RGBA},
    {138, 161, 68, Kind::RGB},   {139, 161, 68, Kind::RGB},  {148, 354, 354, Kind::RGBA},
    {149, 337, 396, Kind::RGBA},
}};

struct Piece {
    int id;
    int width;
    int height;
    int targetX;  // relative to the frame origin; the finished picture lies at x -1
    int targetY;
};

struct Level {
    int number;
    std::vector<Piece> pieces;
};

// Piece 132 is 137 rows tall so that the strip between 133 and 130 is covered.
const std::vector<Level> kLevels = {
    {1,
     {{106, 131, 146, -1, 0}, {107, 168, 135, 86, 0}, {108, 132, 142, 216, 0},
      {109, 136, 169, -1, 91}, {110, 140, 183, 89, 88}, {111, 141, 191, 207, 80},
      {112, 140, 123, -1, 226}, {113, 149, 112, 85, 237}, {114, 128, 132, 220, 217}}},
    {2,
     {{132, 150, 137, -1, 0}, {133, 192, 111, 84, 0}, {134, 201, 149, 147, 0},
      {135, 75, 151, 273, 138}, {136, 154, 216, 194, 133}, {127, 154, 93, 89, 256},
      {128, 100, 159, -1, 190}, {129, 100, 114, -1, 92}, {130, 148, 129, 91, 137}}},
    {3,
     {{117, 175, 175, -1, 0}, {118, 263, 175, 0, 0}, {119, 260, 130, 89, 0},
      {120, 130, 161, 219, 0}, {121, 100, 114, 249, 61}, {122, 176, 176, 173, 174},
      {123, 175, 88, 174, 262}, {124, 153, 175, 109, 175}, {125, 111, 111, -1, 239},
      {126, 176, 66, -1, 174}}},
};

constexpr int kSquare = 350;  // the frame, from the finished picture's place (frame x -1)

struct Row {
    std::string key, file, comment;
};

// Rows of a tab-separated table; lines starting with '#' and blank lines are skipped.
std::vector<std::vector<std::string>> ReadTsv(const fs::path& path) {
    std::vector<std::vector<std::string>> rows;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::vector<std::string> cells;
        std::stringstream ss(line);
        std::string cell;
        while (std::getline(ss, cell, '\t')) cells.push_back(cell);
        rows.push_back(cells);
    }
    return rows;
}

std::map<int, Row> ReadTable() {
    std::map<int, Row> rows;
    for (const auto& cells : ReadTsv(DataDir() / "puzzles.tsv")) {
        EXPECT_GE(cells.size(), 2u) << "row without a file: " << (cells.empty() ? "" : cells[0]);
        if (cells.size() < 2) continue;
        const int id = std::stoi(cells[0]);
        EXPECT_EQ(rows.count(id), 0u) << "key " << id << " listed twice";
        rows[id] = {cells[0], cells[1], cells.size() > 2 ? cells[2] : ""};
    }
    return rows;
}

struct Image {
    int width = 0;
    int height = 0;
    int colourType = -1;        // from the header: 2 = RGB, 6 = RGBA
    std::vector<uint8_t> rgba;  // straight alpha, rows top first

    const uint8_t* At(int x, int y) const { return &rgba[(static_cast<size_t>(y) * width + x) * 4]; }
    double Luma(int x, int y) const {
        const uint8_t* p = At(x, y);
        return 0.299 * p[0] + 0.587 * p[1] + 0.114 * p[2];
    }
};

// Decodes a PNG file with libpng into 8-bit RGBA; nullopt when it is missing or damaged.
std::optional<Image> ReadPng(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<unsigned char> head(26);
    if (!in.read(reinterpret_cast<char*>(head.data()), head.size())) return std::nullopt;
    Image image;
    image.colourType = head[25];  // signature 8, chunk length 4, "IHDR" 4, width 4, height 4, depth 1
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&png, path.c_str())) return std::nullopt;
    png.format = PNG_FORMAT_RGBA;
    image.width = static_cast<int>(png.width);
    image.height = static_cast<int>(png.height);
    image.rgba.resize(PNG_IMAGE_SIZE(png));
    if (!png_image_finish_read(&png, nullptr, image.rgba.data(), 0, nullptr)) {
        png_image_free(&png);
        return std::nullopt;
    }
    return image;
}

std::optional<Image> Load(int id) {
    static const std::map<int, Row> table = ReadTable();
    const auto it = table.find(id);
    if (it == table.end()) return std::nullopt;
    return ReadPng(DataDir() / it->second.file);
}

// The pieces of a level put together at their targets ("over", in play order) on a clear square.
struct Assembly {
    std::vector<double> premul;  // r, g, b, a per pixel, premultiplied, 0..1
    std::vector<int> covers;     // pieces with alpha > 128 per pixel
    bool complete = true;        // every piece could be read and lies inside the square
};

Assembly Assemble(const Level& level) {
    Assembly out;
    out.premul.assign(kSquare * kSquare * 4, 0.0);
    out.covers.assign(kSquare * kSquare, 0);
    for (const Piece& piece : level.pieces) {
        const auto image = Load(piece.id);
        const int x0 = piece.targetX + 1, y0 = piece.targetY;
        if (!image || x0 < 0 || y0 < 0 || x0 + image->width > kSquare || y0 + image->height > kSquare) {
            ADD_FAILURE() << "piece " << piece.id << " missing or outside the frame";
            out.complete = false;
            continue;
        }
        for (int y = 0; y < image->height; ++y) {
            for (int x = 0; x < image->width; ++x) {
                const uint8_t* p = image->At(x, y);
                const double a = p[3] / 255.0;
                double* d = &out.premul[((y0 + y) * kSquare + x0 + x) * 4];
                for (int c = 0; c < 3; ++c) d[c] = p[c] / 255.0 * a + d[c] * (1 - a);
                d[3] = a + d[3] * (1 - a);
                if (p[3] > 128) ++out.covers[(y0 + y) * kSquare + x0 + x];
            }
        }
    }
    return out;
}

std::set<int> ExpectedIds() {
    std::set<int> ids;
    for (const auto& p : kBoard) ids.insert(p.id);
    for (const auto& level : kLevels)
        for (const auto& piece : level.pieces) ids.insert(piece.id);
    return ids;
}

TEST(PuzzleContent, TableNamesEveryBoardPictureAndPieceOnceAndItsFileExists) {
    const auto table = ReadTable();
    std::set<int> listed;
    for (const auto& [id, row] : table) {
        listed.insert(id);
        EXPECT_TRUE(fs::is_regular_file(DataDir() / row.file)) << id << ": " << row.file;
    }
    EXPECT_EQ(listed, ExpectedIds());
}

TEST(PuzzleContent, EveryPictureHasItsSizeAndColourType) {
    std::vector<Picture> all(kBoard.begin(), kBoard.end());
    for (const auto& level : kLevels)
        for (const auto& piece : level.pieces) all.push_back({piece.id, piece.width, piece.height, Kind::RGBA});
    const auto table = ReadTable();
    for (const auto& want : all) {
        SCOPED_TRACE(want.id);
        const auto image = Load(want.id);
        ASSERT_TRUE(image.has_value()) << "cannot decode";
        EXPECT_EQ(image->width, want.width);
        EXPECT_EQ(image->height, want.height);
        EXPECT_EQ(image->colourType, want.kind == Kind::RGB ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_RGB_ALPHA);
        // the row's comment says the same
        const std::string kind = want.kind == Kind::RGB ? "RGB" : "RGBA";
        const std::string said = "PNG " + std::to_string(want.width) + "x" + std::to_string(want.height) + " " + kind + ":";
        EXPECT_EQ(table.at(want.id).comment.rfind(said, 0), 0u) << table.at(want.id).comment;
    }
}

TEST(PuzzleContent, LayoutTableListsThePiecesOfEachLevelInPlayOrder) {
    std::vector<std::array<int, 6>> want, got;
    for (const auto& level : kLevels)
        for (const auto& p : level.pieces) want.push_back({level.number, p.id, p.targetX, p.targetY, p.width, p.height});
    for (const auto& cells : ReadTsv(DataDir() / "puzzles" / "layout.tsv")) {
        ASSERT_EQ(cells.size(), 6u);
        std::array<int, 6> row{};
        for (int i = 0; i < 6; ++i) row[i] = std::stoi(cells[i]);
        got.push_back(row);
    }
    EXPECT_EQ(got, want);
}

TEST(PuzzleContent, EachPuzzleFillsTheFrameWithAlmostNoOverlap) {
    for (const auto& level : kLevels) {
        SCOPED_TRACE("puzzle " + std::to_string(level.number));
        const Assembly a = Assemble(level);
        ASSERT_TRUE(a.complete);
        int opaque = 0, twice = 0;
        for (int i = 0; i < kSquare * kSquare; ++i) {
            if (a.premul[i * 4 + 3] > 128 / 255.0) ++opaque;
            if (a.covers[i] > 1) ++twice;
        }
        const double n = kSquare * kSquare;
        EXPECT_GE(opaque / n, 0.99);
        EXPECT_LE(twice / n, 0.01);
        // and no hole anywhere but the edge column and row the pieces leave to the picture's border
        int holes = 0;
        for (int y = 0; y < kSquare - 1; ++y)
            for (int x = 0; x < kSquare - 1; ++x)
                if (a.premul[(y * kSquare + x) * 4 + 3] < 0.5) ++holes;
        EXPECT_LE(holes, 8);
    }
}

TEST(PuzzleContent, PicturePiecesGiveThePictureBack) {
    const auto picture = Load(115);
    ASSERT_TRUE(picture.has_value());
    const Assembly a = Assemble(kLevels[0]);
    ASSERT_TRUE(a.complete);
    double sum = 0;
    int compared = 0, off = 0;
    for (int y = 0; y < kSquare; ++y) {
        for (int x = 0; x < kSquare; ++x) {
            const double* d = &a.premul[(y * kSquare + x) * 4];
            if (d[3] <= 0.5) continue;
            ++compared;
            double worst = 0;
            for (int c = 0; c < 3; ++c) {
                const double diff = std::abs(d[c] / d[3] * 255.0 - picture->At(x, y)[c]);
                sum += diff / 3;
                worst = std::max(worst, diff);
            }
            if (worst > 12) ++off;
        }
    }
    ASSERT_GT(compared, kSquare * kSquare * 0.99);
    EXPECT_LT(sum / compared, 1.0);
    EXPECT_LE(off, compared / 1000);
}

TEST(PuzzleContent, MosaicPiecesAreWhiteWithADarkOutline) {
    // The game tints these pieces by multiplying: their inside must be pure white, the outline dark.
    for (const auto& level : {kLevels[1], kLevels[2]}) {
        for (const auto& piece : level.pieces) {
            SCOPED_TRACE(piece.id);
            const auto image = Load(piece.id);
            ASSERT_TRUE(image.has_value());
            const int w = image->width, h = image->height;
            const auto solid = [&](int x, int y) { return x >= 0 && y >= 0 && x < w && y < h && image->At(x, y)[3] > 128; };
            int opaque = 0, white = 0, coloured = 0, rim = 0, darkRim = 0;
            for (int y = 0; y < h; ++y) {
                for (int x = 0; x < w; ++x) {
                    const uint8_t* p = image->At(x, y);
                    if (p[3] == 255) {
                        ++opaque;
                        if (p[0] == 255 && p[1] == 255 && p[2] == 255) ++white;
                    }
                    if (p[3] >= 64) {  // fainter edge pixels carry little colour precision
                        const int hi = std::max({p[0], p[1], p[2]}), lo = std::min({p[0], p[1], p[2]});
                        if (hi - lo > 48) ++coloured;
                    }
                    // the outermost solid pixels, along the cut or along the frame's edge
                    if (solid(x, y) && (!solid(x - 1, y) || !solid(x + 1, y) || !solid(x, y - 1) || !solid(x, y + 1))) {
                        ++rim;
                        if (image->Luma(x, y) < 170) ++darkRim;
                    }
                }
            }
            ASSERT_GT(opaque, 0);
            EXPECT_GT(white, opaque * 0.8);
            EXPECT_GE(darkRim, rim * 0.9) << "outline missing";
            EXPECT_EQ(coloured, 0);
        }
    }
}

TEST(PuzzleContent, WhiteFieldsAreWhiteInsideAThinDarkBorder) {
    for (int id : {116, 131}) {
        SCOPED_TRACE(id);
        const auto image = Load(id);
        ASSERT_TRUE(image.has_value());
        int notWhite = 0;
        for (int y = 2; y < 348; ++y)
            for (int x = 2; x < 348; ++x)
                if (image->At(x, y)[0] != 255 || image->At(x, y)[1] != 255 || image->At(x, y)[2] != 255) ++notWhite;
        EXPECT_EQ(notWhite, 0);
        for (auto [x, y] : {std::pair{0, 175}, {349, 175}, {175, 0}, {175, 349}}) EXPECT_LT(image->Luma(x, y), 110);
    }
}

TEST(PuzzleContent, RedFrameLinesAreOpenInTheMiddle) {
    // They blink over the panel and the frame during the instruction: only the line may be opaque.
    for (int id : {148, 149}) {
        SCOPED_TRACE(id);
        const auto image = Load(id);
        ASSERT_TRUE(image.has_value());
        const int w = image->width, h = image->height;
        for (auto [x, y] : {std::pair{1, h / 2}, {w - 2, h / 2}, {w / 2, 1}, {w / 2, h - 2}}) {
            const uint8_t* p = image->At(x, y);
            EXPECT_EQ(p[3], 255) << x << "," << y;
            EXPECT_GT(p[0], 180);
            EXPECT_LT(p[1], 90);
        }
        int opaqueInside = 0;
        for (int y = 10; y < h - 10; ++y)
            for (int x = 10; x < w - 10; ++x)
                if (image->At(x, y)[3] != 0) ++opaqueInside;
        EXPECT_EQ(opaqueInside, 0);
    }
}

TEST(PuzzleContent, BoardHasTheDarkFrameWhereThePiecesGo) {
    const auto board = Load(102);
    ASSERT_TRUE(board.has_value());
    constexpr int kBoardY = 60, kFrameX = 406, kFrameY = 106;
    double worst = 0;
    for (int y = kFrameY - kBoardY; y < kFrameY - kBoardY + 350; ++y)
        for (int x = kFrameX; x < kFrameX + 350; ++x) worst = std::max(worst, board->Luma(x, y));
    EXPECT_LT(worst, 110) << "the frame must be dark for pale pieces to show";
    // the scatter area (screen 27..350 x 88..471) is light, unlike the frame
    double sum = 0;
    for (int y = 88 - kBoardY; y < 471 - kBoardY; ++y)
        for (int x = 27; x < 350; ++x) sum += board->Luma(x, y);
    EXPECT_GT(sum / ((471 - 88) * (350 - 27)), 150);
}

}  // namespace
