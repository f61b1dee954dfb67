// The Direct3D 8-shaped object and device over OpenGL 2.1 fixed function. The game draws into an
// off-screen back buffer (a framebuffer object of the presentation parameters' size); Present
// scales it into the window with its aspect kept.
#include "platform/device_common.h"
#include "platform/window_internal.h"

#include <SDL_opengl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace velmora {

namespace {

using detail::StateOp;

bool failCreate = false;
bool finishEveryFrame = false;
std::string rendererName;

// ---- GL entry points beyond 1.1 ----------------------------------------------------------------

struct GLFunctions {
    PFNGLGENFRAMEBUFFERSPROC GenFramebuffers = nullptr;
    PFNGLDELETEFRAMEBUFFERSPROC DeleteFramebuffers = nullptr;
    PFNGLBINDFRAMEBUFFERPROC BindFramebuffer = nullptr;
    PFNGLFRAMEBUFFERTEXTURE2DPROC FramebufferTexture2D = nullptr;
    PFNGLGENRENDERBUFFERSPROC GenRenderbuffers = nullptr;
    PFNGLDELETERENDERBUFFERSPROC DeleteRenderbuffers = nullptr;
    PFNGLBINDRENDERBUFFERPROC BindRenderbuffer = nullptr;
    PFNGLRENDERBUFFERSTORAGEPROC RenderbufferStorage = nullptr;
    PFNGLFRAMEBUFFERRENDERBUFFERPROC FramebufferRenderbuffer = nullptr;
    PFNGLCHECKFRAMEBUFFERSTATUSPROC CheckFramebufferStatus = nullptr;
    PFNGLBLITFRAMEBUFFERPROC BlitFramebuffer = nullptr;
    PFNGLBLENDEQUATIONPROC BlendEquation = nullptr;
    PFNGLPROVOKINGVERTEXPROC ProvokingVertex = nullptr;

