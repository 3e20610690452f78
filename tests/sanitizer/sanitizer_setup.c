/* Linked into the sanitizer build's programs only (the show and the tests).
 *
 * Libraries loaded at run time stay loaded: Mesa unloads its driver when the
 * GL context goes, and a library that is gone by the time LeakSanitizer looks
 * at the heap (at exit) turns whatever its globals still held into "leaks"
 * with no name on their stack, which no suppression can match. With the
 * driver still mapped those blocks are reachable, and a real leak keeps the
 * name of its library.
 *
 * Mesa runs on the main thread alone: LeakSanitizer stops every thread to
 * look at the heap at exit, and its tracer crashes now and then when
 * llvmpipe's rasterizer threads or the shader cache's thread are still
 * about ("Tracer caught signal 11"), failing a test that did nothing wrong.
 * A caller's own setting of either variable stays.
 *
 * The sanitizers' defaults: the leak suppressions of lsan.supp beside this
 * file (the build passes its path), and stack traces for undefined
 * behaviour. Settings in LSAN_OPTIONS and UBSAN_OPTIONS come on top. */
#include <stddef.h>
#include <stdlib.h>

int dlclose(void* handle) {
    (void)handle;
    return 0;
}

/* print_suppressions=0: a suppressed leak adds no table to the program's
 * output, which tests read line by line. */
const char* __lsan_default_options(void) { return "suppressions=" LUMIVANE_LSAN_SUPPRESSIONS ":print_suppressions=0"; }

const char* __ubsan_default_options(void) { return "print_stacktrace=1"; }

__attribute__((constructor)) static void KeepMesaOnOneThread(void) {
    setenv("LP_NUM_THREADS", "0", 0);
    setenv("MESA_SHADER_CACHE_DISABLE", "true", 0);
}
