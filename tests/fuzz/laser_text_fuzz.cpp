// laser.txt (effects/laser_writer.h): any bytes fill the four lines, each
// NUL-terminated within its 64 bytes.
#include <cstdint>
#include <cstdlib>

#include "effects/laser_writer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ReadLaserText(reinterpret_cast<const char*>(data), size);
    for (int i = 0; i < kLaserLines; ++i)
        if (LaserText[i][kLaserLineLength - 1] != '\0') std::abort();
    return 0;
}
