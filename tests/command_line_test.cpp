#include <gtest/gtest.h>

#include <vector>

#include "app/command_line.h"

namespace {

bool Parse(std::vector<const char*> args, CommandLine* out, std::string* error) {
    args.insert(args.begin(), "lumivane");
    return ParseCommandLine(static_cast<int>(args.size()), args.data(), out, error);
}

}  // namespace

TEST(CommandLine, NoArgumentsPlaysTheShow) {
    CommandLine c;
    std::string error;
    ASSERT_TRUE(Parse({}, &c, &error));
    EXPECT_FALSE(c.capture);
    EXPECT_FALSE(c.help);
}

TEST(CommandLine, CaptureOptionsAndDefaults) {
    CommandLine c;
    std::string error;
    ASSERT_TRUE(Parse({"--capture", "out"}, &c, &error));
    EXPECT_TRUE(c.capture);
    EXPECT_EQ(c.captureOptions.fps, 60);
    EXPECT_EQ(c.captureOptions.width, 1280);
    EXPECT_EQ(c.captureOptions.height, 720);
    EXPECT_FALSE(c.captureOptions.IsMp4());

    ASSERT_TRUE(Parse({"--capture", "show.mp4", "--fps", "30", "--size", "320x180", "--from",
                       "1.5", "--to", "3", "--every", "2"},
                      &c, &error));
    EXPECT_TRUE(c.captureOptions.IsMp4());
    EXPECT_EQ(c.captureOptions.fps, 30);
    EXPECT_EQ(c.captureOptions.width, 320);
    EXPECT_EQ(c.captureOptions.height, 180);
    EXPECT_EQ(c.captureOptions.from, 1.5f);
    EXPECT_EQ(c.captureOptions.to, 3.0f);
    EXPECT_EQ(c.captureOptions.every, 2);

    // The edges of what a capture takes: the largest picture, odd sizes in
    // a folder of PNG frames, a start just before the end of the show.
    EXPECT_TRUE(Parse({"--capture", "show.mp4", "--size", "4096x2304"}, &c, &error)) << error;
    EXPECT_TRUE(Parse({"--capture", "out", "--size", "321x181"}, &c, &error)) << error;
    EXPECT_TRUE(Parse({"--capture", "out", "--from", "222.9"}, &c, &error)) << error;
}

TEST(CommandLine, MalformedOrUnknownOptionsAreRejectedWithAReason) {
    const std::vector<std::vector<const char*>> bad = {
        {"--frobnicate"},
        {"--capture"},
        {"--capture", ""},
        {"--capture", "out", "--fps", "0"},
        {"--capture", "out", "--fps", "sixty"},
        {"--capture", "out", "--fps", "60x"},
        {"--capture", "out", "--size", "320"},
        {"--capture", "out", "--size", "320x"},
        {"--capture", "out", "--size", "x180"},
        {"--capture", "out", "--size", "-320x180"},
        {"--capture", "out", "--from", "-1"},
        {"--capture", "out", "--to", "nan"},
        {"--capture", "out", "--from", "5", "--to", "3"},
        {"--capture", "out", "--every", "0"},
        {"--capture", "out", "--from", "223"},           // the show is over by then
        {"--capture", "show.mp4", "--size", "321x181"},  // odd sizes cannot be encoded
        {"--capture", "show.mp4", "--size", "320x181"},
        {"--capture", "out", "--size", "4097x100"},  // past the largest capture
        {"--capture", "out", "--size", "4096x2305"},
        {"--capture", "out", "--size", "16384x16384"},
        {"--fps", "30"},  // meaningless without --capture
        {"--to", "30"},
        {"--from", "224"},  // past the end of the show, playing or capturing
        {"--capture", "out", "--from", "1000"},
        {"--data"},
        {"--data", ""},
        {"--aspect", "5:4"},
        {"--aspect", "16:9 "},
        {"--aspect"},
        {"--size", "0x768"},
        {"--window", "--fullscreen"},
        {"--capture", "out", "--fullscreen"},  // a capture has no display to choose
        {"--capture", "out", "--vsync"},
        {"--aspect", "4:3", "--capture", "out"},
    };
    for (const auto& args : bad) {
        CommandLine c;
        std::string error;
        EXPECT_FALSE(Parse(args, &c, &error)) << args[0];
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(error.find('\n'), std::string::npos);
    }
}

TEST(CommandLine, DisplayOptionsChooseTheDisplayWithoutTheDialog) {
    CommandLine c;
    std::string error;
    ASSERT_TRUE(Parse({}, &c, &error));
    EXPECT_FALSE(c.displayOptions.Given());

    ASSERT_TRUE(Parse({"--fullscreen", "--size", "1024x768", "--aspect", "4:3", "--vsync"}, &c, &error));
    EXPECT_TRUE(c.displayOptions.fullscreen);
    EXPECT_TRUE(c.displayOptions.sizeGiven);
    EXPECT_EQ(c.displayOptions.width, 1024);
    EXPECT_EQ(c.displayOptions.height, 768);
    EXPECT_EQ(c.displayOptions.aspectIndex, 0);
    EXPECT_TRUE(c.displayOptions.vsync);

    // Each one alone is enough to skip the dialog.
    const std::vector<std::vector<const char*>> alone = {
        {"--window"}, {"--fullscreen"}, {"--vsync"}, {"--size", "800x600"}, {"--aspect", "16:10"}};
    for (const auto& args : alone) {
        ASSERT_TRUE(Parse(args, &c, &error)) << args[0];
        EXPECT_TRUE(c.displayOptions.Given()) << args[0];
        EXPECT_FALSE(c.capture);
    }
    EXPECT_EQ(c.displayOptions.aspectIndex, 2);

    // With --capture, --size is the capture's picture and the display is not asked for.
    ASSERT_TRUE(Parse({"--capture", "out", "--size", "320x180"}, &c, &error));
    EXPECT_FALSE(c.displayOptions.Given());
    EXPECT_EQ(c.captureOptions.width, 320);
}

TEST(CommandLine, FromOpensThePlayingShowAndDataNamesTheAssetFolder) {
    CommandLine c;
    std::string error;
    ASSERT_TRUE(Parse({"--from", "150", "--data", "work"}, &c, &error)) << error;
    EXPECT_FALSE(c.capture);
    EXPECT_EQ(c.captureOptions.from, 150.0f);
    EXPECT_EQ(c.dataDir, "work");
    EXPECT_FALSE(c.displayOptions.Given()) << "--from alone still asks for the display";
    ASSERT_TRUE(Parse({"--capture", "out", "--data", "work", "--from", "222"}, &c, &error)) << error;
    EXPECT_EQ(c.dataDir, "work");
}
