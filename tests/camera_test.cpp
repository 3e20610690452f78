#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <unistd.h>

#include "app/overlays.h"
#include "core/camera.h"
#include "core/frame_timer.h"
#include "core/tweaks.h"
#include "platform/input.h"
#include "platform/keys.h"

namespace {

// The camera registers its tweaks in the global table and flies on the
// global input and clock: all three start fresh and are put back after.
class CameraTest : public ::testing::Test {
protected:
    void SetUp() override {
        TweakTable::Get() = TweakTable{};
        InputState::Get() = InputState{};
        savedDelta = FrameTimer::Clock().deltaTime;
        FrameTimer::Clock().deltaTime = 1.0f / 60.0f;
    }
    void TearDown() override {
        TweakTable::Get() = TweakTable{};
        InputState::Get() = InputState{};
        FrameTimer::Clock().deltaTime = savedDelta;
    }
    float savedDelta = 0.0f;
};

void ExpectVector(const Vector3& v, float x, float y, float z) {
    EXPECT_NEAR(v.x, x, 1e-5f);
    EXPECT_NEAR(v.y, y, 1e-5f);
    EXPECT_NEAR(v.z, z, 1e-5f);
}

// A camera at the origin looking along +Z, as after a frame of flight.
void LookAlongZ(Camera& camera) {
    camera.SetPosition(Vector3(0, 0, 0));
    camera.SetTarget(Vector3(0, 0, 1), Vector3(0, 1, 0));
}

}  // namespace

TEST_F(CameraTest, ProjectionAspectAndClipPlanes) {
    Camera camera(1280, 720);
    const Matrix& p = camera.GetProjection();
    EXPECT_FLOAT_EQ(p(1, 1) / p(0, 0), 1280.0f / 720.0f);
    EXPECT_FLOAT_EQ(p(1, 1), 1.0f / std::tan(30.0f * 0.017453292f));
    EXPECT_FLOAT_EQ(p(2, 2), 2000.0f / (0.1f - 2000.0f));
    float yScale = p(1, 1);
    camera.SetClipPlanes(0.1f, 1024.0f);
    EXPECT_FLOAT_EQ(camera.GetProjection()(2, 2), 1024.0f / (0.1f - 1024.0f));
    EXPECT_FLOAT_EQ(camera.GetProjection()(3, 2), 0.1f * 1024.0f / (0.1f - 1024.0f));
    EXPECT_EQ(camera.GetProjection()(1, 1), yScale);
}

TEST_F(CameraTest, ViewFromPositionThenTarget) {
    Camera camera(1280, 720);
    camera.SetPosition(Vector3(0, 0, 5));
    camera.SetTarget(Vector3(0, 0, 0), Vector3(0, 1, 0));
    const Matrix& v = camera.GetView();
    ExpectVector(v.GetTranslation(), 0, 0, -5);
    EXPECT_EQ(v(3, 3), 1.0f);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) EXPECT_NEAR(v(r, c), r == c ? 1.0f : 0.0f, 1e-6f);
}

TEST_F(CameraTest, FlightMovesAtSpeedAndShiftDoublesIt) {
    struct Case { int key; bool shift; Vector3 perSecond; };
    const Case cases[] = {
        {'W', false, {0, 0, 2}}, {'W', true, {0, 0, 4}}, {'S', false, {0, 0, -2}},
        {'A', false, {2, 0, 0}},  // looking along +Z, right is -X
        {'D', false, {-2, 0, 0}}, {'E', false, {0, 2, 0}}, {'Q', true, {0, -4, 0}},
    };
    for (const Case& c : cases) {
        TweakTable::Get() = TweakTable{};
        InputState::Get() = InputState{};
        Camera camera(1280, 720);
        LookAlongZ(camera);
        InputState::Get().keys[c.key] = 1;
        if (c.shift) InputState::Get().keys[0x10] = 1;
        for (int i = 0; i < 60; ++i) camera.FlyUpdate(2.0f, 0.01f);  // one second
        SCOPED_TRACE(std::string(1, static_cast<char>(c.key)) + (c.shift ? " with Shift" : ""));
        ExpectVector(camera.GetPosition(), c.perSecond.x, c.perSecond.y, c.perSecond.z);
        ExpectVector(camera.GetTarget() - camera.GetPosition(), 0, 0, 1);
    }
}

