#include <gtest/gtest.h>

#include "assets/x_mesh.h"
#include "tests/x_fixtures.h"

namespace {

void ExpectNear3(const float* a, const float* b, const char* what) {
    for (int k = 0; k < 3; ++k) EXPECT_NEAR(a[k], b[k], 1e-6f) << what << "[" << k << "]";
}

// Twice the signed area of a triangle seen from +z: the winding.
float Winding(const float* a, const float* b, const float* c) {
    return (b[0] - a[0]) * (c[1] - a[1]) - (b[1] - a[1]) * (c[0] - a[0]);
}

// A copy with `bytes` written at `offset`.
std::vector<uint8_t> Patched(std::vector<uint8_t> file, size_t offset, const std::vector<uint8_t>& bytes) {
    std::copy(bytes.begin(), bytes.end(), file.begin() + static_cast<long>(offset));
    return file;
}

// The whole uncompressed size a compressed file declares, and its bytes.
uint32_t ReadTotal(const std::vector<uint8_t>& file) {
    return file[16] | file[17] << 8 | file[18] << 16 | static_cast<uint32_t>(file[19]) << 24;
}
std::vector<uint8_t> LittleEndian(uint32_t v) {
    return {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
            static_cast<uint8_t>(v >> 24)};
}

}  // namespace

TEST(XMesh, TextBinaryAndCompressedFilesGiveTheSameSubsetsAndMaterials) {
    const XFixture& f = TheXFixture();
    struct Case { const char* name; std::vector<uint8_t> bytes; };
    const Case cases[] = {
        {"text", MakeXText()},
        {"binary", MakeXBinary()},
        {"compressed text", CompressX(MakeXText())},
        {"compressed binary", CompressX(MakeXBinary())},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MeshData mesh;
        std::string error;
        ASSERT_TRUE(LoadXMesh(c.bytes.data(), c.bytes.size(), &mesh, &error)) << error;
        ASSERT_EQ(mesh.subsets.size(), 2u);
        ASSERT_EQ(mesh.materials.size(), 2u);

        // Subset 0: the quad, split into two triangles of its own winding.
        const MeshSubset& quad = mesh.subsets[0];
        EXPECT_EQ(quad.vertexCount, 4u);
        EXPECT_EQ(quad.triangleCount, 2u);
        float quadWinding = Winding(f.positions[0], f.positions[1], f.positions[2]);
        for (uint32_t t = 0; t < quad.triangleCount; ++t) {
            const uint16_t* tri = &mesh.indices[quad.firstIndex + 3 * t];
            const MeshVertex* v = &mesh.vertices[quad.firstVertex];
            for (int k = 0; k < 3; ++k) ASSERT_LT(tri[k], quad.vertexCount);
            EXPECT_GT(Winding(v[tri[0]].position, v[tri[1]].position, v[tri[2]].position) * quadWinding, 0.0f);
        }
        for (uint32_t i = 0; i < quad.vertexCount; ++i) {
            const MeshVertex& v = mesh.vertices[quad.firstVertex + i];
            int corner = -1;  // which file vertex this is
            for (int p = 0; p < 4; ++p)
                if (v.position[0] == f.positions[p][0] && v.position[1] == f.positions[p][1]) corner = p;
            ASSERT_GE(corner, 0);
            ExpectNear3(v.position, f.positions[corner], "position");
            ExpectNear3(v.normal, f.normals[0], "normal");
            EXPECT_NEAR(v.texcoord[0], f.texcoords[corner][0], 1e-6f);
            EXPECT_NEAR(v.texcoord[1], f.texcoords[corner][1], 1e-6f);
        }

        // Subset 1: the triangle, corners in the file's order.
        const MeshSubset& tri = mesh.subsets[1];
        EXPECT_EQ(tri.vertexCount, 3u);
        ASSERT_EQ(tri.triangleCount, 1u);
        for (int k = 0; k < 3; ++k) {
            const MeshVertex& v = mesh.vertices[tri.firstVertex + mesh.indices[tri.firstIndex + k]];
            ExpectNear3(v.position, f.positions[4 + k], "position");
            ExpectNear3(v.normal, f.normals[1], "normal");
            EXPECT_NEAR(v.texcoord[0], f.texcoords[4 + k][0], 1e-6f);
            EXPECT_NEAR(v.texcoord[1], f.texcoords[4 + k][1], 1e-6f);
        }

        for (int m = 0; m < 2; ++m) {
            const MeshMaterial& mat = mesh.materials[m];
            for (int k = 0; k < 4; ++k) {
                EXPECT_FLOAT_EQ(mat.diffuse[k], f.faceColour[m][k]);
                EXPECT_FLOAT_EQ(mat.ambient[k], f.faceColour[m][k]);
            }
            for (int k = 0; k < 3; ++k) {
                EXPECT_FLOAT_EQ(mat.specular[k], f.specular[m][k]);
                EXPECT_FLOAT_EQ(mat.emissive[k], f.emissive[m][k]);
            }
            EXPECT_FLOAT_EQ(mat.power, f.power[m]);
        }
    }
}

TEST(XMesh, DamagedFilesFailWithAReason) {
    std::vector<uint8_t> text = MakeXText();
    std::vector<uint8_t> compressed = CompressX(MakeXBinary());
    struct Case { const char* name; std::vector<uint8_t> bytes; };
    const Case cases[] = {
        {"empty", {}},
        {"not a .x file", std::vector<uint8_t>(100, 'z')},
        {"header only", std::vector<uint8_t>(text.begin(), text.begin() + 16)},
        {"text cut short", std::vector<uint8_t>(text.begin(), text.begin() + static_cast<long>(text.size() / 2))},
        {"compressed cut short", std::vector<uint8_t>(compressed.begin(), compressed.begin() + 40)},
        // After the header: the whole size (4 bytes at 16), then the block's
        // inflated size (20), its packed size (22) and the CK mark (24).
        {"compressed, no CK mark", Patched(compressed, 24, {'X'})},
        {"compressed, a block beyond 32 KiB", Patched(compressed, 20, {0xFF, 0xFF})},
        {"compressed, a block past the end", Patched(compressed, 22, {0xFF, 0x7F})},
        {"compressed, a size of 4 GiB", Patched(compressed, 16, {0xFF, 0xFF, 0xFF, 0xFF})},
        {"compressed, a size the blocks exceed", Patched(compressed, 16, {17, 0, 0, 0})},
        {"compressed, a size the blocks fall short of",
         Patched(compressed, 16, LittleEndian(ReadTotal(compressed) + 1))},
        {"compressed, damaged deflate data", Patched(compressed, 26, {0xFF, 0xFF, 0xFF})},
    };
    for (const Case& c : cases) {
        MeshData mesh;
        std::string error;
        EXPECT_FALSE(LoadXMesh(c.bytes.data(), c.bytes.size(), &mesh, &error)) << c.name;
        EXPECT_FALSE(error.empty()) << c.name;
        EXPECT_TRUE(mesh.vertices.empty() && mesh.subsets.empty()) << c.name;
    }
}
