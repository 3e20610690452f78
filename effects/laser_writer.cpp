#include "effects/laser_writer.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "assets/catalogue.h"
#include "assets/resource_ids.h"
#include "assets/texture.h"
#include "core/maths.h"
#include "core/random.h"
#include "effects/bitmap_font.h"
#include "platform/file_io.h"
#include "platform/gpu.h"
#include "render/graphics_device.h"
#include "render/post_process.h"
#include "render/renderer_2d.h"
#include "timeline/active_effects.h"
#include "timeline/show_state.h"

char LaserText[kLaserLines][kLaserLineLength];

namespace {

// One generator for every laser writer of the run, never reseeded, so the
// flicker is the same in every run of the show.
EffectRandom s_random;
ShowStateReset s_resetRandom([] { s_random = EffectRandom(); });

constexpr float kCanvasWidth = 1280.0f;
constexpr float kSweepSpeed = 250.0f;  // canvas units per second: 5.12 s a line
constexpr float kHoldSeconds = 2.0f;
constexpr float kPi = 3.14159265f;

// The beam's blue, as fractions of the full colour.
constexpr float kBeamR = 0.53333336f, kBeamG = 0.8901961f, kBeamB = 0.9882353f;

using Renderer2D::TexturedVertex2D;
using Renderer2D::Vertex2D;

}  // namespace

void ReadLaserText(const char* data, size_t size) {
    std::memset(LaserText, 0, sizeof LaserText);
    int line = 0, column = 0;
    for (size_t i = 0; line < kLaserLines && i < size; ++i) {
        char c = data[i];
        // A CR LF pair is one line feed, as text mode reads it on the
        // platform the text was written for; a lone CR is an ordinary byte.
        if (c == '\r' && i + 1 < size && data[i + 1] == '\n') c = data[++i];
        if (c == '\n') {
            ++line;
            column = 0;
        } else if (column < kLaserLineLength - 1) {
            LaserText[line][column++] = c;  // the rest of the line stays NUL
        }
    }
}

void ReadLaserText(const char* path) {
    std::string text, error;
    switch (Platform::ReadSmallFile(path, kMaxLaserFileBytes, &text, &error)) {
    case Platform::ReadResult::Ok: break;
    case Platform::ReadResult::Missing: error = std::strerror(ENOENT); [[fallthrough]];
    case Platform::ReadResult::Failed:
        std::fprintf(stderr, "lumivane: cannot read %s (%s); the laser writes empty lines\n", path, error.c_str());
        break;
    }
    ReadLaserText(text.data(), text.size());
}

uint8_t LaserTextAlpha(float holdTime) { return LevelToByte(1.0f - holdTime * 0.5f); }

CLaserWriter::CLaserWriter() {
    ReadLaserText("laser.txt");
    font = BitmapFont::Create(GetTexture(kTexLaserFont), "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789!?.-", 2.0f, 24.0f,
                              0xFFFFFFFFu);
    textTarget = GraphicsDevice::CreateViewTarget();
}

CLaserWriter::~CLaserWriter() {
    BitmapFont::Destroy(&font);
    DeleteTexture(textTarget);
}

void CLaserWriter::Update(float dt) {
    CEffect::Update(dt);
    if (laserX < kCanvasWidth) {
        laserX += kSweepSpeed * dt;
        return;
    }
    holdTime += dt;
    if (holdTime > kHoldSeconds) {
        holdTime = 0.0f;
        laserX -= kCanvasWidth;  // keeps the overshoot
        smokeOffset = s_random.RandomRange(0.0f, 0.2f);
        if (++lineIndex == kLaserLines) {
            lineIndex = 0;
            ActiveEffectList::Retire(this);
        }
    }
}

