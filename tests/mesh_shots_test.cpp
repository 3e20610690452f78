// The head and hand shots: the cycles of camera moves and overlays, the eased
// move, the fade, the free camera, and a rendered frame of each model.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <vector>

#include "assets/catalogue.h"
#include "assets/mesh.h"
#include "assets/resource_ids.h"
#include "core/camera.h"
#include "core/tweaks.h"
#include "effects/head_hand_meshes.h"
#include "platform/input.h"
#include "render/graphics_device.h"
#include "render/post_process.h"
#include "tests/gpu_fixture.h"
#include "timeline/active_effects.h"
#include "timeline/timeline.h"

using GpuFixture::Image;

namespace {

// A camera of the show's shape made active for the test, fresh input, and
// the process-wide shot state as the program starts it.
class MeshShotTest : public ::testing::Test {
protected:
    void SetUp() override {
        TweakTable::Get() = TweakTable{};
        InputState::Get() = InputState{};
        camera = new Camera(1280.0f, 720.0f);
        previousCamera = SetActiveCamera(camera);
        HeadPathCounter = -1;
        HandPathCounter = -1;
        OverlayCounter = 119;
        HeadFreeCamera = false;
    }
    void TearDown() override {
        ActiveEffectList::Clear();
        SetActiveCamera(previousCamera);
        TweakTable::Get() = TweakTable{};  // it points into the camera
        delete camera;
        InputState::Get() = InputState{};
        HeadFreeCamera = false;
    }

    // A new shot in the active list, so that its end can retire it.
    CBaseMesh* NewShot(int classId, float duration) {
        CEffect* effect = CreateEffect(classId, 0, duration);
        ActiveEffectList::Add(effect);
        return dynamic_cast<CBaseMesh*>(effect);
    }

    Camera* camera = nullptr;
    Camera* previousCamera = nullptr;
};

void ExpectNear(const Vector3& a, const Vector3& b, const char* what) {
    EXPECT_NEAR(a.x, b.x, 1e-5f) << what;
    EXPECT_NEAR(a.y, b.y, 1e-5f) << what;
    EXPECT_NEAR(a.z, b.z, 1e-5f) << what;
}

int MoveIndex(const CBaseMesh* shot) {
    const CameraMove* table = shot->classId == kHeadMesh ? kHeadCameraMoves : kHandCameraMoves;
    return static_cast<int>(shot->cameraPath - table);
}

void PressC() {
    InputState::Snapshot();  // C was up in the frame before
    InputState::Get().keys['C'] = 1;
}

}  // namespace

TEST_F(MeshShotTest, MovesAndOverlaysCycleInScriptOrderAndCarryOnAfterARestart) {
    struct Shot {
        int classId, move, overlay;
    };
    // The eight shots of the script, in its order; after R the script runs
    // again and each cycle carries on where it stopped.
    const Shot firstRun[] = {
        {kHeadMesh, 0, 119}, {kHandMesh, 0, 120}, {kHeadMesh, 1, 121}, {kHandMesh, 1, 122},
        {kHeadMesh, 2, 119}, {kHandMesh, 2, 120}, {kHeadMesh, 0, 121}, {kHandMesh, 0, 122},
    };
    const Shot secondRun[] = {
        {kHeadMesh, 1, 119}, {kHandMesh, 1, 120}, {kHeadMesh, 2, 121}, {kHandMesh, 2, 122},
        {kHeadMesh, 0, 119}, {kHandMesh, 0, 120}, {kHeadMesh, 1, 121}, {kHandMesh, 1, 122},
    };
    TimelineState state;
    for (const Shot* expected : {firstRun, secondRun}) {
        int shot = 0;
        for (const TimelineEntry& entry : kTimeline) {
            if (entry.classId != kHeadMesh && entry.classId != kHandMesh) continue;
            ASSERT_LT(shot, 8);
            CBaseMesh* mesh = NewShot(entry.classId, entry.duration);
            ASSERT_NE(mesh, nullptr);
            SCOPED_TRACE(testing::Message() << "shot " << shot << " at " << entry.start << " s");
            EXPECT_EQ(entry.classId, expected[shot].classId);
            EXPECT_EQ(MoveIndex(mesh), expected[shot].move);
            EXPECT_EQ(mesh->overlayTextureId, expected[shot].overlay);
            EXPECT_EQ(mesh->meshId, entry.classId == kHeadMesh ? kMeshHead : kMeshHand);
            EXPECT_EQ(mesh->aoTextureId, entry.classId == kHeadMesh ? kTexHeadAO : kTexHandAO);
            EXPECT_EQ(mesh->progress, 0.0f);
            ++shot;
        }
        EXPECT_EQ(shot, 8);
        Timeline::Restart(state, nullptr);
    }
}

