#include "effects/base_mesh.h"

#include <algorithm>
#include <cmath>

#include "assets/catalogue.h"
#include "assets/cube_texture.h"
#include "assets/mesh.h"
#include "assets/resource_ids.h"
#include "assets/texture.h"
#include "core/camera.h"
#include "platform/gpu.h"
#include "platform/input.h"
#include "render/graphics_device.h"
#include "render/post_process.h"
#include "render/screen_overlay.h"
#include "timeline/show_state.h"

int HeadPathCounter = -1;
int HandPathCounter = -1;
int OverlayCounter = kTexOverlay1;
bool HeadFreeCamera = false;  // the viewer's choice: kept through a jump

// A restart of the show keeps the cycles going; a jump back starts them over.
static ShowStateReset s_resetCounters([] {
    HeadPathCounter = HandPathCounter = -1;
    OverlayCounter = kTexOverlay1;
});

namespace {

constexpr float kPi = 3.14159265f;
constexpr float kFadeSeconds = 0.25f;
// The free camera's speed (units per second) and mouse turn (radians per pixel).
constexpr float kFlySpeed = 2.0f, kFlySensitivity = 0.01f;
// Bright pass strength of the shots' bloom: a soft glow on the highlights.
constexpr float kBloomStrength = 0.25f;

const Vector4 kSkinColour(0.2f, 0.2f, 0.2f, 1.0f);  // subset 0
const Vector4 kRedColour(1.0f, 0.0f, 0.0f, 1.0f);   // subset 1
const float kLightDir[3] = {0.25f, 0.5f, 0.25f};

}  // namespace

int AdvancePathCounter(int* counter) {
    if (++*counter >= 3) *counter = 0;
    return *counter;
}

int TakeOverlay(int* counter) {
    int overlay = *counter;
    if (++*counter > kTexOverlay4) *counter = kTexOverlay1;
    return overlay;
}

void CameraMoveAt(const CameraMove& move, float progress, Vector3* eye, Vector3* target) {
    const float k = (std::cos(progress * kPi) + 1.0f) * 0.5f;
    *eye = move.endEye + (move.startEye - move.endEye) * k;
    *target = move.endTarget + (move.startTarget - move.endTarget) * k;
}

uint8_t MeshShotFade(float timeLeft, float duration) {
    if (timeLeft < kFadeSeconds) return LevelToByte(1.0f - timeLeft * 4.0f);
    if (timeLeft > duration - kFadeSeconds) return LevelToByte(1.0f - (duration - timeLeft) * 4.0f);
    return 0;
}

Matrix MeshShotModel(float progress) { return MatrixScaling(0.01f, 0.01f, 0.01f) * MatrixRotationY(progress); }

void CBaseMesh::Update(float dt) {
    CEffect::Update(dt);

    if (InputState::WasKeyPressed('C')) HeadFreeCamera = !HeadFreeCamera;
    Camera* camera = GetActiveCamera();
    if (HeadFreeCamera) {
        // Progress holds, so the model stops turning where it was.
        if (camera) camera->FlyUpdate(kFlySpeed, kFlySensitivity);
    } else {
        // Past the end (timeLeft below 0) the move stays at its end.
        progress = std::min(1.0f, 1.0f - timeLeft / duration);
        if (camera && cameraPath) {
            Vector3 eye, target;
            CameraMoveAt(*cameraPath, progress, &eye, &target);
            camera->SetPosition(eye);
            camera->SetTarget(target, kAxisY);
        }
    }

    // The fade follows the shot's own time, free camera or not.
    GraphicsDevice::SetFade(MeshShotFade(timeLeft, duration));
}

void CBaseMesh::Render() {
    Mesh* mesh = GetMesh(meshId);
    Gpu::Effect* effect = GetEffect(kFxScene);
    if (mesh && effect) {
        Gpu::SetRenderState(Gpu::kRsZEnable, 1);
        Gpu::SetRenderState(Gpu::kRsZWriteEnable, 1);
        Gpu::SetRenderState(Gpu::kRsAlphaBlendEnable, 1);
        Gpu::SetRenderState(Gpu::kRsAlphaTestEnable, 1);
        Gpu::SetRenderState(Gpu::kRsCullMode, Gpu::kCullCW);
        Gpu::SetVertexDeclaration(GraphicsDevice::GetVertexDeclaration(kDeclPosNormalTex));

        SetCameraMatrices(effect, GetActiveCamera());
        effect->SetMatrix("g_mModel", MeshShotModel(progress));
        Texture* ao = GetTexture(aoTextureId);
        effect->SetTexture("g_txAOTexture", ao ? ao->texture : nullptr);
        CubeTexture* cube = GetCubeTexture(kCubeStudio);
        effect->SetTexture("g_txCubemap", cube ? cube->cube : nullptr);
        effect->SetFloatArray("g_vLightDir", kLightDir, 3);
        effect->SetTechnique("TechHead");

        PostProcessChain::BeginScene(*GraphicsDevice::GetClearColour());
        effect->SetVector("g_vDiffuseColor", kSkinColour);
        Gpu::ForEachPass(effect, [&] { mesh->DrawSubset(0); });
        effect->SetVector("g_vDiffuseColor", kRedColour);
        Gpu::ForEachPass(effect, [&] { mesh->DrawSubset(1); });
        PostProcessChain::BloomAndPresent(kBloomStrength);
    }

    // The HUD goes over the bloomed picture, stretched over the canvas.
    DrawScreenOverlay(GetTexture(overlayTextureId));
}
