// The loading screen: one asset per frame with its pips, the frame clock
// restarted after each load, the one-second fade, and the music it starts on
// its way out, also after a restart of the show.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "app/lumivane.h"
#include "assets/catalogue.h"
#include "assets/mixer.h"
#include "assets/music.h"
#include "core/frame_timer.h"
#include "effects/loading.h"
#include "platform/input.h"
#include "platform/keys.h"
#include "platform/window.h"
#include "render/graphics_device.h"
#include "tests/gpu_fixture.h"
#include "timeline/active_effects.h"

using GpuFixture::Image;

namespace {

// A frame clock the test moves by hand: 1000 counts per second.
uint64_t s_counter = 0;
uint64_t ReadCounter() { return s_counter; }

class LoadingTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(GpuFixture::Start(1280, 720, 1));
        Music::Init(true);  // the mixer moves only when the test pulls it
        FrameTimer::SetCounter(ReadCounter, 1000);
        s_counter = 0;
        FrameTimer::Start();
    }
    void TearDown() override {
        ActiveEffectList::Clear();
        CLumivane& app = TheLumivane();
        Music::Free(app.song);
        app.song = nullptr;
        Music::Shutdown();
        FrameTimer::SetCounter(Platform::GetCounter, Platform::GetCounterFrequency());
    }
};

// The centre of pip i, in pixels (textured quads sit one pixel right and down).
uint32_t PipCentre(const Image& image, int i) { return image.At(504 + 30 * i + 16 + 1, 406 + 16 + 1); }

}  // namespace

TEST_F(LoadingTest, LoadsOneAssetPerFrameFadesOutAndStartsTheMusic) {
    ReleaseCatalogue();  // from its first asset, whatever ran before in this process
    GraphicsDevice::SetFade(99);
    CEffect* effect = CreateEffect(kLoading, 0, 3.4028235e38f);
    CLoading* loading = dynamic_cast<CLoading*>(effect);
    ASSERT_NE(loading, nullptr);
    EXPECT_EQ(GraphicsDevice::GetFade(), 0);
    ASSERT_NE(loading->background, nullptr);
    ASSERT_NE(loading->pip, nullptr);
    ActiveEffectList::Add(effect);

    float expected = 0.0f;
    for (int k = 1; k <= kCatalogueSize + 1; ++k) {
        SCOPED_TRACE(k);
        // However long the frame and the load took, the next delta starts
        // after the load: the clock was restarted at this reading.
        s_counter += 5000;
        ActiveEffectList::Tick(0.016f);
        EXPECT_EQ(FrameTimer::Clock().lastCounter, s_counter);
        expected = k <= kCatalogueSize ? std::min(expected + 0.028571429f, 1.0f) : 1.0f;
        EXPECT_EQ(loading->progress, expected);
        EXPECT_EQ(LoadingPipCount(loading->progress), k <= kCatalogueSize ? k * 12 / 35 : 12);
        // The 36th update finds nothing left and reports completion.
        EXPECT_EQ(loading->finished, k == kCatalogueSize + 1);
        EXPECT_EQ(GraphicsDevice::GetFade(), 0);
        if (k == 18) {
            // 6 pips: the first six boxes of the loader are lit, the rest as drawn.
            Image lit = GpuFixture::ReadBackBuffer();
            loading->progress = 0.0f;
            loading->Render();
            Image unlit = GpuFixture::ReadBackBuffer();
            loading->progress = expected;
            for (int i = 0; i < 12; ++i) EXPECT_EQ(PipCentre(lit, i) != PipCentre(unlit, i), i < 6) << i;
        }
    }

    // The fade: the overlay rises over one second of frame time; the clock
    // is left alone now.
    const uint64_t restarted = s_counter;
    struct Step {
        float fadeLeft;
        int overlay;
    };
    const Step steps[] = {{0.75f, 63}, {0.5f, 127}, {0.25f, 191}, {0.0f, 255}};
    for (const Step& s : steps) {
        s_counter += 250;
        ActiveEffectList::Tick(0.25f);
        EXPECT_EQ(loading->fade, s.fadeLeft);
        EXPECT_EQ(GraphicsDevice::GetFade(), s.overlay);
        EXPECT_EQ(ActiveEffectList::Count(), 1);
    }
    EXPECT_EQ(FrameTimer::Clock().lastCounter, restarted);
    // Below 0 it retires itself (the frame then starts the music); that
    // frame is drawn fully black, not wrapped round to a faint overlay.
    ActiveEffectList::Tick(0.01f);
    EXPECT_EQ(GraphicsDevice::GetFade(), 255);
    EXPECT_EQ(ActiveEffectList::Count(), 0);
}

