// The scroller: its text file, the order of its letters, the camera's cuts
// on the music's cue times behind the blink, state that outlives each
// instance, and a frame of it on a real device.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <unistd.h>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "assets/catalogue.h"
#include "assets/resource_ids.h"
#include "core/camera.h"
#include "effects/meta_writer.h"
#include "platform/gpu.h"
#include "render/graphics_device.h"
#include "tests/allocation_counter.h"
#include "tests/gpu_fixture.h"
#include "timeline/active_effects.h"
#include "timeline/show_times.h"
#include "timeline/timeline.h"

namespace fs = std::filesystem;
using GpuFixture::Image;

namespace {

std::string Read(const std::string& bytes, std::string* err = nullptr) {
    char text[kScrollerTextSize];
    std::memset(text, 'x', sizeof text);
    testing::internal::CaptureStderr();
    const int length = ReadScrollerText(bytes.data(), bytes.size(), text);
    const std::string messages = testing::internal::GetCapturedStderr();
    if (err) *err = messages;
    EXPECT_EQ(text[length], '\0');
    return std::string(text, static_cast<size_t>(length));
}

// A folder of its own holding this scroller.txt (or none), made the working
// directory, with the shared state forgotten so the next meta writer reads it.
class ScrollerFolder {
public:
    explicit ScrollerFolder(const std::string* text) {
        dir_ = fs::temp_directory_path() / ("lumivane_scroller_" + std::to_string(getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        if (text) std::ofstream(dir_ / "scroller.txt", std::ios::binary) << *text;
        old_ = fs::current_path();
        fs::current_path(dir_);
        ResetMetaWriterState();
    }
    ~ScrollerFolder() {
        fs::current_path(old_);
        fs::remove_all(dir_);
    }

private:
    fs::path dir_, old_;
};

// The device and every asset, so the letters have their shapes.
bool StartShow() {
    if (!GpuFixture::Start(320, 180, 1)) return false;
    for (float progress = 0.0f; !PreloadNextAsset(&progress);) {}
    return GetTexture(kTexMetaFont) != nullptr;
}

CMetaWriter* NewMetaWriter(float duration) {
    return dynamic_cast<CMetaWriter*>(CreateEffect(kMetaWriter, 0, duration));
}

// The timeline's clock at `time`, as the show's frame sets it before the effects update.
void SetDemoTime(float time) {
    TimelineState clock;
    clock.demoTime = time;
    clock.nextEntry = kTimelineEntryCount;  // nothing to start
    Timeline::Step(clock);
}

}  // namespace

TEST(ScrollerText, ReadInBinaryKeepingEveryByteButOneFinalLineFeed) {
    struct Case {
        std::string file, text;
    } cases[] = {
        {"HELLO\n", "HELLO"},
        {"HELLO", "HELLO"},  // no line feed: the last letter stays
        {"HELLO\r\n", "HELLO"},
        {"A\r\nB\r\n\r\n", "A\nB\n"},  // only one final line feed goes
        {"A\rB\r", "A\rB\r"},          // a lone CR is a byte like any other
        {std::string("\xC8\x01z\0.", 5), std::string("\xC8\x01z\0.", 5)},
        {std::string(1023, 'Q') + "\n", std::string(1023, 'Q')},
    };
    for (const Case& c : cases) {
        std::string err;
        EXPECT_EQ(Read(c.file, &err), c.text);
        EXPECT_EQ(err, "");
    }
}

TEST(ScrollerText, MissingEmptyOrLongFilesSaySoInOneLine) {
    std::string err;
    EXPECT_EQ(Read(std::string(1100, 'W'), &err), std::string(1023, 'W'));
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;

    // Missing; a folder; endless or blocking input, which is not read at all;
    // a file too large to be a scroller text.
    const fs::path dir = fs::temp_directory_path() / ("lumivane_scroller_bad_" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    fs::create_symlink("/dev/zero", dir / "zero_link");
    ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
    std::ofstream(dir / "huge") << std::string(kMaxScrollerFileBytes + 1, 'A');
    char text[kScrollerTextSize] = "stale";
    for (std::string path : {std::string("/nonexistent/scroller.txt"), std::string("/"), (dir / "zero_link").string(),
                             (dir / "fifo").string(), (dir / "huge").string()}) {
        testing::internal::CaptureStderr();
        EXPECT_EQ(ReadScrollerText(path.c_str(), text), 0);
        err = testing::internal::GetCapturedStderr();
        EXPECT_STREQ(text, "");
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << path << ": " << err;
    }
    const fs::path empty = fs::temp_directory_path() / ("lumivane_empty_" + std::to_string(getpid()));
    std::ofstream(empty, std::ios::binary) << "\n";
    testing::internal::CaptureStderr();
    EXPECT_EQ(ReadScrollerText(empty.c_str(), text), 0);
    err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    fs::remove(empty);
    fs::remove_all(dir);
}

TEST(MetaWriter, FadesOverTheFirstAndLastQuarterSecond) {
    struct Case {
        float timeLeft, level;
    } cases[] = {{10.0f, 1.0f}, {9.875f, 0.5f}, {9.75f, 0.0f}, {5.0f, 0.0f},
                 {0.25f, 0.0f}, {0.125f, 0.5f}, {0.0f, 1.0f},  {-0.5f, 3.0f}};
    for (const Case& c : cases) EXPECT_FLOAT_EQ(MetaWriterFade(c.timeLeft, 10.0f), c.level) << c.timeLeft;
}

// The first letter shown is text[1]; text[0] comes only when the text wraps.
TEST(MetaWriter, HelloShowsELLOHE) {
    ASSERT_TRUE(StartShow());
    const std::string file = "HELLO\n";
    ScrollerFolder folder(&file);
    CMetaWriter* writer = NewMetaWriter(100.0f);
    ASSERT_NE(writer, nullptr);
    MetaWriterState& state = GetMetaWriterState();
    EXPECT_EQ(std::string(state.text, state.textLength), "HELLO");
    SetDemoTime(0.0f);
    std::string shown;
    int last = -1;
    for (int frame = 0; frame < 2000 && shown.size() < 6; ++frame) {
        writer->Update(1.0f / 30.0f);
        if (state.textPos != last) shown += state.text[last = state.textPos];
        // The live letter's progress stays within 0..2.
        EXPECT_GE(state.scrollX, -state.letterWidth);
    }
    EXPECT_EQ(shown, "ELLOHE");
    // The frozen letters keep their meshes; the newest is the one before the live letter.
    EXPECT_GT(state.slots[kMetaSlots - 1].indexCount, 0);
    EXPECT_FLOAT_EQ(state.slots[kMetaSlots - 1].width, state.letters.advance['H'] * 1.5f);
    delete writer;
}

// Without letters (no file, an empty one, or bytes without a glyph) the
// scroller still runs: the grid scrolls, the text index stays valid.
TEST(MetaWriter, RunsWithoutLettersWhenTheTextHasNone) {
    ASSERT_TRUE(StartShow());
    const std::string empty, strange = "\xC8\xFF\x01z\t";
    for (const std::string* file : {static_cast<const std::string*>(nullptr), &empty, &strange}) {
        ScrollerFolder folder(file);
        testing::internal::CaptureStderr();
        CMetaWriter* writer = NewMetaWriter(100.0f);
        const std::string err = testing::internal::GetCapturedStderr();
        ASSERT_NE(writer, nullptr);
        MetaWriterState& state = GetMetaWriterState();
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), file == &strange ? 0 : 1) << err;
        for (int frame = 0; frame < 100; ++frame) {
            writer->Update(1.0f / 30.0f);
            ASSERT_GE(state.textPos, 0);
            ASSERT_LE(state.textPos, std::max(state.textLength - 1, 0));
            ASSERT_EQ(state.letterWidth, 0.0f);
            ASSERT_EQ(state.field->IndexCount(), 0);
            ASSERT_TRUE(std::isfinite(state.scrollX));
        }
        EXPECT_LT(state.gridOffset, -1.0f);  // the grid scrolls on
        writer->Render();                    // draws the grid and nothing else
        delete writer;
    }
}

// The camera cuts behind the blink: 0.125 s up to black, the cut, 0.125 s
// down; never back to the start view 0, never the same view twice running.
TEST(MetaWriter, CutsOnTheCueTimesBehindABlink) {
    ASSERT_TRUE(StartShow());
    const std::string file = "AB\n";
    ScrollerFolder folder(&file);
    CMetaWriter* writer = NewMetaWriter(1000.0f);
    ASSERT_NE(writer, nullptr);
    MetaWriterState& state = GetMetaWriterState();
    const float dt = 1.0f / 64.0f;  // exact steps: the blink moves by 1/8 a frame

    SetDemoTime(ShowTimes::MetaCueTimes[0] - 0.5f);
    writer->Update(dt);
    EXPECT_EQ(writer->blink, 0.0f);
    EXPECT_EQ(state.cueIndex, 0);

    SetDemoTime(ShowTimes::MetaCueTimes[0]);
    const int before = state.camNext;
    for (int frame = 1; frame <= 8; ++frame) {
        writer->Update(dt);
        EXPECT_FLOAT_EQ(writer->blink, frame / 8.0f);
    }
    EXPECT_EQ(state.cueIndex, 1);
    EXPECT_FALSE(writer->blinkRising);
    EXPECT_EQ(state.camCurrent, before);  // cut while black
    EXPECT_EQ(state.camPhase, 0.0f);
    for (int frame = 7; frame >= 0; --frame) {
        writer->Update(dt);
        EXPECT_FLOAT_EQ(writer->blink, frame / 8.0f);
    }

    // Every cue after it: one cut each, to a new view other than 0.
    int cuts = 1;
    for (int cue = 1; cue < ShowTimes::kMetaCueCount; ++cue) {
        SetDemoTime(ShowTimes::MetaCueTimes[cue]);
        const int current = state.camCurrent;
        for (int frame = 0; frame < 16; ++frame) writer->Update(dt);
        EXPECT_EQ(state.cueIndex, cue + 1);
        EXPECT_NE(state.camCurrent, current) << "cue " << cue;
        EXPECT_NE(state.camCurrent, 0);
        EXPECT_NE(state.camNext, 0);
        EXPECT_NE(state.camNext, state.camCurrent);
        ++cuts;
    }
    EXPECT_EQ(cuts, 65);
    // Past the last cue nothing more happens.
    SetDemoTime(1000.0f);
    for (int frame = 0; frame < 16; ++frame) writer->Update(dt);
    EXPECT_EQ(state.cueIndex, ShowTimes::kMetaCueCount);
    EXPECT_EQ(writer->blink, 0.0f);
    delete writer;
    EXPECT_EQ(state.cueIndex, ShowTimes::kMetaCueCount);  // never past the end marker
}

// A new instance (after a head shot, or a restart of the timeline) carries
// on with the text, the speed and the cues; only its blink is its own.
TEST(MetaWriter, TheStateOutlivesEachInstanceAndARestart) {
    ASSERT_TRUE(StartShow());
    const std::string file = "ABCDEFGHIJ\n";
    ScrollerFolder folder(&file);
    CMetaWriter* first = NewMetaWriter(100.0f);
    ASSERT_NE(first, nullptr);
    MetaWriterState& state = GetMetaWriterState();
    SetDemoTime(0.0f);
    for (int frame = 0; frame < 300; ++frame) first->Update(1.0f / 30.0f);
    const int textPos = state.textPos;
    const float speed = state.scrollSpeed;
    EXPECT_GT(textPos, 1);
    EXPECT_GT(speed, 0.1f);
    ActiveEffectList::Add(first);
    TimelineState clock;
    Timeline::Restart(clock, nullptr);  // deletes the running instance
    EXPECT_EQ(state.cueIndex, 1);       // its end skipped the next cue

    CMetaWriter* second = NewMetaWriter(100.0f);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(state.textPos, textPos);
    EXPECT_EQ(state.scrollSpeed, speed);
    EXPECT_EQ(state.camPhase, 0.0f);
    EXPECT_EQ(second->blink, 0.0f);
    EXPECT_EQ(std::string(state.text, state.textLength), "ABCDEFGHIJ");
    delete second;
    EXPECT_EQ(state.cueIndex, 2);
}

// One frame: the grid, a letter in the letter colour with its shadow, the
// overlay; and black all over at the top of a blink.
TEST(MetaWriter, DrawsTheLettersOnTheGridAndBlinksToBlack) {
    ASSERT_TRUE(StartShow());
    ASSERT_NE(GetEffect(kFxScene), nullptr);
    EXPECT_TRUE(GetEffect(kFxScene)->SetTechnique("TechMetaball"));
    EXPECT_TRUE(GetEffect(kFxScene)->SetTechnique("TechGrid"));
    const std::string file = "HI\n";
    ScrollerFolder folder(&file);
    // The camera's tweaks point into it until the process ends: never deleted.
    static Camera* camera = new Camera(320.0f, 180.0f);
    Camera* previous = SetActiveCamera(camera);
    CMetaWriter* writer = NewMetaWriter(30.0f);
    ASSERT_NE(writer, nullptr);
    MetaWriterState& state = GetMetaWriterState();
    SetDemoTime(0.0f);
    // Six seconds: the camera has glided to view 1, the I has formed, frozen,
    // and the H is forming.
    for (int frame = 0; frame < 180; ++frame) writer->Update(1.0f / 30.0f);
    ASSERT_EQ(state.camPhase, 1.0f);
    ASSERT_GT(state.slots[kMetaSlots - 1].indexCount, 0);

    // Grey letter pixels (red close to blue) against the blue grid, away from
    // the overlay's lines at the edges; none once the letters are gone.
    auto greyPixels = [&] {
        GraphicsDevice::ClearDepth(1.0f);
        GraphicsDevice::Clear(0xFF000000);
        writer->Render();
        const Image frame = GpuFixture::ReadBackBuffer();
        int grey = 0;
        for (int y = 30; y < frame.height - 30; ++y)
            for (int x = 30; x < frame.width - 30; ++x) {
                const uint32_t c = frame.At(x, y);
                grey += GpuFixture::Red(c) > 90 && GpuFixture::Blue(c) < GpuFixture::Red(c) + 60;
            }
        return grey;
    };
    const int plain = greyPixels();
    EXPECT_GT(plain, 200);
    // A spike burst pushes the surface out along its normals: more letter.
    state.SpikeLevel = 1.0f;
    EXPECT_GT(greyPixels(), plain * 3 / 2);
    state.SpikeLevel = 0.0f;
    for (LetterMeshSlot& slot : state.slots) slot.vertexCount = slot.indexCount = 0;
    for (Metaball* ball : state.balls) ball->strength = 0.0f;
    state.field->Polygonise();
    EXPECT_LT(greyPixels(), 5);

    writer->blink = 1.0f;
    GraphicsDevice::ClearDepth(1.0f);
    GraphicsDevice::Clear(0xFF000000);
    writer->Render();
    const Image frame = GpuFixture::ReadBackBuffer();
    int lit = 0;
    for (int y = 40; y < frame.height - 40; ++y)
        for (int x = 40; x < frame.width - 40; ++x) lit += (frame.At(x, y) & 0xFFFFFF) != 0;
    EXPECT_LT(lit, frame.width * frame.height / 100);  // only the overlay's lines
    delete writer;
    SetActiveCamera(previous);
}

// Once running, a frame of the scroller (letters forming, freezing into
// their slots, drawing) takes nothing from the heap.
TEST(MetaWriter, AFrameAllocatesNothing) {
    ASSERT_TRUE(StartShow());
    const std::string file = "LUMIVANE BY TAVORIN\n";
    ScrollerFolder folder(&file);
    CMetaWriter* writer = NewMetaWriter(1000.0f);
    ASSERT_NE(writer, nullptr);
    MetaWriterState& state = GetMetaWriterState();
    SetDemoTime(ShowTimes::MetaCueTimes[0] - 1.0f);
    auto frame = [&] {
        writer->Update(1.0f / 30.0f);
        writer->Render();
    };
    for (int i = 0; i < 60; ++i) frame();  // the first use of each shader, the stack's growth
    const int letter = state.textPos;
    SetDemoTime(ShowTimes::MetaCueTimes[0]);  // a cut on the way
    AllocationCounter::Start();
    for (int i = 0; i < 120; ++i) frame();
    EXPECT_EQ(AllocationCounter::Stop(), 0);
    EXPECT_NE(state.textPos, letter);  // letters did freeze meanwhile
    EXPECT_EQ(state.cueIndex, 1);
    delete writer;
}
