// Printing on a real CUPS queue (cups-pdf). CTest prepares the queue first with
// cups-pdf-queue.sh; TIRLAN_NO_CUPS=1 skips these tests.

#include "platform/Printer.h"
#include "results/ResultsRecord.h"
#include "results/ResultsWorkbook.h"

#include "ResultsTestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <pwd.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace results_test;

const std::wstring queue = L"TirlanPDF";

bool CupsDisabled()
{
    const char* flag = std::getenv("TIRLAN_NO_CUPS");
    return flag != nullptr && std::string(flag) == "1";
}

// The folders cups-pdf may write a job of this user to: its configured Out folder (with the
// job owner's home), the anonymous folder and ~/PDF.
std::vector<fs::path> OutputFolders()
{
    std::string home = "/root";
    if (const passwd* me = ::getpwuid(::geteuid()); me != nullptr && me->pw_dir != nullptr)
        home = me->pw_dir;
    std::vector<fs::path> folders;
    std::ifstream conf("/etc/cups/cups-pdf.conf");
    for (std::string line; std::getline(conf, line);) {
        if (line.rfind("Out ", 0) != 0 && line.rfind("AnonDirName ", 0) != 0)
            continue;
        std::string folder = line.substr(line.find(' ') + 1);
        for (const char* token : { "${HOME}", "${USER}" }) {
            const size_t at = folder.find(token);
            if (at != std::string::npos)
                folder.replace(at, std::string(token).size(), token[2] == 'H' ? home : std::string(::getpwuid(::geteuid())->pw_name));
        }
        folders.push_back(folder);
    }
    folders.push_back(fs::path(home) / "PDF");
    folders.push_back("/var/spool/cups-pdf/ANONYMOUS");
    return folders;
}

// The PDF cups-pdf wrote for job `id`, waiting at most `limit` for it.
std::optional<fs::path> WaitForJobFile(int id, std::chrono::seconds limit)
{
    const std::string suffix = "job_" + std::to_string(id) + ".pdf";
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
        for (const fs::path& folder : OutputFolders()) {
            std::error_code ec;
            for (auto it = fs::directory_iterator(folder, ec); !ec && it != fs::directory_iterator(); it.increment(ec)) {
                const std::string name = it->path().filename().string();
                if (name.size() >= suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0
                    && RunCommand("lpstat -W not-completed -o 2>/dev/null").find("-" + std::to_string(id) + " ")
                        == std::string::npos)
                    return it->path();
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    return std::nullopt;
}

class CupsPrinting : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (CupsDisabled())
            GTEST_SKIP() << "TIRLAN_NO_CUPS=1";
        const std::vector<std::wstring> printers = LocalPrinters();
        ASSERT_NE(std::find(printers.begin(), printers.end(), queue), printers.end())
            << "CUPS has no queue TirlanPDF. Run tests/results/cups-pdf-queue.sh (CTest runs it as the setup "
               "test results_cups_queue) or set TIRLAN_NO_CUPS=1 on a machine without CUPS.";
    }
};

TEST_F(CupsPrinting, TheQueueIsListedAndAnUnknownNameGivesNoPrinter)
{
    EXPECT_NE(ResultsRecord::CreateSelectedPrinterDC(queue), nullptr);
    EXPECT_EQ(ResultsRecord::CreateSelectedPrinterDC(L""), nullptr);
    EXPECT_EQ(ResultsRecord::CreateSelectedPrinterDC(L"NoSuchPrinter-Tirlan"), nullptr);
    // The default destination is what lpstat reports, or none.
    const std::string lpstat = RunCommand("lpstat -d 2>/dev/null");
    const std::wstring expected = lpstat.find(": ") == std::string::npos
        ? std::wstring()
        : std::wstring(lpstat.begin() + lpstat.find(": ") + 2, lpstat.end() - (lpstat.back() == '\n'));
    EXPECT_EQ(DefaultPrinter(), expected);
}

TEST_F(CupsPrinting, TheFullRecordComesOutOfTheQueue)
{
    TempFolder folder;
    ResultsWorkbook workbook((folder.path / "r.xls").wstring(), L"Петя");
    workbook.AddRow(L"Время начала работы с упражнением", L"01-January-2009 09:05", L"String");
    workbook.AddRow(L"Количество перетаскиваний предметов", L"31", L"Number");
    workbook.AddRow(L"Количество лишних кликов", L"2", L"Number");
    workbook.AddRow(L"Количество дополнительных вызовов инструкций", L"0", L"Number");
    workbook.AddRow(L"Общее время работы с упражнением. с.", L"184", L"Number");
    workbook.AddEmptyRow();

    std::unique_ptr<Printer> printer = Printer::ForDestination(queue);
    ASSERT_TRUE(printer);
    const ResultsStatus status
        = workbook.Print(printer.get(), ResultsRecord::MakePrintHeader(L"00734", L"Игра «Тирлан»", L"Петя"));
    ASSERT_TRUE(status.ok) << std::string(status.message.begin(), status.message.end()).size();
    ASSERT_GT(printer->LastJobId(), 0);

    const std::optional<fs::path> pdf = WaitForJobFile(printer->LastJobId(), std::chrono::seconds(60));
    ASSERT_TRUE(pdf) << "cups-pdf wrote no file for job " << printer->LastJobId();
    const std::string text = RunCommand("pdftotext -layout " + Quoted(*pdf) + " -");
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        line.erase(0, line.find_first_not_of(' '));
        line.erase(line.find_last_not_of(" \f") + 1);
        lines.push_back(line);
    }
    while (!lines.empty() && lines.back().empty())
        lines.pop_back();
    const std::vector<std::pair<std::string, std::string>> expected = {
        { "Название", "Игра «Тирлан»" }, { "Номер ЦОР", "00734" }, { "Ученик", "Петя" }, { "", "" },
        { "Время начала работы с упражнением", "01-January-2009 09:05" },
        { "Количество перетаскиваний предметов", "31" }, { "Количество лишних кликов", "2" },
        { "Количество дополнительных вызовов инструкций", "0" }, { "Общее время работы с упражнением. с.", "184" },
    };
    ASSERT_EQ(lines.size(), expected.size()) << text;
    for (size_t i = 0; i < expected.size(); ++i) {
        const auto& [label, value] = expected[i];
        if (label.empty()) {
            EXPECT_EQ(lines[i], "") << "an empty line follows the header";
            continue;
        }
        EXPECT_EQ(lines[i].rfind(label, 0), 0u) << lines[i];
        EXPECT_GE(lines[i].size(), label.size() + value.size() + 2) << lines[i];
        EXPECT_EQ(lines[i].substr(lines[i].size() - value.size()), value) << lines[i];
    }
    if (!::testing::Test::HasFailure()) {
        std::error_code ec;
        fs::remove(*pdf, ec);
    }
}

} // namespace
