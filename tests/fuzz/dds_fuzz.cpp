// DDS cube maps (assets/image.h): any bytes decode to six full faces or fail
// with a reason.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "assets/image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CubeImage cube;
    std::string error;
    if (!DecodeDdsCube(data, size, &cube, &error)) {
        if (error.empty()) std::abort();
        return 0;
    }
    for (const std::vector<uint32_t>& face : cube.faces)
        if (face.size() != static_cast<size_t>(cube.size) * cube.size) std::abort();
    return 0;
}
