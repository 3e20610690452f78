#include <gtest/gtest.h>

#include <cstring>

#include "platform/fx_parser.h"

namespace {

bool Parse(const char* text, Fx::Description* fx, std::string* error = nullptr) {
    std::string ignored;
    return Fx::Parse(text, std::strlen(text), fx, error ? error : &ignored);
}

}  // namespace

TEST(FxParser, ReadsParametersSamplersAndPasses) {
    const char* text = R"fx(
        float    g_a = 1.5;               // number
        float3   g_b = float3(-0.5, 0.25, 0.25f);
        vec2     g_c = { 1, 2 };
        float    g_w[4] = { 0.1, 0.2 };    // the rest stays 0
        int      g_n = 64;
        float4x4 g_m;
        texture  g_t;
        samplerCUBE s = sampler_state { texture = g_t; ADDRESSU = CLAMP; MipFilter = LINEAR; };
        glsl { /* } */ float Twice(float x) { return 2.0 * x; } }
        pixelshader P { void main() { o_Colour = vec4(Twice(g_a)); } // }
        }
        technique T {
            pass p0 < float fScaleX = 0.25; int n = 3; > {
                VertexShader = null; PixelShader = P;
                zenable = FALSE; CullMode = none; SrcBlend = INVSRCALPHA; AlphaFunc = GREATEREQUAL; AlphaRef = 1;
            }
        }
    )fx";
    Fx::Description fx;
    std::string error;
    ASSERT_TRUE(Parse(text, &fx, &error)) << error;
    ASSERT_EQ(fx.params.size(), 7u);
    EXPECT_EQ(fx.params[0].value, std::vector<float>({1.5f}));
    EXPECT_EQ(fx.params[1].value, std::vector<float>({-0.5f, 0.25f, 0.25f}));
    EXPECT_EQ(fx.params[2].type, Fx::ParamType::Float2);
    EXPECT_EQ(fx.params[2].value, std::vector<float>({1, 2}));
    EXPECT_EQ(fx.params[3].value, std::vector<float>({0.1f, 0.2f, 0, 0}));
    EXPECT_EQ(fx.params[4].value, std::vector<float>({64}));
    EXPECT_EQ(fx.params[5].value.size(), 16u);
    ASSERT_EQ(fx.samplers.size(), 1u);
    EXPECT_TRUE(fx.samplers[0].cube);
    EXPECT_EQ(fx.samplers[0].texture, 6);
    EXPECT_EQ(fx.samplers[0].address[0], Fx::Address::Clamp);
    EXPECT_EQ(fx.samplers[0].address[1], Fx::Address::Wrap);
    EXPECT_EQ(fx.samplers[0].mipFilter, Fx::Filter::Linear);
    // Braces inside comments do not end a GLSL block; each block keeps its line.
    EXPECT_NE(fx.common.find("#line 10\n"), std::string::npos);
    ASSERT_EQ(fx.shaders.size(), 1u);
    EXPECT_EQ(fx.shaders[0].line, 11);
    EXPECT_NE(fx.shaders[0].body.find("Twice(g_a)"), std::string::npos);
    const Fx::Pass& pass = fx.techniques.at(0).passes.at(0);
    EXPECT_EQ(pass.vertexShader, -1);
    EXPECT_EQ(pass.pixelShader, 0);
    ASSERT_EQ(pass.annotations.size(), 2u);
    EXPECT_EQ(pass.annotations[0].value, 0.25f);
    // Direct3D 9 numbers: ZENABLE 7 false, CULLMODE 22 none (1), SRCBLEND 19
    // INVSRCALPHA (6), ALPHAFUNC 25 GREATEREQUAL (7), ALPHAREF 24.
    const Fx::PassState expected[] = {{7, 0}, {22, 1}, {19, 6}, {25, 7}, {24, 1}};
    ASSERT_EQ(pass.states.size(), std::size(expected));
    for (size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(pass.states[i].state, expected[i].state);
        EXPECT_EQ(pass.states[i].value, expected[i].value);
    }
}

TEST(FxParser, ErrorsNameTheLine) {
    struct Case { const char* text; const char* message; };
    const Case cases[] = {
        {"float a = {1, 2};", "line 1: too many values"},
        {"float a;\nfloat a;", "line 2: 'a' is declared twice"},
        {"texture t;\nsampler s = sampler_state { Texture = u; };", "line 2: 'u' is not a texture"},
        {"int n[4];", "line 1: only float parameters can be arrays"},
        {"pixelshader P { void main() {} }\ntechnique T { pass p { PixelShader = P;\n ZEnable = SRCALPHA; } }",
         "line 3: 'SRCALPHA' is not a value of this state"},
        {"pixelshader P { void main() {} }\ntechnique T { pass p { PixelShader = P; Fog = 1; } }",
         "line 2: unknown pass state 'Fog'"},
        {"vertexshader V { void main() {} }\ntechnique T { pass p { VertexShader = V; } }",
         "line 2: pass 'p' has no pixel shader"},
        {"float2 g;", "line 1: the file has no technique"},
        // Numbers beyond what their field holds.
        {"pixelshader P { void main() {} }\ntechnique T { pass p { PixelShader = P; AlphaRef = 1e20; } }",
         "line 2: bad state value"},
        {"pixelshader P { void main() {} }\ntechnique T { pass p { PixelShader = P; AlphaRef = 4294967296; } }",
         "line 2: bad state value"},
        {"float a[1e30];", "line 1: bad array size"},
        {"float a = 1e999;", "line 1: a number out of range"},
    };
    for (const Case& c : cases) {
        Fx::Description fx;
        std::string error;
        EXPECT_FALSE(Parse(c.text, &fx, &error)) << c.text;
        EXPECT_EQ(error, c.message) << c.text;
    }
}
