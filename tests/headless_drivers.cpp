// Every test runs headless: SDL's offscreen video driver on Mesa's llvmpipe
// and its dummy audio driver, which takes sound in real time without any
// hardware. A driver the caller chose stays.
#include <cstdlib>

static const bool s_headless = [] {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    return true;
}();
