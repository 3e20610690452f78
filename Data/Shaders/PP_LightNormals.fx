// Lights a normal image (normals stored as (n + 1) / 2, alpha = coverage):
// a cube-map reflection along the view direction mirrored about the normal,
// plus a little ambient, times the diffuse term, times coverage. It enlarges
// four times as it lights: the normals come filtered from the quarter-size
// image, with no full-size copy of them in between.
float2  g_PixelRatio;
float3  g_vViewDir;
float3  g_vLightDir = float3(-0.5, 0.25, 0.25);
texture g_txSrcColor;
texture g_txCubemap;

sampler s_SrcColor = sampler_state {
    Texture = <g_txSrcColor>;
    AddressU = CLAMP; AddressV = CLAMP;
    MinFilter = LINEAR; MagFilter = LINEAR; MipFilter = LINEAR;
};
samplerCUBE s_Cubemap = sampler_state {
    Texture = <g_txCubemap>;
    AddressU = CLAMP; AddressV = CLAMP; AddressW = CLAMP;
    MinFilter = LINEAR; MagFilter = LINEAR; MipFilter = LINEAR;
};

pixelshader PS_LightNormals {
    void main() {
        vec4 c = texture(s_SrcColor, v_TexCoord0);
        // Where nothing is covered the result is alpha 0, which the alpha
        // test drops: dropped at once, most of the picture skips the work.
        if (c.a == 0.0) discard;
        vec3 normal = normalize((c.rgb - 0.5) * 2.0);
        vec3 e = normalize(g_vViewDir);
        vec3 r = 2.0 * dot(e, normal) * normal - e;
        float diff = dot(normal, normalize(g_vLightDir));
        vec4 colour = vec4(texture(s_Cubemap, r).rgb + 0.1, c.a);
        colour *= diff;
        colour *= colour.a;
        o_Colour = colour;
    }
}

technique PostProcess {
    pass p0 < float fScaleX = 4.0; float fScaleY = 4.0; > {
        VertexShader = null;
        PixelShader = PS_LightNormals;
        ZEnable = false;
    }
}
