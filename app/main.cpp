// Lumivane: a real-time show by Tavorin. See README.md.
#include <cstdio>
#include <filesystem>
#include <string>

#include "app/capture.h"
#include "app/command_line.h"
#include "app/entry.h"
#include "app/lumivane.h"
#include "assets/asset_source.h"
#include "platform/isolated.h"
#include "platform/window.h"
#include "render/graphics_device.h"

int main(int argc, char** argv) {
    // Started again by ourselves to read a mesh in a process of its own?
    Platform::RunIsolatedWorkIfAsked();
    CommandLine commandLine;
    std::string error;
    if (!ParseCommandLine(argc, argv, &commandLine, &error)) {
        std::fprintf(stderr, "lumivane: %s (try --help)\n", error.c_str());
        return 2;
    }
    if (commandLine.help) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (!commandLine.dataDir.empty()) {
        std::error_code ec;
        if (!std::filesystem::is_directory(commandLine.dataDir, ec)) {
            std::fprintf(stderr, "lumivane: --data '%s' is not a folder (try --help)\n", commandLine.dataDir.c_str());
            return 2;
        }
        SetAssetFolder(commandLine.dataDir);
    }
    if (!commandLine.capture) {
        // Without a screen the show would play unseen for minutes.
        if (!Platform::HasDisplay()) {
            std::fputs(
                "lumivane: there is no display to play the show on; capture it instead with "
                "--capture show.mp4 (./play.sh does that by itself)\n",
                stderr);
            return 1;
        }
        TheLumivane().displayOptions = commandLine.displayOptions;
        return RunShow(nullptr, commandLine.captureOptions.from);
    }

    const CaptureOptions& options = commandLine.captureOptions;
    DisplaySettings& display = DisplaySettings::Get();
    display.windowWidth = static_cast<float>(options.width);
    display.windowHeight = static_cast<float>(options.height);
    display.aspectIndex = 1;  // "16:9": the picture fills the frame
    FrameCapture capture(options);
    if (!capture.CanStart()) return 1;
    return RunShow(&capture);
}
