// The game's window over SDL2 and the queue that turns SDL events into Win32 messages.
#include "platform/window_internal.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <deque>
#include <vector>

namespace velmora {

namespace {

std::deque<MSG> queue;
std::vector<HWND> windows;
int quitCode = 0;

DWORD NowMs() {
    static const auto start = std::chrono::steady_clock::now();
    return static_cast<DWORD>(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start)
            .count());
}

HWND FindWindow(Uint32 sdlId) {
    for (HWND w : windows)
        if (w->Sdl && SDL_GetWindowID(w->Sdl) == sdlId) return w;
    return windows.empty() ? nullptr : windows.front();
}

bool Alive(HWND hWnd) {
    return hWnd && std::find(windows.begin(), windows.end(), hWnd) != windows.end();
}

void Queue(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam, POINT pt = {0, 0}) {
    queue.push_back({hWnd, msg, wParam, lParam, NowMs(), pt});
}

WPARAM MouseFlags() {
    const Uint32 buttons = SDL_GetMouseState(nullptr, nullptr);
    const SDL_Keymod mods = SDL_GetModState();
    WPARAM f = 0;
    if (buttons & SDL_BUTTON_LMASK) f |= MK_LBUTTON;
    if (buttons & SDL_BUTTON_RMASK) f |= MK_RBUTTON;
    if (buttons & SDL_BUTTON_MMASK) f |= MK_MBUTTON;
    if (mods & KMOD_SHIFT) f |= MK_SHIFT;
    if (mods & KMOD_CTRL) f |= MK_CONTROL;
    return f;
}

// Window coordinates -> back-buffer pixels (the drawable may have more pixels than the window).
POINT ToBackBuffer(HWND hWnd, int x, int y) {
    int ww = 0, wh = 0, dw = 0, dh = 0;
    SDL_GetWindowSize(hWnd->Sdl, &ww, &wh);
    detail::GetDrawableSize(hWnd, &dw, &dh);
    if (ww > 0 && wh > 0) {
        x = x * dw / ww;
        y = y * dh / wh;
    }
    return MapDrawableToBackBuffer(detail::WindowPresentRect(hWnd), hWnd->BackBufferW, hWnd->BackBufferH, x,
                                   y);
}

void TranslateWindowEvent(const SDL_WindowEvent& e) {
    HWND w = FindWindow(e.windowID);
    if (!w) return;
    switch (e.event) {
    case SDL_WINDOWEVENT_FOCUS_GAINED:
        Queue(w, WM_ACTIVATEAPP, TRUE, 0);
        break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
        Queue(w, WM_ACTIVATEAPP, FALSE, 0);
        break;
    case SDL_WINDOWEVENT_MINIMIZED:
        Queue(w, WM_SIZE, SIZE_MINIMIZED, 0);
        break;
    case SDL_WINDOWEVENT_HIDDEN: // also how X11 window managers minimise: the game stops drawing
        Queue(w, WM_SIZE, SIZE_MAXHIDE, 0);
        break;
    case SDL_WINDOWEVENT_SHOWN:
    case SDL_WINDOWEVENT_MAXIMIZED:
    case SDL_WINDOWEVENT_RESTORED:
    case SDL_WINDOWEVENT_SIZE_CHANGED: {
        int cw = 0, ch = 0;
        SDL_GetWindowSize(w->Sdl, &cw, &ch);
        Queue(w, WM_SIZE, e.event == SDL_WINDOWEVENT_MAXIMIZED ? SIZE_MAXIMIZED : SIZE_RESTORED,
              MAKELPARAM(cw, ch));
        break;
    }
    case SDL_WINDOWEVENT_EXPOSED:
        Queue(w, WM_PAINT, 0, 0);
        break;
    case SDL_WINDOWEVENT_CLOSE:
        Queue(w, WM_CLOSE, 0, 0);
        break;
    default:
        break;
    }
}

void TranslateKey(const SDL_KeyboardEvent& e) {
    HWND w = FindWindow(e.windowID);
    if (!w) return;
    const UINT vk = VirtualKeyFromSdl(e.keysym.sym, e.keysym.scancode);
    if (vk == 0) return;
    const bool down = e.type == SDL_KEYDOWN;
    const bool alt = (e.keysym.mod & KMOD_ALT) != 0 || vk == VK_MENU;
    LPARAM lp = 1 | (static_cast<LPARAM>(e.keysym.scancode & 0xFF) << 16);
    if (!down)
        lp |= (1L << 30) | (1L << 31);
    else if (e.repeat)
        lp |= 1L << 30;
    if (alt) lp |= 1L << 29;
    const UINT msg = down ? (alt ? WM_SYSKEYDOWN : WM_KEYDOWN) : (alt ? WM_SYSKEYUP : WM_KEYUP);
    Queue(w, msg, vk, lp);
}

// Simulated input carries this as its device id so that ignoring the desk's input keeps it.
constexpr Uint32 cSimulatedDevice = 0x56454C4Du;
bool deviceInputIgnored = false;

bool FromIgnoredDevice(const SDL_Event& e) {
    if (!deviceInputIgnored) return false;
    switch (e.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
    case SDL_MOUSEWHEEL:
        return true;
    case SDL_MOUSEMOTION:
        return e.motion.which != cSimulatedDevice;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        return e.button.which != cSimulatedDevice;
    default:
        return false;
    }
}

void TranslateEvent(const SDL_Event& e) {
    if (FromIgnoredDevice(e)) return;
    switch (e.type) {
    case SDL_QUIT:
        if (!windows.empty()) Queue(windows.front(), WM_CLOSE, 0, 0);
        break;
    case SDL_WINDOWEVENT:
        TranslateWindowEvent(e.window);
        break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        TranslateKey(e.key);
        break;
    case SDL_MOUSEMOTION: {
        HWND w = FindWindow(e.motion.windowID);
        if (!w) break;
        const POINT p = ToBackBuffer(w, e.motion.x, e.motion.y);
        Queue(w, WM_MOUSEMOVE, MouseFlags(), MAKELPARAM(p.x, p.y), p);
        break;
    }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        HWND w = FindWindow(e.button.windowID);
        if (!w) break;
        const bool down = e.type == SDL_MOUSEBUTTONDOWN;
        UINT msg;
        if (e.button.button == SDL_BUTTON_LEFT)
            msg = down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
        else if (e.button.button == SDL_BUTTON_RIGHT)
            msg = down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
        else if (e.button.button == SDL_BUTTON_MIDDLE)
            msg = down ? WM_MBUTTONDOWN : WM_MBUTTONUP;
        else
            break;
        const POINT p = ToBackBuffer(w, e.button.x, e.button.y);
        Queue(w, msg, MouseFlags(), MAKELPARAM(p.x, p.y), p);
        break;
    }
    case SDL_MOUSEWHEEL: {
        HWND w = FindWindow(e.wheel.windowID);
        if (!w) break;
        const WPARAM delta = static_cast<WORD>(static_cast<short>(e.wheel.y * 120));
        Queue(w, WM_MOUSEWHEEL, (delta << 16) | MouseFlags(), 0);
        break;
    }
    default:
        detail::TranslatePadEvent(e, deviceInputIgnored);
        break;
    }
}

