// Texture::FromResource: a PNG resource decoded on the processor and
// uploaded as A8R8G8B8 with a full mip chain.
#include <cstdio>
#include <cstring>
#include <string>

#include "assets/asset_source.h"
#include "assets/image.h"
#include "assets/texture.h"

Texture* Texture::FromResource(int resourceId) {
    AssetBytes bytes;
    if (!OpenAsset(resourceId, "RCDATA", "texture", &bytes)) return nullptr;
    Image image;
    std::string error;
    if (!DecodePng(bytes.data, bytes.size, &image, &error)) {
        ReportBadAsset(bytes, error.c_str());
        return nullptr;
    }
    Gpu::Texture* gpuTexture = Gpu::CreateTexture(image.width, image.height, 0, Gpu::kFormatA8R8G8B8, false);
    unsigned pitch = 0;
    uint8_t* bits = gpuTexture ? Gpu::LockTexture(gpuTexture, &pitch) : nullptr;
    if (!bits) {
        char why[64];
        std::snprintf(why, sizeof why, "no GPU texture of %ux%u", image.width, image.height);
        ReportBadAsset(bytes, why);
        Gpu::ReleaseTexture(gpuTexture);
        return nullptr;
    }
    const size_t rowBytes = static_cast<size_t>(image.width) * 4;
    for (unsigned y = 0; y < image.height; ++y)
        std::memcpy(bits + static_cast<size_t>(y) * pitch, image.texels.data() + static_cast<size_t>(y) * image.width,
                    rowBytes);
    Gpu::UnlockTexture(gpuTexture);  // uploads level 0 and builds the other levels from it

    Texture* texture = new Texture;
    texture->width = image.width;
    texture->height = image.height;
    texture->texture = gpuTexture;
    return texture;
}