    template <typename T> static void Load(T& f, const char* name, const char* alt = nullptr) {
        f = reinterpret_cast<T>(SDL_GL_GetProcAddress(name));
        if (!f && alt) f = reinterpret_cast<T>(SDL_GL_GetProcAddress(alt));
    }
    bool LoadAll() {
        Load(GenFramebuffers, "glGenFramebuffers", "glGenFramebuffersEXT");
        Load(DeleteFramebuffers, "glDeleteFramebuffers", "glDeleteFramebuffersEXT");
        Load(BindFramebuffer, "glBindFramebuffer", "glBindFramebufferEXT");
        Load(FramebufferTexture2D, "glFramebufferTexture2D", "glFramebufferTexture2DEXT");
        Load(GenRenderbuffers, "glGenRenderbuffers", "glGenRenderbuffersEXT");
        Load(DeleteRenderbuffers, "glDeleteRenderbuffers", "glDeleteRenderbuffersEXT");
        Load(BindRenderbuffer, "glBindRenderbuffer", "glBindRenderbufferEXT");
        Load(RenderbufferStorage, "glRenderbufferStorage", "glRenderbufferStorageEXT");
        Load(FramebufferRenderbuffer, "glFramebufferRenderbuffer", "glFramebufferRenderbufferEXT");
        Load(CheckFramebufferStatus, "glCheckFramebufferStatus", "glCheckFramebufferStatusEXT");
        Load(BlitFramebuffer, "glBlitFramebuffer", "glBlitFramebufferEXT");
        Load(BlendEquation, "glBlendEquation", "glBlendEquationEXT");
        Load(ProvokingVertex, "glProvokingVertex", "glProvokingVertexEXT");
        return GenFramebuffers && DeleteFramebuffers && BindFramebuffer && FramebufferTexture2D &&
               GenRenderbuffers && DeleteRenderbuffers && BindRenderbuffer && RenderbufferStorage &&
               FramebufferRenderbuffer && CheckFramebufferStatus && BlitFramebuffer;
    }
};

// ---- Translations of Direct3D values -----------------------------------------------------------

GLenum BlendFactor(DWORD b) {
    switch (b) {
    case D3DBLEND_ZERO:
        return GL_ZERO;
    case D3DBLEND_ONE:
        return GL_ONE;
    case D3DBLEND_SRCCOLOR:
        return GL_SRC_COLOR;
    case D3DBLEND_INVSRCCOLOR:
        return GL_ONE_MINUS_SRC_COLOR;
    case D3DBLEND_SRCALPHA:
        return GL_SRC_ALPHA;
    case D3DBLEND_INVSRCALPHA:
        return GL_ONE_MINUS_SRC_ALPHA;
    case D3DBLEND_DESTALPHA:
        return GL_DST_ALPHA;
    case D3DBLEND_INVDESTALPHA:
        return GL_ONE_MINUS_DST_ALPHA;
    case D3DBLEND_DESTCOLOR:
        return GL_DST_COLOR;
    case D3DBLEND_INVDESTCOLOR:
        return GL_ONE_MINUS_DST_COLOR;
    case D3DBLEND_SRCALPHASAT:
        return GL_SRC_ALPHA_SATURATE;
    default:
        return GL_ONE;
    }
}

GLenum CompareFunc(DWORD f) {
    switch (f) {
    case D3DCMP_NEVER:
        return GL_NEVER;
    case D3DCMP_LESS:
        return GL_LESS;
    case D3DCMP_EQUAL:
        return GL_EQUAL;
    case D3DCMP_LESSEQUAL:
        return GL_LEQUAL;
    case D3DCMP_GREATER:
        return GL_GREATER;
    case D3DCMP_NOTEQUAL:
        return GL_NOTEQUAL;
    case D3DCMP_GREATEREQUAL:
        return GL_GEQUAL;
    default:
        return GL_ALWAYS;
    }
}

GLenum AddressMode(DWORD a) {
    switch (a) {
    case D3DTADDRESS_MIRROR:
    case D3DTADDRESS_MIRRORONCE:
        return GL_MIRRORED_REPEAT;
    case D3DTADDRESS_CLAMP:
        return GL_CLAMP_TO_EDGE;
    case D3DTADDRESS_BORDER:
        return GL_CLAMP_TO_BORDER;
    default:
        return GL_REPEAT;
    }
}

GLenum MinFilter(DWORD min, DWORD mip, bool hasMips) {
    const bool linear = min >= D3DTEXF_LINEAR;
    if (!hasMips || mip == D3DTEXF_NONE) return linear ? GL_LINEAR : GL_NEAREST;
    if (mip == D3DTEXF_POINT) return linear ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
    return linear ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR;
}

GLenum PrimitiveMode(D3DPRIMITIVETYPE t) {
    switch (t) {
    case D3DPT_POINTLIST:
        return GL_POINTS;
    case D3DPT_LINELIST:
        return GL_LINES;
    case D3DPT_LINESTRIP:
        return GL_LINE_STRIP;
    case D3DPT_TRIANGLELIST:
        return GL_TRIANGLES;
    case D3DPT_TRIANGLESTRIP:
        return GL_TRIANGLE_STRIP;
    default:
        return GL_TRIANGLE_FAN;
    }
}

UINT VertexCountOf(D3DPRIMITIVETYPE t, UINT primitives) {
    switch (t) {
    case D3DPT_POINTLIST:
        return primitives;
    case D3DPT_LINELIST:
        return primitives * 2;
    case D3DPT_LINESTRIP:
        return primitives + 1;
    case D3DPT_TRIANGLELIST:
        return primitives * 3;
    case D3DPT_TRIANGLESTRIP:
    case D3DPT_TRIANGLEFAN:
        return primitives + 2;
    default:
        return 0;
    }
}

struct UploadFormat {
    GLint Internal;
    GLenum Format, Type;
};

UploadFormat UploadOf(D3DFORMAT f) {
    switch (f) {
    case D3DFMT_A8R8G8B8:
        return {GL_RGBA8, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV};
    case D3DFMT_X8R8G8B8:
        return {GL_RGB8, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV};
    case D3DFMT_R5G6B5:
        return {GL_RGB5, GL_RGB, GL_UNSIGNED_SHORT_5_6_5};
    case D3DFMT_X1R5G5B5:
        return {GL_RGB5, GL_BGRA, GL_UNSIGNED_SHORT_1_5_5_5_REV};
    case D3DFMT_A1R5G5B5:
        return {GL_RGB5_A1, GL_BGRA, GL_UNSIGNED_SHORT_1_5_5_5_REV};
    case D3DFMT_A4R4G4B4:
        return {GL_RGBA4, GL_BGRA, GL_UNSIGNED_SHORT_4_4_4_4_REV};
    default:
        return {GL_RGB4, GL_BGRA, GL_UNSIGNED_SHORT_4_4_4_4_REV}; // X4R4G4B4
    }
}

void ColorOf(D3DCOLOR c, GLfloat out[4]) {
    out[0] = ((c >> 16) & 255) / 255.0f;
    out[1] = ((c >> 8) & 255) / 255.0f;
    out[2] = (c & 255) / 255.0f;
    out[3] = (c >> 24) / 255.0f;
}

float FloatOf(DWORD bits) {
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

// ---- Texture combiners of stage 0 --------------------------------------------------------------

struct CombinerSource {
    GLenum Source, Operand;
};

CombinerSource ArgumentOf(DWORD arg, bool alpha) {
    GLenum src;
    switch (arg & D3DTA_SELECTMASK) {
    case D3DTA_TEXTURE:
        src = GL_TEXTURE;
        break;
    case D3DTA_TFACTOR:
        src = GL_CONSTANT;
        break;
    default:
        src = GL_PRIMARY_COLOR;
        break; // DIFFUSE, and CURRENT on the first stage
    }
    const bool complement = (arg & D3DTA_COMPLEMENT) != 0;
    GLenum operand;
    if (alpha || (arg & D3DTA_ALPHAREPLICATE))
        operand = complement ? GL_ONE_MINUS_SRC_ALPHA : GL_SRC_ALPHA;
    else
        operand = complement ? GL_ONE_MINUS_SRC_COLOR : GL_SRC_COLOR;
    return {src, operand};
}

bool UsesTexture(DWORD op, DWORD arg1, DWORD arg2) {
    if (op == D3DTOP_DISABLE) return false;
    if (op == D3DTOP_BLENDTEXTUREALPHA) return true;
    const bool a1 = (arg1 & D3DTA_SELECTMASK) == D3DTA_TEXTURE,
               a2 = (arg2 & D3DTA_SELECTMASK) == D3DTA_TEXTURE;
    if (op == D3DTOP_SELECTARG1) return a1;
    if (op == D3DTOP_SELECTARG2) return a2;
    return a1 || a2;
}

// Sets one half (colour or alpha) of the GL_COMBINE environment from a Direct3D operation.
void SetCombiner(bool alpha, DWORD op, DWORD arg1, DWORD arg2) {
    const GLenum combine = alpha ? GL_COMBINE_ALPHA : GL_COMBINE_RGB;
    const GLenum src[3] = {alpha ? GLenum(GL_SRC0_ALPHA) : GLenum(GL_SRC0_RGB),
                           alpha ? GLenum(GL_SRC1_ALPHA) : GLenum(GL_SRC1_RGB),
                           alpha ? GLenum(GL_SRC2_ALPHA) : GLenum(GL_SRC2_RGB)};
    const GLenum opnd[3] = {alpha ? GLenum(GL_OPERAND0_ALPHA) : GLenum(GL_OPERAND0_RGB),
                            alpha ? GLenum(GL_OPERAND1_ALPHA) : GLenum(GL_OPERAND1_RGB),
                            alpha ? GLenum(GL_OPERAND2_ALPHA) : GLenum(GL_OPERAND2_RGB)};
    const GLenum scaleName = alpha ? GL_ALPHA_SCALE : GL_RGB_SCALE;
    auto set = [&](int i, CombinerSource s) {
        glTexEnvi(GL_TEXTURE_ENV, src[i], static_cast<GLint>(s.Source));
        glTexEnvi(GL_TEXTURE_ENV, opnd[i], static_cast<GLint>(s.Operand));
    };
    const CombinerSource a = ArgumentOf(arg1, alpha), b = ArgumentOf(arg2, alpha);
    GLenum mode = GL_REPLACE;
    float scale = 1.0f;
    switch (op) {
    case D3DTOP_DISABLE:
        set(0, {GL_PRIMARY_COLOR, alpha ? GLenum(GL_SRC_ALPHA) : GLenum(GL_SRC_COLOR)});
        break;
    case D3DTOP_SELECTARG1:
        set(0, a);
        break;
    case D3DTOP_SELECTARG2:
        set(0, b);
        break;
    case D3DTOP_MODULATE4X:
        scale = 2.0f;
        [[fallthrough]];
    case D3DTOP_MODULATE2X:
        scale *= 2.0f;
        [[fallthrough]];
    case D3DTOP_MODULATE:
        mode = GL_MODULATE;
        set(0, a), set(1, b);
        break;
    case D3DTOP_ADDSIGNED2X:
        scale = 2.0f;
        [[fallthrough]];
    case D3DTOP_ADDSIGNED:
        mode = GL_ADD_SIGNED;
        set(0, a), set(1, b);
        break;
    case D3DTOP_SUBTRACT:
        mode = GL_SUBTRACT;
        set(0, a), set(1, b);
        break;
    case D3DTOP_BLENDDIFFUSEALPHA:
    case D3DTOP_BLENDTEXTUREALPHA:
    case D3DTOP_BLENDFACTORALPHA:
    case D3DTOP_BLENDCURRENTALPHA: {
        mode = GL_INTERPOLATE;
        set(0, a), set(1, b);
        const GLenum weight = op == D3DTOP_BLENDTEXTUREALPHA  ? GL_TEXTURE
                              : op == D3DTOP_BLENDFACTORALPHA ? GL_CONSTANT
                                                              : GL_PRIMARY_COLOR;
        set(2, {weight, GL_SRC_ALPHA});
        break;
    }
    default: // ADD and everything the game never asks for
        mode = GL_ADD;
        set(0, a), set(1, b);
        break;
    }
    glTexEnvi(GL_TEXTURE_ENV, combine, static_cast<GLint>(mode));
    glTexEnvf(GL_TEXTURE_ENV, scaleName, scale);
}

// ---- The device --------------------------------------------------------------------------------

class GLDevice;
GLDevice* liveDevice = nullptr;

class GLDevice final : public IDirect3DDevice8, detail::ResourceOwner, detail::BackBufferSource {
  public:
    GLDevice(IDirect3D8* d3d, HWND window, SDL_GLContext context, const GLFunctions& gl)
        : D3D(d3d), Window(window), Context(context), GL(gl) {
        D3D->AddRef();
        liveDevice = this;
    }

    HRESULT Init(const D3DPRESENT_PARAMETERS& params) {
        const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
        rendererName = renderer ? renderer : "";
        GLint maxSize = 2048;
        glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
        MaxTextureSize = static_cast<UINT>(std::max(maxSize, 256));
        const char* driver = std::getenv("SDL_VIDEODRIVER");
        if (driver && std::strcmp(driver, "offscreen") == 0) finishEveryFrame = true;
        MakeWhiteTexture();
        const HRESULT hr = ApplyParameters(params);
        if (SUCCEEDED(hr)) State.SetDefaults(BackW, BackH, params.EnableAutoDepthStencil);
        return hr;
    }

    // ---- IUnknown ----
    ULONG AddRef() override { return ++Refs; }
    ULONG Release() override {
        const ULONG left = --Refs;
        if (left == 0) delete this;
        return left;
    }

    // ---- queries ----
    HRESULT TestCooperativeLevel() override {
        return detail::TakeLoseDeviceOnce() ? D3DERR_DEVICENOTRESET : D3D_OK;
    }
    UINT GetAvailableTextureMem() override {
        GLint kb[4] = {0, 0, 0, 0};
        const char* ext = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
        if (ext && std::strstr(ext, "GL_NVX_gpu_memory_info"))
            glGetIntegerv(GL_GPU_MEMORY_INFO_CURRENT_AVAILABLE_VIDMEM_NVX, kb);
        else if (ext && std::strstr(ext, "GL_ATI_meminfo"))
            glGetIntegerv(GL_TEXTURE_FREE_MEMORY_ATI, kb);
        glGetError();
        if (kb[0] <= 0) return 512u * 1024 * 1024; // software renderers share system memory
        return static_cast<UINT>(std::min<long long>(static_cast<long long>(kb[0]) * 1024, 0xFFF00000LL));
    }
    HRESULT GetDirect3D(IDirect3D8** d3d) override {
        if (!d3d) return D3DERR_INVALIDCALL;
        *d3d = D3D;
        D3D->AddRef();
        return D3D_OK;
    }
    HRESULT GetDeviceCaps(D3DCAPS8* caps) override {
        if (!caps) return D3DERR_INVALIDCALL;
        *caps = D3DStandardCaps();
        caps->MaxTextureWidth = caps->MaxTextureHeight = MaxTextureSize;
        return D3D_OK;
    }
    HRESULT GetDisplayMode(D3DDISPLAYMODE* mode) override { return D3D->GetAdapterDisplayMode(0, mode); }

    HRESULT Reset(D3DPRESENT_PARAMETERS* params) override {
        if (!params || InScene || Blocks.Recording()) return D3DERR_INVALIDCALL;
        MakeCurrent();
        const HRESULT hr = ApplyParameters(*params);
        if (FAILED(hr)) return hr;
        State.SetDefaults(BackW, BackH, params->EnableAutoDepthStencil);
        ForgetAppliedState();
        return D3D_OK;
    }

    HRESULT Present(const RECT*, const RECT*, HWND, const RGNDATA*) override {
        if (InScene || !IsWindow(Window)) return D3DERR_INVALIDCALL;
        MakeCurrent();
        int dw = 0, dh = 0;
        detail::GetDrawableSize(Window, &dw, &dh);
        const PresentRect r = ComputePresentRect(static_cast<int>(BackW), static_cast<int>(BackH), dw, dh);
        GL.BindFramebuffer(GL_FRAMEBUFFER, 0);
        glDisable(GL_SCISSOR_TEST);
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        if (r.X > 0 || r.Y > 0 || r.Width < dw || r.Height < dh) { // black bars
            glClearColor(0, 0, 0, 1);
            glClear(GL_COLOR_BUFFER_BIT);
        }
        GL.BindFramebuffer(GL_READ_FRAMEBUFFER, Framebuffer);
        const int y0 = dh - r.Y - r.Height;
        GL.BlitFramebuffer(0, 0, static_cast<GLint>(BackW), static_cast<GLint>(BackH), r.X, y0, r.X + r.Width,
                           y0 + r.Height, GL_COLOR_BUFFER_BIT, r.Linear ? GL_LINEAR : GL_NEAREST);
        SDL_GL_SwapWindow(Window->Sdl);
        if (finishEveryFrame) glFinish();
        GL.BindFramebuffer(GL_FRAMEBUFFER, Framebuffer);
        Applied.ColorMask = 0xF;
        return D3D_OK;
    }

    HRESULT GetBackBuffer(UINT index, D3DBACKBUFFER_TYPE, IDirect3DSurface8** surface) override {
        if (!surface || index != 0) return D3DERR_INVALIDCALL;
        *surface = new detail::BackBufferSurface(this);
        return D3D_OK;
    }

    HRESULT CreateTexture(UINT w, UINT h, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                          IDirect3DTexture8** texture) override {
        if (!texture) return D3DERR_INVALIDCALL;
        *texture = nullptr;
        if (w == 0 || h == 0 || w > MaxTextureSize || h > MaxTextureSize ||
            !detail::IsTextureFormat(format) || (usage & (D3DUSAGE_RENDERTARGET | D3DUSAGE_DEPTHSTENCIL)))
            return D3DERR_INVALIDCALL;
        MakeCurrent();
        // GL keeps the pixels; only level 0 exists until a draw samples the levels below it (the
        // game draws its sprites 1:1 and never asks for mip filtering). The zeros of the new
        // texture stay in memory until its first unlock, so that first lock reads nothing back.
        auto* t = new detail::MemTexture(this, w, h, levels, usage, format, pool, false);
        t->Levels[0].Bits.assign(t->LevelBytes(0), 0);
        glGenTextures(1, &t->GLName);
        glBindTexture(GL_TEXTURE_2D, t->GLName);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, t->Sampler[3] = GL_NEAREST);
        Upload(t, 0);
        glBindTexture(GL_TEXTURE_2D, 0);
        Applied.Texture = 0;
        if (glGetError() == GL_OUT_OF_MEMORY) {
            t->Release();
            return D3DERR_OUTOFVIDEOMEMORY;
        }
        Textures.insert(t);
        *texture = t;
        return D3D_OK;
    }

    HRESULT CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                               IDirect3DVertexBuffer8** buffer) override {
        if (!buffer) return D3DERR_INVALIDCALL;
        *buffer = nullptr;
        if (length == 0) return D3DERR_INVALIDCALL;
        auto* b = new detail::MemVertexBuffer(this, length, usage, fvf, pool);
        Buffers.insert(b);
        *buffer = b;
        return D3D_OK;
    }

