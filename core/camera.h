// The one perspective camera every 3D effect shares. Effects place it each
// frame (position, then target) and read its matrices; the free-flight mode
// steers it with keys and mouse instead. Position, target and rotation are
// tweaks, so tweaks.txt can preset them.
#pragma once
#include "core/maths.h"

namespace Gpu {
class Effect;
}

class Camera {
public:
    // Registers the nine camera tweaks, which point into this object: a
    // camera must live until the tweaks have been saved at exit.
    Camera(float width, float height);
    Camera(const Camera&) = delete;
    Camera& operator=(const Camera&) = delete;

    void SetClipPlanes(float nearPlane, float farPlane);       // rebuilds the projection
    void SetPosition(const Vector3& position);                 // then UpdateView
    void SetTarget(const Vector3& target, const Vector3& up);  // then UpdateView
    void UpdateView();

    // One frame of free flight: W/S/A/D/E/Q move by speed units per second
    // (twice with Shift), the wheel moves forward and back, dragging with the
    // left button turns by `sensitivity` radians per pixel.
    void FlyUpdate(float speed, float sensitivity);

    const Vector3& GetPosition() const { return m_position; }
    const Vector3& GetTarget() const { return m_target; }
    const Vector3& GetRotation() const { return m_rotation; }
    const Matrix& GetView() const { return m_view; }
    const Matrix& GetProjection() const { return m_projection; }

private:
    Vector3 m_position, m_target, m_up;
    Matrix m_view = kIdentity, m_projection = kIdentity;
    float m_fovDegrees = 60.0f;
    float m_nearPlane = 0.1f, m_farPlane = 2000.0f;
    float m_width, m_height;
    Vector3 m_rotation;  // x pitch, y yaw in radians; z is only a tweak
};

// Sets the camera's matrices on an effect as the scene shaders name them:
// g_mView (the view) and g_mProj (the projection). Null camera: both identity.
void SetCameraMatrices(Gpu::Effect* effect, const Camera* camera);

// Returns the camera that was active before.
Camera* SetActiveCamera(Camera* camera);
Camera* GetActiveCamera();
