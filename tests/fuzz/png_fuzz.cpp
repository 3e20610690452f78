// PNG pictures (assets/image.h, through libpng): any bytes decode to a full
// picture or fail with a reason.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "assets/image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Image image;
    std::string error;
    if (!DecodePng(data, size, &image, &error)) {
        if (error.empty() || !image.texels.empty()) std::abort();
        return 0;
    }
    if (image.texels.size() != static_cast<size_t>(image.width) * image.height) std::abort();
    return 0;
}
