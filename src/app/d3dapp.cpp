#include "app/d3dapp.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>

#include "app/device.h"
#include "app/input.h"
#include "app/log.h"
#include "app/options.h"
#include "app/sound.h"
#include "app/testhooks.h"
#include "engine/basic.h"
#include "engine/group.h"
#include "platform/files.h"
#include "platform/signals.h"

namespace velmora {

TMyApp* App = nullptr;
IDirect3DSurface8* DefaultRenderTarget = nullptr;
TTimeArray* TimeArray = nullptr;
uint8_t QuitRequest = qrNone;
bool CloseConfirmed = false;
bool Terminated = false;

namespace {

TBeforeCloseHook BeforeCloseHook = nullptr;
TBeforeCloseHook TerminationSaveHook = nullptr;

int64_t RealClock() {
    LARGE_INTEGER c{};
    QueryPerformanceCounter(&c);
    return c.QuadPart;
}

int64_t RealFrequency() {
    LARGE_INTEGER f{};
    QueryPerformanceFrequency(&f);
    return f.QuadPart > 0 ? f.QuadPart : 1;
}

TClockFunc Clock = nullptr;
int64_t ClockFrequency = 0;

const char* const cCreate = "TD3DApplication.Create_: ";
const char* const cInit = "TD3DApplication.Initialize3DEnvironment: ";

// A run driven by a script or a bot at a fixed step repeats exactly however fast it goes: tests and
// demos recorded that way are not held to the display's pace.
bool FramesPaced() {
    return !DrivenFixedStepRun(TestHooks);
}

// With VELMORA_FRAME_STATS naming a file, the frames presented so far and the seconds the loop has
// run are written there once a second ("frames seconds"), for the cost benchmark.
class TFrameStats {
  public:
    void Note(int64_t framesPresented) {
        if (!File) return;
        const int64_t now = FrameClockNow(), frequency = FrameClockFrequency();
        if (Started == 0) Started = LastWrite = now;
        if (now - LastWrite < frequency) return;
        LastWrite = now;
        const std::string text = std::to_string(framesPresented) + " " +
                                 std::to_string(static_cast<double>(now - Started) / frequency) + "\n";
        WriteWholeFile(File, text.data(), text.size());
    }

  private:
    const char* File = std::getenv("VELMORA_FRAME_STATS");
    int64_t Started = 0, LastWrite = 0;
};

TFrameStats FrameStats;

// A size the desktop cannot hold (a damaged or hand-edited Options.txt) would leave no window at all.
void ClampToDesktop(int32_t& width, int32_t& height, int desktopW, int desktopH) {
    if (desktopW <= 0 || desktopH <= 0 || (width <= desktopW && height <= desktopH)) return;
    Log(std::string(cCreate) + "window size " + std::to_string(width) + "x" + std::to_string(height) +
        " clamped to the desktop's " + std::to_string(desktopW) + "x" + std::to_string(desktopH));
    width = std::min(width, desktopW);
    height = std::min(height, desktopH);
}

LRESULT CALLBACK_WndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (App) return App->MsgProc(wnd, msg, wParam, lParam);
    return DefWindowProc(wnd, msg, wParam, lParam);
}

} // namespace

void SetFrameClock(TClockFunc clock, int64_t frequency) {
    Clock = clock;
    ClockFrequency = clock ? (frequency > 0 ? frequency : 1) : 0;
}

int64_t FrameClockNow() {
    return Clock ? Clock() : RealClock();
}
int64_t FrameClockFrequency() {
    return Clock ? ClockFrequency : RealFrequency();
}

void RegisterBeforeCloseHook(TBeforeCloseHook hook) {
    BeforeCloseHook = hook;
}

void RegisterTerminationSaveHook(TBeforeCloseHook hook) {
    TerminationSaveHook = hook;
}

// ---- Frame clock -------------------------------------------------------------------------------

void TTimeArray::Push() {
    for (int i = 255; i > 0; --i)
        Stamps[i] = Stamps[i - 1];
    Stamps[0] = FrameClockNow();
    if (Count < 256) ++Count;
}

double TTimeArray::Average(int32_t n) const {
    const int32_t intervals = std::min(n, Count - 1);
    if (intervals <= 0) return 0.0;
    const int64_t ticks = Stamps[0] - Stamps[intervals];
    return static_cast<double>(ticks) / static_cast<double>(FrameClockFrequency()) / intervals;
}

