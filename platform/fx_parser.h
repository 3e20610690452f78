// The effect-file format: a small declarative layer, in the spirit of FX
// files, around GLSL 3.30 shader bodies. Example:
//
//     // Parameters: float, float2, float3, float4, float4x4, int (the GLSL
//     // names vec2.. and mat4 work too), optional [N] array size, optional
//     // default: a number, { list } or TYPE(list). Textures have no value.
//     float2   g_PixelRatio;
//     float    g_BloomScale = 1.5;
//     float3   g_vLightDir = float3(-0.5, 0.25, 0.25);
//     float    g_fWeights[64];
//     texture  g_txSrcColor;
//
//     // Samplers bind a texture parameter with Direct3D 9 sampler states:
//     // AddressU/V/W = WRAP | CLAMP | MIRROR | BORDER,
//     // MinFilter/MagFilter/MipFilter = POINT | LINEAR | NONE.
//     // `sampler`/`sampler2D` is a 2D sampler, `samplerCUBE` a cube map.
//     sampler s_Src = sampler_state { Texture = <g_txSrcColor>; AddressU = CLAMP;
//                                     AddressV = CLAMP; MinFilter = LINEAR; };
//
//     // Shared GLSL (functions, constants), put before every shader body.
//     glsl { vec4 Darken(vec4 c) { return c * 0.5; } }
//
//     // Shader bodies are GLSL with their own `void main()`. Every
//     // parameter and sampler above is a uniform of the same name.
//     // Vertex inputs: in_Position (vec4, w = 1 when the data has three
//     // floats), in_Colour (vec4), in_Normal (vec3), in_TexCoord0..4 (vec2).
//     // Both stages have the varyings v_Colour (vec4), v_TexCoord0 and
//     // v_TexCoord1 (vec2); declare any others yourself in both stages.
//     // A pixel body writes o_Colour (and may write gl_FragDepth).
//     vertexshader VS_Scene { void main() { gl_Position = g_mProj * in_Position; } }
//     pixelshader  PS_Bloom { void main() { o_Colour = Darken(texture(s_Src, v_TexCoord0)); } }
//
//     // Techniques hold passes; a pass names shaders declared above it. A pass may carry float (or int) annotations
//     // in < >, and states: VertexShader = NAME | null (null: positions are
//     // pre-transformed pixels and pass straight through with v_Colour and
//     // the texture coordinates), PixelShader = NAME, and the render states
//     // of platform/render_states.h (ZEnable, ZWriteEnable, ZFunc,
//     // AlphaBlendEnable, SrcBlend, DestBlend, BlendOp, AlphaTestEnable,
//     // AlphaRef, AlphaFunc, CullMode, Lighting, PointSpriteEnable) with
//     // true/false, numbers or Direct3D 9 names (NONE, CW, CCW, ONE,
//     // SRCALPHA, INVSRCALPHA, LESSEQUAL, ...).
//     technique PostProcess {
//         pass p0 < float fScaleX = 0.25; float fScaleY = 0.25; > {
//             VertexShader = null;
//             PixelShader = PS_Bloom;
//             ZEnable = false;
//         }
//     }
//
// Matrices keep the show's layout (row-major, row vectors): in GLSL,
// `M * v` is the row vector v times M, mat3(M) * n turns a normal, and
// element (row r, column c) of the matrix is M[r][c], counted from 0 as
// HLSL's _mRC names count (M._m00, or M._11, is M[0][0]; M._m11 is M[1][1]).
// Vertex stages may read textures (textureLod) and set gl_PointSize; pixel
// stages may read gl_PointCoord (0, 0 at a sprite's top-left) and write
// gl_FragDepth (0 near, 1 far).
// Keywords and state names are case-insensitive; names are not. Comments are
// // and /* */.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace Fx {

enum class ParamType : uint8_t { Float, Float2, Float3, Float4, Float4x4, Int, Texture };
int ComponentCount(ParamType type);  // floats per element; 0 for textures

struct Param {
    std::string name;
    ParamType type = ParamType::Float;
    int arraySize = 0;         // 0: not an array
    std::vector<float> value;  // ComponentCount x max(1, arraySize) values
};

enum class Address : uint8_t { Wrap, Clamp, Mirror, Border };
enum class Filter : uint8_t { None, Point, Linear };

struct Sampler {
    std::string name;
    bool cube = false;
    int texture = -1;  // index of the texture parameter
    Address address[3] = {Address::Wrap, Address::Wrap, Address::Wrap};
    Filter minFilter = Filter::Point, magFilter = Filter::Point, mipFilter = Filter::None;
};

struct Shader {
    std::string name;
    bool vertex = false;
    std::string body;
    int line = 1;  // where the body starts in the file
};

struct PassState {
    uint32_t state, value;
};  // Direct3D 9 render-state number and value
struct Annotation {
    std::string name;
    float value;
};

struct Pass {
    std::string name;
    int vertexShader = -1;  // index into shaders; -1: pre-transformed pass-through
    int pixelShader = -1;
    std::vector<PassState> states;
    std::vector<Annotation> annotations;
};

struct Technique {
    std::string name;
    std::vector<Pass> passes;
};

struct Description {
    std::vector<Param> params;
    std::vector<Sampler> samplers;
    std::vector<Shader> shaders;
    std::vector<Technique> techniques;
    std::string common;  // the glsl { } blocks, in order, each after a #line
};

// False with "line N: what is wrong" in *error.
bool Parse(const char* text, size_t length, Description* out, std::string* error);

}  // namespace Fx
