// The capture's writer thread: frames come out in order with their own
// pixels, index and time however the two threads interleave, and a failed
// write stops the writing with its reason.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "app/frame_writer.h"

namespace {

struct Written {
    uint64_t index;
    float time;
    uint8_t first, last;  // the frame's first and last byte
};

}  // namespace

TEST(FrameWriter, WritesEveryFrameInOrderWithItsOwnPixels) {
    // A slow writer makes the renderer wait for buffers; a fast one has it
    // find them free.
    for (int delayMs : {0, 3}) {
        std::vector<Written> written;
        FrameWriter writer;
        writer.Start(64, 2, [&](const uint8_t* pixels, uint64_t index, float time, std::string*) {
            std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
            written.push_back({index, time, pixels[0], pixels[63]});
            return true;
        });
        for (uint64_t i = 0; i < 20; ++i) {
            uint8_t* pixels = writer.Next();
            ASSERT_NE(pixels, nullptr);
            std::memset(pixels, static_cast<int>(i), 64);
            writer.Submit(i, static_cast<float>(i) * 0.5f);
        }
        std::string error;
        EXPECT_TRUE(writer.Finish(&error));
        EXPECT_TRUE(error.empty());
        ASSERT_EQ(written.size(), 20u) << delayMs;
        for (uint64_t i = 0; i < 20; ++i) {
            EXPECT_EQ(written[i].index, i);
            EXPECT_EQ(written[i].time, static_cast<float>(i) * 0.5f);
            EXPECT_EQ(written[i].first, i);
            EXPECT_EQ(written[i].last, i);
        }
    }
}

TEST(FrameWriter, AFailedWriteStopsTheWritingAndSaysWhy) {
    std::vector<uint64_t> written;
    FrameWriter writer;
    writer.Start(16, 2, [&](const uint8_t*, uint64_t index, float, std::string* error) {
        if (index == 3) {
            *error = "cannot write frame 3";
            return false;
        }
        written.push_back(index);
        return true;
    });
    uint64_t submitted = 0;
    while (uint8_t* pixels = writer.Next()) {
        pixels[0] = 0;
        writer.Submit(submitted++, 0.0f);
        ASSERT_LT(submitted, 1000u) << "the writer went on after its failure";
    }
    EXPECT_TRUE(writer.Failed());
    std::string error;
    EXPECT_FALSE(writer.Finish(&error));
    EXPECT_EQ(error, "cannot write frame 3");
    EXPECT_EQ(written, (std::vector<uint64_t>{0, 1, 2}));
}
