#include "timeline/effect.h"

#include "timeline/active_effects.h"

void CEffect::Finish() { ActiveEffectList::Retire(this); }

void CEffect::Update(float dt) {
    timeLeft = timeLeft - dt;
    // A NaN lifetime never finishes: the comparison is false.
    if (timeLeft <= 0.0f && !finished) {
        finished = true;
        Finish();
    }
}

CEffect* CreateEffect(int classId, uint32_t order, float duration) {
    CEffectClass* factory = CEffectClass::Head();
    while (factory && factory->GetClassId() != classId) factory = factory->Next();
    if (!factory) return nullptr;
    CEffect* effect = factory->Create();
    effect->timeLeft = duration;
    effect->classId = classId;
    effect->duration = duration;
    effect->order = order;
    return effect;
}
