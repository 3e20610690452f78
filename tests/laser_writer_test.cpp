// The laser writer: its text file, the sweep, hold and end of each line, and
// one frame of it on a real device.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "assets/catalogue.h"
#include "assets/texture.h"
#include "effects/bitmap_font.h"
#include "effects/laser_writer.h"
#include "render/graphics_device.h"
#include "tests/gpu_fixture.h"
#include "timeline/active_effects.h"

namespace fs = std::filesystem;
using GpuFixture::Image;

namespace {

void ReadFrom(const std::string& bytes) { ReadLaserText(bytes.data(), bytes.size()); }

// Runs a test body inside a folder of its own holding this laser.txt.
class LaserFolder {
public:
    explicit LaserFolder(const std::string& text) {
        dir_ = fs::temp_directory_path() / ("lumivane_laser_" + std::to_string(getpid()));
        fs::create_directories(dir_);
        std::ofstream(dir_ / "laser.txt", std::ios::binary) << text;
        old_ = fs::current_path();
        fs::current_path(dir_);
    }
    ~LaserFolder() {
        fs::current_path(old_);
        fs::remove_all(dir_);
    }

private:
    fs::path dir_, old_;
};

CLaserWriter* NewLaser(float duration) {
    return dynamic_cast<CLaserWriter*>(CreateEffect(kLaserWriter, 0, duration));
}

}  // namespace

