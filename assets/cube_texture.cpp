#include "assets/cube_texture.h"

#include <cstdio>
#include <string>

#include "assets/image.h"
#include "assets/resources.h"

CubeTexture* CubeTexture::FromResource(int resourceId) {
    const EmbeddedResource* resource = FindResource(resourceId, "RCDATA");
    if (!resource) {
        std::fprintf(stderr, "lumivane: cube texture resource %d is missing\n", resourceId);
        return nullptr;
    }
    CubeImage image;
    std::string error;
    if (!DecodeDdsCube(static_cast<const uint8_t*>(LockResource(resource)), SizeofResource(resource), &image, &error)) {
        std::fprintf(stderr, "lumivane: cube texture resource %d (%s) cannot be decoded: %s\n", resourceId,
                     resource->name, error.c_str());
        return nullptr;
    }
    const uint32_t* faces[6];
    for (int i = 0; i < 6; ++i) faces[i] = image.faces[i].data();
    Gpu::CubeTexture* cube = Gpu::CreateCubeTexture(image.size, faces);
    if (!cube) {
        std::fprintf(stderr, "lumivane: cube texture resource %d (%s): no GPU cube map of %u\n", resourceId,
                     resource->name, image.size);
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
