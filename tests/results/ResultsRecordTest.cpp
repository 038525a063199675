#include "results/ResultsRecord.h"

#include "ResultsTestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <climits>
#include <ctime>
#include <unistd.h>

namespace {

using namespace results_test;
using ::testing::HasSubstr;

const std::string fileName = "00734 Игра «Тирлан».xls";

std::wstring Wide(const std::string& utf8)
{
    std::wstring out;
    for (size_t i = 0; i < utf8.size();) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        const int n = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
        char32_t c = n == 1 ? b : b & (0x7F >> n);
        for (int k = 1; k < n; ++k)
            c = (c << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        out.push_back(static_cast<wchar_t>(c));
        i += n;
    }
    return out;
}

// Sets the local time zone for a scope.
class ScopedZone {
public:
    explicit ScopedZone(const char* zone) : env("TZ", std::string(zone)) { ::tzset(); }
    ~ScopedZone() { ::tzset(); }

private:
    ScopedEnv env;
};

class RecordTest : public ::testing::Test {
protected:
    TempFolder data;
    ScopedEnv xdg { "XDG_DATA_HOME", data.path.string() };
    fs::path file = data.path / "TUVO" / fileName;
    ResultsRecord record;
};

TEST(RecordTexts, StartTime)
{
    struct Case {
        const char* zone;
        int64_t time;
        const wchar_t* text;
    };
    const Case cases[] = {
        { "UTC0", 1230800700, L"01-January-2009 09:05" },
        { "UTC0", 1204726079, L"05-March-2008 14:07" },
        { "MSK-3", 1230800700, L"01-January-2009 12:05" },
        { "MSK-3", 946684740, L"01-January-2000 02:59" },
    };
    for (const Case& c : cases) {
        ScopedZone zone(c.zone);
        EXPECT_EQ(StartTimeText(c.time), c.text) << c.zone << " " << c.time;
    }
}

TEST(RecordTexts, Numbers)
{
    const std::pair<int64_t, const wchar_t*> cases[] = {
        { 0, L"0" }, { 7, L"7" }, { 1234567, L"1234567" }, { -42, L"-42" },
        { INT64_MIN, L"-9223372036854775808" }, { INT64_MAX, L"9223372036854775807" },
    };
    for (const auto& [value, text] : cases)
        EXPECT_EQ(NumberText(value), text);
}

TEST_F(RecordTest, TheFileLivesInTuvoUnderTheDataFolder)
{
    EXPECT_EQ(record.ResultsFilePath(), Wide(file.string()));
    EXPECT_TRUE(fs::is_directory(data.path / "TUVO"));

    ScopedEnv relative("XDG_DATA_HOME", std::string("relative/share"));
    ScopedEnv home("HOME", data.path.string());
    EXPECT_EQ(record.ResultsFilePath(), Wide((data.path / ".local/share/TUVO" / fileName).string()));
}

TEST_F(RecordTest, WithoutADataFolderTheFileIsTheBareName)
{
    ScopedEnv unusable("XDG_DATA_HOME", std::string("/proc/self/none"));
    EXPECT_EQ(record.ResultsFilePath(), Wide(fileName));
}

TEST_F(RecordTest, AFullRunIsWrittenOnClose)
{
    ScopedZone zone("UTC0");
    ASSERT_TRUE(record.OpenResultsWorkbook(L"Петя").ok);
    const int64_t start = 1230800700;
    record.RecordExerciseStart(start);
    record.RecordGameStatistics(31, 2);
    record.RecordExerciseEnd(1, start, start + 184);
    EXPECT_FALSE(fs::exists(file)) << "rows reach the disk only on close";
    ASSERT_TRUE(record.SaveResultsOnClose().ok);

    const std::vector<Sheet> sheets = ReadWithSsconvert(file);
    ASSERT_EQ(sheets.size(), 1u);
    EXPECT_EQ(sheets[0].name, "Петя");
    EXPECT_EQ(sheets[0].rows, (std::vector<CsvRow> {
        { "Время начала работы с упражнением", "01-January-2009 09:05" },
        { "Количество перетаскиваний предметов", "31" },
        { "Количество лишних кликов", "2" },
        { "Количество дополнительных вызовов инструкций", "1" },
        { "Общее время работы с упражнением. с.", "184" },
    }));
    const std::string saved = ReadFile(file);
    EXPECT_THAT(saved, HasSubstr("<Data ss:Type=\"Number\">184</Data></Cell></Row><Row/></Table>"));
}

TEST_F(RecordTest, AnEmptyNameChangesNothing)
{
    EXPECT_TRUE(record.OpenResultsWorkbook(L"").ok);
    EXPECT_EQ(record.Workbook(), nullptr);
    record.AddResultRow(L"a", L"1", L"Number");  // dropped
    EXPECT_TRUE(record.SaveResultsOnClose().ok);
    EXPECT_FALSE(fs::exists(file));
    EXPECT_FALSE(record.SaveResultsAs(Wide((data.path / "x.xls").string())).ok);
    EXPECT_FALSE(record.PrintResults(nullptr, {}).ok);

    ASSERT_TRUE(record.OpenResultsWorkbook(L"Петя").ok);
    ResultsWorkbook* current = record.Workbook();
    EXPECT_TRUE(record.OpenResultsWorkbook(L"").ok);
    EXPECT_EQ(record.Workbook(), current);
}

TEST_F(RecordTest, ANameOfSpacesIsAName)
{
    ASSERT_TRUE(record.OpenResultsWorkbook(L"   ").ok);
    ASSERT_NE(record.Workbook(), nullptr);
    record.AddResultRow(L"a", L"1", L"Number");
    ASSERT_TRUE(record.SaveResultsOnClose().ok);
    const std::vector<Sheet> sheets = ReadWithSsconvert(file);
    ASSERT_EQ(sheets.size(), 1u);
    EXPECT_EQ(sheets[0].name, "   ");
}

TEST_F(RecordTest, ASecondStartSavesTheReplacedWorkbookFirst)
{
    ASSERT_TRUE(record.OpenResultsWorkbook(L"Петя").ok);
    record.AddResultRow(L"первый", L"1", L"Number");
    ASSERT_TRUE(record.OpenResultsWorkbook(L"Маша").ok);
    record.AddResultRow(L"второй", L"2", L"Number");
    ASSERT_TRUE(record.OpenResultsWorkbook(L"Петя").ok);
    record.AddResultRow(L"третий", L"3", L"Number");
    ASSERT_TRUE(record.SaveResultsOnClose().ok);

    const std::vector<Sheet> sheets = ReadWithSsconvert(file);
    ASSERT_EQ(sheets.size(), 2u);
    EXPECT_EQ(sheets[0].name, "Петя");
    EXPECT_EQ(sheets[0].rows, (std::vector<CsvRow> { { "первый", "1" }, { "третий", "3" } }));
    EXPECT_EQ(sheets[1].name, "Маша");
    EXPECT_EQ(sheets[1].rows, (std::vector<CsvRow> { { "второй", "2" } }));
}

TEST_F(RecordTest, SaveAsWritesACopyAndCloseStillWritesTheOwnFile)
{
    ASSERT_TRUE(record.OpenResultsWorkbook(L"Петя").ok);
    record.AddResultRow(L"a", L"1", L"Number");
    const fs::path copy = data.path / "copy.xls";
    ASSERT_TRUE(record.SaveResultsAs(Wide(copy.string())).ok);
    EXPECT_TRUE(fs::exists(copy));
    EXPECT_FALSE(fs::exists(file));
    ASSERT_TRUE(record.SaveResultsAs(L"").ok);  // an empty field saves to the own file
    EXPECT_TRUE(fs::exists(file));
    const ResultsStatus missing = record.SaveResultsAs(Wide((data.path / "nowhere" / "r.xls").string()));
    EXPECT_FALSE(missing.ok);
    EXPECT_THAT(missing.message, HasSubstr(L"nowhere"));
}

TEST_F(RecordTest, TuvoAsAPlainFileIsAClearFailureAndIsLeftAlone)
{
    WriteFile(data.path / "TUVO", "teacher's notes");
    const ResultsStatus opened = record.OpenResultsWorkbook(L"Петя");
    EXPECT_FALSE(opened.ok);
    EXPECT_THAT(opened.message, HasSubstr(L"TUVO"));
    ASSERT_NE(record.Workbook(), nullptr) << "the run goes on; save-as still works";
    record.AddResultRow(L"a", L"1", L"Number");
    const ResultsStatus closed = record.SaveResultsOnClose();
    EXPECT_FALSE(closed.ok);
    EXPECT_THAT(closed.message, HasSubstr(L"TUVO"));
    EXPECT_EQ(ReadFile(data.path / "TUVO"), "teacher's notes");
    EXPECT_TRUE(record.SaveResultsAs(Wide((data.path / "elsewhere.xls").string())).ok);
}

TEST_F(RecordTest, ADamagedFileIsReportedAsKeptAside)
{
    fs::create_directories(file.parent_path());
    WriteFile(file, "<Workbook>");
    const ResultsStatus opened = record.OpenResultsWorkbook(L"Петя");
    EXPECT_TRUE(opened.ok);
    EXPECT_THAT(opened.message, HasSubstr(L"сохранён как"));
    EXPECT_EQ(std::distance(fs::directory_iterator(file.parent_path()), fs::directory_iterator()), 1);
    ASSERT_TRUE(record.SaveResultsOnClose().ok);
    EXPECT_EQ(std::distance(fs::directory_iterator(file.parent_path()), fs::directory_iterator()), 2);
}

} // namespace