void TFramePacer::Start(double periodSeconds) {
    StartStamp = LastCall = LastMeasure = FrameClockNow();
    Period = static_cast<int64_t>(periodSeconds * static_cast<double>(FrameClockFrequency()));
    Accumulated = 0;
    Frames = 0;
}

int32_t TFramePacer::TicksDue() {
    const int64_t now = FrameClockNow();
    Accumulated += now - LastCall;
    LastCall = now;
    int32_t due = 1;
    if (Period > 0) {
        due = static_cast<int32_t>(Accumulated / Period);
        Accumulated -= static_cast<int64_t>(due) * Period;
    }
    Frames += due;
    if (now - LastMeasure > FrameClockFrequency()) {
        Fps = static_cast<float>(Frames * static_cast<double>(FrameClockFrequency()) / (now - LastMeasure));
        Frames = 0;
        LastMeasure = now;
    }
    return due;
}

void SmoothDelta(double averageSeconds) {
    Delta = Delta + (static_cast<float>(averageSeconds) * 60.0f - Delta) * 0.12f;
    DeltaSq = Delta * Delta;
}

// ---- Error messages ----------------------------------------------------------------------------

std::string ErrorMessageText(HRESULT code, int32_t type) {
    std::string text;
    switch (static_cast<uint32_t>(code)) {
    case 0x82000001u:
        text = "This game requires DirectX version 8.0 or higher.\nYou need to upgrade your version to play "
               "it. This\n"
               "can easily be done free of charge at http://www.microsoft.com/directx";
        break;
    case 0x82000003u:
        text = "Could not find any compatible Direct3D\ndevices.";
        break;
    case 0x82000004u:
        text = "This sample cannot run in a desktop\nwindow with the current display settings.\nPlease "
               "change your "
               "desktop settings to a\n16- or 32-bit display mode and re-run this\nsample.";
        break;
    case 0x82000005u:
        text = "No hardware-accelerated Direct3D devices\nwere found.";
        break;
    case 0x82000006u:
        text = "This sample requires functionality that is\nnot available on your Direct3D "
               "hardware\naccelerator.";
        break;
    case 0x82000007u:
        text = "Your Direct3D hardware accelerator cannot\nrender into a window.\nPress F2 while the app is "
               "running "
               "to see a\nlist of available devices and modes.";
        break;
    case 0x82000008u:
        text = "Your Direct3D hardware accelerator cannot\nrender into a window with the current\ndesktop "
               "display "
               "settings.\nPress F2 while the app is running to see a\nlist of available devices and modes.";
        break;
    case 0x82000009u:
        text = "This sample requires functionality that is\nnot available on your Direct3D "
               "hardware\naccelerator with "
               "the current desktop display\nsettings.\nPress F2 while the app is running to see a\nlist of "
               "available devices and modes.";
        break;
    case 0x8200000Au:
        text = "A D3D object has a non-zero reference\ncount (meaning things were not properly\ncleaned up).";
        break;
    case 0x8200000Bu:
        text = "Could not load required media.";
        break;
    case 0x8200000Cu:
        text = "Could not reset the Direct3D device.";
        break;
    case 0x8200000Du:
        text = "Warning: Nothing will be rendered.\nThe reference rendering device was selected, but "
               "your\ncomputer "
               "only has a reduced-functionality reference device\ninstalled.  Install the DirectX SDK to "
               "get the "
               "full\nreference device.\n";
        break;
    case 0x8007000Eu:
        text = "Not enough memory.";
        break;
    case 0x8876017Cu:
        text = "Not enough video memory.";
        break;
    default:
        text = "Generic application error. Enable\ndebug output for detailed information.";
        break;
    }
    if (type == MSGERR_APPMUSTEXIT)
        text += "\n\nThis sample will now exit.";
    else if (type == MSGWARN_SWITCHEDTOREF)
        text += "\n\nSwitching to the reference rasterizer,\na software device that implements the entire\n"
                "Direct3D feature set, but runs very slowly.";
    return text;
}

// ---- TD3DApplication ---------------------------------------------------------------------------

TD3DApplication::TD3DApplication() {
    CreationWidth = Options.Width > 0 ? Options.Width : static_cast<int32_t>(cBackBufferWidth);
    CreationHeight = Options.Height > 0 ? Options.Height : static_cast<int32_t>(cBackBufferHeight);
}

TD3DApplication::~TD3DApplication() {
    Cleanup3DEnvironment();
    if (Wnd && IsWindow(Wnd)) DestroyWindow(Wnd);
    Wnd = nullptr;
}

HRESULT TD3DApplication::ReadDeviceCaps() {
    return D3D_OK;
}

