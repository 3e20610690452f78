#include "assets/mesh.h"

#include <cstdio>
#include <string>

#include "assets/asset_source.h"
#include "assets/prefetch.h"
#include "platform/gpu.h"
#include "platform/process.h"

// The mesh of a .x file, or null with the reason in `error`.
static Mesh* Decode(const uint8_t* data, size_t size, std::string* error) {
    Mesh* mesh = new Mesh;
    if (!LoadXMesh(data, size, &mesh->geometry, error)) {
        delete mesh;
        return nullptr;
    }
    mesh->materialCount = static_cast<unsigned>(mesh->geometry.materials.size());
    mesh->materials = mesh->geometry.materials.data();
    return mesh;
}

Mesh* Mesh::FromResource(int resourceId) {
    Mesh* mesh = nullptr;
    switch (AssetPrefetch::TakeMesh(resourceId, &mesh)) {
    case AssetPrefetch::Taken::Decoded: return mesh;
    case AssetPrefetch::Taken::Failed: return nullptr;
    case AssetPrefetch::Taken::NotQueued: break;
    }
    return DecodeResource(resourceId);
}

Mesh* Mesh::DecodeResource(int resourceId) {
    AssetBytes bytes;
    if (!OpenAsset(resourceId, "RCDATA", "mesh", &bytes)) return nullptr;
    std::string error;
    Mesh* mesh = Decode(bytes.data, bytes.size, &error);
    if (!mesh) ReportBadAsset(bytes, error.c_str());
    Platform::ReturnFreeMemory();  // the inflated file and the reader's answer, freed but kept
    return mesh;
}

Mesh* Mesh::FromMemory(const uint8_t* data, size_t size, const char* label) {
    std::string error;
    Mesh* mesh = Decode(data, size, &error);
    if (!mesh) std::fprintf(stderr, "lumivane: %s cannot be used: %s\n", label, error.c_str());
    return mesh;
}

void Mesh::Draw() {
    for (unsigned i = 0; i < materialCount; ++i) DrawSubset(i);
}

void Mesh::DrawSubset(unsigned subset) {
    if (subset >= geometry.subsets.size()) return;
    const MeshSubset& s = geometry.subsets[subset];
    if (s.triangleCount == 0) return;
    Gpu::DrawIndexedPrimitiveUP(Gpu::kTriangleList, 0, s.vertexCount, s.triangleCount,
                                geometry.indices.data() + s.firstIndex, geometry.vertices.data() + s.firstVertex,
                                sizeof(MeshVertex));
}
