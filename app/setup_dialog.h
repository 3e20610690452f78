// The setup dialog: before the show's window opens, the viewer picks a
// resolution, the monitor's shape, full screen and vsync. "Go!" (or Enter)
// writes the choices into the display settings and starts the show;
// "Depart" (Escape, or closing the window) ends the program.
//
// The dialog is laid out in dialog units and converted to pixels as Windows
// would for its font at 96 dpi; it is drawn with Dear ImGui in its own small
// window (platform/setup_window.h).
#pragma once
#include <string>
#include <vector>

#include "app/display_modes.h"

struct DisplaySettings;
namespace Platform {
struct SetupInput;
}

class SetupDialog {
public:
    // Starts from the preselection: the desktop's resolution and shape,
    // both check boxes off.
    explicit SetupDialog(DisplayModeList modes);

    enum class Outcome { Open, Go, Depart };
    // Lays out one ImGui frame of the dialog (`picture` is an ImTextureID,
    // or null for none) and handles this frame's input.
    Outcome Frame(const Platform::SetupInput& input, void* picture);

    // "Go!": the choices into the settings. Without any resolution the size
    // stays as it was.
    void Go(DisplaySettings* settings) const;

    DisplayModeList modes;
    int resolution = -1;  // selected "Resolution:" entry
    int aspect = 1;       // selected "Aspect Ratio:" entry: 0 "4:3", 1 "16:9", 2 "16:10"
    bool fullscreen = false;
    bool vsync = false;

private:
    std::vector<std::string> m_resolutionNames;  // "1920x1080", as the list shows them
};

// Runs the dialog over SDL's displays until the viewer decides. True, with
// the choices in `settings`, on "Go!"; false, with `settings` untouched, on
// "Depart". A dialog that cannot open says so on stderr and starts the show
// with its preselection.
bool RunSetupDialog(DisplaySettings* settings);

extern const char kSetupCaption[];  // the dialog window's title