    HRESULT SetRenderTarget(IDirect3DSurface8* target, IDirect3DSurface8*) override {
        // Only the back buffer can be drawn into; setting it again is what the game does.
        if (!target) return D3D_OK;
        D3DSURFACE_DESC desc{};
        if (FAILED(target->GetDesc(&desc)) || !(desc.Usage & D3DUSAGE_RENDERTARGET))
            return D3DERR_INVALIDCALL;
        return D3D_OK;
    }
    HRESULT GetRenderTarget(IDirect3DSurface8** target) override {
        return GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, target);
    }

    HRESULT BeginScene() override {
        if (InScene) return D3DERR_INVALIDCALL;
        InScene = true;
        MakeCurrent();
        return D3D_OK;
    }
    HRESULT EndScene() override {
        if (!InScene) return D3DERR_INVALIDCALL;
        InScene = false;
        return D3D_OK;
    }

    HRESULT Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z, DWORD) override {
        MakeCurrent();
        GLbitfield mask = 0;
        if (flags & D3DCLEAR_TARGET) {
            GLfloat c[4];
            ColorOf(color, c);
            glClearColor(c[0], c[1], c[2], c[3]);
            glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
            Applied.ColorMask = 0xF;
            mask |= GL_COLOR_BUFFER_BIT;
        }
        if (flags & D3DCLEAR_ZBUFFER) {
            glClearDepth(std::clamp(z, 0.0f, 1.0f));
            glDepthMask(GL_TRUE);
            Applied.DepthMask = 1;
            mask |= GL_DEPTH_BUFFER_BIT;
        }
        if (!mask) return flags ? D3DERR_INVALIDCALL : D3D_OK;
        // Direct3D clears inside the viewport only, and only the rectangles when given.
        const D3DVIEWPORT8& vp = State.Viewport;
        const RECT view{static_cast<LONG>(vp.X), static_cast<LONG>(vp.Y), static_cast<LONG>(vp.X + vp.Width),
                        static_cast<LONG>(vp.Y + vp.Height)};
        glEnable(GL_SCISSOR_TEST);
        auto clearRect = [&](LONG x1, LONG y1, LONG x2, LONG y2) {
            x1 = std::max(x1, view.left), y1 = std::max(y1, view.top);
            x2 = std::min(x2, view.right), y2 = std::min(y2, view.bottom);
            if (x1 >= x2 || y1 >= y2) return;
            glScissor(x1, static_cast<GLint>(BackH) - y2, x2 - x1, y2 - y1);
            glClear(mask);
        };
        if (count == 0 || !rects)
            clearRect(view.left, view.top, view.right, view.bottom);
        else
            for (DWORD i = 0; i < count; ++i)
                clearRect(rects[i].x1, rects[i].y1, rects[i].x2, rects[i].y2);
        glDisable(GL_SCISSOR_TEST);
        return D3D_OK;
    }

    HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* m) override {
        if (!m) return D3DERR_INVALIDCALL;
        StateOp op;
        op.What = StateOp::Transform;
        op.A = state;
        op.Matrix = *m;
        return SetState(op);
    }
    HRESULT GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* m) override {
        if (!m) return D3DERR_INVALIDCALL;
        if (state == D3DTS_VIEW)
            *m = State.View;
        else if (state == D3DTS_PROJECTION)
            *m = State.Projection;
        else if (state == D3DTS_WORLD)
            *m = State.World;
        else
            *m = D3DMatrixIdentity();
        return D3D_OK;
    }
    HRESULT SetViewport(const D3DVIEWPORT8* vp) override {
        if (!vp || vp->X + vp->Width > BackW || vp->Y + vp->Height > BackH) return D3DERR_INVALIDCALL;
        StateOp op;
        op.What = StateOp::Viewport;
        op.ViewportData = *vp;
        return SetState(op);
    }
    HRESULT GetViewport(D3DVIEWPORT8* vp) override {
        if (!vp) return D3DERR_INVALIDCALL;
        *vp = State.Viewport;
        return D3D_OK;
    }
    HRESULT SetMaterial(const D3DMATERIAL8* m) override {
        if (!m) return D3DERR_INVALIDCALL;
        StateOp op;
        op.What = StateOp::Material;
        op.MaterialData = *m;
        return SetState(op);
    }
    HRESULT SetLight(DWORD index, const D3DLIGHT8* l) override {
        if (!l || index >= detail::MaxLights) return D3DERR_INVALIDCALL;
        StateOp op;
        op.What = StateOp::Light;
        op.A = index;
        op.LightData = *l;
        return SetState(op);
    }
    HRESULT LightEnable(DWORD index, BOOL enable) override {
        if (index >= detail::MaxLights) return D3DERR_INVALIDCALL;
        StateOp op;
        op.What = StateOp::LightEnable;
        op.A = index;
        op.B = enable ? 1 : 0;
        return SetState(op);
    }
    HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override {
        if (state >= D3DRS_MAX) return D3DERR_INVALIDCALL;
        StateOp op;
        op.What = StateOp::RenderState;
        op.A = state;
        op.B = value;
        return SetState(op);
    }
    HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) override {
        if (!value || state >= D3DRS_MAX) return D3DERR_INVALIDCALL;
        *value = State.Render[state];
        return D3D_OK;
    }

    HRESULT BeginStateBlock() override { return Blocks.Begin(); }
    HRESULT EndStateBlock(DWORD* token) override {
        if (token) *token = 0;
        return Blocks.End(token);
    }
    HRESULT ApplyStateBlock(DWORD token) override {
        const detail::StateOpList* block = Blocks.Find(token);
        if (!block || Blocks.Recording()) return D3DERR_INVALIDCALL;
        for (const StateOp& op : block->Ops())
            State.Apply(op);
        return D3D_OK;
    }
    HRESULT CaptureStateBlock(DWORD token) override { return Blocks.Capture(token, State); }
    HRESULT DeleteStateBlock(DWORD token) override { return Blocks.Delete(token); }

    HRESULT GetTexture(DWORD stage, IDirect3DBaseTexture8** texture) override {
        if (!texture || stage >= D3D_MAX_STAGES) return D3DERR_INVALIDCALL;
        *texture = State.Textures[stage];
        if (*texture) (*texture)->AddRef();
        return D3D_OK;
    }
    HRESULT SetTexture(DWORD stage, IDirect3DBaseTexture8* texture) override {
        if (stage >= D3D_MAX_STAGES) return D3DERR_INVALIDCALL;
        if (texture &&
            !Textures.count(static_cast<detail::MemTexture*>(static_cast<IDirect3DTexture8*>(texture))))
            return D3DERR_INVALIDCALL;
        StateOp op;
        op.What = StateOp::Texture;
        op.A = stage;
        op.Object = texture;
        return SetState(op);
    }
    HRESULT GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) override {
        if (!value || stage >= D3D_MAX_STAGES || type >= D3DTSS_MAX) return D3DERR_INVALIDCALL;
        *value = State.Stage[stage][type];
        return D3D_OK;
    }
    HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) override {
        if (stage >= D3D_MAX_STAGES || type >= D3DTSS_MAX) return D3DERR_INVALIDCALL;
        StateOp op;
        op.What = StateOp::StageState;
        op.A = stage;
        op.B = type;
        op.C = value;
        return SetState(op);
    }

    HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, UINT start, UINT count) override {
        if (type < D3DPT_POINTLIST || type > D3DPT_TRIANGLEFAN || !State.Stream || State.Stride == 0)
            return D3DERR_INVALIDCALL;
        auto* vb = static_cast<detail::MemVertexBuffer*>(State.Stream);
        const UINT n = VertexCountOf(type, count);
        if (count == 0) return D3D_OK;
        const std::uint8_t* bytes = vb->Data((static_cast<size_t>(start) + n) * State.Stride);
        if (!bytes) return D3DERR_INVALIDCALL;
        return Draw(type, bytes + static_cast<size_t>(start) * State.Stride, n, State.Stride);
    }
    HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT count, const void* data, UINT stride) override {
        if (type < D3DPT_POINTLIST || type > D3DPT_TRIANGLEFAN || !data || stride == 0)
            return D3DERR_INVALIDCALL;
        const HRESULT hr =
            count ? Draw(type, static_cast<const BYTE*>(data), VertexCountOf(type, count), stride) : D3D_OK;
        StateOp unbind; // Direct3D leaves stream 0 empty after a user-pointer draw
        unbind.What = StateOp::Stream;
        State.Apply(unbind);
        return hr;
    }
    HRESULT SetVertexShader(DWORD fvf) override {
        if (D3DFVFVertexSize(fvf) == 0) return D3DERR_INVALIDCALL;
        StateOp op;
        op.What = StateOp::Shader;
        op.A = fvf;
        return SetState(op);
    }
    HRESULT GetVertexShader(DWORD* fvf) override {
        if (!fvf) return D3DERR_INVALIDCALL;
        *fvf = State.FVF;
        return D3D_OK;
    }
    HRESULT SetStreamSource(UINT stream, IDirect3DVertexBuffer8* buffer, UINT stride) override {
        if (stream != 0) return D3DERR_INVALIDCALL;
        if (buffer && !Buffers.count(static_cast<detail::MemVertexBuffer*>(buffer)))
            return D3DERR_INVALIDCALL;
        StateOp op;
        op.What = StateOp::Stream;
        op.Object = buffer;
        op.B = stride;
        return SetState(op);
    }
    HRESULT GetStreamSource(UINT stream, IDirect3DVertexBuffer8** buffer, UINT* stride) override {
        if (!buffer || !stride || stream != 0) return D3DERR_INVALIDCALL;
        *buffer = State.Stream;
        if (*buffer) (*buffer)->AddRef();
        *stride = State.Stride;
        return D3D_OK;
    }

  private:
    ~GLDevice() override {
        MakeCurrent();
        State.ReleaseObjects();
        for (auto* t : Textures) {
            t->Owner = nullptr;
            glDeleteTextures(1, &t->GLName);
            t->GLName = 0;
        }
        for (auto* b : Buffers)
            b->Owner = nullptr;
        glDeleteTextures(1, &WhiteTexture);
        DeleteBackBuffer();
        SDL_GL_MakeCurrent(nullptr, nullptr);
        SDL_GL_DeleteContext(Context);
        if (liveDevice == this) liveDevice = nullptr;
        rendererName.clear();
        D3D->Release();
    }

    void MakeCurrent() {
        if (IsWindow(Window) && SDL_GL_GetCurrentContext() != Context)
            SDL_GL_MakeCurrent(Window->Sdl, Context);
    }

    HRESULT ApplyParameters(const D3DPRESENT_PARAMETERS& p) {
        if (!IsWindow(Window)) return D3DERR_INVALIDCALL;
        if (!SetWindowFullscreen(Window, p.Windowed ? FALSE : TRUE) && !p.Windowed)
            return D3DERR_NOTAVAILABLE;
        RECT client{};
        GetClientRect(Window, &client);
        const UINT w =
            p.BackBufferWidth ? p.BackBufferWidth : static_cast<UINT>(std::max<LONG>(1, client.right));
        const UINT h =
            p.BackBufferHeight ? p.BackBufferHeight : static_cast<UINT>(std::max<LONG>(1, client.bottom));
        if (w > MaxTextureSize || h > MaxTextureSize) return D3DERR_INVALIDCALL;
        const bool vsync = p.SwapEffect == D3DSWAPEFFECT_COPY_VSYNC ||
                           p.FullScreen_PresentationInterval == D3DPRESENT_INTERVAL_ONE;
        // Adaptive where offered (a late frame is shown at once instead of a refresh later); either
        // may be refused (virtual displays, some drivers): the game's frame limiter paces then.
        if (!vsync || SDL_GL_SetSwapInterval(-1) != 0) SDL_GL_SetSwapInterval(vsync ? 1 : 0);
        BackFormat = p.BackBufferFormat == D3DFMT_A8R8G8B8 ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8;
        if (!MakeBackBuffer(w, h, p.EnableAutoDepthStencil != FALSE)) return D3DERR_OUTOFVIDEOMEMORY;
        detail::SetBackBufferSize(Window, static_cast<int>(w), static_cast<int>(h));
        return D3D_OK;
    }

    // The depth buffer only when asked for: the game draws without one, and at 800 x 600 it is
    // 1.9 MB of the driver's memory (with none attached GL passes every depth test, as Direct3D does).
    bool MakeBackBuffer(UINT w, UINT h, bool depth) {
        if (Framebuffer && w == BackW && h == BackH && depth == (DepthBuffer != 0)) return true;
        DeleteBackBuffer();
        glGenTextures(1, &ColorTexture);
        glBindTexture(GL_TEXTURE_2D, ColorTexture);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, static_cast<GLsizei>(w), static_cast<GLsizei>(h), 0, GL_BGRA,
                     GL_UNSIGNED_BYTE, nullptr);
        glBindTexture(GL_TEXTURE_2D, 0);
        if (depth) {
            GL.GenRenderbuffers(1, &DepthBuffer);
            GL.BindRenderbuffer(GL_RENDERBUFFER, DepthBuffer);
            GL.RenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, static_cast<GLsizei>(w),
                                   static_cast<GLsizei>(h));
        }
        GL.GenFramebuffers(1, &Framebuffer);
        GL.BindFramebuffer(GL_FRAMEBUFFER, Framebuffer);
        GL.FramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, ColorTexture, 0);
        if (depth)
            GL.FramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, DepthBuffer);
        if (GL.CheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
            std::fprintf(stderr, "GL device: back buffer %ux%u incomplete\n", w, h);
            DeleteBackBuffer();
            return false;
        }
        BackW = w;
        BackH = h;
        glViewport(0, 0, static_cast<GLsizei>(w), static_cast<GLsizei>(h));
        glClearColor(0, 0, 0, 1);
        glClearDepth(1.0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        ForgetAppliedState();
        return true;
    }

    void DeleteBackBuffer() {
        if (Framebuffer) {
            GL.BindFramebuffer(GL_FRAMEBUFFER, 0);
            GL.DeleteFramebuffers(1, &Framebuffer);
        }
        if (DepthBuffer) GL.DeleteRenderbuffers(1, &DepthBuffer);
        if (ColorTexture) glDeleteTextures(1, &ColorTexture);
        Framebuffer = DepthBuffer = ColorTexture = 0;
        BackW = BackH = 0;
    }

    void MakeWhiteTexture() {
        const std::uint32_t white = 0xFFFFFFFFu;
        glGenTextures(1, &WhiteTexture);
        glBindTexture(GL_TEXTURE_2D, WhiteTexture);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 1, 1, 0, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, &white);
        glBindTexture(GL_TEXTURE_2D, 0);
    }

    HRESULT SetState(const StateOp& op) {
        if (Blocks.Recording())
            Blocks.Add(op);
        else
            State.Apply(op);
        return D3D_OK;
    }

    // ---- resources ----
    void Upload(detail::MemTexture* t, UINT level) {
        const auto& l = t->Levels[level];
        const UploadFormat f = UploadOf(t->Format);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glTexImage2D(GL_TEXTURE_2D, static_cast<GLint>(level), f.Internal, static_cast<GLsizei>(l.Width),
                     static_cast<GLsizei>(l.Height), 0, f.Format, f.Type, l.Bits.data());
    }
    // A level's pixels back from GL, for a lock after the memory copy was dropped.
    void ReadLevel(detail::MemTexture* t, UINT level) {
        auto& l = t->Levels[level];
        l.Bits.assign(t->LevelBytes(level), 0);
        const UploadFormat f = UploadOf(t->Format);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, static_cast<GLint>(level), f.Format, f.Type, l.Bits.data());
    }

    // The levels below 0, made from level 0 by the same box filter as in memory, and sent to GL.
    void MakeMipsOnDevice(detail::MemTexture* t) {
        glBindTexture(GL_TEXTURE_2D, t->GLName);
        Applied.Texture = 0;
        if (t->Levels[0].Bits.empty()) ReadLevel(t, 0);
        for (UINT i = 1; i < t->Levels.size(); ++i)
            if (!t->Levels[i].Locked) t->Levels[i].Bits.assign(t->LevelBytes(i), 0);
        t->BuildMips();
        for (UINT i = 1; i < t->Levels.size(); ++i)
            Upload(t, i);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, static_cast<GLint>(t->Levels.size() - 1));
        t->MipsOnDevice = true;
    }

    void TextureLocked(detail::MemTexture* t, UINT level, DWORD) override {
        if (!t->GLName || !t->Levels[level].Bits.empty()) return;
        MakeCurrent();
        if (level > 0 && !t->MipsOnDevice) MakeMipsOnDevice(t);
        if (t->Levels[level].Bits.empty()) {
            glBindTexture(GL_TEXTURE_2D, t->GLName);
            Applied.Texture = 0;
            ReadLevel(t, level);
        }
        glBindTexture(GL_TEXTURE_2D, 0);
    }
    void TextureUnlocked(detail::MemTexture* t, UINT level) override {
        if (!t->GLName) return;
        MakeCurrent();
        glBindTexture(GL_TEXTURE_2D, t->GLName);
        Upload(t, level);
        if (level == 0 && t->MipsOnDevice) MakeMipsOnDevice(t); // the levels below follow level 0
        glBindTexture(GL_TEXTURE_2D, 0);
        Applied.Texture = 0;
        t->DropMemoryCopies();
    }
    void TextureDestroyed(detail::MemTexture* t) override {
        Textures.erase(t);
        if (t->GLName) {
            MakeCurrent();
            glDeleteTextures(1, &t->GLName);
            if (Applied.Texture == t->GLName) Applied.Texture = 0;
        }
    }
    void BufferLocked(detail::MemVertexBuffer*, UINT, UINT, DWORD) override {}
    void BufferUnlocked(detail::MemVertexBuffer*) override {}
    void BufferDestroyed(detail::MemVertexBuffer* b) override { Buffers.erase(b); }
    IDirect3DDevice8* AsDevice() override { return this; }

    bool ReadBackBuffer(std::vector<std::uint32_t>& pixels, UINT& w, UINT& h) override {
        if (!Framebuffer) return false;
        MakeCurrent();
        w = BackW;
        h = BackH;
        std::vector<std::uint32_t> upside(static_cast<size_t>(w) * h);
        GL.BindFramebuffer(GL_READ_FRAMEBUFFER, Framebuffer);
        glPixelStorei(GL_PACK_ALIGNMENT, 4);
        glReadPixels(0, 0, static_cast<GLsizei>(w), static_cast<GLsizei>(h), GL_BGRA,
                     GL_UNSIGNED_INT_8_8_8_8_REV, upside.data());
        pixels.resize(upside.size());
        for (UINT y = 0; y < h; ++y)
            std::memcpy(&pixels[static_cast<size_t>(y) * w], &upside[static_cast<size_t>(h - 1 - y) * w],
                        w * 4);
        return true;
    }
    bool BackBufferSize(UINT& w, UINT& h) override {
        w = BackW;
        h = BackH;
        return Framebuffer != 0;
    }
    D3DFORMAT BackBufferFormat() override { return BackFormat; }

    // ---- drawing ----
    struct AppliedState {
        int Blend = -1, Src = -1, Dst = -1, BlendOp = -1;
        int AlphaTest = -1, AlphaFunc = -1, AlphaRef = -1;
        int DepthTest = -1, DepthMask = -1, DepthFunc = -1;
        int Cull = -1, Shade = -1, Fill = -1, Dither = -1, ColorMask = -1;
        int Lighting = -1, Fog = -1;
        GLuint Texture = 0;
        int TextureOn = -1;
        DWORD Combiner[7] = {};
        bool CombinerValid = false;
        bool Pretransformed = false;
        bool MatricesValid = false;
        D3DMATRIX World{}, View{}, Projection{};
        D3DVIEWPORT8 Viewport{};
        D3DLIGHT8 Lights[detail::MaxLights]{};
        bool LightOn[detail::MaxLights]{};
    } Applied;

    void ForgetAppliedState() { Applied = AppliedState{}; }

    template <typename T> static bool Changed(int& slot, T value) {
        if (slot == static_cast<int>(value)) return false;
        slot = static_cast<int>(value);
        return true;
    }

    static void Toggle(GLenum cap, bool on) { on ? glEnable(cap) : glDisable(cap); }

    void ApplyRenderStates(bool pretransformed) {
        const DWORD* rs = State.Render;
        if (Changed(Applied.Blend, rs[D3DRS_ALPHABLENDENABLE] != 0)) Toggle(GL_BLEND, Applied.Blend);
        DWORD src = rs[D3DRS_SRCBLEND], dst = rs[D3DRS_DESTBLEND];
        if (src == D3DBLEND_BOTHSRCALPHA) src = D3DBLEND_SRCALPHA, dst = D3DBLEND_INVSRCALPHA;
        if (src == D3DBLEND_BOTHINVSRCALPHA) src = D3DBLEND_INVSRCALPHA, dst = D3DBLEND_SRCALPHA;
        const bool s = Changed(Applied.Src, src), d = Changed(Applied.Dst, dst);
        if (s || d) glBlendFunc(BlendFactor(src), BlendFactor(dst));
        if (GL.BlendEquation && Changed(Applied.BlendOp, rs[D3DRS_BLENDOP])) {
            const DWORD op = rs[D3DRS_BLENDOP];
            GL.BlendEquation(op == D3DBLENDOP_SUBTRACT      ? GL_FUNC_SUBTRACT
                             : op == D3DBLENDOP_REVSUBTRACT ? GL_FUNC_REVERSE_SUBTRACT
                             : op == D3DBLENDOP_MIN         ? GL_MIN
                             : op == D3DBLENDOP_MAX         ? GL_MAX
                                                            : GL_FUNC_ADD);
        }
        if (Changed(Applied.AlphaTest, rs[D3DRS_ALPHATESTENABLE] != 0))
            Toggle(GL_ALPHA_TEST, Applied.AlphaTest);
        const bool af = Changed(Applied.AlphaFunc, rs[D3DRS_ALPHAFUNC]);
        const bool ar = Changed(Applied.AlphaRef, rs[D3DRS_ALPHAREF] & 0xFF);
        if (af || ar) glAlphaFunc(CompareFunc(rs[D3DRS_ALPHAFUNC]), (rs[D3DRS_ALPHAREF] & 0xFF) / 255.0f);
        if (Changed(Applied.DepthTest, rs[D3DRS_ZENABLE] != D3DZB_FALSE))
            Toggle(GL_DEPTH_TEST, Applied.DepthTest);
        if (Changed(Applied.DepthMask, rs[D3DRS_ZWRITEENABLE] != 0))
            glDepthMask(Applied.DepthMask ? GL_TRUE : GL_FALSE);
        if (Changed(Applied.DepthFunc, rs[D3DRS_ZFUNC])) glDepthFunc(CompareFunc(rs[D3DRS_ZFUNC]));
        // Direct3D's front faces are the ones that look clockwise on screen; so are GL's with GL_CW.
        if (Changed(Applied.Cull, rs[D3DRS_CULLMODE])) {
            Toggle(GL_CULL_FACE, rs[D3DRS_CULLMODE] != D3DCULL_NONE);
            glFrontFace(GL_CW);
            glCullFace(rs[D3DRS_CULLMODE] == D3DCULL_CW ? GL_FRONT : GL_BACK);
        }
        if (Changed(Applied.Shade, rs[D3DRS_SHADEMODE]))
            glShadeModel(rs[D3DRS_SHADEMODE] == D3DSHADE_FLAT ? GL_FLAT : GL_SMOOTH);
        if (Changed(Applied.Fill, rs[D3DRS_FILLMODE]))
            glPolygonMode(GL_FRONT_AND_BACK, rs[D3DRS_FILLMODE] == D3DFILL_POINT       ? GL_POINT
                                             : rs[D3DRS_FILLMODE] == D3DFILL_WIREFRAME ? GL_LINE
                                                                                       : GL_FILL);
        if (Changed(Applied.Dither, rs[D3DRS_DITHERENABLE] != 0)) Toggle(GL_DITHER, Applied.Dither);
        if (Changed(Applied.ColorMask, rs[D3DRS_COLORWRITEENABLE] & 0xF)) {
            const DWORD m = rs[D3DRS_COLORWRITEENABLE];
            glColorMask(m & 4 ? GL_TRUE : GL_FALSE, m & 2 ? GL_TRUE : GL_FALSE, m & 1 ? GL_TRUE : GL_FALSE,
                        m & 8 ? GL_TRUE : GL_FALSE); // D3D bits: red 1, green 2, blue 4, alpha 8
        }
        glPointSize(std::max(1.0f, FloatOf(rs[D3DRS_POINTSIZE])));
        const bool fog = rs[D3DRS_FOGENABLE] && !pretransformed;
        if (Changed(Applied.Fog, fog)) Toggle(GL_FOG, fog);
        if (fog) {
            GLfloat c[4];
            ColorOf(rs[D3DRS_FOGCOLOR], c);
            glFogfv(GL_FOG_COLOR, c);
            const DWORD mode =
                rs[D3DRS_FOGTABLEMODE] != D3DFOG_NONE ? rs[D3DRS_FOGTABLEMODE] : rs[D3DRS_FOGVERTEXMODE];
            glFogi(GL_FOG_MODE, mode == D3DFOG_EXP ? GL_EXP : mode == D3DFOG_EXP2 ? GL_EXP2 : GL_LINEAR);
            glFogf(GL_FOG_START, FloatOf(rs[D3DRS_FOGSTART]));
            glFogf(GL_FOG_END, FloatOf(rs[D3DRS_FOGEND]));
            glFogf(GL_FOG_DENSITY, FloatOf(rs[D3DRS_FOGDENSITY]));
        }
    }

    void ApplyTextureStage() {
        const DWORD* st = State.Stage[0];
        DWORD colorOp = st[D3DTSS_COLOROP], alphaOp = st[D3DTSS_ALPHAOP];
        if (alphaOp == D3DTOP_DISABLE && colorOp != D3DTOP_DISABLE) alphaOp = D3DTOP_SELECTARG2;
        const bool needTexture = UsesTexture(colorOp, st[D3DTSS_COLORARG1], st[D3DTSS_COLORARG2]) ||
                                 UsesTexture(alphaOp, st[D3DTSS_ALPHAARG1], st[D3DTSS_ALPHAARG2]);
        auto* tex = static_cast<detail::MemTexture*>(static_cast<IDirect3DTexture8*>(State.Textures[0]));
        const bool on = colorOp != D3DTOP_DISABLE;
        if (Changed(Applied.TextureOn, on)) Toggle(GL_TEXTURE_2D, on);
        if (!on) return;
        const GLuint name = needTexture && tex && tex->GLName ? tex->GLName : WhiteTexture;
        if (Applied.Texture != name) {
            glBindTexture(GL_TEXTURE_2D, name);
            Applied.Texture = name;
        }
        if (name != WhiteTexture) ApplySampler(tex);
        const DWORD key[7] = {colorOp,
                              st[D3DTSS_COLORARG1],
                              st[D3DTSS_COLORARG2],
                              alphaOp,
                              st[D3DTSS_ALPHAARG1],
                              st[D3DTSS_ALPHAARG2],
                              State.Render[D3DRS_TEXTUREFACTOR]};
        if (Applied.CombinerValid && std::memcmp(key, Applied.Combiner, sizeof key) == 0) return;
        std::memcpy(Applied.Combiner, key, sizeof key);
        Applied.CombinerValid = true;
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE);
        SetCombiner(false, colorOp, st[D3DTSS_COLORARG1], st[D3DTSS_COLORARG2]);
        // An alpha operation of SELECTARG2 standing in for DISABLE keeps the diffuse alpha.
        SetCombiner(true, alphaOp, st[D3DTSS_ALPHAARG1],
                    st[D3DTSS_ALPHAOP] == D3DTOP_DISABLE ? D3DTA_DIFFUSE : st[D3DTSS_ALPHAARG2]);
        GLfloat factor[4];
        ColorOf(State.Render[D3DRS_TEXTUREFACTOR], factor);
        glTexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, factor);
    }

    void ApplySampler(detail::MemTexture* t) {
        const DWORD* st = State.Stage[0];
        const int wrapS = static_cast<int>(AddressMode(st[D3DTSS_ADDRESSU]));
        const int wrapT = static_cast<int>(AddressMode(st[D3DTSS_ADDRESSV]));
        const int mag = st[D3DTSS_MAGFILTER] >= D3DTEXF_LINEAR ? GL_LINEAR : GL_NEAREST;
        const bool mipmapped = t->Levels.size() > 1 && st[D3DTSS_MIPFILTER] != D3DTEXF_NONE;
        if (mipmapped && !t->MipsOnDevice) {
            MakeMipsOnDevice(t); // leaves the texture bound
            Applied.Texture = t->GLName;
            t->DropMemoryCopies();
        }
        const int min = static_cast<int>(MinFilter(st[D3DTSS_MINFILTER], st[D3DTSS_MIPFILTER], mipmapped));
        if (t->Sampler[0] != wrapS) glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, t->Sampler[0] = wrapS);
        if (t->Sampler[1] != wrapT) glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, t->Sampler[1] = wrapT);
        if (t->Sampler[2] != mag) glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, t->Sampler[2] = mag);
        if (t->Sampler[3] != min) glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, t->Sampler[3] = min);
    }

    // Direct3D puts pixel centres on whole numbers and fills pixels whose centre lies on a top or
    // left edge; GL puts them on halves and breaks such ties the other way in y. Geometry moves by
    // half a pixel less a sliver, so that no centre lies on an edge and the Direct3D pixels fill.
    static constexpr double TieBreak = 1.0 / 64;

    // World, view and projection of Direct3D (row vectors, depth 0..1) as GL matrices (column
    // vectors, depth -1..1).
    void ApplyTransforms(bool pretransformed) {
        const D3DVIEWPORT8& vp = State.Viewport;
        if (Applied.MatricesValid && Applied.Pretransformed == pretransformed &&
            std::memcmp(&Applied.Viewport, &vp, sizeof vp) == 0 &&
            (pretransformed || (std::memcmp(&Applied.World, &State.World, sizeof(D3DMATRIX)) == 0 &&
                                std::memcmp(&Applied.View, &State.View, sizeof(D3DMATRIX)) == 0 &&
                                std::memcmp(&Applied.Projection, &State.Projection, sizeof(D3DMATRIX)) == 0 &&
                                std::memcmp(Applied.Lights, State.Lights, sizeof State.Lights) == 0 &&
                                std::memcmp(Applied.LightOn, State.LightOn, sizeof State.LightOn) == 0)))
            return;
        Applied.MatricesValid = true;
        Applied.Pretransformed = pretransformed;
        Applied.Viewport = vp;
        Applied.World = State.World;
        Applied.View = State.View;
        Applied.Projection = State.Projection;
        std::memcpy(Applied.Lights, State.Lights, sizeof State.Lights);
        std::memcpy(Applied.LightOn, State.LightOn, sizeof State.LightOn);
        glDepthRange(vp.MinZ, vp.MaxZ);
        if (pretransformed) {
            // Screen pixels of the whole target; z 0..1 as depth.
            glViewport(0, 0, static_cast<GLsizei>(BackW), static_cast<GLsizei>(BackH));
            glDepthRange(0.0, 1.0);
            glMatrixMode(GL_PROJECTION);
            glLoadIdentity();
            glOrtho(-0.5 + TieBreak, BackW - 0.5 + TieBreak, BackH - 0.5 + TieBreak, -0.5 + TieBreak, 0.0,
                    -1.0);
            glMatrixMode(GL_MODELVIEW);
            glLoadIdentity();
            return;
        }
        glViewport(static_cast<GLint>(vp.X), static_cast<GLint>(BackH - vp.Y - vp.Height),
                   static_cast<GLsizei>(vp.Width), static_cast<GLsizei>(vp.Height));
        D3DMATRIX fix{};
        fix.m[0][0] = fix.m[1][1] = fix.m[3][3] = 1.0f;
        fix.m[2][2] = 2.0f; // z' = 2z - w
        fix.m[3][2] = -1.0f;
        const float shift = static_cast<float>(1.0 - 2.0 * TieBreak);
        fix.m[3][0] = shift / static_cast<float>(std::max<DWORD>(1, vp.Width));   // half a pixel right
        fix.m[3][1] = -shift / static_cast<float>(std::max<DWORD>(1, vp.Height)); // and down
        const D3DMATRIX projection = D3DMatrixMultiply(State.Projection, fix);
        glMatrixMode(GL_PROJECTION);
        glLoadMatrixf(&projection.m[0][0]);
        glMatrixMode(GL_MODELVIEW);
        glLoadMatrixf(&State.View.m[0][0]); // lights are given in world space
        ApplyLights();
        const D3DMATRIX worldView = D3DMatrixMultiply(State.World, State.View);
        glLoadMatrixf(&worldView.m[0][0]);
    }

    void ApplyLights() {
        for (int i = 0; i < detail::MaxLights; ++i) {
            const GLenum light = GL_LIGHT0 + i;
            Toggle(light, State.LightOn[i]);
            if (!State.LightOn[i]) continue;
            const D3DLIGHT8& l = State.Lights[i];
            const GLfloat diffuse[4] = {l.Diffuse.r, l.Diffuse.g, l.Diffuse.b, l.Diffuse.a};
            const GLfloat ambient[4] = {l.Ambient.r, l.Ambient.g, l.Ambient.b, l.Ambient.a};
            const GLfloat specular[4] = {l.Specular.r, l.Specular.g, l.Specular.b, l.Specular.a};
            glLightfv(light, GL_DIFFUSE, diffuse);
            glLightfv(light, GL_AMBIENT, ambient);
            glLightfv(light, GL_SPECULAR, specular);
            if (l.Type == D3DLIGHT_DIRECTIONAL) {
                const GLfloat towards[4] = {-l.Direction.x, -l.Direction.y, -l.Direction.z, 0.0f};
                glLightfv(light, GL_POSITION, towards);
                glLightf(light, GL_CONSTANT_ATTENUATION, 1.0f);
                glLightf(light, GL_LINEAR_ATTENUATION, 0.0f);
                glLightf(light, GL_QUADRATIC_ATTENUATION, 0.0f);
            } else {
                const GLfloat at[4] = {l.Position.x, l.Position.y, l.Position.z, 1.0f};
                glLightfv(light, GL_POSITION, at);
                glLightf(light, GL_CONSTANT_ATTENUATION, l.Attenuation0);
                glLightf(light, GL_LINEAR_ATTENUATION, l.Attenuation1);
                glLightf(light, GL_QUADRATIC_ATTENUATION, l.Attenuation2);
            }
        }
    }

    void ApplyLighting(bool lit, bool hasDiffuse) {
        if (Changed(Applied.Lighting, lit)) Toggle(GL_LIGHTING, lit);
        if (!lit) return;
        GLfloat ambient[4];
        ColorOf(State.Render[D3DRS_AMBIENT], ambient);
        glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
        const D3DMATERIAL8& m = State.Material;
        const GLfloat diffuse[4] = {m.Diffuse.r, m.Diffuse.g, m.Diffuse.b, m.Diffuse.a};
        const GLfloat amb[4] = {m.Ambient.r, m.Ambient.g, m.Ambient.b, m.Ambient.a};
        const GLfloat emissive[4] = {m.Emissive.r, m.Emissive.g, m.Emissive.b, m.Emissive.a};
        const GLfloat specular[4] = {m.Specular.r, m.Specular.g, m.Specular.b, m.Specular.a};
        glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, diffuse);
        glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, amb);
        glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, emissive);
        glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, specular);
        glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, std::clamp(m.Power, 0.0f, 128.0f));
        const bool vertexColour = hasDiffuse && State.Render[D3DRS_COLORVERTEX] &&
                                  State.Render[D3DRS_DIFFUSEMATERIALSOURCE] == D3DMCS_COLOR1;
        Toggle(GL_COLOR_MATERIAL, vertexColour);
        if (vertexColour)
            glColorMaterial(GL_FRONT_AND_BACK, State.Render[D3DRS_AMBIENTMATERIALSOURCE] == D3DMCS_COLOR1
                                                   ? GL_AMBIENT_AND_DIFFUSE
                                                   : GL_DIFFUSE);
    }

    HRESULT Draw(D3DPRIMITIVETYPE type, const BYTE* base, UINT count, UINT stride) {
        const DWORD fvf = State.FVF;
        if (D3DFVFVertexSize(fvf) == 0 || D3DFVFVertexSize(fvf) > stride) return D3DERR_INVALIDCALL;
        MakeCurrent();
        const bool pretransformed = (fvf & D3DFVF_POSITION_MASK) == D3DFVF_XYZRHW;
        const bool hasDiffuse = (fvf & D3DFVF_DIFFUSE) != 0;
        if (GL.ProvokingVertex && !ProvokingSet) {
            GL.ProvokingVertex(
                GL_FIRST_VERTEX_CONVENTION); // flat shading takes the first vertex, as in Direct3D
            ProvokingSet = true;
        }
        ApplyRenderStates(pretransformed);
        ApplyTransforms(pretransformed);
        ApplyLighting(State.Render[D3DRS_LIGHTING] && !pretransformed, hasDiffuse);
        ApplyTextureStage();

        size_t offset = 0;
        glEnableClientState(GL_VERTEX_ARRAY);
        glVertexPointer(3, GL_FLOAT, static_cast<GLsizei>(stride), base);
        offset += pretransformed                               ? 16
                  : (fvf & D3DFVF_POSITION_MASK) == D3DFVF_XYZ ? 12
                                                               : D3DFVFVertexSize(fvf & D3DFVF_POSITION_MASK);
        if (fvf & D3DFVF_NORMAL) {
            glEnableClientState(GL_NORMAL_ARRAY);
            glNormalPointer(GL_FLOAT, static_cast<GLsizei>(stride), base + offset);
            offset += 12;
        } else {
            glDisableClientState(GL_NORMAL_ARRAY);
            glNormal3f(0, 0, 0);
        }
        if (fvf & D3DFVF_PSIZE) offset += 4;
        if (hasDiffuse) {
            glEnableClientState(GL_COLOR_ARRAY);
            glColorPointer(GL_BGRA, GL_UNSIGNED_BYTE, static_cast<GLsizei>(stride), base + offset);
            offset += 4;
        } else {
            glDisableClientState(GL_COLOR_ARRAY);
            glColor4f(1, 1, 1, 1);
        }
        if (fvf & D3DFVF_SPECULAR) offset += 4;
        const DWORD texSets = (fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT;
        const DWORD set = State.Stage[0][D3DTSS_TEXCOORDINDEX] & 0xFFFF;
        if (texSets > 0) {
            glEnableClientState(GL_TEXTURE_COORD_ARRAY);
            glTexCoordPointer(2, GL_FLOAT, static_cast<GLsizei>(stride),
                              base + offset + 8 * std::min(set, texSets - 1));
        } else {
            glDisableClientState(GL_TEXTURE_COORD_ARRAY);
            glTexCoord2f(0, 0);
        }
        glDrawArrays(PrimitiveMode(type), 0, static_cast<GLsizei>(count));
        return D3D_OK;
    }

    ULONG Refs = 1;
    IDirect3D8* D3D;
    HWND Window;
    SDL_GLContext Context;
    GLFunctions GL;
    UINT MaxTextureSize = 2048;
    GLuint Framebuffer = 0, ColorTexture = 0, DepthBuffer = 0, WhiteTexture = 0;
    UINT BackW = 0, BackH = 0;
    D3DFORMAT BackFormat = D3DFMT_X8R8G8B8;
    bool InScene = false;
    bool ProvokingSet = false;
    detail::DeviceState State;
    detail::StateBlockStore Blocks;
    std::set<detail::MemTexture*> Textures;
    std::set<detail::MemVertexBuffer*> Buffers;
};

