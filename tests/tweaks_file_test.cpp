// The real program with a tweaks.txt in its working directory: what it reads
// reaches the show, and what it writes back at exit.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stb_image.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string ReadText(const fs::path& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// A short headless capture inside `dir`; returns the exit code.
int Capture(const fs::path& dir, const std::string& args) {
    std::string cmd = "cd '" + dir.string() + "' && SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy '" +
                      std::string(LUMIVANE_EXE) + "' --capture out " + args + " 2>stderr.txt >/dev/null";
    int status = std::system(cmd.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

fs::path MakeDir(const std::string& name) {
    fs::path dir = fs::temp_directory_path() / ("lumivane_" + name + "_" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

// The first captured frame as RGBA bytes.
std::vector<unsigned char> LoadFrame(const fs::path& dir, int* w, int* h) {
    int n;
    unsigned char* data = stbi_load((dir / "out" / "frame_000000.png").c_str(), w, h, &n, 4);
    std::vector<unsigned char> pixels;
    if (data) pixels.assign(data, data + static_cast<size_t>(*w) * *h * 4);
    stbi_image_free(data);
    return pixels;
}

}  // namespace

TEST(TweaksFile, ShowRewritesItsTweaksAndKeepsThoseOfPartsItNeverReached) {
    fs::path dir = MakeDir("tweaksfile");
    // The scroller's level was tuned in an earlier run; this one ends long
    // before the scroller registers it.
    std::ofstream(dir / "tweaks.txt") << "s_DisplayStats 1\ns_fMetaLevel 120.5\n";

    ASSERT_EQ(Capture(dir, "--size 320x180 --to 0.1"), 0) << ReadText(dir / "stderr.txt");
    std::string saved = ReadText(dir / "tweaks.txt");
    EXPECT_NE(saved.find("s_DisplayStats 1.000000\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("\ns_fMetaLevel 120.5\n"), std::string::npos) << saved;
    std::string lines = "\n" + saved;  // every name starts a line
    for (const char* name : {"cam_x_pos ", "cam_y_pos ", "cam_z_pos ", "cam_x_focus ", "cam_y_focus ",
                             "cam_z_focus ", "cam_x_rot ", "cam_y_rot ", "cam_z_rot "})
        EXPECT_NE(lines.find(std::string("\n") + name), std::string::npos) << name;
    EXPECT_FALSE(fs::exists(dir / "tweaks.txt.tmp"));
    fs::remove_all(dir);
}

TEST(TweaksFile, EndlessInputIsNotReadAndTheShowRunsOn) {
    // Both files link to an endless device. The run reaches the laser (from
    // 29 s), says once per file that it was not read, leaves the links as
    // they are, and fails only because the tweaks could not be saved.
    fs::path dir = MakeDir("endless");
    fs::create_symlink("/dev/zero", dir / "tweaks.txt");
    fs::create_symlink("/dev/zero", dir / "laser.txt");
    EXPECT_EQ(Capture(dir, "--size 64x36 --fps 10 --from 29.5 --to 29.6"), 1);
    std::string err = ReadText(dir / "stderr.txt");
    EXPECT_NE(err.find("cannot read tweaks.txt"), std::string::npos) << err;
    EXPECT_NE(err.find("cannot read laser.txt"), std::string::npos) << err;
    EXPECT_NE(err.find("cannot save tweaks.txt"), std::string::npos) << err;
    EXPECT_TRUE(fs::is_symlink(dir / "tweaks.txt"));
    EXPECT_TRUE(fs::exists(dir / "out" / "frame_000000.png"));
    fs::remove_all(dir);
}

TEST(TweaksFile, StatisticsOverlayShowsWhenSwitchedOn) {
    // The same frame, after the opening fade, with the overlay off and on:
    // they differ in the three lines near the top left corner and nowhere else.
    std::vector<unsigned char> frames[2];
    int w = 0, h = 0;
    for (int on = 0; on < 2; ++on) {
        fs::path dir = MakeDir("stats" + std::to_string(on));
        std::ofstream(dir / "tweaks.txt") << "s_DisplayStats " << on << "\n";
        ASSERT_EQ(Capture(dir, "--size 640x360 --from 2.5 --to 2.52"), 0) << ReadText(dir / "stderr.txt");
        frames[on] = LoadFrame(dir, &w, &h);
        ASSERT_EQ(frames[on].size(), 640u * 360u * 4u);
        fs::remove_all(dir);
    }
    // At 640x360 a layout unit is half a pixel: the lines start at rows 16, 32 and 50.
    int perLine[3] = {0, 0, 0};
    int outside = 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            size_t i = (static_cast<size_t>(y) * w + x) * 4;
            bool differs = frames[0][i] != frames[1][i] || frames[0][i + 1] != frames[1][i + 1] ||
                           frames[0][i + 2] != frames[1][i + 2];
            if (!differs) continue;
            if (x < 16 || x > 320) ++outside;
            else if (y >= 16 && y < 32) ++perLine[0];
            else if (y >= 32 && y < 50) ++perLine[1];
            else if (y >= 50 && y < 110) ++perLine[2];
            else ++outside;
        }
    }
    EXPECT_GT(perLine[0], 20);
    EXPECT_GT(perLine[1], 20);
    EXPECT_GT(perLine[2], 60);
    EXPECT_EQ(outside, 0);
}
