#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <SDL2/SDL.h>
#include <vector>

#include "assets/mixer.h"
#include "assets/music.h"
#include "assets/music_decoder.h"
#include "assets/spectrum.h"
#include "tests/audio_fixtures.h"

namespace {

// The mixer on a virtual clock: the test pulls the output itself.
class MusicTest : public ::testing::Test {
protected:
    void SetUp() override { Music::Init(true); }
    void TearDown() override { Music::Shutdown(); }

    std::vector<int16_t> Pull(int frames) {
        std::vector<int16_t> out(static_cast<size_t>(frames) * 2);
        Mixer::Render(out.data(), frames);
        return out;
    }
};

int Peak(const std::vector<int16_t>& samples) {
    int peak = 0;
    for (int16_t s : samples) peak = std::max(peak, std::abs(static_cast<int>(s)));
    return peak;
}

int LoudestBin(const float* levels) {
    return static_cast<int>(std::max_element(levels, levels + kSpectrumLevels) - levels);
}

}  // namespace

TEST_F(MusicTest, AnOggStreamPlaysAndReportsItsPositionInMilliseconds) {
    // The centre of bin 32, at half the analyser's reference level.
    const float amplitude = kSpectrumFullLevelAmplitude * 0.5f;
    std::vector<uint8_t> ogg = MakeOggTone(1378.125f, 1.0f, 44100, 2, amplitude);
    CAudio::CHandle* song = Music::LoadFromMemory(ogg.data(), static_cast<int32_t>(ogg.size()), "tone");
    ASSERT_NE(song, nullptr);
    EXPECT_EQ(song->GetKind(), 1);
    EXPECT_NE(song->GetNative(), nullptr);

    EXPECT_EQ(Peak(Pull(4410)), 0) << "nothing plays before Play";
    EXPECT_EQ(Music::GetTime(song), 0);
    EXPECT_EQ(Music::Play(song), 1);
    std::vector<int16_t> sound = Pull(4410);
    EXPECT_EQ(Music::GetTime(song), 100);
    EXPECT_NEAR(Peak(sound), amplitude * 32767, 300);
    const float* spectrum = Music::GetSpectrum();
    EXPECT_EQ(LoudestBin(spectrum), 32);
    EXPECT_NEAR(spectrum[32], 0.5f, 0.05f);

    // Monotonic while playing, on through the loop point.
    int last = Music::GetTime(song);
    for (int i = 0; i < 30; ++i) {
        Pull(2048);
        int now = Music::GetTime(song);
        EXPECT_GT(now, last);
        last = now;
    }
    EXPECT_GT(last, 1000);

    // Stop holds the position and goes silent; Play starts again from 0.
    Music::Stop(song);
    int stopped = Music::GetTime(song);
    EXPECT_EQ(Peak(Pull(4410)), 0);
    EXPECT_EQ(Music::GetTime(song), stopped);
    Music::Play(song);
    EXPECT_EQ(Music::GetTime(song), 0);
    Pull(441);
    EXPECT_EQ(Music::GetTime(song), 10);
    EXPECT_EQ(Music::Free(song), 1);
}

TEST_F(MusicTest, AnOggStreamLoopsWithoutAGap) {
    // 441 Hz at 44100 Hz repeats every 100 samples; one second is exactly
    // 44100 samples, so the second pass must repeat the first sample for sample.
    std::vector<uint8_t> ogg = MakeOggTone(441.0f, 1.0f);
    const char* error = nullptr;
    std::unique_ptr<MusicDecoder> decoder(OpenOggDecoder(ogg.data(), static_cast<int32_t>(ogg.size()), &error));
    ASSERT_NE(decoder, nullptr) << error;
    const int length = 44100;
    std::vector<float> out(2 * (2 * length + 500));
    int got = 0;
    while (got < 2 * length + 500) {
        int n = decoder->Render(out.data() + 2 * got, std::min(777, 2 * length + 500 - got));
        ASSERT_GT(n, 0);
        got += n;
    }
    for (int i = 0; i < length + 500; ++i)
        ASSERT_FLOAT_EQ(out[2 * (length + i)], out[2 * i]) << "sample " << length + i;
    // And the first pass is the tone itself, right up to its last sample.
    EXPECT_NEAR(out[2 * (length - 1)], 0.5f * std::sin(2.0f * 3.14159265f * 441.0f * (length - 1) / 44100.0f), 0.05f);
}

