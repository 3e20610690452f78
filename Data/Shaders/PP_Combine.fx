// The source added to the unfiltered scene (texture coordinate 1 always
// spans the whole scene), at the current region size.
float2  g_PixelRatio;
texture g_txSrcColor;
texture g_txSceneColor;

sampler s_SrcColor = sampler_state {
    Texture = <g_txSrcColor>;
    AddressU = CLAMP; AddressV = CLAMP;
    MinFilter = LINEAR; MagFilter = LINEAR; MipFilter = LINEAR;
};
sampler s_SceneColor = sampler_state {
    Texture = <g_txSceneColor>;
    AddressU = CLAMP; AddressV = CLAMP;
    MinFilter = POINT; MagFilter = LINEAR; MipFilter = LINEAR;
};

pixelshader PS_Combine {
    void main() { o_Colour = texture(s_SceneColor, v_TexCoord1) + texture(s_SrcColor, v_TexCoord0); }
}

technique PostProcess {
    pass p0 {
        VertexShader = null;
        PixelShader = PS_Combine;
        ZEnable = false;
    }
}
