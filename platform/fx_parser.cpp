#include "platform/fx_parser.h"

#include <strings.h>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "platform/render_states.h"

namespace Fx {

int ComponentCount(ParamType type) {
    switch (type) {
    case ParamType::Float:
    case ParamType::Int: return 1;
    case ParamType::Float2: return 2;
    case ParamType::Float3: return 3;
    case ParamType::Float4: return 4;
    case ParamType::Float4x4: return 16;
    case ParamType::Texture: return 0;
    }
    return 0;
}

namespace {

struct TypeName {
    const char* name;
    ParamType type;
};
const TypeName kTypes[] = {
    {"float", ParamType::Float},   {"float2", ParamType::Float2},     {"float3", ParamType::Float3},
    {"float4", ParamType::Float4}, {"float4x4", ParamType::Float4x4}, {"int", ParamType::Int},
    {"vec2", ParamType::Float2},   {"vec3", ParamType::Float3},       {"vec4", ParamType::Float4},
    {"mat4", ParamType::Float4x4}, {"texture", ParamType::Texture},
};

bool Same(const std::string& a, const char* b) { return strcasecmp(a.c_str(), b) == 0; }

class Parser {
public:
    Parser(const char* text, size_t length, Description* out) : m_p(text), m_end(text + length), m_out(out) {}

    bool Run(std::string* error) {
        bool ok = File();
        if (!ok && error) *error = "line " + std::to_string(m_errorLine) + ": " + m_error;
        return ok;
    }

private:
    const char* m_p;
    const char* m_end;
    Description* m_out;
    int m_line = 1;
    std::string m_error;
    int m_errorLine = 0;

    bool Fail(const std::string& what) {
        if (m_error.empty()) {
            m_error = what;
            m_errorLine = m_line;
        }
        return false;
    }

    // ---- lexing ----

    void SkipSpace() {
        while (m_p < m_end) {
            if (*m_p == '\n') {
                ++m_line;
                ++m_p;
            } else if (std::isspace(static_cast<unsigned char>(*m_p))) {
                ++m_p;
            } else if (m_p + 1 < m_end && m_p[0] == '/' && m_p[1] == '/') {
                while (m_p < m_end && *m_p != '\n') ++m_p;
            } else if (m_p + 1 < m_end && m_p[0] == '/' && m_p[1] == '*') {
                m_p += 2;
                while (m_p + 1 < m_end && !(m_p[0] == '*' && m_p[1] == '/')) {
                    if (*m_p == '\n') ++m_line;
                    ++m_p;
                }
                m_p = m_p + 1 < m_end ? m_p + 2 : m_end;
            } else {
                break;
            }
        }
    }

    bool AtEnd() {
        SkipSpace();
        return m_p >= m_end;
    }

    bool Peek(char c) {
        SkipSpace();
        return m_p < m_end && *m_p == c;
    }

    bool Accept(char c) {
        if (!Peek(c)) return false;
        ++m_p;
        return true;
    }

    bool Expect(char c) {
        if (Accept(c)) return true;
        return Fail(std::string("expected '") + c + "'");
    }

    bool Identifier(std::string* out) {
        SkipSpace();
        const char* start = m_p;
        if (m_p < m_end && (std::isalpha(static_cast<unsigned char>(*m_p)) || *m_p == '_')) {
            while (m_p < m_end && (std::isalnum(static_cast<unsigned char>(*m_p)) || *m_p == '_')) ++m_p;
        }
        if (m_p == start) return Fail("expected a name");
        out->assign(start, m_p);
        return true;
    }

    bool Number(float* out) {
        SkipSpace();
        char buffer[64];
        size_t n = 0;
        while (m_p < m_end && n + 1 < sizeof buffer &&
               (std::isdigit(static_cast<unsigned char>(*m_p)) || std::strchr("+-.eE", *m_p))) {
            buffer[n++] = *m_p++;
        }
        buffer[n] = '\0';
        char* stop = nullptr;
        double v = std::strtod(buffer, &stop);
        if (n == 0 || stop != buffer + n) return Fail("expected a number");
        // Beyond a float the value would become infinite (or the conversion
        // undefined); every caller wants a finite number.
        if (!(std::fabs(v) <= 3.4028234663852886e38)) return Fail("a number out of range");
        if (m_p < m_end && (*m_p == 'f' || *m_p == 'F')) ++m_p;
        *out = static_cast<float>(v);
        return true;
    }

