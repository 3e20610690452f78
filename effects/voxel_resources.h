// What every voxel-cloud shot shares, made once at start-up and freed at
// exit: the stack the ball field is evaluated into each frame and the 32
// float slices copied out of it, the sprite normal disc, the normal blur's
// kernel, the static grid of 32,768 particles (one per voxel), the ball
// centres and the field's level.
#pragma once
#include <vector>

#include "core/maths.h"

struct Texture;

constexpr int kVoxelGrid = 32;  // voxels along each axis, and slices
constexpr int kVoxelSliceParticles = kVoxelGrid * kVoxelGrid;
constexpr int kVoxelParticles = kVoxelGrid * kVoxelSliceParticles;
constexpr int kVoxelBalls = 64;
constexpr int kNormalMapSize = 128;

// One particle: a position on the grid and the texel of its slice it reads
// (declaration kDeclPosTex, 20 bytes).
struct VoxelParticle {
    Vector3 position;
    float u, v;
};
static_assert(sizeof(VoxelParticle) == 20);

// A normalised Gaussian of `radius` = floor(3 sigma) - 1 texels either side:
// 2 radius + 1 weights summing to 1, at offsets -radius .. radius. A sigma
// too small (or not positive) for any neighbour gives the one weight 1.
struct GaussianKernel {
    int radius = 0;
    std::vector<float> offsets, weights;
};
GaussianKernel BuildGaussianKernel(float sigma);

// Writes the sprite normal disc into a 128 x 128 map of four floats a texel
// (`rowFloats` floats from one row to the next): inside the disc of radius 64
// about texel (64, 64) the first three floats become the unit normal of a
// dome, normalize((column - 64) / 64, (row - 64) / 64, 1 - distance / 64).
// Texels outside the disc and every fourth float are left as they are.
void BuildNormalMap(float* texels, unsigned rowFloats);

// The particle grid in slice-major order: vertex k * 1024 + e * 32 + n sits
// at (n / 32 - 0.5, e / 32, k / 32 - 0.5) and reads texel (n / 32, e / 32) of
// slice k.
void FillParticleGrid(VoxelParticle* particles);

// The balls that can reach some voxel of rows firstRow .. endRow - 1 of
// slice k (the plane z = k / 32, row e at y = (e - 0.5) / 32), copied to
// `out` in their order; returns how many. A ball further than the field's
// level from that strip of the plane adds nothing to any of its voxels
// (with a thousandth to spare for the shader's rounding), so the sums over
// the others are the very sums over all 64. A level of 0 or less reaches
// nothing.
int BallsReachingRows(const Vector3* balls, float level, int slice, int firstRow, int endRow, Vector3* out);

struct VoxelResources {
    Texture* slices[kVoxelGrid] = {};  // R32F targets, 32 x 32: slice k is the plane z = k / 32
    // R32F, 32 x 1024: the slices one above the other, slice k in rows
    // 32 k .. 32 k + 31. The field is evaluated here in one pass, which the
    // driver shares between its threads, where 32 passes over one tile each
    // ran one after another.
    Texture* sliceStack = nullptr;
    Texture* normalMap = nullptr;  // A32B32G32R32F, the sprite normal disc
    // The sprites are drawn at half the picture's size in each direction:
    // the cloud is lit from a quarter-size image of them, and a quarter of
    // the pixels is most of the shot's cost. Made when first drawn, and
    // again when the picture's size changes.
    Texture* spriteTarget = nullptr;
    GaussianKernel blur;  // BuildGaussianKernel(3.0): radius 8
    VoxelParticle particles[kVoxelParticles];
    Vector3 balls[kVoxelBalls];  // the ball centres, rewritten by every update
    float voxLevel = 0.2f;       // the field's level: tweak s_fVoxLevel
    // Why the cloud cannot be drawn on this context, or null when it can.
    const char* unavailable = "its resources have not been made";

    static VoxelResources& Get();
};

// Makes the slices and their stack, the normal map, the kernel and the grid
// and registers s_fVoxLevel. False, with one line on stderr saying why, when
// the context cannot draw the cloud (no float targets, no texture reads in a
// vertex stage): the shots then draw nothing. Again after a release, it makes
// them afresh.
bool CreateVoxelResources();
// Frees the kernel, the normal map, the slices and their stack.
void ReleaseVoxelResources();

// Key 1 switches the softening of the cloud's normals; off at start, it
// stays as set from shot to shot and across restarts.
extern bool VoxelBlurEnabled;
