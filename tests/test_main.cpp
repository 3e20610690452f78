// The test program's main: GoogleTest's, after the hook that lets the .x
// importer's tests start this program again as the importer's process.
#include <gtest/gtest.h>

#include "platform/isolated.h"

int main(int argc, char** argv) {
    Platform::RunIsolatedWorkIfAsked();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
