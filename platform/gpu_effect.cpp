// Effects: the parsed effect file (platform/fx_parser.h) turned into one GL
// program per pass, with parameters kept on the CPU and uploaded to a
// program only when they changed since its last draw.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "core/maths.h"
#include "platform/fx_parser.h"
#include "platform/gpu_internal.h"

namespace Gpu {

namespace {

struct Program {
    GLuint name = 0;
    std::vector<GLint> locations;    // per parameter; -1 when the program does not use it
    std::vector<uint32_t> uploaded;  // per parameter: the version last uploaded
    uint32_t samplers = 0;           // bit i: sampler i is used (texture unit i)
    GLint targetLocation = -1, alphaTestLocation = -1;
    float target[4] = {-1, -1, -1, -1};
    float alphaTest[2] = {-1, -1};
};

// Each pass is linked twice: [1] with the alpha test in its pixel stage,
// [0] without, for the draws where the test cannot change the picture
// (AlphaTestMatters), which the driver then shades more cheaply.
struct PassPrograms {
    Program own[2];             // the pass's own stages
    Program pretransformed[2];  // pass-through vertex stage + the pixel stage
    bool hasVertexShader = false;
};

enum class Bound : uint8_t { None, Flat, Cube };

}  // namespace

struct EffectData {
    std::string name;
    Fx::Description fx;
    std::vector<uint32_t> versions;     // per parameter, bumped by every set
    std::vector<const void*> textures;  // per parameter: Texture* or CubeTexture*
    std::vector<Bound> bound;           // what kind each texture pointer is
    std::vector<GLuint> samplerObjects;
    std::vector<std::vector<PassPrograms>> passes;  // per technique, per pass
    unsigned technique = 0;
    bool begun = false;
    struct Saved {
        uint32_t state, value;
    };
    Saved saved[16];  // render states to put back at End
    unsigned savedCount = 0;
    std::vector<std::string> unknownNames;  // set or selected once without being declared
};

// A name the effect's code uses that its file does not declare: usually a
// typo, which would otherwise only show as a missing picture. Said once per
// name and effect.
static void ReportUnknownName(EffectData* d, const char* what, const char* name) {
    if (!name) return;
    for (const std::string& n : d->unknownNames)
        if (n == name) return;
    d->unknownNames.emplace_back(name);
    std::fprintf(stderr, "lumivane: %s: no %s '%s' in the file\n", d->name.c_str(), what, name);
}

static std::vector<EffectData*> s_effects;  // every live effect, to forget released textures
static GLuint s_passThrough = 0;
static GLuint s_currentProgram = 0;
static GLuint s_unitSampler[kMaxSamplers];

static const char* GlslType(Fx::ParamType type) {
    switch (type) {
    case Fx::ParamType::Float: return "float";
    case Fx::ParamType::Float2: return "vec2";
    case Fx::ParamType::Float3: return "vec3";
    case Fx::ParamType::Float4: return "vec4";
    case Fx::ParamType::Float4x4: return "mat4";
    case Fx::ParamType::Int: return "int";
    case Fx::ParamType::Texture: return nullptr;
    }
    return nullptr;
}

// What every stage starts with: the version, the layer's own uniforms and
// the file's parameters and samplers as uniforms.
static std::string Prelude(const Fx::Description& fx) {
    std::string s =
        "#version 330 core\n"
        "uniform vec4 lv_Target;     // render target 0: width, height, 1/width, 1/height\n"
        "uniform vec2 lv_AlphaTest;  // comparison (Direct3D's), reference 0..255\n";
    for (const Fx::Param& p : fx.params) {
        const char* type = GlslType(p.type);
        if (!type) continue;
        s += std::string("uniform ") + type + " " + p.name;
        if (p.arraySize) s += "[" + std::to_string(p.arraySize) + "]";
        s += ";\n";
    }
    for (const Fx::Sampler& sm : fx.samplers)
        s += std::string("uniform ") + (sm.cube ? "samplerCube " : "sampler2D ") + sm.name + ";\n";
    return s;
}

static const char kVertexInterface[] =
    "layout(location = 0) in vec4 in_Position;\n"
    "layout(location = 1) in vec4 in_Colour;\n"
    "layout(location = 2) in vec3 in_Normal;\n"
    "layout(location = 3) in vec2 in_TexCoord0;\n"
    "layout(location = 4) in vec2 in_TexCoord1;\n"
    "layout(location = 5) in vec2 in_TexCoord2;\n"
    "layout(location = 6) in vec2 in_TexCoord3;\n"
    "layout(location = 7) in vec2 in_TexCoord4;\n"
    "out vec4 v_Colour;\n"
    "out vec2 v_TexCoord0;\n"
    "out vec2 v_TexCoord1;\n";

// Direct3D 9 centres pixels on integer coordinates, GL half a pixel further
// on: moving every vertex half a pixel right and down (in clip space, scaled
// by w) makes the two rasterise alike. Then y turns round so that clip-space
// top lands on row 0 (GL's origin is the bottom-left).
static const char kVertexEpilogue[] =
    "#undef main\n"
    "void main() {\n"
    "    lv_Main();\n"
    "    gl_Position.xy += vec2(lv_Target.z, -lv_Target.w) * gl_Position.w;\n"
    "    gl_Position.y = -gl_Position.y;\n"
    "}\n";

static const char kPixelInterface[] =
    "in vec4 v_Colour;\n"
    "in vec2 v_TexCoord0;\n"
    "in vec2 v_TexCoord1;\n"
    "layout(location = 0) out vec4 o_Colour;\n";

// The alpha test of Direct3D 9: alpha as an 8-bit value against ALPHAREF.
// Only draws whose test matters get it (AlphaTestMatters), so it is never
// off here.
static const char kPixelEpilogueTested[] =
    "#undef main\n"
    "void main() {\n"
    "    lv_Main();\n"
    "    int f = int(lv_AlphaTest.x);\n"
    "    float a = floor(clamp(o_Colour.a, 0.0, 1.0) * 255.0 + 0.5);\n"
    "    float r = lv_AlphaTest.y;\n"
    "    bool pass = f == 2 ? a < r : f == 3 ? a == r : f == 4 ? a <= r : f == 5 ? a > r\n"
    "              : f == 6 ? a != r : f == 7 ? a >= r : f == 8;\n"
    "    if (!pass) discard;\n"
    "}\n";

// Without the test: no discard, so the driver may test and write depth
// before shading, and simple passes take its faster paths.
static const char kPixelEpilogueUntested[] =
    "#undef main\n"
    "void main() { lv_Main(); }\n";

// Pre-transformed vertices: x, y are pixels of render target 0 (pixel
// centres on integers, as in Direct3D 9), z is depth, the fourth value 1/w.
static const char kPassThroughSource[] =
    "#version 330 core\n"
    "uniform vec4 lv_Target;\n"
    "layout(location = 0) in vec4 in_Position;\n"
    "layout(location = 1) in vec4 in_Colour;\n"
    "layout(location = 3) in vec2 in_TexCoord0;\n"
    "layout(location = 4) in vec2 in_TexCoord1;\n"
    "out vec4 v_Colour;\n"
    "out vec2 v_TexCoord0;\n"
    "out vec2 v_TexCoord1;\n"
    "void main() {\n"
    "    float w = in_Position.w != 0.0 ? 1.0 / in_Position.w : 1.0;\n"
    "    vec2 ndc = vec2((in_Position.x + 0.5) * 2.0 * lv_Target.z - 1.0,\n"
    "                    (in_Position.y + 0.5) * 2.0 * lv_Target.w - 1.0);  // row 0 at y = -1\n"
    "    gl_Position = vec4(ndc * w, in_Position.z * w, w);\n"
    "    v_Colour = in_Colour;\n"
    "    v_TexCoord0 = in_TexCoord0;\n"
    "    v_TexCoord1 = in_TexCoord1;\n"
    "}\n";

static std::string FirstLine(const std::string& log) {
    std::string line = log.substr(0, log.find('\n'));
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
    return line.empty() ? "unknown error" : line;
}

static GLuint CompileShader(GLenum stage, const std::string& source, std::string* error) {
    GLuint shader = glCreateShader(stage);
    const char* text = source.c_str();
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    GLint ok = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        GLint length = 0;
        glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
        std::string log(static_cast<size_t>(std::max(length, 1)), '\0');
        glGetShaderInfoLog(shader, length, nullptr, log.data());
        *error = FirstLine(log.c_str());
        glDeleteShader(shader);
        return 0;
    }
    return shader;
}