TEST(LoadingFade, TheOverlayNeverWraps) {
    EXPECT_EQ(LoadingFadeLevel(1.0f), 0);
    EXPECT_EQ(LoadingFadeLevel(0.5f), 127);
    EXPECT_EQ(LoadingFadeLevel(0.0f), 255);
    EXPECT_EQ(LoadingFadeLevel(-0.0001f), 255);
    EXPECT_EQ(LoadingFadeLevel(-3.0f), 255);
}

TEST_F(LoadingTest, ClearedAwayAtShutdownItStartsNoMusic) {
    CLumivane& app = TheLumivane();
    app.Init();
    app.timeline = TimelineState{};
    for (int i = 0; i < 10 && !ActiveEffectList::IsClassActive(kLoading); ++i) {
        s_counter += 33;
        FrameTimer::Update();
        app.Frame();  // the loading screen starts once the clock is past 0
    }
    ASSERT_TRUE(ActiveEffectList::IsClassActive(kLoading));
    app.Shutdown();
    EXPECT_EQ(app.song, nullptr);
}

TEST_F(LoadingTest, ARestartFadesTheLoadingScreenInSilenceThenPlaysOneSongFromItsStart) {
    // The application's own frames at 30 a second, the mixer pulled before
    // each as capture mode does.
    ASSERT_TRUE(GpuFixture::Start(320, 180, 1));
    CLumivane& app = TheLumivane();
    app.Init();
    app.timeline = TimelineState{};
    FrameTimer::SetCounter(ReadCounter, 30);
    FrameTimer::Start();
    std::vector<int16_t> sound(2 * 1470);
    auto frame = [&] {
        ++s_counter;
        Mixer::Render(sound.data(), 1470);
        FrameTimer::Update();
        app.Frame();
        GraphicsDevice::Present();
        InputState::Snapshot();
    };
    auto silent = [&] { return std::all_of(sound.begin(), sound.end(), [](int16_t s) { return s == 0; }); };

    int frames = 0;
    while (!app.song && frames < 200) frame(), ++frames;
    ASSERT_NE(app.song, nullptr) << "the first loading screen never ended";
    for (int i = 0; i < 30; ++i) frame();
    EXPECT_FALSE(silent());
    EXPECT_NEAR(app.timeline.demoTime, 1.0f, 0.001f);  // the music's position: 30 frames

    InputState::Get().keys['R'] = 1;
    frame();
    InputState::Get().keys['R'] = 0;
    EXPECT_EQ(app.song, nullptr);
    EXPECT_LT(app.timeline.demoTime, 0.04f);

    // The loading screen runs again (everything is loaded: it only fades),
    // with no music under it and the clock never going back until the music
    // starts and the timeline takes its position.
    bool loadingSeen = false;
    float last = app.timeline.demoTime;
    frames = 0;
    while (!app.song && frames < 100) {
        frame();
        ++frames;
        loadingSeen = loadingSeen || ActiveEffectList::IsClassActive(kLoading);
        if (!app.song) {
            EXPECT_TRUE(silent()) << frames;
            EXPECT_GE(app.timeline.demoTime, last);
        }
        last = app.timeline.demoTime;
    }
    EXPECT_TRUE(loadingSeen);
    ASSERT_NE(app.song, nullptr);
    EXPECT_EQ(app.timeline.demoTime, 0.0f);
    EXPECT_GE(frames, 30);  // its one-second fade

    // One song, from its start, driving the clock forward from 0 (not back
    // by the old song's position).
    for (int i = 0; i < 15; ++i) {
        frame();
        EXPECT_GT(app.timeline.demoTime, last);
        last = app.timeline.demoTime;
    }
    EXPECT_FALSE(silent());
    EXPECT_NEAR(Music::GetTime(app.song), 500, 1);
    app.Shutdown();
}
