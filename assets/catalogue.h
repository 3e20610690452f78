// The catalogue: every shared asset of the show by resource id. The loading
// screen turns one table entry per frame into a GPU object; effects then look
// them up by id. Loaded objects live until the application shuts down.
#pragma once

struct CubeTexture;
struct Mesh;
struct Texture;
namespace Gpu {
class Effect;
}

struct CatalogueEntry {
    int resourceId;
    const char* name;  // the asset's file-like label
};

constexpr int kCatalogueSize = 35;

enum class AssetKind { Mesh, Effect, Texture, CubeTexture };
// The entry that preload step `index` (0 to 34) loads, and its kind.
const CatalogueEntry& GetCatalogueEntry(int index, AssetKind* kind);

// Loads the next asset of the table (meshes, effects, textures, the cube map)
// and adds the nearest float to 1/35 to *progress, never beyond 1. Once all
// 35 are loaded it sets *progress to 1 and returns true without loading.
bool PreloadNextAsset(float* progress);

// Whether the next PreloadNextAsset finds its asset decoded already (always
// true when the asset prefetcher does not run, or runs for a capture): the
// loading screen waits a frame rather than decode in one.
bool NextAssetDecoded();

// Frees every loaded asset and starts the table over: the next preload
// loads the first entry again. At shutdown, before the device goes.
void ReleaseCatalogue();

// Starts the preload over without freeing anything: the next 35 calls of
// PreloadNextAsset step through the table again, loading only what was
// never loaded, and the 36th reports completion, as at start-up. A jump back
// in time runs the loading screen through as many frames as the first one.
void RewindPreload();

// Each lookup searches only its own kind. An id that is not there (not loaded
// yet, not of that kind, or failed to load) gives null, and stays null.
Texture* GetTexture(int resourceId);
Mesh* GetMesh(int resourceId);
CubeTexture* GetCubeTexture(int resourceId);
Gpu::Effect* GetEffect(int resourceId);
