// A damaged results file at the workbook's path: opening never crashes, and whatever was
// there, a workbook that says it saved writes a file that opens again cleanly and keeps the
// row added.
#include "results/ResultsWorkbook.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

fs::path folder;

void WriteFile(const fs::path& path, const uint8_t* data, size_t size)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), std::streamsize(size));
    if (!out)
        std::abort();
}

std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    folder = fs::temp_directory_path() / ("tirlan-fuzz-workbook-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Set-aside files from the previous input would make every name a new " (n)" one.
    std::error_code ignored;
    for (const auto& entry : fs::directory_iterator(folder, ignored))
        fs::remove_all(entry.path(), ignored);

    const fs::path path = folder / "results.xls";
    WriteFile(path, data, size);
    bool saved = false;
    {
        ResultsWorkbook workbook(path.wstring(), L"Фаззер");
        workbook.AddRow(L"Метка", L"Значение", L"String");
        saved = workbook.Save(L"").ok;
    }
    if (!saved)
        return 0;
    const std::string written = ReadFile(path);
    ResultsWorkbook again(path.wstring(), L"Фаззер");
    if (!again.OpenMessage().empty())
        std::abort();
    if (written.find("Значение") == std::string::npos)
        std::abort();
    return 0;
}
