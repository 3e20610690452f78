// The 3D scenes' shaders, one technique per kind of scene: the scroller's
// metaball letters (and their flat shadows) and the ground grid they lie on,
// the head and hand shots, and the falling cylinders. Effects set the camera
// (g_mView, g_mProj) and the object's g_mModel; everything else keeps its
// default unless an effect says otherwise.

// ==== Shared by every scene technique ====================================
float4x4 g_mProj;
float4x4 g_mView;
float4x4 g_mViewInverse;
float4x4 g_mModel;
float4   g_vAmbientColor = float4(0.1, 0.1, 0.1, 1.0);
float4   g_vDiffuseColor = float4(0.4, 0.4, 0.4, 1.0);
// Compared with view-space normals, so the light stays fixed to the viewer.
float3   g_vLightDir = float3(0.25, 0.5, 0.25);
texture  g_txTexture;

sampler s_Texture = sampler_state {
    Texture = <g_txTexture>;
    AddressU = WRAP; AddressV = WRAP;
    MinFilter = LINEAR; MagFilter = LINEAR; MipFilter = LINEAR;
};

// ==== Scroller: metaball letters (TechMetaball) and the grid (TechGrid) ====
float    g_fGridOffset = 0.0;
float    g_fGridFlash = 0.4;
float    g_fDistortScale = 0.0;

// ---- Metaball letters ---------------------------------------------------

vertexshader VS_Metaball {
    out vec3 v_Normal;  // view space
    out vec3 v_View;
    out vec3 v_World;
    void main() {
        vec4 world = g_mModel * in_Position;
        vec3 n = normalize(mat3(g_mModel) * in_Normal);
        // Spikes along the normal while a spike burst runs; the pattern comes
        // from the untransformed position, so it sticks to the letter.
        world.xyz += n * abs(sin((in_Position.x + in_Position.z) * 32.0)) * g_fDistortScale * 0.5;
        vec4 view = g_mView * world;
        gl_Position = g_mProj * view;
        v_Normal = mat3(g_mView) * (mat3(g_mModel) * in_Normal);
        v_View = view.xyz - g_mView[3].xyz;
        v_World = world.xyz;
    }
}

pixelshader PS_Metaball {
    in vec3 v_Normal;
    in vec3 v_View;
    in vec3 v_World;
    void main() {
        // A diffuse colour with red exactly 0 marks the shadow pass: a faint
        // flat black.
        if (g_vDiffuseColor.r == 0.0) {
            o_Colour = vec4(0.0, 0.0, 0.0, 0.1);
            return;
        }
        vec3 n = normalize(v_Normal);
        vec3 v = normalize(v_View);
        vec3 l = normalize(g_vLightDir);
        float diff = clamp(dot(n, l), 0.0, 1.0);
        vec3 r = normalize(2.0 * diff * n - l);
        float s = pow(clamp(dot(r, v), 0.0, 1.0), 8.0);
        vec4 colour = g_vAmbientColor + g_vDiffuseColor * diff;
        // The ground pattern shows through the letters and moves with the grid.
        colour.rgb += texture(s_Texture, vec2((v_World.x - g_fGridOffset) * 0.5, v_World.z * 0.5)).rgb * 0.5;
        colour += vec4(s);
        colour.a = g_vDiffuseColor.a;
        o_Colour = colour;
    }
}

technique TechMetaball {
    pass p0 {
        VertexShader = VS_Metaball;
        PixelShader = PS_Metaball;
        ZEnable = true;
        ZWriteEnable = true;
        AlphaBlendEnable = true;
        SrcBlend = SRCALPHA;
        DestBlend = INVSRCALPHA;
        CullMode = CW;
    }
}

// ---- Ground grid --------------------------------------------------------

vertexshader VS_Grid {
    void main() {
        gl_Position = g_mProj * (g_mView * (g_mModel * in_Position));
        v_TexCoord0 = in_TexCoord0;
    }
}

pixelshader PS_Grid {
    void main() { o_Colour = vec4(texture(s_Texture, v_TexCoord0).rgb * g_fGridFlash, 1.0); }
}

