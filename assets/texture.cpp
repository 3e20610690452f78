#include "assets/texture.h"

#include "core/random.h"

// The noise generator: one state for the whole run.
static EffectRandom s_noiseRandom;

Texture* Texture::Create(unsigned width, unsigned height, Gpu::Format format) {
    Texture* t = new Texture;
    t->texture = Gpu::CreateTexture(width, height, 1, format, false);
    t->width = Gpu::TextureWidth(t->texture);
    t->height = Gpu::TextureHeight(t->texture);
    return t;
}

Texture* Texture::CreateNoise(unsigned width, unsigned height, Gpu::Format format) {
    Texture* t = Create(width, height, format);
    int bytesPerPixel = 0;
    if (uint8_t* bits = t->Lock(&bytesPerPixel)) {
        size_t count = static_cast<size_t>(t->width) * t->height * bytesPerPixel;
        // Each byte is bits 16..23 of the generator's next state.
        for (size_t i = 0; i < count; ++i) bits[i] = static_cast<uint8_t>(s_noiseRandom.Random16() & 0xFF);
        t->Unlock();
    }
    return t;
}

Texture* Texture::CreateRenderTarget(unsigned width, unsigned height, Gpu::Format format) {
    Texture* t = new Texture;
    t->texture = Gpu::CreateTexture(width, height, 1, format, true);
    t->surface = Gpu::GetSurfaceLevel(t->texture);
    t->width = Gpu::TextureWidth(t->texture);
    t->height = Gpu::TextureHeight(t->texture);
    return t;
}

uint8_t* Texture::Lock(int* bytesPerPixel) {
    unsigned pitch = 0;
    uint8_t* bits = Gpu::LockTexture(texture, &pitch);
    if (bytesPerPixel) *bytesPerPixel = bits && width ? static_cast<int>(pitch / width) : 0;
    return bits;
}

void Texture::Unlock() { Gpu::UnlockTexture(texture); }

Vector2 Texture::GetSize() const { return {static_cast<float>(width), static_cast<float>(height)}; }

void Texture::Release() {
    Gpu::Release(surface);
    surface = nullptr;
    Gpu::ReleaseTexture(texture);
    texture = nullptr;
}

void DeleteTexture(Texture*& texture) {
    if (!texture) return;
    texture->Release();
    delete texture;
    texture = nullptr;
}
