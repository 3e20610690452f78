// Effect files (platform/fx_parser.h): any bytes parse or fail with a
// message that names a line; a parsed file's references are all in range.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/fx_parser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Fx::Description description;
    std::string error;
    if (!Fx::Parse(reinterpret_cast<const char*>(data), size, &description, &error)) {
        if (error.compare(0, 5, "line ") != 0) std::abort();
        return 0;
    }
    for (const Fx::Sampler& s : description.samplers)
        if (s.texture < 0 || s.texture >= static_cast<int>(description.params.size())) std::abort();
    for (const Fx::Technique& t : description.techniques)
        for (const Fx::Pass& p : t.passes) {
            if (p.pixelShader < 0 || p.pixelShader >= static_cast<int>(description.shaders.size())) std::abort();
            if (p.vertexShader >= static_cast<int>(description.shaders.size())) std::abort();
        }
    return 0;
}
