#pragma once
// Float RGBA pictures (premultiplied alpha) that every generated texture is
// composed in, plus the few whole-picture operations the art needs.
#include <cstddef>
#include <cstdint>
#include <vector>

struct Rgba {
    float r, g, b, a;
};

inline Rgba RgbaOf(float r, float g, float b, float a = 1.0f) { return {r, g, b, a}; }

// The show's palette: cold cyan-blue light (the laser's colour), a red
// accent, near-black blue backgrounds.
extern const Rgba kCyan;      // (0.533, 0.890, 0.988)
extern const Rgba kIce;       // pale cyan-white for text
extern const Rgba kRed;       // accent
extern const Rgba kDeep;      // background blue-black
extern const Rgba kWhite;

struct Image {
    int w = 0, h = 0;
    std::vector<float> px;  // premultiplied r, g, b, a per pixel

    Image() = default;
    Image(int width, int height, Rgba fill = {0, 0, 0, 0});
    float* at(int x, int y) { return &px[((size_t)y * w + x) * 4]; }
    const float* at(int x, int y) const { return &px[((size_t)y * w + x) * 4]; }
    bool inside(int x, int y) const { return x >= 0 && y >= 0 && x < w && y < h; }
};

// Source-over of a straight-alpha colour with the given coverage.
void BlendPixel(Image& img, int x, int y, Rgba c, float coverage);
// Adds light: rgb += c.rgb * amount, alpha grows by the same amount.
void AddPixel(Image& img, int x, int y, Rgba c, float amount);

// Source-over of a whole picture (premultiplied) at an offset.
void Composite(Image& dst, const Image& src, int ox, int oy, float opacity = 1.0f);
// dst.rgb += src.rgb * gain (for glows); alpha = max.
void AddImage(Image& dst, const Image& src, float gain);

// Separable Gaussian blur of all four channels; wrap = periodic edges.
void GaussianBlur(Image& img, float sigma, bool wrap = false);
// Area-weighted resampling to a new size (used to pre-squeeze pictures that
// the show stretches back).
Image Resample(const Image& src, int w, int h);
// Bilinear sample with clamped edges, premultiplied result.
Rgba SampleBilinear(const Image& img, float x, float y);

// Darkens towards the corners: rgb *= 1 - strength * smooth radial term.
void Vignette(Image& img, float strength, float inner = 0.35f, float outer = 1.1f);
// Deterministic fine grain added to rgb (opaque pictures).
void Grain(Image& img, float amount, uint32_t seed);
// Horizontal scan lines: every `period` rows one row is darkened.
void ScanLines(Image& img, float amount, int period);

// Deterministic hash noise and smooth gradient noise. period > 0 makes the
// noise periodic with that many lattice cells (tileable textures).
uint32_t Hash32(uint32_t x);
float Hash01(int x, int y, uint32_t seed);
float GradientNoise(float x, float y, uint32_t seed, int periodX = 0, int periodY = 0);
float Fbm(float x, float y, int octaves, uint32_t seed, int periodX = 0, int periodY = 0);

// 8-bit conversion with a small ordered dither to avoid banding in dark
// gradients. Straight (un-premultiplied) output.
uint8_t ToByte(float v, int x, int y);
