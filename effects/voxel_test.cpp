#include "effects/voxel_test.h"

#include <algorithm>
#include <cmath>

#include "assets/catalogue.h"
#include "assets/cube_texture.h"
#include "assets/resource_ids.h"
#include "assets/texture.h"
#include "core/camera.h"
#include "core/frame_timer.h"
#include "core/random.h"
#include "effects/voxel_resources.h"
#include "platform/gpu.h"
#include "platform/input.h"
#include "render/graphics_device.h"
#include "render/post_process.h"
#include "render/renderer_2d.h"
#include "render/screen_overlay.h"
#include "timeline/show_state.h"

namespace {

// One generator for every shot of the run, never reseeded: each shot gets
// its own drift, and every run of the show the same ones.
EffectRandom s_random;
ShowStateReset s_resetRandom([] { s_random = EffectRandom(); });

constexpr float kPi = 3.14159265f;
const Vector3 kTarget(0.0f, 0.586598f, 0.0f);  // where every shot looks
const Vector3 kUp(0.0f, 1.0f, 0.0f);

// A random point of the cube -1..1 outside the unit sphere, so the camera
// never starts inside the cluster.
Vector3 RandomPointOutsideUnitSphere() {
    for (;;) {
        const float x = s_random.RandomRange(-1.0f, 1.0f);
        const float y = s_random.RandomRange(-1.0f, 1.0f);
        const float z = s_random.RandomRange(-1.0f, 1.0f);
        if (x * x + y * y + z * z > 1.0f) return Vector3(x, y, z);
    }
}

// The sprites' target, half the scene target's size; made again when that
// size changes. Null without a scene target: the sprites then go where the
// chain puts a scene.
Texture* SpriteTarget(VoxelResources& r) {
    const Texture* scene = PostProcessChain::SceneTarget();
    if (!scene) return nullptr;
    const unsigned w = std::max(1u, scene->width / 2), h = std::max(1u, scene->height / 2);
    if (!r.spriteTarget || r.spriteTarget->width != w || r.spriteTarget->height != h) {
        DeleteTexture(r.spriteTarget);
        r.spriteTarget = Texture::CreateRenderTarget(w, h, Gpu::kFormatA8R8G8B8);
    }
    return r.spriteTarget;
}

}  // namespace

uint8_t VoxelShortFade(float timeLeft, float duration) {
    if (timeLeft < 0.5f) return LevelToByte(1.0f - 2.0f * timeLeft);
    if (timeLeft > duration - 0.5f) return LevelToByte(1.0f - 2.0f * (duration - timeLeft));
    return 0;
}

uint8_t VoxelLongFade(float timeLeft, float duration) {
    if (timeLeft < 4.0f) return LevelToByte(1.0f - 0.25f * timeLeft);
    if (timeLeft > duration - 4.0f) return LevelToByte(1.0f - 0.25f * (duration - timeLeft));
    return 0;
}

void ComputeVoxelBalls(float time, Vector3* balls) {
    const float t = time * 8.0f;
    for (int i = 0; i < kVoxelBalls; ++i) {
        // Odd balls run a quarter turn behind the even ones.
        const float a = t + (i % 2 ? kPi * 0.5f : 0.0f) + 0.25f * static_cast<float>(i);
        const Vector3 p((std::sin(0.5f * a) + std::sin(0.2f * a)) * 0.5f, std::cos(0.4f * a), std::sin(0.3f * a));
        balls[i] = (p + Vector3(1.0f, 1.0f, 1.0f)) * (0.75f * 0.5f);
    }
}

CVoxelTest::CVoxelTest() {
    // The normal blur reads only the kernel's first half (offsets -8 .. -1);
    // its shader gives the rest of the weight to the centre texel.
    const GaussianKernel& kernel = VoxelResources::Get().blur;
    for (int id : {kFxBlurNormalsH, kFxBlurNormalsV}) {
        Gpu::Effect* blur = GetEffect(id);
        if (!blur) continue;
        blur->SetInt("g_NumSamples", kernel.radius);
        blur->SetFloatArray("g_fWeights", kernel.weights.data(), static_cast<unsigned>(kernel.radius));
        blur->SetFloatArray("g_fOffsets", kernel.offsets.data(), static_cast<unsigned>(kernel.radius));
    }
    eye = RandomPointOutsideUnitSphere();
    goalEye = RandomPointOutsideUnitSphere();
    overlayTextureId = kTexOverlay2;
}

