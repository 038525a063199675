#include "results/ResultsFile.h"
#include "results/ResultsWorkbook.h"

#include "ResultsTestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

namespace {

using namespace results_test;
using ::testing::HasSubstr;

constexpr const char* fileName = "00734 Игра «Тирлан».xls";

class WorkbookTest : public ::testing::Test {
protected:
    TempFolder folder;
    fs::path file = folder.path / fileName;
    std::wstring Path() const { return Utf8ToWideForTest(file); }

    static std::wstring Utf8ToWideForTest(const fs::path& p)
    {
        // The test's own conversion, independent of the code under test.
        std::wstring out;
        const std::string s = p.string();
        for (size_t i = 0; i < s.size();) {
            const auto b = static_cast<unsigned char>(s[i]);
            int n = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
            char32_t c = n == 1 ? b : b & (0x7F >> n);
            for (int k = 1; k < n; ++k)
                c = (c << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
            out.push_back(static_cast<wchar_t>(c));
            i += n;
        }
        return out;
    }

    std::vector<std::string> FolderEntries() const
    {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(folder.path))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

void AddFullRecord(ResultsWorkbook& w)
{
    w.AddRow(L"Время начала работы с упражнением", L"01-January-2009 09:05", L"String");
    w.AddRow(L"Количество перетаскиваний предметов", L"31", L"Number");
    w.AddRow(L"Количество лишних кликов", L"2", L"Number");
    w.AddRow(L"Количество дополнительных вызовов инструкций", L"0", L"Number");
    w.AddRow(L"Общее время работы с упражнением. с.", L"184", L"Number");
    w.AddEmptyRow();
}

const std::vector<CsvRow> fullRecordCsv = {
    { "Время начала работы с упражнением", "01-January-2009 09:05" },
    { "Количество перетаскиваний предметов", "31" },
    { "Количество лишних кликов", "2" },
    { "Количество дополнительных вызовов инструкций", "0" },
    { "Общее время работы с упражнением. с.", "184" },
};

TEST_F(WorkbookTest, FreshWorkbookSavedWithoutRowsIsTheTemplateWithOneWorksheet)
{
    ResultsWorkbook workbook(Path(), L"Петя");
    EXPECT_TRUE(workbook.OpenMessage().empty());
    ASSERT_TRUE(workbook.Save(L"").ok);
    const std::string saved = ReadFile(file);
    EXPECT_EQ(saved.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\" ?>", 0), 0u);
    EXPECT_EQ(saved, ReadFile(fs::path(TIRLAN_SOURCE_DIR) / "tests/results/fresh-workbook.xls"));

    const std::vector<Sheet> sheets = ReadWithSsconvert(file);
    ASSERT_EQ(sheets.size(), 1u);
    EXPECT_EQ(sheets[0].name, "Петя");
    EXPECT_TRUE(sheets[0].rows.empty());
}

TEST_F(WorkbookTest, FullRecordReadsBackThroughGnumeric)
{
    ResultsWorkbook workbook(Path(), L"Петя");
    AddFullRecord(workbook);
    ASSERT_TRUE(workbook.Save(L"").ok);

    const std::string saved = ReadFile(file);
    EXPECT_EQ(Count(saved, "<Row>"), 5u);
    EXPECT_EQ(Count(saved, "<Row/>"), 1u);
    EXPECT_THAT(saved, HasSubstr("<Data ss:Type=\"Number\">31</Data>"));
    const std::vector<Sheet> sheets = ReadWithSsconvert(file);
    ASSERT_EQ(sheets.size(), 1u);
    EXPECT_EQ(sheets[0].rows, fullRecordCsv);
}

TEST_F(WorkbookTest, LaterRunsContinueTheirWorksheetAndNewNamesAddOne)
{
    {
        ResultsWorkbook first(Path(), L"Петя");
        AddFullRecord(first);
        ASSERT_TRUE(first.Save(L"").ok);
    }
    {
        ResultsWorkbook second(Path(), L"Маша");
        second.AddRow(L"Маша", L"1", L"Number");
        ASSERT_TRUE(second.Save(L"").ok);
    }
    {
        ResultsWorkbook third(Path(), L"Петя");
        third.AddRow(L"снова", L"2", L"Number");
        ASSERT_TRUE(third.Save(L"").ok);
    }
    const std::string saved = ReadFile(file);
    EXPECT_EQ(Count(saved, "<Worksheet "), 2u);
    EXPECT_EQ(Count(saved, "<Column "), 4u);
    const std::vector<Sheet> sheets = ReadWithSsconvert(file);
    ASSERT_EQ(sheets.size(), 2u);
    EXPECT_EQ(sheets[0].name, "Петя");
    EXPECT_EQ(sheets[1].name, "Маша");
    std::vector<CsvRow> expected = fullRecordCsv;
    expected.push_back({});  // the first run's closing empty row
    expected.push_back({ "снова", "2" });
    EXPECT_EQ(sheets[0].rows, expected);
    EXPECT_EQ(sheets[1].rows, (std::vector<CsvRow> { { "Маша", "1" } }));
}

TEST_F(WorkbookTest, TextIsStoredInTheCodePageAndEscaped)
{
    struct Case {
        const wchar_t* label;
        const char* inFile;  // as the XML text holds it
        const char* readBack;
    };
    const Case cases[] = {
        { L"Саша \"Иванов\"", "Саша 'Иванов'", "Саша 'Иванов'" },
        { L"Tom & Jerry", "Tom &amp; Jerry", "Tom & Jerry" },
        { L"<b>", "&lt;b&gt;", "<b>" },
        { L"Łódź", "??d?", "??d?" },
        { L"a\x01z", "a?z", "a?z" },
    };
    {
        ResultsWorkbook workbook(Path(), L"Петя");
        for (const Case& c : cases)
            workbook.AddRow(c.label, L"1", L"Number");
        ASSERT_TRUE(workbook.Save(L"").ok);
    }
    const std::string saved = ReadFile(file);
    const std::vector<Sheet> sheets = ReadWithSsconvert(file);
    ASSERT_EQ(sheets.size(), 1u);
    ASSERT_EQ(sheets[0].rows.size(), std::size(cases));
    for (size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_THAT(saved, HasSubstr(std::string("<Data ss:Type=\"String\">") + cases[i].inFile + "</Data>"));
        EXPECT_EQ(sheets[0].rows[i], (CsvRow { cases[i].readBack, "1" }));
    }
}

TEST_F(WorkbookTest, NamesThatNarrowAlikeShareOneWorksheet)
{
    for (const wchar_t* name : { L"Zoë \"K\"", L"Zoē 'K'" }) {
        ResultsWorkbook workbook(Path(), name);
        workbook.AddRow(name, L"1", L"Number");
        ASSERT_TRUE(workbook.Save(L"").ok);
    }
    const std::vector<Sheet> sheets = ReadWithSsconvert(file);
    ASSERT_EQ(sheets.size(), 1u);
    EXPECT_EQ(sheets[0].name, "Zo? 'K'");
    EXPECT_EQ(sheets[0].rows.size(), 2u);
}

TEST_F(WorkbookTest, SaveElsewhereLeavesTheOwnPath)
{
    const fs::path copy = folder.path / "копия.xls";
    ResultsWorkbook workbook(Path(), L"Петя");
    workbook.AddRow(L"a", L"1", L"Number");
    ASSERT_TRUE(workbook.Save(Utf8ToWideForTest(copy)).ok);
    EXPECT_TRUE(fs::exists(copy));
    EXPECT_FALSE(fs::exists(file));
    EXPECT_EQ(workbook.FilePath(), Path());

    ASSERT_TRUE(workbook.Save(L"").ok);
    ASSERT_TRUE(workbook.Save(L"").ok);  // twice in one run
    EXPECT_EQ(ReadFile(file), ReadFile(copy));
    EXPECT_EQ(FolderEntries(), (std::vector<std::string> { fileName, "копия.xls" }));
}

TEST_F(WorkbookTest, SaveFailuresAreReportedAndLeaveNothingBehind)
{
    WriteFile(folder.path / "plain", "a file, not a folder");
    fs::create_directory(folder.path / "busy.xls");
    fs::path unwritable = folder.path / "locked";
    fs::create_directory(unwritable);
    fs::permissions(unwritable, fs::perms::owner_read | fs::perms::owner_exec);
    if (::geteuid() == 0)
        unwritable = "/sys";  // permissions do not stop root; sysfs refuses new files to everyone

    const fs::path targets[] = {
        folder.path / "missing" / "r.xls",
        folder.path / "plain" / "r.xls",
        folder.path / "busy.xls",
        unwritable / "r.xls",
    };
    ResultsWorkbook workbook(Path(), L"Петя");
    workbook.AddRow(L"a", L"1", L"Number");
    for (const fs::path& target : targets) {
        const ResultsStatus status = workbook.Save(Utf8ToWideForTest(target));
        EXPECT_FALSE(status.ok) << target;
        EXPECT_THAT(status.message, HasSubstr(Utf8ToWideForTest(target))) << target;
    }
    EXPECT_EQ(FolderEntries(), (std::vector<std::string> { "busy.xls", "locked", "plain" }));
    EXPECT_TRUE(fs::is_empty(folder.path / "busy.xls"));
    EXPECT_EQ(ReadFile(folder.path / "plain"), "a file, not a folder");
}

TEST_F(WorkbookTest, AFailedWriteLeavesTheOldFileWhole)
{
    {
        ResultsWorkbook workbook(Path(), L"Петя");
        AddFullRecord(workbook);
        ASSERT_TRUE(workbook.Save(L"").ok);
    }
    const std::string before = ReadFile(file);
    ResultsWorkbook workbook(Path(), L"Петя");
    for (int i = 0; i < 50; ++i)
        workbook.AddRow(L"ещё строка", L"1", L"Number");

    // A disk that fills up during the write: files may grow to just past the old size.
    struct rlimit old {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limited = old;
    limited.rlim_cur = before.size() + 100;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    const ResultsStatus status = workbook.Save(L"");
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(status.ok);
    EXPECT_FALSE(status.message.empty());
    EXPECT_EQ(ReadFile(file), before);
    EXPECT_EQ(FolderEntries(), (std::vector<std::string> { fileName }));
}

TEST_F(WorkbookTest, AnUnusableFileIsKeptAsideBeforeANewOneStarts)
{
    struct Case {
        const char* what;
        std::function<void(const fs::path&)> make;
    };
    const Case cases[] = {
        { "not well-formed", [](const fs::path& p) { WriteFile(p, "<Workbook><Worksheet ss:Name=\"Петя\"></Workbook>"); } },
        { "another root", [](const fs::path& p) { WriteFile(p, "<?xml version=\"1.0\"?><html><body/></html>"); } },
        { "empty", [](const fs::path& p) { WriteFile(p, ""); } },
        { "a folder", [](const fs::path& p) { fs::create_directory(p); WriteFile(p / "inside", "keep me"); } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder place;
        const fs::path damaged = place.path / fileName;
        c.make(damaged);
        const std::string oldBytes = fs::is_directory(damaged) ? ReadFile(damaged / "inside") : ReadFile(damaged);

        ResultsWorkbook workbook(Utf8ToWideForTest(damaged), L"Петя");
        workbook.AddRow(L"a", L"1", L"Number");
        ASSERT_TRUE(workbook.Save(L"").ok);

        std::vector<fs::path> kept;
        for (const auto& e : fs::directory_iterator(place.path))
            if (e.path() != damaged)
                kept.push_back(e.path());
        ASSERT_EQ(kept.size(), 1u);
        const std::string keptName = kept[0].filename().string();
        EXPECT_EQ(keptName.rfind("00734 Игра «Тирлан» ", 0), 0u) << keptName;
        EXPECT_EQ(kept[0].extension(), ".xls");
        EXPECT_EQ(fs::is_directory(kept[0]) ? ReadFile(kept[0] / "inside") : ReadFile(kept[0]), oldBytes);
        EXPECT_THAT(workbook.OpenMessage(), HasSubstr(Utf8ToWideForTest(kept[0])));
        const std::vector<Sheet> sheets = ReadWithSsconvert(damaged);
        ASSERT_EQ(sheets.size(), 1u);
        EXPECT_EQ(sheets[0].rows, (std::vector<CsvRow> { { "a", "1" } }));
    }
}

TEST_F(WorkbookTest, KeepingAsideNeverReplacesAnotherKeptFile)
{
    const int64_t now = 1230800700;
    std::vector<fs::path> kept;
    for (const char* content : { "first", "second", "third" }) {
        WriteFile(file, content);
        int error = 0;
        const auto moved = ResultsFile::KeepAside(file, now, error);
        ASSERT_TRUE(moved) << error;
        kept.push_back(*moved);
    }
    EXPECT_EQ(ReadFile(kept[0]), "first");
    EXPECT_EQ(ReadFile(kept[1]), "second");
    EXPECT_EQ(ReadFile(kept[2]), "third");
    EXPECT_THAT(kept[1].filename().string(), ::testing::EndsWith(" (2).xls"));
    EXPECT_THAT(kept[2].filename().string(), ::testing::EndsWith(" (3).xls"));
    EXPECT_FALSE(fs::exists(file));
}

TEST_F(WorkbookTest, AnUnusableFileThatCannotBeMovedIsNeverOverwritten)
{
    // Readable, not XML, and in a folder where nothing can be renamed.
    const std::wstring path = L"/proc/self/status";
    ResultsWorkbook workbook(path, L"Петя");
    EXPECT_THAT(workbook.OpenMessage(), HasSubstr(L"не будет перезаписан"));
    workbook.AddRow(L"a", L"1", L"Number");
    const ResultsStatus own = workbook.Save(L"");
    EXPECT_FALSE(own.ok);
    EXPECT_THAT(own.message, HasSubstr(L"не будет перезаписан"));
    EXPECT_TRUE(workbook.Save(Path()).ok);  // another path still takes the record
    EXPECT_EQ(ReadWithSsconvert(file).at(0).rows, (std::vector<CsvRow> { { "a", "1" } }));
}

TEST_F(WorkbookTest, EntitiesFromOutsideAreNeverRead)
{
    const fs::path secret = folder.path / "secret.txt";
    WriteFile(secret, "TOP-SECRET-CONTENT");
    const fs::path dtd = folder.path / "outside.dtd";
    WriteFile(dtd, "<!ENTITY leak \"TOP-SECRET-FROM-DTD\">");
    const std::string uri = "file://" + secret.string();
    const std::string cases[] = {
        // an external general entity in the internal subset
        "<?xml version=\"1.0\"?><!DOCTYPE Workbook [<!ENTITY secret SYSTEM \"" + uri + "\">]>"
        "<Workbook><Worksheet ss:Name=\"Петя\"><Table><Row><Cell><Data ss:Type=\"String\">&secret;</Data></Cell></Row>"
        "</Table></Worksheet></Workbook>",
        // an external parameter entity
        "<?xml version=\"1.0\"?><!DOCTYPE Workbook [<!ENTITY % outside SYSTEM \"file://" + dtd.string() + "\"> %outside;]>"
        "<Workbook><Worksheet ss:Name=\"Петя\"><Table/></Worksheet></Workbook>",
        // an external DTD subset
        "<?xml version=\"1.0\"?><!DOCTYPE Workbook SYSTEM \"file://" + dtd.string() + "\">"
        "<Workbook><Worksheet ss:Name=\"Петя\"><Table/></Worksheet></Workbook>",
    };
    for (const std::string& text : cases) {
        SCOPED_TRACE(text);
        TempFolder place;
        const fs::path results = place.path / "r.xls";
        WriteFile(results, text);
        ResultsWorkbook workbook(Utf8ToWideForTest(results), L"Петя");
        EXPECT_TRUE(workbook.OpenMessage().empty()) << "the file parses without its outside parts";
        workbook.AddRow(L"a", L"1", L"Number");
        ASSERT_TRUE(workbook.Save(L"").ok);
        const std::string saved = ReadFile(results);
        EXPECT_THAT(saved, ::testing::Not(HasSubstr("TOP-SECRET")));
        EXPECT_EQ(Count(saved, "<Worksheet "), 1u);
    }
}

TEST_F(WorkbookTest, AnEntityBombIsRefusedAndKeptAside)
{
    std::string doctype = "<!DOCTYPE Workbook [<!ENTITY e0 \"ha\">";
    for (int i = 1; i <= 9; ++i) {
        doctype += "<!ENTITY e" + std::to_string(i) + " \"";
        for (int k = 0; k < 10; ++k)
            doctype += "&e" + std::to_string(i - 1) + ";";
        doctype += "\">";
    }
    WriteFile(file, "<?xml version=\"1.0\"?>" + doctype + "]><Workbook><x>&e9;</x></Workbook>");
    ResultsWorkbook workbook(Path(), L"Петя");
    EXPECT_FALSE(workbook.OpenMessage().empty());
    ASSERT_TRUE(workbook.Save(L"").ok);
    EXPECT_EQ(FolderEntries().size(), 2u);
    EXPECT_LT(fs::file_size(file), 4096u);
}

TEST_F(WorkbookTest, WorkbooksMayLiveAtTheSameTime)
{
    auto first = std::make_unique<ResultsWorkbook>(Path(), L"Петя");
    auto second = std::make_unique<ResultsWorkbook>(Utf8ToWideForTest(folder.path / "b.xls"), L"Маша");
    first->AddRow(L"a", L"1", L"Number");
    first.reset();  // the library must stay up for the second
    second->AddRow(L"b", L"2", L"Number");
    ASSERT_TRUE(second->Save(L"").ok);
    second.reset();
    ResultsWorkbook third(Utf8ToWideForTest(folder.path / "b.xls"), L"Маша");
    third.AddRow(L"c", L"3", L"Number");
    ASSERT_TRUE(third.Save(L"").ok);
    EXPECT_EQ(ReadWithSsconvert(folder.path / "b.xls").at(0).rows, (std::vector<CsvRow> { { "b", "2" }, { "c", "3" } }));
}

TEST_F(WorkbookTest, ATableWithAStatedRowCountTakesMoreRows)
{
    // As a spreadsheet program saves the format: the table states how many rows it has.
    WriteFile(file, "<?xml version=\"1.0\"?><Workbook xmlns=\"urn:schemas-microsoft-com:office:spreadsheet\" "
                    "xmlns:ss=\"urn:schemas-microsoft-com:office:spreadsheet\"><Worksheet ss:Name=\"Петя\">"
                    "<Table ss:ExpandedColumnCount=\"2\" ss:ExpandedRowCount=\"1\"><Row><Cell><Data ss:Type=\"String\">"
                    "старая</Data></Cell><Cell><Data ss:Type=\"Number\">1</Data></Cell></Row></Table></Worksheet></Workbook>");
    ResultsWorkbook workbook(Path(), L"Петя");
    EXPECT_TRUE(workbook.OpenMessage().empty());
    workbook.AddRow(L"новая", L"2", L"Number");
    ASSERT_TRUE(workbook.Save(L"").ok);
    const std::string saved = ReadFile(file);
    EXPECT_THAT(saved, ::testing::Not(HasSubstr("ExpandedRowCount")));
    EXPECT_THAT(saved, HasSubstr("ss:ExpandedColumnCount=\"2\""));
    EXPECT_EQ(ReadWithSsconvert(file).at(0).rows, (std::vector<CsvRow> { { "старая", "1" }, { "новая", "2" } }));
}

} // namespace