HRESULT TD3DApplication::CreateDevice() {
    IDirect3DDevice8* device = nullptr;
    const HRESULT hr =
        D3D->CreateDevice(Adapter, DeviceType, FocusWnd, BehaviorFlags, &PresentParams, &device);
    if (SUCCEEDED(hr)) Device = device;
    return hr;
}

HRESULT TD3DApplication::CreateRenderTargets() {
    if (DefaultRenderTarget) {
        DefaultRenderTarget->Release();
        DefaultRenderTarget = nullptr;
    }
    const HRESULT hr = Device->GetRenderTarget(&DefaultRenderTarget);
    Log(SUCCEEDED(hr) ? "TD3DApplication.CreateRenderTargets: GetRenderTarget succeeded"
                      : "TD3DApplication.CreateRenderTargets: GetRenderTarget failed");
    Check(hr, "TD3DApplication.CreateRenderTargets");
    return hr;
}

HRESULT TD3DApplication::WaitForGPU() {
    return D3D_OK;
}

void TD3DApplication::ApplyWindowStyle() {
    if (!Wnd) return;
    SetWindowLong(Wnd, GWL_STYLE, static_cast<LONG>(Windowed ? WindowedStyle : FullscreenStyle));
}

void TD3DApplication::LogDeviceInfo() {}
HRESULT TD3DApplication::OneTimeSceneInit() {
    return D3D_OK;
}
HRESULT TD3DApplication::InitDeviceObjects() {
    return D3D_OK;
}
HRESULT TD3DApplication::RestoreDeviceObjects() {
    return D3D_OK;
}
HRESULT TD3DApplication::InvalidateDeviceObjects() {
    return D3D_OK;
}
HRESULT TD3DApplication::DeleteDeviceObjects() {
    return D3D_OK;
}
HRESULT TD3DApplication::FinalCleanup() {
    return D3D_OK;
}
void TD3DApplication::ResetTiming() {}
HRESULT TD3DApplication::AfterRender() {
    return D3D_OK;
}
void TD3DApplication::OnKeyDown(UINT) {}
HRESULT TD3DApplication::FrameMove() {
    return D3D_OK;
}
HRESULT TD3DApplication::Render() {
    return D3D_OK;
}

HRESULT TD3DApplication::Create_() {
    Log(std::string(cCreate) + "----->>start");
    D3D = Direct3DCreate8(D3D_SDK_VERSION);
    if (!D3D) {
        DisplayErrorMsg(D3DAPPERR_NODIRECT3D, MSGERR_APPMUSTEXIT);
        Log(std::string(cCreate) + "Interface creation failed");
        return D3DAPPERR_NODIRECT3D;
    }
    Log(std::string(cCreate) + "Interface creation succeeded");

    HRESULT hr = BuildDeviceList();
    if (FAILED(hr)) {
        ReleaseDirect3D();
        DisplayErrorMsg(hr, MSGERR_APPMUSTEXIT);
        Log(std::string(cCreate) + "Build device list failed");
        return hr;
    }
    Log(std::string(cCreate) + "Build device list succeeded");

    if (!Wnd) {
        int desktopW = 0, desktopH = 0;
        GetDesktopSize(&desktopW, &desktopH);
        const DWORD style = desktopW <= 800 ? FullscreenStyle : WindowedStyle;
        ClampToDesktop(CreationWidth, CreationHeight, desktopW, desktopH);
        Wnd = CreateAppWindow(Title.c_str(), CW_USEDEFAULT, CW_USEDEFAULT, CreationWidth, CreationHeight,
                              FALSE, CALLBACK_WndProc);
        if (Wnd) SetWindowLong(Wnd, GWL_STYLE, static_cast<LONG>(style));
        Log(std::string(cCreate) + (Wnd ? "CreateWindow succeeded" : "CreateWindow failed"));
        if (!Wnd) {
            ReleaseDirect3D();
            DisplayErrorMsg(E_FAIL, MSGERR_APPMUSTEXIT);
            return E_FAIL;
        }
    }

    SetWindowText(Wnd, Title.c_str());
    if (!FocusWnd) FocusWnd = Wnd;
    WindowedStyle = static_cast<DWORD>(GetWindowLong(Wnd, GWL_STYLE)) | 0x10CE0000u;
    GetWindowRect(Wnd, &WindowRect);
    GetClientRect(Wnd, &ClientRect);
    Log(std::string(cCreate) + "Save window properties succeeded");

    hr = Initialize3DEnvironment();
    if (FAILED(hr)) {
        ReleaseDirect3D();
        DisplayErrorMsg(hr, MSGERR_APPMUSTEXIT);
        Log(std::string(cCreate) + "Initialize3DEnvironment failed");
        return hr;
    }
    Log(std::string(cCreate) + "Initialize3DEnvironment succeeded");

    if (!Options.Windowed) ToggleFullscreen();

    hr = OneTimeSceneInit();
    if (FAILED(hr)) {
        Cleanup3DEnvironment();
        DisplayErrorMsg(hr, MSGERR_APPMUSTEXIT);
        Log(std::string(cCreate) + "OneTimeSceneInit failed");
        return hr;
    }
    Log(std::string(cCreate) + "OneTimeSceneInit succeeded");
    Ready = true;
    Log(std::string(cCreate) + "<<-----end");
    Log("");
    return D3D_OK;
}