void PumpSdl() {
    if (!SDL_WasInit(SDL_INIT_VIDEO)) return;
    SDL_Event e;
    while (SDL_PollEvent(&e))
        TranslateEvent(e);
    detail::RepeatPadKeys(NowMs());
}

bool Matches(const MSG& m, HWND hWnd, UINT lo, UINT hi) {
    if (hWnd && m.hwnd != hWnd) return false;
    if (lo == 0 && hi == 0) return true;
    return m.message >= lo && m.message <= hi;
}

bool TakeQueued(MSG* msg, HWND hWnd, UINT lo, UINT hi, bool remove) {
    for (auto it = queue.begin(); it != queue.end(); ++it) {
        if (!Matches(*it, hWnd, lo, hi)) continue;
        *msg = *it;
        if (remove) queue.erase(it);
        return true;
    }
    return false;
}

} // namespace

// ---- Message queue -----------------------------------------------------------------------------

BOOL PeekMessage(MSG* msg, HWND hWnd, UINT filterMin, UINT filterMax, UINT removeMsg) {
    if (!msg) return FALSE;
    PumpSdl();
    return TakeQueued(msg, hWnd, filterMin, filterMax, (removeMsg & PM_REMOVE) != 0) ? TRUE : FALSE;
}

BOOL GetMessage(MSG* msg, HWND hWnd, UINT filterMin, UINT filterMax) {
    if (!msg) return FALSE;
    while (!PeekMessage(msg, hWnd, filterMin, filterMax, PM_REMOVE)) {
        if (SDL_WasInit(SDL_INIT_VIDEO)) {
            SDL_Event e;
            if (SDL_WaitEventTimeout(&e, 100)) TranslateEvent(e);
        } else {
            SDL_Delay(10);
        }
    }
    return msg->message == WM_QUIT ? FALSE : TRUE;
}

