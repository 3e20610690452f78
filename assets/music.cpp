#include "assets/music.h"

#include <cstdio>

#include "assets/asset_source.h"
#include "assets/mixer.h"
#include "assets/music_decoder.h"
#include "assets/spectrum.h"

namespace Music {

namespace {

enum { kSong = 0, kStream = 1 };

Mixer::Voice* VoiceOf(CAudio::CHandle* handle) {
    if (!handle || !handle->GetNative()) return nullptr;
    int kind = handle->GetKind();
    if (kind != kSong && kind != kStream) return nullptr;
    return static_cast<Mixer::Voice*>(handle->GetNative());
}

}  // namespace

bool Init(bool virtualClock) {
    if (virtualClock) {
        Mixer::StartVirtual();
        return true;
    }
    const char* error = "";
    if (Mixer::StartDevice(&error)) return true;
    std::fprintf(stderr, "lumivane: no sound device (%s); the show runs silently\n", error);
    return false;
}

void Shutdown() { Mixer::Shutdown(); }

CAudio::CHandle* Load(int resourceId) {
    AssetBytes bytes;
    if (!OpenAsset(resourceId, "MUSIC", "music", &bytes)) return nullptr;
    if (bytes.size > 0x7FFFFFFF) {
        ReportBadAsset(bytes, "too large");
        return nullptr;
    }
    char label[300];
    if (bytes.file.empty())
        std::snprintf(label, sizeof label, "music resource %d (%s)", resourceId, bytes.name);
    else
        std::snprintf(label, sizeof label, "music resource %d from %s", resourceId, bytes.file.c_str());
    return LoadFromMemory(bytes.data, static_cast<int32_t>(bytes.size), label, bytes.storage);
}

CAudio::CHandle* LoadFromMemory(const uint8_t* data, int32_t size, const char* label,
                                std::shared_ptr<const void> storage) {
    // Without a running sound system nothing would play it, and the clock
    // must then not follow a position that never moves.
    if (!Mixer::IsStarted()) return nullptr;
    const char* error = "";
    if (MusicDecoder* module = OpenModuleDecoder(data, size, &error)) {
        module->source = std::move(storage);
        return new CSong(Mixer::CreateVoice(module));
    }
    if (MusicDecoder* stream = OpenOggDecoder(data, size, &error)) {
        stream->source = std::move(storage);
        return new CStream(Mixer::CreateVoice(stream));
    }
    std::fprintf(stderr, "lumivane: %s cannot be played (%s); the show runs silently\n", label, error);
    return nullptr;
}

int Play(CAudio::CHandle* handle) {
    Mixer::Voice* voice = VoiceOf(handle);
    if (!voice) return 0;
    Mixer::Play(voice);
    return 1;
}

int Stop(CAudio::CHandle* handle) {
    Mixer::Voice* voice = VoiceOf(handle);
    if (!voice) return 0;
    Mixer::Stop(voice);
    return 1;
}

int Free(CAudio::CHandle* handle) {
    Mixer::Voice* voice = VoiceOf(handle);
    if (!voice) return 0;
    Mixer::DestroyVoice(voice);
    // No virtual destructor: delete through the concrete class.
    if (handle->GetKind() == kSong)
        delete static_cast<CSong*>(handle);
    else
        delete static_cast<CStream*>(handle);
    return 1;
}

int GetTime(CAudio::CHandle* handle) {
    Mixer::Voice* voice = VoiceOf(handle);
    if (!voice) return 0;
    return static_cast<int>(Mixer::HeardFrames(voice) * 1000 / kMixRate);
}

const float* GetSpectrum() {
    static float s_levels[kSpectrumLevels];
    static uint64_t s_seen = ~0ull;
    float samples[Mixer::kHistoryLength];
    uint64_t generation = 0;
    Mixer::GetHistory(samples, &generation);
    // The analysis runs once per block of new output, however often it is read.
    if (generation != s_seen) {
        ComputeSpectrum(samples, s_levels);
        s_seen = generation;
    }
    return s_levels;
}

}  // namespace Music
