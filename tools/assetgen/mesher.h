#pragma once
// Turns a procedural model into a textured triangle mesh: surface nets on a
// sampled distance grid, vertices projected onto the exact surface, smooth
// normals from the field's gradient, per-chart texture coordinates, and
// ambient occlusion per vertex traced through the distance grid.
#include <cstdint>
#include <vector>

#include "model.h"

struct SdfGrid {
    int nx = 0, ny = 0, nz = 0;
    V3 origin;
    float cell = 1;
    std::vector<float> d;
    float At(int i, int j, int k) const { return d[((size_t)k * ny + j) * nx + i]; }
    float Sample(V3 p) const;  // trilinear; far outside = large positive
};

struct MeshData {
    std::vector<V3> pos;       // world units
    std::vector<V3> nrm;
    std::vector<float> uv;     // 2 per vertex, 0..1 (u may exceed 1 at wrapped seams)
    std::vector<float> ao;     // per vertex, 0..1
    std::vector<uint32_t> tri; // 3 per face, outward faces wind counter-clockwise
    std::vector<uint8_t> mat;  // per face: 0 body, 1 red
};

// Polygonises, unwraps and computes vertex AO.
MeshData BuildMesh(const Model& model);
// Bakes the vertex AO into the model's chart layout (size x size, 0..1).
std::vector<float> BakeAoTexture(const Model& model, const MeshData& mesh);
