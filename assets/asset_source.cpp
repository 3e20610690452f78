#include "assets/asset_source.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "assets/resources.h"

namespace {

std::string s_folder;

// A font's readers (FreeType, the dialog's) keep reading the bytes they were
// made from: only the embedded copy lives long enough for them.
bool KeepsReadingItsBytes(const char* kind) { return std::strcmp(kind, "font") == 0; }

// The whole file, or false with the reason.
bool ReadWholeFile(const std::string& path, std::vector<uint8_t>* bytes, std::string* why) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        *why = std::strerror(errno);
        return false;
    }
    bool ok = true;
    uint8_t chunk[65536];
    for (size_t got; (got = std::fread(chunk, 1, sizeof chunk, file)) > 0;) {
        if (bytes->size() + got > kMaxAssetFileBytes) {
            *why = "larger than " + std::to_string(kMaxAssetFileBytes >> 20) + " MiB";
            ok = false;
            break;
        }
        bytes->insert(bytes->end(), chunk, chunk + got);
    }
    if (ok && std::ferror(file)) {
        *why = std::strerror(errno);
        ok = false;
    }
    std::fclose(file);
    return ok;
}

}  // namespace

void SetAssetFolder(const std::string& dir) { s_folder = dir; }
const std::string& AssetFolder() { return s_folder; }

std::string AssetFilePath(const char* name) {
    if (s_folder.empty() || !name || !*name) return std::string();
    std::string path = s_folder + "/" + name;
    for (size_t i = s_folder.size(); i < path.size(); ++i)
        if (path[i] == '\\') path[i] = '/';
    return path;
}

bool OpenAsset(int id, const char* type, const char* kind, AssetBytes* out, const char* name) {
    *out = AssetBytes{};
    out->kind = kind;
    out->id = id;
    if (name) out->name = name;
    const EmbeddedResource* resource = FindResource(id, type);
    if (resource) out->name = resource->name;

    // The folder's file of that name, where there is one.
    std::string path = KeepsReadingItsBytes(kind) ? std::string() : AssetFilePath(out->name);
    struct stat info;
    if (!path.empty() && stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode)) {
        auto bytes = std::make_shared<std::vector<uint8_t>>();
        if (info.st_size > 0 && static_cast<size_t>(info.st_size) <= kMaxAssetFileBytes)
            bytes->reserve(static_cast<size_t>(info.st_size));
        std::string why;
        if (!ReadWholeFile(path, bytes.get(), &why)) {
            std::fprintf(stderr, "lumivane: %s resource %d from %s cannot be read: %s\n", kind, id, path.c_str(),
                         why.c_str());
            return false;
        }
        // An empty file still gives a pointer: the decoders then say why it is no use.
        static const uint8_t kNoBytes = 0;
        out->file = path;
        out->data = bytes->empty() ? &kNoBytes : bytes->data();
        out->size = bytes->size();
        out->storage = std::move(bytes);
        return true;
    }

    if (!resource) {
        if (name)
            std::fprintf(stderr, "lumivane: %s resource %d (%s) is missing\n", kind, id, name);
        else
            std::fprintf(stderr, "lumivane: %s resource %d is missing\n", kind, id);
        return false;
    }
    out->data = static_cast<const uint8_t*>(LockResource(resource));
    out->size = SizeofResource(resource);
    return true;
}

void ReportBadAsset(const AssetBytes& asset, const char* why) {
    if (!asset.file.empty())
        std::fprintf(stderr, "lumivane: %s resource %d from %s cannot be used: %s\n", asset.kind, asset.id,
                     asset.file.c_str(), why);
    else
        std::fprintf(stderr, "lumivane: %s resource %d (%s) cannot be used: %s\n", asset.kind, asset.id, asset.name,
                     why);
}
