// The final pass of every frame: the scene with its red, green and blue
// channels shifted sideways by noise that drifts with time, brightened by the
// same noise. With g_fScale 0 it is a plain copy of the scene, which the
// technique PlainCopy gives with one read instead of five.
float2  g_PixelRatio;
float   g_fTimer;
float   g_fScale = 32.0;
texture g_txScene;
texture g_txNoise;

sampler s_Scene = sampler_state {
    Texture = <g_txScene>;
    AddressU = WRAP; AddressV = WRAP;
    MinFilter = LINEAR; MagFilter = LINEAR; MipFilter = LINEAR;
};
sampler s_Noise = sampler_state {
    Texture = <g_txNoise>;
    AddressU = WRAP; AddressV = WRAP;
    MinFilter = LINEAR; MagFilter = LINEAR; MipFilter = LINEAR;
};

pixelshader PS_RGBSplit {
    void main() {
        vec2 uv = v_TexCoord0;
        // One noise row per picture row, scrolled by the timer, offsets the
        // second noise read.
        vec2 to = texture(s_Noise, vec2(g_fTimer, uv.y)).rg;
        vec4 n = texture(s_Noise, uv + to);
        vec3 off = n.rgb * 0.04 * g_fScale;
        vec3 c;
        c.r = texture(s_Scene, vec2(uv.x + off.x, uv.y)).r;
        c.g = texture(s_Scene, vec2(uv.x + off.y, uv.y)).g;
        c.b = texture(s_Scene, vec2(uv.x + off.z, uv.y)).b;
        c += n.r * 0.5 * g_fScale;
        o_Colour = vec4(c, 1.0);
    }
}

pixelshader PS_PlainCopy {
    void main() { o_Colour = vec4(texture(s_Scene, v_TexCoord0).rgb, 1.0); }
}

// Both write alpha 1 over the whole picture: blending would change nothing,
// the alpha test would drop nothing and the depth test always passes, so
// none of them is done.
technique PostProcess {
    pass p0 {
        VertexShader = null;
        PixelShader = PS_RGBSplit;
        AlphaBlendEnable = false;
        AlphaTestEnable = false;
        ZEnable = false;
    }
}

technique PlainCopy {
    pass p0 {
        VertexShader = null;
        PixelShader = PS_PlainCopy;
        AlphaBlendEnable = false;
        AlphaTestEnable = false;
        ZEnable = false;
    }
}
