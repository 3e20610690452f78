// The voxel cloud.
//
// TechVoxel evaluates the ball field over the 32 x 32 x 32 volume: drawn
// over a 32 x 1024 float target, the stack of the 32 slices (slice k in rows
// 32 k .. 32 k + 31), each pixel gets the density of its voxel. One pass
// over the stack instead of one a slice, and the driver shares it between
// its threads; the slices are copied out of it.
//
// TechParticle draws one point sprite per voxel, sized by the density
// around its texel of the slice and shaded as a small sphere: it writes the
// sphere's normal, turned by the model and view rotations and mapped to
// 0..1, with alpha 1 where the sprite is covered, and its own depth.
float4x4 g_mModel;
float4x4 g_mView;
float4x4 g_mProj;

float    g_fMinLevel = 0.2;  // the field's level: a ball reaches this far, and a voxel needs this much
float3   g_vBalls[64];
int      g_nBalls = 64;          // how many of g_vBalls (the first ones) are added up

float2   g_vTexelSize = float2(0.03125, 0.03125);
float    g_fTargetHeight = 720.0;  // the picture's height in pixels
float    g_fPointScale = 1.0;      // pixels of the sprites' target per pixel of the picture
texture  g_txTexture;              // the slice the sprites read
texture  g_txNormalMap;

sampler s_Slice = sampler_state {
    Texture = <g_txTexture>;
    AddressU = CLAMP; AddressV = CLAMP;
    MinFilter = LINEAR; MagFilter = LINEAR; MipFilter = NONE;
};
sampler s_NormalMap = sampler_state {
    Texture = <g_txNormalMap>;
    AddressU = CLAMP; AddressV = CLAMP;
    MinFilter = LINEAR; MagFilter = LINEAR; MipFilter = NONE;
};

// Each ball within reach adds how much closer than g_fMinLevel the point
// is. Below the level the voxel is empty; above it the density is the sum in
// units of the level, at most 2. A level of 0 (the tweak's minimum) reaches
// nothing: empty, never 0 / 0.
glsl {
    float FieldDensity(vec3 p) {
        float m = g_fMinLevel;
        float d = 0.0;
        int count = clamp(g_nBalls, 0, 64);
        for (int i = 0; i < count; ++i) {
            float r = distance(p, g_vBalls[i]);
            if (r < m) d += m - r;
        }
        return (m <= 0.0 || d < m) ? 0.0 : min(d / m, 2.0);
    }
}

// Drawn over the 32 x 1024 stack, whose quad lies half a pixel in as a
// slice's would: pixel row r holds (r - 0.5) / 1024, so r is found again by
// rounding. Row e of slice k gets the field at (u, (e - 0.5) / 32, k / 32);
// its row 0, which a slice's own quad would miss, stays empty.
pixelshader PS_Voxel {
    void main() {
        float row = floor(v_TexCoord0.y * 1024.0 + 1.0);
        float k = floor(row / 32.0);
        float e = row - 32.0 * k;
        o_Colour = vec4(e == 0.0 ? 0.0 : FieldDensity(vec3(v_TexCoord0.x, (e - 0.5) / 32.0, k / 32.0)));
    }
}

vertexshader VS_Particle {
    out float v_Size;
    out float v_Depth;
    out float v_ClipW;
    void main() {
        // The mean of the voxel's texel corner and its +1 neighbours, read
        // between texels with linear filtering: a soft density.
        vec2 uv = in_TexCoord0;
        float s = (textureLod(s_Slice, uv, 0.0).r + textureLod(s_Slice, uv + vec2(g_vTexelSize.x, 0.0), 0.0).r +
                   textureLod(s_Slice, uv + vec2(0.0, g_vTexelSize.y), 0.0).r +
                   textureLod(s_Slice, uv + g_vTexelSize, 0.0).r) * 0.25;
        vec4 clip = g_mProj * (g_mView * (g_mModel * in_Position));
        // A sphere of diameter 0.02 s projected into pixels: the
        // projection's vertical scale (g_mProj[1][1]) over the distance, times
        // half the target's height.
        float size = s * 0.02 * (g_mProj[1][1] / clip.w) * (g_fTargetHeight * 0.5);
        // An empty voxel's sprite would only write alpha 0, which the alpha
        // test drops: it goes outside the view instead, unrasterised.
        gl_Position = size > 0.5 ? clip : vec4(2.0, 2.0, 2.0, 1.0);
        // Drawn into a smaller target the sprite shrinks with it; its depth
        // keeps to the picture's pixels, so overlapping sprites hide each
        // other as they would at full size.
        gl_PointSize = size * g_fPointScale;
        v_Size = size;
        v_Depth = clip.z / clip.w;
        v_ClipW = clip.w;
    }
}

pixelshader PS_Particle {
    in float v_Size;
    in float v_Depth;
    in float v_ClipW;
    void main() {
        o_Colour = vec4(0.0);
        gl_FragDepth = 0.0;
        if (v_Size > 0.5) {
            // Outside the disc the map holds zeros: a component of 0 leaves
            // the pixel transparent (the alpha test drops it). Only a texel
            // with a normal is normalised.
            vec3 t = texture(s_NormalMap, gl_PointCoord).xyz;
            float alpha = t.x * t.y * t.z != 0.0 ? 1.0 : 0.0;
            vec3 n = alpha != 0.0 ? normalize(t) : vec3(0.0, 0.0, 1.0);
            float particleZ = n.z;
            vec3 turned = normalize(mat3(g_mView) * (mat3(g_mModel) * n));
            o_Colour = vec4((turned + 1.0) * 0.5, alpha);
            // Towards its rim the sphere lies further back.
            gl_FragDepth = v_Depth + 1.0 / (particleZ * v_Size) / v_ClipW;
        }
    }
}

// The slices hold the density itself: blending it over their cleared zeros
// (source alpha = density) would square it.
technique TechVoxel {
    pass p0 {
        VertexShader = null;
        PixelShader = PS_Voxel;
        AlphaBlendEnable = false;
    }
}

// A sprite's alpha is 1 or 0, and the alpha test drops the 0s: what is
// left would replace the pixel whether blended or not.
technique TechParticle {
    pass p0 {
        VertexShader = VS_Particle;
        PixelShader = PS_Particle;
        AlphaBlendEnable = false;
    }
}
