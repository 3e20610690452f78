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
        // The pixel's centre lies between the block's middle texels. A
        // filtered read at +-1 texel from it lands where four texel centres
        // meet and gives their mean, so four reads cover the 16 texels.
        vec4 sum = texture(s_SrcColor, v_TexCoord0 + vec2(-1.0, -1.0) * g_PixelRatio) +
                   texture(s_SrcColor, v_TexCoord0 + vec2(1.0, -1.0) * g_PixelRatio) +
                   texture(s_SrcColor, v_TexCoord0 + vec2(-1.0, 1.0) * g_PixelRatio) +
                   texture(s_SrcColor, v_TexCoord0 + vec2(1.0, 1.0) * g_PixelRatio);
        o_Colour = sum * 0.25;
    }
}

technique PostProcess {
    pass p0 < float fScaleX = 0.25; float fScaleY = 0.25; > {
        VertexShader = null;
        PixelShader = PS_DownFilter4;
        ZEnable = false;  // a chain target\'s depth holds nothing to test against
    }
}
