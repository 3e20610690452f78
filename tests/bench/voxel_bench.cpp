// One frame of a voxel-cloud shot at 1280 x 720, as the show runs it: the
// ball field into 32 slices, 32,768 point sprites, the normal-lighting chain
// (with the normal blur when the argument is 1), the overlay and the dark
// quad, then the frame's fixed cost (scene target, colour split, fade
// overlay, present). `copies` gives it in full-screen copy passes.
#include <benchmark/benchmark.h>

#include "app/lumivane.h"
#include "assets/catalogue.h"
#include "effects/voxel_resources.h"
#include "render/graphics_device.h"
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

}  // namespace

BENCHMARK(VoxelFrame)->ArgName("blur")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseManualTime();