TEST_F(MeshShotTest, TheCameraGlidesFromTheMovesStartToItsEnd) {
    // The easing itself: start at 0, half way at 0.5, end at 1.
    for (const CameraMove* table : {kHeadCameraMoves, kHandCameraMoves}) {
        for (int m = 0; m < 3; ++m) {
            const CameraMove& move = table[m];
            Vector3 eye, target;
            CameraMoveAt(move, 0.0f, &eye, &target);
            ExpectNear(eye, move.startEye, "start eye");
            ExpectNear(target, move.startTarget, "start target");
            CameraMoveAt(move, 0.5f, &eye, &target);
            ExpectNear(eye, (move.startEye + move.endEye) * 0.5f, "half-way eye");
            CameraMoveAt(move, 1.0f, &eye, &target);
            ExpectNear(eye, move.endEye, "end eye");
            ExpectNear(target, move.endTarget, "end target");
        }
    }

    // Through a shot: its first frame puts the camera at the start, its last
    // at the end, and past the end (the frame clock overshoots) it stays there.
    struct Frame {
        float dt, progress;
        bool atEnd;
    };
    const Frame frames[] = {{0.0f, 0.0f, false}, {1.0f, 0.5f, false}, {1.0f, 1.0f, true}, {0.04f, 1.0f, true}};
    CBaseMesh* head = NewShot(kHeadMesh, 2.0f);
    ASSERT_NE(head, nullptr);
    const CameraMove& move = kHeadCameraMoves[0];
    for (const Frame& f : frames) {
        head->Update(f.dt);
        EXPECT_FLOAT_EQ(head->progress, f.progress);
        if (f.progress == 0.0f) {
            ExpectNear(camera->GetPosition(), move.startEye, "first frame");
            ExpectNear(camera->GetTarget(), move.startTarget, "first frame");
        }
        if (f.atEnd) {
            ExpectNear(camera->GetPosition(), move.endEye, "last frame");
            ExpectNear(camera->GetTarget(), move.endTarget, "last frame");
        }
    }
}

TEST_F(MeshShotTest, CutsInAndOutThroughAQuarterSecondFade) {
    struct Case {
        float timeLeft, duration;
        int level;
    };
    const Case cases[] = {
        {2.3f, 2.3f, 255},                       // first frame
        {2.175f, 2.3f, 127},                     // half way into the fade-in
        {2.05f, 2.3f, 0},                        // 0.25 s in: clear
        {1.0f, 2.3f, 0},     {0.25f, 2.3f, 0},   // until 0.25 s before the end
        {0.125f, 2.3f, 127}, {0.0f, 2.3f, 255},  // last frame
        {-0.03f, 2.3f, 255},                     // past the end: held, never wrapped
    };
    for (const Case& c : cases) EXPECT_EQ(MeshShotFade(c.timeLeft, c.duration), c.level) << c.timeLeft;

    // The shot hands its level to the fade overlay every frame.
    CBaseMesh* hand = NewShot(kHandMesh, 2.0f);
    ASSERT_NE(hand, nullptr);
    hand->Update(0.0f);
    EXPECT_EQ(GraphicsDevice::GetFade(), 255);
    hand->Update(0.25f);
    EXPECT_EQ(GraphicsDevice::GetFade(), 0);
}

TEST_F(MeshShotTest, TheFreeCameraHoldsTheMoveAndTurnWhileTheFadeFollowsTheShot) {
    CBaseMesh* head = NewShot(kHeadMesh, 2.0f);
    ASSERT_NE(head, nullptr);
    head->Update(0.5f);
    ASSERT_FLOAT_EQ(head->progress, 0.25f);
    const Vector3 heldEye = camera->GetPosition();

    // C: the camera is flown (no keys held, so it stays put) and the move
    // and the model's turn stop where they were.
    PressC();
    head->Update(0.5f);
    EXPECT_TRUE(HeadFreeCamera);
    EXPECT_FLOAT_EQ(head->progress, 0.25f);
    ExpectNear(camera->GetPosition(), heldEye, "flown, not moved along");
    InputState::Snapshot();  // C is still held: no second toggle
    head->Update(0.9f);      // 0.1 s left
    EXPECT_TRUE(HeadFreeCamera);
    EXPECT_FLOAT_EQ(head->progress, 0.25f);
    EXPECT_EQ(GraphicsDevice::GetFade(), MeshShotFade(head->timeLeft, 2.0f));
    EXPECT_GT(GraphicsDevice::GetFade(), 0);

    // C again: the move picks up where the shot's time has got to.
    InputState::Get().keys['C'] = 0;
    PressC();
    head->Update(0.0f);
    EXPECT_FALSE(HeadFreeCamera);
    EXPECT_NEAR(head->progress, 0.95f, 1e-5f);
}

namespace {

// The projected bounds of some vertices (pixels, row 0 at the top), clipped
// to the picture.
struct Bounds {
    int x0 = INT_MAX, y0 = INT_MAX, x1 = INT_MIN, y1 = INT_MIN;
    void Add(int x, int y) { x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x), y1 = std::max(y1, y); }
    bool Contains(const Bounds& b, int margin) const {
        return b.x0 >= x0 - margin && b.x1 <= x1 + margin && b.y0 >= y0 - margin && b.y1 <= y1 + margin;
    }
    bool Empty() const { return x1 < x0; }
};