GLuint PassThroughVertexShader() {
    if (!s_passThrough) {
        std::string error;
        s_passThrough = CompileShader(GL_VERTEX_SHADER, kPassThroughSource, &error);
        if (!s_passThrough) std::fprintf(stderr, "lumivane: the built-in vertex stage: %s\n", error.c_str());
    }
    return s_passThrough;
}

static GLuint Link(GLuint vertex, GLuint pixel, std::string* error) {
    GLuint program = glCreateProgram();
    glAttachShader(program, vertex);
    glAttachShader(program, pixel);
    glLinkProgram(program);
    glDetachShader(program, vertex);
    glDetachShader(program, pixel);
    GLint ok = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &ok);
    if (!ok) {
        if (error) {
            GLint length = 0;
            glGetProgramiv(program, GL_INFO_LOG_LENGTH, &length);
            std::string log(static_cast<size_t>(std::max(length, 1)), '\0');
            glGetProgramInfoLog(program, length, nullptr, log.data());
            *error = FirstLine(log.c_str());
        }
        glDeleteProgram(program);
        return 0;
    }
    return program;
}

static void UseProgram(GLuint program) {
    if (program != s_currentProgram) {
        glUseProgram(program);
        s_currentProgram = program;
    }
}

// Looks up every location once, and ties sampler i to texture unit i.
static void Introspect(const Fx::Description& fx, Program* p) {
    p->locations.assign(fx.params.size(), -1);
    p->uploaded.assign(fx.params.size(), 0);
    for (size_t i = 0; i < fx.params.size(); ++i) {
        if (fx.params[i].type != Fx::ParamType::Texture)
            p->locations[i] = glGetUniformLocation(p->name, fx.params[i].name.c_str());
    }
    UseProgram(p->name);
    for (size_t i = 0; i < fx.samplers.size(); ++i) {
        GLint location = glGetUniformLocation(p->name, fx.samplers[i].name.c_str());
        if (location < 0) continue;
        glUniform1i(location, static_cast<GLint>(i));
        p->samplers |= 1u << i;
    }
    p->targetLocation = glGetUniformLocation(p->name, "lv_Target");
    p->alphaTestLocation = glGetUniformLocation(p->name, "lv_AlphaTest");
}

