#include "effects/meta_writer.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "assets/catalogue.h"
#include "assets/resource_ids.h"
#include "assets/texture.h"
#include "core/camera.h"
#include "core/frame_timer.h"
#include "core/tweaks.h"
#include "effects/bitmap_font.h"
#include "platform/file_io.h"
#include "platform/gpu.h"
#include "render/graphics_device.h"
#include "render/renderer_2d.h"
#include "render/vertex_declarations.h"
#include "timeline/show_levels.h"
#include "timeline/show_state.h"
#include "timeline/show_times.h"
#include "timeline/sync.h"
#include "timeline/timeline.h"

namespace {

constexpr char kTextFile[] = "scroller.txt";
constexpr float kPi = 3.1415927f;
constexpr float kWorldScale = 1.5f;  // letters and camera presets
constexpr float kGroundHalfSize = 100.0f, kGroundRepeat = 100.0f;
constexpr float kFadeSeconds = 0.25f;

}  // namespace

const Vector3 MetaCameraPresets[kMetaCameraPresets][2] = {
    {{-2.465953f, 0.64428f, 1.51817f}, {-2.465929f, -0.155679f, 1.509112f}},
    {{-1.85445f, 3.880505f, 1.929084f}, {-1.811359f, 2.998728f, 1.45939f}},
    {{-9.696623f, 3.196563f, 1.419555f}, {-9.049167f, 2.602831f, 0.941767f}},
    {{-2.907912f, 3.247383f, 2.38308f}, {-3.228933f, 2.513725f, 1.784171f}},
    {{-5.863457f, 6.075682f, 2.611695f}, {-5.763029f, 5.186896f, 2.164512f}},
    {{-1.395423f, 2.038478f, 1.228229f}, {-1.546968f, 1.251016f, 0.630787f}},
};

int ReadScrollerText(const char* data, size_t size, char text[kScrollerTextSize]) {
    // One byte more than the text holds, to tell a final line feed that
    // ends a full text from a text that goes on.
    char kept[kScrollerTextSize + 1];
    int count = 0;
    bool more = false;
    for (size_t i = 0; i < size; ++i) {
        char c = data[i];
        if (c == '\r' && i + 1 < size && data[i + 1] == '\n') c = data[++i];
        if (count == kScrollerTextSize + 1) {
            more = true;
            break;
        }
        kept[count++] = c;
    }
    if (!more && count > 0 && kept[count - 1] == '\n') --count;
    if (count > kScrollerTextSize - 1) {
        count = kScrollerTextSize - 1;
        std::fprintf(stderr, "lumivane: %s holds more than %d bytes; the scroller shows the first %d\n", kTextFile,
                     kScrollerTextSize - 1, kScrollerTextSize - 1);
    }
    std::memcpy(text, kept, static_cast<size_t>(count));
    text[count] = '\0';
    return count;
}

int ReadScrollerText(const char* path, char text[kScrollerTextSize]) {
    text[0] = '\0';
    std::string bytes, error;
    switch (Platform::ReadSmallFile(path, kMaxScrollerFileBytes, &bytes, &error)) {
    case Platform::ReadResult::Ok: break;
    case Platform::ReadResult::Missing: error = std::strerror(ENOENT); [[fallthrough]];
    case Platform::ReadResult::Failed:
        std::fprintf(stderr, "lumivane: cannot read %s (%s); the scroller runs without letters\n", path, error.c_str());
        return 0;
    }
    const int length = ReadScrollerText(bytes.data(), bytes.size(), text);
    if (length == 0) std::fprintf(stderr, "lumivane: %s holds no text; the scroller runs without letters\n", path);
    return length;
}

MetaWriterState& GetMetaWriterState() {
    static MetaWriterState state;
    return state;
}

void ResetMetaWriterState() { GetMetaWriterState() = MetaWriterState(); }

