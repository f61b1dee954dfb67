// The application frame: the game's one window, the Direct3D object and device, the message and
// frame loop, and the frame clock that turns measured frame times into the smoothed Delta.
#pragma once

#include <cstdint>
#include <string>

#include "app/framelimiter.h"
#include "platform/d3d8.h"
#include "platform/win32.h"

namespace velmora {

// The clock the frame measures itself with; tests put a fake one in (nullptr restores the real).
using TClockFunc = int64_t (*)();
void SetFrameClock(TClockFunc clock, int64_t frequency);
int64_t FrameClockNow();
int64_t FrameClockFrequency();

// The newest 256 frame stamps, entry 0 the newest.
class TTimeArray {
  public:
    void Push();
    double Average(int32_t n) const; // mean of the last n intervals in seconds; 0 when there is none
    int64_t Stamps[256] = {};
    int32_t Count = 0;
};

// Counts frames due at a fixed period (period 0: always one) and measures frames per second.
struct TFramePacer {
    void Start(double periodSeconds);
    int32_t TicksDue();
    int64_t StartStamp = 0, Period = 0, Accumulated = 0, LastCall = 0;
    int32_t Frames = 0;
    float Fps = 0;
    int64_t LastMeasure = 0;
};

// Moves Delta one step towards the measured frame time (in sixtieths of a second).
void SmoothDelta(double averageSeconds);

// Error codes of the frame (DisplayErrorMsg texts).
constexpr HRESULT D3DAPPERR_NODIRECT3D = static_cast<HRESULT>(0x82000001u);
constexpr HRESULT D3DAPPERR_NOCOMPATIBLEDEVICES = static_cast<HRESULT>(0x82000003u);
constexpr HRESULT D3DAPPERR_NOWINDOWABLEDEVICES = static_cast<HRESULT>(0x82000004u);
constexpr HRESULT D3DAPPERR_NOHARDWAREDEVICE = static_cast<HRESULT>(0x82000005u);
constexpr HRESULT D3DAPPERR_HALNOTCOMPATIBLE = static_cast<HRESULT>(0x82000006u);
constexpr HRESULT D3DAPPERR_NOWINDOWEDHAL = static_cast<HRESULT>(0x82000007u);
constexpr HRESULT D3DAPPERR_NODESKTOPHAL = static_cast<HRESULT>(0x82000008u);
constexpr HRESULT D3DAPPERR_NOHALTHISMODE = static_cast<HRESULT>(0x82000009u);
constexpr HRESULT D3DAPPERR_NONZEROREFCOUNT = static_cast<HRESULT>(0x8200000Au);
constexpr HRESULT D3DAPPERR_MEDIANOTFOUND = static_cast<HRESULT>(0x8200000Bu);
constexpr HRESULT D3DAPPERR_RESIZEFAILED = static_cast<HRESULT>(0x8200000Cu);
constexpr HRESULT D3DAPPERR_NULLREFDEVICE = static_cast<HRESULT>(0x8200000Du);

enum TMsgType : int32_t { MSG_NONE = 0, MSGERR_APPMUSTEXIT = 1, MSGWARN_SWITCHEDTOREF = 2 };
// The message box text of an error code and type.
std::string ErrorMessageText(HRESULT code, int32_t type);

class TD3DApplication {
  public:
    TD3DApplication();
    virtual ~TD3DApplication();
    TD3DApplication(const TD3DApplication&) = delete;
    TD3DApplication& operator=(const TD3DApplication&) = delete;

    // Virtual operations in their fixed slot order.
    virtual HRESULT ReadDeviceCaps();                                          // 0
    virtual HRESULT CreateDevice();                                            // 1
    virtual HRESULT CreateRenderTargets();                                     // 2
    virtual HRESULT ToggleFullscreen();                                        // 3
    virtual HRESULT WaitForGPU();                                              // 4
    virtual void ApplyWindowStyle();                                           // 5
    virtual void LogDeviceInfo();                                              // 6
    virtual HRESULT OneTimeSceneInit();                                        // 7
    virtual HRESULT InitDeviceObjects();                                       // 8
    virtual HRESULT RestoreDeviceObjects();                                    // 9
    virtual HRESULT InvalidateDeviceObjects();                                 // 10
    virtual HRESULT DeleteDeviceObjects();                                     // 11
    virtual HRESULT FinalCleanup();                                            // 12
    virtual void ResetTiming();                                                // 13
    virtual HRESULT AfterRender();                                             // 14
    virtual void OnKeyDown(UINT key);                                          // 15
    virtual HRESULT Create_();                                                 // 16
    virtual int Run();                                                         // 17
    virtual LRESULT MsgProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam); // 18
    virtual HRESULT FrameMove();                                               // 19
    virtual HRESULT Render();                                                  // 20
    virtual void CloseWindow(HWND wnd);                                        // 21

