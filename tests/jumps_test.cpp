// Jumps in the playing show, run in the test process on the real script:
// where a jump lands, what it leaves untouched, and what its keys do.
#include <gtest/gtest.h>

#include <unistd.h>
#include <filesystem>
#include <string>
#include <vector>

#include "app/jumps.h"
#include "app/lumivane.h"
#include "assets/catalogue.h"
#include "assets/music.h"
#include "core/frame_timer.h"
#include "effects/base_mesh.h"
#include "effects/intro_screen.h"
#include "effects/meta_writer.h"
#include "platform/input.h"
#include "platform/keys.h"
#include "render/graphics_device.h"
#include "tests/allocation_counter.h"
#include "tests/gpu_fixture.h"
#include "timeline/active_effects.h"
#include "timeline/timeline.h"

namespace fs = std::filesystem;

namespace {

// The whole show at a small picture, its music on the virtual clock, run
// from a folder that holds the show's laser.txt and scroller.txt.
class JumpsInShow : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("lumivane_jumps_" + std::to_string(getpid()));
        fs::create_directories(dir);
        for (const char* text : {"laser.txt", "scroller.txt"})
            fs::copy_file(fs::path(LUMIVANE_SOURCE_DIR) / text, dir / text, fs::copy_options::overwrite_existing);
        previous = fs::current_path();
        fs::current_path(dir);
        ASSERT_TRUE(GpuFixture::Start(64, 36, 1));
        ASSERT_TRUE(Music::Init(true));
        TheLumivane().Init();
    }
    void TearDown() override {
        TheLumivane().Shutdown();
        Music::Shutdown();
        fs::current_path(previous);
        fs::remove_all(dir);
    }

    static void JumpTo(float target) {
        ::Jumps::Start(TheLumivane(), target);
        ASSERT_TRUE(::Jumps::Continue(TheLumivane(), 1e9));
        EXPECT_FALSE(::Jumps::Active());
    }

    fs::path dir, previous;
};

// What a jump must land on: the drawn frame and the state behind it.
struct Landing {
    float demoTime, frameClock, songMs, split;
    int nextEntry, effects, headPath, handPath, overlay;
    unsigned intro;
    int textPos, camCurrent, camNext, cueIndex;
    float scrollX, gridFlash;
    uint32_t scrollerRandom;
    std::vector<uint32_t> pixels;
};

// Draws the frame at the jump's target and notes where everything is.
Landing Land() {
    CLumivane& app = TheLumivane();
    ::Jumps::StepFrame(app, true);
    const MetaWriterState& scroller = GetMetaWriterState();
    return Landing{app.timeline.demoTime, FrameTimer::GetTime(),  static_cast<float>(Music::GetTime(app.song)),
                   RgbSplitStrength,      app.timeline.nextEntry, ActiveEffectList::Count(),
                   HeadPathCounter,       HandPathCounter,        OverlayCounter,
                   IntroScreenCounter,    scroller.textPos,       scroller.camCurrent,
                   scroller.camNext,      scroller.cueIndex,      scroller.scrollX,
                   scroller.gridFlash,    scroller.random.state,  GpuFixture::ReadBackBuffer().pixels};
}

void ExpectSame(const Landing& a, const Landing& b) {
    EXPECT_EQ(a.demoTime, b.demoTime);
    EXPECT_EQ(a.frameClock, b.frameClock);
    EXPECT_EQ(a.songMs, b.songMs);
    EXPECT_EQ(a.split, b.split);
    EXPECT_EQ(a.nextEntry, b.nextEntry);
    EXPECT_EQ(a.effects, b.effects);
    EXPECT_EQ(a.headPath, b.headPath);
    EXPECT_EQ(a.handPath, b.handPath);
    EXPECT_EQ(a.overlay, b.overlay);
    EXPECT_EQ(a.intro, b.intro);
    EXPECT_EQ(a.textPos, b.textPos);
    EXPECT_EQ(a.camCurrent, b.camCurrent);
    EXPECT_EQ(a.camNext, b.camNext);
    EXPECT_EQ(a.cueIndex, b.cueIndex);
    EXPECT_EQ(a.scrollX, b.scrollX);
    EXPECT_EQ(a.gridFlash, b.gridFlash);
    EXPECT_EQ(a.scrollerRandom, b.scrollerRandom);
    EXPECT_TRUE(a.pixels == b.pixels) << "the drawn frames differ";
}

}  // namespace

