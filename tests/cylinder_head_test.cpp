// The falling cylinders: where they start and come back, the fades, and a
// rendered frame.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <memory>

#include "assets/catalogue.h"
#include "assets/mesh.h"
#include "assets/resource_ids.h"
#include "core/camera.h"
#include "core/frame_timer.h"
#include "core/tweaks.h"
#include "effects/cylinder_head.h"
#include "render/graphics_device.h"
#include "render/post_process.h"
#include "tests/gpu_fixture.h"

using GpuFixture::Image;

namespace {

std::unique_ptr<CCylinderHead> NewRain(float duration) {
    return std::unique_ptr<CCylinderHead>(dynamic_cast<CCylinderHead*>(CreateEffect(kCylinderHead, 0, duration)));
}

bool InBox(const Vector3& p, float yLow, float yHigh) {
    return p.x >= -2.0f && p.x <= 2.0f && p.y >= yLow && p.y <= yHigh && p.z >= -2.0f && p.z <= 2.0f;
}

// The smallest distance from cylinder i to any other.
float Clearance(const CCylinderHead& rain, int i) {
    float nearest = 1e9f;
    for (int j = 0; j < kCylinderCount; ++j)
        if (j != i) nearest = std::min(nearest, std::sqrt(DistanceSq(rain.positions[i], rain.positions[j])));
    return nearest;
}

}  // namespace

TEST(CylinderHead, StartsAsAFullRainAndRespawnsAtTheTopClearOfTheOthers) {
    // A lifetime that does not run out here: nothing retires the effect.
    std::unique_ptr<CCylinderHead> rain = NewRain(1000.0f);
    ASSERT_NE(rain, nullptr);
    for (int i = 0; i < kCylinderCount; ++i) {
        EXPECT_TRUE(InBox(rain->positions[i], -4.0f, 4.0f)) << i;
        EXPECT_GE(Clearance(*rain, i), 1.5f) << i;
    }

    // A cylinder that drops below -4 comes back in the same frame.
    rain->positions[5].y = -3.99f;
    rain->Update(0.02f);
    EXPECT_TRUE(InBox(rain->positions[5], 3.0f, 4.0f));
    EXPECT_GE(Clearance(*rain, 5), 1.5f);

    // Over a minute of frames: everything falls one unit a second, and every
    // cylinder that comes back lands at the top, clear of all the others.
    const float dt = 1.0f / 30.0f;
    int respawns = 0;
    for (int frame = 0; frame < 1800; ++frame) {
        Vector3 before[kCylinderCount];
        std::copy(rain->positions, rain->positions + kCylinderCount, before);
        rain->Update(dt);
        for (int i = 0; i < kCylinderCount; ++i) {
            const Vector3& p = rain->positions[i];
            if (before[i].y - dt >= -4.0f) {
                ASSERT_EQ(p.y, before[i].y - dt) << "frame " << frame << ", cylinder " << i;
                ASSERT_EQ(p.x, before[i].x);
                continue;
            }
            ++respawns;
            ASSERT_TRUE(InBox(p, 3.0f, 4.0f)) << "frame " << frame << ", cylinder " << i;
            ASSERT_GE(Clearance(*rain, i), 1.5f) << "frame " << frame << ", cylinder " << i;
        }
    }
    EXPECT_GT(respawns, 100);
}

TEST(CylinderHead, ACrowdedTopStillGivesASpotWithoutStallingTheFrame) {
    std::unique_ptr<CCylinderHead> rain = NewRain(1000.0f);
    ASSERT_NE(rain, nullptr);
    // A 4 x 4 grid over the respawn slab leaves no point of it 1.5 from all
    // sixteen: the search gives up after its bound and takes the last try.
    for (int i = 0; i < kCylinderCount; ++i)
        rain->positions[i] = Vector3(-1.5f + static_cast<float>(i % 4), 3.5f, -1.5f + static_cast<float>(i / 4));
    const Vector3 p = rain->PickSpawnPosition(false);
    EXPECT_TRUE(InBox(p, 3.0f, 4.0f));
}

TEST(CylinderHead, FadesInOverTwoSecondsAndOutOverTheLastTwo) {
    struct Case {
        float timeLeft;
        int alpha;
    };
    const Case cases[] = {
        {10.0f, 255},                // first frame
        {9.0f, 127},   {8.0f, 0},    // clear from 2 s after the start
        {5.0f, 0},     {2.0f, 0},    // until 2 s before the end
        {1.0f, 127},   {0.0f, 255},  // last frame
        {-0.03f, 255},               // past the end: held, never wrapped
    };
    for (const Case& c : cases) EXPECT_EQ(CylinderFadeAlpha(c.timeLeft, 10.0f), c.alpha) << c.timeLeft;
}

