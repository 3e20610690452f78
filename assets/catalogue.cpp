#include "assets/catalogue.h"

#include <map>

#include "assets/cube_texture.h"
#include "assets/effect_file.h"
#include "assets/mesh.h"
#include "assets/prefetch.h"
#include "assets/resource_ids.h"
#include "assets/texture.h"

namespace {

// In preload order: meshes, effects, textures, then the cube map.
const CatalogueEntry kMeshes[] = {
    {kMeshHead, "Data\\meshs\\t2_head.x"},
    {kMeshHand, "Data\\meshs\\t2_hand.x"},
    {kMeshCylinder, "Data\\meshs\\head_cylinder.x"},
};
const CatalogueEntry kEffects[] = {
    {kFxBloomH, "Data\\Shaders\\PP_BloomH.fx"},
    {kFxBloomV, "Data\\Shaders\\PP_BloomV.fx"},
    {kFxBrightPass, "Data\\Shaders\\PP_BrightPass.fx"},
    {kFxCombine, "Data\\Shaders\\PP_Combine.fx"},
    {kFxCombine4, "Data\\Shaders\\PP_Combine4.fx"},
    {kFxDownFilter4, "Data\\Shaders\\PP_DownFilter4.fx"},
    {kFxUpFilter4, "Data\\Shaders\\PP_UpFilter4.fx"},
    {kFxScene, "Data\\Shaders\\Scene.fx"},
    {kFxVoxel, "Data\\Shaders\\Voxel.fx"},
    {kFxRgbSplit, "Data\\Shaders\\RGBSplit.fx"},
    {kFxBlurNormalsH, "Data\\Shaders\\PP_BlurNormalsH.fx"},
    {kFxBlurNormalsV, "Data\\Shaders\\PP_BlurNormalsV.fx"},
    {kFxLightNormals, "Data\\Shaders\\PP_LightNormals.fx"},
};
const CatalogueEntry kTextures[] = {
    {kTexLogo, "Data\\Textures\\tavorin_t3logo.png"},
    {kTexGrid, "Data\\Textures\\grid.png"},
    {kTexMetaFont, "Data\\Textures\\meta_font.png"},
    {kTexHeadAO, "Data\\Textures\\head_AO.png"},
    {kTexHandAO, "Data\\Textures\\hand_AO.png"},
    {kTexLoader, "Data\\Textures\\tavorin_t3loader.png"},
    {kTexLoadingPip, "Data\\Textures\\loading_pip.png"},
    {kTexMission, "Data\\Textures\\tavorin_t3mission.png"},
    {kTexEndScreen, "Data\\Textures\\tavorin_t3endscreen.png"},
    {kTexLaserFont, "Data\\Textures\\laser_font.png"},
    {kTexLaserFlare, "Data\\Textures\\laser_flare.png"},
    {kTexLaserSmoke, "Data\\Textures\\laser_smoke.png"},
    {kTexOverlay1, "Data\\Textures\\t2_overlay1.png"},
    {kTexOverlay2, "Data\\Textures\\t2_overlay2.png"},
    {kTexOverlay3, "Data\\Textures\\t2_overlay3.png"},
    {kTexOverlay4, "Data\\Textures\\t2_overlay4.png"},
    {kTexScrollerOverlay, "Data\\Textures\\tavorin_t3scrolleroverlay.png"},
    {kTexFunText, "Data\\Textures\\tavorin_t3_funtext.png"},
};
const CatalogueEntry kCubeTextures[] = {
    {kCubeStudio, "Data\\Textures\\cubemap.dds"},
};

constexpr int kMeshCount = sizeof kMeshes / sizeof kMeshes[0];
constexpr int kEffectCount = sizeof kEffects / sizeof kEffects[0];
constexpr int kTextureCount = sizeof kTextures / sizeof kTextures[0];
constexpr int kCubeCount = sizeof kCubeTextures / sizeof kCubeTextures[0];
static_assert(kMeshCount + kEffectCount + kTextureCount + kCubeCount == kCatalogueSize);

// The maps own the loaded objects until ReleaseCatalogue.
std::map<int, Mesh*> s_meshes;
std::map<int, Gpu::Effect*> s_effects;
std::map<int, Texture*> s_textures;
std::map<int, CubeTexture*> s_cubeTextures;
int s_preloadIndex = 0;  // never goes back

// The float nearest 1/35.
constexpr float kProgressStep = 0.028571429f;

// operator[] inserts a null entry for an id it has not seen, which later
// lookups then find.
template <typename T>
T* Lookup(std::map<int, T*>& map, int resourceId) {
    return map[resourceId];
}

}  // namespace

const CatalogueEntry& GetCatalogueEntry(int index, AssetKind* kind) {
    if (index < kMeshCount) {
        *kind = AssetKind::Mesh;
        return kMeshes[index];
    }
    if ((index -= kMeshCount) < kEffectCount) {
        *kind = AssetKind::Effect;
        return kEffects[index];
    }
    if ((index -= kEffectCount) < kTextureCount) {
        *kind = AssetKind::Texture;
        return kTextures[index];
    }
    *kind = AssetKind::CubeTexture;
    return kCubeTextures[index - kTextureCount];
}

bool PreloadNextAsset(float* progress) {
    if (s_preloadIndex >= kCatalogueSize) {
        *progress = 1.0f;
        return true;
    }
    AssetKind kind;
    const CatalogueEntry& e = GetCatalogueEntry(s_preloadIndex, &kind);
    switch (kind) {
    case AssetKind::Mesh: s_meshes[e.resourceId] = Mesh::FromResource(e.resourceId); break;
    case AssetKind::Effect: s_effects[e.resourceId] = LoadEffectResource(e.resourceId, e.name); break;
    case AssetKind::Texture: s_textures[e.resourceId] = Texture::FromResource(e.resourceId); break;
    case AssetKind::CubeTexture: s_cubeTextures[e.resourceId] = CubeTexture::FromResource(e.resourceId); break;
    }
    ++s_preloadIndex;
    float next = *progress + kProgressStep;
    *progress = next < 1.0f ? next : 1.0f;
    return false;
}

bool NextAssetDecoded() {
    if (s_preloadIndex >= kCatalogueSize) return true;
    AssetKind kind;
    const CatalogueEntry& e = GetCatalogueEntry(s_preloadIndex, &kind);
    return kind == AssetKind::Effect || AssetPrefetch::IsDecoded(e.resourceId);
}

void ReleaseCatalogue() {
    AssetPrefetch::Stop();  // what it decoded ahead goes too
    for (auto& [id, mesh] : s_meshes) delete mesh;
    for (auto& [id, effect] : s_effects) Gpu::ReleaseEffect(effect);
    for (auto& [id, texture] : s_textures) DeleteTexture(texture);
    for (auto& [id, cube] : s_cubeTextures) {
        if (cube) cube->Release();
        delete cube;
    }
    s_meshes.clear();
    s_effects.clear();
    s_textures.clear();
    s_cubeTextures.clear();
    s_preloadIndex = 0;
}

Texture* GetTexture(int resourceId) { return Lookup(s_textures, resourceId); }
Mesh* GetMesh(int resourceId) { return Lookup(s_meshes, resourceId); }
CubeTexture* GetCubeTexture(int resourceId) { return Lookup(s_cubeTextures, resourceId); }
Gpu::Effect* GetEffect(int resourceId) { return Lookup(s_effects, resourceId); }
