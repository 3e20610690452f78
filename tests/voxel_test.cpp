// The voxel cloud's effect: the two techniques of its effect file on a real
// device, its fades, drift and blur switch, and whole shots with and without
// what they draw with.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "assets/catalogue.h"
#include "assets/resource_ids.h"
#include "assets/texture.h"
#include "core/camera.h"
#include "effects/voxel_resources.h"
#include "effects/voxel_test.h"
#include "platform/gpu.h"
#include "platform/input.h"
#include "render/graphics_device.h"
#include "render/post_process.h"
#include "render/renderer_2d.h"
#include "tests/gpu_fixture.h"
#include "timeline/active_effects.h"

using GpuFixture::Image;

namespace {

// Lives to the end of the process, as the tweak table points into it.
Camera& TestCamera() {
    static Camera camera(640.0f, 360.0f);
    return camera;
}

CVoxelTest* NewShot(float duration) { return dynamic_cast<CVoxelTest*>(CreateEffect(kVoxelTest, 0, duration)); }

void LoadCatalogue() {
    for (float progress = 0.0f; !PreloadNextAsset(&progress);) {}
}

// A render target of its own for the length of a test, current while it lives.
class OwnTarget {
public:
    OwnTarget(unsigned w, unsigned h, Gpu::Format format) {
        texture = Texture::CreateRenderTarget(w, h, format);
        saved = GraphicsDevice::SetRenderTexture(texture);
    }
    ~OwnTarget() {
        GraphicsDevice::RestoreRenderTarget(saved);
        DeleteTexture(texture);
    }
    Texture* texture;

private:
    Gpu::Surface* saved;
};

std::vector<float> ReadFloats(unsigned w, unsigned h) {
    std::vector<float> rgba(static_cast<size_t>(w) * h * 4);
    Gpu::ReadRenderTargetFloats(rgba.data());
    return rgba;
}

int CountDifferent(const Image& a, const Image& b) {
    int n = 0;
    for (size_t i = 0; i < a.pixels.size(); ++i) n += a.pixels[i] != b.pixels[i];
    return n;
}

}  // namespace

TEST(VoxelTechniques, TheFieldIsTheLevelledSumCappedAtTwoInEverySliceOfTheStack) {
    ASSERT_TRUE(GpuFixture::Start(320, 180, 1));
    Gpu::Effect* voxel = GraphicsDevice::CreateEffectFromResource(kFxVoxel, "Data\\Shaders\\Voxel.fx");
    ASSERT_NE(voxel, nullptr);
    OwnTarget stack(32, 1024, Gpu::kFormatR32F);
    ASSERT_NE(stack.texture->surface, nullptr);
    // The states the shot draws the stack with: blending and alpha test on.
    Gpu::SetRenderState(Gpu::kRsZEnable, 0);
    Gpu::SetRenderState(Gpu::kRsAlphaBlendEnable, 1);
    Gpu::SetRenderState(Gpu::kRsAlphaTestEnable, 1);
    Gpu::SetRenderState(Gpu::kRsCullMode, Gpu::kCullNone);
    voxel->SetTechnique("TechVoxel");

    // The quad lies half a pixel in: pixel (i, j) of slice k holds the field
    // at ((i - 0.5) / 32, (j - 0.5) / 32, k / 32). The balls sit on pixel
    // (16, 8) of slice 10, or where row 0 of slice 11 would be; those not
    // used are far away.
    const Vector3 onSlice10(15.5f / 32, 7.5f / 32, 10 / 32.0f), onRow0(15.5f / 32, -0.5f / 32, 11 / 32.0f);
    struct Probe {
        int slice, x, y;
        float density;
    };
    struct Case {
        const char* name;
        Vector3 at;
        int balls;
        float level;
        std::vector<Probe> probes;
    };
    // clang-format off
    const Case cases[] = {
        {"two balls", onSlice10, 2, 0.2f,
         {{10, 16, 8, 2.0f},        // 2 x 0.2 over a level of 0.2
          {10, 17, 8, 1.6875f},     // a texel away: 2 x (0.2 - 1/32)
          {10, 16, 11, 1.0625f},    // three texels: 2 x (0.2 - 3/32) just reaches the level
          {10, 12, 8, 0.0f},        // four: 2 x 0.075 is below it
          {10, 30, 30, 0.0f},
          {12, 16, 8, 1.375f},      // two slices further on
          {8, 16, 8, 1.375f}}},     // and two before
        {"three balls are capped at 2", onSlice10, 3, 0.2f, {{10, 16, 8, 2.0f}, {10, 17, 8, 2.0f}, {10, 12, 8, 1.125f}}},
        {"a level of 0 reaches nothing", onSlice10, 3, 0.0f, {{10, 16, 8, 0.0f}, {10, 17, 8, 0.0f}}},
        // As a slice's own quad would leave them, its first row and column
        // stay empty; the slice before sees the balls a slice away.
        {"the first row and column stay empty", onRow0, 2, 0.2f,
         {{11, 16, 0, 0.0f}, {11, 16, 1, 1.6875f}, {11, 0, 1, 0.0f}, {10, 16, 1, 1.5581f}}},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Vector3 balls[kVoxelBalls];
        for (int i = 0; i < kVoxelBalls; ++i) balls[i] = i < c.balls ? c.at : Vector3(5.0f, 5.0f, 5.0f);
        voxel->SetFloatArray("g_vBalls", &balls[0].x, kVoxelBalls * 3);
        voxel->SetFloat("g_fMinLevel", c.level);
        GraphicsDevice::Clear(0x00000000);
        const Vector2 origin(0, 0), size(32, 1024);
        Renderer2D::DrawEffectQuad(voxel, &origin, &size, 0xFFFFFFFF);
        std::vector<float> values = ReadFloats(32, 1024);
        for (const Probe& p : c.probes)
            EXPECT_NEAR(values[((p.slice * 32 + p.y) * 32 + p.x) * 4], p.density, 1e-4)
                << "slice " << p.slice << " at " << p.x << "," << p.y;
    }
    EXPECT_EQ(Gpu::GetRenderState(Gpu::kRsAlphaBlendEnable), 1u);  // the pass gives the state back
    Gpu::ReleaseEffect(voxel);
}