// A jump back: the next meta writer starts the scroller over as the first
// one of a run does (the text read again, the letters shuffled by the
// generator from its seed). The tweaks are the viewer's and keep their values.
static ShowStateReset s_resetState([] {
    MetaWriterState& state = GetMetaWriterState();
    const float ballLevel = state.ballLevel, metaLevel = state.metaLevel;
    const Vector4 letterColour = state.letterColour;
    ResetMetaWriterState();
    state.ballLevel = ballLevel;
    state.metaLevel = metaLevel;
    state.letterColour = letterColour;
});

float MetaWriterFade(float timeLeft, float duration) {
    if (timeLeft < kFadeSeconds) return 1.0f - 4.0f * timeLeft;                          // out to black
    if (timeLeft > duration - kFadeSeconds) return 1.0f - 4.0f * (duration - timeLeft);  // in from black
    return 0.0f;
}

namespace {

// The letter shapes from the meta font strip: points where the strip's blue
// channel says, shuffled with the meta writer's own generator.
void BuildLetterPoints(MetaWriterState& state) {
    Texture* strip = GetTexture(kTexMetaFont);
    BitmapFont* font = BitmapFont::Create(strip, kMetaGlyphList, 1.0f, 8.0f, 12);
    int bytesPerPixel = 0;
    const uint8_t* texels = strip ? strip->Lock(&bytesPerPixel) : nullptr;
    if (texels && bytesPerPixel == 4)
        BuildLetterShapes(*font, reinterpret_cast<const uint32_t*>(texels), strip->width, strip->height, state.random,
                          state.letters);
    else
        BuildLetterShapes(*font, nullptr, 0, 0, state.random, state.letters);
    if (texels) strip->Unlock();
    BitmapFont::Destroy(&font);
}

void Initialise(MetaWriterState& state) {
    state.textLength = ReadScrollerText(kTextFile, state.text);
    state.scrollX = state.letterWidth = 0.0f;
    state.textPos = 0;
    state.scrollSpeed = 0.1f;
    state.camNext = 1;
    state.camCurrent = 0;
    state.camPhase = 0.0f;
    BuildLetterPoints(state);
    state.field = std::make_unique<MetaballField>(kMetaGridCells, state.metaLevel, kMetaBallCount, kMetaMaxVertices,
                                                  kMetaMaxIndices);
    RegisterTweak("s_fBallLevel", &state.ballLevel, 0.001f, 0.0f, 3.4028235e38f, false);
    RegisterTweak("s_fMetaLevel", &state.metaLevel, 0.01f, 0.0f, 3.4028235e38f, false);
    RegisterTweak("s_vLetterColor.r", &state.letterColour.x, 0.01f, 0.0f, 1.0f, true);
    RegisterTweak("s_vLetterColor.g", &state.letterColour.y, 0.01f, 0.0f, 1.0f, true);
    RegisterTweak("s_vLetterColor.b", &state.letterColour.z, 0.01f, 0.0f, 1.0f, true);
    RegisterTweak("s_vLetterColor.a", &state.letterColour.w, 0.01f, 0.0f, 1.0f, true);
    // A level from tweaks.txt arrives with the registration, after the field
    // was made with the default: it takes effect from the first frame.
    state.field->SetLevel(state.metaLevel);
    for (Metaball*& ball : state.balls) {
        ball = state.field->AddBall();
        ball->position = Vector3(0.0f, 0.0f, 0.0f);
        ball->strength = 0.0f;
    }
    for (LetterMeshSlot& slot : state.slots) {
        slot.width = 0.0f;
        slot.vertexCount = slot.indexCount = 0;
        slot.vertices.resize(kMetaMaxVertices);
        slot.indices.resize(kMetaMaxIndices);
    }
    state.initialised = true;
}

// The character code of the letter at `pos`: bytes of 128 and above index
// the tables as themselves, never as negative numbers.
unsigned char LetterAt(const MetaWriterState& state, int pos) {
    return pos < state.textLength ? static_cast<unsigned char>(state.text[pos]) : 0;
}

// The live letter is frozen into the newest slot, the oldest slot's buffers
// are reused, and the next letter starts forming.
void NextLetter(MetaWriterState& state) {
    for (int k = 0; k < kMetaBallCount; ++k) {
        state.ballDelay[k] = -state.random.RandomRange(0.0f, 1.0f);
        const float x = state.random.RandomRange(-0.5f, 0.5f);
        const float z = state.random.RandomRange(-0.5f, 0.5f);
        state.ballStart[k] = Vector3(x, 0.0f, z);
    }
    std::rotate(state.slots, state.slots + 1, state.slots + kMetaSlots);  // moves buffers, allocates nothing
    LetterMeshSlot& newest = state.slots[kMetaSlots - 1];
    const MetaballField& field = *state.field;
    newest.width = state.letterWidth;
    newest.vertexCount = field.VertexCount();
    newest.indexCount = field.IndexCount();
    std::copy_n(field.Vertices(), newest.vertexCount, newest.vertices.data());
    std::copy_n(field.Indices(), newest.indexCount, newest.indices.data());
    if (newest.vertexCount > 0) {
        newest.boundsMin = newest.boundsMax = newest.vertices[0].position;
        for (int i = 1; i < newest.vertexCount; ++i) {
            const Vector3& p = newest.vertices[i].position;
            newest.boundsMin = Vector3(std::min(newest.boundsMin.x, p.x), std::min(newest.boundsMin.y, p.y),
                                       std::min(newest.boundsMin.z, p.z));
            newest.boundsMax = Vector3(std::max(newest.boundsMax.x, p.x), std::max(newest.boundsMax.y, p.y),
                                       std::max(newest.boundsMax.z, p.z));
        }
    }

    state.textPos += 1;
    if (state.textPos >= state.textLength) state.textPos = 0;
    state.scrollX += state.letterWidth;
    state.letterWidth = state.letters.advance[LetterAt(state, state.textPos)] * kWorldScale;
}

}  // namespace

