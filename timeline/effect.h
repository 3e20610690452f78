// The effect base class and the self-registering effect factories.
//
// Every visual element is a CEffect that lives for a number of seconds, gets
// Update and Render once per frame, and then removes itself. The timeline
// creates effects by class id through CreateEffect.
//
// The recipe for a new effect, step by step:
//
// 1. Register it. One file, effects/my_effect.cpp (and its header), ending in
//        LUMIVANE_REGISTER_EFFECT(CMyEffect, CCMyEffect, kMyEffect);
//    with a class id of its own (EffectClassId below); a timeline entry with
//    that id starts it. Nothing else needs an edit: the build picks up the
//    file and the factory registers itself.
// 2. Construct: look up what it needs by name from the catalogue
//    (GetTexture(kTexGrid), GetEffect(kFxScene), GetMesh(kMeshHead): ids in
//    assets/resource_ids.h; null when missing, so draw nothing then). Own
//    what you create (a view-sized target: GraphicsDevice::CreateViewTarget)
//    and free it in the destructor (DeleteTexture).
// 3. Update(dt): call CEffect::Update(dt) first (it counts the lifetime down
//    and retires the effect when it runs out), then animate with dt, the
//    frame clock's speed-adjusted delta. Age() and Progress() say how far in
//    the effect is. Keep per-frame work free of heap allocations.
// 4. Render(), 2D: Renderer2D's quads and BitmapFont in the 1280x720 layout
//    space, straight into the scene target.
//    Render(), 3D through the post-processing chain:
//        PostProcessChain::BeginScene(0x00000000);
//        SetCameraMatrices(effect, GetActiveCamera());  // g_mView, g_mProj
//        effect->SetTechnique("TechMine");              // and its parameters
//        Gpu::SetVertexDeclaration(GraphicsDevice::GetVertexDeclaration(kDeclPosNormalTex));
//        Gpu::ForEachPass(effect, [&] { mesh->Draw(); });
//        PostProcessChain::BloomAndPresent(0.25f);      // or your own chain of ApplyEffect
//    then 2D overlays on top. Place the camera (SetPosition, SetTarget) before.
//    Keep Render to drawing: the show also runs frames without drawing them
//    (a capture's frames before --from, jumps while playing), and then calls
//    SkipRender in its place. Whatever Render changes besides the picture
//    (random draws, smoothed levels) goes into a helper that both call.
// 5. Fades: GraphicsDevice::SetFade(LevelToByte(level)) for the black
//    overlay at present, or a black quad of alpha LevelToByte(level).
// 6. Tweaks: RegisterTweak("s_fMyValue", &value, step, min, max, false) for a
//    process-wide float (never a member of a short-lived effect: the table
//    keeps the pointer until the save at exit). Process-wide state that the
//    show's progress changes (a generator, a counter) gets a ShowStateReset
//    (timeline/show_state.h), so a jump back in time finds it as at start-up.
// 7. Test it: the pure parts (timing, levels, layout) as plain functions, the
//    picture with a GpuFixture pixel test, and the whole frame with a capture
//    (build/lumivane --capture DIR --from A --to B) looked at by eye.
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
    // Called instead of Render in a frame that is not drawn (fast-forward):
    // does what Render does to anything but the picture, so the next drawn
    // frame is the one a run that drew every frame would show.
    virtual void SkipRender() {}

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
