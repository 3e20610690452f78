#include "platform/displays.h"

#include <SDL2/SDL.h>

namespace Platform {

std::vector<DisplayInfo> QueryDisplays() {
    std::vector<DisplayInfo> displays;
    int count = SDL_GetNumVideoDisplays();
    for (int d = 0; d < count; ++d) {
        DisplayInfo info;
        const char* name = SDL_GetDisplayName(d);
        info.name = name ? name : "";
        SDL_DisplayMode mode;
        if (SDL_GetDesktopDisplayMode(d, &mode) == 0) {
            info.desktopWidth = mode.w;
            info.desktopHeight = mode.h;
        }
        int modes = SDL_GetNumDisplayModes(d);
        for (int i = 0; i < modes; ++i)
            if (SDL_GetDisplayMode(d, i, &mode) == 0) info.modes.push_back({mode.w, mode.h, mode.refresh_rate});
        displays.push_back(std::move(info));
    }
    return displays;
}

}  // namespace Platform
