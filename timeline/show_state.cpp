#include "timeline/show_state.h"

void ResetShowState() {
    for (const ShowStateReset* reset = ShowStateReset::Head(); reset; reset = reset->Next()) reset->Run();
}
