// Live effect files: with an asset folder (--data), an effect file that
// changes there is compiled again while the show runs, and the effects that
// were made from it take on the new contents behind the same handles
// (Gpu::ReplaceEffect), so every pointer an effect keeps stays good. A file
// that does not compile leaves the running effect as it was; its first error
// line stays on offer (Error) until a later version compiles. A file removed
// from the folder brings the embedded copy back.
#pragma once

namespace Gpu {
class Effect;
}

namespace EffectFiles {

// Loads effect resource `resourceId` (file-like `name`) into *slot: from
// the asset folder's file when there is one, else the embedded copy; null,
// with one line on stderr, when it is missing or does not compile. The slot
// is kept, so that a reload reaches it (a null one receives the effect once
// its file compiles); it must stay where it is until Forget. Set the asset
// folder before the first Load.
void Load(Gpu::Effect** slot, int resourceId, const char* name);
void Forget(Gpu::Effect** slot);

// Looks at the folder's effect files, at most every kLookInterval seconds
// (call it once per frame), and reloads those whose size or modification
// time changed since the last look. Nothing without an asset folder. True
// when an effect changed.
bool ReloadChanged();
// The same look, now, whatever the interval.
bool ReloadChangedNow();

// "<file>: <first line of its error>" of the first tracked file that does
// not compile, or null while every one does.
const char* Error();

constexpr double kLookInterval = 0.25;

}  // namespace EffectFiles