// The current line, white on transparent black, centred on the canvas. Only
// a new line is drawn: the target keeps it for the frames of its sweep.
void CLaserWriter::DrawTextTarget() {
    // Without its own target the clear below would wipe the frame instead.
    if (!textTarget || !textTarget->surface || textTargetLine == lineIndex) return;
    textTargetLine = lineIndex;
    const ViewValues& view = GraphicsDevice::View();
    Gpu::Surface* saved = GraphicsDevice::SetRenderTexture(textTarget);
    // The file's text is drawn as it is: a % in it is a character, not a
    // conversion that would read arguments nobody passed.
    const char* line = LaserText[lineIndex];
    Vector2 size;
    BitmapFont::Measure(font, &size, 1.0f, "%s", line);
    GraphicsDevice::Clear(0x00000000);
    const Vector2 position((view.viewWidth - view.scaleX * size.x) * 0.5f / view.scaleX,
                           (view.viewHeight - view.scaleY * size.y) * 0.5f / view.scaleY);
    BitmapFont::Draw(font, &position, 0xFFFFFFFF, 1.0f, "%s", line);
    GraphicsDevice::RestoreRenderTarget(saved);
    // The glyphs' quads cover these rows (and sit half a pixel lower); the
    // rest of the target stays clear.
    textTop = static_cast<int>(std::floor(position.y * view.scaleY));
    textBottom = size.y > 0.0f ? static_cast<int>(std::ceil((position.y + size.y) * view.scaleY)) + 1 : textTop;
}

// The flicker of one frame of the sweep: five draws, in this order.
CLaserWriter::BeamFlicker CLaserWriter::NextBeamFlicker() {
    BeamFlicker f;
    f.flareAlpha = s_random.RandomRange(0.4f, 1.0f);
    f.angle = s_random.RandomRange(0.0f, 6.2831855f);
    f.fanAlpha = s_random.RandomRange(0.4f, 0.45f);
    f.u0 = s_random.RandomRange(0.0f, 0.1f);
    f.v0 = s_random.RandomRange(0.0f, 0.1f);
    return f;
}