// Where the vertices land under model x view x projection, with the pixel
// centres on integers. False if one lies behind the camera.
bool ProjectVertices(const MeshVertex* vertices, unsigned count, const Matrix& transform, int width, int height,
                     Bounds* bounds) {
    for (unsigned i = 0; i < count; ++i) {
        const float* p = vertices[i].position;
        Vector4 c = Transform(Vector3(p[0], p[1], p[2]), transform);
        if (c.w < 0.01f) return false;
        float x = (c.x / c.w + 1.0f) * 0.5f * width - 0.5f;
        float y = (1.0f - c.y / c.w) * 0.5f * height - 0.5f;
        bounds->Add(std::clamp(static_cast<int>(std::lround(x)), 0, width - 1),
                    std::clamp(static_cast<int>(std::lround(y)), 0, height - 1));
    }
    return true;
}

}  // namespace

TEST_F(MeshShotTest, AFrameShowsTheModelWhereTheCameraLooksWithItsSecondSubsetInRed) {
    ASSERT_TRUE(GpuFixture::Start(1280, 720, 1));
    for (float progress = 0.0f; !PreloadNextAsset(&progress);) {}
    Gpu::Effect* scene = GetEffect(kFxScene);
    ASSERT_NE(scene, nullptr);
    // Without the reflection, skin is grey (red = green) and only the second
    // subset's diffuse red makes red exceed green.
    scene->SetFloat("g_fShininess", 0.0f);

    const uint32_t savedClear = *GraphicsDevice::GetClearColour();
    GraphicsDevice::SetClearColour(0x00000000);  // the show's: alpha 0 where nothing is drawn

    // Ends of moves where the whole model lies in front of the camera.
    struct Case {
        int classId, move;
    };
    const Case cases[] = {{kHeadMesh, 1}, {kHandMesh, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.classId == kHeadMesh ? "head" : "hand");
        HeadPathCounter = HandPathCounter = c.move - 1;
        CBaseMesh* shot = NewShot(c.classId, 2.0f);
        ASSERT_NE(shot, nullptr);
        shot->timeLeft = 1e-6f;  // the move's last frame, still running
        shot->Update(0.0f);
        shot->Render();

        Gpu::Surface* saved = GraphicsDevice::SetRenderTexture(PostProcessChain::SceneTarget());
        const Image image = GpuFixture::ReadTarget();
        GraphicsDevice::RestoreRenderTarget(saved);

        Bounds drawn, red;
        int redPixels = 0, greyPixels = 0;
        for (int y = 0; y < image.height; ++y) {
            for (int x = 0; x < image.width; ++x) {
                uint32_t p = image.At(x, y);
                if (GpuFixture::Alpha(p) == 0) continue;  // cleared: nothing drawn
                drawn.Add(x, y);
                int r = GpuFixture::Red(p), g = GpuFixture::Green(p), b = GpuFixture::Blue(p);
                if (r - g > 16) {
                    red.Add(x, y);
                    ++redPixels;
                } else if (std::abs(r - g) <= 1 && std::abs(g - b) <= 1 && g > 8) {
                    ++greyPixels;
                }
            }
        }

        Mesh* mesh = GetMesh(shot->meshId);
        ASSERT_NE(mesh, nullptr);
        ASSERT_GE(mesh->geometry.subsets.size(), 2u);
        const Matrix transform = MeshShotModel(shot->progress) * camera->GetView() * camera->GetProjection();
        Bounds model, second;
        const MeshSubset& s1 = mesh->geometry.subsets[1];
        ASSERT_TRUE(ProjectVertices(mesh->geometry.vertices.data(),
                                    static_cast<unsigned>(mesh->geometry.vertices.size()), transform, image.width,
                                    image.height, &model));
        ASSERT_TRUE(ProjectVertices(mesh->geometry.vertices.data() + s1.firstVertex, s1.vertexCount, transform,
                                    image.width, image.height, &second));

        // The picture lies where the camera should see the model and fills
        // nearly all of that: culling may hide an open rim (the hand's wrist
        // seen from inside), never a model's worth of its extent.
        ASSERT_FALSE(drawn.Empty());
        EXPECT_TRUE(model.Contains(drawn, 2))
            << "drawn in " << drawn.x0 << ".." << drawn.x1 << " x " << drawn.y0 << ".." << drawn.y1 << ", model in "
            << model.x0 << ".." << model.x1 << " x " << model.y0 << ".." << model.y1;
        EXPECT_GT(drawn.x1 - drawn.x0, (model.x1 - model.x0) * 9 / 10);
        EXPECT_GT(drawn.y1 - drawn.y0, (model.y1 - model.y0) * 9 / 10);
        // Both subsets are drawn, the red one only where its triangles are.
        EXPECT_GT(greyPixels, 10000);
        EXPECT_GT(redPixels, 100);
        EXPECT_TRUE(second.Contains(red, 2))
            << "red in " << red.x0 << ".." << red.x1 << " x " << red.y0 << ".." << red.y1 << ", second subset in "
            << second.x0 << ".." << second.x1 << " x " << second.y0 << ".." << second.y1;
    }
    scene->SetFloat("g_fShininess", 0.5f);
    GraphicsDevice::SetClearColour(savedClear);
}
