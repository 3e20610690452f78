// Process-wide levels that effects hold while they live and others follow.
// An effect sets its target to 1 when it is made and back to 0 when it is
// deleted (a flag, not a count: the first of two overlapping ones to go
// clears it; the script never overlaps them); the reader eases towards it.
#pragma once

// The fuzz bursts: the final pass's colour split follows it (see
// CLumivane::DrawFinalPass for the easing).
extern float RgbSplitTarget;
// The spike effect: the scroller's metaball letters grow spikes.
extern float SpikeTarget;
