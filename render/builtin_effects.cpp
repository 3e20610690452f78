#include "render/builtin_effects.h"

// Quads come with pre-transformed positions, so their vertex stages are
// bypassed; g_OrthogonalMatrix maps the same pixel positions for any other
// declaration. Lines go through the camera's matrices.
const char kEffect2DSource[] = R"fx(
texture  g_Texture;
float4x4 g_OrthogonalMatrix;
float4x4 g_mProj;
float4x4 g_mModel;
float4x4 g_mModelView;

sampler texSampler0 = sampler_state {
    Texture = <g_Texture>;
    MinFilter = LINEAR; MagFilter = LINEAR; MipFilter = LINEAR;
    AddressU = WRAP; AddressV = WRAP;
};
// The same texture without its smaller levels, for quads that show it at
// its own size or larger: there only the first level is sampled anyway, and
// leaving out the level choice saves a good part of the pixel's cost.
sampler texSampler0Level0 = sampler_state {
    Texture = <g_Texture>;
    MinFilter = LINEAR; MagFilter = LINEAR; MipFilter = NONE;
    AddressU = WRAP; AddressV = WRAP;
};
// For quads that show each texel on exactly one pixel.
sampler texSampler0Point = sampler_state {
    Texture = <g_Texture>;
    MinFilter = POINT; MagFilter = POINT; MipFilter = NONE;
    AddressU = WRAP; AddressV = WRAP;
};

vertexshader VS_PosCol {
    void main() {
        gl_Position = g_OrthogonalMatrix * in_Position;
        v_Colour = in_Colour;
    }
}

pixelshader PS_PosCol {
    void main() { o_Colour = v_Colour; }
}

vertexshader VS_PosColTex {
    void main() {
        gl_Position = g_OrthogonalMatrix * in_Position;
        v_Colour = in_Colour;
        v_TexCoord0 = in_TexCoord0;
    }
}

pixelshader PS_PosColTex {
    void main() { o_Colour = texture(texSampler0, v_TexCoord0) * v_Colour; }
}

pixelshader PS_PosColTexLevel0 {
    void main() { o_Colour = texture(texSampler0Level0, v_TexCoord0) * v_Colour; }
}

pixelshader PS_PosColTexPoint {
    void main() { o_Colour = texture(texSampler0Point, v_TexCoord0) * v_Colour; }
}

// Alpha from the brightness of the tinted texel.
pixelshader PS_PosColTexAlpha {
    void main() {
        vec4 c = texture(texSampler0, v_TexCoord0) * v_Colour;
        c.a = v_Colour.a * ((c.r + c.g + c.b) / 3.0);
        o_Colour = c;
    }
}

vertexshader VS_Line {
    void main() {
        gl_Position = g_mProj * (g_mModelView * vec4(in_Position.xyz, 1.0));
        v_Colour = in_Colour;
    }
}

pixelshader PS_Line {
    void main() { o_Colour = v_Colour; }
}

technique PosCol2D {
    pass Single_Pass { VertexShader = VS_PosCol; PixelShader = PS_PosCol; }
}
technique PosColTex2D {
    pass Single_Pass { VertexShader = VS_PosColTex; PixelShader = PS_PosColTex; }
}
technique PosColTex2DLevel0 {
    pass Single_Pass { VertexShader = VS_PosColTex; PixelShader = PS_PosColTexLevel0; }
}
technique PosColTex2DPoint {
    pass Single_Pass { VertexShader = VS_PosColTex; PixelShader = PS_PosColTexPoint; }
}
technique PosColTex2DAlpha {
    pass Single_Pass { VertexShader = VS_PosColTex; PixelShader = PS_PosColTexAlpha; }
}
technique RenderLine {
    pass p0 { VertexShader = VS_Line; PixelShader = PS_Line; }
}
)fx";

// Shows a chain target stretched over the quad.
const char kCopyEffectSource[] = R"fx(
texture g_Texture;
sampler texSampler0 = sampler_state {
    Texture = <g_Texture>;
    MipFilter = LINEAR; MinFilter = LINEAR; MagFilter = LINEAR;
    AddressU = CLAMP; AddressV = CLAMP;
};

pixelshader PixNoLight {
    void main() { o_Colour = texture(texSampler0, v_TexCoord0); }
}

technique RenderNoLight {
    pass p0 {
        VertexShader = null;
        PixelShader = PixNoLight;
        ZEnable = false;
    }
}
)fx";

// A post-processing pass: half-size reduction, each pixel the mean of a 2 x 2
// block of source texels. The pixel's centre lies where the block's four
// texel centres meet, so one filtered read gives their mean.
const char kHalfReductionSource[] = R"fx(
texture g_txSrcColor;
sampler s_SrcColor = sampler_state {
    Texture = <g_txSrcColor>;
    MinFilter = LINEAR; MagFilter = LINEAR; MipFilter = NONE;
    AddressU = CLAMP; AddressV = CLAMP;
};

pixelshader PS_HalfReduction {
    void main() { o_Colour = texture(s_SrcColor, v_TexCoord0); }
}

technique PostProcess {
    pass p0 < float fScaleX = 0.5; float fScaleY = 0.5; > {
        VertexShader = null;
        PixelShader = PS_HalfReduction;
        ZEnable = false;
    }
}
)fx";