// ---- The Direct3D object -----------------------------------------------------------------------

D3DFORMAT FormatOfDepth(int bits) {
    if (bits == 16) return D3DFMT_R5G6B5;
    if (bits == 15) return D3DFMT_X1R5G5B5;
    return D3DFMT_X8R8G8B8;
}

bool IsDisplayFormat(D3DFORMAT f) {
    return f == D3DFMT_X8R8G8B8 || f == D3DFMT_R5G6B5 || f == D3DFMT_X1R5G5B5;
}

class Direct3D final : public IDirect3D8 {
  public:
    Direct3D() {
        // Every display mode in both pixel depths: presentation is always on the desktop, so the
        // device can honour either.
        const int count = SDL_GetNumDisplayModes(0);
        for (int i = 0; i < count; ++i) {
            SDL_DisplayMode m;
            if (SDL_GetDisplayMode(0, i, &m) != 0) continue;
            for (D3DFORMAT f : {D3DFMT_R5G6B5, D3DFMT_X8R8G8B8}) {
                D3DDISPLAYMODE d{static_cast<UINT>(m.w), static_cast<UINT>(m.h),
                                 static_cast<UINT>(m.refresh_rate), f};
                const bool known = std::any_of(Modes.begin(), Modes.end(), [&](const D3DDISPLAYMODE& e) {
                    return e.Width == d.Width && e.Height == d.Height && e.RefreshRate == d.RefreshRate &&
                           e.Format == d.Format;
                });
                if (!known) Modes.push_back(d);
            }
        }
        std::sort(Modes.begin(), Modes.end(), [](const D3DDISPLAYMODE& a, const D3DDISPLAYMODE& b) {
            if (a.Width != b.Width) return a.Width < b.Width;
            if (a.Height != b.Height) return a.Height < b.Height;
            if (a.Format != b.Format) return D3DFormatBits(a.Format) < D3DFormatBits(b.Format);
            return a.RefreshRate < b.RefreshRate;
        });
    }