BOOL TranslateMessage(const MSG*) {
    return FALSE;
}

LRESULT DispatchMessage(const MSG* msg) {
    if (!msg || !Alive(msg->hwnd) || !msg->hwnd->Proc) return 0;
    return msg->hwnd->Proc(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

BOOL PostMessage(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (hWnd && !Alive(hWnd)) return FALSE;
    PumpSdl(); // events already waiting come first, as they happened earlier
    Queue(hWnd, msg, wParam, lParam, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
    return TRUE;
}

LRESULT SendMessage(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (!Alive(hWnd) || !hWnd->Proc) return 0;
    return hWnd->Proc(hWnd, msg, wParam, lParam);
}

void PostQuitMessage(int exitCode) {
    quitCode = exitCode;
    Queue(nullptr, WM_QUIT, static_cast<WPARAM>(exitCode), 0);
}

LRESULT DefWindowProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM) {
    switch (msg) {
    case WM_CLOSE:
        DestroyWindow(hWnd);
        return 0;
    case WM_SYSKEYDOWN:
        if (wParam == VK_F4) PostMessage(hWnd, WM_CLOSE, 0, 0);
        return 0;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CLOSE)
            PostMessage(hWnd, WM_CLOSE, 0, 0);
        else if ((wParam & 0xFFF0) == SC_MINIMIZE)
            ShowWindow(hWnd, SW_MINIMIZE);
        else if ((wParam & 0xFFF0) == SC_RESTORE)
            ShowWindow(hWnd, SW_RESTORE);
        return 0;
    case WM_POWERBROADCAST:
        return TRUE;
    default:
        return 0;
    }
}

BOOL SimulateMouseInput(HWND hWnd, UINT msg, int windowX, int windowY) {
    if (!Alive(hWnd)) return FALSE;
    SDL_Event e{};
    const Uint32 id = SDL_GetWindowID(hWnd->Sdl);
    if (msg == WM_MOUSEMOVE) {
        e.type = SDL_MOUSEMOTION;
        e.motion.windowID = id;
        e.motion.which = cSimulatedDevice;
        e.motion.x = windowX;
        e.motion.y = windowY;
    } else {
        const bool down = msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN;
        const bool left = msg == WM_LBUTTONDOWN || msg == WM_LBUTTONUP;
        if (!down && msg != WM_LBUTTONUP && msg != WM_RBUTTONUP) return FALSE;
        e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
        e.button.windowID = id;
        e.button.which = cSimulatedDevice;
        e.button.button = static_cast<Uint8>(left ? SDL_BUTTON_LEFT : SDL_BUTTON_RIGHT);
        e.button.state = down ? SDL_PRESSED : SDL_RELEASED;
        e.button.clicks = 1;
        e.button.x = windowX;
        e.button.y = windowY;
    }
    return SDL_PushEvent(&e) == 1 ? TRUE : FALSE;
}

namespace {
BOOL PushWindowEvent(HWND hWnd, Uint8 event) {
    if (!Alive(hWnd)) return FALSE;
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.windowID = SDL_GetWindowID(hWnd->Sdl);
    e.window.event = event;
    return SDL_PushEvent(&e) == 1 ? TRUE : FALSE;
}
} // namespace

void IgnoreDeviceInput(BOOL ignore) {
    deviceInputIgnored = ignore != FALSE;
}

BOOL SimulateFocus(HWND hWnd, BOOL gained) {
    return PushWindowEvent(hWnd, gained ? SDL_WINDOWEVENT_FOCUS_GAINED : SDL_WINDOWEVENT_FOCUS_LOST);
}

BOOL SimulateCloseRequest(HWND hWnd) {
    return PushWindowEvent(hWnd, SDL_WINDOWEVENT_CLOSE);
}

// ---- Windows -----------------------------------------------------------------------------------

namespace detail {

bool StartVideo() {
    if (SDL_WasInit(SDL_INIT_VIDEO)) return true;
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1"); // the click that activates the window counts
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "SDL video: %s\n", SDL_GetError());
        return false;
    }
    StartGamepads();
    return true;
}

