#include "assets/catalogue.h"

#include <map>

#include "assets/cube_texture.h"
#include "assets/mesh.h"
#include "assets/texture.h"
#include "render/graphics_device.h"

namespace {

// In preload order: meshes, effects, textures, then the cube map.
const CatalogueEntry kMeshes[] = {
    {285, "Data\\meshs\\t2_head.x"},
    {286, "Data\\meshs\\t2_hand.x"},
    {287, "Data\\meshs\\head_cylinder.x"},
};
const CatalogueEntry kEffects[] = {
    {276, "Data\\Shaders\\PP_BloomH.fx"},       {277, "Data\\Shaders\\PP_BloomV.fx"},
    {280, "Data\\Shaders\\PP_BrightPass.fx"},   {281, "Data\\Shaders\\PP_Combine.fx"},
    {282, "Data\\Shaders\\PP_Combine4.fx"},     {283, "Data\\Shaders\\PP_DownFilter4.fx"},
    {284, "Data\\Shaders\\PP_UpFilter4.fx"},    {101, "Data\\Shaders\\Scene.fx"},
    {105, "Data\\Shaders\\Voxel.fx"},           {110, "Data\\Shaders\\RGBSplit.fx"},
    {112, "Data\\Shaders\\PP_BlurNormalsH.fx"}, {113, "Data\\Shaders\\PP_BlurNormalsV.fx"},
    {114, "Data\\Shaders\\PP_LightNormals.fx"},
};
const CatalogueEntry kTextures[] = {
    {102, "Data\\Textures\\tavorin_t3logo.png"},
    {103, "Data\\Textures\\grid.png"},
    {104, "Data\\Textures\\meta_font.png"},
    {107, "Data\\Textures\\head_AO.png"},
    {118, "Data\\Textures\\hand_AO.png"},
    {108, "Data\\Textures\\tavorin_t3loader.png"},
    {109, "Data\\Textures\\loading_pip.png"},
    {111, "Data\\Textures\\tavorin_t3mission.png"},
    {127, "Data\\Textures\\tavorin_t3endscreen.png"},
    {115, "Data\\Textures\\laser_font.png"},
    {116, "Data\\Textures\\laser_flare.png"},
    {117, "Data\\Textures\\laser_smoke.png"},
    {119, "Data\\Textures\\t2_overlay1.png"},
    {120, "Data\\Textures\\t2_overlay2.png"},
    {121, "Data\\Textures\\t2_overlay3.png"},
    {122, "Data\\Textures\\t2_overlay4.png"},
    {128, "Data\\Textures\\tavorin_t3scrolleroverlay.png"},
    {129, "Data\\Textures\\tavorin_t3_funtext.png"},
};
const CatalogueEntry kCubeTextures[] = {
    {106, "Data\\Textures\\cubemap.dds"},
};

constexpr int kMeshCount = sizeof kMeshes / sizeof kMeshes[0];
constexpr int kEffectCount = sizeof kEffects / sizeof kEffects[0];
constexpr int kTextureCount = sizeof kTextures / sizeof kTextures[0];
constexpr int kCubeCount = sizeof kCubeTextures / sizeof kCubeTextures[0];
static_assert(kMeshCount + kEffectCount + kTextureCount + kCubeCount == kCatalogueSize);

// The maps hold the objects without owning them: they live until exit.
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
    case AssetKind::Effect:
        s_effects[e.resourceId] = GraphicsDevice::CreateEffectFromResource(e.resourceId, e.name);
        break;
    case AssetKind::Texture: s_textures[e.resourceId] = Texture::FromResource(e.resourceId); break;
    case AssetKind::CubeTexture: s_cubeTextures[e.resourceId] = CubeTexture::FromResource(e.resourceId); break;
    }
    ++s_preloadIndex;
    float next = *progress + kProgressStep;
    *progress = next < 1.0f ? next : 1.0f;
    return false;
}

Texture* GetTexture(int resourceId) { return Lookup(s_textures, resourceId); }
Mesh* GetMesh(int resourceId) { return Lookup(s_meshes, resourceId); }
CubeTexture* GetCubeTexture(int resourceId) { return Lookup(s_cubeTextures, resourceId); }
Gpu::Effect* GetEffect(int resourceId) { return Lookup(s_effects, resourceId); }
