// Checks of the generated art: formats the catalogue asks for, glyph strips
// the fonts can cut, a loadable cube map, meshes that load and fit their
// camera moves, the show's text files, and deterministic generation.
#include <assimp/cimport.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <gtest/gtest.h>
#include <png.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "effects/glyph_strip.h"

namespace fs = std::filesystem;

namespace {

const char kGlyphs[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789!?.-";

std::vector<uint8_t> ReadBytes(const fs::path& path)
{
    std::ifstream f(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

fs::path Generated(const std::string& rel) { return fs::path(LUMIVANE_GENERATED_DIR) / "Data" / rel; }

uint32_t BigEndian(const uint8_t* p) { return (uint32_t)p[0] << 24 | p[1] << 16 | p[2] << 8 | p[3]; }

struct Decoded {
    int w = 0, h = 0;
    std::vector<uint8_t> rgba;
};

Decoded DecodeRgba(const std::vector<uint8_t>& bytes)
{
    Decoded d;
    png_image img;
    std::memset(&img, 0, sizeof img);
    img.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&img, bytes.data(), bytes.size()))
        return d;
    img.format = PNG_FORMAT_RGBA;
    d.rgba.resize(PNG_IMAGE_SIZE(img));
    if (png_image_finish_read(&img, nullptr, d.rgba.data(), 0, nullptr)) {
        d.w = (int)img.width;
        d.h = (int)img.height;
    }
    png_image_free(&img);
    return d;
}

// ARGB texels as the show's loader hands them to the font scan.
std::vector<uint32_t> Argb(const Decoded& d)
{
    std::vector<uint32_t> t((size_t)d.w * d.h);
    for (size_t i = 0; i < t.size(); ++i)
        t[i] = (uint32_t)d.rgba[i * 4 + 3] << 24 | d.rgba[i * 4] << 16 | d.rgba[i * 4 + 1] << 8 | d.rgba[i * 4 + 2];
    return t;
}

// ---------------------------------------------------------------------------

struct PngSpec {
    const char* name;
    unsigned width, height;
    int colourType;  // PNG colour type byte of the header
};

class CatalogueTexture : public ::testing::TestWithParam<PngSpec> {};

TEST_P(CatalogueTexture, HasTheCatalogueSizeAndColourType)
{
    const PngSpec s = GetParam();
    const std::vector<uint8_t> bytes = ReadBytes(Generated(std::string("Textures/") + s.name));
    ASSERT_GE(bytes.size(), 33u) << s.name;
    ASSERT_EQ(std::memcmp(bytes.data() + 12, "IHDR", 4), 0);
    EXPECT_EQ(BigEndian(&bytes[16]), s.width);
    EXPECT_EQ(BigEndian(&bytes[20]), s.height);
    EXPECT_EQ(bytes[24], 8) << "bit depth";
    EXPECT_EQ(bytes[25], s.colourType);
    EXPECT_EQ(DecodeRgba(bytes).w, (int)s.width) << "decodes";
}

INSTANTIATE_TEST_SUITE_P(
    Catalogue, CatalogueTexture,
    ::testing::Values(PngSpec{"tavorin_t3logo.png", 2048, 1024, 2}, PngSpec{"grid.png", 512, 512, 3},
                      PngSpec{"meta_font.png", 512, 16, 6}, PngSpec{"head_AO.png", 1024, 1024, 3},
                      PngSpec{"hand_AO.png", 512, 512, 3}, PngSpec{"tavorin_t3loader.png", 2048, 1024, 2},
                      PngSpec{"loading_pip.png", 32, 32, 6}, PngSpec{"tavorin_t3mission.png", 2048, 1024, 2},
                      PngSpec{"tavorin_t3endscreen.png", 2048, 1024, 2}, PngSpec{"laser_font.png", 2048, 32, 6},
                      PngSpec{"laser_flare.png", 256, 256, 6}, PngSpec{"laser_smoke.png", 256, 256, 0},
                      PngSpec{"t2_overlay1.png", 1024, 512, 6}, PngSpec{"t2_overlay2.png", 1024, 512, 6},
                      PngSpec{"t2_overlay3.png", 1024, 512, 6}, PngSpec{"t2_overlay4.png", 1024, 512, 6},
                      PngSpec{"tavorin_t3scrolleroverlay.png", 2048, 1024, 4},
                      PngSpec{"tavorin_t3_funtext.png", 1024, 256, 0}, PngSpec{"setup_picture.png", 257, 257, 2}),
    [](const auto& info) {
        std::string n = info.param.name;
        for (char& c : n)
            if (!std::isalnum((unsigned char)c))
                c = '_';
        return n;
    });

TEST(ScreenPictures, ContentLiesInTheTopLeft1280x720)
{
    for (const char* name : {"tavorin_t3mission.png", "tavorin_t3logo.png", "tavorin_t3endscreen.png", "tavorin_t3loader.png"}) {
        const Decoded d = DecodeRgba(ReadBytes(Generated(std::string("Textures/") + name)));
        ASSERT_EQ(d.w, 2048) << name;
        size_t lit = 0, outside = 0;
        for (int y = 0; y < d.h; ++y)
            for (int x = 0; x < d.w; ++x) {
                const uint8_t* p = &d.rgba[((size_t)y * d.w + x) * 4];
                const bool black = p[0] == 0 && p[1] == 0 && p[2] == 0;
                if (x >= 1280 || y >= 720)
                    outside += !black;
                else
                    lit += p[0] + p[1] + p[2] > 60;
            }
        EXPECT_EQ(outside, 0u) << name << ": everything beyond 1280 x 720 is black";
        EXPECT_GT(lit, 4000u) << name << ": the picture shows something";
    }
}

TEST(ScrollerOverlay, MiddleIsClearAndTheFrameIsNot)
{
    const Decoded d = DecodeRgba(ReadBytes(Generated("Textures/tavorin_t3scrolleroverlay.png")));
    ASSERT_EQ(d.w, 2048);
    size_t opaqueMiddle = 0, marks = 0;
    for (int y = 0; y < 720; ++y)
        for (int x = 0; x < 1280; ++x) {
            const uint8_t a = d.rgba[((size_t)y * d.w + x) * 4 + 3];
            if (x > 200 && x < 1080 && y > 160 && y < 560)
                opaqueMiddle += a > 8;
            else
                marks += a > 100;
        }
    EXPECT_EQ(opaqueMiddle, 0u);
    EXPECT_GT(marks, 1000u);
}

TEST(HudOverlays, AreMostlyTransparent)
{
    for (int i = 1; i <= 4; ++i) {
        const Decoded d = DecodeRgba(ReadBytes(Generated("Textures/t2_overlay" + std::to_string(i) + ".png")));
        ASSERT_EQ(d.w, 1024);
        size_t clear = 0;
        for (size_t p = 0; p < (size_t)d.w * d.h; ++p)
            clear += d.rgba[p * 4 + 3] < 40;
        EXPECT_GT(clear, (size_t)d.w * d.h * 6 / 10) << "overlay " << i;
    }
}

// ---------------------------------------------------------------------------

TEST(GlyphStrips, BothFontsCutIntoEveryGlyph)
{
    struct Strip { const char* name; unsigned gap; };
    for (Strip s : {Strip{"laser_font.png", 0xFFFFFFFFu}, Strip{"meta_font.png", 12u}}) {
        const Decoded d = DecodeRgba(ReadBytes(Generated(std::string("Textures/") + s.name)));
        const std::vector<uint32_t> texels = Argb(d);
        float widths[256], offsets[256];
        EXPECT_EQ(ScanGlyphStrip(texels.data(), d.w, d.h, kGlyphs, s.gap, widths, offsets), (int)std::strlen(kGlyphs))
            << s.name;
        for (const char* c = kGlyphs; *c; ++c)
            EXPECT_GT(widths[(unsigned char)*c], 0.0f) << s.name << " '" << *c << "'";
    }
}

TEST(GlyphStrips, MetaLettersAreBallCloudsOfSensibleStrength)
{
    // Strength 255 / blue times the scroller's ball level 0.26; iso level 100.
    // A ball of strength s alone is a sphere of radius sqrt(s / 100): between
    // 0.04 and 0.12 letter units keeps neighbours merging into strokes
    // without filling the counters of the letters.
    const Decoded d = DecodeRgba(ReadBytes(Generated("Textures/meta_font.png")));
    const std::vector<uint32_t> texels = Argb(d);
    float widths[256], offsets[256];
    ScanGlyphStrip(texels.data(), d.w, d.h, kGlyphs, 12, widths, offsets);
    for (const char* c = kGlyphs; *c; ++c) {
        const int x0 = (int)(offsets[(unsigned char)*c] * d.w), w = (int)widths[(unsigned char)*c];
        int balls = 0;
        for (int r = 0; r < d.h; ++r)
            for (int q = 0; q < w; ++q) {
                const uint8_t* p = &d.rgba[((size_t)r * d.w + x0 + q) * 4];
                if (!p[3] || !p[2])
                    continue;
                ++balls;
                const float radius = std::sqrt(255.0f / p[2] * 0.26f / 100.0f);
                EXPECT_GT(radius, 0.04f) << *c;
                EXPECT_LT(radius, 0.12f) << *c;
                // Ball centres stay well inside the field's -1..1 grid.
                EXPECT_LT((q * 0.125f - 1) * 0.8f, 0.75f) << *c;
            }
        EXPECT_GE(balls, 2) << *c;
        EXPECT_LE(balls, 64) << *c << ": more than 64 balls would be dropped at random";
    }
}

// ---------------------------------------------------------------------------

TEST(CubeMap, IsOneLevelDxt1CubeOf256)
{
    const std::vector<uint8_t> dds = ReadBytes(Generated("Textures/cubemap.dds"));
    ASSERT_EQ(dds.size(), 4u + 124u + 6u * 256u * 256u / 2u);
    auto u32 = [&](size_t off) { return (uint32_t)dds[off] | dds[off + 1] << 8 | dds[off + 2] << 16 | (uint32_t)dds[off + 3] << 24; };
    EXPECT_EQ(std::memcmp(dds.data(), "DDS ", 4), 0);
    EXPECT_EQ(u32(4), 124u);
    EXPECT_EQ(u32(12), 256u);  // height
    EXPECT_EQ(u32(16), 256u);  // width
    EXPECT_LE(u32(28), 1u);    // mip levels
    EXPECT_EQ(u32(76), 32u);   // pixel format size
    EXPECT_TRUE(u32(80) & 0x4);
    EXPECT_EQ(std::memcmp(&dds[84], "DXT1", 4), 0);
    EXPECT_TRUE(u32(108) & 0x1000);
    EXPECT_EQ(u32(112) & 0xFE00u, 0xFE00u) << "cube map with all six faces";
}

// ---------------------------------------------------------------------------

struct LoadedMesh {
    const aiScene* scene = nullptr;
    ~LoadedMesh() { aiReleaseImport(scene); }
};

// The .x importer turns the file's coordinates into its own right-handed
// frame (z mirrored, winding flipped); applying the same two steps again
// gives back the file's coordinates, which the show uses as they are.
const unsigned kFileFrame = aiProcess_MakeLeftHanded | aiProcess_FlipWindingOrder;

void Load(LoadedMesh& m, const char* name, unsigned flags)
{
    const std::vector<uint8_t> bytes = ReadBytes(Generated(std::string("meshs/") + name));
    m.scene = aiImportFileFromMemory((const char*)bytes.data(), (unsigned)bytes.size(), flags, "x");
}

struct MeshSpec {
    const char* name;
    const char* header;
};

class CatalogueMesh : public ::testing::TestWithParam<MeshSpec> {};

TEST_P(CatalogueMesh, LoadsWithTwoMaterialsNormalsAndTextureCoordinates)
{
    const MeshSpec s = GetParam();
    const std::vector<uint8_t> bytes = ReadBytes(Generated(std::string("meshs/") + s.name));
    ASSERT_GE(bytes.size(), 16u);
    EXPECT_EQ(std::string((const char*)bytes.data(), 16), s.header);
    LoadedMesh m;
    Load(m, s.name, 0);
    ASSERT_NE(m.scene, nullptr) << aiGetErrorString();
    EXPECT_EQ(m.scene->mNumMaterials, 2u);
    // The importer splits the mesh by material: one part per subset.
    ASSERT_EQ(m.scene->mNumMeshes, 2u);
    for (unsigned i = 0; i < m.scene->mNumMeshes; ++i) {
        const aiMesh* mesh = m.scene->mMeshes[i];
        EXPECT_GT(mesh->mNumFaces, 0u);
        EXPECT_TRUE(mesh->HasNormals());
        EXPECT_TRUE(mesh->HasTextureCoords(0));
    }
}

INSTANTIATE_TEST_SUITE_P(Catalogue, CatalogueMesh,
                         ::testing::Values(MeshSpec{"t2_head.x", "xof 0303bzip0032"}, MeshSpec{"t2_hand.x", "xof 0303bin 0032"},
                                           MeshSpec{"head_cylinder.x", "xof 0303bzip0032"}),
                         [](const auto& info) { return std::string(info.param.name).substr(0, std::strlen(info.param.name) - 2); });

struct Tri {
    aiVector3D a, b, c;
};

std::vector<Tri> Triangles(const aiScene* s)
{
    std::vector<Tri> tris;
    for (unsigned i = 0; i < s->mNumMeshes; ++i) {
        const aiMesh* m = s->mMeshes[i];
        for (unsigned f = 0; f < m->mNumFaces; ++f)
            if (m->mFaces[f].mNumIndices == 3)
                tris.push_back({m->mVertices[m->mFaces[f].mIndices[0]], m->mVertices[m->mFaces[f].mIndices[1]],
                                m->mVertices[m->mFaces[f].mIndices[2]]});
    }
    return tris;
}

// Point inside a closed mesh: odd number of crossings along +x.
bool Inside(const std::vector<Tri>& tris, aiVector3D p)
{
    int crossings = 0;
    for (const Tri& t : tris) {
        const aiVector3D e1 = t.b - t.a, e2 = t.c - t.a;
        const aiVector3D dir(1, 0.000123f, 0.000071f);
        const aiVector3D h = dir ^ e2;
        const float det = e1 * h;
        if (std::fabs(det) < 1e-12f)
            continue;
        const aiVector3D s = p - t.a;
        const float u = (s * h) / det;
        if (u < 0 || u > 1)
            continue;
        const aiVector3D q = s ^ e1;
        const float v = (dir * q) / det;
        if (v < 0 || u + v > 1)
            continue;
        crossings += (e2 * q) / det > 0;
    }
    return crossings & 1;
}

struct Move {
    aiVector3D endEye, endTarget, startEye, startTarget;
};

// The shots' camera moves (world units) and their model: scale 0.01, then a
// turn about y by the shot's progress.
const Move kHead[3] = {
    {{1.190495f, -0.011917f, -2.187366f}, {0.694038f, 0.068412f, -1.323029f}, {0.405927f, 0.571102f, -1.151742f}, {0.22594f, 0.571518f, -0.168073f}},
    {{2.007254f, 1.846693f, -2.52433f}, {1.360902f, 1.39416f, -1.909966f}, {2.258186f, -0.683161f, 0.63423f}, {1.460778f, -0.203366f, 0.268255f}},
    {{2.396076f, -0.741581f, 0.691191f}, {1.685693f, -0.288327f, 0.152751f}, {-1.30428f, 1.964177f, 1.603888f}, {-0.760859f, -0.358655f, -1.022478f}}};
const Move kHand[3] = {
    {{0.832891f, 1.656873f, -0.125157f}, {0.154025f, 0.968233f, -0.379947f}, {1.189862f, 3.015625f, -0.145092f}, {0.628706f, 2.291612f, -0.546227f}},
    {{-0.073162f, -0.603807f, -0.663247f}, {0.145665f, 0.328389f, -0.374932f}, {0.269123f, 1.589486f, -1.826891f}, {0.358118f, 1.500005f, -0.834886f}},
    {{1.370278f, 1.649916f, 0.006764f}, {0.527907f, 1.136118f, -0.155784f}, {0.076886f, 2.224231f, 0.580937f}, {0.003802f, 1.428875f, -0.020784f}}};

aiVector3D ToModel(aiVector3D world, float turn)
{
    // Inverse of x' = x c - z s, z' = x s + z c, then undo the 0.01 scale.
    const float c = std::cos(turn), s = std::sin(turn);
    return aiVector3D(world.x * c + world.z * s, world.y, -world.x * s + world.z * c) * 100.0f;
}

class MeshFraming : public ::testing::TestWithParam<int> {};

TEST_P(MeshFraming, CameraStaysOutsideAndSeesTheModel)
{
    const bool head = GetParam() < 3;
    const Move& move = head ? kHead[GetParam()] : kHand[GetParam() - 3];
    LoadedMesh m;
    Load(m, head ? "t2_head.x" : "t2_hand.x", kFileFrame);
    ASSERT_NE(m.scene, nullptr);
    const std::vector<Tri> tris = Triangles(m.scene);
    for (int i = 0; i <= 10; ++i) {
        const float progress = i / 10.0f;
        const float k = (std::cos(progress * 3.1415927f) + 1) * 0.5f;
        const aiVector3D eye = move.endEye + (move.startEye - move.endEye) * k;
        const aiVector3D target = move.endTarget + (move.startTarget - move.endTarget) * k;
        EXPECT_FALSE(Inside(tris, ToModel(eye, progress))) << "camera inside the model at progress " << progress;
        if (i != 0 && i != 10)
            continue;
        // At both ends of the move a good share of the surface is in view
        // (60 degree vertical field, 16:9) and in front of the near plane.
        const aiVector3D fwd = (target - eye).Normalize();
        const aiVector3D right = (fwd ^ aiVector3D(0, 1, 0)).Normalize();
        const aiVector3D up = right ^ fwd;
        const float t = std::tan(30.0f * 3.1415927f / 180.0f);
        size_t visible = 0, total = 0;
        const float c = std::cos(progress), s = std::sin(progress);
        for (const Tri& tri : tris) {
            const aiVector3D p = tri.a * 0.01f;
            const aiVector3D w(p.x * c - p.z * s, p.y, p.x * s + p.z * c);
            const aiVector3D d = w - eye;
            const float z = d * fwd;
            ++total;
            if (z > 0.1f && std::fabs(d * right) < z * t * 16 / 9 && std::fabs(d * up) < z * t)
                ++visible;
        }
        EXPECT_GT(visible, total / 20) << "little of the model in view at progress " << progress;
    }
}

INSTANTIATE_TEST_SUITE_P(HeadAndHandMoves, MeshFraming, ::testing::Range(0, 6));

TEST(Meshes, ModelsHaveTheirExpectedSizeAndFacing)
{
    LoadedMesh head, hand, cylinder;
    Load(head, "t2_head.x", kFileFrame);
    Load(hand, "t2_hand.x", kFileFrame);
    Load(cylinder, "head_cylinder.x", kFileFrame);
    ASSERT_TRUE(head.scene && hand.scene && cylinder.scene);
    auto bounds = [](const aiScene* s, aiVector3D& lo, aiVector3D& hi) {
        lo = aiVector3D(1e9f);
        hi = aiVector3D(-1e9f);
        for (unsigned i = 0; i < s->mNumMeshes; ++i)
            for (unsigned v = 0; v < s->mMeshes[i]->mNumVertices; ++v) {
                const aiVector3D p = s->mMeshes[i]->mVertices[v];
                lo = aiVector3D(std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z));
                hi = aiVector3D(std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z));
            }
    };
    aiVector3D lo, hi;
    bounds(head.scene, lo, hi);
    EXPECT_NEAR(hi.y - lo.y, 290.0f, 30.0f) << "crown to neck cut, in hundredths";
    EXPECT_LT(lo.z, -95.0f);
    EXPECT_GT(hi.z, 80.0f);
    // The face looks towards -z: the eyes (the red subset) are in front.
    for (unsigned i = 0; i < head.scene->mNumMeshes; ++i) {
        const aiMesh* mesh = head.scene->mMeshes[i];
        if (mesh->mMaterialIndex != 1)
            continue;
        float z = 0;
        for (unsigned v = 0; v < mesh->mNumVertices; ++v)
            z += mesh->mVertices[v].z / mesh->mNumVertices;
        EXPECT_LT(z, -50.0f);
    }
    bounds(hand.scene, lo, hi);
    EXPECT_GT(hi.y, 170.0f) << "fingertips up";
    EXPECT_LT(lo.y, -120.0f) << "forearm down";
    bounds(cylinder.scene, lo, hi);
    // At the show's 0.2 scale the cylinder's bounding sphere stays below
    // half of the 1.5 units that separate the falling cylinders.
    const float radius = std::sqrt(std::max(hi.x * hi.x, lo.x * lo.x) + std::max(hi.y * hi.y, lo.y * lo.y) +
                                   std::max(hi.z * hi.z, lo.z * lo.z));
    EXPECT_LT(radius * 0.2f, 0.75f);
    EXPECT_GT(radius * 0.2f, 0.3f);
}