static GLint AddressMode(Fx::Address a) {
    switch (a) {
    case Fx::Address::Wrap: return GL_REPEAT;
    case Fx::Address::Clamp: return GL_CLAMP_TO_EDGE;
    case Fx::Address::Mirror: return GL_MIRRORED_REPEAT;
    case Fx::Address::Border: return GL_CLAMP_TO_BORDER;  // border colour 0, as Direct3D's default
    }
    return GL_REPEAT;
}

static GLint MinFilter(const Fx::Sampler& s) {
    bool linear = s.minFilter == Fx::Filter::Linear;
    switch (s.mipFilter) {
    case Fx::Filter::None: return linear ? GL_LINEAR : GL_NEAREST;
    case Fx::Filter::Point: return linear ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
    case Fx::Filter::Linear: return linear ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR;
    }
    return GL_LINEAR;
}

static void DeletePrograms(EffectData* d) {
    for (auto& technique : d->passes) {
        for (PassPrograms& pass : technique) {
            GLuint names[4] = {pass.own[0].name, pass.own[1].name, pass.pretransformed[0].name,
                               pass.pretransformed[1].name};
            for (GLuint name : names) {
                if (!name) continue;
                if (s_currentProgram == name) UseProgram(0);
                glDeleteProgram(name);
            }
        }
    }
    d->passes.clear();
    for (GLuint sampler : d->samplerObjects) {
        for (GLuint& unit : s_unitSampler)
            if (unit == sampler) unit = 0;
        glDeleteSamplers(1, &sampler);
    }
    d->samplerObjects.clear();
}