HRESULT TD3DApplication::BuildDeviceList() {
    Adapter = D3DADAPTER_DEFAULT;
    DeviceType = D3DDEVTYPE_HAL;
    BehaviorFlags = D3DCREATE_SOFTWARE_VERTEXPROCESSING | D3DCREATE_FPU_PRESERVE;
    HRESULT hr = D3D->GetDeviceCaps(Adapter, DeviceType, &Caps);
    if (FAILED(hr)) return D3DAPPERR_NOCOMPATIBLEDEVICES;
    D3DDISPLAYMODE desktop{};
    hr = D3D->GetAdapterDisplayMode(Adapter, &desktop);
    if (FAILED(hr)) return D3DAPPERR_NOCOMPATIBLEDEVICES;
    DesktopFormat = desktop.Format;
    FullscreenMode.Width = cBackBufferWidth;
    FullscreenMode.Height = cBackBufferHeight;
    FullscreenMode.Format = Options.Format != 0 ? static_cast<D3DFORMAT>(Options.Format) : desktop.Format;
    FullscreenMode.RefreshRate = static_cast<UINT>(std::max(0, Options.RefreshRate));
    CanDoWindowed = (Caps.Caps2 & D3DCAPS2_CANRENDERWINDOWED) != 0;
    SetBestTextureFormat();
    ReadDeviceCaps();
    LogAdapterInformation();
    return D3D_OK;
}

HRESULT TD3DApplication::SetBestTextureFormat() {
    const D3DFORMAT adapterFormat = Options.Windowed ? DesktopFormat : FullscreenMode.Format;
    const int bits = D3DFormatBits(adapterFormat);
    if (bits != 16 && bits != 32) {
        Report("TD3DApplication.SetBestTextureFormat: Format pixel depth is not equal 16 or 32");
        return E_FAIL;
    }
    static constexpr D3DFORMAT cCandidates[] = {D3DFMT_A8R8G8B8, D3DFMT_A4R4G4B4, D3DFMT_A1R5G5B5,
                                                D3DFMT_R5G6B5};
    for (size_t i = bits == 16 ? 1 : 0; i < std::size(cCandidates); ++i) {
        if (SUCCEEDED(D3D->CheckDeviceFormat(Adapter, DeviceType, adapterFormat, 0, D3DRTYPE_TEXTURE,
                                             cCandidates[i]))) {
            TextureFormat = cCandidates[i];
            return D3D_OK;
        }
    }
    Report("No valid texture format");
    return E_FAIL;
}

void TD3DApplication::FillPresentParams() {
    PresentParams = {};
    PresentParams.SwapEffect =
        Options.VSync && FramesPaced() ? D3DSWAPEFFECT_COPY_VSYNC : D3DSWAPEFFECT_DISCARD;
    PresentParams.BackBufferCount = 1;
    PresentParams.MultiSampleType = D3DMULTISAMPLE_NONE;
    PresentParams.Flags = D3DPRESENTFLAG_LOCKABLE_BACKBUFFER;
    PresentParams.hDeviceWindow = Wnd;
    // The layout is always 800 x 600; the window (or the desktop) shows it scaled.
    PresentParams.BackBufferWidth = cBackBufferWidth;
    PresentParams.BackBufferHeight = cBackBufferHeight;
    PresentParams.Windowed = Windowed ? TRUE : FALSE;
    if (Windowed) {
        PresentParams.BackBufferFormat = DesktopFormat;
    } else {
        PresentParams.BackBufferFormat = FullscreenMode.Format;
        PresentParams.FullScreen_RefreshRateInHz = FullscreenMode.RefreshRate;
    }
}