    ULONG AddRef() override { return ++Refs; }
    ULONG Release() override {
        const ULONG left = --Refs;
        if (left == 0) delete this;
        return left;
    }

    UINT GetAdapterCount() override { return static_cast<UINT>(std::max(1, SDL_GetNumVideoDisplays())); }

    HRESULT GetAdapterIdentifier(UINT adapter, DWORD, D3DADAPTER_IDENTIFIER8* id) override {
        if (!id || adapter >= GetAdapterCount()) return D3DERR_INVALIDCALL;
        *id = D3DADAPTER_IDENTIFIER8{};
        std::snprintf(id->Driver, sizeof id->Driver, "OpenGL (SDL %s)", SDL_GetCurrentVideoDriver());
        const std::string description =
            rendererName.empty() ? "OpenGL 2.1 compatibility device" : rendererName;
        std::snprintf(id->Description, sizeof id->Description, "%s", description.c_str());
        SDL_version v;
        SDL_GetVersion(&v);
        id->DriverVersion.QuadPart =
            (static_cast<LONGLONG>(v.major) << 48) | (static_cast<LONGLONG>(v.minor) << 32) | v.patch;
        id->WHQLLevel = 0;
        return D3D_OK;
    }

    UINT GetAdapterModeCount(UINT adapter) override {
        return adapter < GetAdapterCount() ? static_cast<UINT>(Modes.size()) : 0;
    }