TEST(Meshes, FacesWindCounterClockwiseSeenFromOutside)
{
    // The show culls clockwise triangles: in the file's coordinates the
    // right-hand normal of every face must point away from the inside.
    LoadedMesh cylinder;
    Load(cylinder, "head_cylinder.x", kFileFrame);
    ASSERT_TRUE(cylinder.scene);
    size_t outward = 0, total = 0;
    for (const Tri& t : Triangles(cylinder.scene)) {
        const aiVector3D n = (t.b - t.a) ^ (t.c - t.a);
        const aiVector3D centre = (t.a + t.b + t.c) / 3.0f;
        outward += n * centre > 0;
        ++total;
    }
    EXPECT_EQ(outward, total);
}

TEST(AoMaps, ArePaletteGreysWithRealOcclusion)
{
    for (const char* name : {"head_AO.png", "hand_AO.png"}) {
        const Decoded d = DecodeRgba(ReadBytes(Generated(std::string("Textures/") + name)));
        ASSERT_GT(d.w, 0) << name;
        double sum = 0;
        size_t dark = 0, n = (size_t)d.w * d.h;
        for (size_t i = 0; i < n; ++i) {
            const uint8_t* p = &d.rgba[i * 4];
            EXPECT_TRUE(p[0] == p[1] && p[1] == p[2]) << name << ": the shader reads red only";
            sum += p[0];
            dark += p[0] < 128;
            if (p[0] != p[1])
                break;
        }
        const double mean = sum / n / 255.0;
        EXPECT_GT(mean, 0.45) << name;
        EXPECT_LT(mean, 0.97) << name;
        EXPECT_GT(dark, n / 200) << name << ": creases are darker";
    }
}

