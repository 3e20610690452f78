// The last step of the bloom: the blurred source, enlarged four times, added
// to the unfiltered scene (texture coordinate 1 always spans the whole scene).
float2  g_PixelRatio;
texture g_txSrcColor;
texture g_txSceneColor;

sampler s_SrcColor = sampler_state {
    Texture = <g_txSrcColor>;
    AddressU = CLAMP; AddressV = CLAMP;
    MinFilter = LINEAR; MagFilter = LINEAR; MipFilter = LINEAR;
};
// One scene texel a pixel, read at its centre, where a filter would return
// the texel itself: read unfiltered, for less work.
sampler s_SceneColor = sampler_state {
    Texture = <g_txSceneColor>;
    AddressU = CLAMP; AddressV = CLAMP;
    MinFilter = POINT; MagFilter = POINT; MipFilter = LINEAR;
};

pixelshader PS_Combine4 {
    void main() { o_Colour = texture(s_SceneColor, v_TexCoord1) + texture(s_SrcColor, v_TexCoord0); }
}

technique PostProcess {
    pass p0 < float fScaleX = 4.0; float fScaleY = 4.0; > {
        VertexShader = null;
        PixelShader = PS_Combine4;
        ZEnable = false;  // a chain target\'s depth holds nothing to test against
    }
}
