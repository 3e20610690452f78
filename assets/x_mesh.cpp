#include "assets/x_mesh.h"

#include <assimp/cimport.h>
#include <assimp/material.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <cstring>

#include "assets/x_mszip.h"
#include "platform/isolated.h"

namespace {

// What the importer may take and send back: the largest mesh data a file
// within kMaxXFileBytes can make, and processor time for a big text file
// (the show's meshes take a tenth of a second).
constexpr size_t kMaxPackedBytes = 256u << 20;
constexpr int kImportSeconds = 30;
// What the importer may allocate for one file; the show's meshes need a few MiB.
constexpr size_t kImportMemory = 1u << 30;

// The .x importer turns the file's left-handed data into Assimp's
// right-handed convention (z mirrored, winding flipped, v = 1 - v);
// ConvertToLeftHanded undoes exactly that. PreTransformVertices applies the
// frame transforms and joins the meshes of each material.
constexpr unsigned kImportSteps = aiProcess_Triangulate | aiProcess_JoinIdenticalVertices |
                                  aiProcess_PreTransformVertices | aiProcess_ConvertToLeftHanded |
                                  aiProcess_SortByPType;

void CopyColour(const aiMaterial* material, const char* key, unsigned type, unsigned index, float alpha, float out[4]) {
    aiColor4D colour(0.0f, 0.0f, 0.0f, alpha);
    if (aiGetMaterialColor(material, key, type, index, &colour) != AI_SUCCESS) colour = aiColor4D(0, 0, 0, alpha);
    out[0] = colour.r;
    out[1] = colour.g;
    out[2] = colour.b;
    out[3] = colour.a;
}

MeshMaterial ConvertMaterial(const aiMaterial* material) {
    MeshMaterial m{};
    CopyColour(material, AI_MATKEY_COLOR_DIFFUSE, 1.0f, m.diffuse);
    CopyColour(material, AI_MATKEY_COLOR_SPECULAR, 1.0f, m.specular);
    CopyColour(material, AI_MATKEY_COLOR_EMISSIVE, 1.0f, m.emissive);
    std::memcpy(m.ambient, m.diffuse, sizeof m.ambient);  // lit by ambient light as by direct light
    float power = 0.0f;
    if (aiGetMaterialFloat(material, AI_MATKEY_SHININESS, &power) == AI_SUCCESS) m.power = power;
    return m;
}

// Appends one Assimp mesh to the subset being built; false when it does not fit.
bool AppendMesh(const aiMesh* mesh, MeshData* out, MeshSubset* subset, std::string* error) {
    if (!(mesh->mPrimitiveTypes & aiPrimitiveType_TRIANGLE)) return true;  // stray points or lines
    uint32_t base = subset->vertexCount;
    if (base + mesh->mNumVertices > 65535) {
        *error = "a material has more than 65535 vertices";
        return false;
    }
    for (unsigned i = 0; i < mesh->mNumVertices; ++i) {
        MeshVertex v{};
        v.position[0] = mesh->mVertices[i].x;
        v.position[1] = mesh->mVertices[i].y;
        v.position[2] = mesh->mVertices[i].z;
        if (mesh->mNormals) {
            v.normal[0] = mesh->mNormals[i].x;
            v.normal[1] = mesh->mNormals[i].y;
            v.normal[2] = mesh->mNormals[i].z;
        }
        if (mesh->mTextureCoords[0]) {
            v.texcoord[0] = mesh->mTextureCoords[0][i].x;
            v.texcoord[1] = mesh->mTextureCoords[0][i].y;
        }
        out->vertices.push_back(v);
    }
    for (unsigned f = 0; f < mesh->mNumFaces; ++f) {
        const aiFace& face = mesh->mFaces[f];
        if (face.mNumIndices != 3) continue;
        for (unsigned k = 0; k < 3; ++k) {
            if (face.mIndices[k] >= mesh->mNumVertices) {
                *error = "a face refers to a vertex that does not exist";
                return false;
            }
            out->indices.push_back(static_cast<uint16_t>(base + face.mIndices[k]));
        }
        ++subset->triangleCount;
    }
    subset->vertexCount += mesh->mNumVertices;
    return true;
}

// Assimp's importer, in this process: the scene as our mesh data.
bool ImportWithAssimp(const uint8_t* data, size_t size, MeshData* out, std::string* error) {
    const aiScene* scene =
        aiImportFileFromMemory(reinterpret_cast<const char*>(data), static_cast<unsigned>(size), kImportSteps, "x");
    if (!scene) {
        *error = aiGetErrorString();
        return false;
    }
    bool ok = true;
    for (unsigned m = 0; m < scene->mNumMaterials && ok; ++m) {
        out->materials.push_back(ConvertMaterial(scene->mMaterials[m]));
        MeshSubset subset{};
        subset.firstVertex = static_cast<uint32_t>(out->vertices.size());
        subset.firstIndex = static_cast<uint32_t>(out->indices.size());
        for (unsigned i = 0; i < scene->mNumMeshes && ok; ++i) {
            if (scene->mMeshes[i]->mMaterialIndex == m) ok = AppendMesh(scene->mMeshes[i], out, &subset, error);
        }
        out->subsets.push_back(subset);
    }
    aiReleaseImport(scene);
    if (ok && out->indices.empty()) {
        *error = "it has no triangles";
        ok = false;
    }
    if (!ok) *out = MeshData{};
    return ok;
}

// The mesh data as bytes, to come back from the importer's process: four
// counts, then each array as it lies in memory.
void Pack(const MeshData& mesh, std::vector<uint8_t>* bytes) {
    auto put = [bytes](const void* p, size_t n) {
        const uint8_t* b = static_cast<const uint8_t*>(p);
        bytes->insert(bytes->end(), b, b + n);
    };
    const uint64_t counts[4] = {mesh.vertices.size(), mesh.indices.size(), mesh.subsets.size(), mesh.materials.size()};
    put(counts, sizeof counts);
    put(mesh.vertices.data(), mesh.vertices.size() * sizeof(MeshVertex));
    put(mesh.indices.data(), mesh.indices.size() * sizeof(uint16_t));
    put(mesh.subsets.data(), mesh.subsets.size() * sizeof(MeshSubset));
    put(mesh.materials.data(), mesh.materials.size() * sizeof(MeshMaterial));
}

bool Unpack(const std::vector<uint8_t>& bytes, MeshData* mesh) {
    uint64_t counts[4];
    if (bytes.size() < sizeof counts) return false;
    std::memcpy(counts, bytes.data(), sizeof counts);
    const uint64_t sizes[4] = {sizeof(MeshVertex), sizeof(uint16_t), sizeof(MeshSubset), sizeof(MeshMaterial)};
    uint64_t total = sizeof counts;
    for (int i = 0; i < 4; ++i) {
        if (counts[i] > bytes.size() / sizes[i]) return false;
        total += counts[i] * sizes[i];
    }
    if (total != bytes.size()) return false;
    const uint8_t* p = bytes.data() + sizeof counts;
    auto take = [&p](auto& vector, uint64_t count) {
        vector.resize(count);
        std::memcpy(vector.data(), p, count * sizeof(vector[0]));
        p += count * sizeof(vector[0]);
    };
    take(mesh->vertices, counts[0]);
    take(mesh->indices, counts[1]);
    take(mesh->subsets, counts[2]);
    take(mesh->materials, counts[3]);
    // Whatever happened in the other process, no draw may read past the data.
    if (mesh->subsets.size() != mesh->materials.size()) return false;
    for (const MeshSubset& sub : mesh->subsets) {
        if (uint64_t{sub.firstVertex} + sub.vertexCount > mesh->vertices.size()) return false;
        if (uint64_t{sub.firstIndex} + 3ull * sub.triangleCount > mesh->indices.size()) return false;
        for (uint64_t i = 0; i < 3ull * sub.triangleCount; ++i)
            if (mesh->indices[sub.firstIndex + i] >= sub.vertexCount) return false;
    }
    return true;
}

// The importer's side, in the child process: the file's bytes in, the
// packed mesh (or the importer's reason) out.
bool ImportInChild(const uint8_t* data, size_t size, std::vector<uint8_t>* result) {
    MeshData mesh;
    std::string why;
    if (!ImportWithAssimp(data, size, &mesh, &why)) {
        result->assign(why.begin(), why.end());
        return false;
    }
    Pack(mesh, result);
    return true;
}

}  // namespace

