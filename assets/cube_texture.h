// CubeTexture: the owning wrapper of one GPU cube map, loaded from a DDS
// resource.
#pragma once
#include "platform/gpu.h"

struct CubeTexture {
    Gpu::CubeTexture* cube = nullptr;  // owned

    // The DDS cube map resource (six DXT1 faces). Null, with one line on
    // stderr, when it is missing or cannot be read.
    static CubeTexture* FromResource(int resourceId);
    void Release();
};