CMetaWriter::CMetaWriter() {
    MetaWriterState& state = GetMetaWriterState();
    if (state.initialised) {
        blink = 0.0f;
        blinkRising = false;
        state.camPhase = 0.0f;
        return;
    }
    Initialise(state);
}

CMetaWriter::~CMetaWriter() {
    // The first cue still pending when an instance goes never fires.
    MetaWriterState& state = GetMetaWriterState();
    state.cueIndex = std::min(state.cueIndex + 1, ShowTimes::kMetaCueCount);
}

void CMetaWriter::Update(float dt) {
    CEffect::Update(dt);
    MetaWriterState& state = GetMetaWriterState();
    state.SpikeLevel += (SpikeTarget - state.SpikeLevel) * std::min(dt * 1.2f, 1.0f);
    UpdateCamera(dt);
    state.gridOffset -= state.scrollSpeed * dt;
    state.scrollSpeed += (4.0f - state.scrollSpeed) * std::min(dt * 0.07f, 1.0f);
    state.scrollX -= dt * state.scrollSpeed;
    if (state.scrollX <= -state.letterWidth) NextLetter(state);

    // The live letter: 0 as it starts, 2 once it has moved its own width. A
    // letter of no width (no glyph) is done at once.
    const float progress = state.letterWidth > 0.0f ? -state.scrollX / state.letterWidth * 2.0f : 2.0f;
    PlaceLetterBalls(state.letters.points[LetterAt(state, state.textPos)], progress, state.ballStart, state.ballDelay,
                     state.ballLevel, state.balls);
    state.field->Polygonise();
    state.field->SetLevel(state.metaLevel);  // a new level shows from the next frame
}

