#include "assets/cube_texture.h"

#include <cstdio>
#include <string>

#include "assets/asset_source.h"
#include "assets/image.h"
#include "assets/prefetch.h"
#include "assets/texture_decoding.h"

CubeTexture* CubeTexture::FromResource(int resourceId) {
    CubeImage image;
    switch (AssetPrefetch::TakeCube(resourceId, &image)) {
    case AssetPrefetch::Taken::Decoded: break;
    case AssetPrefetch::Taken::Failed: return nullptr;
    case AssetPrefetch::Taken::NotQueued:
        if (!DecodeCubeResource(resourceId, &image)) return nullptr;
        break;
    }
    return CubeTextureFromImage(resourceId, image);
}

bool DecodeCubeResource(int resourceId, CubeImage* out) {
    AssetBytes bytes;
    if (!OpenAsset(resourceId, "RCDATA", "cube texture", &bytes)) return false;
    std::string error;
    if (!DecodeDdsCube(bytes.data, bytes.size, out, &error)) {
        ReportBadAsset(bytes, error.c_str());
        return false;
    }
    return true;
}

CubeTexture* CubeTextureFromImage(int resourceId, const CubeImage& image) {
    const uint32_t* faces[6];
    for (int i = 0; i < 6; ++i) faces[i] = image.faces[i].data();
    Gpu::CubeTexture* cube = Gpu::CreateCubeTexture(image.size, faces);
    if (!cube) {
        AssetBytes bytes;
        OpenAsset(resourceId, "RCDATA", "cube texture", &bytes);
        char why[64];
        std::snprintf(why, sizeof why, "no GPU cube map of %u", image.size);
        ReportBadAsset(bytes, why);
        return nullptr;
    }
    CubeTexture* wrapper = new CubeTexture;
    wrapper->cube = cube;
    return wrapper;
}

void CubeTexture::Release() {
    Gpu::ReleaseCubeTexture(cube);
    cube = nullptr;
}
