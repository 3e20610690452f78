// scroller.txt (effects/meta_writer.h): any bytes give a text of at most
// 1023 bytes, no longer than the file, NUL-terminated. (A CR LF pair may
// still be in it: "\r\r\n" keeps its lone first CR before the line feed.)
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "effects/meta_writer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    char text[kScrollerTextSize];
    std::memset(text, 'x', sizeof text);
    const int length = ReadScrollerText(reinterpret_cast<const char*>(data), size, text);
    if (length < 0 || length > kScrollerTextSize - 1 || static_cast<size_t>(length) > size) std::abort();
    if (text[length] != '\0') std::abort();
    return 0;
}