// The shot evaluates the field band by band with only the balls that reach
// each band: its densities must be those of all 64 balls, bit for bit.
TEST(VoxelTechniques, TheFieldFromTheReachingBallsIsTheFieldFromAllOfThem) {
    ASSERT_TRUE(GpuFixture::Start(320, 180, 1));
    Gpu::Effect* voxel = GraphicsDevice::CreateEffectFromResource(kFxVoxel, "Data\\Shaders\\Voxel.fx");
    ASSERT_NE(voxel, nullptr);
    OwnTarget stack(32, 1024, Gpu::kFormatR32F);
    Gpu::SetRenderState(Gpu::kRsZEnable, 0);
    Gpu::SetRenderState(Gpu::kRsAlphaBlendEnable, 1);
    Gpu::SetRenderState(Gpu::kRsAlphaTestEnable, 1);
    Gpu::SetRenderState(Gpu::kRsCullMode, Gpu::kCullNone);
    struct Case {
        float time, level;
    };
    // The show's level at several moments, a wide and a narrow one, none.
    const Case cases[] = {{0.0f, 0.2f}, {3.3f, 0.2f}, {10.0f, 0.2f}, {17.9f, 0.2f},
                          {5.0f, 0.45f}, {5.0f, 0.04f}, {5.0f, 0.0f}};
    for (const Case& c : cases) {
        Vector3 balls[kVoxelBalls];
        ComputeVoxelBalls(c.time, balls);
        GraphicsDevice::Clear(0x00000000);
        voxel->SetTechnique("TechVoxel");
        voxel->SetFloat("g_fMinLevel", c.level);
        voxel->SetInt("g_nBalls", kVoxelBalls);
        voxel->SetFloatArray("g_vBalls", &balls[0].x, kVoxelBalls * 3);
        const Vector2 origin(0, 0), size(32, 1024);
        Renderer2D::DrawEffectQuad(voxel, &origin, &size, 0xFFFFFFFF);
        const std::vector<float> all = ReadFloats(32, 1024);
        GraphicsDevice::Clear(0x00000000);
        EvaluateVoxelField(voxel, balls, c.level);
        const std::vector<float> reaching = ReadFloats(32, 1024);
        int differ = 0, filled = 0;
        for (size_t i = 0; i < all.size(); i += 4) {
            differ += std::memcmp(&all[i], &reaching[i], sizeof(float)) != 0;
            filled += all[i] != 0.0f;
        }
        EXPECT_EQ(differ, 0) << "at " << c.time << " s, level " << c.level;
        if (c.level > 0.0f) {
            EXPECT_GT(filled, 0) << "at " << c.time << " s: an empty field shows nothing";
        }
    }
    EXPECT_EQ(Gpu::GetRenderState(Gpu::kRsScissorTestEnable), 0u);
    Gpu::ReleaseEffect(voxel);
}

