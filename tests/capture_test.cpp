// Runs the real program headless and checks what capture mode writes.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <stb_image.h>
#include <sys/wait.h>
#include <unistd.h>
#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "assets/asset_source.h"
#include "assets/music_decoder.h"
#include "assets/resources.h"
#include "timeline/effect.h"

namespace fs = std::filesystem;

namespace {

bool HasEffectClass(int classId) {
    for (CEffectClass* c = CEffectClass::Head(); c; c = c->Next())
        if (c->GetClassId() == classId) return true;
    return false;
}

struct RunResult {
    int exitCode;
    std::string err;
};

// Runs lumivane with the given arguments inside `dir`, offscreen and silent;
// `environment` adds VAR=value settings.
RunResult RunLumivane(const fs::path& dir, const std::string& args, const std::string& environment = "") {
    fs::path errFile = dir / "stderr.txt";
    std::string cmd = "cd '" + dir.string() + "' && " + environment +
                      " SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy '" + std::string(LUMIVANE_EXE) + "' " + args +
                      " 2>'" + errFile.string() + "' >/dev/null";
    int status = std::system(cmd.c_str());
    std::ifstream in(errFile);
    std::stringstream err;
    err << in.rdbuf();
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, err.str()};
}

fs::path MakeTempDir(const char* name) {
    fs::path dir = fs::temp_directory_path() / (std::string("lumivane_") + name + "_" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

// Starts lumivane in `dir` in a process group of its own, as a shell starts
// a job; stderr goes to dir/stderr.txt.
pid_t StartLumivane(const fs::path& dir, const std::vector<std::string>& args) {
    pid_t pid = fork();
    if (pid == 0) {
        setpgid(0, 0);
        if (chdir(dir.c_str()) != 0) _exit(127);
        int err = open("stderr.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(err, STDERR_FILENO);
        int null = open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        std::vector<char*> argv{const_cast<char*>(LUMIVANE_EXE)};
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(LUMIVANE_EXE, argv.data());
        _exit(127);
    }
    setpgid(pid, pid);
    return pid;
}

// Waits up to `seconds` for the process to end; its exit code, or -1.
int WaitForExit(pid_t pid, int seconds) {
    for (int i = 0; i < seconds * 20; ++i) {
        int status;
        if (waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        usleep(50000);
    }
    kill(-pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return -1;
}

bool WaitForFile(const fs::path& path, int seconds) {
    for (int i = 0; i < seconds * 20 && !fs::exists(path); ++i) usleep(50000);
    return fs::exists(path);
}

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace

TEST(Capture, WritesFramesAndAnIndexWhoseTimesAdvanceByOneFrame) {
    fs::path dir = MakeTempDir("capture");
    RunResult run = RunLumivane(dir, "--capture out --size 320x180 --fps 30 --to 1");
    ASSERT_EQ(run.exitCode, 0) << run.err;

    std::ifstream csv(dir / "out" / "frames.csv");
    std::string line;
    ASSERT_TRUE(std::getline(csv, line));
    EXPECT_EQ(line, "frame,demo_time,file");
    std::vector<double> times;
    int index = 0;
    while (std::getline(csv, line)) {
        int frame;
        double time;
        char file[64];
        ASSERT_EQ(std::sscanf(line.c_str(), "%d,%lf,%63s", &frame, &time, file), 3) << line;
        EXPECT_EQ(frame, index);
        char expected[32];
        std::snprintf(expected, sizeof expected, "frame_%06d.png", index);
        EXPECT_STREQ(file, expected);
        times.push_back(time);
        ++index;
    }
    ASSERT_GE(times.size(), 25u);
    EXPECT_LE(times.back(), 1.0);
    // While the loading screen holds the timeline, times repeat; otherwise
    // each frame is 1/30 s later: exactly on the frame clock, and to the
    // millisecond once the music's position (whole milliseconds) drives it.
    // When the music starts, the timeline takes its position: 0, once.
    int advancing = 0, musicStarts = 0;
    for (size_t i = 1; i < times.size(); ++i) {
        double step = times[i] - times[i - 1];
        if (step < 0 && times[i] == 0.0) {
            ++musicStarts;
            continue;
        }
        EXPECT_TRUE(std::fabs(step) < 1e-5 || std::fabs(step - 1.0 / 30) < 1.001e-3) << i << ": " << step;
        if (step > 0) ++advancing;
    }
    EXPECT_EQ(musicStarts, 1);
    EXPECT_GE(advancing, 10);

    int w, h, n;
    fs::path first = dir / "out" / "frame_000000.png";
    unsigned char* pixels = stbi_load(first.c_str(), &w, &h, &n, 4);
    ASSERT_NE(pixels, nullptr);
    EXPECT_EQ(w, 320);
    EXPECT_EQ(h, 180);
    stbi_image_free(pixels);
    EXPECT_FALSE(fs::exists(dir / "out" / ("frame_" + std::to_string(times.size()) + ".png")));
    fs::remove_all(dir);
}

TEST(Capture, FromAndEverySelectWhichFramesAreWritten) {
    fs::path dir = MakeTempDir("every");
    RunResult run = RunLumivane(dir, "--capture out --size 64x36 --fps 20 --from 0.5 --to 1 --every 2");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    std::ifstream csv(dir / "out" / "frames.csv");
    std::string line;
    std::getline(csv, line);
    std::vector<double> times;
    while (std::getline(csv, line)) times.push_back(std::atof(line.substr(line.find(',') + 1).c_str()));
    ASSERT_FALSE(times.empty());
    EXPECT_GE(times.front(), 0.5);
    for (size_t i = 1; i < times.size(); ++i) EXPECT_NEAR(times[i] - times[i - 1], 0.1, 1e-4);
    fs::remove_all(dir);
}

TEST(Capture, Mp4GoesThroughFfmpegWithItsSound) {
    if (std::system("command -v ffmpeg >/dev/null 2>&1") != 0) GTEST_SKIP() << "ffmpeg is not installed";
    fs::path dir = MakeTempDir("mp4");
    RunResult run = RunLumivane(dir, "--capture show.mp4 --size 160x90 --fps 10 --to 0.5");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_GT(fs::file_size(dir / "show.mp4"), 0u);
    // One picture stream and one AAC sound stream; nothing left beside it
    // but what every run leaves (its output and the saved tweaks).
    std::string probe = "ffprobe -v error -show_entries stream=codec_name -of csv=p=0 '" + (dir / "show.mp4").string() +
                        "' > '" + (dir / "streams.txt").string() + "'";
    ASSERT_EQ(std::system(probe.c_str()), 0);
    std::ifstream streams(dir / "streams.txt");
    std::stringstream codecs;
    codecs << streams.rdbuf();
    EXPECT_EQ(codecs.str(), "h264\naac\n");
    int files = 0;
    for (const auto& entry : fs::directory_iterator(dir)) {
        std::string name = entry.path().filename();
        files += name != "stderr.txt" && name != "streams.txt" && name != "tweaks.txt";
    }
    EXPECT_EQ(files, 1);
    fs::remove_all(dir);
}

TEST(Capture, TheSoundIsSampleExactAndTheSameInEveryCapture) {
    // 24 frames per second share 44100 samples as 1837 or 1838 per frame.
    fs::path dir = MakeTempDir("sound");
    std::string wav[2];
    for (int i = 0; i < 2; ++i) {
        std::string out = "out" + std::to_string(i);
        RunResult run = RunLumivane(dir, "--capture " + out + " --size 64x36 --fps 24 --to 1.5");
        ASSERT_EQ(run.exitCode, 0) << run.err;
        std::ifstream in(dir / out / "audio.wav", std::ios::binary);
        std::stringstream bytes;
        bytes << in.rdbuf();
        wav[i] = bytes.str();
        int frames = -1;  // the header line
        std::ifstream csv(dir / out / "frames.csv");
        for (std::string line; std::getline(csv, line);) ++frames;
        ASSERT_GT(frames, 30);
        // 44-byte header, then 4 bytes per stereo frame.
        long long samples = static_cast<long long>(frames) * 44100 / 24;
        EXPECT_EQ(static_cast<long long>(wav[i].size()), 44 + 4 * samples);
        EXPECT_EQ(wav[i].compare(0, 4, "RIFF"), 0);
    }
    EXPECT_TRUE(wav[0] == wav[1]);
    // Once the show has its music and a loading screen to start it, the
    // span after the loading screen carries sound.
    if (FindResource(124, "MUSIC") && HasEffectClass(kLoading)) {
        bool sound = false;
        for (size_t i = 44; i + 1 < wav[0].size() && !sound; i += 2) sound = wav[0][i] != 0 || wav[0][i + 1] != 0;
        EXPECT_TRUE(sound);
    }
    fs::remove_all(dir);
}

TEST(Capture, BadOptionsAndOutputsFailWithOneLine) {
    fs::path dir = MakeTempDir("bad");
    std::ofstream(dir / "a_file") << "x";
    struct Case {
        const char* args;
        int exitCode;
        const char* environment;
    };
    const Case cases[] = {
        {"--bogus", 2, ""},
        {"--capture out --fps 0", 2, ""},
        {"--capture a_file/sub", 1, ""},  // a file stands where the folder would go
        {"--capture /proc/lumivane_cannot_write_here", 1, ""},
        {"--capture show.mp4", 1, "PATH=/nonexistent"},  // no ffmpeg to be found
        {"--capture out --data no_such_folder", 2, ""},
        {"--capture out --data a_file", 2, ""},
        // Refused before anything is loaded or written.
        {"--capture v.mp4 --size 321x181", 2, ""},
        {"--capture out --from 1000", 2, ""},
        {"--capture out --size 16384x16384", 2, ""},
    };
    for (const Case& c : cases) {
        RunResult run = RunLumivane(dir, c.args, c.environment);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.args << ": " << run.err;
        EXPECT_FALSE(run.err.empty()) << c.args;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << c.args << ": " << run.err;
    }
    for (const char* name : {"out", "v.mp4", "v.mp4.audio.wav", "v.mp4.video.mp4", "show.mp4", "tweaks.txt"})
        EXPECT_FALSE(fs::exists(dir / name)) << name << " was written";
    RunResult help = RunLumivane(dir, "--help");
    EXPECT_EQ(help.exitCode, 0);
    fs::remove_all(dir);
}

// Picture and sound agree: the frame whose timeline time is t is written at
// the same moment of the capture as the track's sound at t. The sound the
// capture wrote is matched against the track itself (decoded here, sample for
// sample as the mixer writes it) to find where in the track it lies.
TEST(Capture, EachFrameCarriesTheSoundOfItsOwnTimelineTime) {
    AssetBytes track;
    ASSERT_TRUE(OpenAsset(124, "MUSIC", "music", &track));
    const char* error = "";
    std::unique_ptr<MusicDecoder> decoder(OpenOggDecoder(track.data, static_cast<int32_t>(track.size), &error));
    ASSERT_NE(decoder, nullptr) << error;
    // The first 14 s of the track, as 16-bit left channel.
    const int kTrackFrames = 14 * kMixRate;
    std::vector<float> decoded(2 * static_cast<size_t>(kTrackFrames));
    ASSERT_EQ(decoder->Render(decoded.data(), kTrackFrames), kTrackFrames);
    std::vector<int16_t> trackLeft(kTrackFrames);
    for (int i = 0; i < kTrackFrames; ++i)
        trackLeft[i] = static_cast<int16_t>(std::lrintf(std::clamp(decoded[2 * i], -1.0f, 1.0f) * 32767.0f));

    for (int fps : {20, 30, 60}) {
        SCOPED_TRACE(fps);
        fs::path dir = MakeTempDir("avsync");
        RunResult run =
            RunLumivane(dir, "--capture out --size 64x36 --fps " + std::to_string(fps) + " --from 12 --to 12.5");
        ASSERT_EQ(run.exitCode, 0) << run.err;
        std::ifstream csv(dir / "out" / "frames.csv");
        std::string line;
        std::getline(csv, line);
        ASSERT_TRUE(std::getline(csv, line));
        double firstTime = std::atof(line.substr(line.find(',') + 1).c_str());
        std::ifstream wav(dir / "out" / "audio.wav", std::ios::binary);
        std::vector<char> bytes((std::istreambuf_iterator<char>(wav)), std::istreambuf_iterator<char>());
        const size_t kWindow = 4096;
        ASSERT_GE(bytes.size(), 44 + 4 * kWindow);
        std::vector<int16_t> left(kWindow);
        for (size_t i = 0; i < kWindow; ++i) std::memcpy(&left[i], &bytes[44 + 4 * i], 2);

        // Where in the track the first written frame's sound starts, searched
        // a fifth of a second either side of its timeline time.
        const long expected = std::lround(firstTime * kMixRate);
        long best = -1;
        long long bestError = -1;
        for (long lag = expected - kMixRate / 5; lag <= expected + kMixRate / 5; ++lag) {
            long long e = 0;
            for (size_t i = 0; i < kWindow && (bestError < 0 || e < bestError); ++i)
                e += std::llabs(static_cast<long long>(left[i]) - trackLeft[lag + i]);
            if (bestError < 0 || e < bestError) bestError = e, best = lag;
        }
        EXPECT_EQ(bestError, 0) << "the written sound is not the track's";
        // Within 5 ms (the clock counts whole milliseconds).
        EXPECT_NEAR(static_cast<double>(best - expected) / kMixRate * 1000.0, 0.0, 5.0)
            << "first frame at " << firstTime << " s carries the track's sound from " << double(best) / kMixRate
            << " s";
        fs::remove_all(dir);
    }
}

namespace {

// Frame file by timeline time, from a capture's frames.csv.
std::map<std::string, std::string> FramesByTime(const fs::path& out) {
    std::map<std::string, std::string> frames;
    std::ifstream csv(out / "frames.csv");
    std::string line;
    std::getline(csv, line);
    while (std::getline(csv, line)) {
        const size_t a = line.find(','), b = line.rfind(',');
        frames[line.substr(a + 1, b - a - 1)] = line.substr(b + 1);
    }
    return frames;
}

std::string FileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

}  // namespace

// A capture from T runs the frames before T without drawing them. Its frames
// must be the very ones a capture that drew every frame writes at the same
// times, in every part of the show: the laser (its flicker comes from a
// generator its drawing used), the scroller (its grid's flash follows the
// music's spectrum), a head shot after four shots (the counters pick the
// move and overlay), the voxel cloud and the cylinders (their generators).
TEST(Capture, AFrameReachedWithoutDrawingIsTheFrameOfACaptureThatDrewEveryFrame) {
    fs::path dir = MakeTempDir("from");
    // The show's own words, so the laser and the scroller have letters.
    for (const char* text : {"laser.txt", "scroller.txt"})
        fs::copy_file(fs::path(LUMIVANE_SOURCE_DIR) / text, dir / text);
    const std::string common = " --size 64x36 --fps 10";
    RunResult full = RunLumivane(dir, "--capture full --to 200.2" + common);
    ASSERT_EQ(full.exitCode, 0) << full.err;
    const std::map<std::string, std::string> reference = FramesByTime(dir / "full");

    // The laser draws a line's text once and keeps it: the second laser case
    // starts in the hold of the second line and is drawn on into the sweep
    // of the third, whose text must replace it.
    const struct {
        const char* part;
        const char* from;
        const char* to;
        const char* every;
        size_t frames;
    } cases[] = {
        {"laser", "40", "40.5", "1", 5},         {"laser, into a new line", "43", "46.5", "10", 4},
        {"scroller", "70", "70.5", "1", 5},      {"head shot", "128.5", "129", "1", 5},
        {"voxel cloud", "185", "185.5", "1", 5}, {"cylinders", "199", "199.5", "1", 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.part);
        fs::remove_all(dir / "part");
        RunResult part = RunLumivane(
            dir, std::string("--capture part --from ") + c.from + " --to " + c.to + " --every " + c.every + common);
        ASSERT_EQ(part.exitCode, 0) << part.err;
        const std::map<std::string, std::string> frames = FramesByTime(dir / "part");
        ASSERT_EQ(frames.size(), c.frames);
        for (const auto& [time, file] : frames) {
            ASSERT_EQ(reference.count(time), 1u) << "no frame at " << time << " in the full capture";
            EXPECT_TRUE(FileBytes(dir / "part" / file) == FileBytes(dir / "full" / reference.at(time)))
                << "the frame at " << time << " differs";
        }
    }
    fs::remove_all(dir);
}

// --data with a folder of broken files: one line for each, naming it, and
// the capture goes on without those assets. The same files lying in the
// working directory are never read without the option: the frames are those
// of a run in a folder without them.
TEST(Capture, ADataFolderOfBrokenFilesGivesOneLineEachAndWithoutTheOptionIsNotRead) {
    fs::path dir = MakeTempDir("data");
    fs::path clean = MakeTempDir("data_clean");
    const char* broken[][2] = {
        {"Data/Textures/grid.png", "not a picture"},
        {"Data/meshs/t2_head.x", ""},
        {"Data/Shaders/Scene.fx", "technique {"},
        {"Data/Music/lumivane.ogg", "not a song"},
    };
    for (const auto& [name, bytes] : broken) {
        fs::create_directories((dir / name).parent_path());
        std::ofstream(dir / name, std::ios::binary) << bytes;
    }
    for (const fs::path& d : {dir, clean})
        for (const char* text : {"laser.txt", "scroller.txt"})
            fs::copy_file(fs::path(LUMIVANE_SOURCE_DIR) / text, d / text);

    const std::string span = " --size 64x36 --fps 10 --from 88 --to 88.2";
    RunResult ignored = RunLumivane(dir, "--capture out" + span);
    ASSERT_EQ(ignored.exitCode, 0) << ignored.err;
    EXPECT_EQ(ignored.err, "");
    RunResult reference = RunLumivane(clean, "--capture out" + span);
    ASSERT_EQ(reference.exitCode, 0) << reference.err;
    const std::map<std::string, std::string> frames = FramesByTime(dir / "out");
    ASSERT_FALSE(frames.empty());
    for (const auto& [time, file] : frames)
        EXPECT_TRUE(FileBytes(dir / "out" / file) == FileBytes(clean / "out" / file)) << time;

    RunResult run = RunLumivane(dir, "--capture withdata --data ." + span);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 4) << run.err;
    for (const auto& [name, bytes] : broken)
        EXPECT_NE(run.err.find(std::string("./") + name), std::string::npos) << name;
    EXPECT_EQ(FramesByTime(dir / "withdata").size(), frames.size());
    fs::remove_all(dir);
    fs::remove_all(clean);
}

// SIGINT and SIGTERM end a capture as the end of the show would: the files
// are finished and whole, one line says where it stopped, the tweaks are
// saved, and the exit code says it did not get to its end. The signal goes to
// the whole process group, as Ctrl-C in a terminal sends it, so ffmpeg gets
// it too unless it is kept out of the way.
TEST(Capture, AnInterruptedCaptureIsFinishedAndSaysWhereItStopped) {
    struct Case {
        int signal;
        const char* out;
        int exitCode;
    };
    // The whole show takes thousands of frames: it is far from its end when
    // the signal comes.
    const Case cases[] = {{SIGTERM, "out", 128 + SIGTERM}, {SIGINT, "show.mp4", 128 + SIGINT}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.out);
        fs::path dir = MakeTempDir("interrupted");
        pid_t pid = StartLumivane(dir, {"--capture", c.out, "--size", "160x90", "--fps", "60"});
        // Past the loading screen, whose frames all show time 0.
        fs::path mark = std::string(c.out) == "out" ? dir / "out" / "frame_000150.png" : dir / "show.mp4.video.mp4";
        ASSERT_TRUE(WaitForFile(mark, 60));
        for (int i = 0; i < 600 && std::string(c.out) != "out" && fs::file_size(mark) < 20000; ++i) usleep(50000);
        kill(-pid, c.signal);
        EXPECT_EQ(WaitForExit(pid, 60), c.exitCode);
        std::string err = ReadAll(dir / "stderr.txt");
        size_t at = err.find("stopped the show at ");
        ASSERT_NE(at, std::string::npos) << err;
        EXPECT_NE(err.find(c.signal == SIGINT ? "SIGINT" : "SIGTERM"), std::string::npos) << err;
        double stoppedAt = std::atof(err.c_str() + at + 20);
        EXPECT_LT(stoppedAt, 200.0);
        EXPECT_TRUE(fs::exists(dir / "tweaks.txt"));

        if (std::string(c.out) == "out") {
            // Every frame in the index exists, and the sound file's header
            // counts exactly the bytes that follow it.
            std::ifstream csv(dir / "out" / "frames.csv");
            std::string line;
            int rows = -1;
            while (std::getline(csv, line)) ++rows;
            int pngs = 0;
            for (const auto& e : fs::directory_iterator(dir / "out")) pngs += e.path().extension() == ".png";
            EXPECT_GE(rows, 150);
            EXPECT_EQ(rows, pngs);
            EXPECT_GT(stoppedAt, 0.0);
            std::string wav = ReadAll(dir / "out" / "audio.wav");
            ASSERT_GE(wav.size(), 44u);
            uint32_t riff, data;
            std::memcpy(&riff, &wav[4], 4);
            std::memcpy(&data, &wav[40], 4);
            EXPECT_EQ(riff, wav.size() - 8);
            EXPECT_EQ(data, wav.size() - 44);
        } else {
            // A playable file with picture and sound, and nothing left beside it.
            std::string probe = "ffprobe -v error -show_entries stream=codec_name -of csv=p=0 '" +
                                (dir / "show.mp4").string() + "' > '" + (dir / "streams.txt").string() + "'";
            ASSERT_EQ(std::system(probe.c_str()), 0);
            EXPECT_EQ(ReadAll(dir / "streams.txt"), "h264\naac\n");
            EXPECT_FALSE(fs::exists(dir / "show.mp4.video.mp4"));
            EXPECT_FALSE(fs::exists(dir / "show.mp4.audio.wav"));
        }
        fs::remove_all(dir);
    }
}

// A capture that cannot start (here: a GL context below 3.3, as old drivers
// give) says what the show needs in one line and writes nothing at all.
TEST(Capture, AFailedStartSaysWhatIsNeededAndLeavesNothingBehind) {
    for (const char* out : {"v.mp4", "out"}) {
        SCOPED_TRACE(out);
        fs::path dir = MakeTempDir("failedstart");
        RunResult run = RunLumivane(dir, std::string("--capture ") + out + " --size 64x36 --to 0.1",
                                    "MESA_GL_VERSION_OVERRIDE=3.1");
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
        EXPECT_NE(run.err.find("OpenGL 3.3"), std::string::npos) << run.err;
        std::vector<std::string> left;
        for (const auto& entry : fs::directory_iterator(dir))
            if (entry.path().filename() != "stderr.txt") left.push_back(entry.path().filename());
        EXPECT_TRUE(left.empty()) << left.front();
        fs::remove_all(dir);
    }
}

// A second capture into the folder of a first replaces the first's frames,
// index and sound (and says so), and keeps every other file.
TEST(Capture, ASecondCaptureIntoTheSameFolderReplacesTheFirst) {
    fs::path dir = MakeTempDir("again");
    ASSERT_EQ(RunLumivane(dir, "--capture out --size 64x36 --fps 10 --to 1.5").exitCode, 0);
    std::ofstream(dir / "out" / "notes.txt") << "mine";
    RunResult second = RunLumivane(dir, "--capture out --size 64x36 --fps 10 --from 0.5 --to 0.7");
    ASSERT_EQ(second.exitCode, 0) << second.err;
    EXPECT_NE(second.err.find("replacing the earlier capture"), std::string::npos) << second.err;
    std::ifstream csv(dir / "out" / "frames.csv");
    int rows = -1;
    for (std::string line; std::getline(csv, line);) ++rows;
    int pngs = 0;
    for (const auto& e : fs::directory_iterator(dir / "out")) pngs += e.path().extension() == ".png";
    EXPECT_GT(rows, 0);
    EXPECT_EQ(rows, pngs);
    EXPECT_EQ(ReadAll(dir / "out" / "notes.txt"), "mine");
    fs::remove_all(dir);
}

// Without a display (and no video driver chosen) the show would play unseen:
// it says how to capture it instead, writes nothing and fails.
TEST(Capture, NoDisplayAndNoCaptureSaysWhatToDo) {
    fs::path dir = MakeTempDir("nodisplay");
    std::string cmd = "cd '" + dir.string() + "' && env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER '" +
                      std::string(LUMIVANE_EXE) + "' 2>stderr.txt >/dev/null";
    int status = std::system(cmd.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    std::string err = ReadAll(dir / "stderr.txt");
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    EXPECT_NE(err.find("--capture"), std::string::npos) << err;
    EXPECT_NE(err.find("play.sh"), std::string::npos) << err;
    EXPECT_FALSE(fs::exists(dir / "tweaks.txt"));

    // A display that cannot be opened is no reason to play unseen either.
    cmd = "cd '" + dir.string() + "' && env -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER DISPLAY=:7359 '" +
          std::string(LUMIVANE_EXE) + "' --window 2>stderr.txt >/dev/null";
    status = std::system(cmd.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    err = ReadAll(dir / "stderr.txt");
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    EXPECT_NE(err.find("cannot start SDL video"), std::string::npos) << err;
    fs::remove_all(dir);
}
