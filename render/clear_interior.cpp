#include "render/clear_interior.h"

#include <vector>

#include "assets/texture.h"

Gpu::PixelRect LargestClearRect(const uint32_t* texels, int width, const Gpu::PixelRect& window) {
    Gpu::PixelRect best{window.x0, window.y0, window.x0, window.y0};
    const int columns = window.x1 - window.x0;
    if (columns <= 0 || window.y1 <= window.y0) return best;
    // Row by row, how many clear texels run up from this row in each column;
    // the largest rectangle standing on the row is found with a stack of
    // rising heights, as for the largest rectangle under a histogram.
    std::vector<int> height(static_cast<size_t>(columns) + 1, 0);
    std::vector<int> stack;
    stack.reserve(height.size());
    long bestArea = 0;
    for (int y = window.y0; y < window.y1; ++y) {
        const uint32_t* row = texels + static_cast<size_t>(y) * width + window.x0;
        for (int i = 0; i < columns; ++i) height[i] = (row[i] >> 24) == 0 ? height[i] + 1 : 0;
        stack.clear();
        for (int i = 0; i <= columns; ++i) {  // the column past the end has height 0 and empties the stack
            while (!stack.empty() && height[stack.back()] >= height[i]) {
                const int h = height[stack.back()];
                stack.pop_back();
                const int left = stack.empty() ? 0 : stack.back() + 1;
                const long area = static_cast<long>(h) * (i - left);
                if (area > bestArea) {
                    bestArea = area;
                    best = {window.x0 + left, y + 1 - h, window.x0 + i, y + 1};
                }
            }
            stack.push_back(i);
        }
    }
    return best;
}

namespace {

struct Known {
    const Texture* texture;
    const Gpu::Texture* gpuTexture;
    Gpu::PixelRect window, clear;
};
std::vector<Known> s_known;

bool SameRect(const Gpu::PixelRect& a, const Gpu::PixelRect& b) {
    return a.x0 == b.x0 && a.y0 == b.y0 && a.x1 == b.x1 && a.y1 == b.y1;
}

}  // namespace

bool FindClearInterior(Texture* texture, const Gpu::PixelRect& window, Gpu::PixelRect* clear) {
    if (!texture || !texture->texture || Gpu::TextureFormat(texture->texture) != Gpu::kFormatA8R8G8B8) return false;
    for (const Known& k : s_known) {
        if (k.texture == texture && k.gpuTexture == texture->texture && SameRect(k.window, window)) {
            *clear = k.clear;
            return true;
        }
    }
    const int w = static_cast<int>(texture->width), h = static_cast<int>(texture->height);
    if (window.x0 < 0 || window.y0 < 0 || window.x1 > w || window.y1 > h) return false;
    std::vector<uint32_t> texels(static_cast<size_t>(w) * h);
    if (!Gpu::ReadTexture(texture->texture, texels.data())) return false;
    *clear = LargestClearRect(texels.data(), w, window);
    s_known.push_back({texture, texture->texture, window, *clear});
    return true;
}
