#pragma once
// Helpers shared by the results tests: a temporary folder, whole-file reads and writes,
// running a program, and reading a workbook back through gnumeric's ssconvert.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace results_test {

namespace fs = std::filesystem;

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempFolder {
public:
    TempFolder()
    {
        std::string pattern = (fs::temp_directory_path() / "tirlan-results-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("mkdtemp failed");
        path = pattern;
    }
    ~TempFolder()
    {
        std::error_code ec;
        // Folders a test made read-only must be writable again to be removed.
        for (auto it = fs::recursive_directory_iterator(path, ec); !ec && it != fs::recursive_directory_iterator();
             it.increment(ec)) {
            if (it->is_directory(ec))
                fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
        }
        fs::permissions(path, fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(path, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    fs::path path;
};

// Sets an environment variable for a scope and restores the old value.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::optional<std::string>& value) : name(name)
    {
        if (const char* old = std::getenv(name))
            previous = old;
        if (value)
            ::setenv(name, value->c_str(), 1);
        else
            ::unsetenv(name);
    }
    ~ScopedEnv()
    {
        if (previous)
            ::setenv(name, previous->c_str(), 1);
        else
            ::unsetenv(name);
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name;
    std::optional<std::string> previous;
};

inline std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline void WriteFile(const fs::path& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

inline size_t Count(const std::string& text, const std::string& what)
{
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size()))
        ++n;
    return n;
}

// Runs a shell command; returns its standard output, `status` gets the exit code.
inline std::string RunCommand(const std::string& command, int* status = nullptr)
{
    std::string out;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) {
        if (status)
            *status = -1;
        return out;
    }
    char buffer[4096];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        out.append(buffer, got);
    const int raw = ::pclose(pipe);
    if (status)
        *status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return out;
}

inline std::string Quoted(const fs::path& path)
{
    std::string q = "'";
    for (char c : path.string())
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

using CsvRow = std::vector<std::string>;

// One CSV text as rows of fields ("" inside quotes is one quote).
inline std::vector<CsvRow> ParseCsv(const std::string& text)
{
    std::vector<CsvRow> rows;
    CsvRow row;
    std::string field;
    bool quoted = false, any = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == '"') {
            quoted = any = true;
        } else if (c == ',') {
            row.push_back(field);
            field.clear();
            any = true;
        } else if (c == '\n') {
            if (any || !field.empty())
                row.push_back(field);
            // gnumeric writes an empty row as empty fields: keep it as a row without cells
            if (std::all_of(row.begin(), row.end(), [](const std::string& f) { return f.empty(); }))
                row.clear();
            rows.push_back(row);
            row.clear();
            field.clear();
            any = false;
        } else if (c != '\r') {
            field += c;
            any = true;
        }
    }
    if (any || !field.empty()) {
        row.push_back(field);
        rows.push_back(row);
    }
    // An empty sheet comes out as one empty line.
    while (!rows.empty() && rows.back().empty())
        rows.pop_back();
    return rows;
}

struct Sheet {
    std::string name;
    std::vector<CsvRow> rows;
};

// Every worksheet of the workbook at `xls` as gnumeric reads it, in workbook order.
inline std::vector<Sheet> ReadWithSsconvert(const fs::path& xls)
{
    TempFolder out;
    int status = 0;
    const std::string log = RunCommand("ssconvert -S " + Quoted(xls) + " " + Quoted(out.path / "sheet.%n.%s.csv") + " 2>&1", &status);
    EXPECT_EQ(status, 0) << log;
    std::vector<std::pair<int, Sheet>> found;
    for (const auto& entry : fs::directory_iterator(out.path)) {
        const std::string name = entry.path().filename().string();  // sheet.<n>.<name>.csv
        const size_t dot = name.find('.', 6);
        Sheet sheet { name.substr(dot + 1, name.size() - dot - 5), ParseCsv(ReadFile(entry.path())) };
        found.emplace_back(std::stoi(name.substr(6, dot - 6)), sheet);
    }
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<Sheet> sheets;
    for (auto& [index, sheet] : found)
        sheets.push_back(std::move(sheet));
    return sheets;
}

} // namespace results_test
