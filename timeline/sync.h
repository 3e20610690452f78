// Spectrum sync: named bands of the music's spectrum that effects follow as
// a level, and the F2 display for tuning them while the show runs.
#pragma once

struct SyncChannel {
    const char* name;
    unsigned first;  // first spectrum bin of the band
    unsigned end;    // one past the last bin
    float gain;
};

enum { kSyncBass = 0, kSyncChannelCount = 1 };

// The channel table (editable through the display; edits are not saved).
// Null for a channel that does not exist.
SyncChannel* GetSyncChannel(int channel);

// The mean level of the channel's band in the music's spectrum, times its
// gain; 0 for an empty or inverted band or an unknown channel.
float GetSyncLevel(int channel);
float GetSyncLevel(int channel, const float* spectrum);

// The display's state: shown or not, the channel being tuned, the bin under
// the cursor, and whether Shift moved the cursor to the band's end.
struct SyncDisplayState {
    bool visible = false;
    int channel = 0;
    int cursor = 0;
    bool editingEnd = false;
};
SyncDisplayState& GetSyncDisplay();

// Once per frame, after everything else is drawn: F2 shows or hides the
// spectrum with the selected band; while shown, Up/Down pick a channel,
// Left/Right move the cursor over the bins, and the cursor sets the band's
// first bin, or its end while Shift is held.
void DrawSyncDisplay();
// The display's keys (the part of DrawSyncDisplay after drawing).
void HandleSyncDisplayKeys(SyncDisplayState& display);
