// The editor panel drawn on a real device.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/overlays.h"
#include "core/tweaks.h"
#include "platform/input.h"
#include "platform/keys.h"
#include "render/graphics_device.h"
#include "tests/gpu_fixture.h"

using GpuFixture::Blue;
using GpuFixture::Green;
using GpuFixture::Red;

namespace {

class TweakEditorDraw : public ::testing::Test {
protected:
    void SetUp() override {
        if (!GpuFixture::Start(1280, 720, 1)) GTEST_SKIP() << "no device";
        TweakTable::Get() = TweakTable{};
        InputState::Get() = InputState{};
    }
    void TearDown() override {
        TweakTable::Get() = TweakTable{};
        InputState::Get() = InputState{};
    }
    // One frame: the back buffer cleared blue, F1 held or not, the editor run.
    GpuFixture::Image Frame(bool f1) {
        InputState::Get().keys[kKeyF1] = f1 ? 1 : 0;
        GraphicsDevice::Clear(0xff0000ff);
        DrawTweakEditor();
        InputState::Snapshot();
        return GpuFixture::ReadTarget();
    }
};

// Brightest green channel and the number of near-white pixels in a box.
struct BoxScan {
    int maxGreen = 0, white = 0;
};
BoxScan Scan(const GpuFixture::Image& image, int x0, int y0, int x1, int y1) {
    BoxScan s;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            uint32_t c = image.At(x, y);
            s.maxGreen = std::max<int>(s.maxGreen, Green(c));
            if (Red(c) >= 250 && Green(c) >= 250 && Blue(c) >= 250) ++s.white;
        }
    }
    return s;
}

}  // namespace

TEST_F(TweakEditorDraw, PanelWithTheSelectedRowsInWhite) {
    float a = 0.5f, b = 0.25f, c = 1.0f;
    RegisterTweak("alpha", &a, 0.1f, 0.0f, 1.0f, false);
    RegisterTweak("beta", &b, 0.1f, 0.0f, 1.0f, false);
    RegisterTweak("gamma", &c, 0.1f, 0.0f, 1.0f, false);

    GpuFixture::Image shown = Frame(true);
    EXPECT_EQ(shown.At(5, 620) & 0xffffff, 0x000000u);    // the black frame
    EXPECT_EQ(shown.At(450, 700) & 0xffffff, 0x408040u);  // the green face, below the rows
    EXPECT_EQ(shown.At(600, 620) & 0xffffff, 0x0000ffu);  // beside the panel

    // Rows 0, 3 and 6 show the selected entry in opaque white; the others are
    // half-transparent white over green, never brighter than about 192.
    for (int k = 0; k < kTweakEditorRows; ++k) {
        // The text of a row starts a few pixels below its position; the first
        // two pixels still hold the descenders of the row above.
        int top = 720 - 202 + 22 * (k + 1);
        BoxScan names = Scan(shown, 26, top + 2, 320, top + 22);
        BoxScan values = Scan(shown, 326, top + 2, 500, top + 22);
        SCOPED_TRACE(k);
        EXPECT_GT(names.maxGreen, 0x80);  // something is written on every row
        EXPECT_GT(values.maxGreen, 0x80);
        if (k % 3 == 0) {
            EXPECT_GT(names.white, 10);
            EXPECT_GT(values.white, 10);
        } else {
            EXPECT_EQ(names.white + values.white, 0);
            EXPECT_LE(names.maxGreen, 200);
        }
    }

    Frame(false);
    GpuFixture::Image hidden = Frame(true);  // F1 again hides it
    EXPECT_EQ(hidden.At(5, 620) & 0xffffff, 0x0000ffu);
    EXPECT_EQ(hidden.At(450, 700) & 0xffffff, 0x0000ffu);
}
