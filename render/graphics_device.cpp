#include "render/graphics_device.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "assets/asset_source.h"
#include "assets/effect_file.h"
#include "assets/resource_ids.h"
#include "assets/texture.h"
#include "platform/gpu.h"
#include "platform/window.h"
#include "render/builtin_effects.h"
#include "render/renderer_2d.h"
#include "render/screen_overlay.h"
#include "render/text_font.h"

DisplaySettings& DisplaySettings::Get() {
    static DisplaySettings s_settings;
    return s_settings;
}

ViewValues ViewValues::FromSettings(const DisplaySettings& s) {
    ViewValues v;
    v.viewWidth = s.windowWidth;
    v.viewHeight = s.windowHeight;
    if (s.aspectIndex == 0) v.viewHeight = s.windowHeight / (s.windowWidth / s.windowHeight);
    v.scaleX = s.windowWidth / s.virtualWidth;
    v.scaleY = v.viewHeight / s.virtualHeight;
    v.pixelRatio[0] = 1.0f / s.windowWidth;
    v.pixelRatio[1] = 1.0f / s.windowHeight;
    return v;
}

namespace GraphicsDevice {

static ViewValues s_view;
static uint8_t s_fadeLevel = 255;  // the first frames are black
static uint32_t s_clearColour = 0xFFFFFFFF;
static bool s_created = false;
static Matrix s_orthoMatrix;
static Gpu::Effect* s_effect2D = nullptr;
static Gpu::VertexDeclaration* s_declarations[kVertexDeclarationCount] = {};
static FontHolder* s_font = nullptr;

// The ten shared vertex layouts (stream 0, usage index 0 throughout).
static void CreateVertexDeclarations() {
    using Gpu::DeclType;
    using Gpu::DeclUsage;
    using E = Gpu::VertexElement;
    const E position{0, DeclType::Float3, DeclUsage::Position, 0};
    const E positionT{0, DeclType::Float4, DeclUsage::PositionT, 0};
    const E d0[] = {position};
    const E d1[] = {position, {12, DeclType::Colour, DeclUsage::Colour, 0}};
    const E d2[] = {positionT, {16, DeclType::Colour, DeclUsage::Colour, 0}};
    const E d3[] = {
        position, {12, DeclType::Colour, DeclUsage::Colour, 0}, {16, DeclType::Float3, DeclUsage::Normal, 0}};
    const E d4[] = {position, {12, DeclType::Float2, DeclUsage::TexCoord, 0}};
    const E d5[] = {
        position, {12, DeclType::Colour, DeclUsage::Colour, 0}, {16, DeclType::Float2, DeclUsage::TexCoord, 0}};
    const E d6[] = {
        positionT, {16, DeclType::Colour, DeclUsage::Colour, 0}, {20, DeclType::Float2, DeclUsage::TexCoord, 0}};
    const E d7[] = {position,
                    {12, DeclType::Colour, DeclUsage::Colour, 0},
                    {16, DeclType::Float3, DeclUsage::Normal, 0},
                    {28, DeclType::Float2, DeclUsage::TexCoord, 0}};
    const E d8[] = {position, {12, DeclType::Float3, DeclUsage::Normal, 0}};
    const E d9[] = {
        position, {12, DeclType::Float3, DeclUsage::Normal, 0}, {24, DeclType::Float2, DeclUsage::TexCoord, 0}};
    const struct {
        const E* elements;
        unsigned count;
    } all[kVertexDeclarationCount] = {{d0, 1}, {d1, 2}, {d2, 2}, {d3, 3}, {d4, 2},
                                      {d5, 3}, {d6, 3}, {d7, 4}, {d8, 2}, {d9, 3}};
    for (int i = 0; i < kVertexDeclarationCount; ++i)
        s_declarations[i] = Gpu::CreateVertexDeclaration(all[i].elements, all[i].count);
}

static FontHolder* CreateFont(int height) {
    AssetBytes bytes;
    if (!OpenAsset(kFontText, "RCDATA", "font", &bytes)) return nullptr;
    TextFont* font = CreateTextFont(bytes.data, bytes.size, height);
    if (!font) return nullptr;
    FontHolder* holder = new FontHolder;
    holder->font = font;
    return holder;
}

bool Create() {
    const DisplaySettings& settings = DisplaySettings::Get();
    s_view = ViewValues::FromSettings(settings);

    int width = static_cast<int>(settings.windowWidth);
    int height = static_cast<int>(settings.windowHeight);
    // Windowed (or when full screen falls back to a window): centred on the
    // primary display; a window larger than the display overhangs both edges
    // equally.
    int screenWidth, screenHeight;
    Platform::GetDisplaySize(&screenWidth, &screenHeight);
    int x = (screenWidth - width) / 2;
    int y = (screenHeight - height) / 2;
    const char* error = nullptr;
    Platform::WindowDesc desc{"Lumivane - ZOPa", x, y, width, height, !settings.windowed, settings.vsync};
    if (!Platform::CreateMainWindow(desc, &error)) {
        std::fprintf(stderr, "lumivane: cannot open the window with the OpenGL 3.3 core context the show needs: %s\n",
                     error);
        return false;
    }
    if (!Gpu::CreateDevice(width, height, &error)) {
        std::fprintf(stderr, "lumivane: cannot create the graphics device: %s\n", error);
        Platform::DestroyMainWindow();
        return false;
    }
    if (Gpu::PixelShaderMajor() < settings.requiredShaderMajor)
        Platform::WarningBox("This code won't run on your GPU", "");
    s_font = CreateFont(static_cast<int>(s_view.scaleY * 24.0f));

    // The states that hold for the whole run unless a drawing module changes
    // them. Blending itself stays off.
    Gpu::SetRenderState(Gpu::kRsCullMode, Gpu::kCullCW);
    Gpu::SetRenderState(Gpu::kRsLighting, 0);
    Gpu::SetRenderState(Gpu::kRsZEnable, 1);
    Gpu::SetRenderState(Gpu::kRsAlphaTestEnable, 1);
    Gpu::SetRenderState(Gpu::kRsAlphaRef, 1);
    Gpu::SetRenderState(Gpu::kRsAlphaFunc, Gpu::kCmpGreaterEqual);
    Gpu::SetRenderState(Gpu::kRsSrcBlend, Gpu::kBlendSrcAlpha);
    Gpu::SetRenderState(Gpu::kRsDestBlend, Gpu::kBlendInvSrcAlpha);
    Gpu::SetRenderState(Gpu::kRsBlendOp, Gpu::kBlendOpAdd);

    s_effect2D = CreateEffectFromMemory(kEffect2DSource);
    // Pixels of the view, origin top-left, y down.
    s_orthoMatrix = MatrixOrthoOffCenterRH(0.0f, s_view.viewWidth, s_view.viewHeight, 0.0f, 0.0f, 1.0f);
    Platform::ShowCursor(false);
    CreateVertexDeclarations();
    s_created = true;
    return true;
}

void Destroy() {
    if (!s_created) return;
    for (Gpu::VertexDeclaration*& d : s_declarations) {
        Gpu::ReleaseVertexDeclaration(d);
        d = nullptr;
    }
    if (s_font) {
        DestroyTextFont(s_font->font);
        delete s_font;
        s_font = nullptr;
    }
    ReleaseScreenOverlays();
    Gpu::ReleaseEffect(s_effect2D);
    s_effect2D = nullptr;
    Gpu::DestroyDevice();
    Platform::DestroyMainWindow();
    s_created = false;
}

void ShowWindow(bool show) { Platform::ShowMainWindow(show); }

bool BeginScene() { return s_created; }
void EndScene() {}

void Clear(uint32_t colour) { Gpu::Clear(Gpu::kClearTarget, colour, 0.0f); }
void ClearDepth(float depth) { Gpu::Clear(Gpu::kClearZBuffer, 0, depth); }

void Present() {
    Renderer2D::FlushLines();
    if (s_fadeLevel != 0) {
        // The quad adds half a pixel to its corners; starting half a pixel
        // before the window's corner makes it cover every pixel, the top
        // row and left column included.
        const DisplaySettings& display = DisplaySettings::Get();
        const Vector2 position(-0.5f, -0.5f), size(display.windowWidth, display.windowHeight);
        Renderer2D::DrawFullscreenFade(&position, &size, static_cast<uint32_t>(s_fadeLevel) << 24);
    }
    Gpu::Present();
}

const ViewValues& View() { return s_view; }

float GetLetterboxHeight() { return (DisplaySettings::Get().windowHeight - s_view.viewHeight) * 0.5f; }

void SetFade(uint8_t level) { s_fadeLevel = level; }
uint8_t GetFade() { return s_fadeLevel; }
uint32_t* GetClearColour() { return &s_clearColour; }
void SetClearColour(uint32_t colour) { s_clearColour = colour; }

const Matrix& GetOrthoMatrix() { return s_orthoMatrix; }

Gpu::VertexDeclaration* GetVertexDeclaration(int index) {
    return index >= 0 && index < kVertexDeclarationCount ? s_declarations[index] : nullptr;
}

Gpu::Effect* GetEffect2D() { return s_effect2D; }

Gpu::Effect* CreateEffectFromResource(int resourceId, const char* name) { return LoadEffectResource(resourceId, name); }

Gpu::Effect* CreateEffectFromMemory(const char* source) {
    if (!source) return nullptr;
    return Gpu::CreateEffect(source, std::strlen(source), "the effect text");
}

Texture* CreateViewTarget(Gpu::Format format) {
    return Texture::CreateRenderTarget(static_cast<unsigned>(s_view.viewWidth),
                                       static_cast<unsigned>(s_view.viewHeight), format);
}

Gpu::Surface* GetRenderTarget() { return Gpu::GetRenderTarget(); }

Gpu::Surface* SetRenderTexture(Texture* texture) {
    Gpu::Surface* previous = Gpu::GetRenderTarget();
    if (texture && texture->surface) Gpu::SetRenderTarget(texture->surface);
    return previous;
}

void RestoreRenderTarget(Gpu::Surface* surface) {
    if (!surface) return;
    Gpu::SetRenderTarget(surface);
    Gpu::Release(surface);
}

FontHolder* GetFont() { return s_font; }

void PrintText(FontHolder* font, const Vector2* position, uint32_t colour, const char* format, ...) {
    // One buffer for every call; formatting stops at its end, whatever the
    // format asks for.
    static char s_text[2048];
    if (!font || !font->font || !position || !format) return;
    va_list args;
    va_start(args, format);
    int length = std::vsnprintf(s_text, sizeof s_text, format, args);
    va_end(args);
    if (length < 0) return;
    size_t used = static_cast<size_t>(length) < sizeof s_text ? static_cast<size_t>(length) : sizeof s_text - 1;
    DrawTextFont(font->font, s_text, used, static_cast<int>(position->x * s_view.scaleX),
                 static_cast<int>(position->y * s_view.scaleY), static_cast<int>(s_view.viewWidth),
                 static_cast<int>(s_view.viewHeight), colour);
}

}  // namespace GraphicsDevice