    // The text between a '{' (already read) and its matching '}', which is
    // consumed. Comments may hold braces; GLSL has no strings.
    bool RawBlock(std::string* out, int* startLine) {
        *startLine = m_line;
        const char* start = m_p;
        int depth = 1;
        while (m_p < m_end) {
            char c = *m_p;
            if (c == '\n') {
                ++m_line;
            } else if (c == '/' && m_p + 1 < m_end && m_p[1] == '/') {
                while (m_p < m_end && *m_p != '\n') ++m_p;
                continue;
            } else if (c == '/' && m_p + 1 < m_end && m_p[1] == '*') {
                m_p += 2;
                while (m_p + 1 < m_end && !(m_p[0] == '*' && m_p[1] == '/')) {
                    if (*m_p == '\n') ++m_line;
                    ++m_p;
                }
                m_p = m_p + 1 < m_end ? m_p + 2 : m_end;
                continue;
            } else if (c == '{') {
                ++depth;
            } else if (c == '}') {
                if (--depth == 0) {
                    out->assign(start, m_p);
                    ++m_p;
                    return true;
                }
            }
            ++m_p;
        }
        return Fail("a GLSL block has no closing '}'");
    }

    // ---- grammar ----

    bool File() {
        while (!AtEnd()) {
            std::string word;
            if (!Identifier(&word)) return false;
            bool ok;
            if (Same(word, "technique"))
                ok = TechniqueDecl();
            else if (Same(word, "vertexshader"))
                ok = ShaderDecl(true);
            else if (Same(word, "pixelshader"))
                ok = ShaderDecl(false);
            else if (Same(word, "glsl"))
                ok = CommonBlock();
            else if (Same(word, "sampler") || Same(word, "sampler2D"))
                ok = SamplerDecl(false);
            else if (Same(word, "samplerCUBE"))
                ok = SamplerDecl(true);
            else
                ok = ParamDecl(word);
            if (!ok) return false;
        }
        if (m_out->techniques.empty()) return Fail("the file has no technique");
        return true;
    }

    bool NameIsFree(const std::string& name) {
        for (const Param& p : m_out->params)
            if (p.name == name) return Fail("'" + name + "' is declared twice");
        for (const Sampler& s : m_out->samplers)
            if (s.name == name) return Fail("'" + name + "' is declared twice");
        return true;
    }

    bool ParamDecl(const std::string& typeWord) {
        const TypeName* type = nullptr;
        for (const TypeName& t : kTypes)
            if (Same(typeWord, t.name)) type = &t;
        if (!type) return Fail("unknown declaration '" + typeWord + "'");
        Param param;
        param.type = type->type;
        if (!Identifier(&param.name) || !NameIsFree(param.name)) return false;
        if (Accept('[')) {
            float size;
            if (!Number(&size)) return false;
            if (size < 1 || size > 4096 || size != static_cast<int>(size)) return Fail("bad array size");
            param.arraySize = static_cast<int>(size);
            if (!Expect(']')) return false;
        }
        if ((param.type == ParamType::Texture || param.type == ParamType::Int) && param.arraySize)
            return Fail("only float parameters can be arrays");
        size_t count = static_cast<size_t>(ComponentCount(param.type)) * (param.arraySize ? param.arraySize : 1);
        param.value.assign(count, 0.0f);
        if (Accept('=')) {
            if (param.type == ParamType::Texture) return Fail("a texture takes no value");
            if (!Value(&param.value)) return false;
        }
        if (!Expect(';')) return false;
        m_out->params.push_back(std::move(param));
        return true;
    }