HRESULT TD3DApplication::Initialize3DEnvironment() {
    ApplyWindowStyle();
    FillPresentParams();
    if (DeviceType == D3DDEVTYPE_REF) DisplayErrorMsg(D3DAPPERR_NULLREFDEVICE, MSGWARN_SWITCHEDTOREF);
    HRESULT hr = CreateDevice();
    if (FAILED(hr)) {
        Check(hr, "TD3DApplication.Initialize3DEnvironment");
        return hr;
    }
    CreateRenderTargets();
    hr = InitDeviceObjects();
    Log(std::string(cInit) + (SUCCEEDED(hr) ? "InitDeviceObjects succeeded" : "InitDeviceObjects failed"));
    if (SUCCEEDED(hr)) {
        hr = RestoreDeviceObjects();
        Log(std::string(cInit) +
            (SUCCEEDED(hr) ? "RestoreDeviceObjects succeeded" : "RestoreDeviceObjects failed"));
    }
    if (SUCCEEDED(hr)) {
        Active = true;
        Log(std::string(cInit) + "DeviceStats=\"" + DeviceStats() + "\"");
        Log(std::string(cInit) + "<<-----end");
        return D3D_OK;
    }
    InvalidateDeviceObjects();
    DeleteDeviceObjects();
    ReleaseDevice();
    return hr;
}

std::string TD3DApplication::DeviceStats() const {
    std::string stats = DeviceType == D3DDEVTYPE_REF ? "REF" : "HAL";
    stats += " (sw vp): ";
    D3DADAPTER_IDENTIFIER8 id{};
    if (D3D && SUCCEEDED(D3D->GetAdapterIdentifier(Adapter, 0, &id))) stats += id.Description;
    return stats;
}

void TD3DApplication::LogAdapterInformation() {
    Log("//----------- START Adapter information -----------//");
    Log("####  Adapter identifier:");
    D3DADAPTER_IDENTIFIER8 id{};
    if (SUCCEEDED(D3D->GetAdapterIdentifier(Adapter, 0, &id))) {
        Log(std::string("Driver=") + id.Driver + "; Description=" + id.Description);
        Log("VendorId=" + std::to_string(id.VendorId) + "; DeviceId=" + std::to_string(id.DeviceId));
    }
    Log("####  D3D Caps:");
    Log("Caps2=" + std::to_string(Caps.Caps2) + "; DevCaps=" + std::to_string(Caps.DevCaps) +
        "; TextureCaps=" + std::to_string(Caps.TextureCaps) +
        "; TextureOpCaps=" + std::to_string(Caps.TextureOpCaps));
    Log("MaxTextureWidth=" + std::to_string(Caps.MaxTextureWidth) + "; MaxTextureHeight=" +
        std::to_string(Caps.MaxTextureHeight) + "; MaxActiveLights=" + std::to_string(Caps.MaxActiveLights));
    Log("####  Display modes:");
    const UINT modes = D3D->GetAdapterModeCount(Adapter);
    for (UINT i = 0; i < modes; ++i) {
        D3DDISPLAYMODE m{};
        if (SUCCEEDED(D3D->EnumAdapterModes(Adapter, i, &m)))
            Log(std::to_string(m.Width) + "x" + std::to_string(m.Height) + " " + D3DFormatName(m.Format) +
                " " + std::to_string(m.RefreshRate) + "Hz");
    }
    Log("####  Display formats:");
    Log("Desktop=" + D3DFormatName(DesktopFormat) + "; FullScreen=" + D3DFormatName(FullscreenMode.Format) +
        "; Texture=" + D3DFormatName(TextureFormat));
    Log("####  Back buffer formats:");
    for (D3DFORMAT f : {D3DFMT_X8R8G8B8, D3DFMT_A8R8G8B8, D3DFMT_R5G6B5}) {
        const bool ok = SUCCEEDED(D3D->CheckDeviceType(Adapter, DeviceType, DesktopFormat, f, TRUE));
        Log(D3DFormatName(f) + (ok ? " supported" : " not supported"));
    }
    Log("//------------- END Adapter information -----------//");
}

void TD3DApplication::ReleaseDevice() {
    if (DefaultRenderTarget) {
        DefaultRenderTarget->Release();
        DefaultRenderTarget = nullptr;
    }
    if (Device) {
        Device->Release();
        Device = nullptr;
    }
}

void TD3DApplication::ReleaseDirect3D() {
    ReleaseDevice();
    if (D3D) {
        D3D->Release();
        D3D = nullptr;
    }
}

