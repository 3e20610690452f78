// --data: assets from a folder in place of the embedded copies, and effect
// files reloaded while the show runs.
#include <gtest/gtest.h>

#include <unistd.h>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

#include "assets/asset_source.h"
#include "assets/cube_texture.h"
#include "assets/effect_reload.h"
#include "assets/mesh.h"
#include "assets/music.h"
#include "assets/resource_ids.h"
#include "assets/texture.h"
#include "platform/gpu.h"
#include "render/graphics_device.h"
#include "render/renderer_2d.h"
#include "tests/allocation_counter.h"
#include "tests/gpu_fixture.h"

namespace fs = std::filesystem;

namespace {

// A folder of its own per test, made the asset folder (or not) by the test.
class AssetFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(GpuFixture::Start(64, 36, 1));
        dir = fs::temp_directory_path() / ("lumivane_data_" + std::to_string(getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir / "Data" / "Shaders");
        fs::create_directories(dir / "Data" / "Textures");
        fs::create_directories(dir / "Data" / "meshs");
        fs::create_directories(dir / "Data" / "Music");
    }
    void TearDown() override {
        SetAssetFolder("");
        fs::remove_all(dir);
    }

    // Writes a file of the folder; every version gets a modification time of
    // its own, a second apart, so that no file system's clock hides a change.
    void Write(const std::string& name, const std::string& bytes) {
        const fs::path path = dir / name;
        std::ofstream(path, std::ios::binary) << bytes;
        fs::last_write_time(path, fs::file_time_type::clock::now() + std::chrono::seconds(++versions));
    }

    fs::path dir;
    int versions = 0;
};

std::string EmbeddedBytes(int id) {
    AssetBytes bytes;
    if (!OpenAsset(id, "RCDATA", "texture", &bytes)) return "";
    return std::string(reinterpret_cast<const char*>(bytes.data), bytes.size);
}

// Lines written to stderr by `load`.
template <typename Load>
std::string Stderr(Load load) {
    testing::internal::CaptureStderr();
    load();
    return testing::internal::GetCapturedStderr();
}

// An effect whose one pass paints (g_fLevel, g_fSet, 0): the first a
// default of the file, the second a value the show sets.
std::string LevelEffect(const char* level, const char* extra = "") {
    return std::string("float g_fLevel = ") + level +
           ";\n"
           "float g_fSet = 0.0;\n"
           "pixelshader PS { void main() { o_Colour = vec4(g_fLevel, g_fSet, 0.0, 1.0); " +
           extra +
           "} }\n"
           "technique PostProcess { pass p0 { VertexShader = null; PixelShader = PS; } }\n";
}

// The colour the effect paints, read from the middle of the back buffer.
uint32_t Paint(Gpu::Effect* effect) {
    GraphicsDevice::Clear(0xFF000000);
    Gpu::SetRenderState(Gpu::kRsZEnable, 0);
    Gpu::SetRenderState(Gpu::kRsCullMode, Gpu::kCullNone);
    Gpu::SetRenderState(Gpu::kRsAlphaBlendEnable, 0);
    effect->SetTechnique("PostProcess");
    const Vector2 position(0, 0), size(64, 36);
    Renderer2D::DrawEffectQuad(effect, &position, &size, 0xFFFFFFFF);
    return GpuFixture::ReadBackBuffer().At(32, 18) & 0x00FFFFFF;
}

const char kRgbSplitFile[] = "Data/Shaders/RGBSplit.fx";

}  // namespace

TEST_F(AssetFolderTest, AFileOfTheAssetsNameTakesThePlaceOfTheEmbeddedCopy) {
    // The loading pip (32 x 32) as the grid (512 x 512).
    Write("Data/Textures/grid.png", EmbeddedBytes(kTexLoadingPip));
    std::unique_ptr<Texture> embedded(Texture::FromResource(kTexGrid));
    ASSERT_NE(embedded, nullptr);
    EXPECT_EQ(embedded->width, 512u) << "no folder: the file is not read";
    SetAssetFolder(dir.string());
    std::unique_ptr<Texture> fromFile(Texture::FromResource(kTexGrid));
    ASSERT_NE(fromFile, nullptr);
    EXPECT_EQ(fromFile->width, 32u);
    // A folder standing where the file would be is no file: the embedded copy.
    fs::create_directories(dir / "Data/Textures/meta_font.png");
    std::unique_ptr<Texture> font(Texture::FromResource(kTexMetaFont));
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font->width, 512u);
    for (Texture* t : {embedded.get(), fromFile.get(), font.get()}) t->Release();
}