// The grid, the heads and the cylinders write alpha 1: blending them would
// change nothing, and the alpha test would drop nothing, so both are left
// off (without the test the driver tests and writes depth before shading).
technique TechGrid {
    pass p0 {
        VertexShader = VS_Grid;
        PixelShader = PS_Grid;
        AlphaBlendEnable = false;
        AlphaTestEnable = false;
    }
}

// ==== Head and hand shots (TechHead), falling cylinders (TechCylinder) ====
float   g_fShininess = 0.5;  // how much of the cube map the surface reflects
texture g_txAOTexture;
texture g_txCubemap;

sampler s_AOTexture = sampler_state {
    Texture = <g_txAOTexture>;
    AddressU = WRAP; AddressV = WRAP;
    MinFilter = LINEAR; MagFilter = LINEAR; MipFilter = LINEAR;
};
// The cube map has one level: no mip filter.
samplerCUBE s_Cubemap = sampler_state {
    Texture = <g_txCubemap>;
    AddressU = CLAMP; AddressV = CLAMP; AddressW = CLAMP;
    MinFilter = LINEAR; MagFilter = LINEAR; MipFilter = NONE;
};

// Row vectors: position x model x view x projection.
vertexshader VS_Head {
    out vec3 v_Normal;
    out vec3 v_ViewDir;
    out vec3 v_Reflect;
    void main() {
        vec4 world = g_mModel * in_Position;
        vec4 view = g_mView * world;
        gl_Position = g_mProj * view;
        v_TexCoord0 = in_TexCoord0;
        // The view position without the view's translation (its fourth row):
        // the world position turned into the camera's axes.
        v_ViewDir = view.xyz - g_mView[3].xyz;
        vec3 n = normalize(mat3(g_mView) * (mat3(g_mModel) * in_Normal));
        v_Normal = n;
        // The eye vector mirrored about the normal looks up the cube map.
        vec3 e = -normalize(view.xyz);
        v_Reflect = 2.0 * dot(e, n) * n - e;
    }
}

pixelshader PS_Head {
    in vec3 v_Normal;
    in vec3 v_ViewDir;
    in vec3 v_Reflect;
    void main() {
        vec3 n = normalize(v_Normal);
        vec3 vd = normalize(v_ViewDir);
        vec3 l = normalize(g_vLightDir);
        float nl = clamp(dot(n, l), 0.0, 1.0);
        vec3 r = normalize(2.0 * nl * n - l);
        // The 32nd power by five squarings: the same curve as pow(s, 32.0),
        // which the driver works out through a logarithm and an exponential
        // for a tenth of the pixel's cost.
        float s = clamp(dot(r, vd), 0.0, 1.0);
        s *= s;
        s *= s;
        s *= s;
        s *= s;
        s *= s;
        float specular = s * nl;
        float ao = texture(s_AOTexture, v_TexCoord0).r;
        vec4 reflection = texture(s_Cubemap, v_Reflect) * g_fShininess;
        vec4 colour = (reflection + g_vAmbientColor) * ao + g_vDiffuseColor * nl + specular;
        o_Colour = vec4(colour.rgb, 1.0);
    }
}

vertexshader VS_Cylinder {
    out vec3 v_Normal;
    void main() {
        gl_Position = g_mProj * (g_mView * (g_mModel * in_Position));
        v_TexCoord0 = in_TexCoord0;
        v_Normal = mat3(g_mView) * (mat3(g_mModel) * in_Normal);
    }
}

pixelshader PS_Cylinder {
    in vec3 v_Normal;
    void main() {
        vec3 n = normalize(v_Normal);
        vec3 l = normalize(g_vLightDir);
        // Unclamped: the side turned away from the light goes to black.
        vec4 colour = texture(s_Texture, v_TexCoord0) * dot(n, l);
        o_Colour = vec4(colour.rgb, 1.0);
    }
}

technique TechHead {
    pass p0 {
        VertexShader = VS_Head;
        PixelShader = PS_Head;
        AlphaBlendEnable = false;
        AlphaTestEnable = false;
    }
}

technique TechCylinder {
    pass p0 {
        VertexShader = VS_Cylinder;
        PixelShader = PS_Cylinder;
        AlphaBlendEnable = false;
        AlphaTestEnable = false;
    }
}
