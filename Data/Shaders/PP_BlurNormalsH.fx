// Softens a normal image where it is covered (alpha above 0.1): a weighted
// sum of g_NumSamples samples at the given texel offsets, with the rest of
// the weight on the centre. The H and V files hold the same shader: both
// offsets run along the vertical axis.
float2  g_PixelRatio;
int     g_NumSamples = 64;
float   g_fWeights[64];
float   g_fOffsets[64];
texture g_txSrcColor;

sampler s_SrcColor = sampler_state {
    Texture = <g_txSrcColor>;
    AddressU = CLAMP; AddressV = CLAMP;
    MinFilter = LINEAR; MagFilter = LINEAR; MipFilter = LINEAR;
};

pixelshader PS_BlurNormals {
    void main() {
        vec4 o = texture(s_SrcColor, v_TexCoord0);
        if (o.a > 0.1) {
            vec4 n = vec4(0.0);
            float total = 0.0;
            int count = clamp(g_NumSamples, 0, 64);
            for (int i = 0; i < count; ++i) {
                n += texture(s_SrcColor, v_TexCoord0 + vec2(0.0, g_fOffsets[i]) * g_PixelRatio) * g_fWeights[i];
                total += g_fWeights[i];
            }
            n += o * (1.0 - total);
            o_Colour = vec4(n.rgb, 1.0);
        } else {
            o_Colour = vec4(0.0);
        }
    }
}

technique PostProcess {
    pass p0 {
        VertexShader = null;
        PixelShader = PS_BlurNormals;
        ZEnable = false;
    }
}