    HRESULT BuildDeviceList();
    HRESULT Initialize3DEnvironment();
    HRESULT Render3DEnvironment();
    HRESULT Reset3DEnvironment();
    HRESULT ForceWindowed();
    void Cleanup3DEnvironment();
    HRESULT SetBestTextureFormat();
    // Toggle asked for by keys and menus: unconditionally, or when Active and Ready.
    void CheckedToggleFullscreen(bool always);
    HRESULT DisplayErrorMsg(HRESULT code, int32_t type);
    std::string DeviceStats() const;

    bool Windowed = true;
    bool Active = false;
    bool Ready = false;
    bool AppActive = true;
    HWND Wnd = nullptr;
    HWND FocusWnd = nullptr;
    DWORD WindowedStyle = 0x10CE0000;
    DWORD FullscreenStyle = 0x90080000;
    RECT WindowRect{}, ClientRect{};
    D3DPRESENT_PARAMETERS PresentParams{};
    std::string Title = "Velmora";
    int32_t CreationWidth = 800, CreationHeight = 600;

    // Frame pacing: restarted with the timing; waits after each presented frame of a paced run.
    void StartFramePacing();
    void WaitOutFrame();
    TFrameLimiter FrameLimiter;
    int64_t FramesPresented = 0;

    // What the device list settled on.
    UINT Adapter = D3DADAPTER_DEFAULT;
    D3DDEVTYPE DeviceType = D3DDEVTYPE_HAL;
    DWORD BehaviorFlags = 0x22;
    D3DFORMAT DesktopFormat = D3DFMT_UNKNOWN;
    D3DDISPLAYMODE FullscreenMode{};
    bool CanDoWindowed = false;

  protected:
    void LogAdapterInformation();
    LRESULT OnCloseMessage(HWND wnd);
    void EndOnTerminationSignal();
    void ReleaseDevice();
    void ReleaseDirect3D();
    void FillPresentParams();
};

class TMyApp : public TD3DApplication {
  public:
    HRESULT ReadDeviceCaps() override;
    void LogDeviceInfo() override;
    HRESULT OneTimeSceneInit() override;
    HRESULT InitDeviceObjects() override;
    HRESULT RestoreDeviceObjects() override;
    HRESULT InvalidateDeviceObjects() override;
    HRESULT DeleteDeviceObjects() override;
    HRESULT FinalCleanup() override;
    void ResetTiming() override;
    HRESULT AfterRender() override;
    void OnKeyDown(UINT key) override;
    HRESULT FrameMove() override;
    HRESULT Render() override;

    TFramePacer RenderPacer;
    TFramePacer StepPacer;
};

extern TMyApp* App;
extern IDirect3DSurface8* DefaultRenderTarget;
extern TTimeArray* TimeArray;
enum TQuitRequest : uint8_t { qrNone = 0, qrQuit = 1, qrToggleFullscreen = 2 };
extern uint8_t QuitRequest;
extern bool CloseConfirmed;
extern bool Terminated;

// Called before the window closes for good (the level in progress is saved into the player's record).
using TBeforeCloseHook = void (*)();
void RegisterBeforeCloseHook(TBeforeCloseHook hook);
// Called when a termination signal ends the run: books a level in progress into the player's record
// as "Save & Exit" does (the record is written as the scene closes).
void RegisterTerminationSaveHook(TBeforeCloseHook hook);

// The size of the back buffer the game draws into: always the 800 x 600 layout.
constexpr UINT cBackBufferWidth = 800;
constexpr UINT cBackBufferHeight = 600;

} // namespace velmora
