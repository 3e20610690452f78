// What the mesh shots and the falling cylinders cost at 1280 x 720: a whole
// frame of each (the 3D scene, its bloom chain, the overlay, and the frame's
// fixed cost: scene target, colour split, present), and the 3D scene alone,
// which says how much of the frame the geometry takes (the head has about
// 41,000 vertices; the rain draws a small cylinder sixteen times), and the
// head's geometry with nothing on screen.
//
// Each frame is held in the middle of its effect: the clock stands still
// (no frame clock runs, so dt is 0), the picture is unfaded.
#include <benchmark/benchmark.h>

#include "app/lumivane.h"
#include "assets/catalogue.h"
#include "assets/cube_texture.h"
#include "assets/mesh.h"
#include "assets/resource_ids.h"
#include "assets/texture.h"
#include "core/camera.h"
#include "effects/base_mesh.h"
#include "effects/cylinder_head.h"
#include "effects/head_hand_meshes.h"
#include "platform/gpu.h"
#include "render/graphics_device.h"
#include "render/post_process.h"
#include "tests/bench/bench_common.h"
#include "tests/gpu_fixture.h"
#include "timeline/active_effects.h"

namespace {

using Bench::CopyPass;
using Bench::Measure;

void LoadEverything() {
    for (float progress = 0.0f; !PreloadNextAsset(&progress);) {}
}

// The whole frame with one effect running half way through its life.
void MeasureFrameWith(benchmark::State& state, int classId, float duration) {
    if (!GpuFixture::Start(1280, 720, 1)) return state.SkipWithError("no device");
    CopyPass copy;
    CLumivane& app = TheLumivane();
    app.Init();
    LoadEverything();
    CEffect* effect = CreateEffect(classId, 0, duration);
    effect->timeLeft = duration * 0.5f;
    ActiveEffectList::Add(effect);
    Measure(state, copy, [&] {
        app.Frame();
        GraphicsDevice::Present();
    });
    ActiveEffectList::Clear();
    app.Shutdown();
}

void HeadShotFrame(benchmark::State& state) { MeasureFrameWith(state, kHeadMesh, 2.3f); }
void CylinderFrame(benchmark::State& state) { MeasureFrameWith(state, kCylinderHead, 10.0f); }

// A camera of the show's shape for the scene benchmarks. It lives until exit:
// its tweaks point into it.
Camera& SceneCamera() {
    static Camera camera(1280.0f, 720.0f);
    return camera;
}

// The 3D scenes alone, drawn into the chain's scene target as the effects
// draw them, without the chain, the overlay or the rest of the frame.
void SceneStates(Gpu::Effect* effect, Camera* camera, uint32_t cull) {
    Gpu::SetRenderState(Gpu::kRsZEnable, 1);
    Gpu::SetRenderState(Gpu::kRsZWriteEnable, 1);
    Gpu::SetRenderState(Gpu::kRsAlphaBlendEnable, 1);
    Gpu::SetRenderState(Gpu::kRsAlphaTestEnable, 1);
    Gpu::SetRenderState(Gpu::kRsCullMode, cull);
    Gpu::SetVertexDeclaration(GraphicsDevice::GetVertexDeclaration(kDeclPosNormalTex));
    SetCameraMatrices(effect, camera);
}

// Argument 0: the camera half way along the first head move. Argument 1:
// the same camera turned round, so every vertex is transformed and nothing
// is drawn: the cost of the geometry alone.
void HeadScene(benchmark::State& state) {
    if (!GpuFixture::Start(1280, 720, 1)) return state.SkipWithError("no device");
    LoadEverything();
    CopyPass copy;
    Mesh* mesh = GetMesh(kMeshHead);
    Gpu::Effect* effect = GetEffect(kFxScene);
    if (!mesh || !effect) return state.SkipWithError("no head or no Scene.fx");
    Camera& camera = SceneCamera();
    Vector3 eye, target;
    CameraMoveAt(kHeadCameraMoves[0], 0.5f, &eye, &target);
    if (state.range(0) == 1) target = eye + (eye - target);
    camera.SetPosition(eye);
    camera.SetTarget(target, kAxisY);
    Measure(state, copy, [&] {
        PostProcessChain::BeginScene(0x00000000);
        SceneStates(effect, &camera, Gpu::kCullCW);
        effect->SetMatrix("g_mModel", MeshShotModel(0.5f));
        effect->SetTexture("g_txAOTexture", GetTexture(kTexHeadAO)->texture);
        effect->SetTexture("g_txCubemap", GetCubeTexture(kCubeStudio)->cube);
        effect->SetTechnique("TechHead");
        for (unsigned subset : {0u, 1u}) Gpu::ForEachPass(effect, [&] { mesh->DrawSubset(subset); });
        PostProcessChain::EndScene();
    });
}

void CylinderScene(benchmark::State& state) {
    if (!GpuFixture::Start(1280, 720, 1)) return state.SkipWithError("no device");
    LoadEverything();
    CopyPass copy;
    Mesh* mesh = GetMesh(kMeshCylinder);
    Gpu::Effect* effect = GetEffect(kFxScene);
    if (!mesh || !effect) return state.SkipWithError("no cylinder or no Scene.fx");
    Camera& camera = SceneCamera();
    Camera* previous = SetActiveCamera(&camera);
    CCylinderHead* rain = static_cast<CCylinderHead*>(CreateEffect(kCylinderHead, 0, 10.0f));
    rain->Update(0.0f);  // places the camera
    Measure(state, copy, [&] {
        PostProcessChain::BeginScene(0x00000000);
        SceneStates(effect, &camera, Gpu::kCullNone);
        effect->SetTexture("g_txTexture", GetTexture(kTexFunText)->texture);
        effect->SetTechnique("TechCylinder");
        Gpu::ForEachPass(effect, [&] {
            for (int i = 0; i < kCylinderCount; ++i) {
                effect->SetMatrix("g_mModel", CylinderModel(rain->positions[i], i, 0.0f));
                mesh->Draw();
            }
        });
        PostProcessChain::EndScene();
    });
    SetActiveCamera(previous);
    delete rain;
}

}  // namespace

BENCHMARK(HeadShotFrame)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(HeadScene)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(CylinderFrame)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(CylinderScene)->Unit(benchmark::kMillisecond)->UseManualTime();
