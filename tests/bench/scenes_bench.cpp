// A typical frame of every scene of the show at 1280 x 720, in one run:
// loading, titles, laser, scroller, head, hand, cylinders, voxel cloud and
// end screen, plus the end screen under the colour split (its last six
// seconds run under a burst). Each is the whole frame as the show draws it
// (the scene, the colour split or plain copy, the fade overlay when the
// scene has one, present), held half way through the effect's life with the
// clock standing still. `copies` gives it in full-screen copy passes: 6 is
// 30 frames a second on a machine whose copy pass takes 5.6 ms, 3 is 60.
//
//     SDL_VIDEODRIVER=offscreen build/tests/lumivane_bench --benchmark_filter=SceneFrame --benchmark_repetitions=5
#include <benchmark/benchmark.h>

#include <cstring>

#include "app/lumivane.h"
#include "assets/catalogue.h"
#include "effects/intro_screen.h"
#include "effects/laser_writer.h"
#include "effects/loading.h"
#include "effects/meta_writer.h"
#include "effects/voxel_resources.h"
#include "render/graphics_device.h"
#include "tests/bench/bench_common.h"
#include "tests/gpu_fixture.h"
#include "timeline/active_effects.h"
#include "timeline/effect.h"
#include "timeline/show_levels.h"
#include "timeline/show_times.h"
#include "timeline/timeline.h"

namespace {

using namespace ShowTimes;

enum Scene { kLoadingScene, kTitles, kLaser, kScroller, kHead, kHand, kCylinders, kVoxel, kEndScreen, kEndSplit };

// An effect of the class, half way through a life of `duration`.
CEffect* HalfWay(int classId, float duration) {
    CEffect* effect = CreateEffect(classId, 0, duration);
    if (effect) effect->timeLeft = duration * 0.5f;
    return effect;
}

// The scene's effect as the timeline would have it running, and the
// timeline time of that moment (the opening fade and the sync read it).
CEffect* MakeScene(Scene scene, float* demoTime) {
    switch (scene) {
    case kLoadingScene: {
        // Every asset is loaded already: its first Update finishes it, and
        // with the clock standing still its fade never starts.
        *demoTime = 0.0f;
        return CreateEffect(kLoading, 0, 3.4028235e38f);
    }
    case kTitles:
        *demoTime = 8.0f;
        IntroScreenCounter = 0;  // the mission picture
        return HalfWay(kIntroScreen, kLogoStart - kIntroStart);
    case kLaser: {
        *demoTime = kLaserStart + 2.5f;
        auto* laser = static_cast<CLaserWriter*>(HalfWay(kLaserWriter, kLaserLength));
        if (!laser) return nullptr;
        // The beam in the middle of a full line (whatever laser.txt the
        // working directory has), where it shines brightest.
        std::strncpy(LaserText[0], "THE BEAM WRITES A WHOLE LINE OF LETTERS ACROSS", kLaserLineLength - 1);
        laser->laserX = 640.0f;
        return laser;
    }
    case kScroller: *demoTime = 75.0f; return Bench::FullScroller();
    case kHead: *demoTime = kShots[0].start + 1.0f; return HalfWay(kHeadMesh, kShots[0].length);
    case kHand: *demoTime = kShots[1].start + 1.0f; return HalfWay(kHandMesh, kShots[1].length);
    case kCylinders: *demoTime = kCylinderStart + 5.0f; return HalfWay(kCylinderHead, kCylinderEnd - kCylinderStart);
    case kVoxel: *demoTime = kVoxelStart + 2.0f; return HalfWay(kVoxelTest, 4.0f);
    case kEndScreen:
    case kEndSplit:
        *demoTime = kEndScreenStart + 2.0f;
        IntroScreenCounter = 2;  // the third picture: the end screen
        return HalfWay(kIntroScreen, kShowEnd - kEndScreenStart);
    }
    return nullptr;
}

void SceneFrame(benchmark::State& state, Scene scene) {
    if (!GpuFixture::Start(1280, 720, 1)) return state.SkipWithError("no device");
    for (float progress = 0.0f; !PreloadNextAsset(&progress);) {}
    Bench::CopyPass copy;
    CLumivane& app = TheLumivane();
    app.Init();
    float demoTime = 0.0f;
    CEffect* effect = MakeScene(scene, &demoTime);
    if (!effect) {
        app.Shutdown();
        return state.SkipWithError("the scene's effect cannot be made");
    }
    // Nothing from the script starts while the scene is measured.
    app.timeline.nextEntry = kTimelineEntryCount;
    app.timeline.demoTime = demoTime;
    ActiveEffectList::Add(effect);
    const bool split = scene == kEndSplit;
    RgbSplitTarget = split ? 1.0f : 0.0f;
    RgbSplitStrength = RgbSplitTarget;  // eased towards the target, which a still clock never moves
    VoxelBlurEnabled = false;           // as the show starts it
    Bench::Measure(state, copy, [&] {
        app.Frame();
        GraphicsDevice::Present();
    });
    RgbSplitTarget = RgbSplitStrength = 0.0f;
    app.Shutdown();  // deletes the scene's effect
}

}  // namespace

BENCHMARK_CAPTURE(SceneFrame, loading, kLoadingScene)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK_CAPTURE(SceneFrame, titles, kTitles)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK_CAPTURE(SceneFrame, laser, kLaser)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK_CAPTURE(SceneFrame, scroller, kScroller)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK_CAPTURE(SceneFrame, head, kHead)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK_CAPTURE(SceneFrame, hand, kHand)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK_CAPTURE(SceneFrame, cylinders, kCylinders)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK_CAPTURE(SceneFrame, voxel, kVoxel)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK_CAPTURE(SceneFrame, end_screen, kEndScreen)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK_CAPTURE(SceneFrame, end_screen_split, kEndSplit)->Unit(benchmark::kMillisecond)->UseManualTime();