void CVoxelTest::Update(float dt) {
    CEffect::Update(dt);
    if (Camera* camera = GetActiveCamera()) {
        camera->SetPosition(eye);
        camera->SetTarget(kTarget, kUp);
    }
    // An exponential approach at 0.1 a second: a third of the way in a shot.
    eye += (goalEye - eye) * std::min(0.1f * dt, 1.0f);
    ComputeVoxelBalls(FrameTimer::GetTime(), VoxelResources::Get().balls);
    GraphicsDevice::SetFade(VoxelShortFade(timeLeft, duration));
}

void CVoxelTest::Render() {
    // Read every frame, even one that draws nothing, so no press is lost.
    if (InputState::WasKeyPressed('1')) VoxelBlurEnabled = !VoxelBlurEnabled;
    Gpu::Effect* voxel = GetEffect(kFxVoxel);
    Camera* camera = GetActiveCamera();
    // Without what it draws with (said once at start-up), the shot draws nothing.
    if (VoxelResources::Get().unavailable || !voxel || !camera) return;

    Gpu::SetRenderState(Gpu::kRsZEnable, 1);
    Gpu::SetRenderState(Gpu::kRsZWriteEnable, 1);
    Gpu::SetRenderState(Gpu::kRsAlphaBlendEnable, 1);
    Gpu::SetRenderState(Gpu::kRsAlphaTestEnable, 1);
    Gpu::SetRenderState(Gpu::kRsCullMode, Gpu::kCullCW);
    SetCameraMatrices(voxel, camera);
    DrawVoxelCloud(voxel, *camera);

    const Vector2 origin(0.0f, 0.0f), screen(1280.0f, 720.0f);
    DrawScreenOverlay(GetTexture(overlayTextureId));
    if (uint8_t alpha = VoxelLongFade(timeLeft, duration)) {
        Renderer2D::DrawQuad(&origin, &screen, static_cast<uint32_t>(alpha) << 24);
    }
}

void EvaluateVoxelField(Gpu::Effect* voxel, const Vector3* balls, float level) {
    voxel->SetFloat("g_fMinLevel", level);
    voxel->SetTechnique("TechVoxel");
    const Vector2 origin(0.0f, 0.0f), stackSize(kVoxelGrid, kVoxelGrid * kVoxelGrid);
    const uint32_t scissor = Gpu::GetRenderState(Gpu::kRsScissorTestEnable);
    Gpu::SetRenderState(Gpu::kRsScissorTestEnable, 1);
    // Bands of 16 rows, two a slice: about 15 of the 64 balls reach one.
    // Slices alone (32 rows) leave about 23; 8 rows gain no more than the
    // extra draws cost.
    constexpr int kBandRows = 16;
    for (int band = 0; band < kVoxelGrid * kVoxelGrid / kBandRows; ++band) {
        const int k = band * kBandRows / kVoxelGrid, firstRow = band * kBandRows % kVoxelGrid;
        Vector3 reaching[kVoxelBalls];
        const int count = BallsReachingRows(balls, level, k, firstRow, firstRow + kBandRows, reaching);
        if (count == 0) continue;  // all of the band is empty: the cleared zeros stand
        static_assert(sizeof(Vector3) == 3 * sizeof(float));
        voxel->SetInt("g_nBalls", count);
        voxel->SetFloatArray("g_vBalls", &reaching[0].x, static_cast<unsigned>(count) * 3);
        // The whole stack's quad each time, cut to the band's rows: every
        // pixel is evaluated exactly as under one quad over the stack.
        Gpu::SetScissorRect({0, band * kBandRows, kVoxelGrid, (band + 1) * kBandRows});
        Renderer2D::DrawEffectQuad(voxel, &origin, &stackSize, 0xFFFFFFFF);
    }
    Gpu::SetRenderState(Gpu::kRsScissorTestEnable, scissor);
}

