// Numbered resources and named blobs: the compiled-in set, installed test items and the
// companion zip beside the executable.

#include "platform/Resources.h"

#include <gtest/gtest.h>

#include <zip.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

std::vector<uint8_t> Bytes(const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); }

std::vector<uint8_t> Copy(std::span<const uint8_t> span) { return std::vector<uint8_t>(span.begin(), span.end()); }

class Companion : public testing::Test {
protected:
    void SetUp() override
    {
        folder = std::filesystem::temp_directory_path() / ("tirlan-resources-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder);
        path = folder / "Animations.dll";
    }
    void TearDown() override
    {
        SetCompanionPath({});
        ClearInstalledResources();
        std::filesystem::remove_all(folder);
    }

    // A zip with one stored entry per (name, text).
    void WriteZip(const std::vector<std::pair<std::string, std::string>>& entries)
    {
        int error = 0;
        zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
        ASSERT_TRUE(archive);
        for (const auto& [name, text] : entries) {
            zip_source_t* source = zip_source_buffer(archive, text.data(), text.size(), 0);
            ASSERT_GE(zip_file_add(archive, name.c_str(), source, ZIP_FL_OVERWRITE), 0);
        }
        ASSERT_EQ(zip_close(archive), 0); // copies the buffers, which must live until here
    }

    std::filesystem::path folder;
    std::filesystem::path path;
};

TEST_F(Companion, MissingIdsAreLookedUpInTheZip)
{
    std::string a = "first resource";
    std::string b(70000, 'x');
    WriteZip({ { "41001", a }, { "41002", b }, { "041003", "leading zero" }, { "notes.txt", "n" } });
    SetCompanionPath(path);
    EXPECT_EQ(CompanionPath(), path);
    EXPECT_EQ(Copy(FindNumberedResource(41001)), Bytes(a));
    EXPECT_EQ(Copy(FindNumberedResource(41002)), Bytes(b));
    EXPECT_TRUE(FindNumberedResource(41003).empty()); // entries are named without leading zeros
    EXPECT_TRUE(FindNumberedResource(41004).empty());
    // A second lookup gives the same bytes at the same place.
    EXPECT_EQ(FindNumberedResource(41001).data(), FindNumberedResource(41001).data());
}

TEST_F(Companion, ProgramsOwnDataComesFirst)
{
    WriteZip({ { "41010", "from the companion" } });
    SetCompanionPath(path);
    InstallNumberedResource(41010, Bytes("own"));
    EXPECT_EQ(Copy(FindNumberedResource(41010)), Bytes("own"));
    if (embeddedResourceCount > 0) {
        const EmbeddedResource& own = embeddedResources[0];
        WriteZip({ { std::to_string(own.id), "shadow" } });
        SetCompanionPath(path);
        auto found = FindNumberedResource(own.id);
        EXPECT_EQ(found.data(), own.begin);
        EXPECT_EQ(found.size(), size_t(own.end - own.begin));
    }
}

TEST_F(Companion, MissingOrDamagedCompanionFindsNothing)
{
    SetCompanionPath(folder / "absent.dll");
    EXPECT_TRUE(FindNumberedResource(41020).empty());
    std::ofstream(path, std::ios::binary) << "PK\x03\x04 this is not really a zip archive";
    SetCompanionPath(path);
    EXPECT_TRUE(FindNumberedResource(41020).empty());
    // An archive cut short: its central directory is gone.
    WriteZip({ { "41020", std::string(5000, 'q') } });
    std::filesystem::resize_file(path, std::filesystem::file_size(path) - 30);
    SetCompanionPath(path);
    EXPECT_TRUE(FindNumberedResource(41020).empty());
}

TEST(Resources, DefaultCompanionLiesBesideTheExecutable)
{
    auto expected = std::filesystem::read_symlink("/proc/self/exe").parent_path() / "Animations.dll";
    EXPECT_EQ(CompanionPath(), expected);
}

TEST(Resources, InstalledBlobsAndCompiledInBlobsAreFoundByName)
{
    EXPECT_TRUE(FindNamedBlob("no-such-blob").empty());
    InstallNamedBlob("test_blob", Bytes("abc"));
    EXPECT_EQ(Copy(FindNamedBlob("test_blob")), Bytes("abc"));
    ClearInstalledResources();
    EXPECT_TRUE(FindNamedBlob("test_blob").empty());
    for (size_t i = 0; i < embeddedBlobCount; ++i) {
        auto found = FindNamedBlob(embeddedBlobs[i].name);
        EXPECT_EQ(found.data(), embeddedBlobs[i].begin) << embeddedBlobs[i].name;
        EXPECT_FALSE(found.empty()) << embeddedBlobs[i].name;
    }
}

} // namespace