namespace {

// A cylinder's outline on screen: the bounds of its projected vertices
// (pixels, centres on integers, row 0 at the top).
struct Outline {
    float x0 = 1e9f, x1 = -1e9f, y0 = 1e9f, y1 = -1e9f;
    bool inFront = true;  // every vertex well in front of the camera
};

Outline Project(const Mesh& mesh, const Matrix& transform, int width, int height) {
    Outline o;
    for (const MeshVertex& v : mesh.geometry.vertices) {
        Vector4 c = Transform(Vector3(v.position[0], v.position[1], v.position[2]), transform);
        if (c.w <= 0.2f) {
            o.inFront = false;
            continue;
        }
        float x = (c.x / c.w + 1.0f) * 0.5f * width - 0.5f;
        float y = (1.0f - c.y / c.w) * 0.5f * height - 0.5f;
        o.x0 = std::min(o.x0, x), o.x1 = std::max(o.x1, x), o.y0 = std::min(o.y0, y), o.y1 = std::max(o.y1, y);
    }
    return o;
}

}  // namespace

TEST(CylinderHead, ACylinderSpinsAboutItsOwnCentreAtAFifthOfItsModelSize) {
    // Scale and spin first, then the move: the centre stays at the position
    // whatever the spin, and every model direction comes out 0.2 long.
    const Vector3 position(1.25f, -3.0f, 0.5f);
    for (float time : {0.0f, 1.0f, 17.3f}) {
        for (int i : {0, 7, 15}) {
            const Matrix model = CylinderModel(position, i, time);
            const Vector4 centre = Transform(kZero3, model);
            EXPECT_NEAR(centre.x, position.x, 1e-5f);
            EXPECT_NEAR(centre.y, position.y, 1e-5f);
            EXPECT_NEAR(centre.z, position.z, 1e-5f);
            for (const Vector3& axis : {kAxisX, kAxisY, kAxisZ}) {
                const Vector4 end = Transform(axis, model);
                Vector3 d(end.x - centre.x, end.y - centre.y, end.z - centre.z);
                EXPECT_NEAR(d.Normalize(), 0.2f, 1e-5f);
            }
        }
    }
}

TEST(CylinderHead, DrawsEachCylinderWhereTheFixedCameraSeesIt) {
    ASSERT_TRUE(GpuFixture::Start(1280, 720, 1));
    for (float progress = 0.0f; !PreloadNextAsset(&progress);) {}
    TweakTable::Get() = TweakTable{};
    Camera camera(1280.0f, 720.0f);
    Camera* previous = SetActiveCamera(&camera);
    FrameTimer::Clock().demoTimeMs = 3456.0;  // any time: the spin follows it

    std::unique_ptr<CCylinderHead> rain = NewRain(10.0f);
    ASSERT_NE(rain, nullptr);
    rain->Update(0.0f);  // places the camera
    rain->Render();
    Gpu::Surface* saved = GraphicsDevice::SetRenderTexture(PostProcessChain::SceneTarget());
    const Image image = GpuFixture::ReadTarget();  // the scene, cleared to alpha 0
    GraphicsDevice::RestoreRenderTarget(saved);

    Mesh* mesh = GetMesh(kMeshCylinder);
    ASSERT_NE(mesh, nullptr);
    const float time = FrameTimer::GetTime();
    const Matrix viewProjection = camera.GetView() * camera.GetProjection();
    std::vector<uint8_t> inside(static_cast<size_t>(image.width) * image.height, 0);
    int seen = 0;
    for (int i = 0; i < kCylinderCount; ++i) {
        const Outline o =
            Project(*mesh, CylinderModel(rain->positions[i], i, time) * viewProjection, image.width, image.height);
        for (int y = std::max(0, static_cast<int>(o.y0) - 1);
             y <= std::min(image.height - 1, static_cast<int>(o.y1) + 1); ++y)
            for (int x = std::max(0, static_cast<int>(o.x0) - 1);
                 x <= std::min(image.width - 1, static_cast<int>(o.x1) + 1); ++x)
                inside[static_cast<size_t>(y) * image.width + x] = 1;

        // A cylinder wholly in the picture covers the middle of its outline
        // (it is capped, so from any side) and most of the row through it.
        if (!o.inFront || o.x0 < 4 || o.y0 < 4 || o.x1 > image.width - 5 || o.y1 > image.height - 5) continue;
        ++seen;
        const int cx = static_cast<int>(std::lround((o.x0 + o.x1) * 0.5f));
        const int cy = static_cast<int>(std::lround((o.y0 + o.y1) * 0.5f));
        EXPECT_EQ(GpuFixture::Alpha(image.At(cx, cy)), 255) << "cylinder " << i << " at " << cx << ", " << cy;
        int covered = 0;
        for (int x = static_cast<int>(std::ceil(o.x0)); x <= static_cast<int>(o.x1); ++x)
            covered += GpuFixture::Alpha(image.At(x, cy)) == 255;
        EXPECT_GT(covered, (o.x1 - o.x0) * 0.5f) << "cylinder " << i;
    }
    EXPECT_GE(seen, 3);  // the rain is in view, not off to one side

    // Nothing is drawn that no cylinder accounts for.
    int stray = 0, drawn = 0;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            if (GpuFixture::Alpha(image.At(x, y)) == 0) continue;
            ++drawn;
            stray += !inside[static_cast<size_t>(y) * image.width + x];
        }
    EXPECT_GT(drawn, 1000);
    EXPECT_EQ(stray, 0);

    SetActiveCamera(previous);
    TweakTable::Get() = TweakTable{};
}