TEST(LaserText, FourLinesOfAtMost63BytesWithCrLfAsOneLineFeed) {
    const std::string long70(70, 'L'), first63(63, 'L');
    struct Case { const char* name; std::string bytes; const char* lines[4]; };
    const Case cases[] = {
        {"four lines", "ONE\nTWO\nTHREE\nFOUR\n", {"ONE", "TWO", "THREE", "FOUR"}},
        {"lines past the fourth are dropped", "1\n2\n3\n4\n5\n6", {"1", "2", "3", "4"}},
        {"fewer lines leave the rest empty", "ONLY", {"ONLY", "", "", ""}},
        {"bytes past the 63rd are dropped", long70 + "\nNEXT", {first63.c_str(), "NEXT", "", ""}},
        {"CR LF is one line feed", "A\r\nB\r\n\r\nD", {"A", "B", "", "D"}},
        {"a lone CR is a byte", "A\rB\nC\r", {"A\rB", "C\r", "", ""}},
        {"a % is kept as it is", "100% %s%n%d", {"100% %s%n%d", "", "", ""}},
        {"empty file", "", {"", "", "", ""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::memset(LaserText, 'x', sizeof LaserText);  // what an earlier read left
        ReadFrom(c.bytes);
        for (int i = 0; i < kLaserLines; ++i) {
            EXPECT_STREQ(LaserText[i], c.lines[i]) << "line " << i;
            EXPECT_EQ(LaserText[i][kLaserLineLength - 1], '\0');
        }
    }
}

TEST(LaserText, AFileThatCannotBeReadGivesFourEmptyLinesAndOneMessage) {
    // Endless or blocking input must not hang the laser: none of these is
    // read at all.
    fs::path dir = fs::temp_directory_path() / ("lumivane_laser_bad_" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir / "a_directory");
    fs::create_symlink("/dev/zero", dir / "zero_link");
    ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
    std::ofstream(dir / "huge") << std::string(kMaxLaserFileBytes + 1, 'A');
    for (const char* name : {"missing", "a_directory", "zero_link", "fifo", "huge"}) {
        SCOPED_TRACE(name);
        std::memset(LaserText, 'x', sizeof LaserText);
        testing::internal::CaptureStderr();
        ReadLaserText((dir / name).c_str());
        std::string err = testing::internal::GetCapturedStderr();
        for (int i = 0; i < kLaserLines; ++i) EXPECT_STREQ(LaserText[i], "");
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
        EXPECT_NE(err.find(name), std::string::npos) << err;
    }
    fs::remove_all(dir);
}

TEST(LaserWriter, SweepsALineIn5p12SecondsThenHoldsItForTwo) {
    ASSERT_TRUE(GpuFixture::Start(320, 180, 1));
    CLaserWriter* laser = NewLaser(29.0f);
    ASSERT_NE(laser, nullptr);
    int updates = 0;
    while (laser->laserX < 1280.0f && updates < 1000) laser->Update(0.01f), ++updates;
    EXPECT_EQ(updates, 512);  // 250 units a second over 1280
    EXPECT_EQ(laser->holdTime, 0.0f);

    // Eight quarter seconds reach 2.0 exactly, which still holds; the next
    // update passes it and starts the second line, keeping the overshoot.
    for (int i = 1; i <= 8; ++i) {
        laser->Update(0.25f);
        EXPECT_EQ(laser->holdTime, 0.25f * i);
        EXPECT_EQ(laser->lineIndex, 0);
    }
    laser->Update(0.25f);
    EXPECT_EQ(laser->lineIndex, 1);
    EXPECT_EQ(laser->holdTime, 0.0f);
    EXPECT_EQ(laser->laserX, 0.0f);
    EXPECT_GE(laser->smokeOffset, 0.0f);
    EXPECT_LE(laser->smokeOffset, 0.2f);
    delete laser;

    // The finished line fades out over the hold.
    EXPECT_EQ(LaserTextAlpha(0.0f), 255);
    EXPECT_EQ(LaserTextAlpha(1.0f), 127);
    EXPECT_EQ(LaserTextAlpha(2.0f), 0);
    EXPECT_EQ(LaserTextAlpha(2.2f), 0);
}

TEST(LaserWriter, RemovesItselfAfterTheFourthLine) {
    ASSERT_TRUE(GpuFixture::Start(320, 180, 1));
    // A lifetime that never runs out here: only the writer itself can end it.
    CLaserWriter* laser = NewLaser(100.0f);
    ASSERT_NE(laser, nullptr);
    ActiveEffectList::Add(laser);
    int ticks = 0, lastLine = 0;
    bool linesInOrder = true;
    while (ActiveEffectList::Count() > 0 && ticks < 400) {
        ActiveEffectList::Tick(0.1f);
        ++ticks;
        if (ActiveEffectList::Count() == 0) break;
        linesInOrder = linesInOrder && (laser->lineIndex == lastLine || laser->lineIndex == lastLine + 1);
        lastLine = laser->lineIndex;
    }
    EXPECT_TRUE(linesInOrder);
    EXPECT_EQ(lastLine, 3);
    // Four lines of 5.12 s sweep and a little over 2 s hold each.
    EXPECT_GE(ticks * 0.1f, 4 * 7.12f);
    EXPECT_LE(ticks * 0.1f, 4 * 7.12f + 4 * 0.2f);
    ActiveEffectList::Clear();
}

TEST(LaserWriter, DrawsTheLineCentredWithTheBeamOverItAndPercentSignsAsCharacters) {
    ASSERT_TRUE(GpuFixture::Start(1280, 720, 1));
    for (float progress = 0.0f; !PreloadNextAsset(&progress);) {
    }
    // Read as a format, "%d" would print whatever lies where an argument
    // would be; as text, '%' and 'd' have no glyph and add only spacing.
    LaserFolder folder("5%d5\n");
    CLaserWriter* laser = NewLaser(29.0f);
    ASSERT_NE(laser, nullptr);
    ASSERT_NE(laser->font, nullptr);
    ASSERT_NE(laser->textTarget, nullptr);
    EXPECT_STREQ(LaserText[0], "5%d5");
    const float w5 = laser->font->widths['5'];
    ASSERT_GT(w5, 0.0f);

    // Mid-sweep: the beam is at its brightest.
    laser->laserX = 640.0f;
    GraphicsDevice::Clear(0xFF000000);
    laser->Render();
    Image frame = GpuFixture::ReadBackBuffer();
    Gpu::Surface* saved = GraphicsDevice::SetRenderTexture(laser->textTarget);
    Image text = GpuFixture::ReadTarget();
    GraphicsDevice::RestoreRenderTarget(saved);

    int x0 = text.width, x1 = -1, y0 = text.height, y1 = -1;
    for (int y = 0; y < text.height; ++y)
        for (int x = 0; x < text.width; ++x)
            if (GpuFixture::Alpha(text.At(x, y)) > 64) {
                x0 = std::min(x0, x), x1 = std::max(x1, x);
                y0 = std::min(y0, y), y1 = std::max(y1, y);
            }
    ASSERT_GE(x1, 0) << "no text in the target";
    // 5, spacing, % and d (spacing only), 5: two glyphs and three spacings of ink.
    EXPECT_NEAR(x1 - x0 + 1, 2 * w5 + 3 * 2.0f, 2.0f);
    // Centred on the canvas (the measured width includes the trailing spacing).
    EXPECT_NEAR((x0 + x1 + 1) / 2.0f, 640.0f - 1.0f, 2.0f);
    EXPECT_NEAR((y0 + y1 + 1) / 2.0f, 360.0f, 3.0f);

    // The beam: light along the line's column above the text, burning white
    // in its core and glowing blue beside it.
    EXPECT_GT(GpuFixture::Red(frame.At(640, 100)), 200);
    uint32_t glow = frame.At(652, 100);
    EXPECT_GT(GpuFixture::Blue(glow), 100);
    EXPECT_GT(GpuFixture::Blue(glow), GpuFixture::Red(glow));
    // Nothing of the beam far to its right.
    EXPECT_EQ(frame.At(1000, 100) & 0xFFFFFF, 0u);

    // Holding: no beam, the whole line shown at the hold's alpha.
    laser->laserX = 1280.0f;
    laser->holdTime = 1.0f;
    GraphicsDevice::Clear(0xFF000000);
    laser->Render();
    frame = GpuFixture::ReadBackBuffer();
    EXPECT_EQ(frame.At(640, 100) & 0xFFFFFF, 0u);
    int brightest = 0;
    for (int y = y0; y <= y1 + 1; ++y)
        for (int x = x0; x <= x1 + 1; ++x) brightest = std::max(brightest, int(GpuFixture::Red(frame.At(x, y))));
    EXPECT_NEAR(brightest, 127, 3);
    delete laser;
}
