#include "assets/effect_reload.h"

#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "assets/asset_source.h"
#include "platform/gpu.h"

namespace EffectFiles {

namespace {

// What a look at a file saw: whether it was there, its size and its
// modification time, to the nanosecond where the file system keeps it.
struct Stamp {
    bool exists = false;
    long long size = 0, seconds = 0, nanoseconds = 0;
    bool operator==(const Stamp&) const = default;
};

struct WatchedFile {
    int resourceId = 0;
    std::string name;  // file-like, as the catalogue names it
    std::string path;  // where the asset folder would have it; empty without one
    Stamp seen;
    std::vector<Gpu::Effect**> slots;
    std::string error;  // "<file>: <first error line>"; empty while it compiles
};

std::vector<WatchedFile> s_files;
std::chrono::steady_clock::time_point s_lastLook;

Stamp Look(const std::string& path) {
    Stamp stamp;
    struct stat info;
    if (path.empty() || stat(path.c_str(), &info) != 0 || S_ISDIR(info.st_mode)) return stamp;
    stamp.exists = true;
    stamp.size = static_cast<long long>(info.st_size);
    stamp.seconds = static_cast<long long>(info.st_mtim.tv_sec);
    stamp.nanoseconds = static_cast<long long>(info.st_mtim.tv_nsec);
    return stamp;
}

// The file's current version into one handle. A compiled one takes over the
// handle's contents (or fills a null slot); a failure leaves the handle as
// it was and says why in `error`.
bool CompileInto(const AssetBytes& bytes, Gpu::Effect** slot, std::string* error) {
    Gpu::Effect* fresh =
        Gpu::CompileEffect(reinterpret_cast<const char*>(bytes.data), bytes.size, bytes.Label(), error);
    if (!fresh) return false;
    if (!*slot)
        *slot = fresh;
    else if (!Gpu::ReplaceEffect(*slot, fresh))
        Gpu::ReleaseEffect(fresh);  // never happens between frames
    return true;
}

// Compiles the file into `slots`; the first failure stops there, since they
// all read the same text. Keeps the first line of the error on the file.
bool CompileFile(WatchedFile& file, Gpu::Effect** const* slots, size_t count, bool announce) {
    AssetBytes bytes;
    if (!OpenAsset(file.resourceId, "RCDATA", "effect", &bytes, file.name.c_str())) {
        // OpenAsset has said why; there is nothing to compile.
        file.error = file.name + ": missing or unreadable";
        return false;
    }
    std::string error;
    bool compiled = true;
    for (size_t i = 0; i < count && compiled; ++i) compiled = CompileInto(bytes, slots[i], &error);
    if (compiled) {
        if (announce || !file.error.empty()) std::fprintf(stderr, "lumivane: %s reloaded\n", bytes.Label());
        file.error.clear();
        return true;
    }
    file.error = std::string(bytes.Label()) + ": " + error.substr(0, error.find('\n'));
    std::fprintf(stderr, "lumivane: %s\n", file.error.c_str());
    return false;
}

}  // namespace

void Load(Gpu::Effect** slot, int resourceId, const char* name) {
    *slot = nullptr;
    auto it =
        std::find_if(s_files.begin(), s_files.end(), [&](const WatchedFile& f) { return f.resourceId == resourceId; });
    if (it == s_files.end()) {
        WatchedFile file;
        file.resourceId = resourceId;
        file.name = name ? name : "";
        file.path = AssetFilePath(file.name.c_str());
        s_files.push_back(std::move(file));
        it = s_files.end() - 1;
    }
    if (std::find(it->slots.begin(), it->slots.end(), slot) == it->slots.end()) it->slots.push_back(slot);
    it->seen = Look(it->path);
    CompileFile(*it, &slot, 1, false);
}

void Forget(Gpu::Effect** slot) {
    for (WatchedFile& file : s_files)
        file.slots.erase(std::remove(file.slots.begin(), file.slots.end(), slot), file.slots.end());
    s_files.erase(std::remove_if(s_files.begin(), s_files.end(), [](const WatchedFile& f) { return f.slots.empty(); }),
                  s_files.end());
}

bool ReloadChanged() {
    const auto now = std::chrono::steady_clock::now();
    if (std::chrono::duration<double>(now - s_lastLook).count() < kLookInterval) return false;
    s_lastLook = now;
    return ReloadChangedNow();
}

bool ReloadChangedNow() {
    if (AssetFolder().empty()) return false;
    bool changed = false;
    for (WatchedFile& file : s_files) {
        const Stamp stamp = Look(file.path);
        if (stamp == file.seen) continue;
        file.seen = stamp;
        changed |= CompileFile(file, file.slots.data(), file.slots.size(), true);
    }
    return changed;
}

const char* Error() {
    for (const WatchedFile& file : s_files)
        if (!file.error.empty()) return file.error.c_str();
    return nullptr;
}

}  // namespace EffectFiles