// Compiles the shaders the passes use and links every pass. False with a
// message naming the shader and the compiler's first line.
static bool Build(EffectData* d, std::string* error) {
    const Fx::Description& fx = d->fx;
    if (fx.samplers.size() > kMaxSamplers) {
        *error = "more than " + std::to_string(kMaxSamplers) + " samplers";
        return false;
    }
    if (!PassThroughVertexShader()) {
        *error = "the built-in vertex stage does not compile";
        return false;
    }
    std::string prelude = Prelude(fx);
    // Per shader: [1] a vertex stage, or a pixel stage with the alpha test;
    // [0] the pixel stage without it.
    std::vector<GLuint> shaders[2] = {std::vector<GLuint>(fx.shaders.size(), 0),
                                      std::vector<GLuint>(fx.shaders.size(), 0)};
    auto cleanup = [&]() {
        for (const std::vector<GLuint>& list : shaders)
            for (GLuint s : list)
                if (s) glDeleteShader(s);
    };
    for (const Fx::Technique& t : fx.techniques) {
        for (const Fx::Pass& pass : t.passes) {
            for (int index : {pass.vertexShader, pass.pixelShader}) {
                if (index < 0 || shaders[1][index]) continue;
                const Fx::Shader& sh = fx.shaders[index];
                std::string body = prelude + (sh.vertex ? kVertexInterface : kPixelInterface) + fx.common +
                                   "#define main lv_Main\n#line " + std::to_string(sh.line) + "\n" + sh.body + "\n";
                for (int tested = sh.vertex ? 1 : 0; tested < 2; ++tested) {
                    const char* epilogue = sh.vertex ? kVertexEpilogue
                                           : tested  ? kPixelEpilogueTested
                                                     : kPixelEpilogueUntested;
                    std::string message;
                    GLuint& shader = shaders[tested][index];
                    shader =
                        CompileShader(sh.vertex ? GL_VERTEX_SHADER : GL_FRAGMENT_SHADER, body + epilogue, &message);
                    if (!shader) {
                        *error = sh.name + ": " + message;
                        cleanup();
                        return false;
                    }
                }
            }
        }
    }
    for (const Fx::Technique& t : fx.techniques) {
        d->passes.emplace_back(t.passes.size());
        for (size_t i = 0; i < t.passes.size(); ++i) {
            const Fx::Pass& pass = t.passes[i];
            PassPrograms& programs = d->passes.back()[i];
            programs.hasVertexShader = pass.vertexShader >= 0;
            GLuint vertex = programs.hasVertexShader ? shaders[1][pass.vertexShader] : s_passThrough;
            for (int tested = 0; tested < 2; ++tested) {
                GLuint pixel = shaders[tested][pass.pixelShader];
                std::string message;
                Program& own = programs.own[tested];
                own.name = Link(vertex, pixel, &message);
                if (!own.name) {
                    *error = t.name + "/" + pass.name + ": " + message;
                    cleanup();
                    return false;
                }
                Introspect(fx, &own);
                // For pre-transformed vertices; a pixel stage that needs its
                // own vertex stage's outputs has none, and keeps its own stages.
                if (programs.hasVertexShader) {
                    Program& pre = programs.pretransformed[tested];
                    pre.name = Link(s_passThrough, pixel, nullptr);
                    if (pre.name) Introspect(fx, &pre);
                }
            }
        }
    }
    cleanup();
    for (const Fx::Sampler& s : fx.samplers) {
        GLuint sampler;
        glGenSamplers(1, &sampler);
        glSamplerParameteri(sampler, GL_TEXTURE_WRAP_S, AddressMode(s.address[0]));
        glSamplerParameteri(sampler, GL_TEXTURE_WRAP_T, AddressMode(s.address[1]));
        glSamplerParameteri(sampler, GL_TEXTURE_WRAP_R, AddressMode(s.address[2]));
        glSamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER, MinFilter(s));
        glSamplerParameteri(sampler, GL_TEXTURE_MAG_FILTER, s.magFilter == Fx::Filter::Linear ? GL_LINEAR : GL_NEAREST);
        d->samplerObjects.push_back(sampler);
    }
    return true;
}

Effect* CreateEffect(const char* source, size_t length, const char* name) {
    std::string error;
    Effect* effect = CompileEffect(source, length, name, &error);
    if (!effect) std::fprintf(stderr, "lumivane: %s: %s\n", name && *name ? name : "effect", error.c_str());
    return effect;
}

