#include "ground_preview.h"

#include <cmath>

#include "sdf.h"

Image RenderGroundPreview(const std::vector<uint8_t>& indices, const std::vector<uint8_t>& palette, float flash, int w, int h)
{
    // Mip chain of the 512 x 512 tile by 2 x 2 box filtering.
    std::vector<std::vector<float>> mips;
    std::vector<float> level(512 * 512 * 3);
    for (size_t i = 0; i < 512 * 512; ++i)
        for (int c = 0; c < 3; ++c)
            level[i * 3 + c] = palette[indices[i] * 3 + c] / 255.0f;
    mips.push_back(level);
    for (int size = 256; size >= 1; size /= 2) {
        const std::vector<float>& prev = mips.back();
        std::vector<float> next((size_t)size * size * 3);
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                for (int c = 0; c < 3; ++c)
                    next[((size_t)y * size + x) * 3 + c] =
                        0.25f * (prev[((size_t)(2 * y) * size * 2 + 2 * x) * 3 + c] + prev[((size_t)(2 * y) * size * 2 + 2 * x + 1) * 3 + c] +
                                 prev[((size_t)(2 * y + 1) * size * 2 + 2 * x) * 3 + c] + prev[((size_t)(2 * y + 1) * size * 2 + 2 * x + 1) * 3 + c]);
        mips.push_back(next);
    }
    auto bilinear = [&](int lvl, float u, float v, float* out) {
        const int size = 512 >> lvl;
        const float x = u * size - 0.5f, y = v * size - 0.5f;
        const int x0 = (int)std::floor(x), y0 = (int)std::floor(y);
        const float fx = x - x0, fy = y - y0;
        for (int c = 0; c < 3; ++c)
            out[c] = 0;
        for (int j = 0; j < 2; ++j)
            for (int i = 0; i < 2; ++i) {
                const int xx = ((x0 + i) % size + size) % size, yy = ((y0 + j) % size + size) % size;
                const float wt = (i ? fx : 1 - fx) * (j ? fy : 1 - fy);
                for (int c = 0; c < 3; ++c)
                    out[c] += mips[lvl][((size_t)yy * size + xx) * 3 + c] * wt;
            }
    };
    // Camera view 1 of the scroller, in world units (its table times 1.5).
    const V3 eye = V3{-1.85445f, 3.880505f, 1.929084f} * 1.5f, target = V3{-1.811359f, 2.998728f, 1.45939f} * 1.5f;
    const V3 fwd = Normalize(target - eye), right = Normalize(Cross(fwd, {0, 1, 0})), up = Cross(right, fwd);
    const float t = std::tan(30.0f * 3.1415927f / 180.0f), aspect = (float)w / h;
    auto groundUv = [&](float px, float py, float& u, float& v) {
        const float sx = (px / w * 2 - 1) * t * aspect, sy = (1 - py / h * 2) * t;
        const V3 d = fwd + right * sx + up * sy;
        if (d.y >= -1e-4f)
            return false;
        const float s = -eye.y / d.y;
        // The ground quad spans -100..100 with the texture repeated 100 times.
        u = (eye.x + d.x * s + 100.0f) * 0.5f;
        v = (eye.z + d.z * s + 100.0f) * 0.5f;
        return true;
    };
    Image img(w, h, {0, 0, 0, 1});
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            float u, v, ux, vx, uy, vy;
            if (!groundUv(x + 0.5f, y + 0.5f, u, v) || !groundUv(x + 1.5f, y + 0.5f, ux, vx) || !groundUv(x + 0.5f, y + 1.5f, uy, vy))
                continue;
            const float fx = std::hypot(ux - u, vx - v) * 512, fy = std::hypot(uy - u, vy - v) * 512;
            const float lod = std::clamp(std::log2(std::max({fx, fy, 1e-6f})), 0.0f, 9.0f);
            const int l0 = (int)lod, l1 = std::min(l0 + 1, 9);
            float a[3], b[3];
            bilinear(l0, u - std::floor(u), v - std::floor(v), a);
            bilinear(l1, u - std::floor(u), v - std::floor(v), b);
            float* p = img.at(x, y);
            for (int c = 0; c < 3; ++c)
                p[c] = std::min(1.0f, (a[c] + (b[c] - a[c]) * (lod - l0)) * flash);
        }
    return img;
}
