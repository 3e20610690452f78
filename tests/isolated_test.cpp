// Work in a child process: what it sends comes back; its failure, crash,
// hang or flood becomes an error here while this process goes on.
#include <gtest/gtest.h>

#include <unistd.h>
#include <csignal>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "assets/x_mesh.h"
#include "platform/isolated.h"

TEST(Isolated, TheChildsAnswerOrItsFailureComesBack) {
    struct Case {
        const char* what;
        std::function<bool(std::vector<uint8_t>*)> work;
        bool ok;
        const char* expected;  // the answer, or a piece of the error
    };
    const Case cases[] = {
        {"an answer", [](std::vector<uint8_t>* r) { r->assign({'m', 'e', 's', 'h'}); return true; }, true, "mesh"},
        {"a large answer",
         [](std::vector<uint8_t>* r) {
             r->assign(3u << 20, 'x');
             return true;
         },
         true, "xxxx"},
        {"the work's own error", [](std::vector<uint8_t>* r) { r->assign({'b', 'a', 'd'}); return false; }, false,
         "bad"},
        {"a crash", [](std::vector<uint8_t>*) { std::raise(SIGSEGV); return true; }, false, "crashed"},
        {"a hang", [](std::vector<uint8_t>*) { pause(); return true; }, false, "longer than"},
        {"a flood",
         [](std::vector<uint8_t>* r) {
             r->assign(5u << 20, 'x');
             return true;
         },
         false, "too large"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<uint8_t> out;
        std::string error;
        bool ok = Platform::RunIsolated(c.work, 4u << 20, 1000, &out, &error);
        ASSERT_EQ(ok, c.ok) << error;
        if (c.ok) {
            EXPECT_EQ(std::string(out.begin(), out.begin() + 4), c.expected);
        } else {
            EXPECT_NE(error.find(c.expected), std::string::npos) << error;
        }
    }
}

// A face with no indices makes Assimp's .x importer read out of bounds and
// crash; here it is one file that does not load.
TEST(XMesh, AFileThatCrashesTheImporterIsAnErrorHere) {
    std::ifstream in(std::string(LUMIVANE_SOURCE_DIR) + "/tests/fuzz/corpus/x_mesh/assimp-face-without-indices.x",
                     std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(bytes.empty());
    MeshData mesh;
    std::string error;
    EXPECT_FALSE(LoadXMesh(bytes.data(), bytes.size(), &mesh, &error));
    EXPECT_NE(error.find("crashed"), std::string::npos) << error;
    EXPECT_TRUE(mesh.vertices.empty());
}
