// The device module: turns the display settings into a window and a GPU
// device, holds the view values every drawing module shares (picture size,
// 1280x720 layout scale, fade overlay, clear colour), and runs the frame.
#pragma once
#include <cstdint>

struct DisplaySettings {
    float windowWidth = 1280.0f, windowHeight = 720.0f;
    int aspectIndex = 1;  // 0 "4:3", 1 "16:9", 2 "16:10"
    bool windowed = true;
    bool vsync = false;
    float virtualWidth = 1280.0f, virtualHeight = 720.0f;  // 2D layout space
    int requiredShaderMajor = 3;

    static DisplaySettings& Get();
};

// The picture area and scale derived from the display settings.
struct ViewValues {
    float viewWidth = 1280.0f, viewHeight = 720.0f;
    float scaleX = 1.0f, scaleY = 1.0f;  // pixels per layout unit
    float pixelRatio[2] = {1.0f / 1280.0f, 1.0f / 720.0f};

    // "4:3" letterboxes the 16:9 picture: its height is windowHeight scaled by
    // windowHeight / windowWidth (1024x768 gives 576).
    static ViewValues FromSettings(const DisplaySettings& settings);
};

namespace GraphicsDevice {

// Runs the setup dialog through the application, then creates the hidden
// window and the device. False: the show does not start; `cancelled` tells
// whether the viewer declined (not an error) or the device failed.
bool Create(bool* cancelled = nullptr);
void Destroy();
void ShowWindow(bool show);

bool BeginScene();
void EndScene();
void Clear(uint32_t colour);      // colour of render target 0 only
void ClearDepth(float depth);     // depth only
void Present();                   // fade overlay, then present

const ViewValues& View();
float GetLetterboxHeight();       // one bar: (windowHeight - viewHeight) / 2

void SetFade(uint8_t level);      // alpha of the black overlay at present
uint8_t GetFade();
uint32_t* GetClearColour();
void SetClearColour(uint32_t colour);

}  // namespace GraphicsDevice
