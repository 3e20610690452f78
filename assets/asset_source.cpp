#include "assets/asset_source.h"

#include <cstdio>

#include "assets/resources.h"

bool OpenAsset(int id, const char* type, const char* kind, AssetBytes* out, const char* name) {
    *out = AssetBytes{};
    out->kind = kind;
    out->id = id;
    if (name) out->name = name;
    const EmbeddedResource* resource = FindResource(id, type);
    if (!resource) {
        if (name)
            std::fprintf(stderr, "lumivane: %s resource %d (%s) is missing\n", kind, id, name);
        else
            std::fprintf(stderr, "lumivane: %s resource %d is missing\n", kind, id);
        return false;
    }
    out->name = resource->name;
    out->data = static_cast<const uint8_t*>(LockResource(resource));
    out->size = SizeofResource(resource);
    return true;
}

void ReportBadAsset(const AssetBytes& asset, const char* why) {
    std::fprintf(stderr, "lumivane: %s resource %d (%s) cannot be used: %s\n", asset.kind, asset.id, asset.name, why);
}
