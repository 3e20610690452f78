// CMetaWriter: the 3D text scroller. The text of scroller.txt is spelled out
// one character at a time as a blob of up to 64 metaballs that fly in from
// random spots and settle into the letter's shape, lying on a scrolling
// ground grid that flashes with the bass. When the text has scrolled one
// letter width the finished surface is frozen into one of 16 stored meshes
// (the last 16 letters stay in a row behind the live one) and the next letter
// starts. Every letter casts a flat, faint shadow. The camera glides between
// preset views and cuts to the next one on the music's cue times behind a
// short black blink; each instance fades in and out over a quarter second
// under the scroller overlay.
//
// The timeline starts it seven times, between the head and hand shots.
// Nearly all of its state is process-wide (MetaWriterState) and carries on
// from one instance to the next, so the text continues where it stopped.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "core/maths.h"
#include "core/metaballs.h"
#include "core/random.h"
#include "effects/meta_letters.h"
#include "timeline/effect.h"

constexpr int kScrollerTextSize = 1024;  // 1023 bytes of text and a terminator
constexpr int kMetaSlots = 16;           // frozen letters kept; slot 15 is the newest
constexpr int kMetaGridCells = 48;
constexpr int kMetaMaxVertices = 10000;
constexpr int kMetaMaxIndices = 30000;
constexpr int kMetaCameraPresets = 6;

// The scroller's text from a file read in binary: a CR LF pair counts as one
// line feed (a lone CR is a byte like any other), one final line feed is
// dropped, every other byte is kept (at most 1023; a longer file is cut with
// one line on stderr). Returns the number of bytes kept; the text is
// NUL-terminated after them. A missing, unreadable or empty file says so in
// one stderr line and gives no text, and so does one that is not a regular
// file or is larger than kMaxScrollerFileBytes: it is not read at all.
int ReadScrollerText(const char* data, size_t size, char text[kScrollerTextSize]);
int ReadScrollerText(const char* path, char text[kScrollerTextSize]);
// Far more than the 1023 bytes shown; a larger file is not a scroller text.
constexpr size_t kMaxScrollerFileBytes = 64 * 1024;

// One frozen letter: its mesh, copied from the field, and its advance.
struct LetterMeshSlot {
    int vertexCount = 0;
    int indexCount = 0;
    std::vector<MetaVertex> vertices;  // kMetaMaxVertices, allocated once
    std::vector<uint16_t> indices;     // kMetaMaxIndices, allocated once
    float width = 0.0f;                // world units
    Vector3 boundsMin, boundsMax;      // of the vertices' positions, in the letter's own units
};

// Everything the instances share. Built by the first one, never released.
struct MetaWriterState {
    bool initialised = false;
    char text[kScrollerTextSize] = {};
    int textLength = 0;  // bytes of text; 0 runs the scroller without letters
    LetterShapes letters;
    std::unique_ptr<MetaballField> field;
    Metaball* balls[kMetaBallCount] = {};
    Vector3 ballStart[kMetaBallCount];
    float ballDelay[kMetaBallCount] = {};
    LetterMeshSlot slots[kMetaSlots];

    int textPos = 0;           // index of the live letter in text
    float scrollX = 0.0f;      // world units, falling as the text scrolls
    float letterWidth = 0.0f;  // world advance of the live letter
    float scrollSpeed = 0.1f;  // world units per second, rising towards 4
    float gridOffset = 0.0f;   // the grid's scroll, within [2, 4) once running
    float gridFlash = 0.0f;    // smoothed bass level
    float camPhase = 0.0f;     // 0..1 through the glide to camNext
    int camCurrent = 0, camNext = 1;
    int cueIndex = 0;         // next entry of MetaCueTimes; 65 is the end marker
    float SpikeLevel = 0.0f;  // follows SpikeTarget: the letters' spikes
    EffectRandom random;      // the meta writer's own generator

    // The six tweaks.
    float ballLevel = 0.26f;                          // s_fBallLevel: strength factor of the balls
    float metaLevel = 100.0f;                         // s_fMetaLevel: the field's iso level
    Vector4 letterColour{0.34f, 0.36f, 0.41f, 0.9f};  // s_vLetterColor.r/.g/.b/.a
};

MetaWriterState& GetMetaWriterState();
// Forgets the shared state, as if no meta writer had run yet; the next one
// reads scroller.txt again. The show never calls it (a restart of the
// timeline keeps the state); tests do, to start from a known text.
void ResetMetaWriterState();

// The camera presets (position, target), before the world scale of 1.5.
extern const Vector3 MetaCameraPresets[kMetaCameraPresets][2];

// The fade level (0..1) at the edges of an instance's life: 1 at both ends,
// falling to 0 within the first and last quarter second.
float MetaWriterFade(float timeLeft, float duration);

class CMetaWriter : public CEffect {
public:
    CMetaWriter();
    ~CMetaWriter() override;
    void Update(float dt) override;
    void Render() override;
    void SkipRender() override;

    bool blinkRising = false;  // the blink is rising towards black
    float blink = 0.0f;        // 0..1, the black blink over a camera cut

private:
    static void AdvanceGrid();
    void UpdateCamera(float dt);
    void DrawGrid();
    void DrawLetters();
};
