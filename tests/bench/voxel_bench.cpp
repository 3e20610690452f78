// One frame of a voxel-cloud shot at 1280 x 720, as the show runs it: the
// ball field into 32 slices, 32,768 point sprites, the normal-lighting chain
// (with the normal blur when the argument is 1), the overlay and the dark
// quad, then the frame's fixed cost (scene target, colour split, fade
// overlay, present). `copies` gives it in full-screen copy passes.
#include <benchmark/benchmark.h>

#include "app/lumivane.h"
#include "assets/catalogue.h"
#include "assets/resource_ids.h"
#include "assets/texture.h"
#include "effects/voxel_resources.h"
#include "effects/voxel_test.h"
#include "render/graphics_device.h"
#include "render/renderer_2d.h"
#include "tests/bench/bench_common.h"
#include "tests/gpu_fixture.h"
#include "timeline/active_effects.h"
#include "timeline/effect.h"

namespace {

void VoxelFrame(benchmark::State& state) {
    if (!GpuFixture::Start(1280, 720, 1)) return state.SkipWithError("no device");
    for (float progress = 0.0f; !PreloadNextAsset(&progress);) {}
    Bench::CopyPass copy;
    CLumivane& app = TheLumivane();
    app.Init();  // the camera and the cloud's resources
    // One shot that outlives the run, and no script to start anything else.
    app.timeline.nextEntry = kTimelineEntryCount;
    ActiveEffectList::Add(CreateEffect(kVoxelTest, 0, 1e9f));
    const bool blur = VoxelBlurEnabled;
    VoxelBlurEnabled = state.range(0) != 0;
    Bench::Measure(state, copy, [&] {
        app.Frame();
        GraphicsDevice::SetFade(128);  // as in a shot's first and last half second
        GraphicsDevice::Present();
    });
    VoxelBlurEnabled = blur;
    app.Shutdown();
}

// The ball field alone, into the 32 x 1024 stack, for the balls at 10 s:
// argument 0 as one quad adding up all 64 balls, 1 as the shot does it
// (band by band, with the balls that reach each band).
void VoxelField(benchmark::State& state) {
    if (!GpuFixture::Start(1280, 720, 1)) return state.SkipWithError("no device");
    for (float progress = 0.0f; !PreloadNextAsset(&progress);) {}
    Bench::CopyPass copy;
    Gpu::Effect* voxel = GetEffect(kFxVoxel);
    if (!voxel) return state.SkipWithError("no Voxel.fx");
    Texture* stack = Texture::CreateRenderTarget(kVoxelGrid, kVoxelGrid * kVoxelGrid, Gpu::kFormatR32F);
    Vector3 balls[kVoxelBalls];
    ComputeVoxelBalls(10.0f, balls);
    Gpu::SetRenderState(Gpu::kRsZEnable, 0);
    Bench::Measure(state, copy, [&] {
        Gpu::Surface* saved = GraphicsDevice::SetRenderTexture(stack);
        GraphicsDevice::Clear(0x00000000);
        if (state.range(0) == 0) {
            voxel->SetFloat("g_fMinLevel", 0.2f);
            voxel->SetInt("g_nBalls", kVoxelBalls);
            voxel->SetFloatArray("g_vBalls", &balls[0].x, kVoxelBalls * 3);
            voxel->SetTechnique("TechVoxel");
            const Vector2 origin(0.0f, 0.0f), size(kVoxelGrid, kVoxelGrid * kVoxelGrid);
            Renderer2D::DrawEffectQuad(voxel, &origin, &size, 0xFFFFFFFF);
        } else {
            EvaluateVoxelField(voxel, balls, 0.2f);
        }
        GraphicsDevice::RestoreRenderTarget(saved);
    });
    DeleteTexture(stack);
}

}  // namespace

BENCHMARK(VoxelField)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(VoxelFrame)->ArgName("blur")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseManualTime();