void TD3DApplication::Cleanup3DEnvironment() {
    if (Device) {
        InvalidateDeviceObjects();
        DeleteDeviceObjects();
    }
    ReleaseDirect3D();
    FinalCleanup();
}

HRESULT TD3DApplication::Render3DEnvironment() {
    const HRESULT coop = Device->TestCooperativeLevel();
    if (coop == D3DERR_DEVICELOST) return D3D_OK;
    if (coop == D3DERR_DEVICENOTRESET) {
        if (Windowed && D3D) {
            D3DDISPLAYMODE desktop{};
            if (SUCCEEDED(D3D->GetAdapterDisplayMode(Adapter, &desktop))) {
                DesktopFormat = desktop.Format;
                PresentParams.BackBufferFormat = desktop.Format;
            }
        }
        const HRESULT hr = Reset3DEnvironment();
        if (FAILED(hr)) return hr;
    }
    Device->SetRenderTarget(DefaultRenderTarget, nullptr);
    Device->BeginScene();
    if (RootGroup) RootGroup->Render();
    AfterRender();
    Device->EndScene();
    const HRESULT hr = Device->Present(nullptr, nullptr, nullptr, nullptr);
    if (SUCCEEDED(hr)) FrameStats.Note(++FramesPresented);
    return hr;
}

HRESULT TD3DApplication::Reset3DEnvironment() {
    HRESULT hr = InvalidateDeviceObjects();
    if (FAILED(hr)) return hr;
    hr = Device->Reset(&PresentParams);
    if (FAILED(hr)) {
        Check(hr, "TD3DApplication.Reset3DEnvironment");
        return hr;
    }
    CreateRenderTargets();
    return RestoreDeviceObjects();
}

HRESULT TD3DApplication::ToggleFullscreen() {
    if (!Windowed && !CanDoWindowed) return ForceWindowed();
    Ready = false;
    Windowed = !Windowed;
    ApplyWindowStyle();
    FillPresentParams();
    const HRESULT hr = Reset3DEnvironment();
    if (SUCCEEDED(hr)) {
        if (Windowed)
            SetWindowPos(Wnd, HWND_NOTOPMOST, WindowRect.left, WindowRect.top,
                         WindowRect.right - WindowRect.left, WindowRect.bottom - WindowRect.top,
                         SWP_SHOWWINDOW);
        Ready = true;
        return D3D_OK;
    }
    if (!Windowed) return E_FAIL;
    return ForceWindowed();
}

HRESULT TD3DApplication::ForceWindowed() {
    Windowed = true;
    Ready = false;
    InvalidateDeviceObjects();
    DeleteDeviceObjects();
    ReleaseDevice();
    const HRESULT hr = Initialize3DEnvironment();
    if (FAILED(hr))
        DisplayErrorMsg(hr, MSGERR_APPMUSTEXIT);
    else
        Ready = true;
    return hr;
}

void TD3DApplication::CheckedToggleFullscreen(bool always) {
    if (!always && !(Active && Ready)) return;
    if (FAILED(ToggleFullscreen())) DisplayErrorMsg(D3DAPPERR_RESIZEFAILED, MSGERR_APPMUSTEXIT);
}

HRESULT TD3DApplication::DisplayErrorMsg(HRESULT code, int32_t type) {
    const std::string text = ErrorMessageText(code, type);
    const UINT icon = type == MSGWARN_SWITCHEDTOREF ? MB_ICONWARNING : MB_ICONERROR;
    MessageBox(Wnd, text.c_str(), Title.c_str(), MB_OK | icon);
    return code;
}

int TD3DApplication::Run() {
    Terminated = false;
    MSG msg{};
    PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE);
    ResetTiming();
    while (!Terminated) {
        if (TerminationRequested()) {
            EndOnTerminationSignal();
            break;
        }
        const bool got = Active ? PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE) != FALSE
                                : GetMessage(&msg, nullptr, 0, 0) != FALSE || msg.message == WM_QUIT;
        if (got) {
            if (msg.message == WM_QUIT) break;
            TranslateMessage(&msg);
            DispatchMessage(&msg);
            continue;
        }
        if (AppActive || TestHooks.FixedStep) {
            FrameMove();
            Render();
            if (Options.WaitGPU) Sleep(0);
            WaitOutFrame();
            if (FrameLimitReached(FrameCount) && !CloseConfirmed && Wnd) {
                CloseConfirmed = true;
                PostMessage(Wnd, WM_CLOSE, 0, 0);
            }
        } else {
            Render();
            Sleep(500);
        }
    }
    return 0;
}

