// A hundred restarts (R) in one run: every restart clears the effects, frees
// the song, runs the loading screen again and starts the music anew, and the
// heap does not grow with the restarts: within 1 MB over ninety of them.
#include <gtest/gtest.h>

#include <malloc.h>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "app/lumivane.h"
#include "assets/mixer.h"
#include "assets/music.h"
#include "core/frame_timer.h"
#include "platform/input.h"
#include "platform/window.h"
#include "render/graphics_device.h"
#include "tests/app_frames.h"
#include "tests/gpu_fixture.h"
#include "timeline/active_effects.h"
#include "timeline/effect.h"

#if defined(__SANITIZE_ADDRESS__)
#define LUMIVANE_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define LUMIVANE_ASAN 1
#endif
#endif
#ifdef LUMIVANE_ASAN
#include <sanitizer/allocator_interface.h>
#endif

namespace {

// Bytes the program has allocated and not freed, from the allocator itself
// (the sanitizer build's own allocator there).
size_t HeapInUse() {
#ifdef LUMIVANE_ASAN
    return __sanitizer_get_current_allocated_bytes();
#else
    struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;  // small blocks and mapped ones
#endif
}

// Resident memory, for the record: it also counts pages the allocator keeps
// after a free, so only the heap figure is held to the limit.
long long ResidentBytes() {
    long long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%lld %lld", &pages, &resident) != 2) resident = 0;
        std::fclose(f);
    }
    return resident * 4096;
}

}  // namespace

TEST(RestartSoak, AHundredRestartsLeaveTheHeapWhereItWas) {
    ASSERT_TRUE(GpuFixture::Start(160, 90, 1));
    Music::Init(true);  // the mixer moves only when the frames pull it
    CLumivane& app = TheLumivane();
    app.Init();
    app.timeline = TimelineState{};
    AppFrames frames30;
    auto frame = [&] { frames30.Step(); };
    // One cycle: R, then the loading screen, the music, and the show up to
    // its first title picture (from 2 s of music on).
    auto restart = [&] {
        InputState::Get().keys['R'] = 1;
        frame();
        InputState::Get().keys['R'] = 0;
        int frames = 0;
        while ((!app.song || app.timeline.demoTime < 2.2f) && frames < 400) frame(), ++frames;
        return app.song && frames < 400;
    };

    int frames = 0;
    while ((!app.song || app.timeline.demoTime < 2.2f) && frames < 600) frame(), ++frames;
    ASSERT_NE(app.song, nullptr) << "the first loading screen never ended";
    // The first restarts settle what is made once and kept (caches of the
    // driver, the song's first decoder buffers).
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(restart());
    // The heap after every restart. What the decoding thread or the driver
    // holds at one moment varies by a few MB with the timing; a leak grows
    // with every restart. So the median of the first ten is compared with
    // that of the last ten, ninety restarts later.
    std::vector<size_t> heap;
    const long long residentBefore = ResidentBytes();
    for (int i = 0; i < 100; ++i) {
        ASSERT_TRUE(restart()) << "restart " << i;
        heap.push_back(HeapInUse());
    }
    const long long residentAfter = ResidentBytes();
    auto median = [](std::vector<size_t> v) {
        std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
        return v[v.size() / 2];
    };
    const size_t before = median({heap.begin(), heap.begin() + 10});
    const size_t after = median({heap.end() - 10, heap.end()});

    const long long growth = static_cast<long long>(after) - static_cast<long long>(before);
    std::printf(
        "heap in use: %zu bytes after the first ten restarts, %zu after the last ten: %+lld bytes "
        "(resident over all 100: %+lld bytes)\n",
        before, after, growth, residentAfter - residentBefore);
    RecordProperty("heap_growth_bytes", static_cast<int>(growth));
    EXPECT_LT(growth, 1 << 20);
    EXPECT_TRUE(ActiveEffectList::IsClassActive(kIntroScreen));

    app.Shutdown();
    Music::Shutdown();
}
