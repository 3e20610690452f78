// Texture: the owning wrapper of one GPU texture, as the catalogue, the
// application and the effects hold them. Drawing code skips a wrapper whose
// `texture` is null (its creation failed).
#pragma once
#include <cstdint>

#include "core/maths.h"
#include "platform/gpu.h"

struct Texture {
    unsigned width = 0, height = 0;   // level 0, in texels
    Gpu::Texture* texture = nullptr;  // owned
    Gpu::Surface* surface = nullptr;  // owned; render targets only: level 0

    // A picture resource of the executable (decoded PNG), full mip chain.
    static Texture* FromResource(int resourceId);
    // One level, filled on the processor through Lock/Unlock.
    static Texture* Create(unsigned width, unsigned height, Gpu::Format format);
    // As Create, filled with pseudo-random bytes from a generator of its
    // own that carries on from call to call (so two noise textures differ,
    // and every run of the show makes the same ones).
    static Texture* CreateNoise(unsigned width, unsigned height, Gpu::Format format);
    // A render target with its level-0 surface.
    static Texture* CreateRenderTarget(unsigned width, unsigned height, Gpu::Format format);

    // Level 0, top row first; *bytesPerPixel (if given) = pitch / width.
    // Null for render targets and missing textures.
    uint8_t* Lock(int* bytesPerPixel);
    void Unlock();
    Vector2 GetSize() const;
    // Releases the surface, then the texture; the owner deletes the wrapper.
    void Release();
};

// For owners of a wrapper: releases it, deletes it and clears the pointer
// (null is ignored).
void DeleteTexture(Texture*& texture);