void CMetaWriter::UpdateCamera(float dt) {
    MetaWriterState& state = GetMetaWriterState();
    state.camPhase = std::min(state.camPhase + dt * 0.2f, 1.0f);  // a glide lasts 5 s
    // Cues follow the music: the timeline's time, not the frame clock.
    if (Timeline::DemoTime() >= ShowTimes::MetaCueTimes[state.cueIndex]) {
        state.cueIndex = std::min(state.cueIndex + 1, ShowTimes::kMetaCueCount);
        blinkRising = true;
    }
    if (blinkRising) {
        blink = std::min(blink + dt * 8.0f, 1.0f);
        if (blink == 1.0f) {
            // Black: cut to the preset the glide was heading for, and pick
            // the next one (never the start view 0, never the same twice).
            blinkRising = false;
            state.camPhase = 0.0f;
            state.camCurrent = state.camNext;
            do {
                state.camNext = static_cast<int>(state.random.Random16() % 5) + 1;
            } while (state.camNext == state.camCurrent);
        }
    } else {
        blink = std::max(blink - dt * 8.0f, 0.0f);
    }
    const float e = (1.0f - std::cos(state.camPhase * kPi)) * 0.5f;
    const Vector3* from = MetaCameraPresets[state.camCurrent];
    const Vector3* to = MetaCameraPresets[state.camNext];
    if (Camera* camera = GetActiveCamera()) {
        camera->SetPosition(Lerp(from[0], to[0], e) * kWorldScale);
        camera->SetTarget(Lerp(from[1], to[1], e) * kWorldScale, Vector3(0.0f, 1.0f, 0.0f));
    }
}

// The grid's scroll wraps by one tile and its flash follows the bass: both
// carry on from frame to frame, drawn or not.
void CMetaWriter::AdvanceGrid() {
    MetaWriterState& state = GetMetaWriterState();
    // One texture tile is 2 units wide, so the jump back is invisible.
    if (state.gridOffset < 2.0f) state.gridOffset += 2.0f;
    const float bass = GetSyncLevel(kSyncBass);
    const float target = bass > 0.5f ? bass * 4.0f : 0.0f;
    state.gridFlash += (target - state.gridFlash) * std::min(FrameTimer::GetDeltaTime() * 0.8f, 1.0f);
}

void CMetaWriter::SkipRender() { AdvanceGrid(); }

void CMetaWriter::Render() {
    AdvanceGrid();
    Gpu::Effect* effect = GetEffect(kFxScene);
    Gpu::SetRenderState(Gpu::kRsZEnable, 1);
    Gpu::SetRenderState(Gpu::kRsZWriteEnable, 1);
    Gpu::SetRenderState(Gpu::kRsAlphaBlendEnable, 1);
    Gpu::SetRenderState(Gpu::kRsAlphaTestEnable, 1);
    Gpu::SetRenderState(Gpu::kRsCullMode, Gpu::kCullCW);
    if (effect) {
        const Camera* camera = GetActiveCamera();
        SetCameraMatrices(effect, camera);
        effect->SetMatrix("g_mViewInverse", MatrixInverseAffine(camera ? camera->GetView() : kIdentity));
        DrawGrid();
        DrawLetters();
    }

    // Black over the edges of the instance's life, else the blink; the
    // scroller overlay on top, fading with it.
    const uint8_t fade = LevelToByte(MetaWriterFade(timeLeft, duration));
    const uint8_t black = fade != 0 ? fade : LevelToByte(blink);
    const Vector2 origin(0.0f, 0.0f), canvas(1280.0f, 720.0f);
    if (black != 0) Renderer2D::DrawQuad(&origin, &canvas, static_cast<uint32_t>(black) << 24);  // 0 changes nothing
    if (Texture* overlay = GetTexture(kTexScrollerOverlay)) {
        const Vector2 size = overlay->GetSize();
        // Its middle is clear: left out, the same pixels for half the work.
        Renderer2D::DrawTexturedQuadSparse(overlay, &origin, &size,
                                           static_cast<uint32_t>(255 - fade) << 24 | 0xFFFFFFu);
    }
}

void CMetaWriter::DrawGrid() {
    MetaWriterState& state = GetMetaWriterState();
    Gpu::Effect* effect = GetEffect(kFxScene);
    effect->SetFloat("g_fGridFlash", state.gridFlash + 0.4f);
    effect->SetFloat("g_fGridOffset", state.gridOffset);
    effect->SetMatrix("g_mModel", MatrixTranslation(state.gridOffset, 0.0f, 0.0f));
    Texture* grid = GetTexture(kTexGrid);
    effect->SetTexture("g_txTexture", grid ? grid->texture : nullptr);
    effect->SetTechnique("TechGrid");

    struct GroundVertex {
        float x, y, z, u, v;
    };
    const float h = kGroundHalfSize, r = kGroundRepeat;
    const GroundVertex ground[4] = {
        {-h, 0.0f, -h, 0.0f, 0.0f}, {-h, 0.0f, h, 0.0f, r}, {h, 0.0f, -h, r, 0.0f}, {h, 0.0f, h, r, r}};
    Gpu::SetVertexDeclaration(GraphicsDevice::GetVertexDeclaration(kDeclPosTex));
    Gpu::ForEachPass(effect, [&] { Gpu::DrawPrimitiveUP(Gpu::kTriangleStrip, 2, ground, sizeof(GroundVertex)); });
}

