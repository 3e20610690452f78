// Mesh: one loaded DirectX .x mesh, drawn subset by subset with user-pointer
// draws in vertex declaration 9 (position, normal, texture coordinate).
#pragma once
#include "assets/x_mesh.h"

struct Mesh {
    MeshData geometry;                  // vertices, 16-bit indices and subsets
    unsigned materialCount = 0;         // equals the number of subsets
    MeshMaterial* materials = nullptr;  // geometry.materials: Ambient is the Diffuse colour

    // The .x resource. Null, with one line on stderr, when it is missing or
    // cannot be read. Decoded ahead by the asset prefetcher when it runs.
    static Mesh* FromResource(int resourceId);
    // The same, always read here and now (it needs no GPU, so any thread may).
    static Mesh* DecodeResource(int resourceId);
    // The same from the bytes of a .x file; `label` names it in the message.
    static Mesh* FromMemory(const uint8_t* data, size_t size, const char* label);

    // Every subset in order, with no state changes of its own: the caller has
    // set declaration 9 and begun an effect pass.
    void Draw();
    void DrawSubset(unsigned subset);

    Mesh() = default;
    Mesh(const Mesh&) = delete;  // `materials` points into `geometry`
    Mesh& operator=(const Mesh&) = delete;
};
