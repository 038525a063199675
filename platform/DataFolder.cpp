#include "platform/DataFolder.h"

#include "platform/Debug.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

fs::path HomeFolder()
{
    if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/')
        return fs::path(home);
    if (const passwd* entry = ::getpwuid(::getuid()); entry != nullptr && entry->pw_dir != nullptr && entry->pw_dir[0] == '/')
        return fs::path(entry->pw_dir);
    return {};
}

} // namespace

fs::path CommonDataFolder()
{
    fs::path folder;
    // A relative XDG_DATA_HOME is invalid and ignored.
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg != nullptr && xdg[0] == '/') {
        folder = fs::path(xdg);
    } else {
        const fs::path home = HomeFolder();
        if (home.empty())
            return {};
        folder = home / ".local" / "share";
    }
    std::error_code ec;
    if (fs::is_directory(folder, ec))
        return folder;
    fs::create_directories(folder, ec);
    if (ec || !fs::is_directory(folder, ec)) {
        DebugOutput("data folder " + folder.string() + " cannot be created");
        return {};
    }
    return folder;
}