void CMetaWriter::DrawLetters() {
    MetaWriterState& state = GetMetaWriterState();
    Gpu::Effect* effect = GetEffect(kFxScene);
    const Matrix scale = MatrixScaling(kWorldScale, 1.0f, kWorldScale);
    // Flattened onto the ground and moved a little to the side.
    Matrix shadow = MatrixScaling(1.0f, 0.0f, 1.0f);
    shadow.SetTranslation(Vector3(0.05f, 0.001f, 0.05f));
    float x = state.scrollX / kWorldScale;

    Gpu::SetRenderState(Gpu::kRsZEnable, 1);
    Gpu::SetRenderState(Gpu::kRsZWriteEnable, 1);
    Gpu::SetRenderState(Gpu::kRsCullMode, Gpu::kCullCW);
    effect->SetFloat("g_fDistortScale", state.SpikeLevel);
    effect->SetVector("g_vLightDir", Vector4(0.25f, 0.5f, 0.25f, 0.0f));
    Texture* grid = GetTexture(kTexGrid);
    effect->SetTexture("g_txTexture", grid ? grid->texture : nullptr);
    effect->SetTechnique("TechMetaball");

    // A letter in its colour, then its shadow: black, which the shader
    // turns into a faint flat grey.
    const Vector4 shadowColour(0.0f, 0.0f, 0.0f, 1.0f);
    // Letters scrolled out of the picture are left out, with their shadows:
    // most of the 16 frozen ones at any moment. The spikes push the surface
    // out by up to half the spike level.
    const Camera* camera = GetActiveCamera();
    const Matrix viewProj = camera ? camera->GetView() * camera->GetProjection() : kIdentity;
    const float spikeReach = 0.5f * std::abs(state.SpikeLevel);
    auto inView = [&](const LetterMeshSlot* slot, const Matrix& model) {
        if (!slot || !camera) return true;
        Vector3 lo, hi;
        TransformBox(slot->boundsMin, slot->boundsMax, model, &lo, &hi);
        const Vector3 reach(spikeReach, spikeReach, spikeReach);
        return !BoxOutsideView(lo - reach, hi + reach, viewProj);
    };
    auto drawWithShadow = [&](const LetterMeshSlot* slot, auto draw) {
        const Matrix model = MatrixTranslation(x, 0.0f, 0.0f) * scale;
        if (inView(slot, model)) {
            effect->SetVector("g_vDiffuseColor", state.letterColour);
            effect->SetMatrix("g_mModel", model);
            draw();
        }
        const Matrix flattened = shadow * model;
        if (inView(slot, flattened)) {
            effect->SetVector("g_vDiffuseColor", shadowColour);
            effect->SetMatrix("g_mModel", flattened);
            draw();
        }
    };
    drawWithShadow(nullptr, [&] { state.field->Draw(effect, false); });
    // The frozen letters, newest first, each one its width further left.
    for (int s = kMetaSlots - 1; s >= 0; --s) {
        const LetterMeshSlot& slot = state.slots[s];
        x -= slot.width / kWorldScale;
        if (slot.vertexCount == 0) continue;
        drawWithShadow(&slot, [&] {
            MetaballField::DrawMesh(effect, slot.vertices.data(), slot.vertexCount, slot.indices.data(),
                                    slot.indexCount);
        });
    }
}

LUMIVANE_REGISTER_EFFECT(CMetaWriter, CCMetaWriter, kMetaWriter);
