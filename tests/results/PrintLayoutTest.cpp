#include "platform/Printer.h"
#include "results/ResultsRecord.h"
#include "results/ResultsWorkbook.h"

#include "ResultsTestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

using namespace results_test;
using ::testing::HasSubstr;

// A page device that records what is drawn where. Every character is 10 pixels wide.
class RecordingPrinter final : public IMPrinterDC {
public:
    struct Text {
        int page;
        int32_t x, y;
        std::wstring text;
        bool operator==(const Text&) const = default;
    };

    int32_t width { 1000 }, height { 10000 }, line { 20 }, charWidth { 8 };
    bool refuseDoc { false }, refuseEnd { false };

    std::wstring title {};
    int started { 0 }, ended { 0 }, pagesStarted { 0 }, pagesEnded { 0 }, aborted { 0 };
    std::vector<Text> texts {};

    int32_t PageWidth() const override { return width; }
    int32_t PageHeight() const override { return height; }
    int32_t LineHeight() const override { return line; }
    int32_t AverageCharWidth() const override { return charWidth; }
    int32_t TextWidth(std::wstring_view text) override { return static_cast<int32_t>(text.size()) * 10; }
    void TextOut(int32_t x, int32_t y, std::wstring_view text) override
    {
        texts.push_back(Text { pagesStarted, x, y, std::wstring(text) });
    }
    bool StartDoc(std::wstring_view jobTitle) override
    {
        title = jobTitle;
        if (refuseDoc)
            return false;
        ++started;
        return true;
    }
    bool StartPage() override { return ++pagesStarted, true; }
    bool EndPage() override { return ++pagesEnded, true; }
    bool EndDoc() override { return ++ended, !refuseEnd; }
    void AbortDoc() override { ++aborted; }
    std::wstring LastError() const override { return L"the device said no"; }
};

class PrintTest : public ::testing::Test {
protected:
    TempFolder folder;
    ResultsWorkbook workbook { (folder.path / "r.xls").wstring(), L"Петя" };
    const PrintHeader header = ResultsRecord::MakePrintHeader(L"00734", L"Игра «Тирлан»", L"Петя");
    RecordingPrinter printer;

    void AddRows(int count)
    {
        for (int i = 1; i <= count; ++i)
            workbook.AddRow(L"row " + std::to_wstring(i), std::to_wstring(i), L"Number");
    }
    // The page each row's label landed on, in row order.
    std::vector<int> RowPages() const
    {
        std::vector<int> pages;
        for (const auto& t : printer.texts)
            if (t.text.rfind(L"row ", 0) == 0)
                pages.push_back(t.page);
        return pages;
    }
};

TEST_F(PrintTest, HeaderThenAnEmptyLineThenOneLinePerRow)
{
    workbook.AddRow(L"Время", L"01-January-2009 09:05", L"String");
    workbook.AddEmptyRow();
    workbook.AddRow(std::wstring(60, L'ш'), L"31", L"Number");  // wider than half the page
    ASSERT_TRUE(workbook.Print(&printer, header).ok);

    EXPECT_EQ(printer.title, L"Print1: Printing");
    EXPECT_EQ(printer.started, 1);
    EXPECT_EQ(printer.ended, 1);
    EXPECT_EQ(printer.pagesStarted, 1);
    EXPECT_EQ(printer.pagesEnded, 1);
    using T = RecordingPrinter::Text;
    EXPECT_EQ(printer.texts, (std::vector<T> {
        { 1, 8, 20, L"Название" }, { 1, 508, 20, L"Игра «Тирлан»" },
        { 1, 8, 40, L"Номер ЦОР" }, { 1, 508, 40, L"00734" },
        { 1, 8, 60, L"Ученик" }, { 1, 508, 60, L"Петя" },
        { 1, 8, 100, L"Время" }, { 1, 508, 100, L"01-January-2009 09:05" },
        // the empty row takes the line at 120
        { 1, 8, 140, std::wstring(60, L'ш') }, { 1, 8 + 600 + 8, 140, L"31" },
    }));
}

