// Tweaks: named float tuning values that live inside their owners (camera
// fields, effect parameters, switches). Owners register them once; the F1
// editor steps them while the show runs, and tweaks.txt in the working
// directory carries them from one run to the next, one "name value" line each.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A value read from the file. The name field holds at most 255 characters.
struct StoredTweak {
    char name[256];
    float value;
    std::string text;  // the number as the file spells it, written back unchanged if nobody claims it
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
    // The file exists but could not be read (not a regular file, too large,
    // no permission): the save must not write over what it never saw.
    bool fileUnread = false;
    bool editorVisible = false;
    int selection = 0;

    static TweakTable& Get();
};

constexpr char kTweakFile[] = "tweaks.txt";
// A tuning file holds a few dozen lines; anything near this size is not one.
constexpr size_t kMaxTweakFileBytes = 64 * 1024;

// What the parser dropped: names whose number is missing, does not parse or
// is not finite (nan, inf, 1e400). The tweak keeps its default.
struct TweakParseReport {
    int skipped = 0;
    std::string firstSkipped;  // the name of the first one
};

// The file's text as a stream of whitespace-separated tokens, a name and then
// a number; lines do not matter. Appends to `out`.
void ParseTweaks(const char* text, size_t size, std::vector<StoredTweak>* out, TweakParseReport* report);

// The file the table saves: every registered tweak in registration order as
// "%s %f", then the first stored value of each name nobody registered in
// this run, as the file spelled it, in file order. A value that is not
// finite is left out.
std::string FormatTweaks(const TweakTable& table);

// Fills the stored list from the file; a missing file leaves it empty. A file
// that cannot be read, or entries without a usable number, get one line on
// stderr each.
void LoadTweaks(const char* path = kTweakFile);
// The first registration of a name wins; later ones change nothing. A stored
// value of that name is written through `value` at once, unclamped.
void RegisterTweak(const char* name, float* value, float step, float min, float max, bool stepOnPress);

enum class SaveResult {
    Saved,
    Unchanged,  // nothing was registered (the show never started), or the file is read-only
    Failed,     // one line on stderr says why; the old file is as it was
};
// Writes FormatTweaks. The file is replaced in one step, so an interrupted
// save leaves the previous file whole; a symbolic link keeps pointing at the
// file it names, which is the one rewritten; a read-only file and one that
// could not be read are left alone.
SaveResult SaveTweaks(const char* path = kTweakFile);
