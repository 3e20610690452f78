#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <vector>

#include "assets/memory_file.h"

namespace {

std::vector<uint8_t> Bytes(int n) {
    std::vector<uint8_t> bytes(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) bytes[static_cast<size_t>(i)] = static_cast<uint8_t>(i);
    return bytes;
}

}  // namespace

TEST(MemoryFile, ReadsStopAtTheEnd) {
    std::vector<uint8_t> data = Bytes(200);
    MemoryFile* file = MemoryFileOpen(data.data(), 200);
    uint8_t buffer[256];
    EXPECT_EQ(MemoryFileSeek(file, 200 - 40, kMemorySeekSet), 160);
    EXPECT_EQ(MemoryFileRead(buffer, 100, file), 40);
    EXPECT_EQ(std::memcmp(buffer, data.data() + 160, 40), 0);
    EXPECT_EQ(MemoryFileTell(file), 200);
    EXPECT_EQ(MemoryFileRead(buffer, 100, file), 0);
    EXPECT_EQ(MemoryFileTell(file), 200);

    // Counts that are not positive copy nothing and leave the position.
    MemoryFileSeek(file, 10, kMemorySeekSet);
    EXPECT_EQ(MemoryFileRead(buffer, 0, file), 0);
    EXPECT_EQ(MemoryFileRead(buffer, -5, file), 0);
    EXPECT_EQ(MemoryFileTell(file), 10);
    // A count near INT_MAX cannot overflow the end test.
    EXPECT_EQ(MemoryFileRead(buffer, INT_MAX, file), 190);
    EXPECT_EQ(MemoryFileTell(file), 200);
    MemoryFileClose(file);
}

TEST(MemoryFile, SeeksAreClampedToTheData) {
    std::vector<uint8_t> data = Bytes(100);
    struct Case { int start, offset, mode, expected; };
    const Case cases[] = {
        {0, 10, kMemorySeekEnd, 100},        // past the end: the end
        {0, -10, kMemorySeekEnd, 90},
        {50, 20, kMemorySeekCur, 70},
        {50, -60, kMemorySeekCur, 0},        // before the start: the start
        {0, -1, kMemorySeekSet, 0},
        {0, 250, kMemorySeekSet, 100},
        {30, 5, 3, 30},                      // unknown mode: unchanged
        {100, INT_MAX, kMemorySeekCur, 100}, // no wrap-around
        {0, INT_MIN, kMemorySeekEnd, 0},
    };
    for (const Case& c : cases) {
        MemoryFile* file = MemoryFileOpen(data.data(), 100);
        MemoryFileSeek(file, c.start, kMemorySeekSet);
        EXPECT_EQ(MemoryFileSeek(file, c.offset, c.mode), c.expected)
            << c.start << " " << c.offset << " " << c.mode;
        EXPECT_EQ(MemoryFileTell(file), c.expected);
        uint8_t byte = 0xEE;
        if (c.expected < 100) {
            EXPECT_EQ(MemoryFileRead(&byte, 1, file), 1);
            EXPECT_EQ(byte, data[static_cast<size_t>(c.expected)]);
        } else {
            EXPECT_EQ(MemoryFileRead(&byte, 1, file), 0);
        }
        MemoryFileClose(file);
    }
}