    // number | { n, n, ... } | TYPE(n, n, ...); values beyond the
    // parameter's size are an error, missing ones stay 0.
    bool Value(std::vector<float>* value) {
        size_t filled = 0;
        auto add = [&](float v) {
            if (filled >= value->size()) return Fail("too many values");
            (*value)[filled++] = v;
            return true;
        };
        char close = 0;
        if (Accept('{')) {
            close = '}';
        } else {
            SkipSpace();
            if (m_p < m_end && (std::isalpha(static_cast<unsigned char>(*m_p)) || *m_p == '_')) {
                std::string word;
                if (!Identifier(&word)) return false;
                if (Same(word, "true") || Same(word, "false")) return add(Same(word, "true") ? 1.0f : 0.0f);
                if (!Expect('(')) return false;
                close = ')';
            }
        }
        if (!close) {
            float v;
            return Number(&v) && add(v);
        }
        if (Accept(close)) return true;
        do {
            float v;
            if (!Number(&v) || !add(v)) return false;
        } while (Accept(','));
        return Expect(close);
    }

    bool SamplerDecl(bool cube) {
        Sampler sampler;
        sampler.cube = cube;
        if (!Identifier(&sampler.name) || !NameIsFree(sampler.name)) return false;
        std::string word;
        if (!Expect('=') || !Identifier(&word)) return false;
        if (!Same(word, "sampler_state")) return Fail("expected sampler_state");
        if (!Expect('{')) return false;
        std::string textureName;
        while (!Accept('}')) {
            std::string state, value;
            if (!Identifier(&state) || !Expect('=')) return false;
            if (Same(state, "Texture")) {
                bool angled = Accept('<');
                if (!Identifier(&textureName)) return false;
                if (angled && !Expect('>')) return false;
            } else {
                if (!Identifier(&value)) return false;
                if (!SamplerState(&sampler, state, value)) return false;
            }
            if (!Expect(';')) return false;
        }
        if (!Expect(';')) return false;
        if (textureName.empty()) return Fail("sampler '" + sampler.name + "' names no texture");
        for (size_t i = 0; i < m_out->params.size(); ++i) {
            if (m_out->params[i].name == textureName && m_out->params[i].type == ParamType::Texture)
                sampler.texture = static_cast<int>(i);
        }
        if (sampler.texture < 0) return Fail("'" + textureName + "' is not a texture");
        m_out->samplers.push_back(std::move(sampler));
        return true;
    }

    bool SamplerState(Sampler* s, const std::string& state, const std::string& value) {
        int axis = Same(state, "AddressU") ? 0 : Same(state, "AddressV") ? 1 : Same(state, "AddressW") ? 2 : -1;
        if (axis >= 0) {
            if (Same(value, "WRAP"))
                s->address[axis] = Address::Wrap;
            else if (Same(value, "CLAMP"))
                s->address[axis] = Address::Clamp;
            else if (Same(value, "MIRROR"))
                s->address[axis] = Address::Mirror;
            else if (Same(value, "BORDER"))
                s->address[axis] = Address::Border;
            else
                return Fail("unknown address mode '" + value + "'");
            return true;
        }
        Filter* filter = Same(state, "MinFilter")   ? &s->minFilter
                         : Same(state, "MagFilter") ? &s->magFilter
                         : Same(state, "MipFilter") ? &s->mipFilter
                                                    : nullptr;
        if (!filter) return Fail("unknown sampler state '" + state + "'");
        if (Same(value, "NONE"))
            *filter = Filter::None;
        else if (Same(value, "POINT"))
            *filter = Filter::Point;
        else if (Same(value, "LINEAR") || Same(value, "ANISOTROPIC"))
            *filter = Filter::Linear;
        else
            return Fail("unknown filter '" + value + "'");
        return true;
    }

