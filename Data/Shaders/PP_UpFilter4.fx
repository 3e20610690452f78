// Four-times enlargement: one filtered source sample per pixel.
float2  g_PixelRatio;
texture g_txSrcColor;

sampler s_SrcColor = sampler_state {
    Texture = <g_txSrcColor>;
    AddressU = CLAMP; AddressV = CLAMP;
    MinFilter = LINEAR; MagFilter = LINEAR; MipFilter = LINEAR;
};

pixelshader PS_UpFilter4 {
    void main() { o_Colour = texture(s_SrcColor, v_TexCoord0); }
}

technique PostProcess {
    pass p0 < float fScaleX = 4.0; float fScaleY = 4.0; > {
        VertexShader = null;
        PixelShader = PS_UpFilter4;
        ZEnable = false;  // a chain target\'s depth holds nothing to test against
    }
}