void QueueKey(UINT vk, bool down, bool repeat) {
    if (windows.empty()) return;
    LPARAM lp = 1;
    if (!down)
        lp |= (1L << 30) | (1L << 31);
    else if (repeat)
        lp |= 1L << 30;
    Queue(windows.front(), down ? WM_KEYDOWN : WM_KEYUP, vk, lp);
}

void SetBackBufferSize(HWND hWnd, int width, int height) {
    if (!Alive(hWnd)) return;
    hWnd->BackBufferW = std::max(1, width);
    hWnd->BackBufferH = std::max(1, height);
}

void GetDrawableSize(HWND hWnd, int* width, int* height) {
    *width = *height = 0;
    if (!Alive(hWnd) || !hWnd->Sdl) return;
    SDL_GL_GetDrawableSize(hWnd->Sdl, width, height);
    if (*width <= 0 || *height <= 0) SDL_GetWindowSize(hWnd->Sdl, width, height);
}

PresentRect WindowPresentRect(HWND hWnd) {
    int dw = 0, dh = 0;
    GetDrawableSize(hWnd, &dw, &dh);
    return ComputePresentRect(hWnd->BackBufferW, hWnd->BackBufferH, dw, dh);
}

} // namespace detail

HWND CreateAppWindow(const char* title, int x, int y, int clientWidth, int clientHeight, BOOL fullscreen,
                     WNDPROC proc) {
    if (!detail::StartVideo()) return nullptr;
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    const int px = x == CW_USEDEFAULT ? static_cast<int>(SDL_WINDOWPOS_CENTERED) : x;
    const int py = y == CW_USEDEFAULT ? static_cast<int>(SDL_WINDOWPOS_CENTERED) : y;
    const int w = std::max(1, clientWidth), h = std::max(1, clientHeight);
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_RESIZABLE | SDL_WINDOW_SHOWN;
    if (fullscreen) flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    SDL_Window* sdl = SDL_CreateWindow(title ? title : "", px, py, w, h, flags);
    if (!sdl) {
        // Some X servers offer no visual with destination alpha: go on without it.
        SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 0);
        sdl = SDL_CreateWindow(title ? title : "", px, py, w, h, flags);
    }
    if (!sdl) {
        std::fprintf(stderr, "CreateAppWindow: %s\n", SDL_GetError());
        return nullptr;
    }
    auto* wnd = new HWND__;
    wnd->Sdl = sdl;
    wnd->Proc = proc;
    wnd->Style =
        static_cast<LONG>(WS_VISIBLE | (fullscreen ? WS_POPUP : WS_CAPTION | WS_SYSMENU | WS_THICKFRAME));
    wnd->Fullscreen = fullscreen != FALSE;
    SDL_GetWindowPosition(sdl, &wnd->SavedX, &wnd->SavedY);
    wnd->SavedW = w;
    wnd->SavedH = h;
    windows.push_back(wnd);

    SendMessage(wnd, WM_CREATE, 0, 0);
    MINMAXINFO info{};
    info.ptMinTrackSize = {1, 1};
    SendMessage(wnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    SDL_SetWindowMinimumSize(sdl, std::max<LONG>(1, info.ptMinTrackSize.x),
                             std::max<LONG>(1, info.ptMinTrackSize.y));
    return wnd;
}

