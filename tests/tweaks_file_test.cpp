// The real program with a tweaks.txt in its working directory: what it reads
// reaches the show, and what it writes back at exit.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

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

}  // namespace

TEST(TweaksFile, ShowRewritesExactlyTheRegisteredTweaks) {
    fs::path dir = fs::temp_directory_path() / ("lumivane_tweaksfile_" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    std::ofstream(dir / "tweaks.txt") << "s_DisplayStats 1\nunknown 2\n";

    ASSERT_EQ(Capture(dir, "--size 320x180 --to 0.1"), 0) << ReadText(dir / "stderr.txt");
    std::string saved = ReadText(dir / "tweaks.txt");
    EXPECT_NE(saved.find("s_DisplayStats 1.000000\n"), std::string::npos) << saved;
    EXPECT_EQ(saved.find("unknown"), std::string::npos) << saved;
    std::string lines = "\n" + saved;  // every name starts a line
    for (const char* name : {"cam_x_pos ", "cam_y_pos ", "cam_z_pos ", "cam_x_focus ", "cam_y_focus ",
                             "cam_z_focus ", "cam_x_rot ", "cam_y_rot ", "cam_z_rot "})
        EXPECT_NE(lines.find(std::string("\n") + name), std::string::npos) << name;
    EXPECT_FALSE(fs::exists(dir / "tweaks.txt.tmp"));
    fs::remove_all(dir);
}
