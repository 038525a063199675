// A save of the results record killed at arbitrary moments (SIGKILL, as a power cut would stop
// it): the file at the record's path is always the old file or the new one, whole, and readable
// as a workbook; what a killed save leaves behind does not stop the next one and is cleared by it.
//
// The kill moments are real delays after the child announces its save: they spread over the
// measured length of an uninterrupted save. Nothing here asserts on timing.

#include "ResultsTestSupport.h"

#include "results/ResultsFile.h"
#include "results/ResultsWorkbook.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdint>
#include <random>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <vector>
#include <unistd.h>

namespace {

using results_test::TempFolder;
namespace fs = std::filesystem;

constexpr int kRowsAdded = 1000;
constexpr int kKills = 24;
constexpr uint32_t kSeed = 20090101;
const std::wstring kSheet = L"Петя";

std::string ReadBytes(const fs::path& path)
{
    std::string bytes;
    int error = 0;
    if (ResultsFile::ReadWhole(path, bytes, error) != ResultsFile::ReadResult::Read)
        return "<unreadable: errno " + std::to_string(error) + ">";
    return bytes;
}

// Opens the record at `path`, adds the rows of one long session and saves it to `target`.
bool AddSessionAndSave(const fs::path& path, const fs::path& target, int announceFd)
{
    ResultsWorkbook workbook(path.wstring(), kSheet);
    for (int i = 0; i < kRowsAdded; ++i)
        workbook.AddRow(L"Количество перетаскиваний предметов " + std::to_wstring(i), std::to_wstring(i * 7), L"Number");
    if (announceFd >= 0) {
        const char ready = 'S';
        if (::write(announceFd, &ready, 1) != 1)
            return false;
    }
    return workbook.Save(target == path ? L"" : target.wstring()).ok;
}

// Forks a child that saves the session over `path`; it writes one byte to the pipe just
// before Save. Answers the child's pid, with `announce` the pipe's reading end.
pid_t StartSavingChild(const fs::path& path, int& announce)
{
    int fds[2];
    if (::pipe(fds) != 0)
        return -1;
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        const bool ok = AddSessionAndSave(path, path, fds[1]);
        ::_exit(ok ? 0 : 3);
    }
    ::close(fds[1]);
    announce = fds[0];
    return pid;
}

// Waits for the child's announcement; false when it died before.
bool AwaitAnnouncement(int announce)
{
    char byte = 0;
    ssize_t got;
    do
        got = ::read(announce, &byte, 1);
    while (got < 0 && errno == EINTR);
    return got == 1;
}

int Reap(pid_t pid)
{
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) { }
    return status;
}

TEST(PowerCut, KilledSaveLeavesTheOldOrTheNewFileWhole)
{
    TempFolder folder;
    TempFolder elsewhere;
    const fs::path path = folder.path / "results.xls";

    // The old record: one earlier session.
    {
        ResultsWorkbook first(path.wstring(), kSheet);
        first.AddRow(L"Время начала работы с упражнением", L"01-January-2009 09:05", L"String");
        first.AddRow(L"Количество лишних кликов", L"2", L"Number");
        ASSERT_TRUE(first.Save(L"").ok);
    }
    const std::string oldBytes = ReadBytes(path);
    ASSERT_NE(oldBytes.find("09:05"), std::string::npos);

    // The new record, as an uninterrupted save writes it.
    const fs::path expectedPath = elsewhere.path / "expected.xls";
    ASSERT_TRUE(AddSessionAndSave(path, expectedPath, -1));
    const std::string newBytes = ReadBytes(expectedPath);
    ASSERT_GT(newBytes.size(), oldBytes.size());

    // How long a save takes, from the announcement to the child's end.
    int announce = -1;
    pid_t pid = StartSavingChild(path, announce);
    ASSERT_GT(pid, 0);
    ASSERT_TRUE(AwaitAnnouncement(announce));
    const auto started = std::chrono::steady_clock::now();
    const int calibration = Reap(pid);
    const auto saveLength = std::chrono::steady_clock::now() - started;
    ::close(announce);
    ASSERT_TRUE(WIFEXITED(calibration) && WEXITSTATUS(calibration) == 0);
    ASSERT_EQ(ReadBytes(path), newBytes);
    const auto spread = std::chrono::duration_cast<std::chrono::microseconds>(saveLength).count() * 11 / 10 + 1;

    std::mt19937 random(kSeed);
    int keptOld = 0;
    int gotNew = 0;
    for (int kill = 0; kill < kKills; ++kill) {
        ASSERT_EQ(ResultsFile::ReplaceWhole(path, oldBytes), 0);
        const auto delay = std::chrono::microseconds(std::uniform_int_distribution<int64_t>(0, spread)(random));
        SCOPED_TRACE("seed " + std::to_string(kSeed) + ", kill " + std::to_string(kill) + " at "
            + std::to_string(delay.count()) + " us into a save of " + std::to_string(spread) + " us");

        pid = StartSavingChild(path, announce);
        ASSERT_GT(pid, 0);
        const bool announced = AwaitAnnouncement(announce);
        ::close(announce);
        if (announced)
            std::this_thread::sleep_for(delay);
        ::kill(pid, SIGKILL);
        const int status = Reap(pid);
        ASSERT_TRUE(announced);
        ASSERT_TRUE(WIFSIGNALED(status) || (WIFEXITED(status) && WEXITSTATUS(status) == 0));

        const std::string now = ReadBytes(path);
        if (now == oldBytes)
            ++keptOld;
        else if (now == newBytes)
            ++gotNew;
        else
            FAIL() << "the record is neither the old nor the new file (" << now.size() << " bytes)";
        ResultsWorkbook reread(path.wstring(), kSheet);
        EXPECT_EQ(reread.OpenMessage(), L"");
    }
    // Kills early in the save are certain to come before the rename.
    EXPECT_GT(keptOld, 0) << "no kill landed before the file was replaced";
    std::printf("power cut: %d kills kept the old file, %d came after the new one was in place\n", keptOld, gotNew);

    // Nothing but the record and the temporary of the last killed save is in the folder:
    // each save clears what killed ones left.
    const auto temporaries = [&folder] {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder.path)) {
            const std::string name = entry.path().filename().string();
            if (name != "results.xls")
                names.push_back(name);
        }
        return names;
    };
    const std::vector<std::string> left = temporaries();
    EXPECT_LE(left.size(), 1u);
    for (const std::string& name : left)
        EXPECT_EQ(name.rfind(".results.xls.tmp-", 0), 0u) << "unexpected file " << name;

    // A temporary of a running process (pid 1) stays; one of a process that has ended goes.
    const pid_t ended = ::fork();
    if (ended == 0)
        ::_exit(0);
    ASSERT_GT(ended, 0);
    Reap(ended);
    const std::string running = ".results.xls.tmp-1-0";
    const std::string stale = ".results.xls.tmp-" + std::to_string(ended) + "-3";
    ASSERT_EQ(ResultsFile::ReplaceWhole(folder.path / running, "in use"), 0);
    ASSERT_EQ(ResultsFile::ReplaceWhole(folder.path / stale, "left by a power cut"), 0);

    // The next save, in this process, succeeds over them and writes the whole new record.
    ASSERT_EQ(ResultsFile::ReplaceWhole(path, oldBytes), 0);
    ASSERT_TRUE(AddSessionAndSave(path, path, -1));
    EXPECT_EQ(ReadBytes(path), newBytes);
    EXPECT_EQ(temporaries(), std::vector<std::string> { running });
}

} // namespace
