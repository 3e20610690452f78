#include "core/camera.h"

#include <cfloat>

#include "core/frame_timer.h"
#include "core/tweaks.h"
#include "platform/gpu.h"
#include "platform/input.h"
#include "platform/keys.h"

// Degrees to radians at float precision.
static constexpr float kDegreesToRadians = 0.017453292f;

static Camera* s_activeCamera = nullptr;

Camera* SetActiveCamera(Camera* camera) {
    Camera* previous = s_activeCamera;
    s_activeCamera = camera;
    return previous;
}

Camera* GetActiveCamera() { return s_activeCamera; }

void SetCameraMatrices(Gpu::Effect* effect, const Camera* camera) {
    if (!effect) return;
    effect->SetMatrix("g_mView", camera ? camera->GetView() : kIdentity);
    effect->SetMatrix("g_mProj", camera ? camera->GetProjection() : kIdentity);
}

Camera::Camera(float width, float height) : m_width(width), m_height(height) {
    m_projection =
        MatrixPerspectiveFovRH(m_fovDegrees * kDegreesToRadians, m_width / m_height, m_nearPlane, m_farPlane);
    // Step 0: the editor shows these but only tweaks.txt sets them. Stored
    // values land in the fields right here; the view follows on the first
    // placement.
    struct {
        const char* name;
        float* value;
    } tweaks[] = {
        {"cam_x_pos", &m_position.x}, {"cam_y_pos", &m_position.y}, {"cam_z_pos", &m_position.z},
        {"cam_x_focus", &m_target.x}, {"cam_y_focus", &m_target.y}, {"cam_z_focus", &m_target.z},
        {"cam_x_rot", &m_rotation.x}, {"cam_y_rot", &m_rotation.y}, {"cam_z_rot", &m_rotation.z},
    };
    for (const auto& t : tweaks) RegisterTweak(t.name, t.value, 0.0f, -FLT_MAX, FLT_MAX, false);
}

void Camera::SetClipPlanes(float nearPlane, float farPlane) {
    m_nearPlane = nearPlane;
    m_farPlane = farPlane;
    m_projection =
        MatrixPerspectiveFovRH(m_fovDegrees * kDegreesToRadians, m_width / m_height, m_nearPlane, m_farPlane);
}

void Camera::SetPosition(const Vector3& position) {
    m_position = position;
    UpdateView();
}

void Camera::SetTarget(const Vector3& target, const Vector3& up) {
    m_target = target;
    m_up = up;
    UpdateView();
}

void Camera::UpdateView() { m_view = MatrixLookAt(m_position, m_target, m_up); }

void Camera::FlyUpdate(float speed, float sensitivity) {
    const InputState& in = InputState::Get();
    float dt = FrameTimer::GetDeltaTime();

    // The rows of the inverted view are the camera's axes in world space:
    // right, up and backward (it looks along minus the third). They come
    // from last frame's view and serve for all of this frame's movement.
    Matrix axes = MatrixInverseAffine(m_view);
    Vector3 right(axes(0, 0), axes(0, 1), axes(0, 2));
    Vector3 up(axes(1, 0), axes(1, 1), axes(1, 2));
    Vector3 back(axes(2, 0), axes(2, 1), axes(2, 2));

    if (InputState::IsKeyDown(kKeyShift)) speed *= 2.0f;
    float step = speed * dt;
    if (InputState::IsKeyDown('W')) m_position -= back * step;
    if (InputState::IsKeyDown('S')) m_position += back * step;
    if (InputState::IsKeyDown('A')) m_position -= right * step;
    if (InputState::IsKeyDown('D')) m_position += right * step;
    if (InputState::IsKeyDown('E')) m_position += up * step;
    if (InputState::IsKeyDown('Q')) m_position -= up * step;

    // 120 per notch; a notch away from the viewer moves 3.75 x speed x dt forward.
    float wheel = static_cast<float>(in.wheelDelta) * 0.03125f;
    m_position -= back * (wheel * step);

    if (in.leftButton) {
        m_rotation.x += static_cast<float>(in.mouseY - in.previousMouseY) * sensitivity;
        m_rotation.y += static_cast<float>(in.mouseX - in.previousMouseX) * sensitivity;
    }
    UpdateView();

    // Look direction: +Z turned about X by the pitch, then about Y by the
    // yaw, giving (-cos rx sin ry, sin rx, cos rx cos ry).
    float cx = std::cos(m_rotation.x), sx = std::sin(m_rotation.x);
    float cy = std::cos(m_rotation.y), sy = std::sin(m_rotation.y);
    Vector3 v(0.0f, sx, cx);
    Vector3 direction(v.x * cy - v.z * sy, v.y, v.z * cy + v.x * sy);
    m_target = m_position + direction;
    m_up = kAxisY;
    UpdateView();
}
