// Where every loader gets the bytes of an asset, and how it says that one is
// missing or broken: one stderr line naming the kind, the resource number
// and the asset's file-like name (or the file it came from), the same for
// every kind.
//
//     AssetBytes bytes;
//     if (!OpenAsset(kTexGrid, "RCDATA", "texture", &bytes)) return nullptr;  // said: missing
//     if (!Decode(bytes.data, bytes.size, &out, &why)) {
//         ReportBadAsset(bytes, why.c_str());                                   // said: why
//         return nullptr;
//     }
//
// The bytes are the copy embedded in the executable, unless an asset folder
// is set (--data) and holds a file of the asset's name: then they are that
// file's. A file there that cannot be read or decoded makes the asset missing
// (it does not fall back to the embedded copy, which would hide the fault).
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct AssetBytes {
    const char* kind = "";  // "texture", "mesh", ... as the messages say it
    int id = 0;
    const char* name = "";  // e.g. "Data\\Textures\\grid.png"
    const uint8_t* data = nullptr;
    size_t size = 0;
    // Read from the asset folder: the file's path, and the bytes, which live
    // as long as a copy of `storage` does. Empty and null for the embedded
    // copy, which lives as long as the program.
    std::string file;
    std::shared_ptr<const std::vector<uint8_t>> storage;

    // What messages call it: the file it was read from, else its name.
    const char* Label() const { return file.empty() ? name : file.c_str(); }
};

// The bytes of resource `id` of `type` ("RCDATA", "MUSIC"). False, with
// "lumivane: <kind> resource <id> (<name>) is missing" on stderr, when the
// executable has none and the folder no file; `name` is what the caller
// expected it to be, if known. False with one line naming the file when the
// folder's file cannot be read.
bool OpenAsset(int id, const char* type, const char* kind, AssetBytes* out, const char* name = nullptr);

// "lumivane: <kind> resource <id> (<name>) cannot be used: <why>", or
// "... resource <id> from <file> cannot be used: <why>".
void ReportBadAsset(const AssetBytes& asset, const char* why);

// The asset folder: from now on OpenAsset looks for "<dir>/Data/Textures/
// grid.png" before it takes the embedded "Data\\Textures\\grid.png". Empty
// (the default): nothing is read from disk. Fonts always come from the
// executable: their readers keep reading the bytes for as long as the font
// lives.
void SetAssetFolder(const std::string& dir);
const std::string& AssetFolder();
// Where the folder would hold the asset of that file-like name (backslashes
// become slashes); empty without a folder.
std::string AssetFilePath(const char* name);

// Files larger than this are refused rather than read into memory.
constexpr size_t kMaxAssetFileBytes = size_t{256} << 20;
