#include "results/ResultsRecord.h"

#include "platform/DataFolder.h"
#include "platform/Debug.h"
#include "platform/Printer.h"
#include "platform/Text.h"

#include <cerrno>
#include <ctime>
#include <new>
#include <stdexcept>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

constexpr const wchar_t* folderName = L"TUVO";
constexpr const wchar_t* extension = L".xls";

constexpr const wchar_t* rowStartTime = L"Время начала работы с упражнением";
constexpr const wchar_t* rowDrags = L"Количество перетаскиваний предметов";
constexpr const wchar_t* rowExtraClicks = L"Количество лишних кликов";
constexpr const wchar_t* rowInstructionRepeats = L"Количество дополнительных вызовов инструкций";
constexpr const wchar_t* rowTotalTime = L"Общее время работы с упражнением. с.";
constexpr const wchar_t* typeString = L"String";
constexpr const wchar_t* typeNumber = L"Number";

std::wstring Join(std::wstring a, const std::wstring& b)
{
    if (a.empty())
        return b;
    if (!b.empty())
        a += L" " + b;
    return a;
}

// Runs a save or a print so that nothing escapes to the screen code but its status.
template<typename Operation>
ResultsStatus Guarded(Operation&& operation)
{
    try {
        return operation();
    } catch (const std::exception& e) {
        DebugOutput(std::string("results: ") + e.what());
        return ResultsStatus::Failure(L"Не хватило памяти.");
    }
}

} // namespace

std::wstring StartTimeText(int64_t calendarTime)
{
    static constexpr const wchar_t* months[12] = { L"January", L"February", L"March", L"April", L"May", L"June",
        L"July", L"August", L"September", L"October", L"November", L"December" };
    const auto time = static_cast<time_t>(calendarTime);
    struct tm local {};
    if (::localtime_r(&time, &local) == nullptr && ::gmtime_r(&time, &local) == nullptr)
        return NumberText(calendarTime);
    wchar_t text[128];
    std::swprintf(text, 128, L"%02d-%ls-%d %02d:%02d", local.tm_mday, months[local.tm_mon], local.tm_year + 1900,
        local.tm_hour, local.tm_min);
    return text;
}

std::wstring NumberText(int64_t value)
{
    // By hand rather than through a stream, so that no locale can add grouping.
    const bool negative = value < 0;
    auto magnitude = negative ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    std::wstring digits;
    do {
        digits.insert(digits.begin(), static_cast<wchar_t>(L'0' + magnitude % 10));
        magnitude /= 10;
    } while (magnitude != 0);
    return negative ? L"-" + digits : digits;
}

ResultsRecord::ResultsRecord(std::wstring title) : windowTitle(std::move(title)) { }

ResultsRecord::~ResultsRecord() = default;

std::wstring ResultsRecord::ResultsFilePath(std::wstring* problem) const
{
    const std::wstring fileName = windowTitle + extension;
    const fs::path data = CommonDataFolder();
    if (data.empty())
        return fileName;
    const fs::path folder = data / WideToUtf8(folderName);
    struct stat entry;
    if (::lstat(folder.c_str(), &entry) != 0) {
        if (::mkdir(folder.c_str(), 0777) != 0 && errno != EEXIST) {
            DebugOutput("results folder " + folder.string() + " cannot be created; using the current folder");
            return fileName;
        }
    } else if (!S_ISDIR(entry.st_mode) && !(S_ISLNK(entry.st_mode) && fs::is_directory(folder))) {
        // Not ours to remove: the record goes nowhere until the teacher moves it away.
        if (problem != nullptr)
            *problem = L"«" + Utf8ToWide(folder.string()) + L"» — файл, а не папка: результаты не будут сохранены.";
    }
    return Utf8ToWide(folder.string()) + L"/" + fileName;
}

ResultsStatus ResultsRecord::OpenResultsWorkbook(const std::wstring& pupilName)
{
    if (pupilName.empty())
        return {};

    ResultsStatus status;
    // The workbook being replaced reaches its file first, so that the new one reads it back.
    if (workbook) {
        const ResultsStatus saved = Guarded([this] { return workbook->Save(std::wstring()); });
        if (!saved.ok)
            status = saved;
        workbook.reset();
    }

    std::wstring problem;
    const std::wstring path = ResultsFilePath(&problem);
    try {
        workbook = std::make_unique<ResultsWorkbook>(path, pupilName);
    } catch (const std::bad_alloc&) {
        DebugOutput("results workbook: out of memory");
    } catch (const std::exception& e) {
        DebugOutput(std::string("results workbook: ") + e.what());
    }
    if (!workbook)
        return ResultsStatus::Failure(Join(status.message, L"Не удалось открыть файл результатов."));
    if (!problem.empty())
        return ResultsStatus::Failure(Join(status.message, problem));
    status.message = Join(status.message, workbook->OpenMessage());
    return status;
}

void ResultsRecord::AddResultRow(std::wstring label, std::wstring value, std::wstring type)
{
    if (!workbook)
        return;
    try {
        workbook->AddRow(label, value, type);
    } catch (const std::bad_alloc&) {
        DebugOutput("results row not added: out of memory");
    }
}

void ResultsRecord::RecordExerciseStart(int64_t startTime)
{
    AddResultRow(rowStartTime, StartTimeText(startTime), typeString);
}

void ResultsRecord::RecordGameStatistics(int32_t dragCount, int32_t extraClickCount)
{
    AddResultRow(rowDrags, NumberText(dragCount), typeNumber);
    AddResultRow(rowExtraClicks, NumberText(extraClickCount), typeNumber);
}

void ResultsRecord::RecordExerciseEnd(int32_t instructionRepeats, int64_t startTime, int64_t now)
{
    AddResultRow(rowInstructionRepeats, NumberText(instructionRepeats), typeNumber);
    AddResultRow(rowTotalTime, NumberText(now - startTime), typeNumber);
    if (!workbook)
        return;
    try {
        workbook->AddEmptyRow();
    } catch (const std::bad_alloc&) {
        DebugOutput("results row not added: out of memory");
    }
}

ResultsStatus ResultsRecord::SaveResultsOnClose()
{
    if (!workbook)
        return {};
    return Guarded([this] { return workbook->Save(std::wstring()); });
}

ResultsStatus ResultsRecord::SaveResultsAs(const std::wstring& path)
{
    if (!workbook)
        return ResultsStatus::Failure(L"Нет результатов для сохранения.");
    return Guarded([&] { return workbook->Save(path); });
}

ResultsStatus ResultsRecord::PrintResults(std::unique_ptr<IMPrinterDC> printer, const PrintHeader& header)
{
    if (!workbook)
        return ResultsStatus::Failure(L"Нет результатов для печати.");
    return Guarded([&] { return workbook->Print(printer.get(), header); });
}

PrintHeader ResultsRecord::MakePrintHeader(
    const std::wstring& resourceNumber, const std::wstring& title, const std::wstring& pupilName)
{
    return PrintHeader { { L"Номер ЦОР", resourceNumber }, { L"Название", title }, { L"Ученик", pupilName } };
}

std::unique_ptr<IMPrinterDC> ResultsRecord::CreateSelectedPrinterDC(const std::wstring& printerName)
{
    if (printerName.empty())
        return nullptr;
    return Printer::ForDestination(printerName);
}

std::vector<std::wstring> ResultsRecord::PrintDestinations() { return LocalPrinters(); }

std::wstring ResultsRecord::DefaultDestination() { return DefaultPrinter(); }