// ---------------------------------------------------------------------------

std::vector<std::string> Lines(const fs::path& path)
{
    std::ifstream f(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(f, line);)
        lines.push_back(line);
    return lines;
}

TEST(ShowText, LaserLinesFitTheFontAndTheScreen)
{
    const Decoded d = DecodeRgba(ReadBytes(Generated("Textures/laser_font.png")));
    const std::vector<uint32_t> texels = Argb(d);
    float widths[256], offsets[256];
    ScanGlyphStrip(texels.data(), d.w, d.h, kGlyphs, 0xFFFFFFFFu, widths, offsets);
    const std::vector<std::string> lines = Lines(fs::path(LUMIVANE_SOURCE_DIR) / "laser.txt");
    ASSERT_EQ(lines.size(), 4u);
    for (const std::string& line : lines) {
        EXPECT_LE(line.size(), 63u);
        float w = 0;
        for (unsigned char c : line) {
            EXPECT_TRUE(c == ' ' || offsets[c] >= 0) << "no glyph for '" << c << "' in: " << line;
            w += (c == ' ' ? 24.0f : widths[c]) + 2.0f;  // spacing 2, space 24
        }
        EXPECT_LT(w, 1280.0f - 80.0f) << line;
    }
}

TEST(ShowText, ScrollerTextUsesOnlyGlyphsAndSpaces)
{
    std::ifstream f(fs::path(LUMIVANE_SOURCE_DIR) / "scroller.txt", std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    EXPECT_GT(text.size(), 200u);
    EXPECT_LT(text.size(), 1023u);
    for (size_t i = 0; i + 1 < text.size(); ++i)  // the last byte (a line feed) is dropped by the reader
        EXPECT_TRUE(text[i] == ' ' || std::strchr(kGlyphs, text[i])) << "byte " << i << ": '" << text[i] << "'";
}

// ---------------------------------------------------------------------------

TEST(Generator, TwoRunsWriteIdenticalBytes)
{
    const fs::path tmp = fs::temp_directory_path() / ("lumivane_assetgen_" + std::to_string(::getpid()));
    const std::string cmd = std::string("\"") + LUMIVANE_ASSETGEN + "\" --out \"" + tmp.string() + "\" > /dev/null";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    size_t compared = 0;
    for (const char* sub : {"Textures", "meshs"})
        for (const auto& entry : fs::directory_iterator(Generated(sub))) {
            const fs::path again = tmp / "Data" / sub / entry.path().filename();
            EXPECT_EQ(ReadBytes(entry.path()), ReadBytes(again)) << entry.path().filename();
            ++compared;
        }
    EXPECT_EQ(compared, 23u);
    fs::remove_all(tmp);
}

}  // namespace
