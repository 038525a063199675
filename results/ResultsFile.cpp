#include "results/ResultsFile.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace ResultsFile {

namespace {

// Closes a descriptor when the scope ends.
class FileDescriptor {
public:
    explicit FileDescriptor(int descriptor) : fd(descriptor) { }
    ~FileDescriptor() { Close(); }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int Get() const { return fd; }
    // Closes now; returns the errno of a failed close, else 0.
    int Close()
    {
        if (fd < 0)
            return 0;
        const int result = ::close(fd);
        fd = -1;
        return result == 0 ? 0 : errno;
    }

private:
    int fd { -1 };
};

int WriteAll(int fd, const char* data, size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        data += written;
        size -= static_cast<size_t>(written);
    }
    return 0;
}

// Flushes the folder entry of a rename; a folder that cannot be opened is left as it is.
void SyncFolder(const fs::path& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

fs::path FolderOf(const fs::path& path)
{
    const fs::path parent = path.parent_path();
    return parent.empty() ? fs::path(".") : parent;
}

// Renames without replacing: EEXIST when `to` is taken.
int RenameNoReplace(const fs::path& from, const fs::path& to)
{
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    // The file system cannot rename atomically without replacing: check, then rename.
    struct stat taken;
    if (::lstat(to.c_str(), &taken) == 0)
        return EEXIST;
    return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

// ".<name>.tmp-": how the temporaries of saves of `path` begin. Built by appending: GCC 12
// misreads "." + name in optimised builds as an overlapping copy.
std::string TemporaryPrefix(const fs::path& path)
{
    std::string prefix = ".";
    prefix += path.filename().string();
    prefix += ".tmp-";
    return prefix;
}

// Removes the temporaries of earlier saves of `path` whose process has ended (a save killed
// between writing and renaming leaves one). Temporaries of running processes stay.
void RemoveStaleTemporaries(const fs::path& folder, const fs::path& path)
{
    const std::string prefix = TemporaryPrefix(path);
    std::error_code ec;
    for (auto it = fs::directory_iterator(folder, ec); !ec && it != fs::directory_iterator(); it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.compare(0, prefix.size(), prefix) != 0)
            continue;
        const std::string rest = name.substr(prefix.size());
        const size_t dash = rest.find('-');
        if (dash == 0 || dash == std::string::npos || rest.find_first_not_of("0123456789-") != std::string::npos)
            continue;
        const long pid = std::strtol(rest.substr(0, dash).c_str(), nullptr, 10);
        if (pid <= 0 || pid == static_cast<long>(::getpid()))
            continue;
        if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) {
            struct stat info;
            if (::lstat(it->path().c_str(), &info) == 0 && S_ISREG(info.st_mode))
                ::unlink(it->path().c_str());
        }
    }
}

} // namespace

ReadResult ReadWhole(const fs::path& path, std::string& bytes, int& error)
{
    bytes.clear();
    error = 0;
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.Get() < 0) {
        error = errno;
        return (error == ENOENT || error == ENOTDIR) ? ReadResult::Absent : ReadResult::Unreadable;
    }
    struct stat info;
    if (::fstat(file.Get(), &info) != 0) {
        error = errno;
        return ReadResult::Unreadable;
    }
    if (!S_ISREG(info.st_mode)) {
        error = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
        return ReadResult::Unreadable;
    }
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(file.Get(), buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            error = errno;
            bytes.clear();
            return ReadResult::Unreadable;
        }
        if (got == 0)
            break;
        bytes.append(buffer, static_cast<size_t>(got));
    }
    return ReadResult::Read;
}

int ReplaceWhole(const fs::path& requested, const std::string& bytes)
{
    fs::path path = requested;
    std::error_code ec;
    if (fs::is_symlink(fs::symlink_status(path, ec))) {
        const fs::path resolved = fs::weakly_canonical(path, ec);
        if (!ec)
            path = resolved;
    }
    if (path.filename().empty())
        return EISDIR;

    // A name of our own beside the target, so that the rename stays within one file system.
    static std::atomic<unsigned> serial { 0 };
    const fs::path folder = FolderOf(path);
    fs::path temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        std::string name = TemporaryPrefix(path);
        name += std::to_string(::getpid());
        name += '-';
        name += std::to_string(serial++);
        temporary = folder / name;
        // 0666 less the umask, as for any new file; an existing file's mode is copied below.
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            return errno;
    }
    if (fd < 0)
        return EEXIST;
    FileDescriptor file(fd);

    int error = 0;
    struct stat old;
    if (::stat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode))
        ::fchmod(file.Get(), old.st_mode & 07777);
    error = WriteAll(file.Get(), bytes.data(), bytes.size());
    if (error == 0 && ::fsync(file.Get()) != 0)
        error = errno;
    if (const int closeError = file.Close(); error == 0)
        error = closeError;
    if (error == 0 && ::rename(temporary.c_str(), path.c_str()) != 0)
        error = errno;
    if (error != 0) {
        ::unlink(temporary.c_str());
        return error;
    }
    SyncFolder(folder);
    RemoveStaleTemporaries(folder, path);
    return 0;
}

std::optional<fs::path> KeepAside(const fs::path& path, int64_t now, int& error)
{
    const auto calendar = static_cast<time_t>(now);
    struct tm local {};
    if (::localtime_r(&calendar, &local) == nullptr)
        local = tm {};
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02d %02d-%02d-%02d", local.tm_year + 1900, local.tm_mon + 1,
        local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);

    const std::string stem = path.stem().string();
    const std::string extension = path.extension().string();
    for (int copy = 1; copy < 1000; ++copy) {
        std::string name = stem + " " + stamp;
        if (copy > 1)
            name += " (" + std::to_string(copy) + ")";
        const fs::path kept = path.parent_path() / (name + extension);
        error = RenameNoReplace(path, kept);
        if (error == 0) {
            SyncFolder(FolderOf(path));
            return kept;
        }
        if (error != EEXIST)
            return std::nullopt;
    }
    return std::nullopt;
}

std::wstring ErrorText(int error)
{
    switch (error) {
    case ENOENT:
        return L"нет такой папки";
    case ENOTDIR:
        return L"в пути файл вместо папки";
    case EISDIR:
        return L"на этом месте папка";
    case EACCES:
    case EPERM:
        return L"нет доступа";
    case EROFS:
        return L"диск только для чтения";
    case ENOSPC:
    case EDQUOT:
        return L"нет места на диске";
    case ENAMETOOLONG:
        return L"слишком длинное имя";
    default:
        return L"ошибка ввода-вывода";
    }
}

} // namespace ResultsFile
