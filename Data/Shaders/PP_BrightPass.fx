// Keeps the bright parts: the source is exposed for a middle grey of 0.18 at
// the given luminance, tone-mapped with a white cut-off of 0.8 (0.64 is its
// square), and scaled by g_Strength.
float2  g_PixelRatio;
float   Luminance = 0.08;
float   g_Strength = 0.5;
texture g_txSrcColor;

sampler s_SrcColor = sampler_state {
    Texture = <g_txSrcColor>;
    AddressU = CLAMP; AddressV = CLAMP;
    MinFilter = LINEAR; MagFilter = LINEAR; MipFilter = LINEAR;
};

pixelshader PS_BrightPass {
    void main() {
        vec4 c = texture(s_SrcColor, v_TexCoord0) * 0.18 / (Luminance + 0.001);
        c *= 1.0 + c / 0.64;
        c /= 1.0 + c;
        o_Colour = c * g_Strength;
    }
}

technique PostProcess {
    pass p0 {
        VertexShader = null;
        PixelShader = PS_BrightPass;
        ZEnable = false;  // a chain target\'s depth holds nothing to test against
    }
}
