// The asset prefetcher: what it decodes ahead is what the frame would have
// decoded itself, the loading screen waits for it rather than for a decoder
// when playing (its own pictures included), and a capture still loads
// exactly one asset per frame.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

#include "assets/catalogue.h"
#include "assets/image.h"
#include "assets/mesh.h"
#include "assets/prefetch.h"
#include "assets/resource_ids.h"
#include "assets/texture.h"
#include "effects/loading.h"
#include "platform/gpu.h"
#include "tests/gpu_fixture.h"
#include "timeline/active_effects.h"
#include "timeline/effect.h"

namespace {

std::vector<uint32_t> Texels(Texture* t) {
    std::vector<uint32_t> texels(static_cast<size_t>(t->width) * t->height);
    EXPECT_TRUE(Gpu::ReadTexture(t->texture, texels.data()));
    return texels;
}

// Runs the loading screen frame by frame (its update, as the frame does)
// until it has loaded everything; the asset counts of the frames that loaded one.
std::vector<int> RunLoadingScreen(CLoading* loading, int maxFrames) {
    std::vector<int> loadedPerFrame;
    for (int frame = 0; frame < maxFrames && !loading->finished; ++frame) {
        const float before = loading->progress;
        loading->Update(0.0f);
        loadedPerFrame.push_back(loading->progress != before);
        if (!loading->finished && loading->progress == before)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));  // as a frame would take its time
    }
    return loadedPerFrame;
}

}  // namespace

TEST(AssetPrefetch, DecodesWhatTheFrameWouldAndTheLoadingScreenWaitsForIt) {
    ASSERT_TRUE(GpuFixture::Start(1280, 720, 1));
    ReleaseCatalogue();
    AssetPrefetch::Start(false);
    CLoading* loading = static_cast<CLoading*>(CreateEffect(kLoading, 0, 3.4028235e38f));
    const std::vector<int> loaded = RunLoadingScreen(loading, 200000);
    ASSERT_TRUE(loading->finished);
    // Its pictures arrive once decoded, without holding a frame for them.
    ASSERT_NE(loading->background, nullptr);
    ASSERT_NE(loading->pip, nullptr);
    int loads = 0;
    for (int l : loaded) loads += l;
    EXPECT_EQ(loads, kCatalogueSize);  // each asset once, never two in a frame
    for (int i = 0; i < kCatalogueSize; ++i) {
        AssetKind kind;
        const CatalogueEntry& e = GetCatalogueEntry(i, &kind);
        const bool present = kind == AssetKind::Mesh      ? GetMesh(e.resourceId) != nullptr
                             : kind == AssetKind::Texture ? GetTexture(e.resourceId) != nullptr
                             : kind == AssetKind::Effect  ? GetEffect(e.resourceId) != nullptr
                                                          : GetCubeTexture(e.resourceId) != nullptr;
        EXPECT_TRUE(present) << e.name;
    }
    // The same texels and geometry as decoded here and now.
    Texture* direct = Texture::FromResource(kTexLoader);  // not queued twice: read now
    ASSERT_NE(direct, nullptr);
    EXPECT_EQ(Texels(loading->background), Texels(direct));
    EXPECT_EQ(Texels(GetTexture(kTexLoader)), Texels(direct));
    DeleteTexture(direct);
    Mesh* head = Mesh::DecodeResource(kMeshHead);
    ASSERT_NE(head, nullptr);
    const MeshData& a = GetMesh(kMeshHead)->geometry;
    ASSERT_EQ(a.vertices.size(), head->geometry.vertices.size());
    EXPECT_EQ(std::memcmp(a.vertices.data(), head->geometry.vertices.data(), a.vertices.size() * sizeof a.vertices[0]),
              0);
    EXPECT_EQ(a.indices, head->geometry.indices);
    delete head;
    delete loading;
    ReleaseCatalogue();  // stops the prefetcher
}

TEST(AssetPrefetch, ACaptureStillLoadsOneAssetPerFrame) {
    ASSERT_TRUE(GpuFixture::Start(1280, 720, 1));
    ReleaseCatalogue();
    AssetPrefetch::Start(true);
    CLoading* loading = static_cast<CLoading*>(CreateEffect(kLoading, 0, 3.4028235e38f));
    const std::vector<int> loaded = RunLoadingScreen(loading, 1000);
    ASSERT_EQ(loaded.size(), static_cast<size_t>(kCatalogueSize + 1));  // the last frame finds none left
    for (int k = 0; k < kCatalogueSize; ++k) EXPECT_EQ(loaded[k], 1) << k;
    delete loading;
    ReleaseCatalogue();
}

TEST(AssetPrefetch, WhatItNeverQueuedOrStoppedWithIsTheFramesOwn) {
    ASSERT_TRUE(GpuFixture::Start(1280, 720, 1));
    ReleaseCatalogue();
    Image image;
    EXPECT_EQ(AssetPrefetch::TakePicture(kTexGrid, &image), AssetPrefetch::Taken::NotQueued);  // not running
    EXPECT_TRUE(AssetPrefetch::IsDecoded(kTexGrid));
    AssetPrefetch::Start(false);
    EXPECT_EQ(AssetPrefetch::TakePicture(12345, &image), AssetPrefetch::Taken::NotQueued);  // never queued
    // Stopped while it has decoded assets nobody took: they go with it.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    AssetPrefetch::Stop();
    EXPECT_EQ(AssetPrefetch::TakePicture(kTexLoader, &image), AssetPrefetch::Taken::NotQueued);
    EXPECT_TRUE(AssetPrefetch::IsDecoded(kTexLoader));
}
