#include "timeline/show_levels.h"

#include "timeline/show_state.h"

float RgbSplitTarget = 0.0f;
float SpikeTarget = 0.0f;

// The effects that hold them put them back when they are deleted; a jump
// that clears the effects finds them at 0 either way.
static ShowStateReset s_resetLevels([] { RgbSplitTarget = SpikeTarget = 0.0f; });
