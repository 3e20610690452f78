// DirectX .x meshes (assets/x_mesh.h: our MSZIP reader, then Assimp): any
// bytes load or fail with a reason; a loaded mesh's indices stay inside its
// subsets.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "assets/x_mesh.h"
#include "platform/isolated.h"

// Assimp reads each input in a process of its own: this program, started
// again, does that work here and ends.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    Platform::RunIsolatedWorkIfAsked();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    MeshData mesh;
    std::string error;
    if (!LoadXMesh(data, size, &mesh, &error)) {
        if (error.empty()) std::abort();
        return 0;
    }
    if (mesh.subsets.size() != mesh.materials.size()) std::abort();
    for (const MeshSubset& s : mesh.subsets) {
        if (s.firstVertex + s.vertexCount > mesh.vertices.size()) std::abort();
        if (s.firstIndex + 3ull * s.triangleCount > mesh.indices.size()) std::abort();
        for (uint32_t i = 0; i < 3 * s.triangleCount; ++i)
            if (mesh.indices[s.firstIndex + i] >= s.vertexCount) std::abort();
    }
    return 0;
}
