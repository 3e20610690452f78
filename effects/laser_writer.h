// CLaserWriter: a laser burns the four lines of laser.txt into the screen,
// one after another. An emitter flare sits at the centre of the canvas; a
// fan of blue light reaches from it to a vertical laser line that sweeps
// from left to right in 5.12 s, revealing the line of text behind it, with a
// glowing slice of the text at the beam. Flare, fan, beam, edge rays and
// slice are bloomed through the post-processing chain; the revealed text is
// drawn after, without bloom. Each finished line fades out over two seconds
// before the next is swept in; after the fourth the effect removes itself.
#pragma once
#include <cstddef>
#include <cstdint>

#include "timeline/effect.h"

struct BitmapFont;
struct Texture;

constexpr int kLaserLines = 4;
constexpr int kLaserLineLength = 64;  // 63 characters and the terminator

// The lines being written, NUL-terminated; filled by every new laser writer.
extern char LaserText[kLaserLines][kLaserLineLength];

// Fills LaserText from the text of laser.txt, byte by byte: a line feed (or
// a CR LF pair) ends a line; bytes past the 63rd of a line and lines past the
// fourth are dropped.
void ReadLaserText(const char* data, size_t size);
// The same from a file of at most kMaxLaserFileBytes. Without a file that can
// be read the four lines are empty, and one line on stderr says why.
void ReadLaserText(const char* path);
// Four lines of 63 characters need far less; a larger file is not a laser text.
constexpr size_t kMaxLaserFileBytes = 64 * 1024;

class CLaserWriter : public CEffect {
public:
    CLaserWriter();
    ~CLaserWriter() override;
    void Update(float dt) override;
    void Render() override;
    void SkipRender() override;

    Texture* textTarget = nullptr;    // owned; the current line, view-sized
    BitmapFont* font = nullptr;       // owned
    float laserX = 0.0f;              // the beam's x on the canvas
    float smokeOffset = 0.0f;         // random shift of the fan's texture, per line
    float holdTime = 0.0f;            // seconds since the sweep ended; 0 while sweeping
    int lineIndex = 0;                // the line being written, 0..3
    int textTargetLine = -1;          // the line textTarget holds; -1 before the first
    int textTop = 0, textBottom = 0;  // textTarget's rows with letters, bottom excluded

private:
    struct BeamFlicker {
        float flareAlpha, angle, fanAlpha, u0, v0;
    };
    static BeamFlicker NextBeamFlicker();
    void DrawTextTarget();
    void DrawBeamScene(float intensity);
};

// The revealed text's alpha over the hold: 255 while sweeping, 0 at 2 s.
uint8_t LaserTextAlpha(float holdTime);
