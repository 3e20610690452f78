#include "timeline/show_levels.h"

float RgbSplitTarget = 0.0f;
float SpikeTarget = 0.0f;