TEST(VoxelTechniques, ASpriteIsSizedByItsDensityInPixelsOfTheTargetHeightAndShowsItsNormals) {
    ASSERT_TRUE(GpuFixture::Start(320, 180, 1));
    ASSERT_TRUE(CreateVoxelResources());
    Gpu::Effect* voxel = GraphicsDevice::CreateEffectFromResource(kFxVoxel, "Data\\Shaders\\Voxel.fx");
    ASSERT_NE(voxel, nullptr);
    VoxelResources& r = VoxelResources::Get();
    // A slice of density 1 (red 255) or 0.
    auto fillSlice = [&](uint32_t colour) {
        Gpu::Surface* saved = GraphicsDevice::SetRenderTexture(r.slices[0]);
        GraphicsDevice::Clear(colour);
        GraphicsDevice::RestoreRenderTarget(saved);
    };
    // Model and view unturned; a projection with vertical scale 10 and w 1:
    // a sprite of density 1 is 0.02 x 10 x height / 2 = height / 10 pixels
    // wide. The horizontal scale takes no part.
    Matrix projection = kIdentity;
    projection(0, 0) = 0.5f;
    projection(1, 1) = 10.0f;
    voxel->SetMatrix("g_mModel", kIdentity);
    voxel->SetMatrix("g_mView", kIdentity);
    voxel->SetMatrix("g_mProj", projection);
    voxel->SetTexture("g_txTexture", r.slices[0]->texture);
    voxel->SetTexture("g_txNormalMap", r.normalMap->texture);
    voxel->SetTechnique("TechParticle");
    const VoxelParticle particle = {Vector3(0.0f, 0.0f, 0.5f), 0.5f, 0.5f};

    struct Case {
        unsigned height;
        uint32_t slice;
        int diameter;
    };
    const Case cases[] = {{200, 0xFFFF0000, 20}, {400, 0xFFFF0000, 40}, {400, 0x00000000, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.height << " high, slice " << std::hex << c.slice);
        fillSlice(c.slice);
        OwnTarget target(c.height, c.height, Gpu::kFormatA8R8G8B8);
        GraphicsDevice::Clear(0x00000000);
        Gpu::SetRenderState(Gpu::kRsZEnable, 0);
        Gpu::SetRenderState(Gpu::kRsAlphaTestEnable, 1);
        Gpu::SetRenderState(Gpu::kRsAlphaBlendEnable, 1);
        voxel->SetFloat("g_fTargetHeight", static_cast<float>(c.height));
        Gpu::SetVertexDeclaration(GraphicsDevice::GetVertexDeclaration(kDeclPosTex));
        Gpu::ForEachPass(voxel, [&] { Gpu::DrawPrimitiveUP(Gpu::kPointList, 1, &particle, sizeof particle); });
        Image image = GpuFixture::ReadTarget();
        int covered = 0;
        for (uint32_t p : image.pixels) covered += GpuFixture::Alpha(p) == 255;
        const float area = 3.14159265f * c.diameter * c.diameter / 4;
        EXPECT_NEAR(covered, area, area * 0.1f + 1);
        if (c.diameter == 0) continue;
        // Normals as colours, (n + 1) / 2: the centre faces the viewer, the
        // right-hand side points right (red), the lower side down in the map's
        // rows (green above a half).
        const int mid = static_cast<int>(c.height) / 2, edge = c.diameter * 3 / 8;
        const uint32_t centre = image.At(mid, mid), right = image.At(mid + edge, mid),
                       below = image.At(mid, mid + edge);
        EXPECT_GT(GpuFixture::Blue(centre), 240);
        EXPECT_NEAR(GpuFixture::Red(centre), 128, 12);
        EXPECT_GT(GpuFixture::Red(right), 190);
        EXPECT_NEAR(GpuFixture::Green(right), 128, 12);
        EXPECT_GT(GpuFixture::Green(below), 190);
    }
    Gpu::ReleaseEffect(voxel);
    ReleaseVoxelResources();
}

