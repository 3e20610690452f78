#pragma once
// Column scan of a glyph strip: finds where each glyph of a proportional
// bitmap font lies in a one-row strip of glyphs separated by transparent
// columns. Pure function, shared by the run-time font and the asset checks.
#include <cstdint>

// texels: width * height 32-bit ARGB values (alpha in the top byte), rows
// packed at width texels. glyphs: the NUL-terminated list of characters in
// the order in which they appear in the strip. gapLimit: how far (in columns)
// a glyph may reach past the end of the previous one (or past column 0);
// 0xFFFFFFFF means no limit.
// widths[c] receives the glyph width in texels and uOffsets[c] its left edge
// as a texture coordinate; characters without a glyph keep width 0 and
// offset -1. Returns the number of glyphs assigned.
int ScanGlyphStrip(const uint32_t* texels, unsigned width, unsigned height, const char* glyphs, unsigned gapLimit,
                   float widths[256], float uOffsets[256]);
