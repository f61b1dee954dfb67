#include "platform/debug.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace velmora {

void OutputDebugString(const std::string& text) {
    static const bool enabled = [] {
        const char* v = std::getenv("VELMORA_DEBUG");
        return v && std::strcmp(v, "1") == 0;
    }();
    if (enabled) std::fprintf(stderr, "%s\n", text.c_str());
}

} // namespace velmora
