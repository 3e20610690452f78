#include "assets/x_mesh.h"

#include <assimp/cimport.h>
#include <assimp/material.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <cstring>

#include "assets/x_mszip.h"

namespace {

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

}  // namespace

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