    bool ShaderDecl(bool vertex) {
        Shader shader;
        shader.vertex = vertex;
        if (!Identifier(&shader.name)) return false;
        for (const Shader& s : m_out->shaders)
            if (s.name == shader.name) return Fail("shader '" + shader.name + "' is declared twice");
        if (!Expect('{')) return false;
        if (!RawBlock(&shader.body, &shader.line)) return false;
        m_out->shaders.push_back(std::move(shader));
        return true;
    }

    bool CommonBlock() {
        if (!Expect('{')) return false;
        std::string body;
        int line;
        if (!RawBlock(&body, &line)) return false;
        m_out->common += "#line " + std::to_string(line) + "\n" + body + "\n";
        return true;
    }

    bool TechniqueDecl() {
        Technique technique;
        if (!Identifier(&technique.name) || !Expect('{')) return false;
        while (!Accept('}')) {
            std::string word;
            if (!Identifier(&word)) return false;
            if (!Same(word, "pass")) return Fail("expected pass");
            Pass pass;
            if (!PassDecl(&pass)) return false;
            technique.passes.push_back(std::move(pass));
        }
        if (technique.passes.empty()) return Fail("technique '" + technique.name + "' has no pass");
        m_out->techniques.push_back(std::move(technique));
        return true;
    }

    bool PassDecl(Pass* pass) {
        if (!Identifier(&pass->name)) return false;
        if (Accept('<')) {
            while (!Accept('>')) {
                std::string type;
                Annotation a;
                if (!Identifier(&type)) return false;
                if (!Same(type, "float") && !Same(type, "int")) return Fail("annotations are float or int");
                if (!Identifier(&a.name) || !Expect('=') || !Number(&a.value) || !Expect(';')) return false;
                pass->annotations.push_back(std::move(a));
            }
        }
        if (!Expect('{')) return false;
        bool havePixel = false;
        while (!Accept('}')) {
            std::string state, value;
            if (!Identifier(&state) || !Expect('=')) return false;
            if (Same(state, "VertexShader") || Same(state, "PixelShader")) {
                bool vertex = Same(state, "VertexShader");
                if (!Identifier(&value)) return false;
                int* slot = vertex ? &pass->vertexShader : &pass->pixelShader;
                *slot = -1;
                if (!Same(value, "null")) {
                    for (size_t i = 0; i < m_out->shaders.size(); ++i) {
                        const Shader& s = m_out->shaders[i];
                        if (s.name == value && s.vertex == vertex) *slot = static_cast<int>(i);
                    }
                    if (*slot < 0)
                        return Fail(std::string("no ") + (vertex ? "vertex" : "pixel") + " shader '" + value +
                                    "' is declared before this pass");
                }
                if (!vertex) havePixel = *slot >= 0;
            } else {
                const Gpu::RenderStateInfo* known = Gpu::FindRenderStateByName(state.c_str());
                if (!known) return Fail("unknown pass state '" + state + "'");
                uint32_t v;
                if (!StateValue(known->values, &v)) return false;
                pass->states.push_back({known->state, v});
            }
            if (!Expect(';')) return false;
        }
        if (!havePixel) return Fail("pass '" + pass->name + "' has no pixel shader");
        return true;
    }

    bool StateValue(Gpu::StateValueKind kind, uint32_t* out) {
        SkipSpace();
        if (m_p < m_end && (std::isdigit(static_cast<unsigned char>(*m_p)))) {
            float v;
            if (!Number(&v)) return false;
            // Checked against the range first: converting a float beyond
            // it to an integer is undefined.
            if (!(v >= 0.0f && v <= 4294967040.0f) || v != static_cast<float>(static_cast<uint32_t>(v)))
                return Fail("bad state value");
            *out = static_cast<uint32_t>(v);
            return true;
        }
        std::string word;
        if (!Identifier(&word)) return false;
        if (Gpu::RenderStateValueByName(kind, word.c_str(), out)) return true;
        return Fail("'" + word + "' is not a value of this state");
    }
};

}  // namespace

bool Parse(const char* text, size_t length, Description* out, std::string* error) {
    *out = Description{};
    Parser parser(text, length, out);
    return parser.Run(error);
}

}  // namespace Fx
