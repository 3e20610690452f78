// Texture::FromResource and CubeTexture::FromResource in their two steps:
// the decoding, which needs no GPU and so may run on the asset prefetcher's
// thread (false, said on stderr, when the resource is missing or cannot be
// read), and the upload, on the GPU's thread (null, said, when it fails).
#pragma once
#include "assets/cube_texture.h"
#include "assets/image.h"
#include "assets/texture.h"

bool DecodeTextureResource(int resourceId, Image* out);
Texture* TextureFromImage(int resourceId, const Image& image);

bool DecodeCubeResource(int resourceId, CubeImage* out);
CubeTexture* CubeTextureFromImage(int resourceId, const CubeImage& image);
