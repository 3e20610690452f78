#include <gtest/gtest.h>

#include <cstring>

#include "app/overlays.h"
#include "assets/spectrum.h"
#include "platform/input.h"
#include "platform/keys.h"
#include "render/graphics_device.h"
#include "tests/gpu_fixture.h"
#include "timeline/sync.h"

namespace {

// Restores the channel table and the display after each test.
class SyncTest : public ::testing::Test {
protected:
    void SetUp() override {
        saved = *GetSyncChannel(kSyncBass);
        savedDisplay = GetSyncDisplay();
        InputState::Get() = InputState{};
    }
    void TearDown() override {
        *GetSyncChannel(kSyncBass) = saved;
        GetSyncDisplay() = savedDisplay;
        InputState::Get() = InputState{};
    }
    // One frame in which `key` goes down (and Shift is held or not).
    void Press(int key, bool shift = false) {
        InputState& input = InputState::Get();
        input.keys[0x10] = shift ? 1 : 0;
        input.keys[key] = 1;
        HandleSyncDisplayKeys(GetSyncDisplay());
        InputState::Snapshot();
        input.keys[key] = 0;
        InputState::Snapshot();
    }

    SyncChannel saved;
    SyncDisplayState savedDisplay;
};


}  // namespace

TEST_F(SyncTest, TheBassChannelIsTheMeanOfBinsZeroToEight) {
    const SyncChannel* bass = GetSyncChannel(kSyncBass);
    ASSERT_NE(bass, nullptr);
    EXPECT_STREQ(bass->name, "SYNC_BASS");
    float spectrum[kSpectrumLevels];
    for (int i = 0; i < kSpectrumLevels; ++i) spectrum[i] = i < 9 ? 0.9f : 1.0f;
    EXPECT_NEAR(GetSyncLevel(kSyncBass, spectrum), 0.9f, 1e-6f);

    GetSyncChannel(kSyncBass)->end = 0;  // inverted band
    EXPECT_EQ(GetSyncLevel(kSyncBass, spectrum), 0.0f);
    EXPECT_EQ(GetSyncChannel(1), nullptr);
    EXPECT_EQ(GetSyncLevel(1, spectrum), 0.0f);
    EXPECT_EQ(GetSyncLevel(-1, spectrum), 0.0f);
}

TEST_F(SyncTest, TheCursorStaysOnTheBinsAndSetsTheBand) {
    SyncDisplayState& display = GetSyncDisplay();
    display = SyncDisplayState{};
    Press(kKeyLeft);
    EXPECT_EQ(display.cursor, 0);
    for (int i = 0; i < 600; ++i) Press(kKeyRight);
    EXPECT_EQ(display.cursor, 511);
    EXPECT_EQ(GetSyncChannel(kSyncBass)->first, 511u);  // the cursor is the first bin without Shift

    // Shift: the cursor jumps to the band's end and edits that instead.
    Press(kKeyLeft, true);
    EXPECT_TRUE(display.editingEnd);
    EXPECT_EQ(display.cursor, 8);
    EXPECT_EQ(GetSyncChannel(kSyncBass)->end, 8u);
    EXPECT_EQ(GetSyncChannel(kSyncBass)->first, 511u);
    // Letting go of Shift brings it back to the first bin.
    Press(kKeyRight);
    EXPECT_FALSE(display.editingEnd);
    EXPECT_EQ(display.cursor, 511);

    // One channel only: Up and Down stay on it and put the cursor on its first bin.
    GetSyncChannel(kSyncBass)->first = 3;
    Press(kKeyDown);
    EXPECT_EQ(display.channel, 0);
    EXPECT_EQ(display.cursor, 3);
    Press(kKeyUp);
    EXPECT_EQ(display.channel, 0);
}

TEST_F(SyncTest, F2ShowsTheBandMarkers) {
    ASSERT_TRUE(GpuFixture::Start());
    GetSyncDisplay() = SyncDisplayState{};
    auto frame = [](bool f2) {
        InputState::Get().keys[kKeyF2] = f2 ? 1 : 0;
        ASSERT_TRUE(GraphicsDevice::BeginScene());
        GraphicsDevice::Clear(0xFF000000);
        DrawSyncDisplay();
        GraphicsDevice::EndScene();
        InputState::Snapshot();
    };
    frame(false);
    GpuFixture::Image hidden = GpuFixture::ReadBackBuffer();
    EXPECT_EQ(hidden.At(19, 600), 0xFF000000u);
    frame(true);
    EXPECT_TRUE(GetSyncDisplay().visible);
    // Silence: no bin bars. The end marker (bin 9, cyan) stands from 512 units above the bottom.
    GpuFixture::Image shown = GpuFixture::ReadBackBuffer();
    EXPECT_EQ(shown.At(19, 600), 0xFF00FFFFu);
    EXPECT_EQ(shown.At(19, 200), 0xFF000000u);
    EXPECT_EQ(shown.At(1, 600), 0xFFFF00FFu);  // the cursor over the first-bin marker at 0
    EXPECT_EQ(shown.At(40, 600), 0xFF000000u);
    frame(false);
    frame(true);
    EXPECT_FALSE(GetSyncDisplay().visible);
}
