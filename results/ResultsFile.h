#pragma once
// The file operations under the results record: reading a whole file, replacing a file so
// that it reaches the disk whole or not at all, and moving an unusable file out of the way
// without touching any other file.

#include <filesystem>
#include <optional>
#include <string>

namespace ResultsFile {

enum class ReadResult { Read, Absent, Unreadable };

// Reads the whole regular file at `path` into `bytes`. Absent when there is no entry at the
// path (or a part of its folder is missing or not a folder); Unreadable for anything else
// that stops the read, a folder in place of the file included. `error` gets the errno.
ReadResult ReadWhole(const std::filesystem::path& path, std::string& bytes, int& error);

// Writes `bytes` to a new file beside `path`, flushes it to the disk and renames it over
// `path`. On failure the old file is untouched, nothing is left behind and the errno is
// returned; 0 means success. A symbolic link at `path` is followed, not replaced. After a
// success, temporaries that earlier saves of `path` left when their process died are removed.
int ReplaceWhole(const std::filesystem::path& path, const std::string& bytes);

// Renames the entry at `path` to a name beside it with the local date and time of `now`
// before the extension ("name 2009-01-01 09-05-00.xls"), adding " (2)", " (3)" ... when that
// name is taken. Never replaces an existing entry. Returns the new path, or nothing with
// `error` set.
std::optional<std::filesystem::path> KeepAside(const std::filesystem::path& path, int64_t now, int& error);

// A few words on an errno for the screen.
std::wstring ErrorText(int error);

} // namespace ResultsFile
