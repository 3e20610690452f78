#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>
#include <algorithm>
#include <cfloat>
#include <cmath>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include "app/overlays.h"
#include "core/tweaks.h"
#include "platform/input.h"
#include "platform/keys.h"

namespace fs = std::filesystem;

namespace {

// A fresh table and a private folder for tweaks.txt in every test.
class Tweaks : public ::testing::Test {
protected:
    void SetUp() override {
        TweakTable::Get() = TweakTable{};
        dir = fs::temp_directory_path() /
              ("lumivane_tweaks_" + std::to_string(getpid()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        path = (dir / "tweaks.txt").string();
    }
    void TearDown() override {
        TweakTable::Get() = TweakTable{};
        fs::remove_all(dir);
    }

    void WriteFile(const std::string& text) { std::ofstream(path, std::ios::binary) << text; }
    std::string ReadFile() const {
        std::ifstream in(path, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

    fs::path dir;
    std::string path;
};

}  // namespace

TEST_F(Tweaks, ValuesComeFromTheFileAndGoBackInSixDecimals) {
    WriteFile("s_fMetaLevel 120.5\nunclaimed 3\n");
    LoadTweaks(path.c_str());
    float metaLevel = 100.0f, voxLevel = 0.2f;
    RegisterTweak("s_fMetaLevel", &metaLevel, 0.01f, 0.0f, FLT_MAX, false);
    RegisterTweak("s_fVoxLevel", &voxLevel, 0.001f, 0.0f, FLT_MAX, false);
    EXPECT_EQ(metaLevel, 120.5f);
    EXPECT_EQ(voxLevel, 0.2f);  // not in the file: keeps its default

    ASSERT_EQ(SaveTweaks(path.c_str()), SaveResult::Saved);
    // Registration order, then what nobody registered in this run, as it was.
    EXPECT_EQ(ReadFile(), "s_fMetaLevel 120.500000\ns_fVoxLevel 0.200000\nunclaimed 3\n");
    EXPECT_FALSE(fs::exists(path + ".tmp"));
}

TEST_F(Tweaks, FirstOccurrenceAndFirstRegistrationWinAndNamesAreCaseSensitive) {
    WriteFile("s_fMetaLevel 120.5 S_DISPLAYSTATS 1\ns_fMetaLevel 7\n");
    LoadTweaks(path.c_str());
    float metaLevel = 100.0f, displayStats = 0.0f;
    RegisterTweak("s_fMetaLevel", &metaLevel, 0.01f, 0.0f, FLT_MAX, false);
    RegisterTweak("s_DisplayStats", &displayStats, 1.0f, 0.0f, 1.0f, false);
    EXPECT_EQ(metaLevel, 120.5f);
    EXPECT_EQ(displayStats, 0.0f);

    // A second owner of the same name changes nothing, not even its own value.
    float second = 42.0f;
    RegisterTweak("s_fMetaLevel", &second, 5.0f, 0.0f, 1.0f, true);
    EXPECT_EQ(second, 42.0f);
    ASSERT_EQ(TweakTable::Get().registered.size(), 2u);
    EXPECT_EQ(TweakTable::Get().registered[0].value, &metaLevel);
    EXPECT_EQ(TweakTable::Get().registered[0].step, 0.01f);
}

TEST_F(Tweaks, OversizedNamesAndGarbageNumbersAreReadSafely) {
    std::string longName(300, 'a');
    // "abc" is not a number: "first" is dropped and "abc" is read as the next
    // name; "1.5x" gives 1.5 and "x" is a name; nan, inf and numbers beyond
    // the float range are no values.
    WriteFile(longName + " 5\nok 1\nfirst abc 2.5\nhalf 1.5x 7\nnan nan inf inf big 1e400 tiny 1e-400 last");
    testing::internal::CaptureStderr();
    LoadTweaks(path.c_str());
    std::string err = testing::internal::GetCapturedStderr();
    struct Expected {
        std::string name;
        float value;
        const char* text;
    };
    const Expected expected[] = {{longName.substr(0, 255), 5.0f, "5"},
                                 {"ok", 1.0f, "1"},
                                 {"abc", 2.5f, "2.5"},
                                 {"half", 1.5f, "1.5"},
                                 {"x", 7.0f, "7"},
                                 {"tiny", 0.0f, "1e-400"}};
    const std::vector<StoredTweak>& s = TweakTable::Get().stored;
    ASSERT_EQ(s.size(), std::size(expected));
    for (size_t i = 0; i < s.size(); ++i) {
        EXPECT_EQ(std::string(s[i].name), expected[i].name) << i;
        EXPECT_EQ(s[i].value, expected[i].value) << i;
        EXPECT_EQ(s[i].text, expected[i].text) << i;
    }
    // One line for all that was dropped: first, nan, inf, big, last.
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    EXPECT_NE(err.find("5 names"), std::string::npos) << err;
    EXPECT_NE(err.find("'first'"), std::string::npos) << err;

    // A registration name longer than its buffer matches as it is kept.
    std::string longer(300, 'b');
    float a = 0, b = 0;
    RegisterTweak(longer.c_str(), &a, 1, 0, 1, false);
    RegisterTweak((longer + "c").c_str(), &b, 1, 0, 1, false);
    EXPECT_EQ(TweakTable::Get().registered.size(), 1u);
    EXPECT_EQ(std::string(TweakTable::Get().registered[0].name), longer.substr(0, 256));
}

TEST_F(Tweaks, MissingFileLeavesDefaults) {
    LoadTweaks(path.c_str());
    float v = 0.26f;
    RegisterTweak("s_fBallLevel", &v, 0.001f, 0.0f, FLT_MAX, false);
    EXPECT_EQ(v, 0.26f);
    EXPECT_TRUE(TweakTable::Get().stored.empty());
}

TEST_F(Tweaks, RunThatRegisteredNothingKeepsTheFile) {
    WriteFile("s_fMetaLevel 120.5\n");
    LoadTweaks(path.c_str());
    EXPECT_EQ(SaveTweaks(path.c_str()), SaveResult::Unchanged);
    EXPECT_EQ(ReadFile(), "s_fMetaLevel 120.5\n");
}

TEST_F(Tweaks, SaveThatDiesBeforeTheRenameLeavesTheOldFile) {
    const std::string old = "s_fMetaLevel 120.5\ns_DisplayStats 1\n";
    WriteFile(old);
    static float values[64];
    for (int i = 0; i < 64; ++i)
        RegisterTweak(("tweak_" + std::to_string(i)).c_str(), &values[i], 1, 0, 1, false);
    // The process is killed (SIGXFSZ) the moment its writes pass 16 bytes,
    // half way through the new contents.
    auto saveWithFileSizeLimit = [this] {
        rlimit limit{16, 16};
        setrlimit(RLIMIT_FSIZE, &limit);
        SaveTweaks(path.c_str());
    };
    EXPECT_EXIT(saveWithFileSizeLimit(), ::testing::KilledBySignal(SIGXFSZ), "");
    EXPECT_EQ(ReadFile(), old);

    // The next save goes through and clears the leftover.
    ASSERT_EQ(SaveTweaks(path.c_str()), SaveResult::Saved);
    EXPECT_EQ(ReadFile().substr(0, 18), "tweak_0 0.000000\nt");
    EXPECT_FALSE(fs::exists(path + ".tmp"));
}

TEST_F(Tweaks, WhatNobodyRegisteredIsKeptAsTheFileSpelledIt) {
    WriteFile("s_fMetaLevel 120.5\ns_DisplayStats 1\ns_fMetaLevel 7\nhex 0x1p3\n");
    LoadTweaks(path.c_str());
    float displayStats = 0.0f, broken = INFINITY;
    RegisterTweak("s_DisplayStats", &displayStats, 1.0f, 0.0f, 1.0f, false);
    RegisterTweak("broken", &broken, 1.0f, 0.0f, 1.0f, false);  // would not be read back
    ASSERT_EQ(SaveTweaks(path.c_str()), SaveResult::Saved);
    EXPECT_EQ(ReadFile(), "s_DisplayStats 1.000000\ns_fMetaLevel 120.5\nhex 0x1p3\n");

    // The next run that gets as far as the scroller finds its value.
    TweakTable::Get() = TweakTable{};
    LoadTweaks(path.c_str());
    float metaLevel = 100.0f;
    RegisterTweak("s_fMetaLevel", &metaLevel, 0.01f, 0.0f, FLT_MAX, false);
    EXPECT_EQ(metaLevel, 120.5f);
}

TEST_F(Tweaks, ALinkKeepsItsTargetAndAFileKeepsItsPermissions) {
    fs::create_directories(dir / "real");
    std::ofstream(dir / "real" / "mine.txt") << "s_DisplayStats 0\n";
    fs::create_symlink("real/mine.txt", path);
    fs::permissions(dir / "real" / "mine.txt", fs::perms::owner_read | fs::perms::owner_write);
    LoadTweaks(path.c_str());
    float displayStats = 1.0f;
    RegisterTweak("s_DisplayStats", &displayStats, 1.0f, 0.0f, 1.0f, false);
    displayStats = 1.0f;
    ASSERT_EQ(SaveTweaks(path.c_str()), SaveResult::Saved);
    EXPECT_TRUE(fs::is_symlink(path));
    EXPECT_EQ(ReadFile(), "s_DisplayStats 1.000000\n");
    EXPECT_EQ(fs::status(dir / "real" / "mine.txt").permissions(), fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_FALSE(fs::exists(dir / "real" / "mine.txt.tmp"));
}

TEST_F(Tweaks, AReadOnlyFileIsLeftAsItIs) {
    const std::string mine = "s_DisplayStats 0\nmy_own_line 3\n";
    WriteFile(mine);
    fs::permissions(path, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    LoadTweaks(path.c_str());
    float displayStats = 0.0f;
    RegisterTweak("s_DisplayStats", &displayStats, 1.0f, 0.0f, 1.0f, false);
    displayStats = 1.0f;
    testing::internal::CaptureStderr();
    EXPECT_EQ(SaveTweaks(path.c_str()), SaveResult::Unchanged);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(ReadFile(), mine);
    EXPECT_EQ(fs::status(path).permissions(), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    EXPECT_NE(err.find("read-only"), std::string::npos) << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
}

TEST_F(Tweaks, AFileThatCannotBeReadOrWrittenIsNeverWrittenOverAndTheSaveFails) {
    struct Case {
        const char* name;
        std::function<std::string()> make;  // sets the case up; returns the path to use
        int lines;                          // on stderr: the load's and the save's
    };
    const Case cases[] = {
        {"a directory",
         [&] {
             fs::create_directory(path);
             return path;
         },
         2},
        {"a link to an endless device",
         [&] {
             fs::create_symlink("/dev/zero", path);
             return path;
         },
         2},
        {"a file too large to be a tuning file",
         [&] {
             WriteFile(std::string(kMaxTweakFileBytes + 1, '\n'));
             return path;
         },
         2},
        {"a folder that does not exist", [&] { return (dir / "missing" / "tweaks.txt").string(); }, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TweakTable::Get() = TweakTable{};
        fs::remove_all(dir);
        fs::create_directories(dir);
        std::string where = c.make();
        std::string before = fs::is_regular_file(where) ? ReadFile() : "";
        testing::internal::CaptureStderr();
        LoadTweaks(where.c_str());
        float v = 0.5f;
        RegisterTweak("v", &v, 1.0f, 0.0f, 1.0f, false);
        EXPECT_EQ(v, 0.5f);
        EXPECT_EQ(SaveTweaks(where.c_str()), SaveResult::Failed);
        std::string err = testing::internal::GetCapturedStderr();
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), c.lines) << err;
        EXPECT_NE(err.find("cannot save"), std::string::npos) << err;
        EXPECT_EQ(fs::is_regular_file(where) ? ReadFile() : "", before);
    }
}

namespace {

// Drives the editor one frame at a time with a private input state.
struct EditorKeys {
    InputState in;
    // The given keys are held this frame (all others up); then the frame ends.
    bool Frame(std::initializer_list<int> held = {}) {
        for (uint8_t& k : in.keys) k = 0;
        for (int key : held) in.keys[key] = 1;
        bool visible = UpdateTweakEditor(in);
        std::copy(std::begin(in.keys), std::end(in.keys), in.previousKeys);
        return visible;
    }
};


}  // namespace

TEST_F(Tweaks, HiddenEditorIgnoresArrowsAndF1Toggles) {
    float v = 0.5f;
    RegisterTweak("v", &v, 0.1f, 0.0f, 1.0f, true);
    EditorKeys keys;
    EXPECT_FALSE(keys.Frame({kKeyRight}));
    EXPECT_FALSE(keys.Frame({kKeyLeft}));
    EXPECT_EQ(v, 0.5f);
    EXPECT_TRUE(keys.Frame({kKeyF1}));
    EXPECT_TRUE(keys.Frame({kKeyF1}));  // still held: no second toggle
    EXPECT_TRUE(keys.Frame());
    EXPECT_FALSE(keys.Frame({kKeyF1}));
}

TEST_F(Tweaks, UpAndDownWrapAround) {
    EditorKeys keys;
    keys.Frame({kKeyF1});
    // Nothing registered yet: the selection cannot leave the list.
    keys.Frame({kKeyUp});
    keys.Frame({kKeyDown});
    keys.Frame();
    keys.Frame({kKeyDown});
    EXPECT_EQ(TweakTable::Get().selection, 0);

    float a = 0, b = 0, c = 0;
    RegisterTweak("a", &a, 1, 0, 1, false);
    RegisterTweak("b", &b, 1, 0, 1, false);
    RegisterTweak("c", &c, 1, 0, 1, false);
    keys.Frame({kKeyUp});
    EXPECT_EQ(TweakTable::Get().selection, 2);
    keys.Frame({kKeyUp});  // held: one step only
    EXPECT_EQ(TweakTable::Get().selection, 2);
    keys.Frame({kKeyDown});
    EXPECT_EQ(TweakTable::Get().selection, 0);
}

TEST_F(Tweaks, StepsPerPressOrPerFrameAndShiftDoubles) {
    struct Case { bool stepOnPress; bool shift; int key; float expected; };
    // Three frames with the key held, starting from 10 with step 1.
    const Case cases[] = {
        {true, false, kKeyRight, 11}, {true, true, kKeyRight, 12}, {true, true, kKeyLeft, 8},
        {false, false, kKeyRight, 13}, {false, true, kKeyRight, 16}, {false, true, kKeyLeft, 4},
    };
    for (const Case& c : cases) {
        TweakTable::Get() = TweakTable{};
        float v = 10.0f;
        RegisterTweak("v", &v, 1.0f, 0.0f, 100.0f, c.stepOnPress);
        EditorKeys keys;
        keys.Frame({kKeyF1});
        for (int i = 0; i < 3; ++i) {
            if (c.shift) keys.Frame({c.key, kKeyShift});
            else keys.Frame({c.key});
        }
        EXPECT_EQ(v, c.expected) << "stepOnPress " << c.stepOnPress << " shift " << c.shift;
    }
    // Holding both arrows applies both.
    TweakTable::Get() = TweakTable{};
    float v = 10.0f;
    RegisterTweak("v", &v, 1.0f, 0.0f, 100.0f, false);
    EditorKeys keys;
    keys.Frame({kKeyF1});
    keys.Frame({kKeyLeft, kKeyRight});
    EXPECT_EQ(v, 10.0f);
}

TEST_F(Tweaks, StoredValueOutOfRangeIsClampedOnceSelected) {
    WriteFile("high 5 low -3 s_fBallLevel -1e30\n");
    LoadTweaks(path.c_str());
    float first = 0.5f, high = 0, low = 0, ball = 0;
    RegisterTweak("first", &first, 0.1f, 0.0f, 1.0f, false);
    RegisterTweak("high", &high, 0.1f, 0.0f, 1.0f, false);
    RegisterTweak("low", &low, 0.1f, 0.0f, 1.0f, false);
    RegisterTweak("s_fBallLevel", &ball, 0.001f, 0.0f, FLT_MAX, false);
    EXPECT_EQ(high, 5.0f);  // accepted as stored
    EXPECT_EQ(low, -3.0f);

    EditorKeys keys;
    keys.Frame({kKeyF1});
    EXPECT_EQ(high, 5.0f);  // not selected yet
    keys.Frame({kKeyDown});
    EXPECT_EQ(high, 1.0f);  // selected: pulled into range with no arrow pressed
    keys.Frame();
    keys.Frame({kKeyDown});
    EXPECT_EQ(low, 0.0f);
    keys.Frame();
    keys.Frame({kKeyDown});
    EXPECT_EQ(ball, 0.0f);
    keys.Frame({kKeyRight});
    EXPECT_EQ(ball, 0.001f);
}

TEST_F(Tweaks, SevenRowsWrapAroundASmallList) {
    EXPECT_EQ(GetTweakEditorRows(nullptr), 0);
    float a = 0, b = 0, c = 0;
    RegisterTweak("a", &a, 1, 0, 1, false);
    RegisterTweak("b", &b, 1, 0, 1, false);
    RegisterTweak("c", &c, 1, 0, 1, false);
    TweakEditorRow rows[kTweakEditorRows];
    ASSERT_EQ(GetTweakEditorRows(rows), 7);
    const int expected[7] = {0, 1, 2, 0, 1, 2, 0};
    for (int k = 0; k < 7; ++k) {
        EXPECT_EQ(rows[k].index, expected[k]) << k;
        EXPECT_EQ(rows[k].colour, expected[k] == 0 ? 0xffffffffu : 0x80ffffffu) << k;
        EXPECT_EQ(rows[k].y, 720.0f - 202.0f + 22.0f * (k + 1)) << k;
    }
    TweakTable::Get().selection = 2;
    GetTweakEditorRows(rows);
    EXPECT_EQ(rows[0].index, 2);  // 2 - 3 wraps to 2
    EXPECT_EQ(rows[6].index, 2);  // 2 + 3 wraps to 2
}
