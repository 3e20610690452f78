// Every declaration the effect-file format has.
float2   g_PixelRatio;
float    g_BloomScale = 1.5;
float3   g_vLightDir = float3(-0.5, 0.25, 0.25);
float    g_fWeights[4] = { 0.1, 0.2, 0.3, 0.4 };
float4x4 g_mProj;
int      g_iCount = 3;
texture  g_txSrcColor;
sampler s_Src = sampler_state { Texture = <g_txSrcColor>; AddressU = CLAMP; AddressV = MIRROR;
                                MinFilter = LINEAR; MagFilter = POINT; MipFilter = NONE; };
samplerCUBE s_Cube = sampler_state { Texture = g_txSrcColor; AddressW = BORDER; };
glsl { vec4 Darken(vec4 c) { return c * 0.5; /* } in a comment */ } }
vertexshader VS_Scene { void main() { gl_Position = g_mProj * in_Position; } }
pixelshader  PS_Bloom { void main() { o_Colour = Darken(texture(s_Src, v_TexCoord0)); } }
technique PostProcess {
    pass p0 < float fScaleX = 0.25; int iPasses = 2; > {
        VertexShader = VS_Scene;
        PixelShader = PS_Bloom;
        ZEnable = false; ZFunc = LESSEQUAL; AlphaBlendEnable = TRUE;
        SrcBlend = SRCALPHA; DestBlend = INVSRCALPHA; CullMode = 1; AlphaRef = 0x10;
    }
    pass p1 { VertexShader = null; PixelShader = PS_Bloom; }
}
