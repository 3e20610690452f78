// The voxel cloud's shared resources: the blur kernel, the sprite normal
// disc and the particle grid, made at start-up and freed at exit.
#include <gtest/gtest.h>

#include <cmath>
#include <numeric>
#include <string>
#include <vector>

#include "assets/texture.h"
#include "core/tweaks.h"
#include "effects/voxel_resources.h"
#include "tests/gpu_fixture.h"

TEST(VoxelResources, GaussianKernelHasRadiusThreeSigmasLessOneAndSumsToOne) {
    struct Case {
        float sigma;
        int radius;
    };
    // Below a third of a texel, and for nonsense, only the centre is left.
    const Case cases[] = {{3.0f, 8}, {1.0f, 2}, {0.5f, 0}, {0.2f, 0}, {0.0f, 0}, {-1.0f, 0}, {std::nanf(""), 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sigma);
        GaussianKernel k = BuildGaussianKernel(c.sigma);
        EXPECT_EQ(k.radius, c.radius);
        const size_t size = 2 * c.radius + 1;
        ASSERT_EQ(k.weights.size(), size);
        ASSERT_EQ(k.offsets.size(), size);
        EXPECT_NEAR(std::accumulate(k.weights.begin(), k.weights.end(), 0.0), 1.0, 1e-6);
        for (int i = 0; i < static_cast<int>(size); ++i) {
            EXPECT_EQ(k.offsets[i], static_cast<float>(i - c.radius));
            EXPECT_FLOAT_EQ(k.weights[i], k.weights[size - 1 - i]);
            // A Gaussian: each step out from the centre multiplies by exp(-(2x - 1) / 2 sigma^2).
            if (i > c.radius) {
                const float x = static_cast<float>(i - c.radius);
                EXPECT_NEAR(k.weights[i] / k.weights[i - 1], std::exp(-(2 * x - 1) / (2 * c.sigma * c.sigma)), 1e-5);
            }
        }
    }
    // The blur's half (offsets -8 .. -1) carries 43% of the weight; the
    // centre alone 13%.
    GaussianKernel k = BuildGaussianKernel(3.0f);
    EXPECT_NEAR(std::accumulate(k.weights.begin(), k.weights.begin() + 8, 0.0), 0.43321, 1e-5);
    EXPECT_NEAR(k.weights[8], 0.13357, 1e-5);
}

TEST(VoxelResources, NormalDiscWritesOnlyTheFirstThreeFloatsInsideTheDisc) {
    // Rows padded to show the row length is honoured; every float starts at 7.
    const unsigned rowFloats = kNormalMapSize * 4 + 8;
    std::vector<float> map(rowFloats * kNormalMapSize, 7.0f);
    BuildNormalMap(map.data(), rowFloats);
    auto texel = [&](int column, int row) { return &map[row * rowFloats + column * 4]; };
    struct Case {
        int column, row;
        bool inside;
        float x = 0, y = 0, z = 0;
    };
    const float h = std::sqrt(0.5f);
    const Case cases[] = {
        {64, 64, true, 0.0f, 0.0f, 1.0f},          // the centre faces the viewer
        {96, 64, true, h, 0.0f, h},                // half way out to the right: 45 degrees
        {64, 32, true, 0.0f, -h, h},               // half way up: y grows downwards
        {64, 0, false},                            // on the rim: outside
        {64, 1, true, 0.0f, -0.99987f, 0.01587f},  // just inside: nearly flat
        {0, 0, false},
        {127, 127, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.column << "," << c.row);
        const float* t = texel(c.column, c.row);
        if (c.inside) {
            EXPECT_NEAR(t[0], c.x, 1e-4);
            EXPECT_NEAR(t[1], c.y, 1e-4);
            EXPECT_NEAR(t[2], c.z, 1e-4);
        } else {
            EXPECT_EQ(t[0], 7.0f);
            EXPECT_EQ(t[1], 7.0f);
            EXPECT_EQ(t[2], 7.0f);
        }
        EXPECT_EQ(t[3], 7.0f);
    }
    for (int row = 0; row < kNormalMapSize; ++row)
        for (unsigned i = kNormalMapSize * 4; i < rowFloats; ++i) ASSERT_EQ(map[row * rowFloats + i], 7.0f);
}

TEST(VoxelResources, ParticleGridIsSliceMajorAndReadsItsOwnTexel) {
    std::vector<VoxelParticle> grid(kVoxelParticles);
    FillParticleGrid(grid.data());
    struct Case {
        int index;
        float x, y, z, u, v;
    };
    const Case cases[] = {
        {0, -0.5f, 0.0f, -0.5f, 0.0f, 0.0f},
        {1 * 1024 + 2 * 32 + 3, 3 / 32.0f - 0.5f, 2 / 32.0f, 1 / 32.0f - 0.5f, 3 / 32.0f, 2 / 32.0f},
        {kVoxelParticles - 1, 0.46875f, 0.96875f, 0.46875f, 0.96875f, 0.96875f},
    };
    for (const Case& c : cases) {
        const VoxelParticle& p = grid[c.index];
        EXPECT_EQ(p.position.x, c.x) << c.index;
        EXPECT_EQ(p.position.y, c.y) << c.index;
        EXPECT_EQ(p.position.z, c.z) << c.index;
        EXPECT_EQ(p.u, c.u) << c.index;
        EXPECT_EQ(p.v, c.v) << c.index;
    }
}

TEST(VoxelResources, MadeAtStartUpAndFreedAtExit) {
    ASSERT_TRUE(GpuFixture::Start(320, 180, 1));
    ASSERT_TRUE(CreateVoxelResources());
    VoxelResources& r = VoxelResources::Get();
    EXPECT_EQ(r.unavailable, nullptr);
    for (Texture* slice : r.slices) {
        ASSERT_NE(slice, nullptr);
        EXPECT_NE(slice->surface, nullptr);
        EXPECT_EQ(slice->width, 32u);
        EXPECT_EQ(slice->height, 32u);
    }
    EXPECT_EQ(r.blur.radius, 8);
    EXPECT_EQ(r.particles[kVoxelParticles - 1].position.y, 0.96875f);
    // The map the sprites read: the dome inside, zeros outside.
    ASSERT_NE(r.normalMap, nullptr);
    int bytesPerPixel = 0;
    const float* texels = reinterpret_cast<const float*>(r.normalMap->Lock(&bytesPerPixel));
    ASSERT_NE(texels, nullptr);
    EXPECT_EQ(bytesPerPixel, 16);
    const float* centre = texels + (64 * 128 + 64) * 4;
    EXPECT_EQ(centre[0], 0.0f);
    EXPECT_EQ(centre[1], 0.0f);
    EXPECT_EQ(centre[2], 1.0f);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(texels[i], 0.0f);
    r.normalMap->Unlock();
    bool found = false;
    for (const TweakEntry& e : TweakTable::Get().registered) found |= std::string(e.name) == "s_fVoxLevel";
    EXPECT_TRUE(found);

    ReleaseVoxelResources();
    EXPECT_EQ(r.normalMap, nullptr);
    for (Texture* slice : r.slices) EXPECT_EQ(slice, nullptr);
    EXPECT_TRUE(r.blur.weights.empty());
    EXPECT_NE(r.unavailable, nullptr);
}
