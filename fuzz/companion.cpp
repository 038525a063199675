// A damaged companion zip: resource look-ups answer the entry's bytes or nothing, never
// crash, and a second look-up answers the same bytes as the first.
#include "platform/Resources.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {
fs::path path;
}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    path = fs::temp_directory_path() / ("tirlan-fuzz-companion-" + std::to_string(::getpid()) + ".dll");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), std::streamsize(size));
        if (!out)
            std::abort();
    }
    // Setting the path again forgets what was read from the previous input.
    SetCompanionPath(path);
    // Ids the program itself lacks, so that the look-up reaches the zip.
    for (uint16_t id : { uint16_t(1), uint16_t(7), uint16_t(140), uint16_t(900), uint16_t(65535) }) {
        const std::span<const uint8_t> first = FindNumberedResource(id);
        const std::span<const uint8_t> second = FindNumberedResource(id);
        if (first.size() != second.size() || (!first.empty() && std::memcmp(first.data(), second.data(), first.size()) != 0))
            std::abort();
    }
    SetCompanionPath({});
    return 0;
}
