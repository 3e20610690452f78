#include "assets/effect_file.h"

#include "assets/asset_source.h"

Gpu::Effect* LoadEffectResource(int resourceId, const char* name) {
    AssetBytes bytes;
    if (!OpenAsset(resourceId, "RCDATA", "effect", &bytes, name)) return nullptr;
    // A file that does not compile is reported by the layer, with its name
    // (the folder's file when it came from there).
    const char* label = !bytes.file.empty() ? bytes.file.c_str() : name && *name ? name : bytes.name;
    return Gpu::CreateEffect(reinterpret_cast<const char*>(bytes.data), bytes.size, label);
}
