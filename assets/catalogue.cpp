#include "assets/catalogue.h"

#include <map>

#include "assets/cube_texture.h"
#include "assets/effect_reload.h"
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

// The maps own the loaded objects until ReleaseCatalogue. They are made once
// and never destroyed: a process that ends without that call (a test, say)
// still holds every asset through them at exit, so nothing it loaded counts
// as leaked, and no static destructor runs after the GPU has gone. A map's
// entries stay where they are, so the effects' entries are where live effect
// files (assets/effect_reload.h) put a reloaded effect.
struct Maps {
    std::map<int, Mesh*> meshes;
    std::map<int, Gpu::Effect*> effects;
    std::map<int, Texture*> textures;
    std::map<int, CubeTexture*> cubeTextures;
};
Maps& TheMaps() {
    static Maps* s_maps = new Maps;
    return *s_maps;
}
int s_preloadIndex = 0;  // goes back only with RewindPreload and ReleaseCatalogue
int s_loadedCount = 0;   // entries 0 .. s_loadedCount - 1 have been loaded

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
    if (s_preloadIndex >= s_loadedCount) {
        AssetKind kind;
        const CatalogueEntry& e = GetCatalogueEntry(s_preloadIndex, &kind);
        Maps& maps = TheMaps();
        switch (kind) {
        case AssetKind::Mesh: maps.meshes[e.resourceId] = Mesh::FromResource(e.resourceId); break;
        case AssetKind::Effect: EffectFiles::Load(&maps.effects[e.resourceId], e.resourceId, e.name); break;
        case AssetKind::Texture: maps.textures[e.resourceId] = Texture::FromResource(e.resourceId); break;
        case AssetKind::CubeTexture: maps.cubeTextures[e.resourceId] = CubeTexture::FromResource(e.resourceId); break;
        }
        s_loadedCount = s_preloadIndex + 1;
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
    for (auto& [id, mesh] : TheMaps().meshes) delete mesh;
    for (auto& [id, effect] : TheMaps().effects) {
        EffectFiles::Forget(&effect);
        Gpu::ReleaseEffect(effect);
    }
    for (auto& [id, texture] : TheMaps().textures) DeleteTexture(texture);
    for (auto& [id, cube] : TheMaps().cubeTextures) {
        if (cube) cube->Release();
        delete cube;
    }
    TheMaps().meshes.clear();
    TheMaps().effects.clear();
    TheMaps().textures.clear();
    TheMaps().cubeTextures.clear();
    s_preloadIndex = 0;
    s_loadedCount = 0;
}

void RewindPreload() { s_preloadIndex = 0; }

Texture* GetTexture(int resourceId) { return Lookup(TheMaps().textures, resourceId); }
Mesh* GetMesh(int resourceId) { return Lookup(TheMaps().meshes, resourceId); }
CubeTexture* GetCubeTexture(int resourceId) { return Lookup(TheMaps().cubeTextures, resourceId); }
Gpu::Effect* GetEffect(int resourceId) { return Lookup(TheMaps().effects, resourceId); }