BOOL DestroyWindow(HWND hWnd) {
    if (!Alive(hWnd)) return FALSE;
    SendMessage(hWnd, WM_DESTROY, 0, 0);
    windows.erase(std::find(windows.begin(), windows.end(), hWnd));
    std::erase_if(queue, [hWnd](const MSG& m) { return m.hwnd == hWnd; });
    if (hWnd->Sdl) SDL_DestroyWindow(hWnd->Sdl);
    delete hWnd;
    return TRUE;
}

BOOL IsWindow(HWND hWnd) {
    return Alive(hWnd) ? TRUE : FALSE;
}

BOOL SetWindowText(HWND hWnd, const char* text) {
    if (!Alive(hWnd)) return FALSE;
    SDL_SetWindowTitle(hWnd->Sdl, text ? text : "");
    return TRUE;
}

std::string GetWindowText(HWND hWnd) {
    return Alive(hWnd) ? SDL_GetWindowTitle(hWnd->Sdl) : "";
}

BOOL ShowWindow(HWND hWnd, int cmdShow) {
    if (!Alive(hWnd)) return FALSE;
    const bool wasVisible = (SDL_GetWindowFlags(hWnd->Sdl) & SDL_WINDOW_SHOWN) != 0;
    switch (cmdShow) {
    case SW_HIDE:
        SDL_HideWindow(hWnd->Sdl);
        break;
    case SW_MINIMIZE:
    case SW_SHOWMINIMIZED:
        SDL_MinimizeWindow(hWnd->Sdl);
        break;
    case SW_RESTORE:
        SDL_RestoreWindow(hWnd->Sdl);
        break;
    default:
        SDL_ShowWindow(hWnd->Sdl);
        break;
    }
    return wasVisible ? TRUE : FALSE;
}

BOOL IsIconic(HWND hWnd) {
    return Alive(hWnd) && (SDL_GetWindowFlags(hWnd->Sdl) & SDL_WINDOW_MINIMIZED) ? TRUE : FALSE;
}

BOOL GetClientRect(HWND hWnd, RECT* rect) {
    if (!Alive(hWnd) || !rect) return FALSE;
    int w = 0, h = 0;
    SDL_GetWindowSize(hWnd->Sdl, &w, &h);
    *rect = {0, 0, w, h};
    return TRUE;
}

BOOL GetWindowRect(HWND hWnd, RECT* rect) {
    if (!Alive(hWnd) || !rect) return FALSE;
    int x = 0, y = 0, w = 0, h = 0;
    SDL_GetWindowPosition(hWnd->Sdl, &x, &y);
    SDL_GetWindowSize(hWnd->Sdl, &w, &h);
    *rect = {x, y, x + w, y + h};
    return TRUE;
}

BOOL SetWindowPos(HWND hWnd, HWND, int x, int y, int cx, int cy, UINT flags) {
    if (!Alive(hWnd)) return FALSE;
    if (!(flags & SWP_NOMOVE)) {
        hWnd->SavedX = x;
        hWnd->SavedY = y;
    }
    if (!(flags & SWP_NOSIZE) && cx > 0 && cy > 0) {
        hWnd->SavedW = cx;
        hWnd->SavedH = cy;
    }
    if (!hWnd->Fullscreen) {
        if (!(flags & SWP_NOSIZE) && cx > 0 && cy > 0) SDL_SetWindowSize(hWnd->Sdl, cx, cy);
        if (!(flags & SWP_NOMOVE)) SDL_SetWindowPosition(hWnd->Sdl, x, y);
    }
    if (flags & SWP_SHOWWINDOW) SDL_ShowWindow(hWnd->Sdl);
    return TRUE;
}

