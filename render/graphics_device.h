// The device module: turns the display settings into a window and a GPU
// device, holds the view values every drawing module shares (picture size,
// 1280x720 layout scale, fade overlay, clear colour), and runs the frame.
#pragma once
#include <cstdint>

#include "core/maths.h"
#include "platform/gpu.h"
#include "render/vertex_declarations.h"

struct Texture;
struct FontHolder;

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

// Creates the hidden window and the device from the display settings (the
// setup dialog has filled them in). False, with one line on stderr, when
// either cannot be made.
bool Create();
void Destroy();
void ShowWindow(bool show);

bool BeginScene();
void EndScene();
void Clear(uint32_t colour);   // colour of render target 0 only
void ClearDepth(float depth);  // depth only
void Present();                // fade overlay, then present

const ViewValues& View();
float GetLetterboxHeight();  // one bar: (windowHeight - viewHeight) / 2

void SetFade(uint8_t level);  // alpha of the black overlay at present
uint8_t GetFade();
uint32_t* GetClearColour();
void SetClearColour(uint32_t colour);

// Orthographic projection over the view in pixels: origin top-left, y down.
const Matrix& GetOrthoMatrix();

// One of the ten shared vertex declarations (render/vertex_declarations.h);
// null for other numbers.
Gpu::VertexDeclaration* GetVertexDeclaration(int index);

// The built-in 2D effect (techniques PosCol2D, PosColTex2D, PosColTex2DAlpha,
// RenderLine).
Gpu::Effect* GetEffect2D();
// An effect from the RCDATA resource `resourceId`; `name` (its file-like
// name) labels error messages. Null when it is missing or does not compile.
Gpu::Effect* CreateEffectFromResource(int resourceId, const char* name);
Gpu::Effect* CreateEffectFromMemory(const char* source);

// A render-target texture of the view's size (the picture between the
// letterbox bars), as the scene and the effects' own targets are.
Texture* CreateViewTarget(Gpu::Format format = Gpu::kFormatA8R8G8B8);

// Render target 0 with a reference the caller releases.
Gpu::Surface* GetRenderTarget();
// Makes the render-target texture's surface render target 0 and returns the
// previous target with its reference (give it to RestoreRenderTarget). A
// texture without a surface leaves the target as it is.
Gpu::Surface* SetRenderTexture(Texture* texture);
// Makes `surface` render target 0 again and releases the caller's reference.
void RestoreRenderTarget(Gpu::Surface* surface);

// The text font (null when it could not be made).
FontHolder* GetFont();
// printf-style text at a position of the 1280x720 layout space, left- and
// top-aligned, clipped to the view; drawn into the current target. The
// result is cut at 2047 characters.
void PrintText(FontHolder* font, const Vector2* position, uint32_t colour, const char* format, ...)
    __attribute__((format(printf, 4, 5)));

}  // namespace GraphicsDevice