// A broken file in the folder is a missing asset, said in one line that
// names the file; nothing falls back to the embedded copy, nothing crashes.
TEST_F(AssetFolderTest, AFileThatDoesNotLoadMakesItsAssetMissingWithOneLine) {
    SetAssetFolder(dir.string());
    Music::Init(true);
    const std::string png = EmbeddedBytes(kTexLoadingPip);
    const struct {
        const char* file;
        std::string bytes;
        bool (*load)();
    } cases[] = {
        {"Data/Textures/grid.png", "not a picture", [] { return Texture::FromResource(kTexGrid) != nullptr; }},
        {"Data/Textures/grid.png", "", [] { return Texture::FromResource(kTexGrid) != nullptr; }},
        {"Data/Textures/grid.png", png.substr(0, png.size() / 2),
         [] { return Texture::FromResource(kTexGrid) != nullptr; }},
        {"Data/Textures/cubemap.dds", png, [] { return CubeTexture::FromResource(kCubeStudio) != nullptr; }},
        {"Data/meshs/t2_head.x", "xof 0303txt 0032\nMesh {", [] { return Mesh::FromResource(kMeshHead) != nullptr; }},
        {"Data/meshs/t2_hand.x", png, [] { return Mesh::FromResource(kMeshHand) != nullptr; }},
        {"Data/Music/lumivane.ogg", "OggS but not really", [] { return Music::Load(kMusicSoundtrack) != nullptr; }},
        {"Data/Shaders/Scene.fx", "technique {",
         [] {
             Gpu::Effect* effect = nullptr;
             EffectFiles::Load(&effect, kFxScene, "Data\\Shaders\\Scene.fx");
             EffectFiles::Forget(&effect);
             return effect != nullptr;
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.file << ", " << c.bytes.size() << " bytes");
        Write(c.file, c.bytes);
        bool loaded = true;
        const std::string err = Stderr([&] { loaded = c.load(); });
        EXPECT_FALSE(loaded);
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
        EXPECT_NE(err.find((dir / c.file).string()), std::string::npos) << err;
        fs::remove(dir / c.file);
    }
    Music::Shutdown();
}

// Reloading swaps the new contents in behind the handle the effects keep:
// an edited default shows, a value the show set stays, a file that does not
// compile leaves the last good version running and says why in one line
// until it is fixed, and a removed file brings the embedded copy back.
TEST_F(AssetFolderTest, AChangedEffectFileIsReloadedBehindTheSameHandle) {
    SetAssetFolder(dir.string());
    Write(kRgbSplitFile, LevelEffect("0.25"));
    Gpu::Effect* effect = nullptr;
    EffectFiles::Load(&effect, kFxRgbSplit, "Data\\Shaders\\RGBSplit.fx");
    ASSERT_NE(effect, nullptr);
    Gpu::Effect* const handle = effect;
    effect->SetFloat("g_fSet", 0.5f);
    EXPECT_EQ(Paint(effect), 0x408000u);  // (0.25, 0.5, 0) in 0xRRGGBB
    EXPECT_FALSE(EffectFiles::ReloadChangedNow()) << "nothing changed yet";

    Write(kRgbSplitFile, LevelEffect("0.75"));
    std::string err = Stderr([] { EXPECT_TRUE(EffectFiles::ReloadChangedNow()); });
    EXPECT_EQ(effect, handle);
    EXPECT_EQ(Paint(effect), 0xBF8000u);
    EXPECT_NE(err.find("reloaded"), std::string::npos) << err;
    EXPECT_EQ(EffectFiles::Error(), nullptr);

    Write(kRgbSplitFile, LevelEffect("0.1", "undeclared_name;"));
    err = Stderr([] { EXPECT_FALSE(EffectFiles::ReloadChangedNow()); });
    EXPECT_EQ(effect, handle);
    EXPECT_EQ(Paint(effect), 0xBF8000u) << "the last good version runs on";
    ASSERT_NE(EffectFiles::Error(), nullptr);
    const std::string error = EffectFiles::Error();
    EXPECT_EQ(error.find('\n'), std::string::npos);
    EXPECT_NE(error.find((dir / kRgbSplitFile).string()), std::string::npos) << error;
    EXPECT_NE(error.find("undeclared_name"), std::string::npos) << error;
    EXPECT_EQ(err, "lumivane: " + error + "\n");
    // Still broken on the next look (unchanged): still said, not said again.
    err = Stderr([] { EXPECT_FALSE(EffectFiles::ReloadChangedNow()); });
    EXPECT_EQ(err, "");
    EXPECT_NE(EffectFiles::Error(), nullptr);

    Write(kRgbSplitFile, LevelEffect("1.0"));
    EXPECT_TRUE(EffectFiles::ReloadChangedNow());
    EXPECT_EQ(EffectFiles::Error(), nullptr);
    EXPECT_EQ(Paint(effect), 0xFF8000u);

    // Looking at unchanged files, as every frame does, allocates nothing.
    AllocationCounter::Start();
    EffectFiles::ReloadChangedNow();
    EffectFiles::ReloadChanged();
    EXPECT_EQ(AllocationCounter::Stop(), 0);

    fs::remove(dir / kRgbSplitFile);
    EXPECT_TRUE(EffectFiles::ReloadChangedNow());
    EXPECT_EQ(effect, handle);
    EXPECT_FALSE(effect->HasParameter("g_fLevel"));
    EXPECT_TRUE(effect->HasParameter("g_fScale"));  // the embedded colour split's

    EffectFiles::Forget(&effect);
    Gpu::ReleaseEffect(effect);
}

// A file that did not compile when the show started is null in the
// catalogue and on screen as an error; once it compiles, the slot has it.
TEST_F(AssetFolderTest, AnEffectThatFailedAtStartArrivesOnceItCompiles) {
    SetAssetFolder(dir.string());
    Write(kRgbSplitFile, "technique {");
    Gpu::Effect* effect = nullptr;
    const std::string err = Stderr([&] { EffectFiles::Load(&effect, kFxRgbSplit, "Data\\Shaders\\RGBSplit.fx"); });
    EXPECT_EQ(effect, nullptr);
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    EXPECT_NE(EffectFiles::Error(), nullptr);
    Write(kRgbSplitFile, LevelEffect("0.5"));
    EXPECT_TRUE(EffectFiles::ReloadChangedNow());
    ASSERT_NE(effect, nullptr);
    EXPECT_EQ(EffectFiles::Error(), nullptr);
    EXPECT_EQ(Paint(effect), 0x800000u);
    EffectFiles::Forget(&effect);
    Gpu::ReleaseEffect(effect);
}

// Without a folder nothing is read from disk, even where a file of the
// asset's name lies in the working directory, and nothing is reloaded.
TEST_F(AssetFolderTest, WithoutAFolderTheFilesOfTheWorkingDirectoryAreNotRead) {
    Write(kRgbSplitFile, LevelEffect("0.25"));
    Write("Data/Textures/grid.png", "not a picture");
    const fs::path previous = fs::current_path();
    fs::current_path(dir);
    Gpu::Effect* effect = nullptr;
    std::unique_ptr<Texture> grid;
    const std::string err = Stderr([&] {
        EffectFiles::Load(&effect, kFxRgbSplit, "Data\\Shaders\\RGBSplit.fx");
        grid.reset(Texture::FromResource(kTexGrid));
    });
    fs::current_path(previous);
    EXPECT_EQ(err, "");
    ASSERT_NE(effect, nullptr);
    EXPECT_FALSE(effect->HasParameter("g_fLevel"));
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->width, 512u);
    Write(kRgbSplitFile, LevelEffect("0.5"));
    EXPECT_FALSE(EffectFiles::ReloadChangedNow());
    grid->Release();
    EffectFiles::Forget(&effect);
    Gpu::ReleaseEffect(effect);
}