TEST(VoxelTest, FadesNeverWrapAndTheShortOneIsBlackOnceTheShotHasRunOut) {
    struct Case {
        float timeLeft, duration;
        uint8_t shortFade, longFade;
    };
    // clang-format off
    const Case cases[] = {
        {4.0f, 4.0f, 255, 255},   // not updated yet: black under both
        {3.75f, 4.0f, 127, 15},   // in from black over half a second ...
        {3.5f, 4.0f, 0, 31},
        {2.0f, 4.0f, 0, 127},     // ... while the whole shot darkens
        {0.25f, 4.0f, 127, 239},
        {0.0f, 4.0f, 255, 255},
        {-0.2f, 4.0f, 255, 255},  // 1.4 x 255 would wrap to 101
        {9.0f, 10.0f, 0, 191},    // a longer shot comes up from black ...
        {5.0f, 10.0f, 0, 0},      // ... and is clear in its middle
    };
    // clang-format on
    for (const Case& c : cases) {
        EXPECT_EQ(VoxelShortFade(c.timeLeft, c.duration), c.shortFade) << c.timeLeft << " of " << c.duration;
        EXPECT_EQ(VoxelLongFade(c.timeLeft, c.duration), c.longFade) << c.timeLeft << " of " << c.duration;
    }

    // Through the shot itself: the frame on which its lifetime runs out. It
    // then retires itself, so the list deletes it.
    Camera* previous = SetActiveCamera(&TestCamera());
    CVoxelTest* shot = NewShot(4.0f);
    ASSERT_NE(shot, nullptr);
    ActiveEffectList::Add(shot);
    for (int i = 0; i < 15; ++i) shot->Update(0.25f);
    EXPECT_EQ(shot->timeLeft, 0.25f);
    EXPECT_EQ(GraphicsDevice::GetFade(), 127);
    shot->Update(0.3f);
    EXPECT_LT(shot->timeLeft, 0.0f);
    EXPECT_EQ(GraphicsDevice::GetFade(), 255);  // 1.1 x 255 would wrap to 24
    ActiveEffectList::Clear();
    SetActiveCamera(previous);
    GraphicsDevice::SetFade(0);
}

TEST(VoxelTest, EachShotDriftsFromOutsideTheUnitSphereOnItsOwnPath) {
    Camera* previous = SetActiveCamera(&TestCamera());
    Vector3 lastEye;
    for (int n = 0; n < 6; ++n) {
        CVoxelTest* shot = NewShot(100.0f);  // does not run out here
        ASSERT_NE(shot, nullptr);
        const Vector3 eye = shot->eye, goal = shot->goalEye;
        EXPECT_GT(DistanceSq(eye, Vector3()), 1.0f);
        EXPECT_GT(DistanceSq(goal, Vector3()), 1.0f);
        for (float v : {eye.x, eye.y, eye.z, goal.x, goal.y, goal.z}) EXPECT_LE(std::fabs(v), 1.0f);
        EXPECT_GT(DistanceSq(eye, lastEye), 0.0f) << "shot " << n << " starts where the last one did";
        lastEye = eye;
        EXPECT_EQ(shot->overlayTextureId, kTexOverlay2);

        // The camera is placed before the eye moves on by a tenth of the gap a second.
        shot->Update(1.0f);
        EXPECT_EQ(TestCamera().GetPosition().x, eye.x);
        EXPECT_NEAR(shot->eye.x, eye.x + (goal.x - eye.x) * 0.1f, 1e-6);
        EXPECT_EQ(TestCamera().GetTarget().y, 0.586598f);
        // A step longer than ten seconds lands on the goal, never beyond.
        shot->Update(20.0f);
        EXPECT_NEAR(shot->eye.x, goal.x, 1e-6);
        EXPECT_NEAR(shot->eye.z, goal.z, 1e-6);
        delete shot;
    }
    SetActiveCamera(previous);
}