void TD3DApplication::StartFramePacing() {
    D3DDISPLAYMODE mode{};
    const int32_t refresh =
        Device && SUCCEEDED(Device->GetDisplayMode(&mode)) ? static_cast<int32_t>(mode.RefreshRate) : 0;
    FrameLimiter.Start(FramePeriodTicks(Options.FrameLimit, refresh, FrameClockFrequency(), FramesPaced()),
                       FrameClockNow());
}

// Sleeps out the rest of a frame whose swap returned early; only the last fraction of a
// millisecond is spent watching the clock.
void TD3DApplication::WaitOutFrame() {
    const int64_t start = FrameClockNow();
    const int64_t wait = FrameLimiter.WaitAfterSwap(start);
    if (wait <= 0) return;
    const int64_t frequency = FrameClockFrequency(), until = start + wait;
    for (int64_t left = wait; left > 0; left = until - FrameClockNow()) {
        const int64_t sleepable = SleepableTicks(left, frequency);
        if (sleepable > 0) SleepMicroseconds(static_cast<DWORD>(sleepable * 1000000 / frequency));
    }
}

LRESULT TD3DApplication::MsgProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    // The program's own clicks are not recorded: a replay makes them again.
    if (!OwnInputNow()) RecordInputEvent(FrameCount + 1, msg, wParam, lParam);
    NotePlayerInput(msg);
    switch (msg) {
    case WM_ACTIVATEAPP:
        AppActive = wParam != 0;
        if (AppActive) {
            ResetTiming();
            PressedKeys.reset();
        }
        if (SoundDepot) { // the game is not stepped without the focus: its sound waits too
            if (AppActive)
                SoundDepot->ResumeSound();
            else
                SoundDepot->PauseSound();
        }
        return 0;
    case WM_GETMINMAXINFO:
        if (auto* info = reinterpret_cast<MINMAXINFO*>(lParam)) info->ptMinTrackSize = POINT{100, 100};
        return 0;
    case WM_SIZE: {
        const bool wasActive = Active;
        Active = !(wParam == SIZE_MINIMIZED || wParam == SIZE_MAXHIDE);
        if (Active && !wasActive) ResetTiming(); // the time spent minimised is no frame's
        return 0;
    }
    case WM_PAINT:
        if (Device && !Ready && Windowed) {
            Render();
            Device->Present(nullptr, nullptr, nullptr, nullptr);
        }
        return 0;
    case WM_CLOSE:
        return OnCloseMessage(wnd);
    case WM_KEYDOWN:
        if (wParam < 255) {
            PressedKeys.set(wParam);
            OnKeyDown(static_cast<UINT>(wParam));
        }
        return 0;
    case WM_KEYUP:
        if (wParam < 256) PressedKeys.reset(wParam);
        return 0;
    case WM_SYSCOMMAND:
        switch (wParam & 0xFFF0) {
        case SC_SIZE:
        case SC_MOVE:
        case SC_MAXIMIZE:
        case SC_KEYMENU:
        case SC_MONITORPOWER:
            if (!Windowed) return 1;
            break;
        default:
            break;
        }
        break;
    case WM_COMMAND:
        if (LOWORD(wParam) == 40003) {
            if (Active && Ready) CheckedToggleFullscreen(false);
            return 0;
        }
        if (LOWORD(wParam) == 40006) {
            SendMessage(wnd, WM_CLOSE, 0, 0);
            return 0;
        }
        break;
    case WM_MOUSEMOVE:
        if (Active && Ready && Device && Mouse)
            Mouse->SetPosition(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
        if (Mouse) Mouse->SetButton(msg);
        return 0;
    case WM_ENTERSIZEMOVE:
        Active = false;
        return 0;
    case WM_EXITSIZEMOVE:
        Active = true;
        ResetTiming();
        return 0;
    case WM_POWERBROADCAST:
        if (wParam == PBT_APMQUERYSUSPEND || wParam == PBT_APMRESUMESUSPEND) return TRUE;
        break;
    default:
        break;
    }
    return DefWindowProc(wnd, msg, wParam, lParam);
}

LRESULT TD3DApplication::OnCloseMessage(HWND wnd) {
    if (CloseConfirmed) {
        CloseWindow(wnd);
        CloseConfirmed = false;
        return 0;
    }
    // The level (or an open dialog) takes the request first; at the menus the exit dialog asks.
    if (TCloseHandler handler = RegisteredCloseHandler(); handler && handler()) return 0;
    if (ExitDialogRegistered() && RootGroup) {
        RootGroup->ShowExitDialog();
        return 0;
    }
    // No dialog to ask with: the close stands.
    CloseWindow(wnd);
    return 0;
}

