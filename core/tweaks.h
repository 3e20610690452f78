// Tweaks: named float tuning values that live inside their owners (camera
// fields, effect parameters, switches). Owners register them once; the F1
// editor steps them while the show runs, and tweaks.txt in the working
// directory carries them from one run to the next, one "name value" line each.
#pragma once
#include <cstdint>
#include <vector>

// A value read from the file. The name field holds at most 255 characters.
struct StoredTweak {
    char name[256];
    float value;
};

// A registered tweak: the table edits the owner's float in place and never
// owns it, so every registered variable must outlive the final save.
struct TweakEntry {
    char name[257];  // at most 256 characters of the caller's name
    float* value;
    float step;  // per key press, or per frame while the key is held
    float min, max;
    bool stepOnPress;
};

struct TweakTable {
    std::vector<StoredTweak> stored;     // file order, duplicates kept
    std::vector<TweakEntry> registered;  // registration order, names unique
    bool editorVisible = false;
    int selection = 0;

    static TweakTable& Get();
};

constexpr char kTweakFile[] = "tweaks.txt";

// Fills the stored list from the file; a missing file leaves it empty.
void LoadTweaks(const char* path = kTweakFile);
// The first registration of a name wins; later ones change nothing. A stored
// value of that name is written through `value` at once, unclamped.
void RegisterTweak(const char* name, float* value, float step, float min, float max, bool stepOnPress);
// Writes every registered tweak. The file is replaced in one step, so an
// interrupted save leaves the previous file whole; with nothing registered
// the file is left as it was. False when nothing was written.
bool SaveTweaks(const char* path = kTweakFile);
