// Decodes assets on a thread of its own, ahead of the frames that load
// them: the loading screen's two pictures, then the catalogue in preload
// order (meshes whole, pictures and the cube map to texels; effect files
// need the GPU and are left to the frame). A loading frame then only hands
// texels to the GPU, and no frame waits for a 300 ms mesh to be read.
//
// While playing, the loading screen takes the next asset only once it is
// decoded (NextAssetDecoded), so its frames stay short and the pips move
// as fast as the decoding goes. A capture waits for each one instead: one
// asset per frame, as without the prefetcher, so every capture has the
// same frames.
#pragma once
#include <vector>

struct Image;
struct CubeImage;
struct Mesh;

namespace AssetPrefetch {

// Starts decoding (once; later calls do nothing while it runs).
// `waitForDecoding`: the capture's way, see above.
void Start(bool waitForDecoding);
// Stops the thread (after the asset in hand) and drops what it decoded.
void Stop();

// What a Take found.
enum class Taken { NotQueued, Failed, Decoded };

// The decoded asset of this resource, waiting while it is being decoded.
// NotQueued: the prefetcher does not run, never had the resource queued or
// has not started on it; decode it yourself. Failed: decoding failed and
// was said on stderr. Each queued decoding is taken once.
Taken TakePicture(int resourceId, Image* out);
Taken TakeCube(int resourceId, CubeImage* out);
Taken TakeMesh(int resourceId, Mesh** out);

// False only while the prefetcher runs without waiting and this resource is
// queued and not decoded yet.
bool IsDecoded(int resourceId);

}  // namespace AssetPrefetch
