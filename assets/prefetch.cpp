#include "assets/prefetch.h"

#include <condition_variable>
#include <mutex>
#include <thread>
#include <utility>

#include "assets/catalogue.h"
#include "assets/cube_texture.h"
#include "assets/image.h"
#include "assets/mesh.h"
#include "assets/resource_ids.h"
#include "assets/texture.h"
#include "assets/texture_decoding.h"
#include "platform/process.h"

namespace AssetPrefetch {

namespace {

enum class Kind { Picture, Cube, Mesh };
enum class State { Queued, Decoding, Decoded, Failed, Taken };

struct Entry {
    Entry(int id, Kind kind) : id(id), kind(kind) {}
    int id;
    Kind kind;
    State state = State::Queued;
    Image picture;
    CubeImage cube;
    Mesh* mesh = nullptr;
};

// Decoded entries nobody has taken yet, at most: they hold the texels of up
// to two large pictures, and the frames take them in queue order anyway.
constexpr int kAhead = 2;

std::mutex s_mutex;
std::condition_variable s_changed;
std::vector<Entry> s_entries;  // made by Start, never resized while the thread runs
std::thread s_thread;
bool s_running = false, s_stopping = false, s_waitForDecoding = false;

int Undelivered() {
    int n = 0;
    for (const Entry& e : s_entries) n += e.state == State::Decoded || e.state == State::Failed;
    return n;
}

bool Decode(Entry& e) {
    switch (e.kind) {
    case Kind::Picture: return DecodeTextureResource(e.id, &e.picture);
    case Kind::Cube: return DecodeCubeResource(e.id, &e.cube);
    case Kind::Mesh: return (e.mesh = Mesh::DecodeResource(e.id)) != nullptr;
    }
    return false;
}

void Run() {
    // The loading screen's frames come first; decoding takes what they leave.
    Platform::LowerThreadPriority();
    std::unique_lock<std::mutex> lock(s_mutex);
    for (Entry& e : s_entries) {
        s_changed.wait(lock, [] { return s_stopping || Undelivered() < kAhead; });
        if (s_stopping) return;
        if (e.state != State::Queued) continue;  // a frame wanted it first and decoded it itself
        e.state = State::Decoding;
        // The entry is the thread's alone while it is being decoded.
        lock.unlock();
        const bool ok = Decode(e);
        lock.lock();
        e.state = ok ? State::Decoded : State::Failed;
        s_changed.notify_all();
    }
}

// The first entry of the resource not yet taken, made Taken; waits while it
// is being decoded. Null (and Queued in *state) when the frame must decode it.
Entry* Take(int id, Kind kind, State* state, std::unique_lock<std::mutex>& lock) {
    *state = State::Queued;
    if (!s_running) return nullptr;
    for (Entry& e : s_entries) {
        if (e.id != id || e.kind != kind || e.state == State::Taken) continue;
        s_changed.wait(lock, [&e] { return e.state != State::Decoding; });
        *state = e.state;
        e.state = State::Taken;
        s_changed.notify_all();
        return &e;
    }
    return nullptr;
}

Taken Result(State state) {
    return state == State::Decoded ? Taken::Decoded : state == State::Failed ? Taken::Failed : Taken::NotQueued;
}

}  // namespace

void Start(bool waitForDecoding) {
    std::lock_guard<std::mutex> lock(s_mutex);
    if (s_running) return;
    s_entries.clear();
    // The loading screen's own pictures come first: its first frame shows them.
    s_entries.emplace_back(kTexLoader, Kind::Picture);
    s_entries.emplace_back(kTexLoadingPip, Kind::Picture);
    for (int i = 0; i < kCatalogueSize; ++i) {
        AssetKind kind;
        const CatalogueEntry& e = GetCatalogueEntry(i, &kind);
        if (kind == AssetKind::Mesh) s_entries.emplace_back(e.resourceId, Kind::Mesh);
        if (kind == AssetKind::Texture) s_entries.emplace_back(e.resourceId, Kind::Picture);
        if (kind == AssetKind::CubeTexture) s_entries.emplace_back(e.resourceId, Kind::Cube);
    }
    s_running = true;
    s_stopping = false;
    s_waitForDecoding = waitForDecoding;
    s_thread = std::thread(Run);
}

void Stop() {
    {
        std::lock_guard<std::mutex> lock(s_mutex);
        if (!s_running) return;
        s_stopping = true;
    }
    s_changed.notify_all();
    s_thread.join();
    std::lock_guard<std::mutex> lock(s_mutex);
    for (Entry& e : s_entries) delete e.mesh;  // decoded and never taken
    s_entries.clear();
    s_running = false;
}

Taken TakePicture(int resourceId, Image* out) {
    std::unique_lock<std::mutex> lock(s_mutex);
    State state;
    Entry* e = Take(resourceId, Kind::Picture, &state, lock);
    if (e && state == State::Decoded) *out = std::move(e->picture);
    return Result(state);
}

Taken TakeCube(int resourceId, CubeImage* out) {
    std::unique_lock<std::mutex> lock(s_mutex);
    State state;
    Entry* e = Take(resourceId, Kind::Cube, &state, lock);
    if (e && state == State::Decoded) *out = std::move(e->cube);
    return Result(state);
}

Taken TakeMesh(int resourceId, Mesh** out) {
    std::unique_lock<std::mutex> lock(s_mutex);
    State state;
    Entry* e = Take(resourceId, Kind::Mesh, &state, lock);
    if (e && state == State::Decoded) {
        *out = e->mesh;
        e->mesh = nullptr;
    }
    return Result(state);
}

bool IsDecoded(int resourceId) {
    std::lock_guard<std::mutex> lock(s_mutex);
    if (!s_running || s_waitForDecoding) return true;
    for (const Entry& e : s_entries) {
        if (e.id != resourceId || e.state == State::Taken) continue;
        return e.state == State::Decoded || e.state == State::Failed;
    }
    return true;
}

}  // namespace AssetPrefetch
