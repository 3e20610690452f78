#include "timeline/active_effects.h"

#include <algorithm>
#include <list>

#include "timeline/effect.h"

namespace ActiveEffectList {

static std::list<CEffect*>& Active() {
    static std::list<CEffect*> s_active;
    return s_active;
}

static std::list<CEffect*>& RetireList() {
    static std::list<CEffect*> s_retired;
    return s_retired;
}

void Add(CEffect* effect) {
    Active().push_back(effect);
    // std::list::sort is a stable merge sort.
    Active().sort([](const CEffect* a, const CEffect* b) { return a->order < b->order; });
}

void Retire(CEffect* effect) {
    std::list<CEffect*>& queue = RetireList();
    if (std::find(queue.begin(), queue.end(), effect) == queue.end()) queue.push_back(effect);
}

static void DeleteRetired() {
    for (CEffect* retired : RetireList()) {
        Active().remove(retired);
        delete retired;  // null is skipped by delete
    }
    RetireList().clear();
}

static void Run(CEffect* effect, float dt, bool draw) {
    effect->Update(dt);
    if (draw)
        effect->Render();
    else
        effect->SkipRender();
}

void Tick(float dt, bool draw) {
    // Effects queue themselves during the walk; nothing is deleted until it ends.
    for (CEffect* effect : Active()) {
        Run(effect, dt, draw);
        for (CEffect* child : effect->children) Run(child, dt, draw);
    }
    for (CEffect* retired : RetireList())
        for (CEffect* effect : Active()) effect->children.remove(retired);
    DeleteRetired();
}

void Clear() {
    for (CEffect* effect : Active()) Retire(effect);
    DeleteRetired();
}

int Count() { return static_cast<int>(Active().size()); }

bool IsClassActive(int classId) {
    for (const CEffect* effect : Active())
        if (effect->classId == classId) return true;
    return false;
}

}  // namespace ActiveEffectList
