// The displays SDL knows of, as plain data: each one's name, its desktop
// resolution and every mode it offers (one entry per refresh rate and pixel
// format, as SDL lists them).
#pragma once
#include <string>
#include <vector>

namespace Platform {

struct DisplayModeInfo {
    int width = 0, height = 0;
    int refreshRate = 0;  // Hz; 0 when unknown
};

struct DisplayInfo {
    std::string name;
    int desktopWidth = 0, desktopHeight = 0;
    std::vector<DisplayModeInfo> modes;
};

// Every display in SDL's order (the first is the primary one). Needs
// Platform::Init; empty when SDL reports none.
std::vector<DisplayInfo> QueryDisplays();

}  // namespace Platform