TEST_F(CameraTest, WheelNotchMovesAnEighthOfAUnit) {
    Camera camera(1280, 720);
    LookAlongZ(camera);
    InputState::Get().wheelDelta = 120;
    camera.FlyUpdate(2.0f, 0.01f);
    ExpectVector(camera.GetPosition(), 0, 0, 0.125f);
    InputState::Get().wheelDelta = -120;
    camera.FlyUpdate(2.0f, 0.01f);
    ExpectVector(camera.GetPosition(), 0, 0, 0);
}

TEST_F(CameraTest, LeftDragTurnsOneRadianPerHundredPixels) {
    Camera camera(1280, 720);
    LookAlongZ(camera);
    InputState& in = InputState::Get();
    in.previousMouseX = 200;
    in.mouseX = 300;
    in.previousMouseY = in.mouseY = 50;
    camera.FlyUpdate(2.0f, 0.01f);  // no button: no turn
    ExpectVector(camera.GetRotation(), 0, 0, 0);

    in.leftButton = true;
    camera.FlyUpdate(2.0f, 0.01f);
    ExpectVector(camera.GetRotation(), 0, 1, 0);
    ExpectVector(camera.GetTarget() - camera.GetPosition(), -std::sin(1.0f), 0, std::cos(1.0f));

    // Moving the mouse down the window raises the look direction.
    in.previousMouseX = in.mouseX;
    in.previousMouseY = 50;
    in.mouseY = 60;
    camera.FlyUpdate(2.0f, 0.01f);
    EXPECT_NEAR(camera.GetRotation().x, 0.1f, 1e-6f);
    EXPECT_NEAR((camera.GetTarget() - camera.GetPosition()).y, std::sin(0.1f), 1e-6f);
}

TEST_F(CameraTest, TweaksPresetTheCameraButTheEditorCannotStepThem) {
    std::string path = ::testing::TempDir() + "camera_tweaks_" + std::to_string(getpid()) + ".txt";
    FILE* f = std::fopen(path.c_str(), "w");
    ASSERT_NE(f, nullptr);
    std::fputs("cam_x_pos 3\ncam_y_focus -2\ncam_x_rot 0.25\n", f);
    std::fclose(f);
    LoadTweaks(path.c_str());
    std::remove(path.c_str());

    Camera camera(1280, 720);
    ExpectVector(camera.GetPosition(), 3, 0, 0);
    ExpectVector(camera.GetTarget(), 0, -2, 0);
    ExpectVector(camera.GetRotation(), 0.25f, 0, 0);
    const char* names[] = {"cam_x_pos", "cam_y_pos", "cam_z_pos", "cam_x_focus", "cam_y_focus",
                           "cam_z_focus", "cam_x_rot", "cam_y_rot", "cam_z_rot"};
    const std::vector<TweakEntry>& registered = TweakTable::Get().registered;
    ASSERT_EQ(registered.size(), 9u);
    for (int i = 0; i < 9; ++i) EXPECT_STREQ(registered[i].name, names[i]);

    // cam_x_pos is selected; holding Right with Shift changes nothing.
    InputState in;
    in.keys[kKeyF1] = 1;
    UpdateTweakEditor(in);
    std::copy(std::begin(in.keys), std::end(in.keys), in.previousKeys);
    in.keys[0x27] = in.keys[0x10] = 1;
    for (int i = 0; i < 10; ++i) UpdateTweakEditor(in);
    ExpectVector(camera.GetPosition(), 3, 0, 0);
}