// Slices, sprites, then the chain that lights them.
void CVoxelTest::DrawVoxelCloud(Gpu::Effect* voxel, const Camera& camera) {
    VoxelResources& r = VoxelResources::Get();

    // The ball field into the stack, then each slice copied out of it.
    Gpu::Surface* saved = GraphicsDevice::GetRenderTarget();
    Gpu::SetRenderState(Gpu::kRsZEnable, 0);
    Gpu::SetRenderState(Gpu::kRsAlphaBlendEnable, 1);
    Gpu::SetRenderState(Gpu::kRsAlphaTestEnable, 1);
    Gpu::SetRenderState(Gpu::kRsCullMode, Gpu::kCullNone);
    Gpu::SetRenderTarget(r.sliceStack->surface);
    GraphicsDevice::Clear(0x00000000);  // empty voxels write alpha 0, which the alpha test drops
    EvaluateVoxelField(voxel, r.balls, r.voxLevel);
    for (int k = 0; k < kVoxelGrid; ++k) {
        Gpu::SetRenderTarget(r.slices[k]->surface);
        Gpu::CopySurface(r.sliceStack->surface, 0, -k * kVoxelGrid);
    }
    GraphicsDevice::RestoreRenderTarget(saved);

    // One sprite per voxel, slice by slice, writing normals and depth, into
    // the half-size target.
    PostProcessChain::BeginScene(0x00000000, SpriteTarget(r));
    Gpu::SetRenderState(Gpu::kRsZEnable, 1);
    Gpu::SetRenderState(Gpu::kRsZWriteEnable, 1);
    Gpu::SetRenderState(Gpu::kRsPointSpriteEnable, 1);
    Gpu::SetVertexDeclaration(GraphicsDevice::GetVertexDeclaration(kDeclPosTex));
    voxel->SetTechnique("TechParticle");
    const float texelSize[2] = {1.0f / kVoxelGrid, 1.0f / kVoxelGrid};
    voxel->SetFloatArray("g_vTexelSize", texelSize, 2);
    voxel->SetMatrix("g_mModel", MatrixRotationY(0.2f * FrameTimer::GetTime()) * MatrixRotationX(0.1f));
    voxel->SetTexture("g_txNormalMap", r.normalMap->texture);
    // Sprite sizes are in pixels: they follow the height of the picture,
    // and shrink with the target they are drawn into.
    const Texture* scene = PostProcessChain::SceneTarget();
    const float pictureHeight = scene ? static_cast<float>(scene->height) : GraphicsDevice::View().viewHeight;
    Gpu::Surface* target = GraphicsDevice::GetRenderTarget();
    voxel->SetFloat("g_fTargetHeight", pictureHeight);
    voxel->SetFloat("g_fPointScale", static_cast<float>(Gpu::SurfaceHeight(target)) / pictureHeight);
    Gpu::Release(target);
    for (int k = 0; k < kVoxelGrid; ++k) {
        voxel->SetTexture("g_txTexture", r.slices[k]->texture);
        const VoxelParticle* slice = &r.particles[k * kVoxelSliceParticles];
        Gpu::ForEachPass(
            voxel, [&] { Gpu::DrawPrimitiveUP(Gpu::kPointList, kVoxelSliceParticles, slice, sizeof(VoxelParticle)); });
    }
    PostProcessChain::EndScene();

    // Lit with the cube map, looking along the camera.
    if (Gpu::Effect* light = GetEffect(kFxLightNormals)) {
        const CubeTexture* cube = GetCubeTexture(kCubeStudio);
        light->SetTexture("g_txCubemap", cube ? cube->cube : static_cast<Gpu::CubeTexture*>(nullptr));
        const Vector3 viewDir = -camera.GetView().GetTranslation();
        light->SetFloatArray("g_vViewDir", &viewDir.x, 3);
    }
    PostProcessChain::BeginPasses();
    PostProcessChain::ApplyHalfReduction();  // to a quarter of the picture's size
    if (VoxelBlurEnabled) {
        PostProcessChain::ApplyEffect(GetEffect(kFxBlurNormalsH));
        PostProcessChain::ApplyEffect(GetEffect(kFxBlurNormalsV));
    }
    PostProcessChain::ApplyLastEffect(GetEffect(kFxLightNormals));  // enlarges as it lights
}

LUMIVANE_REGISTER_EFFECT(CVoxelTest, CCVoxelTest, kVoxelTest);
