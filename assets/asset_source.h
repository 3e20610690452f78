// Where every loader gets the bytes of an embedded asset, and how it says
// that one is missing or broken: one stderr line naming the kind, the
// resource number and the asset's file-like name, the same for every kind.
//
//     AssetBytes bytes;
//     if (!OpenAsset(kTexGrid, "RCDATA", "texture", &bytes)) return nullptr;  // said: missing
//     if (!Decode(bytes.data, bytes.size, &out, &why)) {
//         ReportBadAsset(bytes, why.c_str());                                   // said: why
//         return nullptr;
//     }
#pragma once
#include <cstddef>
#include <cstdint>

struct AssetBytes {
    const char* kind = "";  // "texture", "mesh", ... as the messages say it
    int id = 0;
    const char* name = "";  // e.g. "Data\\Textures\\grid.png"
    const uint8_t* data = nullptr;
    size_t size = 0;
};

// The bytes of resource `id` of `type` ("RCDATA", "MUSIC"). False, with
// "lumivane: <kind> resource <id> (<name>) is missing" on stderr, when the
// executable has none; `name` is what the caller expected it to be, if known.
bool OpenAsset(int id, const char* type, const char* kind, AssetBytes* out, const char* name = nullptr);

// "lumivane: <kind> resource <id> (<name>) cannot be used: <why>".
void ReportBadAsset(const AssetBytes& asset, const char* why);
