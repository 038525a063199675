// Opening the results workbook, appending one run's six rows and saving it, for files that
// already hold 10, 100 and 1000 pupils of six rows each.

#include "results/ResultsWorkbook.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

void AddRun(ResultsWorkbook& workbook)
{
    workbook.AddRow(L"Время начала работы с упражнением", L"01-January-2009 09:05", L"String");
    workbook.AddRow(L"Количество перетаскиваний предметов", L"31", L"Number");
    workbook.AddRow(L"Количество лишних кликов", L"2", L"Number");
    workbook.AddRow(L"Количество дополнительных вызовов инструкций", L"0", L"Number");
    workbook.AddRow(L"Общее время работы с упражнением. с.", L"184", L"Number");
    workbook.AddEmptyRow();
}

std::wstring PupilName(int i) { return L"Ученик " + std::to_wstring(i); }

std::string ReadBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WriteBytes(const fs::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

void OpenAppendSave(benchmark::State& state)
{
    const int pupils = static_cast<int>(state.range(0));
    std::string pattern = (fs::temp_directory_path() / "tirlan-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        state.SkipWithError("no temporary folder");
        return;
    }
    const fs::path folder = pattern;
    const fs::path file = folder / "results.xls";
    // The starting file: a saved fresh workbook with one worksheet of six rows per pupil
    // spliced in, as the program would have written it after that many runs.
    {
        ResultsWorkbook fresh(file.wstring(), PupilName(0));
        AddRun(fresh);
        fresh.Save(L"");
    }
    std::string bytes = ReadBytes(file);
    const size_t sheetStart = bytes.find("<Worksheet ");
    const size_t sheetEnd = bytes.find("</Worksheet>") + std::string("</Worksheet>").size();
    const std::string sheet = bytes.substr(sheetStart, sheetEnd - sheetStart);
    const std::string firstName = "Ученик 0\"";
    std::string sheets;
    for (int i = 0; i < pupils; ++i) {
        std::string copy = sheet;
        copy.replace(copy.find(firstName), firstName.size(), "Ученик " + std::to_string(i) + "\"");
        sheets += copy;
    }
    bytes.replace(sheetStart, sheetEnd - sheetStart, sheets);
    WriteBytes(file, bytes);
    const std::string original = ReadBytes(file);

    for (auto _ : state) {
        state.PauseTiming();
        WriteBytes(file, original);
        state.ResumeTiming();
        ResultsWorkbook workbook(file.wstring(), PupilName(pupils / 2));
        AddRun(workbook);
        if (!workbook.Save(L"").ok)
            state.SkipWithError("save failed");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(original.size()));
    std::error_code ec;
    fs::remove_all(folder, ec);
}

} // namespace

BENCHMARK(OpenAppendSave)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
