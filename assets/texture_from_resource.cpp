// Texture::FromResource: a PNG resource decoded on the processor (by the
// asset prefetcher's thread when it runs) and uploaded as A8R8G8B8 with a
// full mip chain.
#include <cstdio>
#include <cstring>
#include <string>

#include "assets/asset_source.h"
#include "assets/image.h"
#include "assets/prefetch.h"
#include "assets/texture.h"
#include "assets/texture_decoding.h"

Texture* Texture::FromResource(int resourceId) {
    Image image;
    switch (AssetPrefetch::TakePicture(resourceId, &image)) {
    case AssetPrefetch::Taken::Decoded: break;
    case AssetPrefetch::Taken::Failed: return nullptr;
    case AssetPrefetch::Taken::NotQueued:
        if (!DecodeTextureResource(resourceId, &image)) return nullptr;
        break;
    }
    return TextureFromImage(resourceId, image);
}

bool DecodeTextureResource(int resourceId, Image* out) {
    AssetBytes bytes;
    if (!OpenAsset(resourceId, "RCDATA", "texture", &bytes)) return false;
    std::string error;
    if (!DecodePng(bytes.data, bytes.size, out, &error)) {
        ReportBadAsset(bytes, error.c_str());
        return false;
    }
    return true;
}

Texture* TextureFromImage(int resourceId, const Image& image) {
    Gpu::Texture* gpuTexture = Gpu::CreateTexture(image.width, image.height, 0, Gpu::kFormatA8R8G8B8, false);
    // Straight to the GPU: no copy stays on the processor (a later Lock
    // reads level 0 back).
    if (!gpuTexture || !Gpu::UploadTexture(gpuTexture, image.texels.data())) {
        AssetBytes bytes;
        OpenAsset(resourceId, "RCDATA", "texture", &bytes);
        char why[64];
        std::snprintf(why, sizeof why, "no GPU texture of %ux%u", image.width, image.height);
        ReportBadAsset(bytes, why);
        Gpu::ReleaseTexture(gpuTexture);
        return nullptr;
    }
    Texture* texture = new Texture;
    texture->width = image.width;
    texture->height = image.height;
    texture->texture = gpuTexture;
    return texture;
}
