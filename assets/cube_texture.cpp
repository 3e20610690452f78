#include "assets/cube_texture.h"

#include <cstdio>
#include <string>

#include "assets/asset_source.h"
#include "assets/image.h"

CubeTexture* CubeTexture::FromResource(int resourceId) {
    AssetBytes bytes;
    if (!OpenAsset(resourceId, "RCDATA", "cube texture", &bytes)) return nullptr;
    CubeImage image;
    std::string error;
    if (!DecodeDdsCube(bytes.data, bytes.size, &image, &error)) {
        ReportBadAsset(bytes, error.c_str());
        return nullptr;
    }
    const uint32_t* faces[6];
    for (int i = 0; i < 6; ++i) faces[i] = image.faces[i].data();
    Gpu::CubeTexture* cube = Gpu::CreateCubeTexture(image.size, faces);
    if (!cube) {
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