TEST_F(MusicTest, MonoAtAnotherRateIsConvertedToTheMixRate) {
    std::vector<uint8_t> ogg = MakeOggTone(1378.125f, 1.0f, 22050, 1, kSpectrumFullLevelAmplitude * 0.5f);
    CAudio::CHandle* song = Music::LoadFromMemory(ogg.data(), static_cast<int32_t>(ogg.size()), "tone");
    ASSERT_NE(song, nullptr);
    Music::Play(song);
    std::vector<int16_t> sound = Pull(8192);
    for (size_t i = 0; i < sound.size(); i += 2) ASSERT_EQ(sound[i], sound[i + 1]);
    EXPECT_EQ(LoudestBin(Music::GetSpectrum()), 32);  // same pitch at twice the rate
    Music::Free(song);
}

TEST_F(MusicTest, ATrackerModuleIsASong) {
    std::vector<uint8_t> mod = MakeModule();
    CAudio::CHandle* song = Music::LoadFromMemory(mod.data(), static_cast<int32_t>(mod.size()), "module");
    ASSERT_NE(song, nullptr);
    EXPECT_EQ(song->GetKind(), 0);
    Music::Play(song);
    EXPECT_GT(Peak(Pull(22050)), 1000);
    EXPECT_EQ(Music::GetTime(song), 500);
    Music::Free(song);
}

TEST_F(MusicTest, DataThatIsNeitherFailsWithOneLine) {
    std::vector<uint8_t> junk(5000, 0x5A);
    std::vector<uint8_t> ogg = MakeOggTone(441.0f, 0.5f);
    std::vector<uint8_t> truncated(ogg.begin(), ogg.begin() + 60);  // inside the first header
    for (const std::vector<uint8_t>* data : {&junk, &truncated}) {
        testing::internal::CaptureStderr();
        EXPECT_EQ(Music::LoadFromMemory(data->data(), static_cast<int32_t>(data->size()), "junk"), nullptr);
        std::string err = testing::internal::GetCapturedStderr();
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
        EXPECT_NE(err.find("junk"), std::string::npos) << err;
    }
    // No MUSIC resource 4242 exists.
    testing::internal::CaptureStderr();
    EXPECT_EQ(Music::Load(4242), nullptr);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("4242"), std::string::npos) << err;
}

TEST_F(MusicTest, NullHandlesDoNothing) {
    EXPECT_EQ(Music::GetTime(nullptr), 0);
    EXPECT_EQ(Music::Play(nullptr), 0);
    EXPECT_EQ(Music::Stop(nullptr), 0);
    EXPECT_EQ(Music::Free(nullptr), 0);
    CStream empty(nullptr);  // a handle whose native is null is refused too
    EXPECT_EQ(Music::Play(&empty), 0);
    EXPECT_EQ(Music::GetTime(&empty), 0);
}

TEST_F(MusicTest, SilenceReadsZero) {
    Pull(4096);
    const float* spectrum = Music::GetSpectrum();
    for (int i = 0; i < kSpectrumLevels; ++i) EXPECT_EQ(spectrum[i], 0.0f);
}

TEST(MusicWithoutSound, LoadingGivesNullAndTheSpectrumIsSilent) {
    Music::Shutdown();
    std::vector<uint8_t> ogg = MakeOggTone(441.0f, 0.5f);
    EXPECT_EQ(Music::LoadFromMemory(ogg.data(), static_cast<int32_t>(ogg.size()), "tone"), nullptr);
    const float* spectrum = Music::GetSpectrum();
    for (int i = 0; i < kSpectrumLevels; ++i) EXPECT_EQ(spectrum[i], 0.0f);
}

