// The horizontal half of the bloom blur: 13 taps weighted by the normal density
// with standard deviation 2, then scaled by g_BloomScale.
float2  g_PixelRatio;
float   g_BloomScale = 1.5;
texture g_txSrcColor;

sampler s_SrcColor = sampler_state {
    Texture = <g_txSrcColor>;
    AddressU = CLAMP; AddressV = CLAMP;
    MinFilter = LINEAR; MagFilter = LINEAR; MipFilter = LINEAR;
};

glsl {
    const float kWeights[13] = float[13](
        0.002216, 0.008764, 0.026995, 0.064759, 0.120985, 0.176033, 0.199471,
        0.176033, 0.120985, 0.064759, 0.026995, 0.008764, 0.002216);
}

pixelshader PS_BloomH {
    void main() {
        vec4 sum = vec4(0.0);
        for (int k = -6; k <= 6; ++k)
            sum += texture(s_SrcColor, v_TexCoord0 + vec2(float(k), 0.0) * g_PixelRatio) * kWeights[k + 6];
        o_Colour = sum * g_BloomScale;
    }
}

technique PostProcess {
    pass p0 {
        VertexShader = null;
        PixelShader = PS_BloomH;
        ZEnable = false;
    }
}
