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
