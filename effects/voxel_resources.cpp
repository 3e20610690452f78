#include "effects/voxel_resources.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "assets/texture.h"
#include "core/tweaks.h"
#include "platform/gpu.h"

bool VoxelBlurEnabled = false;

VoxelResources& VoxelResources::Get() {
    static VoxelResources resources;
    return resources;
}

GaussianKernel BuildGaussianKernel(float sigma) {
    GaussianKernel kernel;
    // Three sigmas less one texel: 8 for sigma 3.
    if (sigma > 0.0f) kernel.radius = static_cast<int>(std::floor(3.0f * sigma)) - 1;
    if (kernel.radius < 0) kernel.radius = 0;
    const int size = 2 * kernel.radius + 1;
    kernel.offsets.resize(size);
    kernel.weights.resize(size);
    if (kernel.radius == 0) {
        kernel.weights[0] = 1.0f;  // no neighbours: the centre alone, whatever sigma was
        return kernel;
    }
    const float norm = 1.0f / (sigma * std::sqrt(2.0f * 3.14159265f));
    float sum = 0.0f;
    for (int i = 0; i < size; ++i) {
        const float x = static_cast<float>(i - kernel.radius);
        kernel.offsets[i] = x;
        kernel.weights[i] = std::exp(-x * x / (2.0f * sigma * sigma)) * norm;
        sum += kernel.weights[i];
    }
    for (float& w : kernel.weights) w /= sum;
    return kernel;
}

int BallsReachingRows(const Vector3* balls, float level, int slice, int firstRow, int endRow, Vector3* out) {
    if (!(level > 0.0f)) return 0;
    const double z = static_cast<double>(slice) / kVoxelGrid, reach = static_cast<double>(level) + 1e-3;
    const double y0 = (firstRow - 0.5) / kVoxelGrid, y1 = (endRow - 1.5) / kVoxelGrid;
    int count = 0;
    for (int i = 0; i < kVoxelBalls; ++i) {
        const double y = balls[i].y;
        const double dy = y < y0 ? y0 - y : (y > y1 ? y - y1 : 0.0), dz = balls[i].z - z;
        if (dy * dy + dz * dz < reach * reach) out[count++] = balls[i];
    }
    return count;
}

void BuildNormalMap(float* texels, unsigned rowFloats) {
    constexpr float kCentre = kNormalMapSize / 2, kRadius = kNormalMapSize / 2;
    for (int row = 0; row < kNormalMapSize; ++row) {
        for (int column = 0; column < kNormalMapSize; ++column) {
            const float d =
                Distance(Vector2(static_cast<float>(column), static_cast<float>(row)), Vector2(kCentre, kCentre));
            if (d >= kRadius) continue;
            Vector3 n((column - kCentre) / kRadius, (row - kCentre) / kRadius, 1.0f - d / kRadius);
            n.Normalize();
            float* texel = texels + static_cast<size_t>(row) * rowFloats + static_cast<size_t>(column) * 4;
            texel[0] = n.x;
            texel[1] = n.y;
            texel[2] = n.z;
        }
    }
}

void FillParticleGrid(VoxelParticle* particles) {
    constexpr float kStep = 1.0f / kVoxelGrid;
    for (int k = 0; k < kVoxelGrid; ++k) {
        for (int e = 0; e < kVoxelGrid; ++e) {
            for (int n = 0; n < kVoxelGrid; ++n) {
                VoxelParticle& p = particles[k * kVoxelSliceParticles + e * kVoxelGrid + n];
                p.position = Vector3(n * kStep - 0.5f, e * kStep, k * kStep - 0.5f);
                p.u = n * kStep;
                p.v = e * kStep;
            }
        }
    }
}

// The normal map, zeros outside the disc: a new texture's contents are
// undefined, and the sprites take their round outline from those zeros.
static Texture* CreateNormalMap() {
    Texture* map = Texture::Create(kNormalMapSize, kNormalMapSize, Gpu::kFormatA32B32G32R32F);
    int bytesPerPixel = 0;
    uint8_t* bits = map->Lock(&bytesPerPixel);
    if (!bits || bytesPerPixel != 4 * sizeof(float)) return map;  // no texture: the check below says so
    std::memset(bits, 0, static_cast<size_t>(map->width) * map->height * bytesPerPixel);
    BuildNormalMap(reinterpret_cast<float*>(bits), map->width * 4);
    map->Unlock();
    return map;
}

bool CreateVoxelResources() {
    VoxelResources& r = VoxelResources::Get();
    ReleaseVoxelResources();  // a second start-up makes everything afresh
    bool slicesMade = true;
    for (Texture*& slice : r.slices) {
        slice = Texture::CreateRenderTarget(kVoxelGrid, kVoxelGrid, Gpu::kFormatR32F);
        slicesMade = slicesMade && slice->texture && slice->surface;
    }
    r.sliceStack = Texture::CreateRenderTarget(kVoxelGrid, kVoxelGrid * kVoxelGrid, Gpu::kFormatR32F);
    slicesMade = slicesMade && r.sliceStack->texture && r.sliceStack->surface;
    RegisterTweak("s_fVoxLevel", &r.voxLevel, 0.001f, 0.0f, 3.4028235e38f, false);
    r.normalMap = CreateNormalMap();
    r.blur = BuildGaussianKernel(3.0f);
    FillParticleGrid(r.particles);

    if (!slicesMade)
        r.unavailable = "this context cannot render into float (R32F) targets";
    else if (Gpu::VertexTextureUnits() < 1)
        r.unavailable = "vertex stages cannot read textures on this context";
    else if (!r.normalMap->texture)
        r.unavailable = "its float (A32B32G32R32F) normal map cannot be made";
    else
        r.unavailable = nullptr;
    if (r.unavailable) std::fprintf(stderr, "lumivane: the voxel cloud will not be drawn: %s\n", r.unavailable);
    return !r.unavailable;
}

void ReleaseVoxelResources() {
    VoxelResources& r = VoxelResources::Get();
    r.blur = GaussianKernel{};
    DeleteTexture(r.normalMap);
    DeleteTexture(r.spriteTarget);
    for (Texture*& slice : r.slices) DeleteTexture(slice);
    DeleteTexture(r.sliceStack);
    r.unavailable = "its resources have been released";
}
