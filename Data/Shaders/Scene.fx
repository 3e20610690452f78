// The 3D scenes' shaders, one technique per kind of scene. Effects set the
// camera (g_mView, g_mProj) and the object's g_mModel; everything else keeps
// its default unless an effect says otherwise.

// ==== Shared by every scene technique ====================================
float4x4 g_mProj;
float4x4 g_mView;
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
        float specular = pow(clamp(dot(r, vd), 0.0, 1.0), 32.0) * nl;
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
    }
}

technique TechCylinder {
    pass p0 {
        VertexShader = VS_Cylinder;
        PixelShader = PS_Cylinder;
    }
}
