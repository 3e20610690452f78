// The child process a capture pipes its frames into: it runs at the nice
// value it was started with (the encoder must give way to the renderer),
// and without one at ours.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/process.h"

TEST(PipeProcess, TheChildRunsAtTheNiceValueItWasStartedWith) {
    errno = 0;
    const int ours = getpriority(PRIO_PROCESS, 0);
    ASSERT_EQ(errno, 0);
    if (ours > 10) GTEST_SKIP() << "this process already runs at nice " << ours;
    const std::string file =
        (std::filesystem::temp_directory_path() / ("lumivane_nice_" + std::to_string(getpid()))).string();
    struct Case {
        int niceness;
        int expected;
    };
    for (const Case& c : {Case{0, ours}, Case{10, 10}}) {
        SCOPED_TRACE(c.niceness);
        std::remove(file.c_str());
        Platform::PipeProcess child;
        // `nice` without a command prints the nice value it runs at. The
        // child asks only after its first input, as ffmpeg starts its
        // threads only after the first frame.
        ASSERT_TRUE(child.Start({"sh", "-c", "read line; nice > '" + file + "'"}, c.niceness));
        ASSERT_TRUE(child.Write("go\n", 3));
        ASSERT_EQ(child.Finish(), 0);
        int printed = -100;
        std::ifstream(file) >> printed;
        EXPECT_EQ(printed, c.expected);
    }
    std::remove(file.c_str());
}
