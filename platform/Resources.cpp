#include "platform/Resources.h"

#include "platform/Debug.h"

#include <zip.h>

#include <map>
#include <mutex>
#include <string>
#include <unistd.h>

namespace {

// A companion entry larger than this is taken for damage and not read.
constexpr zip_uint64_t kMaxCompanionEntryBytes = 64ull * 1024 * 1024;

struct ResourceStore {
    std::mutex lock;
    std::map<uint16_t, std::vector<uint8_t>> installedResources;
    std::map<std::string, std::vector<uint8_t>, std::less<>> installedBlobs;
    std::map<uint16_t, std::vector<uint8_t>> companionCache;
    std::filesystem::path companionOverride;
};

ResourceStore& Store()
{
    static ResourceStore store;
    return store;
}

std::filesystem::path ExecutableFolder()
{
    std::error_code error;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        return std::filesystem::current_path(error);
    return exe.parent_path();
}

std::filesystem::path CompanionPathLocked(const ResourceStore& store)
{
    if (!store.companionOverride.empty())
        return store.companionOverride;
    return ExecutableFolder() / "Animations.dll";
}

bool ReadCompanionEntry(const std::filesystem::path& path, uint16_t id, std::vector<uint8_t>& out)
{
    int error = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_RDONLY, &error);
    if (!archive)
        return false;
    bool ok = false;
    std::string entryName = std::to_string(id);
    zip_int64_t index = zip_name_locate(archive, entryName.c_str(), 0);
    zip_stat_t info;
    zip_stat_init(&info);
    if (index >= 0 && zip_stat_index(archive, zip_uint64_t(index), 0, &info) == 0
        && (info.valid & ZIP_STAT_SIZE) && info.size <= kMaxCompanionEntryBytes) {
        if (zip_file_t* file = zip_fopen_index(archive, zip_uint64_t(index), 0)) {
            std::vector<uint8_t> bytes(size_t(info.size));
            zip_int64_t got = bytes.empty() ? 0 : zip_fread(file, bytes.data(), bytes.size());
            if (got >= 0 && zip_uint64_t(got) == info.size) {
                out = std::move(bytes);
                ok = true;
            }
            zip_fclose(file);
        }
    }
    if (index >= 0 && !ok)
        DebugOutput("resource " + entryName + " of " + path.string() + " cannot be read");
    zip_discard(archive);
    return ok;
}

} // namespace

std::span<const uint8_t> FindNumberedResource(uint16_t id)
{
    ResourceStore& store = Store();
    std::lock_guard guard(store.lock);
    if (auto found = store.installedResources.find(id); found != store.installedResources.end())
        return found->second;
    for (size_t i = 0; i < embeddedResourceCount; ++i) {
        if (embeddedResources[i].id == id)
            return { embeddedResources[i].begin, embeddedResources[i].end };
    }
    if (auto found = store.companionCache.find(id); found != store.companionCache.end())
        return found->second;
    std::vector<uint8_t> bytes;
    if (!ReadCompanionEntry(CompanionPathLocked(store), id, bytes) || bytes.empty())
        return {};
    auto [where, inserted] = store.companionCache.emplace(id, std::move(bytes));
    return where->second;
}

std::span<const uint8_t> FindNamedBlob(std::string_view name)
{
    ResourceStore& store = Store();
    std::lock_guard guard(store.lock);
    if (auto found = store.installedBlobs.find(name); found != store.installedBlobs.end())
        return found->second;
    for (size_t i = 0; i < embeddedBlobCount; ++i) {
        if (name == embeddedBlobs[i].name)
            return { embeddedBlobs[i].begin, embeddedBlobs[i].end };
    }
    return {};
}

std::filesystem::path CompanionPath()
{
    ResourceStore& store = Store();
    std::lock_guard guard(store.lock);
    return CompanionPathLocked(store);
}

void InstallNumberedResource(uint16_t id, std::vector<uint8_t> bytes)
{
    ResourceStore& store = Store();
    std::lock_guard guard(store.lock);
    store.installedResources[id] = std::move(bytes);
}

void InstallNamedBlob(std::string name, std::vector<uint8_t> bytes)
{
    ResourceStore& store = Store();
    std::lock_guard guard(store.lock);
    store.installedBlobs[std::move(name)] = std::move(bytes);
}

void ClearInstalledResources()
{
    ResourceStore& store = Store();
    std::lock_guard guard(store.lock);
    store.installedResources.clear();
    store.installedBlobs.clear();
}

void SetCompanionPath(const std::filesystem::path& path)
{
    ResourceStore& store = Store();
    std::lock_guard guard(store.lock);
    store.companionOverride = path;
    store.companionCache.clear();
}
