// Quarter-size reduction: each pixel is the mean of a 4 x 4 block of source
// texels. The region drawn shrinks to a quarter in each direction.
float2  g_PixelRatio;
texture g_txSrcColor;

sampler s_SrcColor = sampler_state {
    Texture = <g_txSrcColor>;
    AddressU = CLAMP; AddressV = CLAMP;
    MinFilter = LINEAR; MagFilter = LINEAR; MipFilter = LINEAR;
};

pixelshader PS_DownFilter4 {
    void main() {
        // The pixel's centre lies between the block's middle texels, so
        // offsets of +-0.5 and +-1.5 texels hit the 16 texel centres.
        vec4 sum = vec4(0.0);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x)
                sum += texture(s_SrcColor, v_TexCoord0 + vec2(1.5 - float(x), float(y) - 1.5) * g_PixelRatio);
        o_Colour = sum / 16.0;
    }
}

technique PostProcess {
    pass p0 < float fScaleX = 0.25; float fScaleY = 0.25; > {
        VertexShader = null;
        PixelShader = PS_DownFilter4;
        ZEnable = false;  // a chain target\'s depth holds nothing to test against
    }
}
