#include "tools/musicgen/instruments.h"

#include "tools/musicgen/voices.h"

namespace music {

// Gains set the balance of the mix; sends feed the shared reverb and the
// tempo delay.
static const InstrumentMix kMix[kInstrumentCount] = {
    /* kKick      */ {kBusDrums, 0.40f, 0.00f, 0.00f},
    /* kSoftKick  */ {kBusDrums, 0.085f, 0.05f, 0.00f},
    /* kSnare     */ {kBusDrums, 0.241f, 0.18f, 0.00f},
    /* kClap      */ {kBusDrums, 0.320f, 0.22f, 0.00f},
    /* kClosedHat */ {kBusDrums, 0.500f, 0.04f, 0.00f},
    /* kOpenHat   */ {kBusDrums, 0.370f, 0.08f, 0.00f},
    /* kShaker    */ {kBusDrums, 0.078f, 0.10f, 0.05f},
    /* kCrash     */ {kBusDrums, 0.192f, 0.15f, 0.00f},
    /* kTom       */ {kBusDrums, 0.227f, 0.20f, 0.00f},
    /* kBass      */ {kBusBass, 0.135f, 0.00f, 0.00f},
    /* kSubBass   */ {kBusBass, 0.128f, 0.00f, 0.00f},
    /* kPad       */ {kBusMusic, 0.114f, 0.35f, 0.00f},
    /* kLead      */ {kBusMusic, 0.199f, 0.22f, 0.28f},
    /* kPluck     */ {kBusMusic, 0.156f, 0.20f, 0.30f},
    /* kStab      */ {kBusMusic, 0.142f, 0.35f, 0.10f},
    /* kBell      */ {kBusMusic, 0.170f, 0.45f, 0.20f},
    /* kWind      */ {kBusFx, 0.142f, 0.30f, 0.00f},
    /* kRiser     */ {kBusFx, 0.085f, 0.30f, 0.00f},
    /* kReverse   */ {kBusFx, 0.121f, 0.10f, 0.00f},
    /* kImpact    */ {kBusFx, 0.192f, 0.35f, 0.00f},
    /* kGlitch    */ {kBusFx, 0.120f, 0.10f, 0.15f},
};

static const char* const kNames[kInstrumentCount] = {
    "kick",  "soft kick", "snare", "clap",  "closed hat", "open hat", "shaker",
    "crash", "tom",       "bass",  "sub",   "pad",        "lead",     "pluck",
    "stab",  "bell",      "wind",  "riser", "reverse",    "impact",   "glitch"};

const InstrumentMix& MixOf(Instrument instrument) { return kMix[instrument]; }
const char* InstrumentName(Instrument instrument) { return kNames[instrument]; }

std::unique_ptr<Voice> CreateVoice(const Note& note, uint32_t seed) {
    switch (note.instrument) {
        case kKick:
            return MakeKick(note, seed);
        case kSoftKick:
            return MakeSoftKick(note, seed);
        case kSnare:
            return MakeSnare(note, seed);
        case kClap:
            return MakeClap(note, seed);
        case kClosedHat:
            return MakeHat(note, seed, false);
        case kOpenHat:
            return MakeHat(note, seed, true);
        case kShaker:
            return MakeShaker(note, seed);
        case kCrash:
            return MakeCrash(note, seed);
        case kTom:
            return MakeTom(note, seed);
        case kBass:
            return MakeBass(note, seed);
        case kSubBass:
            return MakeSubBass(note, seed);
        case kPad:
            return MakePad(note, seed);
        case kLead:
            return MakeLead(note, seed);
        case kPluck:
            return MakePluck(note, seed);
        case kStab:
            return MakeStab(note, seed);
        case kBell:
            return MakeBell(note, seed);
        case kWind:
            return MakeWind(note, seed);
        case kRiser:
            return MakeRiser(note, seed);
        case kReverse:
            return MakeReverse(note, seed);
        case kImpact:
            return MakeImpact(note, seed);
        case kGlitch:
            return MakeGlitch(note, seed);
        case kInstrumentCount:
            break;
    }
    return nullptr;
}

}  // namespace music
