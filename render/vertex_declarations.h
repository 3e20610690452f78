// The ten vertex layouts every drawing module shares, by name
// (GraphicsDevice::GetVertexDeclaration). Stream 0, usage index 0 throughout;
// "Screen" positions are pre-transformed pixels (x, y, z, rhw).
#pragma once

enum VertexDeclarationId : int {
    kDeclPos = 0,                 // position
    kDeclPosColour = 1,           // position, colour: 3D lines
    kDeclScreenColour = 2,        // pre-transformed, colour: solid 2D quads
    kDeclPosColourNormal = 3,     // position, colour, normal
    kDeclPosTex = 4,              // position, texcoord
    kDeclPosColourTex = 5,        // position, colour, texcoord
    kDeclScreenColourTex = 6,     // pre-transformed, colour, texcoord: textured 2D quads
    kDeclPosColourNormalTex = 7,  // position, colour, normal, texcoord
    kDeclPosNormal = 8,           // position, normal: the metaball surface
    kDeclPosNormalTex = 9,        // position, normal, texcoord: meshes
    kVertexDeclarationCount = 10,
};
