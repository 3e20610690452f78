// The effect base class and the self-registering effect factories.
//
// Every visual element is a CEffect that lives for a number of seconds, gets
// Update and Render once per frame, and then removes itself. The timeline
// creates effects by class id through CreateEffect; each effect type adds its
// factory to the registry with one static object:
//
//     class CCMyEffect : public CEffectClassImpl<CMyEffect> { ... id, name ... };
//     static CCMyEffect s_myEffectClass;
#pragma once
#include <cstdint>
#include <cstring>
#include <list>

#include "timeline/registered.h"

class CEffect {
public:
    CEffect() = default;
    virtual ~CEffect() = default;
    // Queues the effect for removal at the end of the frame.
    virtual void Finish();
    // Counts the lifetime down; overrides call this first.
    virtual void Update(float dt);
    virtual void Render() {}

    // Seconds of lifetime used so far, and that as a fraction of the
    // duration: 0 when the effect is made, 1 when its lifetime runs out, on
    // past 1 while an effect finishes by itself (0 for a zero duration).
    float Age() const { return duration - timeLeft; }
    float Progress() const { return duration > 0.0f ? Age() / duration : 0.0f; }

    int classId = -1;
    uint32_t order = 0;      // run order in the active list, ascending
    bool finished = false;   // set once the lifetime has run out
    float timeLeft = -1.0f;  // keeps falling below zero after finishing
    float duration = 0.0f;
    std::list<CEffect*> children;  // not owned; updated and rendered after the parent

    CEffect(const CEffect&) = delete;
    CEffect& operator=(const CEffect&) = delete;
};

// Class ids of the effect types the timeline script names.
enum EffectClassId {
    kLoading = 0,
    kMetaWriter = 1,
    kVoxelTest = 2,
    kHeadMesh = 3,
    kHandMesh = 4,
    kLaserWriter = 5,
    kCylinderHead = 6,
    kIntroScreen = 7,
    kFuzzEffect = 8,
    kSpikeEffect = 9,
    kNoEffect = 10,  // a script marker that starts nothing
};

class CEffectClass : public CRegistered<CEffectClass> {
public:
    CEffectClass() : CRegistered<CEffectClass>(true) {}
    virtual int GetClassId() = 0;
    virtual CEffect* Create() = 0;
    // Copies the class name into a buffer of 257 chars (256 + terminator).
    virtual char* GetName(char* buffer) = 0;
    virtual int GetInstanceSize() = 0;

protected:
    ~CEffectClass() = default;
};

template <typename T>
class CEffectClassImpl : public CEffectClass {
public:
    CEffect* Create() override { return new T; }
    int GetInstanceSize() override { return static_cast<int>(sizeof(T)); }

protected:
    static char* CopyName(char* buffer, const char* name) {
        std::strncpy(buffer, name, 256);
        buffer[256] = '\0';
        return buffer;
    }
};

// Declares the factory class CC<Name> for effect class C<Name> and its one
// static instance. Use once, in the effect's source file.
#define LUMIVANE_REGISTER_EFFECT(EffectType, FactoryType, id)                          \
    class FactoryType : public CEffectClassImpl<EffectType> {                          \
    public:                                                                            \
        int GetClassId() override { return id; }                                       \
        char* GetName(char* buffer) override { return CopyName(buffer, #EffectType); } \
    };                                                                                 \
    static FactoryType s_##FactoryType

// A new effect of the given class with its lifetime set, or null when no
// factory has that id. The caller owns it until ActiveEffectList::Add.
CEffect* CreateEffect(int classId, uint32_t order, float duration);