// Whatever window or dialog is open, the run ends without asking; the scene's close writes Game.dat.
void TD3DApplication::EndOnTerminationSignal() {
    Log("TD3DApplication.Run: signal " + std::to_string(TerminationSignal()) +
        " received; the progress is saved and the game ends");
    if (TerminationSaveHook) TerminationSaveHook();
    CloseConfirmed = false;
    CloseWindow(Wnd);
}

void TD3DApplication::CloseWindow(HWND wnd) {
    if (BeforeCloseHook) BeforeCloseHook();
    Cleanup3DEnvironment();
    for (int attempt = 0; wnd && IsWindow(wnd) && attempt < 10; ++attempt) {
        if (DestroyWindow(wnd)) break;
        Report("DestroyWindow Error: the window could not be destroyed");
        Sleep(100);
    }
    if (wnd == Wnd) Wnd = nullptr;
    Terminated = true;
}

// ---- TMyApp ------------------------------------------------------------------------------------

HRESULT TMyApp::ReadDeviceCaps() {
    ReadCapsFlags(Caps, CapsFlags);
    return D3D_OK;
}

void TMyApp::LogDeviceInfo() {
    Log("TMyApp.LogDeviceInfo: " + DeviceStats());
}

HRESULT TMyApp::OneTimeSceneInit() {
    const HRESULT hr = InitInput(Wnd);
    if (FAILED(hr)) return hr;
    if (!RootGroup) new TGroup();
    return D3D_OK;
}

HRESULT TMyApp::InitDeviceObjects() {
    return D3D_OK;
}

HRESULT TMyApp::RestoreDeviceObjects() {
    if (Device && !DefaultRenderTarget) Device->GetRenderTarget(&DefaultRenderTarget);
    if (RootGroup) RootGroup->RestoreDeviceObjects();
    Options.Windowed = Windowed;
    return D3D_OK;
}

HRESULT TMyApp::InvalidateDeviceObjects() {
    if (Device && DefaultRenderTarget) Device->SetRenderTarget(DefaultRenderTarget, nullptr);
    if (RootGroup) RootGroup->InvalidateDeviceObjects();
    return D3D_OK;
}

HRESULT TMyApp::DeleteDeviceObjects() {
    DoneInput();
    delete RootGroup; // the whole scene
    RootGroup = nullptr;
    return D3D_OK;
}

HRESULT TMyApp::FinalCleanup() {
    delete TimeArray;
    TimeArray = nullptr;
    return D3D_OK;
}

void TMyApp::ResetTiming() {
    RenderPacer.Start(0);
    StepPacer.Start(0);
    StartFramePacing();
    delete TimeArray;
    TimeArray = new TTimeArray();
}

HRESULT TMyApp::AfterRender() {
    TakeScreenshots(FrameCount);
    return D3D_OK;
}

void TMyApp::OnKeyDown(UINT key) {
    if (RootGroup && RootGroup->KeyDown(static_cast<uint16_t>(key))) return;
    if (KeysExactly({VK_CONTROL, VK_RETURN}))
        CheckedToggleFullscreen(false);
    else if (KeysExactly({VK_CONTROL, 'X'}))
        QuitRequest = qrQuit;
}

HRESULT TMyApp::FrameMove() {
    DeliverScriptEvents(FrameCount + 1);
    if (RootGroup) RootGroup->Step();
    FrameCount += 1;
    GameTime += Delta;
    UpdateInput();
    AfterFrameStep(FrameCount);
    if (QuitRequest == qrQuit) {
        PostMessage(Wnd, WM_CLOSE, 0, 0);
        CloseConfirmed = true;
    } else if (QuitRequest == qrToggleFullscreen) {
        CheckedToggleFullscreen(true);
    }
    QuitRequest = qrNone;
    if (!TimeArray) TimeArray = new TTimeArray();
    TimeArray->Push();
    if (TestHooks.FixedStep) {
        Delta = 1.0f;
        DeltaSq = 1.0f;
    } else {
        SmoothDelta(TimeArray->Average(3));
    }
    return D3D_OK;
}

HRESULT TMyApp::Render() {
    if (!Device || !FrameToBeDrawn(FrameCount)) return D3D_OK;
    const int32_t due = RenderPacer.TicksDue();
    for (int32_t i = 0; i < due; ++i) {
        const HRESULT hr = Render3DEnvironment();
        if (FAILED(hr)) return hr;
    }
    return D3D_OK;
}

} // namespace velmora
