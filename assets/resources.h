// The assets compiled into the executable, found by number and type the way
// the show's code asks for them: find, size, lock. Loaders go through
// OpenAsset (assets/asset_source.h), which also reports a missing one.
#pragma once
#include <cstddef>
#include <cstdint>

// One row of the generated table (Data/resources.manifest lists them).
struct EmbeddedResource {
    int id;
    const char* type;  // "RCDATA", or "MUSIC" for the soundtrack
    const char* name;  // the asset's file-like label, e.g. "Data\\Shaders\\RGBSplit.fx"
    const unsigned char* begin;
    const unsigned char* end;  // followed by a zero byte that the size leaves out
};

extern const EmbeddedResource kEmbeddedResources[];  // ends with a row of id 0

// Null when the executable carries no resource of that type and id.
const EmbeddedResource* FindResource(int id, const char* type);
uint32_t SizeofResource(const EmbeddedResource* resource);
const void* LockResource(const EmbeddedResource* resource);