LUMIVANE_ISOLATED_WORK(x_mesh, ImportInChild);

bool LoadXMesh(const uint8_t* data, size_t size, MeshData* out, std::string* error) {
    *out = MeshData{};
    // Checked here so that no other importer gets to guess at the bytes.
    if (size < 16 || std::memcmp(data, "xof ", 4) != 0) {
        *error = "not a DirectX .x file";
        return false;
    }
    // Compressed files are inflated here, where every size is checked,
    // rather than by the importer, which sizes its buffer from the block
    // count alone.
    std::vector<uint8_t> inflated;
    if (IsCompressedXFile(data, size)) {
        if (!InflateXFile(data, size, &inflated, error)) return false;
        data = inflated.data();
        size = inflated.size();
    }
    if (size > kMaxXFileBytes) {
        *error = "too large";
        return false;
    }
    // Assimp's .x importer reads some malformed files out of bounds and
    // crashes: it runs in a process of its own, where a crash or a hang is
    // only this file's error.
    std::vector<uint8_t> packed;
    const Platform::IsolatedLimits limits{kMaxPackedBytes, kImportMemory, kImportSeconds};
    if (!Platform::RunIsolated("x_mesh", data, size, limits, &packed, error)) return false;
    if (!Unpack(packed, out)) {
        *out = MeshData{};
        *error = "the reader's answer does not add up";
        return false;
    }
    return true;
}
