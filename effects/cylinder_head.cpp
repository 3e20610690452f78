#include "effects/cylinder_head.h"

#include "assets/catalogue.h"
#include "assets/mesh.h"
#include "assets/resource_ids.h"
#include "assets/texture.h"
#include "core/camera.h"
#include "core/frame_timer.h"
#include "core/random.h"
#include "platform/gpu.h"
#include "render/graphics_device.h"
#include "render/post_process.h"
#include "render/renderer_2d.h"
#include "timeline/show_state.h"

namespace {

// One generator for every cylinder head of the run, never reseeded, so the
// rain is the same in every run of the show.
EffectRandom s_random;
ShowStateReset s_resetRandom([] { s_random = EffectRandom(); });

constexpr float kClearanceSq = 2.25f;  // 1.5 units between cylinders
constexpr float kBottom = -4.0f;       // below this a cylinder respawns
constexpr float kFadeSeconds = 2.0f;
// Bright pass strength: the cylinders glow more than the mesh shots.
constexpr float kBloomStrength = 0.5f;

const Vector3 kEye(2.937216f, 0.527274f, 1.649934f);
const Vector3 kLookAt(2.072833f, 0.437777f, 1.155128f);

}  // namespace

CCylinderHead::CCylinderHead() {
    for (placed = 0; placed < kCylinderCount; ++placed) positions[placed] = PickSpawnPosition(true);
}

Vector3 CCylinderHead::PickSpawnPosition(bool initial) {
    Vector3 candidate;
    for (int tries = 0; tries < kMaxSpawnTries; ++tries) {
        // Three draws in this order, so the rain is the same on every run.
        candidate.x = s_random.RandomRange(-2.0f, 2.0f);
        candidate.y = s_random.RandomRange(initial ? -4.0f : 3.0f, 4.0f);
        candidate.z = s_random.RandomRange(-2.0f, 2.0f);
        bool clear = true;
        for (int i = 0; i < placed && clear; ++i) clear = DistanceSq(candidate, positions[i]) >= kClearanceSq;
        if (clear) break;
    }
    return candidate;
}

Matrix CylinderModel(const Vector3& position, int index, float time) {
    const float t = time + 0.75f * static_cast<float>(index);
    return MatrixScaling(0.2f, 0.2f, 0.2f) * MatrixRotationX(2.0f * t) * MatrixRotationY(t) *
           MatrixTranslation(position);
}

uint8_t CylinderFadeAlpha(float timeLeft, float duration) {
    if (timeLeft < kFadeSeconds) return LevelToByte(1.0f - timeLeft * 0.5f);
    if (timeLeft > duration - kFadeSeconds) return LevelToByte(1.0f - (duration - timeLeft) * 0.5f);
    return 0;
}

void CCylinderHead::Update(float dt) {
    CEffect::Update(dt);
    // Every frame, so nothing else moves the camera while the rain falls.
    if (Camera* camera = GetActiveCamera()) {
        camera->SetPosition(kEye);
        camera->SetTarget(kLookAt, kAxisY);
    }
    for (Vector3& p : positions) {
        p.y -= dt;
        if (p.y < kBottom) p = PickSpawnPosition(false);
    }
}

void CCylinderHead::Render() {
    Mesh* mesh = GetMesh(kMeshCylinder);
    Gpu::Effect* effect = GetEffect(kFxScene);
    if (mesh && effect) {
        PostProcessChain::BeginScene(0x00000000);
        Gpu::SetRenderState(Gpu::kRsZEnable, 1);
        Gpu::SetRenderState(Gpu::kRsZWriteEnable, 1);
        Gpu::SetRenderState(Gpu::kRsAlphaBlendEnable, 1);
        Gpu::SetRenderState(Gpu::kRsAlphaTestEnable, 1);
        Gpu::SetRenderState(Gpu::kRsCullMode, Gpu::kCullNone);
        Gpu::SetVertexDeclaration(GraphicsDevice::GetVertexDeclaration(kDeclPosNormalTex));

        SetCameraMatrices(effect, GetActiveCamera());
        Texture* text = GetTexture(kTexFunText);
        effect->SetTexture("g_txTexture", text ? text->texture : nullptr);
        effect->SetTechnique("TechCylinder");
        // The spin follows the show's clock, so it stops while paused.
        const float time = FrameTimer::GetTime();
        Gpu::ForEachPass(effect, [&] {
            for (int i = 0; i < kCylinderCount; ++i) {
                effect->SetMatrix("g_mModel", CylinderModel(positions[i], i, time));
                mesh->Draw();
            }
        });
        PostProcessChain::BloomAndPresent(kBloomStrength);
    }

    // A clear overlay changes nothing: draw it only while it shows.
    if (uint8_t alpha = CylinderFadeAlpha(timeLeft, duration)) {
        const Vector2 origin(0.0f, 0.0f), canvas(1280.0f, 720.0f);
        Renderer2D::DrawQuad(&origin, &canvas, static_cast<uint32_t>(alpha) << 24);
    }
}

LUMIVANE_REGISTER_EFFECT(CCylinderHead, CCCylinderHead, kCylinderHead);