    HRESULT EnumAdapterModes(UINT adapter, UINT mode, D3DDISPLAYMODE* out) override {
        if (!out || adapter >= GetAdapterCount() || mode >= Modes.size()) return D3DERR_INVALIDCALL;
        *out = Modes[mode];
        return D3D_OK;
    }

    HRESULT GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* out) override {
        if (!out || adapter >= GetAdapterCount()) return D3DERR_INVALIDCALL;
        SDL_DisplayMode m;
        if (SDL_GetDesktopDisplayMode(static_cast<int>(adapter), &m) != 0) return D3DERR_NOTAVAILABLE;
        *out = {static_cast<UINT>(m.w), static_cast<UINT>(m.h), static_cast<UINT>(m.refresh_rate),
                FormatOfDepth(SDL_BITSPERPIXEL(m.format))};
        return D3D_OK;
    }

    HRESULT CheckDeviceType(UINT adapter, D3DDEVTYPE type, D3DFORMAT display, D3DFORMAT back, BOOL) override {
        if (adapter >= GetAdapterCount()) return D3DERR_INVALIDCALL;
        if (type != D3DDEVTYPE_HAL || !IsDisplayFormat(display)) return D3DERR_NOTAVAILABLE;
        if (back != D3DFMT_UNKNOWN && back != display && back != D3DFMT_A8R8G8B8 && !IsDisplayFormat(back))
            return D3DERR_NOTAVAILABLE;
        return D3D_OK;
    }

    HRESULT CheckDeviceFormat(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat, DWORD usage,
                              D3DRESOURCETYPE resource, D3DFORMAT check) override {
        if (adapter >= GetAdapterCount()) return D3DERR_INVALIDCALL;
        if (type != D3DDEVTYPE_HAL || !IsDisplayFormat(adapterFormat)) return D3DERR_NOTAVAILABLE;
        if (usage & D3DUSAGE_DEPTHSTENCIL)
            return check == D3DFMT_D16 || check == D3DFMT_D24X8 || check == D3DFMT_D24S8
                       ? D3D_OK
                       : D3DERR_NOTAVAILABLE;
        if (usage & D3DUSAGE_RENDERTARGET)
            return check == D3DFMT_X8R8G8B8 || check == D3DFMT_A8R8G8B8 ? D3D_OK : D3DERR_NOTAVAILABLE;
        if (resource != D3DRTYPE_TEXTURE && resource != D3DRTYPE_SURFACE) return D3DERR_NOTAVAILABLE;
        return detail::IsTextureFormat(check) ? D3D_OK : D3DERR_NOTAVAILABLE;
    }

    HRESULT GetDeviceCaps(UINT adapter, D3DDEVTYPE type, D3DCAPS8* caps) override {
        if (!caps || adapter >= GetAdapterCount()) return D3DERR_INVALIDCALL;
        if (type != D3DDEVTYPE_HAL) return D3DERR_NOTAVAILABLE;
        *caps = D3DStandardCaps();
        return D3D_OK;
    }

    HRESULT CreateDevice(UINT adapter, D3DDEVTYPE type, HWND focus, DWORD, D3DPRESENT_PARAMETERS* params,
                         IDirect3DDevice8** device) override {
        if (!device) return D3DERR_INVALIDCALL;
        *device = nullptr;
        if (!params || adapter >= GetAdapterCount() || !IsWindow(focus)) return D3DERR_INVALIDCALL;
        if (type != D3DDEVTYPE_HAL) return D3DERR_NOTAVAILABLE;
        if (liveDevice) return D3DERR_NOTAVAILABLE; // one OpenGL context per window
        HWND window =
            params->hDeviceWindow && IsWindow(params->hDeviceWindow) ? params->hDeviceWindow : focus;
        SDL_GLContext context = SDL_GL_CreateContext(window->Sdl);
        if (!context) {
            std::fprintf(stderr, "CreateDevice: %s\n", SDL_GetError());
            return D3DERR_NOTAVAILABLE;
        }
        SDL_GL_MakeCurrent(window->Sdl, context);
        GLFunctions gl;
        if (!gl.LoadAll()) {
            std::fprintf(stderr, "CreateDevice: the OpenGL driver has no framebuffer objects\n");
            SDL_GL_DeleteContext(context);
            return D3DERR_NOTAVAILABLE;
        }
        auto* dev = new GLDevice(this, window, context, gl);
        const HRESULT hr = dev->Init(*params);
        if (FAILED(hr)) {
            dev->Release();
            return hr;
        }
        *device = dev;
        return D3D_OK;
    }

  private:
    ~Direct3D() override = default;
    ULONG Refs = 1;
    std::vector<D3DDISPLAYMODE> Modes;
};

} // namespace

IDirect3D8* Direct3DCreate8(UINT sdkVersion) {
    if (failCreate || sdkVersion != D3D_SDK_VERSION) return nullptr;
    if (!detail::StartVideo()) return nullptr;
    return new Direct3D;
}

void D3DTestFailCreate(bool fail) {
    failCreate = fail;
}
void D3DTestFinishEveryFrame(bool on) {
    finishEveryFrame = on;
}
const char* D3DGLRendererName() {
    return rendererName.c_str();
}

} // namespace velmora
