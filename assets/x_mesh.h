// DirectX .x meshes (text, binary and compressed binary) decoded on the
// processor into what the GPU draws: one vertex and index range per
// material, in the order the file lists its materials.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The vertex of declaration 9: position, normal, texture coordinate (32 bytes).
struct MeshVertex {
    float position[3];
    float normal[3];    // zero when the file has no normals
    float texcoord[2];  // as in the file: v grows downwards
};
static_assert(sizeof(MeshVertex) == 32, "declaration 9 is 32 bytes per vertex");

// The D3DMATERIAL9 layout: colours as r, g, b, a.
struct MeshMaterial {
    float diffuse[4];
    float ambient[4];  // the loader sets it to the diffuse colour
    float specular[4];
    float emissive[4];
    float power;
};

// One material's triangles. Indices count from firstVertex, so each subset
// can have up to 65535 vertices of its own.
struct MeshSubset {
    uint32_t firstVertex, vertexCount;
    uint32_t firstIndex, triangleCount;
};

struct MeshData {
    std::vector<MeshVertex> vertices;
    std::vector<uint16_t> indices;
    std::vector<MeshSubset> subsets;  // subset i draws with materials[i]
    std::vector<MeshMaterial> materials;
};

// Every mesh in the file, with its frame transforms applied, grouped by
// material. False (with the reason in `error`) when the bytes are not a .x
// file that can be read.
bool LoadXMesh(const uint8_t* data, size_t size, MeshData* out, std::string* error);
