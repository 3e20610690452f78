// The numbers of the assets compiled into the executable, by name. Every
// lookup in the code uses these; Data/resources.manifest lists the same
// numbers with the file each one is made from.
#pragma once

enum ResourceId : int {
    // Effect files (RCDATA): the scene shaders, the final colour split and
    // the post-processing passes.
    kFxScene = 101,
    kFxVoxel = 105,
    kFxRgbSplit = 110,
    kFxBlurNormalsH = 112,
    kFxBlurNormalsV = 113,
    kFxLightNormals = 114,
    kFxBloomH = 276,
    kFxBloomV = 277,
    kFxBrightPass = 280,
    kFxCombine = 281,
    kFxCombine4 = 282,
    kFxDownFilter4 = 283,
    kFxUpFilter4 = 284,

    // Pictures (PNG, RCDATA).
    kTexLogo = 102,
    kTexGrid = 103,
    kTexMetaFont = 104,
    kTexHeadAO = 107,
    kTexLoader = 108,
    kTexLoadingPip = 109,
    kTexMission = 111,
    kTexLaserFont = 115,
    kTexLaserFlare = 116,
    kTexLaserSmoke = 117,
    kTexHandAO = 118,
    kTexOverlay1 = 119,  // the four HUD overlays of the mesh shots: 119..122
    kTexOverlay2 = 120,
    kTexOverlay3 = 121,
    kTexOverlay4 = 122,
    kTexEndScreen = 127,
    kTexScrollerOverlay = 128,
    kTexFunText = 129,
    kTexSetup = 201,  // the setup dialog's picture

    // The cube map (DDS, RCDATA).
    kCubeStudio = 106,

    // Meshes (DirectX .x, RCDATA).
    kMeshHead = 285,
    kMeshHand = 286,
    kMeshCylinder = 287,

    // The soundtrack (Ogg Vorbis, type MUSIC).
    kMusicSoundtrack = 124,

    // The text font, Liberation Sans Bold (the metric twin of Arial Bold).
    kFontText = 900,
    // The setup dialog's font, Liberation Sans Regular (beside its picture).
    kFontDialog = 202,
};