TEST(VoxelTest, BallsStayInsideTheVolume) {
    Vector3 balls[kVoxelBalls];
    ComputeVoxelBalls(0.0f, balls);
    EXPECT_FLOAT_EQ(balls[0].x, 0.375f);  // at time 0 the first ball is at the top of its path
    EXPECT_FLOAT_EQ(balls[0].y, 0.75f);
    EXPECT_FLOAT_EQ(balls[0].z, 0.375f);
    for (float t = 0.0f; t < 230.0f; t += 0.37f) {
        ComputeVoxelBalls(t, balls);
        for (const Vector3& b : balls) {
            for (float v : {b.x, b.y, b.z}) {
                ASSERT_GE(v, 0.0f) << t;
                ASSERT_LE(v, 0.75f) << t;
            }
        }
    }
}

TEST(VoxelTest, KeyOneSwitchesTheBlurForThisShotAndTheNextOnes) {
    ASSERT_TRUE(GpuFixture::Start(320, 180, 1));
    InputState& input = InputState::Get();
    const bool before = VoxelBlurEnabled;
    auto frame = [&](bool keyDown) {
        input.keys['1'] = keyDown ? 1 : 0;
        CVoxelTest* shot = NewShot(4.0f);
        shot->Render();
        delete shot;
        InputState::Snapshot();
    };
    frame(true);  // pressed: on
    EXPECT_EQ(VoxelBlurEnabled, !before);
    frame(true);  // held into the next shot: no change
    EXPECT_EQ(VoxelBlurEnabled, !before);
    frame(false);
    EXPECT_EQ(VoxelBlurEnabled, !before);
    frame(true);  // pressed again: off
    EXPECT_EQ(VoxelBlurEnabled, before);
    frame(false);
}

TEST(VoxelTest, AShotDrawsTheLitCloudThroughItsChainAndNothingWithoutItsResources) {
    ASSERT_TRUE(GpuFixture::Start(640, 360, 1));
    LoadCatalogue();
    ASSERT_NE(GetEffect(kFxVoxel), nullptr);
    Camera* previous = SetActiveCamera(&TestCamera());
    const bool blurBefore = VoxelBlurEnabled;
    CVoxelTest* shot = NewShot(4.0f);
    ASSERT_NE(shot, nullptr);
    shot->Update(0.02f);  // early in the shot: no darkening yet

    auto draw = [&] {
        Gpu::Surface* before = Gpu::GetRenderTarget();
        GraphicsDevice::Clear(0xFF000000);
        GraphicsDevice::ClearDepth(1.0f);
        shot->Render();
        Gpu::Surface* after = Gpu::GetRenderTarget();
        EXPECT_EQ(after, before) << "the shot left another render target current";
        Gpu::Release(before);
        Gpu::Release(after);
        return GpuFixture::ReadBackBuffer();
    };

    // Without its resources the shot draws nothing at all.
    ReleaseVoxelResources();
    const Image black = draw();
    for (uint32_t p : black.pixels) ASSERT_EQ(p, 0xFF000000u);

    ASSERT_TRUE(CreateVoxelResources());
    VoxelResources& r = VoxelResources::Get();
    VoxelBlurEnabled = false;
    const Image cloud = draw();
    EXPECT_EQ(PostProcessChain::PassCounter(), 2);  // down, light (which enlarges)
    VoxelBlurEnabled = true;
    const Image blurred = draw();
    EXPECT_EQ(PostProcessChain::PassCounter(), 4);  // down, two blurs, light
    const float level = r.voxLevel;
    r.voxLevel = 0.0f;  // an empty volume: only the overlay is left
    const Image empty = draw();
    r.voxLevel = level;

    // The cloud covers a fair part of the picture, in more than one shade.
    const int cloudPixels = CountDifferent(cloud, empty);
    EXPECT_GT(cloudPixels, cloud.width * cloud.height / 50);
    int shades[8] = {};
    for (size_t i = 0; i < cloud.pixels.size(); ++i)
        if (cloud.pixels[i] != empty.pixels[i]) ++shades[GpuFixture::Green(cloud.pixels[i]) / 32];
    EXPECT_GE(std::count_if(std::begin(shades), std::end(shades), [](int n) { return n > 0; }), 3);
    // The blur softens it: the picture changes, within the cloud.
    const int changed = CountDifferent(cloud, blurred);
    EXPECT_GT(changed, cloudPixels / 20);
    EXPECT_LT(changed, cloudPixels * 2);

    delete shot;
    VoxelBlurEnabled = blurBefore;
    ReleaseVoxelResources();
    SetActiveCamera(previous);
}