Effect* CompileEffect(const char* source, size_t length, const char* name, std::string* error) {
    const char* label = name && *name ? name : "effect";
    if (!source) {
        *error = "no effect text";
        return nullptr;
    }
    EffectData* d = new EffectData;
    d->name = label;
    if (!Fx::Parse(source, length, &d->fx, error) || !Build(d, error)) {
        DeletePrograms(d);
        delete d;
        return nullptr;
    }
    d->versions.assign(d->fx.params.size(), 1);  // the defaults are waiting to be uploaded
    d->textures.assign(d->fx.params.size(), nullptr);
    d->bound.assign(d->fx.params.size(), Bound::None);
    s_effects.push_back(d);
    Effect* effect = new Effect;
    effect->data = d;
    return effect;
}

void ReleaseEffect(Effect* effect) {
    if (!effect) return;
    if (State().passEffect == effect) State().passEffect = nullptr;
    EffectData* d = effect->data;
    s_effects.erase(std::remove(s_effects.begin(), s_effects.end(), d), s_effects.end());
    DeletePrograms(d);
    delete d;
    delete effect;
}

void ForgetTextureInEffects(const void* texture) {
    for (EffectData* d : s_effects) {
        for (size_t i = 0; i < d->textures.size(); ++i) {
            if (d->textures[i] == texture) {
                d->textures[i] = nullptr;
                d->bound[i] = Bound::None;
            }
        }
    }
}

void DestroyEffects() {
    if (s_passThrough) glDeleteShader(s_passThrough);
    s_passThrough = 0;
    s_currentProgram = 0;
    std::memset(s_unitSampler, 0, sizeof s_unitSampler);
}

// ---- Drawing with the current pass -------------------------------------

static void Upload(const Fx::Param& p, GLint location) {
    GLsizei n = p.arraySize ? p.arraySize : 1;
    const float* v = p.value.data();
    switch (p.type) {
    case Fx::ParamType::Float: glUniform1fv(location, n, v); break;
    case Fx::ParamType::Float2: glUniform2fv(location, n, v); break;
    case Fx::ParamType::Float3: glUniform3fv(location, n, v); break;
    case Fx::ParamType::Float4: glUniform4fv(location, n, v); break;
    // Row-major data read as GL's column-major: GLSL's M * v is then the
    // row vector v times M, the show's convention.
    case Fx::ParamType::Float4x4: glUniformMatrix4fv(location, n, GL_FALSE, v); break;
    case Fx::ParamType::Int: glUniform1i(location, static_cast<GLint>(v[0])); break;
    case Fx::ParamType::Texture: break;
    }
}

// Whether the alpha test can change what the draw leaves in its target.
// Off, ALWAYS or GREATEREQUAL 0, it passes every pixel. One that drops only
// alpha 0 (the device's usual GREATEREQUAL 1) changes nothing when the draw
// blends by source alpha into an 8-bit target and writes no depth: a pixel
// of alpha 0 then leaves colour and alpha as they were, dropped or not.
static bool AlphaTestMatters(const DeviceState& st) {
    const uint32_t* rs = st.renderStates;
    const uint32_t func = rs[kRsAlphaFunc], ref = rs[kRsAlphaRef] & 0xFF;
    if (!rs[kRsAlphaTestEnable] || func == kCmpAlways || (func == kCmpGreaterEqual && ref == 0)) return false;
    const bool dropsOnlyZero = (func == kCmpGreaterEqual && ref == 1) || (func == kCmpGreater && ref == 0);
    const bool zeroKeepsPixel = rs[kRsAlphaBlendEnable] && rs[kRsSrcBlend] == kBlendSrcAlpha &&
                                (rs[kRsDestBlend] == kBlendInvSrcAlpha || rs[kRsDestBlend] == kBlendOne) &&
                                rs[kRsBlendOp] == kBlendOpAdd;
    const bool writesDepth = rs[kRsZEnable] && rs[kRsZWriteEnable];
    const Texture* owner = st.renderTarget->owner;
    const bool eightBit = !owner || owner->format == kFormatA8R8G8B8;
    return !(dropsOnlyZero && zeroKeepsPixel && !writesDepth && eightBit);
}

