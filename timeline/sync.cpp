#include "timeline/sync.h"

#include "assets/music.h"
#include "assets/spectrum.h"

namespace {

SyncChannel s_channels[kSyncChannelCount] = {
    {"SYNC_BASS", 0, 9, 1.0f},
};

}  // namespace

SyncChannel* GetSyncChannel(int channel) {
    return channel >= 0 && channel < kSyncChannelCount ? &s_channels[channel] : nullptr;
}

float GetSyncLevel(int channel) { return GetSyncLevel(channel, Music::GetSpectrum()); }

float GetSyncLevel(int channel, const float* spectrum) {
    const SyncChannel* c = GetSyncChannel(channel);
    return c ? BandLevel(spectrum, c->first, c->end, c->gain) : 0.0f;
}
