// Work in a child process: what it sends comes back; its failure, crash,
// hang or flood becomes an error here while this process goes on.
#include <gtest/gtest.h>

#include <sys/mman.h>
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
        {"an answer",
         [](std::vector<uint8_t>* r) {
             r->assign({'m', 'e', 's', 'h'});
             return true;
         },
         true, "mesh"},
        {"a large answer",
         [](std::vector<uint8_t>* r) {
             r->assign(3u << 20, 'x');
             return true;
         },
         true, "xxxx"},
        {"the work's own error",
         [](std::vector<uint8_t>* r) {
             r->assign({'b', 'a', 'd'});
             return false;
         },
         false, "bad"},
        {"a crash",
         [](std::vector<uint8_t>*) {
             std::raise(SIGSEGV);
             return true;
         },
         false, "crashed"},
        {"a hang",
         [](std::vector<uint8_t>*) {
             pause();
             return true;
         },
         false, "longer than"},
        {"a flood",
         [](std::vector<uint8_t>* r) {
             r->assign(5u << 20, 'x');
             return true;
         },
         false, "too large"},
        // 1 GiB of address space, past the child's budget of 256 MiB. mmap is
        // what the allocators call for large blocks; here it fails the same
        // way in the sanitizer build, whose allocator would report instead.
        {"a memory hog",
         [](std::vector<uint8_t>* r) {
             void* p = mmap(nullptr, 1u << 30, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
             const std::string answer = p == MAP_FAILED ? "no memory" : "got it";
             if (p != MAP_FAILED) munmap(p, 1u << 30);
             r->assign(answer.begin(), answer.end());
             return p != MAP_FAILED;
         },
         false, "no memory"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<uint8_t> out;
        std::string error;
        bool ok = Platform::RunIsolated(c.work, 4u << 20, 256u << 20, 1000, &out, &error);
        ASSERT_EQ(ok, c.ok) << error;
        if (c.ok) {
            EXPECT_EQ(std::string(out.begin(), out.begin() + 4), c.expected);
        } else {
            EXPECT_NE(error.find(c.expected), std::string::npos) << error;
        }
    }
}

// A face with no indices makes Assimp's .x importer read out of bounds.
// What it reads depends on the heap it was forked with: mostly it crashes,
// sometimes it returns a mesh of whatever it found. Either way this process
// goes on, and what comes back is an error or a mesh whose indices stay
// inside its subsets (the program checks the child's answer).
TEST(XMesh, AFileThatCrashesTheImporterIsOneAssetsError) {
    std::ifstream in(std::string(LUMIVANE_SOURCE_DIR) + "/tests/fuzz/corpus/x_mesh/assimp-face-without-indices.x",
                     std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(bytes.empty());
    MeshData mesh;
    std::string error;
    if (!LoadXMesh(bytes.data(), bytes.size(), &mesh, &error)) {
        EXPECT_FALSE(error.empty());
        EXPECT_TRUE(mesh.vertices.empty());
        return;
    }
    for (const MeshSubset& s : mesh.subsets) {
        ASSERT_LE(s.firstVertex + s.vertexCount, mesh.vertices.size());
        ASSERT_LE(s.firstIndex + 3ull * s.triangleCount, mesh.indices.size());
        for (uint32_t i = 0; i < 3 * s.triangleCount; ++i) EXPECT_LT(mesh.indices[s.firstIndex + i], s.vertexCount);
    }
}
