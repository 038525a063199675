#include "platform/Text.h"

#include <cstdint>

namespace {
constexpr char32_t replacement = 0xFFFD;

bool IsScalar(char32_t c) { return c < 0xD800 || (c > 0xDFFF && c <= 0x10FFFF); }
} // namespace

std::wstring Utf8ToWide(std::string_view in)
{
    std::wstring out;
    out.reserve(in.size());
    size_t i = 0;
    while (i < in.size()) {
        const auto lead = static_cast<uint8_t>(in[i]);
        int length = 0;
        char32_t c = 0;
        if (lead < 0x80) {
            out.push_back(static_cast<wchar_t>(lead));
            ++i;
            continue;
        } else if ((lead & 0xE0) == 0xC0) {
            length = 2;
            c = lead & 0x1F;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3;
            c = lead & 0x0F;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4;
            c = lead & 0x07;
        } else {
            out.push_back(static_cast<wchar_t>(replacement));
            ++i;
            continue;
        }
        int taken = 1;
        while (taken < length && i + taken < in.size()
            && (static_cast<uint8_t>(in[i + taken]) & 0xC0) == 0x80) {
            c = (c << 6) | (static_cast<uint8_t>(in[i + taken]) & 0x3F);
            ++taken;
        }
        static constexpr char32_t smallest[] = { 0, 0, 0x80, 0x800, 0x10000 };
        if (taken != length || c < smallest[length] || !IsScalar(c))
            c = replacement;
        out.push_back(static_cast<wchar_t>(c));
        i += taken;
    }
    return out;
}

std::string WideToUtf8(std::wstring_view in)
{
    std::string out;
    out.reserve(in.size());
    for (wchar_t w : in) {
        auto c = static_cast<char32_t>(w);
        if (!IsScalar(c))
            c = replacement;
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (c >> 18)));
            out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}
