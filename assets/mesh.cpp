#include "assets/mesh.h"

#include <cstdio>
#include <string>

#include "assets/resources.h"
#include "platform/gpu.h"

Mesh* Mesh::FromResource(int resourceId) {
    const EmbeddedResource* resource = FindResource(resourceId, "RCDATA");
    if (!resource) {
        std::fprintf(stderr, "lumivane: mesh resource %d is missing\n", resourceId);
        return nullptr;
    }
    char label[300];
    std::snprintf(label, sizeof label, "mesh resource %d (%s)", resourceId, resource->name);
    return FromMemory(static_cast<const uint8_t*>(LockResource(resource)), SizeofResource(resource), label);
}

Mesh* Mesh::FromMemory(const uint8_t* data, size_t size, const char* label) {
    Mesh* mesh = new Mesh;
    std::string error;
    if (!LoadXMesh(data, size, &mesh->geometry, &error)) {
        std::fprintf(stderr, "lumivane: %s cannot be read: %s\n", label, error.c_str());
        delete mesh;
        return nullptr;
    }
    mesh->materialCount = static_cast<unsigned>(mesh->geometry.materials.size());
    mesh->materials = mesh->geometry.materials.data();
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
