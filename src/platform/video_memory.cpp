#include "platform/video_memory.h"

#include <SDL.h>
#include <SDL_opengl.h>

#include <cstring>

namespace velmora {

namespace {

// Starts one SDL subsystem for the length of a query and stops it again (SDL counts the starts).
class TSdlSubsystem {
  public:
    explicit TSdlSubsystem(Uint32 flags) : Flags(flags), Started(SDL_InitSubSystem(flags) == 0) {}
    ~TSdlSubsystem() {
        if (Started) SDL_QuitSubSystem(Flags);
    }
    TSdlSubsystem(const TSdlSubsystem&) = delete;
    TSdlSubsystem& operator=(const TSdlSubsystem&) = delete;
    bool Ok() const { return Started; }

  private:
    Uint32 Flags;
    bool Started;
};

bool HasExtension(const char* extensions, const char* name) {
    if (!extensions) return false;
    const size_t n = std::strlen(name);
    for (const char* p = std::strstr(extensions, name); p; p = std::strstr(p + n, name))
        if ((p == extensions || p[-1] == ' ') && (p[n] == ' ' || p[n] == '\0')) return true;
    return false;
}

constexpr GLenum cGpuMemoryTotalNVX = 0x9048;    // KiB
constexpr GLenum cTextureFreeMemoryATI = 0x87FC; // KiB, first of four values
constexpr int cRendererVideoMemoryMESA = 0x8187; // MiB

// The current GL context's own figure for its memory; 0 when the driver keeps it to itself.
uint64_t GLVideoMemory() {
    const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    if (HasExtension(extensions, "GL_NVX_gpu_memory_info")) {
        GLint kib = 0;
        glGetIntegerv(cGpuMemoryTotalNVX, &kib);
        if (kib > 0) return static_cast<uint64_t>(kib) << 10;
    }
    if (HasExtension(extensions, "GL_ATI_meminfo")) {
        GLint values[4] = {};
        glGetIntegerv(cTextureFreeMemoryATI, values);
        if (values[0] > 0) return static_cast<uint64_t>(values[0]) << 10;
    }
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    const char* driver = SDL_GetCurrentVideoDriver();
    if (version && std::strstr(version, "Mesa") && driver && std::strcmp(driver, "x11") == 0) {
        using TQuery = int (*)(int attribute, unsigned int* value);
        auto query = reinterpret_cast<TQuery>(SDL_GL_GetProcAddress("glXQueryCurrentRendererIntegerMESA"));
        unsigned int mib = 0;
        if (query && query(cRendererVideoMemoryMESA, &mib) && mib > 0)
            return static_cast<uint64_t>(mib) << 20;
    }
    return 0;
}

} // namespace

uint64_t QueryVideoMemory() {
    uint64_t bytes = 0;
    TSdlSubsystem video(SDL_INIT_VIDEO);
    if (video.Ok()) {
        SDL_Window* window = SDL_CreateWindow("", 0, 0, 16, 16, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
        if (window) {
            if (SDL_GLContext context = SDL_GL_CreateContext(window)) {
                bytes = GLVideoMemory();
                SDL_GL_DeleteContext(context);
            }
            SDL_DestroyWindow(window);
        }
    }
    return bytes ? bytes : cGenerousVideoMemory;
}

} // namespace velmora
