// The soundtrack: music played from a resource in memory, its playback
// position in milliseconds, and the spectrum of what is being played.
//
// A handle is a song (a tracker module) or a stream (Ogg Vorbis); both loop
// without end once playing. Every operation accepts a null handle and then
// does nothing and returns 0, so a show without sound needs no checks.
#pragma once
#include <cstdint>
#include <memory>

namespace CAudio {

class CHandle {
public:
    virtual int GetKind() = 0;      // 0 song, 1 stream
    virtual void* GetNative() = 0;  // the playing object; never null once loaded

    void* native;

protected:
    explicit CHandle(void* nativeObject) : native(nativeObject) {}
    ~CHandle() = default;  // deleted through its own class by Music::Free
};

}  // namespace CAudio

class CSong final : public CAudio::CHandle {
public:
    explicit CSong(void* module) : CHandle(module) {}
    int GetKind() override { return 0; }
    void* GetNative() override { return native; }
};

class CStream final : public CAudio::CHandle {
public:
    explicit CStream(void* stream) : CHandle(stream) {}
    int GetKind() override { return 1; }
    void* GetNative() override { return native; }
};

namespace Music {

// Starts the sound system: the sound device, or with a virtual clock none at
// all (capture mode drives the mixer itself). Without a device it prints one
// line on stderr and returns false; the show then runs silently.
bool Init(bool virtualClock);
// Closes the device. Handles stay valid but silent.
void Shutdown();

// The MUSIC resource with that id. Null (with one line on stderr) when it is
// missing, cannot be opened, or the sound system is not running.
CAudio::CHandle* Load(int resourceId);
// The same from bytes in memory (which must outlive the handle, unless
// `storage` owns them: the handle then keeps it): a tracker module becomes a
// song, anything else is tried as an Ogg Vorbis stream.
CAudio::CHandle* LoadFromMemory(const uint8_t* data, int32_t size, const char* label,
                                std::shared_ptr<const void> storage = nullptr);

int Play(CAudio::CHandle* handle);  // from the start, looping
int Stop(CAudio::CHandle* handle);
int Free(CAudio::CHandle* handle);  // stops it and deletes the handle
// Milliseconds of this handle's sound heard since Play: with a sound device,
// what it has handed out less what still waits in the device's buffers, so the
// timeline follows the ear; in capture mode, exactly what was mixed.
int GetTime(CAudio::CHandle* handle);

// 512 levels, 0 to 1, lowest frequency first, of the last 1024 samples of the
// mixed output; silence (all 0) without sound.
const float* GetSpectrum();

}  // namespace Music
