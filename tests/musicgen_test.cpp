// The soundtrack generator: repeatable rendering, the picture's times in the
// composition, and the mastering stages that must never let a peak through.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tools/musicgen/effects.h"
#include "tools/musicgen/encode.h"
#include "tools/musicgen/render.h"
#include "tools/musicgen/show_times.h"
#include "tools/musicgen/song.h"

namespace {

const music::Song& TheSong() {
    static const music::Song song = music::BuildSong();
    return song;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

TEST(Musicgen, AnExcerptRendersToTheSameSamplesEveryTime) {
    // The drop: kick, bass, pads, lead, crash, impact, reverb and delay.
    const music::StereoBuffer a = music::RenderSong(TheSong(), 57.0, 58.5);
    const music::StereoBuffer b = music::RenderSong(TheSong(), 57.0, 58.5);
    ASSERT_EQ(a.Frames(), (size_t)std::lround(1.5 * music::kSampleRate));
    EXPECT_EQ(a.left, b.left);
    EXPECT_EQ(a.right, b.right);
    double energy = 0.0;
    for (float v : a.left) energy += v * v;
    EXPECT_GT(std::sqrt(energy / a.Frames()), 0.05) << "the excerpt should not be silent";
}

TEST(Musicgen, ExcerptsAreClampedToTheTrack) {
    EXPECT_EQ(music::RenderSong(TheSong(), 300.0, 400.0).Frames(), 0u);
    EXPECT_EQ(music::RenderSong(TheSong(), 10.0, 5.0).Frames(), 0u);
    EXPECT_EQ(music::RenderSong(TheSong(), 225.9, 400.0).Frames(),
              (size_t)(std::lround(226.0 * music::kSampleRate) -
                       std::lround(225.9 * music::kSampleRate)));
}

TEST(Musicgen, EveryPictureTimeHasItsSound) {
    const music::Song& song = TheSong();
    EXPECT_TRUE(song.cuesWithoutAccent.empty()) << song.cuesWithoutAccent.size() << " cues";
    for (double shot : music::kShotTimes) {
        bool impact = false;
        for (const music::Note& n : song.notes)
            if (n.instrument == music::kImpact && std::fabs(n.time - shot) < 1e-9) impact = true;
        EXPECT_TRUE(impact) << "shot at " << shot;
    }
    for (const music::TimeSpan& burst : music::kFuzzBursts) {
        bool glitch = false;
        for (const music::GlitchWindow& w : song.glitches)
            if (std::fabs(w.start - burst.start) < 1e-9) glitch = true;
        EXPECT_TRUE(glitch) << "burst at " << burst.start;
    }
    EXPECT_GE(song.length, 225.0);
}

TEST(Musicgen, TheTempoMapMeetsTheCuesAndStaysNearTheGrooveTempo) {
    const music::TempoMap& tempo = TheSong().tempo;
    for (double cue : music::kCueTimes) {
        // Each cue lies within 30 ms of its eighth-note position on the map.
        double beat = std::round(tempo.Beat(cue) * 2.0) / 2.0;
        EXPECT_NEAR(tempo.Seconds(beat), cue, 0.0301) << cue;
    }
    for (double beat = 126.0; beat < 453.0; beat += 1.0) {
        EXPECT_GT(tempo.BeatsPerMinute(beat), 129.0) << beat;
        EXPECT_LT(tempo.BeatsPerMinute(beat), 136.0) << beat;
        EXPECT_NEAR(tempo.Beat(tempo.Seconds(beat + 0.25)), beat + 0.25, 1e-9);
    }
}

TEST(Musicgen, TheLimiterHoldsSampleAndTruePeaksAndLeavesQuietAudioAlone) {
    const float ceiling = 0.75f;
    std::vector<float> left(44100), right(44100);
    // A loud tone near a quarter of the sample rate peaks between samples.
    for (size_t i = 0; i < left.size(); ++i) {
        left[i] = 2.0f * std::sin(2.0f * 3.14159265f * 11000.0f * i / 44100.0f + 0.7f);
        right[i] = i > 22050 ? 3.0f : 0.1f;  // a step to a loud constant
    }
    music::LimitPeaks(left, right, ceiling, 0.004f, 0.1f);
    for (size_t i = 0; i < left.size(); ++i) {
        ASSERT_LE(std::fabs(left[i]), ceiling) << i;
        ASSERT_LE(std::fabs(right[i]), ceiling) << i;
    }
    // Midway between two samples of the limited tone (cubic interpolation).
    float between = 0.0f;
    for (size_t i = 2; i + 2 < 22000; ++i) {
        float m = (-left[i - 1] + 9 * left[i] + 9 * left[i + 1] - left[i + 2]) / 16.0f;
        between = std::max(between, std::fabs(m));
    }
    EXPECT_LE(between, ceiling * 1.02f);

    std::vector<float> quietL(4410), quietR(4410);
    for (size_t i = 0; i < quietL.size(); ++i) quietL[i] = quietR[i] = 0.3f * std::sin(0.01f * i);
    std::vector<float> beforeL = quietL, beforeR = quietR;
    music::LimitPeaks(quietL, quietR, ceiling, 0.004f, 0.1f);
    EXPECT_EQ(quietL, beforeL);
    EXPECT_EQ(quietR, beforeR);
}

TEST(Musicgen, GlitchWindowsOutsideTheBufferChangeNothing) {
    std::vector<float> left(1000, 0.25f), right(1000, -0.25f);
    std::vector<music::GlitchWindow> windows(1);
    windows[0].start = 10.0;  // the buffer covers 0 .. 0.023 s
    windows[0].length = 0.5;
    windows[0].sliceStart = windows[0].sliceEnd = 0.05;
    windows[0].crush = 1.0f;
    music::ApplyGlitches(windows, 0.0, left, right);
    EXPECT_EQ(left, std::vector<float>(1000, 0.25f));
    EXPECT_EQ(right, std::vector<float>(1000, -0.25f));
}

TEST(Musicgen, TheOggFileIsTheSameForTheSameSamples) {
    music::StereoBuffer audio;
    for (int i = 0; i < 44100; ++i) {
        audio.left.push_back(0.5f * std::sin(0.05f * i));
        audio.right.push_back(0.5f * std::sin(0.07f * i));
    }
    const std::string dir = testing::TempDir();
    const std::string a = dir + "musicgen_a.ogg", b = dir + "musicgen_b.ogg";
    std::string error;
    ASSERT_TRUE(music::WriteOggVorbis(a.c_str(), audio, 0.5f, 1234, &error)) << error;
    ASSERT_TRUE(music::WriteOggVorbis(b.c_str(), audio, 0.5f, 1234, &error)) << error;
    const std::string bytes = ReadFile(a);
    EXPECT_EQ(bytes.compare(0, 4, "OggS"), 0);
    EXPECT_EQ(bytes, ReadFile(b));
    std::remove(a.c_str());
    std::remove(b.c_str());

    EXPECT_FALSE(music::WriteOggVorbis("/nonexistent/dir/x.ogg", audio, 0.5f, 1, &error));
    EXPECT_NE(error.find("/nonexistent/dir/x.ogg"), std::string::npos);
}
