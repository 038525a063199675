#include "graphics/TextTexture.h"

#include "graphics/FontRegistry.h"
#include "graphics/ResourceManager.h"
#include "platform/Resources.h"

#include <array>
#include <string_view>
#include <vector>

IMFontRegistry& TextFonts()
{
    static IMFontRegistry fonts;
    return fonts;
}

namespace {

// A live slot of `name` with one more reference, or -1.
int ShareLive(const std::wstring& name)
{
    const int index = resourceManager->FindTexture(name);
    if (index >= resourceManager->SlotCount())
        return -1;
    return resourceManager->AddTextureRef(index) < resourceManager->SlotCount() ? index : -1;
}

int Checked(int index) { return index >= 0 && index < resourceManager->SlotCount() ? index : -1; }

// The mark pictures drawn from a few rows of text: '#' ink, '+' half ink, '.' clear.
struct MarkPicture {
    const char* blobName;
    int width;
    int height;
    std::array<std::string_view, 21> rows;
};

const MarkPicture& Picture(IMTextMark mark)
{
    static const MarkPicture space { "mark_space_png", 3, 3, { "+#+", "###", "+#+" } };
    static const MarkPicture tab { "mark_tab_png", 10, 5, { "......+#..", "........#+", "##########", "........#+",
                                                          "......+#.." } };
    static const MarkPicture lineEnd { "mark_linefeed_png", 11, 21,
        { "...........", "...........", "...........", "...........", "..+######..", ".+###+.#...", ".####..#...",
            ".####..#...", ".+###..#...", "..+##..#...", "....#..#...", "....#..#...", "....#..#...",
            "....#..#...", "....#..#...", "....#..#...", "...........", "...........", "...........",
            "...........", "..........." } };
    static MarkPicture carriageReturn = lineEnd;
    carriageReturn.blobName = "mark_return_png";
    static const MarkPicture lineFeed { "linefeed_png", 1, 1, { "." } };
    switch (mark) {
    case IMTextMark::Space:
        return space;
    case IMTextMark::Tab:
        return tab;
    case IMTextMark::LineEnd:
        return lineEnd;
    case IMTextMark::Return:
        return carriageReturn;
    case IMTextMark::LineFeed:
        break;
    }
    return lineFeed;
}

} // namespace

int CreateTextTexture(const std::wstring& name, const std::wstring& text, const RECT* rect, uint32_t textColour,
    int32_t height, const std::wstring& face, bool bold, bool italic, bool underline, uint32_t backColour)
{
    if (!resourceManager)
        return -1;
    if (const int live = ShareLive(name); live >= 0)
        return live;
    IMGlyphImage image;
    const wchar_t ch = text.empty() ? L' ' : text[0];
    TextFonts().RenderCharacter(ch, rect, textColour, height, face, bold, italic, underline, backColour, image);
    return Checked(resourceManager->CreateTextureFromPixels(name, image.width, image.height, image.texels.data(),
        image.width * 4));
}

int CreateMarkTexture(const std::wstring& name, IMTextMark mark)
{
    if (!resourceManager)
        return -1;
    if (const int live = ShareLive(name); live >= 0)
        return live;
    const MarkPicture& picture = Picture(mark);
    // The game's own mark pictures when it carries them, else the same marks drawn here.
    const auto blob = FindNamedBlob(picture.blobName);
    if (!blob.empty()) {
        const int index = Checked(resourceManager->RegisterTexture(name, blob));
        if (index >= 0)
            return index;
    }
    std::vector<uint8_t> texels(static_cast<size_t>(picture.width) * picture.height * 4, 0);
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const char c = picture.rows[static_cast<size_t>(y)][static_cast<size_t>(x)];
            uint8_t* p = &texels[(static_cast<size_t>(y) * picture.width + x) * 4];
            // Marks are drawn in the grey of a text editor's invisible characters.
            p[0] = p[1] = p[2] = 0x80;
            p[3] = c == '#' ? 0xFF : c == '+' ? 0x80 : 0x00;
        }
    }
    return Checked(resourceManager->CreateTextureFromPixels(name, picture.width, picture.height, texels.data(),
        picture.width * 4));
}