bool PrepareEffectDraw(bool pretransformed) {
    DeviceState& st = State();
    if (!st.passEffect || !st.renderTarget) return false;
    EffectData* d = st.passEffect->data;
    PassPrograms& pass = d->passes[d->technique][st.passIndex];
    const int tested = AlphaTestMatters(st) ? 1 : 0;
    Program* p = &pass.own[tested];
    if (pretransformed && pass.hasVertexShader && pass.pretransformed[tested].name) p = &pass.pretransformed[tested];
    UseProgram(p->name);

    for (size_t i = 0; i < d->fx.params.size(); ++i) {
        if (p->locations[i] < 0 || p->uploaded[i] == d->versions[i]) continue;
        Upload(d->fx.params[i], p->locations[i]);
        p->uploaded[i] = d->versions[i];
    }
    for (unsigned i = 0; i < d->fx.samplers.size(); ++i) {
        if (!(p->samplers & (1u << i))) continue;
        const Fx::Sampler& s = d->fx.samplers[i];
        const void* t = d->textures[s.texture];
        Bound kind = d->bound[s.texture];
        // A texture of the wrong kind samples as none: (0, 0, 0, 1).
        if (s.cube) {
            BindTextureUnit(i, GL_TEXTURE_CUBE_MAP, kind == Bound::Cube ? static_cast<const CubeTexture*>(t)->name : 0);
        } else {
            BindTextureUnit(i, GL_TEXTURE_2D, kind == Bound::Flat ? static_cast<const Texture*>(t)->name : 0);
        }
        if (s_unitSampler[i] != d->samplerObjects[i]) {
            glBindSampler(i, d->samplerObjects[i]);
            s_unitSampler[i] = d->samplerObjects[i];
        }
    }
    float w = static_cast<float>(st.renderTarget->width), h = static_cast<float>(st.renderTarget->height);
    if (p->target[0] != w || p->target[1] != h) {
        p->target[0] = w;
        p->target[1] = h;
        p->target[2] = 1.0f / w;
        p->target[3] = 1.0f / h;
        glUniform4fv(p->targetLocation, 1, p->target);
    }
    const uint32_t* rs = st.renderStates;
    float func = static_cast<float>(rs[kRsAlphaFunc]);
    float ref = static_cast<float>(rs[kRsAlphaRef] & 0xFF);
    if (tested && (p->alphaTest[0] != func || p->alphaTest[1] != ref)) {
        p->alphaTest[0] = func;
        p->alphaTest[1] = ref;
        glUniform2fv(p->alphaTestLocation, 1, p->alphaTest);
    }
    return true;
}

// ---- The Effect operations ---------------------------------------------

static int FindParam(const EffectData* d, const char* name) {
    if (!name) return -1;
    for (size_t i = 0; i < d->fx.params.size(); ++i)
        if (std::strcmp(d->fx.params[i].name.c_str(), name) == 0) return static_cast<int>(i);
    return -1;
}

// Copies up to `count` floats into a numeric parameter.
static void SetValues(EffectData* d, const char* name, const float* v, size_t count) {
    int i = FindParam(d, name);
    if (i < 0) ReportUnknownName(d, "parameter", name);
    if (i < 0 || d->fx.params[i].type == Fx::ParamType::Texture || !v) return;
    std::vector<float>& value = d->fx.params[i].value;
    std::copy_n(v, std::min(count, value.size()), value.begin());
    ++d->versions[i];
}

bool Effect::SetTechnique(const char* name) {
    if (!name) return false;
    for (size_t i = 0; i < data->fx.techniques.size(); ++i) {
        if (data->fx.techniques[i].name == name) {
            if (!data->begun) data->technique = static_cast<unsigned>(i);
            return !data->begun;
        }
    }
    ReportUnknownName(data, "technique", name);
    return false;
}

unsigned Effect::Begin() {
    const Fx::Technique& t = data->fx.techniques[data->technique];
    data->savedCount = 0;
    for (const Fx::Pass& pass : t.passes) {
        for (const Fx::PassState& s : pass.states) {
            bool have = false;
            for (unsigned i = 0; i < data->savedCount; ++i) have |= data->saved[i].state == s.state;
            if (!have && data->savedCount < std::size(data->saved)) {
                data->saved[data->savedCount++] = {s.state, GetRenderState(static_cast<RenderState>(s.state))};
            }
        }
    }
    data->begun = true;
    return static_cast<unsigned>(t.passes.size());
}

