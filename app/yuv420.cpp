#include "app/yuv420.h"

namespace {

// BT.709 (Kr 0.2126, Kb 0.0722) scaled to 16..235 for Y and 16..240 for
// chroma, in 16.16 fixed point. Y = 16 + 0.18259 R + 0.61423 G + 0.06201 B;
// U = 128 - 0.10064 R - 0.33857 G + 0.43922 B; V = 128 + 0.43922 R -
// 0.39894 G - 0.04027 B.
constexpr int32_t kYR = 11966, kYG = 40254, kYB = 4064;
constexpr int32_t kUR = -6596, kUG = -22189, kUB = 28784;
constexpr int32_t kVR = 28784, kVG = -26145, kVB = -2639;
constexpr int32_t kHalf = 1 << 15;

inline uint8_t Luma(const uint8_t* p) {
    return static_cast<uint8_t>((kYR * p[0] + kYG * p[1] + kYB * p[2] + kHalf + (16 << 16)) >> 16);
}

}  // namespace

// A frame is about a million pixels, 60 of them a second while the encoder
// waits: where the processor has AVX2 the loops run eight pixels at a time
// (with -O3, set for this file).
#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__)
__attribute__((target_clones("avx2", "default")))
#endif
void RgbaToYuv420(const uint8_t* rgba, int width, int height, uint8_t* yuv) {
    const int cw = width / 2;
    uint8_t* yPlane = yuv;
    uint8_t* uPlane = yuv + static_cast<size_t>(width) * height;
    uint8_t* vPlane = uPlane + static_cast<size_t>(cw) * (height / 2);
    for (int y = 0; y + 1 < height; y += 2) {
        const uint8_t* top = rgba + static_cast<size_t>(y) * width * 4;
        const uint8_t* bottom = top + static_cast<size_t>(width) * 4;
        uint8_t* yTop = yPlane + static_cast<size_t>(y) * width;
        uint8_t* yBottom = yTop + width;
        uint8_t* u = uPlane + static_cast<size_t>(y / 2) * cw;
        uint8_t* v = vPlane + static_cast<size_t>(y / 2) * cw;
        for (int x = 0; x < width; ++x) {
            yTop[x] = Luma(top + 4 * x);
            yBottom[x] = Luma(bottom + 4 * x);
        }
        for (int c = 0; c < cw; ++c) {
            const uint8_t* a = top + 8 * c;
            const uint8_t* b = bottom + 8 * c;
            // Sums of four: the coefficients' 16 bits of fraction become 18.
            const int32_t r = a[0] + a[4] + b[0] + b[4];
            const int32_t g = a[1] + a[5] + b[1] + b[5];
            const int32_t bl = a[2] + a[6] + b[2] + b[6];
            u[c] = static_cast<uint8_t>((kUR * r + kUG * g + kUB * bl + (kHalf << 2) + (128 << 18)) >> 18);
            v[c] = static_cast<uint8_t>((kVR * r + kVG * g + kVB * bl + (kHalf << 2) + (128 << 18)) >> 18);
        }
    }
}