LONG SetWindowLong(HWND hWnd, int index, LONG value) {
    if (!Alive(hWnd) || index != GWL_STYLE) return 0;
    const LONG old = hWnd->Style;
    hWnd->Style = value;
    return old;
}

LONG GetWindowLong(HWND hWnd, int index) {
    return Alive(hWnd) && index == GWL_STYLE ? hWnd->Style : 0;
}

BOOL SetWindowFullscreen(HWND hWnd, BOOL fullscreen) {
    if (!Alive(hWnd)) return FALSE;
    const bool want = fullscreen != FALSE;
    if (want == hWnd->Fullscreen) return TRUE;
    if (want) {
        SDL_GetWindowPosition(hWnd->Sdl, &hWnd->SavedX, &hWnd->SavedY);
        SDL_GetWindowSize(hWnd->Sdl, &hWnd->SavedW, &hWnd->SavedH);
        if (SDL_SetWindowFullscreen(hWnd->Sdl, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) return FALSE;
    } else {
        if (SDL_SetWindowFullscreen(hWnd->Sdl, 0) != 0) return FALSE;
        // Without a window manager nobody gives the old size back: do it here.
        SDL_SetWindowSize(hWnd->Sdl, hWnd->SavedW, hWnd->SavedH);
        SDL_SetWindowPosition(hWnd->Sdl, hWnd->SavedX, hWnd->SavedY);
    }
    hWnd->Fullscreen = want;
    return TRUE;
}

BOOL IsWindowFullscreen(HWND hWnd) {
    return Alive(hWnd) && hWnd->Fullscreen ? TRUE : FALSE;
}

void GetDesktopSize(int* width, int* height) {
    *width = 800;
    *height = 600;
    SDL_DisplayMode mode;
    if (detail::StartVideo() && SDL_GetDesktopDisplayMode(0, &mode) == 0) {
        *width = mode.w;
        *height = mode.h;
    }
}

HWND GetForegroundWindow() {
    for (HWND w : windows)
        if (SDL_GetWindowFlags(w->Sdl) & SDL_WINDOW_INPUT_FOCUS) return w;
    return nullptr;
}

// ---- Presentation geometry ---------------------------------------------------------------------

PresentRect ComputePresentRect(int bbW, int bbH, int drawW, int drawH) {
    PresentRect r;
    if (bbW <= 0 || bbH <= 0 || drawW <= 0 || drawH <= 0) return r;
    const double fit = std::min(static_cast<double>(drawW) / bbW, static_cast<double>(drawH) / bbH);
    const int whole = static_cast<int>(fit + 1e-9);
    // A whole-number factor keeps every pixel square and sharp; take it when it loses less than
    // 2% of the picture's size against the exact fit, else scale linearly to fill the space.
    if (whole >= 1 && whole / fit >= 0.98) {
        r.Width = bbW * whole;
        r.Height = bbH * whole;
        r.Linear = false;
    } else {
        r.Width = std::min(drawW, static_cast<int>(bbW * fit + 0.5));
        r.Height = std::min(drawH, static_cast<int>(bbH * fit + 0.5));
        r.Linear = true;
    }
    r.X = (drawW - r.Width) / 2;
    r.Y = (drawH - r.Height) / 2;
    return r;
}

POINT MapDrawableToBackBuffer(const PresentRect& r, int bbW, int bbH, int x, int y) {
    if (r.Width <= 0 || r.Height <= 0)
        return {std::clamp(x, 0, std::max(0, bbW - 1)), std::clamp(y, 0, std::max(0, bbH - 1))};
    const long long bx = (static_cast<long long>(x - r.X) * bbW) / r.Width - (x < r.X ? 1 : 0);
    const long long by = (static_cast<long long>(y - r.Y) * bbH) / r.Height - (y < r.Y ? 1 : 0);
    return {static_cast<LONG>(std::clamp<long long>(bx, 0, bbW - 1)),
            static_cast<LONG>(std::clamp<long long>(by, 0, bbH - 1))};
}

} // namespace velmora