void Effect::BeginPass(unsigned pass) {
    const Fx::Technique& t = data->fx.techniques[data->technique];
    if (!data->begun || pass >= t.passes.size()) return;
    for (const Fx::PassState& s : t.passes[pass].states) SetRenderState(static_cast<RenderState>(s.state), s.value);
    State().passEffect = this;
    State().passIndex = pass;
}

void Effect::EndPass() {
    if (State().passEffect == this) State().passEffect = nullptr;
}

void Effect::End() {
    if (!data->begun) return;
    EndPass();
    for (unsigned i = 0; i < data->savedCount; ++i)
        SetRenderState(static_cast<RenderState>(data->saved[i].state), data->saved[i].value);
    data->savedCount = 0;
    data->begun = false;
}

bool Effect::HasParameter(const char* name) { return FindParam(data, name) >= 0; }

void Effect::SetFloat(const char* name, float v) { SetValues(data, name, &v, 1); }

void Effect::SetFloatArray(const char* name, const float* v, unsigned count) { SetValues(data, name, v, count); }

void Effect::SetInt(const char* name, int v) {
    float f = static_cast<float>(v);
    SetValues(data, name, &f, 1);
}

void Effect::SetVector(const char* name, const Vector4& v) {
    const float f[4] = {v.x, v.y, v.z, v.w};
    SetValues(data, name, f, 4);
}

void Effect::SetMatrix(const char* name, const Matrix& m) { SetValues(data, name, m.Data(), 16); }

void Effect::SetTexture(const char* name, Texture* t) {
    int i = FindParam(data, name);
    if (i < 0) ReportUnknownName(data, "parameter", name);
    if (i < 0 || data->fx.params[i].type != Fx::ParamType::Texture) return;
    data->textures[i] = t;
    data->bound[i] = t ? Bound::Flat : Bound::None;
}

void Effect::SetTexture(const char* name, CubeTexture* t) {
    int i = FindParam(data, name);
    if (i < 0) ReportUnknownName(data, "parameter", name);
    if (i < 0 || data->fx.params[i].type != Fx::ParamType::Texture) return;
    data->textures[i] = t;
    data->bound[i] = t ? Bound::Cube : Bound::None;
}

bool Effect::GetPassAnnotation(unsigned pass, const char* name, float* value) {
    const Fx::Technique& t = data->fx.techniques[data->technique];
    if (pass >= t.passes.size() || !name) return false;
    for (const Fx::Annotation& a : t.passes[pass].annotations) {
        if (a.name == name) {
            if (value) *value = a.value;
            return true;
        }
    }
    return false;
}

unsigned Effect::PassCount() { return static_cast<unsigned>(data->fx.techniques[data->technique].passes.size()); }

bool Effect::PassSetsState(unsigned pass, RenderState state) {
    const Fx::Technique& t = data->fx.techniques[data->technique];
    if (pass >= t.passes.size()) return false;
    for (const Fx::PassState& s : t.passes[pass].states)
        if (s.state == state) return true;
    return false;
}

// ---- Reloading ---------------------------------------------------------

bool ReplaceEffect(Effect* effect, Effect* replacement) {
    if (!effect || !replacement || effect == replacement || effect->data->begun) return false;
    EffectData* old = effect->data;
    EffectData* fresh = replacement->data;
    for (size_t i = 0; i < fresh->fx.params.size(); ++i) {
        Fx::Param& p = fresh->fx.params[i];
        const int j = FindParam(old, p.name.c_str());
        if (j < 0) continue;
        const Fx::Param& q = old->fx.params[j];
        if (q.type != p.type || q.arraySize != p.arraySize) continue;
        // Only what the show set: a default edited in the file shows at once.
        if (old->versions[j] > 1) {
            p.value = q.value;
            ++fresh->versions[i];
        }
        fresh->textures[i] = old->textures[j];
        fresh->bound[i] = old->bound[j];
    }
    const std::string& technique = old->fx.techniques[old->technique].name;
    for (size_t t = 0; t < fresh->fx.techniques.size(); ++t)
        if (fresh->fx.techniques[t].name == technique) fresh->technique = static_cast<unsigned>(t);
    std::swap(effect->data, replacement->data);
    ReleaseEffect(replacement);  // with the old contents
    return true;
}

}  // namespace Gpu
