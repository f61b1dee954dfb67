#include "platform/display_query.h"

#include <SDL.h>
#include <SDL_opengl.h>

#include <algorithm>
#include <cstring>
#include <tuple>

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

D3DDISPLAYMODE ToD3DMode(const SDL_DisplayMode& m) {
    return {static_cast<UINT>(std::max(m.w, 0)), static_cast<UINT>(std::max(m.h, 0)),
            static_cast<UINT>(std::max(m.refresh_rate, 0)), D3DFormatOfSdlFormat(m.format)};
}

// Only the order matters here: 16-bit modes before 24 before 32 at equal size.
int DepthOf(D3DFORMAT f) {
    switch (f) {
    case D3DFMT_X8R8G8B8:
    case D3DFMT_A8R8G8B8:
        return 32;
    case D3DFMT_R8G8B8:
        return 24;
    case D3DFMT_UNKNOWN:
        return 0;
    default:
        return 16;
    }
}

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

D3DFORMAT D3DFormatOfSdlFormat(uint32_t sdlFormat) {
    switch (sdlFormat) {
    case SDL_PIXELFORMAT_RGB888:
        return D3DFMT_X8R8G8B8;
    case SDL_PIXELFORMAT_ARGB8888:
        return D3DFMT_A8R8G8B8;
    case SDL_PIXELFORMAT_RGB565:
        return D3DFMT_R5G6B5;
    case SDL_PIXELFORMAT_RGB555:
        return D3DFMT_X1R5G5B5;
    case SDL_PIXELFORMAT_ARGB1555:
        return D3DFMT_A1R5G5B5;
    case SDL_PIXELFORMAT_RGB444:
        return D3DFMT_X4R4G4B4;
    case SDL_PIXELFORMAT_ARGB4444:
        return D3DFMT_A4R4G4B4;
    case SDL_PIXELFORMAT_RGB24:
    case SDL_PIXELFORMAT_BGR24:
        return D3DFMT_R8G8B8;
    default:
        break;
    }
    switch (SDL_BITSPERPIXEL(sdlFormat)) {
    case 32:
        return D3DFMT_X8R8G8B8;
    case 24:
        return D3DFMT_R8G8B8;
    case 16:
        return D3DFMT_R5G6B5;
    case 15:
        return D3DFMT_X1R5G5B5;
    default:
        return D3DFMT_UNKNOWN;
    }
}

bool QueryDisplayModes(std::vector<D3DDISPLAYMODE>& modes, D3DDISPLAYMODE& desktop) {
    modes.clear();
    TSdlSubsystem video(SDL_INIT_VIDEO);
    if (!video.Ok()) return false;
    SDL_DisplayMode dm{};
    if (SDL_GetDesktopDisplayMode(0, &dm) != 0) return false;
    desktop = ToD3DMode(dm);
    const int count = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < count; ++i)
        if (SDL_GetDisplayMode(0, i, &dm) == 0) modes.push_back(ToD3DMode(dm));
    if (modes.empty()) modes.push_back(desktop);
    // SDL lists the largest mode first; the dialog expects an adapter's increasing order.
    std::stable_sort(modes.begin(), modes.end(), [](const D3DDISPLAYMODE& a, const D3DDISPLAYMODE& b) {
        return std::make_tuple(a.Width, a.Height, DepthOf(a.Format), a.RefreshRate) <
               std::make_tuple(b.Width, b.Height, DepthOf(b.Format), b.RefreshRate);
    });
    return true;
}

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

bool FullScreenFormatSupported(D3DFORMAT format) {
    return format == D3DFMT_X8R8G8B8 || format == D3DFMT_R5G6B5 || format == D3DFMT_X1R5G5B5;
}

} // namespace velmora