// Flare, fan, beam, edge rays and the burning slice of text, bloomed.
void CLaserWriter::DrawBeamScene(float intensity) {
    const ViewValues& view = GraphicsDevice::View();
    const float cx = 640.0f, cy = 360.0f;
    const float top = 360.0f - 720.0f * 0.7f, bottom = 360.0f + 720.0f * 0.7f;  // -144 and 864
    PostProcessChain::BeginScene(0x00000000);

    // The flare at the emitter, brightest in the middle of the sweep.
    const BeamFlicker flicker = NextBeamFlicker();
    const float c = intensity * intensity * intensity;
    const uint32_t flareColour = ColourFromFloats(flicker.flareAlpha, kBeamR * c, kBeamG * c, kBeamB * c);
    if (Texture* flare = GetTexture(kTexLaserFlare)) {
        const Vector2 half = flare->GetSize();
        const Vector2 position = Vector2(cx, cy) - half, size = half * 2.0f;
        Renderer2D::DrawRotatedQuad(flare, &position, &size, flicker.angle, flareColour);
    }

    // The fan: one smoky triangle from the emitter to the beam.
    const uint32_t fanColour =
        ColourFromFloats(flicker.fanAlpha, kBeamR * intensity, kBeamG * intensity, kBeamB * intensity);
    const float u0 = flicker.u0 + smokeOffset;
    const float v0 = flicker.v0 + smokeOffset;
    const float sx = view.scaleX, sy = view.scaleY;
    if (Texture* smoke = GetTexture(kTexLaserSmoke)) {
        const TexturedVertex2D fan[3] = {
            {cx * sx, cy * sy, 0.0f, 1.0f, fanColour, u0, v0},
            {laserX * sx, top * sy, 0.0f, 1.0f, fanColour, 1.0f, v0},
            {laserX * sx, bottom * sy, 0.0f, 1.0f, fanColour, 1.0f, v0 + 0.8f},
        };
        Renderer2D::DrawTexturedTriangle(smoke, fan);
    }

    // The beam itself, 8 units wide, and a faint ray along each edge of the fan.
    const uint32_t beam = ColourFromFloats(0.8f, kBeamR * intensity, kBeamG * intensity, kBeamB * intensity);
    const Vector2 beamPosition(laserX - 4.0f, top), beamSize(8.0f, bottom - top);
    Renderer2D::DrawQuad(&beamPosition, &beamSize, beam);
    const uint32_t ray = (beam & 0x00FFFFFFu) | 0x60000000u;
    const Vertex2D upper[3] = {
        {cx * sx, cy * sy, 0.0f, 1.0f, ray},
        {laserX * sx, top * sy, 0.0f, 1.0f, ray},
        {laserX * sx, (top + 16.0f) * sy, 0.0f, 1.0f, ray},
    };
    const Vertex2D lower[3] = {
        {cx * sx, cy * sy, 0.0f, 1.0f, ray},
        {laserX * sx, bottom * sy, 0.0f, 1.0f, ray},
        {laserX * sx, (bottom - 16.0f) * sy, 0.0f, 1.0f, ray},
    };
    Renderer2D::DrawTriangle(upper);
    Renderer2D::DrawTriangle(lower);

    // The slice of text under the beam, 32 texels wide, burning.
    if (textTarget) {
        const Vector2 position(laserX - 32.0f - 16.0f, -16.0f);
        const Vector2 size(64.0f, static_cast<float>(textTarget->height) / view.scaleY + 32.0f);
        const Vector2 uvOrigin(laserX / kCanvasWidth, 0.0f), uvSize(view.pixelRatio[0] * 32.0f, 1.0f);
        Renderer2D::DrawTexturedQuadPart(textTarget, &position, &size, &uvOrigin, &uvSize, 0xFFFFFFFF);
    }

    PostProcessChain::EndScene();
    PostProcessChain::BeginPasses();
    PostProcessChain::ApplyEffect(GetEffect(kFxDownFilter4));
    PostProcessChain::ApplyEffect(GetEffect(kFxBloomH));  // the bloom's blur, twice
    PostProcessChain::ApplyEffect(GetEffect(kFxBloomV));
    PostProcessChain::ApplyEffect(GetEffect(kFxBloomH));
    PostProcessChain::ApplyEffect(GetEffect(kFxBloomV));
    PostProcessChain::ApplyLastEffect(GetEffect(kFxCombine4));
}

// The beam flickers only while it sweeps; a frame that is not drawn still
// takes its flicker from the generator.
void CLaserWriter::SkipRender() {
    if (holdTime == 0.0f) NextBeamFlicker();
}

void CLaserWriter::Render() {
    // 0 at both ends of the sweep, 1 in the middle.
    const float a = laserX / kCanvasWidth * kPi;
    const float intensity = std::sin(a) * std::sin(a);
    DrawTextTarget();
    if (holdTime == 0.0f) DrawBeamScene(intensity);

    // The text left of the beam, fading out over the hold. The quad shows
    // the text target pixel for pixel, one row lower: only the rows with
    // letters (and two to spare each side) can change, so only those are
    // drawn; the rest of the target is clear and would change nothing.
    if (textTarget && textBottom > textTop) {
        const ViewValues& view = GraphicsDevice::View();
        const uint32_t colour = static_cast<uint32_t>(LaserTextAlpha(holdTime)) << 24 | 0xFFFFFFu;
        const Vector2 origin(0.0f, 0.0f), size(laserX, static_cast<float>(textTarget->height) / view.scaleY);
        const Vector2 uvSize(laserX / kCanvasWidth, 1.0f);
        Gpu::SetScissorRect({0, textTop - 2, static_cast<int>(view.viewWidth), textBottom + 3});
        Gpu::SetRenderState(Gpu::kRsScissorTestEnable, 1);
        Renderer2D::DrawTexturedQuadPart(textTarget, &origin, &size, &origin, &uvSize, colour);
        Gpu::SetRenderState(Gpu::kRsScissorTestEnable, 0);
    }
}

LUMIVANE_REGISTER_EFFECT(CLaserWriter, CCLaserWriter, kLaserWriter);
