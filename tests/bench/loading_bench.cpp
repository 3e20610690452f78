// The loading screen's frames at 1280 x 720: each loads one asset of the
// catalogue and draws the loader picture, as the show's first frames do.
// `max_ms` is the longest frame (it must stay under 50 ms), `max_asset` the
// catalogue index loaded in it, `over_50ms` how many frames of all the
// iterations took longer, `total_ms` the whole loading; the time per
// iteration is the mean frame.
//
//     SDL_VIDEODRIVER=offscreen build/tests/lumivane_bench --benchmark_filter=LoadingFrames
#include <benchmark/benchmark.h>

#include "app/lumivane.h"
#include "assets/catalogue.h"
#include "platform/gpu.h"
#include "render/graphics_device.h"
#include "tests/bench/bench_common.h"
#include "tests/gpu_fixture.h"
#include "timeline/active_effects.h"
#include "timeline/effect.h"

namespace {

void LoadingFrames(benchmark::State& state) {
    if (!GpuFixture::Start(1280, 720, 1)) return state.SkipWithError("no device");
    CLumivane& app = TheLumivane();
    double longest = 0, total = 0;
    int longestAsset = -1, frames = 0, over = 0;
    for (auto _ : state) {
        ReleaseCatalogue();  // every asset loads again, as at start-up
        app.Init();
        app.timeline = TimelineState{};
        ActiveEffectList::Add(CreateEffect(kLoading, 0, 3.4028235e38f));
        double loading = 0;
        // One frame per asset, and the one that finds nothing left to load.
        for (int asset = 0; asset <= kCatalogueSize; ++asset) {
            Bench::Clock::time_point t0 = Bench::Clock::now();
            app.Frame();
            GraphicsDevice::Present();
            Gpu::Finish();
            const double seconds = Bench::Seconds(t0, Bench::Clock::now());
            loading += seconds;
            ++frames;
            over += seconds > 0.05;
            if (seconds > longest) {
                longest = seconds;
                longestAsset = asset;
            }
        }
        state.SetIterationTime(loading / (kCatalogueSize + 1));
        total += loading;
        ActiveEffectList::Clear();
        app.Shutdown();
    }
    state.counters["max_ms"] = longest * 1000.0;
    state.counters["max_asset"] = longestAsset;
    state.counters["over_50ms"] = over;
    state.counters["total_ms"] = frames ? total * 1000.0 / (frames / (kCatalogueSize + 1)) : 0.0;
}

}  // namespace

BENCHMARK(LoadingFrames)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(2);
