// scroller.txt (effects/meta_writer.h): any bytes give a text of at most
// 1023 bytes, NUL-terminated, with no CR LF pair left in it.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "effects/meta_writer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    char text[kScrollerTextSize];
    std::memset(text, 'x', sizeof text);
    const int length = ReadScrollerText(reinterpret_cast<const char*>(data), size, text);
    if (length < 0 || length > kScrollerTextSize - 1 || text[length] != '\0') std::abort();
    for (int i = 0; i + 1 < length; ++i)
        if (text[i] == '\r' && text[i + 1] == '\n') std::abort();
    return 0;
}
