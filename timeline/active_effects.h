// The running effects, kept sorted by `order` (stable: equal keys stay in the
// order they were added), and the queue of effects to delete after the tick.
#pragma once

class CEffect;

namespace ActiveEffectList {

// Takes ownership and re-sorts.
void Add(CEffect* effect);
// Queues an effect for deletion at the end of the current tick. Queueing the
// same effect twice in one tick is ignored (it would otherwise be deleted twice).
void Retire(CEffect* effect);
// Updates and renders every effect (and its children) in order, then deletes
// the retired ones. A frame that is not drawn calls SkipRender in place of
// Render.
void Tick(float dt, bool draw = true);
// Deletes every active effect now.
void Clear();
int Count();
bool IsClassActive(int classId);

}  // namespace ActiveEffectList
