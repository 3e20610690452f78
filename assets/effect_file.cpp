#include "assets/effect_file.h"

#include "assets/asset_source.h"

Gpu::Effect* LoadEffectResource(int resourceId, const char* name) {
    AssetBytes bytes;
    if (!OpenAsset(resourceId, "RCDATA", "effect", &bytes, name)) return nullptr;
    // A file that does not compile is reported by the layer, with its name.
    return Gpu::CreateEffect(reinterpret_cast<const char*>(bytes.data), bytes.size, name && *name ? name : bytes.name);
}