TEST(MusicOnTheDevice, ThePositionFollowsWhatTheDeviceTakes) {
    // The test environment selects SDL's dummy driver, which takes sound in
    // real time without any hardware.
    if (!Music::Init(false)) GTEST_SKIP() << "no sound device";
    std::vector<uint8_t> ogg = MakeOggTone(441.0f, 0.5f);
    CAudio::CHandle* song = Music::LoadFromMemory(ogg.data(), static_cast<int32_t>(ogg.size()), "tone");
    ASSERT_NE(song, nullptr);
    Music::Play(song);
    int last = 0;
    for (int i = 0; i < 400 && Music::GetTime(song) < 150; ++i) {
        SDL_Delay(5);
        int now = Music::GetTime(song);
        EXPECT_GE(now, last);
        last = now;
    }
    EXPECT_GE(Music::GetTime(song), 150);
    Music::Stop(song);
    int stopped = Music::GetTime(song);
    SDL_Delay(50);
    EXPECT_EQ(Music::GetTime(song), stopped);
    Music::Free(song);
    Music::Shutdown();
}

// A jump holds the device: it plays silence and moves nothing on while the
// main thread mixes the jump's frames; released, it carries on from there.
TEST(MusicOnTheDevice, WhileHeldOnlyTheMainThreadMovesTheMusic) {
    if (!Music::Init(false)) GTEST_SKIP() << "no sound device";
    std::vector<uint8_t> ogg = MakeOggTone(441.0f, 2.0f);
    CAudio::CHandle* song = Music::LoadFromMemory(ogg.data(), static_cast<int32_t>(ogg.size()), "tone");
    ASSERT_NE(song, nullptr);
    Mixer::Voice* voice = static_cast<Mixer::Voice*>(song->GetNative());
    Music::Play(song);
    for (int i = 0; i < 400 && Music::GetTime(song) < 50; ++i) SDL_Delay(5);
    ASSERT_GE(Music::GetTime(song), 50) << "the device does not take sound";

    Mixer::Hold(true);
    EXPECT_TRUE(Mixer::IsHeld());
    const uint64_t held = Mixer::PlayedFrames(voice);
    SDL_Delay(60);  // five of the device's buffers
    EXPECT_EQ(Mixer::PlayedFrames(voice), held);
    std::vector<int16_t> sound(2 * 4410);
    Mixer::Render(sound.data(), 4410);
    EXPECT_GT(Peak(sound), 1000);
    EXPECT_EQ(Mixer::PlayedFrames(voice), held + 4410);
    const int jumped = Music::GetTime(song);
    EXPECT_EQ(jumped, static_cast<int>((held + 4410) * 1000 / 44100));

    Mixer::Hold(false);
    int last = jumped;
    for (int i = 0; i < 400 && Music::GetTime(song) < jumped + 50; ++i) {
        SDL_Delay(5);
        EXPECT_GE(Music::GetTime(song), last);
        last = Music::GetTime(song);
    }
    EXPECT_GE(Music::GetTime(song), jumped + 50);
    Music::Free(song);
    Music::Shutdown();
}

TEST(MusicOnTheDevice, TheHeardPositionTrailsWhatWasHandedOutByTheDevicesBuffers) {
    // 1024 frames queued at the device's last call: 23.2 ms at 44100 Hz.
    struct Case { const char* what; uint64_t played; double since; uint64_t previous; uint64_t heard; };
    const Case cases[] = {
        {"at the call", 44100, 0.0, 0, 44100 - 1024},
        {"half way through the queue", 44100, 512.0 / 44100, 0, 44100 - 512},
        {"a late device: no further than handed out", 44100, 1.0, 0, 44100},
        {"the start: nothing heard yet", 512, 0.0, 0, 0},
        {"never backwards", 44100, 0.0, 43500, 43500},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Mixer::HeardPosition(c.played, c.since, 1024, c.previous), c.heard);
    }
}

TEST_F(MusicTest, TheSoundtrackResourceIsAStream) {
    CAudio::CHandle* song = Music::Load(124);
    ASSERT_NE(song, nullptr);
    EXPECT_EQ(song->GetKind(), 1);
    Music::Play(song);
    Pull(44100 * 3);  // past the first beats
    EXPECT_GT(Peak(Pull(44100)), 1000);
    EXPECT_EQ(Music::GetTime(song), 4000);
    Music::Free(song);
}
