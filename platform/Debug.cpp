#include "platform/Debug.h"

#include "platform/Text.h"

#include <cstdio>
#include <mutex>

namespace {
std::mutex outputLock;
}

void DebugOutput(std::string_view utf8)
{
    std::lock_guard lock(outputLock);
    std::fwrite(utf8.data(), 1, utf8.size(), stderr);
    if (utf8.empty() || utf8.back() != '\n')
        std::fputc('\n', stderr);
    std::fflush(stderr);
}

void DebugOutput(std::wstring_view text) { DebugOutput(std::string_view(WideToUtf8(text))); }
