// The 3D scenes: the scroller's metaball letters (and their flat shadows)
// and the ground grid they lie on.
float4x4 g_mProj;
float4x4 g_mView;
float4x4 g_mViewInverse;
float4x4 g_mModel;
float    g_fGridOffset = 0.0;
float    g_fGridFlash = 0.4;
float    g_fDistortScale = 0.0;
float4   g_vAmbientColor = float4(0.1, 0.1, 0.1, 1.0);
float4   g_vDiffuseColor = float4(0.4, 0.4, 0.4, 1.0);
float3   g_vLightDir = float3(0.25, 0.5, 0.25);
texture  g_txTexture;

sampler s_Texture = sampler_state {
    Texture = <g_txTexture>;
    AddressU = WRAP; AddressV = WRAP;
    MinFilter = LINEAR; MagFilter = LINEAR; MipFilter = LINEAR;
};

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

technique TechGrid {
    pass p0 {
        VertexShader = VS_Grid;
        PixelShader = PS_Grid;
    }
}