// Every generator and counter the show moves must be back at its start
// when a jump goes back, or the show arrives somewhere else: at the laser
// (its generator), a head shot after four shots (the counters, the
// scroller's generator), the voxel cloud and the cylinders (theirs).
TEST_F(JumpsInShow, AJumpBackThenForwardLandsWhereARunWithoutJumpsIs) {
    const float targets[] = {40.0f, 128.5f, 185.0f, 199.0f};
    std::vector<Landing> straight;
    JumpTo(0.0f);  // the state the program starts with, whatever ran before
    for (float t : targets) {
        JumpTo(t);
        straight.push_back(Land());
        ASSERT_GE(straight.back().demoTime, t);
    }
    JumpTo(0.0f);
    for (size_t i = 0; i < std::size(targets); ++i) {
        SCOPED_TRACE(targets[i]);
        JumpTo(targets[i] + 7.0f);
        JumpTo(targets[i] - 15.0f);  // back: rewound, run forward again
        JumpTo(targets[i]);
        ExpectSame(straight[i], Land());
    }
}

// The frames of a jump draw nothing (the picture on screen and the scene
// target keep what they held) and, between script entries, allocate nothing.
TEST_F(JumpsInShow, AJumpsFramesDrawNothingAndAllocateNothing) {
    CLumivane& app = TheLumivane();
    JumpTo(0.0f);
    JumpTo(141.0f);  // the long scroller: the next entry starts at 169 s
    const uint32_t marker = 0xFF123456;
    GraphicsDevice::Clear(marker);
    Gpu::Surface* saved = GraphicsDevice::SetRenderTexture(app.sceneTarget);
    GraphicsDevice::Clear(marker);
    GraphicsDevice::RestoreRenderTarget(saved);
    const int nextEntry = app.timeline.nextEntry;

    ::Jumps::Start(app, 150.0f);
    AllocationCounter::Start();
    const bool arrived = ::Jumps::Continue(app, 1e9);
    EXPECT_EQ(AllocationCounter::Stop(), 0);
    ASSERT_TRUE(arrived);
    EXPECT_GE(app.timeline.demoTime, 150.0f);
    EXPECT_EQ(app.timeline.nextEntry, nextEntry);

    const auto untouched = [&](const GpuFixture::Image& image) {
        for (uint32_t p : image.pixels)
            if (p != marker) return false;
        return true;
    };
    EXPECT_TRUE(untouched(GpuFixture::ReadBackBuffer()));
    saved = GraphicsDevice::SetRenderTexture(app.sceneTarget);
    EXPECT_TRUE(untouched(GpuFixture::ReadTarget()));
    GraphicsDevice::RestoreRenderTarget(saved);
}

// The keys count from where the show is, or from the target of a jump under
// way; back (or to 0) rewinds; targets stay within the show.
TEST_F(JumpsInShow, PageDownPageUpAndHomeMoveTheTarget) {
    CLumivane& app = TheLumivane();
    const struct {
        float demoTime;
        bool underWay;  // a jump to demoTime + 30 has started
        int key;
        float target;
        bool rewound;
    } cases[] = {
        {50.0f, false, kKeyPageDown, 60.0f, false},
        {50.0f, false, kKeyPageUp, 40.0f, true},
        {5.0f, false, kKeyPageUp, 0.0f, true},
        {50.0f, false, kKeyHome, 0.0f, true},
        {50.0f, true, kKeyPageDown, 90.0f, false},
        {50.0f, true, kKeyPageUp, 70.0f, false},  // still ahead of the show
        {220.0f, false, kKeyPageDown, Timeline::EndTime(), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.demoTime << " key " << c.key);
        app.Rewind();
        app.timeline.demoTime = c.demoTime;
        app.timeline.nextEntry = 5;  // anything but a rewound script
        if (c.underWay) ::Jumps::Start(app, c.demoTime + 30.0f);
        InputState::Get().wentDown[c.key] = 1;
        ::Jumps::HandleKeys(app);
        InputState::Snapshot();
        EXPECT_TRUE(::Jumps::Active());
        EXPECT_EQ(::Jumps::Target(), c.target);
        EXPECT_EQ(app.timeline.nextEntry == 0, c.rewound);
        // Over: a jump to 0 arrives at once.
        ::Jumps::Start(app, 0.0f);
        ASSERT_TRUE(::Jumps::Continue(app, 1e9));
    }
}