TEST_F(PrintTest, ANewPageStartsWhenTheNextLineWouldNotFit)
{
    // L = 20, V = 200: the first page holds rows at y = 100..160 (after the header), later
    // pages rows at y = 20..160; the line after which y + L reaches 200 is a page's last.
    printer.height = 200;
    struct Case {
        int rows;
        std::vector<int> pages;
    };
    const Case cases[] = {
        { 4, { 1, 1, 1, 1 } },
        { 5, { 1, 1, 1, 1, 2 } },
        { 12, { 1, 1, 1, 1, 2, 2, 2, 2, 2, 2, 2, 2 } },
        { 13, { 1, 1, 1, 1, 2, 2, 2, 2, 2, 2, 2, 2, 3 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rows);
        TempFolder place;
        ResultsWorkbook book((place.path / "r.xls").wstring(), L"Петя");
        for (int i = 1; i <= c.rows; ++i)
            book.AddRow(L"row " + std::to_wstring(i), L"v", L"Number");
        printer = RecordingPrinter {};
        printer.height = 200;
        ASSERT_TRUE(book.Print(&printer, header).ok);
        EXPECT_EQ(RowPages(), c.pages);
        // No blank sheet at the end: every page started is ended and holds a row.
        EXPECT_EQ(printer.pagesStarted, c.pages.back());
        EXPECT_EQ(printer.pagesEnded, c.pages.back());
        for (const auto& t : printer.texts) {
            EXPECT_LT(t.y + printer.line, printer.height) << t.text;
            if (t.text == L"row 5") {
                EXPECT_EQ(t.y, 20);  // a new page starts one line down
            }
        }
    }
}

TEST_F(PrintTest, NothingIsPrintedWithoutAPrinterOrATable)
{
    EXPECT_FALSE(workbook.Print(nullptr, header).ok);

    WriteFile(folder.path / "bare.xls", "<Workbook><Worksheet ss:Name=\"Петя\"/></Workbook>");
    ResultsWorkbook bare((folder.path / "bare.xls").wstring(), L"Петя");
    const ResultsStatus status = bare.Print(&printer, header);
    EXPECT_FALSE(status.ok);
    EXPECT_FALSE(status.message.empty());
    EXPECT_EQ(printer.title, L"") << "no job was started";
}

TEST_F(PrintTest, RefusalsAreReportedWithTheDeviceReason)
{
    AddRows(3);
    printer.refuseDoc = true;
    ResultsStatus status = workbook.Print(&printer, header);
    EXPECT_FALSE(status.ok);
    EXPECT_THAT(status.message, HasSubstr(L"the device said no"));
    EXPECT_EQ(printer.pagesStarted, 0);
    EXPECT_TRUE(printer.texts.empty());

    printer = RecordingPrinter {};
    printer.refuseEnd = true;
    status = workbook.Print(&printer, header);
    EXPECT_FALSE(status.ok);
    EXPECT_THAT(status.message, HasSubstr(L"the device said no"));
}

TEST_F(PrintTest, RowsOfEarlierRunsArePrintedInTheCodePage)
{
    WriteFile(folder.path / "old.xls",
        "<Workbook><Worksheet ss:Name=\"Петя\"><Table><Row><Cell><Data ss:Type=\"String\">Łódź \"x\"</Data></Cell>"
        "</Row></Table></Worksheet></Workbook>");
    ResultsWorkbook old((folder.path / "old.xls").wstring(), L"Петя");
    old.AddRow(L"new", L"1", L"Number");
    ASSERT_TRUE(old.Print(&printer, header).ok);
    ASSERT_EQ(printer.texts.size(), 6u + 3u);
    EXPECT_EQ(printer.texts[6].text, L"??d? \"x\"");
    EXPECT_EQ(printer.texts[7].text, L"new");
}

// The same drawing through cairo into a PDF, read back by poppler's pdftotext page by page.
TEST_F(PrintTest, TheFilePrinterBreaksPagesByTheSameRule)
{
    const int rows = 130;
    AddRows(rows);
    const fs::path pdf = folder.path / "out.pdf";
    std::unique_ptr<Printer> file = Printer::ForFile(pdf);
    ASSERT_TRUE(file);
    const int32_t L = file->LineHeight(), V = file->PageHeight();
    ASSERT_GT(L, 0);
    // Rows per page from the rule: the first page's rows start after the header and an empty
    // line (y = 5L); a row at y is a page's last when y + 2L >= V.
    std::vector<int> expected;
    int y = 5 * L;
    int page = 1;
    for (int r = 0; r < rows; ++r) {
        expected.push_back(page);
        if (y + 2 * L >= V) {
            ++page;
            y = L;
        } else {
            y += L;
        }
    }
    ASSERT_GT(page, 1) << "the fixture must span pages";
    ASSERT_TRUE(workbook.Print(file.get(), header).ok);
    file.reset();

    int status = 0;
    const std::string info = RunCommand("pdfinfo " + Quoted(pdf), &status);
    ASSERT_EQ(status, 0) << info;
    EXPECT_THAT(info, HasSubstr("Title:           Print1: Printing"));
    EXPECT_THAT(info, HasSubstr("(A4)"));
    EXPECT_THAT(info, HasSubstr("Pages:           " + std::to_string(expected.back()) + "\n"));

    std::vector<int> found(rows, 0);
    for (int p = 1; p <= expected.back(); ++p) {
        const std::string text = RunCommand("pdftotext -layout -f " + std::to_string(p) + " -l " + std::to_string(p) + " "
            + Quoted(pdf) + " -");
        std::istringstream lines(text);
        for (std::string lineText; std::getline(lines, lineText);) {
            std::istringstream words(lineText);
            std::string first, number;
            if (words >> first >> number && first == "row")
                found[std::stoi(number) - 1] = p;
        }
    }
    EXPECT_EQ(found, expected);
}

TEST_F(PrintTest, TheFilePrinterDrawsInsideThePrintableArea)
{
    workbook.AddRow(L"row 1", L"1", L"Number");
    const fs::path pdf = folder.path / "margins.pdf";
    std::unique_ptr<Printer> file = Printer::ForFile(pdf, PaperSize { 21000, 29700, 1000, 2000, 1000, 1000 });
    EXPECT_EQ(file->PageWidth(), 2244);   // 190 mm at 300 dpi
    EXPECT_EQ(file->PageHeight(), 3154);  // 267 mm
    const int32_t C = file->AverageCharWidth(), L = file->LineHeight();
    ASSERT_TRUE(workbook.Print(file.get(), header).ok);
    file.reset();

    // The first header word starts one character in from the left margin, one line below the
    // top margin (in points: 72 per inch, 300 device pixels per inch).
    const std::string boxes = RunCommand("pdftotext -bbox " + Quoted(pdf) + " -");
    const size_t at = boxes.find(">Название<");
    ASSERT_NE(at, std::string::npos) << boxes;
    const size_t open = boxes.rfind("<word", at);
    const double xMin = std::stod(boxes.substr(boxes.find("xMin=\"", open) + 6));
    const double yMin = std::stod(boxes.substr(boxes.find("yMin=\"", open) + 6));
    EXPECT_NEAR(xMin, 1000 / 2540.0 * 72 + C * 0.24, 1.5);
    EXPECT_GT(yMin, 2000 / 2540.0 * 72 + L * 0.24 - 1.5);
    EXPECT_LT(yMin, 2000 / 2540.0 * 72 + 2 * L * 0.24);

    // Margins that leave no page are ignored.
    EXPECT_EQ(Printer::ForFile(pdf, PaperSize { 21000, 29700, 15000, 0, 15000, 0 })->PageWidth(), 2480);
}

TEST(PrintWithoutCups, NoPrintersAndNothingToPrintOn)
{
    // In a freshly started child process, so that the CUPS library meets the unreachable
    // server first (a forked child would inherit a server the parent already talked to).
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            ::setenv("CUPS_SERVER", "/nonexistent/tirlan-cups.sock", 1);
            const bool none = LocalPrinters().empty() && DefaultPrinter().empty()
                && ResultsRecord::CreateSelectedPrinterDC(L"TirlanPDF") == nullptr;
            bool refused = false;
            {
                TempFolder place;
                ScopedEnv xdg("XDG_DATA_HOME", place.path.string());
                ResultsRecord record;
                record.OpenResultsWorkbook(L"Петя");
                const ResultsStatus printed = record.PrintResults(ResultsRecord::CreateSelectedPrinterDC(L"TirlanPDF"),
                    ResultsRecord::MakePrintHeader(L"00734", L"Игра «Тирлан»", L"Петя"));
                refused = !printed.ok && !printed.message.empty();
            }
            std::exit(none && refused ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

} // namespace
