// Work in a child process (this test program, started again): what it sends
// comes back; its failure, crash, hang, endless loop or flood becomes an
// error here while this process goes on.
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

namespace {

// The works the cases run, each in a process of its own.
bool Answer(const uint8_t*, size_t, std::vector<uint8_t>* r) {
    r->assign({'m', 'e', 's', 'h'});
    return true;
}
bool LargeAnswer(const uint8_t*, size_t, std::vector<uint8_t>* r) {
    r->assign(3u << 20, 'x');
    return true;
}
// The input, back: it reaches the child whole.
bool Echo(const uint8_t* in, size_t size, std::vector<uint8_t>* r) {
    r->assign(in, in + size);
    return true;
}
bool OwnError(const uint8_t*, size_t, std::vector<uint8_t>* r) {
    r->assign({'b', 'a', 'd'});
    return false;
}
bool Crash(const uint8_t*, size_t, std::vector<uint8_t>*) {
    std::raise(SIGSEGV);
    return true;
}
// Waits for what never comes: the wall clock ends it.
bool Hang(const uint8_t*, size_t, std::vector<uint8_t>*) {
    pause();
    return true;
}
// Works without end: the processor-time limit ends it.
bool Spin(const uint8_t*, size_t, std::vector<uint8_t>*) {
    volatile unsigned long turns = 0;
    for (;;) turns = turns + 1;
}
bool Flood(const uint8_t*, size_t, std::vector<uint8_t>* r) {
    r->assign(5u << 20, 'x');
    return true;
}
// 1 GiB of address space, past the child's budget of 256 MiB. mmap is what
// the allocators call for large blocks; here it fails the same way in the
// sanitizer build, whose allocator would report instead.
bool MemoryHog(const uint8_t*, size_t, std::vector<uint8_t>* r) {
    void* p = mmap(nullptr, 1u << 30, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    const std::string answer = p == MAP_FAILED ? "no memory" : "got it";
    if (p != MAP_FAILED) munmap(p, 1u << 30);
    r->assign(answer.begin(), answer.end());
    return p != MAP_FAILED;
}

LUMIVANE_ISOLATED_WORK(answer, Answer);
LUMIVANE_ISOLATED_WORK(large_answer, LargeAnswer);
LUMIVANE_ISOLATED_WORK(echo, Echo);
LUMIVANE_ISOLATED_WORK(own_error, OwnError);
LUMIVANE_ISOLATED_WORK(crash, Crash);
LUMIVANE_ISOLATED_WORK(hang, Hang);
LUMIVANE_ISOLATED_WORK(spin, Spin);
LUMIVANE_ISOLATED_WORK(flood, Flood);
LUMIVANE_ISOLATED_WORK(memory_hog, MemoryHog);

}  // namespace

TEST(Isolated, TheChildsAnswerOrItsFailureComesBack) {
    const std::string input = "xof 0303txt 0032";
    const struct {
        const char* work;
        bool ok;
        const char* expected;  // the start of the answer, or a piece of the error
    } cases[] = {
        {"answer", true, "mesh"},           {"large_answer", true, "xxxx"},
        {"echo", true, "xof 0303txt 0032"}, {"own_error", false, "bad"},
        {"crash", false, "crashed"},        {"hang", false, "longer than"},
        {"spin", false, "longer than"},     {"flood", false, "too large"},
        {"memory_hog", false, "no memory"}, {"no_such_work", false, "cannot run 'no_such_work'"},
    };
    const Platform::IsolatedLimits limits{4u << 20, 256u << 20, 1};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.work);
        std::vector<uint8_t> out;
        std::string error;
        bool ok = Platform::RunIsolated(c.work, reinterpret_cast<const uint8_t*>(input.data()), input.size(), limits,
                                        &out, &error);
        ASSERT_EQ(ok, c.ok) << error;
        if (c.ok) {
            const std::string expected = c.expected;
            ASSERT_GE(out.size(), expected.size());
            EXPECT_EQ(std::string(out.begin(), out.begin() + expected.size()), expected);
        } else {
            EXPECT_NE(error.find(c.expected), std::string::npos) << error;
        }
    }
}

// A face with no indices makes Assimp's .x importer read out of bounds.
// What it reads depends on the child's heap: mostly it crashes,
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
