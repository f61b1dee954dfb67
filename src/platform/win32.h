// Win32-shaped window, message loop, message boxes, cursors and clock over SDL2.
// The names, codes and signatures are those of the Win32 API (the subset the game uses), so that
// the application frame reads like its Windows original; nothing here includes SDL.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace velmora {

// ---- Basic types -------------------------------------------------------------------------------

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using UINT = unsigned int;
using INT = int;
using LONG = std::int32_t;
using ULONG = std::uint32_t;
using LONGLONG = std::int64_t;
using BOOL = int;
using HRESULT = std::int32_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

struct LARGE_INTEGER {
    LONGLONG QuadPart;
};
struct POINT {
    LONG x, y;
};
struct RECT {
    LONG left, top, right, bottom;
};
struct GUID {
    DWORD Data1;
    WORD Data2, Data3;
    BYTE Data4[8];
};
struct RGNDATA; // never dereferenced: Present accepts only nullptr

// COM reference counting, the base of the Direct3D and DirectInput interfaces.
struct IUnknown {
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0; // deletes the object when the count reaches 0; returns the new count

  protected:
    virtual ~IUnknown() = default;
};

struct HWND__;
using HWND = HWND__*; // a window made by CreateAppWindow
struct HCURSOR__;
using HCURSOR = HCURSOR__*; // a cursor made by LoadCursorFromFile

using WNDPROC = LRESULT (*)(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);

constexpr WORD LOWORD(std::uintptr_t v) {
    return static_cast<WORD>(v & 0xFFFF);
}
constexpr WORD HIWORD(std::uintptr_t v) {
    return static_cast<WORD>((v >> 16) & 0xFFFF);
}
constexpr LPARAM MAKELPARAM(int lo, int hi) {
    return static_cast<LPARAM>(static_cast<DWORD>((lo & 0xFFFF) | ((hi & 0xFFFF) << 16)));
}
constexpr int GET_X_LPARAM(LPARAM lp) {
    return static_cast<short>(LOWORD(static_cast<std::uintptr_t>(lp)));
}
constexpr int GET_Y_LPARAM(LPARAM lp) {
    return static_cast<short>(HIWORD(static_cast<std::uintptr_t>(lp)));
}

// ---- Window messages (Win32 values) ------------------------------------------------------------

constexpr UINT WM_NULL = 0x0000;
constexpr UINT WM_CREATE = 0x0001;
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_MOVE = 0x0003;
constexpr UINT WM_SIZE = 0x0005;
constexpr UINT WM_ACTIVATE = 0x0006;
constexpr UINT WM_SETFOCUS = 0x0007;
constexpr UINT WM_KILLFOCUS = 0x0008;
constexpr UINT WM_PAINT = 0x000F;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_QUIT = 0x0012;
constexpr UINT WM_ERASEBKGND = 0x0014;
constexpr UINT WM_SHOWWINDOW = 0x0018;
constexpr UINT WM_ACTIVATEAPP = 0x001C;
constexpr UINT WM_SETCURSOR = 0x0020;
constexpr UINT WM_GETMINMAXINFO = 0x0024;
constexpr UINT WM_COPYDATA = 0x004A;
constexpr UINT WM_NCHITTEST = 0x0084;
constexpr UINT WM_KEYDOWN = 0x0100;
constexpr UINT WM_KEYUP = 0x0101;
constexpr UINT WM_CHAR = 0x0102;
constexpr UINT WM_SYSKEYDOWN = 0x0104;
constexpr UINT WM_SYSKEYUP = 0x0105;
constexpr UINT WM_SYSCHAR = 0x0106;
constexpr UINT WM_COMMAND = 0x0111;
constexpr UINT WM_SYSCOMMAND = 0x0112;
constexpr UINT WM_TIMER = 0x0113;
constexpr UINT WM_MOUSEMOVE = 0x0200;
constexpr UINT WM_LBUTTONDOWN = 0x0201;
constexpr UINT WM_LBUTTONUP = 0x0202;
constexpr UINT WM_LBUTTONDBLCLK = 0x0203;
constexpr UINT WM_RBUTTONDOWN = 0x0204;
constexpr UINT WM_RBUTTONUP = 0x0205;
constexpr UINT WM_RBUTTONDBLCLK = 0x0206;
constexpr UINT WM_MBUTTONDOWN = 0x0207;
constexpr UINT WM_MBUTTONUP = 0x0208;
constexpr UINT WM_MOUSEWHEEL = 0x020A;
constexpr UINT WM_POWERBROADCAST = 0x0218;
constexpr UINT WM_ENTERSIZEMOVE = 0x0231;
constexpr UINT WM_EXITSIZEMOVE = 0x0232;
constexpr UINT WM_USER = 0x0400;

// WM_SIZE wParam
constexpr WPARAM SIZE_RESTORED = 0;
constexpr WPARAM SIZE_MINIMIZED = 1;
constexpr WPARAM SIZE_MAXIMIZED = 2;
constexpr WPARAM SIZE_MAXSHOW = 3;
constexpr WPARAM SIZE_MAXHIDE = 4;

// WM_SYSCOMMAND wParam (low four bits are used by the system: mask with 0xFFF0)
constexpr WPARAM SC_SIZE = 0xF000;
constexpr WPARAM SC_MOVE = 0xF010;
constexpr WPARAM SC_MINIMIZE = 0xF020;
constexpr WPARAM SC_MAXIMIZE = 0xF030;
constexpr WPARAM SC_CLOSE = 0xF060;
constexpr WPARAM SC_KEYMENU = 0xF100;
constexpr WPARAM SC_RESTORE = 0xF120;
constexpr WPARAM SC_MONITORPOWER = 0xF170;

// WM_POWERBROADCAST wParam
constexpr WPARAM PBT_APMQUERYSUSPEND = 0x0000;
constexpr WPARAM PBT_APMRESUMESUSPEND = 0x0007;
constexpr LRESULT BROADCAST_QUERY_DENY = 0x424D5144;

// Mouse message wParam flags
constexpr WPARAM MK_LBUTTON = 0x0001;
constexpr WPARAM MK_RBUTTON = 0x0002;
constexpr WPARAM MK_SHIFT = 0x0004;
constexpr WPARAM MK_CONTROL = 0x0008;
constexpr WPARAM MK_MBUTTON = 0x0010;

struct MINMAXINFO {
    POINT ptReserved;
    POINT ptMaxSize;
    POINT ptMaxPosition;
    POINT ptMinTrackSize; // honoured: the window cannot be made smaller
    POINT ptMaxTrackSize;
};

struct COPYDATASTRUCT {
    std::uintptr_t dwData;
    DWORD cbData;
    void* lpData;
};

// ---- Virtual-key codes (Win32 values; letters and digits are their upper-case ASCII codes) -----

constexpr UINT VK_LBUTTON = 0x01;
constexpr UINT VK_RBUTTON = 0x02;
constexpr UINT VK_CANCEL = 0x03;
constexpr UINT VK_MBUTTON = 0x04;
constexpr UINT VK_BACK = 0x08;
constexpr UINT VK_TAB = 0x09;
constexpr UINT VK_CLEAR = 0x0C;
constexpr UINT VK_RETURN = 0x0D;
constexpr UINT VK_SHIFT = 0x10;
constexpr UINT VK_CONTROL = 0x11;
constexpr UINT VK_MENU = 0x12; // Alt
constexpr UINT VK_PAUSE = 0x13;
constexpr UINT VK_CAPITAL = 0x14;
constexpr UINT VK_ESCAPE = 0x1B;
constexpr UINT VK_SPACE = 0x20;
constexpr UINT VK_PRIOR = 0x21;
constexpr UINT VK_NEXT = 0x22;
constexpr UINT VK_END = 0x23;
constexpr UINT VK_HOME = 0x24;
constexpr UINT VK_LEFT = 0x25;
constexpr UINT VK_UP = 0x26;
constexpr UINT VK_RIGHT = 0x27;
constexpr UINT VK_DOWN = 0x28;
constexpr UINT VK_SELECT = 0x29;
constexpr UINT VK_PRINT = 0x2A;
constexpr UINT VK_SNAPSHOT = 0x2C;
constexpr UINT VK_INSERT = 0x2D;
constexpr UINT VK_DELETE = 0x2E;
constexpr UINT VK_HELP = 0x2F;
constexpr UINT VK_LWIN = 0x5B;
constexpr UINT VK_RWIN = 0x5C;
constexpr UINT VK_APPS = 0x5D;
constexpr UINT VK_NUMPAD0 = 0x60;
constexpr UINT VK_NUMPAD1 = 0x61;
constexpr UINT VK_NUMPAD2 = 0x62;
constexpr UINT VK_NUMPAD3 = 0x63;
constexpr UINT VK_NUMPAD4 = 0x64;
constexpr UINT VK_NUMPAD5 = 0x65;
constexpr UINT VK_NUMPAD6 = 0x66;
constexpr UINT VK_NUMPAD7 = 0x67;
constexpr UINT VK_NUMPAD8 = 0x68;
constexpr UINT VK_NUMPAD9 = 0x69;
constexpr UINT VK_MULTIPLY = 0x6A;
constexpr UINT VK_ADD = 0x6B;
constexpr UINT VK_SEPARATOR = 0x6C;
constexpr UINT VK_SUBTRACT = 0x6D;
constexpr UINT VK_DECIMAL = 0x6E;
constexpr UINT VK_DIVIDE = 0x6F;
constexpr UINT VK_F1 = 0x70;
constexpr UINT VK_F2 = 0x71;
constexpr UINT VK_F3 = 0x72;
constexpr UINT VK_F4 = 0x73;
constexpr UINT VK_F5 = 0x74;
constexpr UINT VK_F6 = 0x75;
constexpr UINT VK_F7 = 0x76;
constexpr UINT VK_F8 = 0x77;
constexpr UINT VK_F9 = 0x78;
constexpr UINT VK_F10 = 0x79;
constexpr UINT VK_F11 = 0x7A;
constexpr UINT VK_F12 = 0x7B;
constexpr UINT VK_NUMLOCK = 0x90;
constexpr UINT VK_SCROLL = 0x91;
constexpr UINT VK_LSHIFT = 0xA0;
constexpr UINT VK_RSHIFT = 0xA1;
constexpr UINT VK_LCONTROL = 0xA2;
constexpr UINT VK_RCONTROL = 0xA3;
constexpr UINT VK_LMENU = 0xA4;
constexpr UINT VK_RMENU = 0xA5;
constexpr UINT VK_OEM_1 = 0xBA;      // ;:
constexpr UINT VK_OEM_PLUS = 0xBB;   // =+
constexpr UINT VK_OEM_COMMA = 0xBC;  // ,<
constexpr UINT VK_OEM_MINUS = 0xBD;  // -_
constexpr UINT VK_OEM_PERIOD = 0xBE; // .>
constexpr UINT VK_OEM_2 = 0xBF;      // /?
constexpr UINT VK_OEM_3 = 0xC0;      // `~
constexpr UINT VK_OEM_4 = 0xDB;      // [{
constexpr UINT VK_OEM_5 = 0xDC;      // \|
constexpr UINT VK_OEM_6 = 0xDD;      // ]}
constexpr UINT VK_OEM_7 = 0xDE;      // '"
constexpr UINT VK_OEM_8 = 0xDF;
constexpr UINT VK_OEM_102 = 0xE2; // the extra key of European keyboards, <>

// The virtual-key code of an SDL key event: ASCII letters and digits of the active layout map to
// their own codes (as Windows does), every other key by its position on a US keyboard; 0 = none.
UINT VirtualKeyFromSdl(int sdlKeycode, int sdlScancode);

// ---- Message queue -----------------------------------------------------------------------------

struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time; // milliseconds since start
    POINT pt;   // mouse position in back-buffer pixels when the message was queued
};

constexpr UINT PM_NOREMOVE = 0x0000;
constexpr UINT PM_REMOVE = 0x0001;

// Pumps SDL events into the queue as WM_* messages, then takes the first message (filtered by
// window and message range; 0, 0 = all). Returns FALSE when the queue is empty.
BOOL PeekMessage(MSG* msg, HWND hWnd, UINT filterMin, UINT filterMax, UINT removeMsg);
// Waits for a message; returns FALSE for WM_QUIT, TRUE otherwise.
BOOL GetMessage(MSG* msg, HWND hWnd, UINT filterMin, UINT filterMax);
BOOL TranslateMessage(const MSG* msg);                               // keys need no translation: always FALSE
LRESULT DispatchMessage(const MSG* msg);                             // calls the window's procedure
BOOL PostMessage(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam); // queued after pending events
LRESULT SendMessage(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam); // calls the procedure now
void PostQuitMessage(int exitCode);
// Default handling: WM_CLOSE destroys the window, Alt+F4 (WM_SYSKEYDOWN VK_F4) posts WM_CLOSE,
// WM_SYSCOMMAND SC_CLOSE posts WM_CLOSE; everything else answers 0.
LRESULT DefWindowProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);

// SDL events turned into messages: quit / window close -> WM_CLOSE; focus gained / lost ->
// WM_ACTIVATEAPP (TRUE / FALSE); minimised -> WM_SIZE SIZE_MINIMIZED; hidden -> WM_SIZE
// SIZE_MAXHIDE; shown, restored, resized -> WM_SIZE SIZE_RESTORED with the client size; exposed ->
// WM_PAINT; keys -> WM_KEYDOWN/UP (with Alt held WM_SYSKEYDOWN/UP; lParam bit 30 set on auto-repeat,
// bit 31 on release); mouse motion and left/right buttons -> WM_MOUSEMOVE, WM_[LR]BUTTON{DOWN,UP}
// with lParam = MAKELPARAM(x, y) in back-buffer pixels and MK_* flags in wParam.

// Test hooks: make SDL report input as if the user had given it, so that it arrives through the
// normal translation. Mouse positions are window pixels; msg is WM_MOUSEMOVE or WM_[LR]BUTTON{DOWN,UP}.
BOOL SimulateMouseInput(HWND hWnd, UINT msg, int windowX, int windowY);
BOOL SimulateFocus(HWND hWnd, BOOL gained); // arrives as WM_ACTIVATEAPP
BOOL SimulateCloseRequest(HWND hWnd);       // the window's close button: arrives as WM_CLOSE

// A run driven by a script or a bot must repeat exactly: the desk's own mouse, keys and wheel are
// then dropped (the pointer resting over a new window moves it at a moment that depends on timing).
// Window events and the simulated input above still arrive.
void IgnoreDeviceInput(BOOL ignore);

// ---- Windows -----------------------------------------------------------------------------------

constexpr int CW_USEDEFAULT = static_cast<int>(0x80000000); // position: centred on the desktop

// Styles are only kept (GetWindowLong answers them): window or full screen is chosen by
// SetWindowFullscreen, which the device's Reset calls.
constexpr DWORD WS_OVERLAPPED = 0x00000000;
constexpr DWORD WS_POPUP = 0x80000000;
constexpr DWORD WS_MINIMIZE = 0x20000000;
constexpr DWORD WS_VISIBLE = 0x10000000;
constexpr DWORD WS_CAPTION = 0x00C00000;
constexpr DWORD WS_SYSMENU = 0x00080000;
constexpr DWORD WS_THICKFRAME = 0x00040000;
constexpr DWORD WS_MINIMIZEBOX = 0x00020000;
constexpr DWORD WS_MAXIMIZEBOX = 0x00010000;
constexpr int GWL_STYLE = -16;

constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_SHOWMINIMIZED = 2;
constexpr int SW_SHOW = 5;
constexpr int SW_MINIMIZE = 6;
constexpr int SW_RESTORE = 9;

constexpr UINT SWP_NOSIZE = 0x0001;
constexpr UINT SWP_NOMOVE = 0x0002;
constexpr UINT SWP_NOZORDER = 0x0004;
constexpr UINT SWP_SHOWWINDOW = 0x0040;
inline HWND const HWND_NOTOPMOST = reinterpret_cast<HWND>(static_cast<std::intptr_t>(-2));

// Creates the game's window: an SDL window with an OpenGL 2.1 compatibility context profile
// (8-bit RGBA, 24-bit depth), resizable, client area clientWidth x clientHeight (pixels),
// at (x, y) on the desktop or centred (CW_USEDEFAULT). Full screen covers the whole desktop
// without changing its mode. WM_GETMINMAXINFO is sent once to learn the minimum size.
// Initialises SDL video on first use. Returns nullptr (and logs to stderr) on failure.
HWND CreateAppWindow(const char* title, int x, int y, int clientWidth, int clientHeight, BOOL fullscreen,
                     WNDPROC proc);
BOOL DestroyWindow(HWND hWnd); // sends WM_DESTROY, closes the window; a device on it must be released first
BOOL IsWindow(HWND hWnd);
BOOL SetWindowText(HWND hWnd, const char* text);
std::string GetWindowText(HWND hWnd);
BOOL ShowWindow(HWND hWnd, int cmdShow);
BOOL IsIconic(HWND hWnd);                  // minimised
BOOL GetClientRect(HWND hWnd, RECT* rect); // (0, 0, width, height) of the client area, window pixels
BOOL GetWindowRect(HWND hWnd, RECT* rect); // client area in desktop coordinates (no frame on Linux)
// cx, cy: client size. In full screen they are kept for the return to the window.
BOOL SetWindowPos(HWND hWnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
LONG SetWindowLong(HWND hWnd, int index, LONG value); // returns the previous value
LONG GetWindowLong(HWND hWnd, int index);
// Full screen on the desktop (SDL_WINDOW_FULLSCREEN_DESKTOP) or back to the window; leaving full
// screen restores the windowed size and position itself (there may be no window manager).
BOOL SetWindowFullscreen(HWND hWnd, BOOL fullscreen);
BOOL IsWindowFullscreen(HWND hWnd);
void GetDesktopSize(int* width, int* height); // size of the desktop of the first display
HWND GetForegroundWindow();                   // the window that has the keyboard focus, or nullptr

// ---- Presentation geometry (pure functions, no display needed) ---------------------------------

// Where a back buffer of bbW x bbH lands in a drawable of drawW x drawH: aspect kept, centred,
// black bars. Whole-number factors are used when the buffer fits at least once (sharpest);
// a drawable smaller than the buffer gets a linear down-scale. `Linear` says which filter to use.
struct PresentRect {
    int X = 0, Y = 0, Width = 0, Height = 0; // in drawable pixels, origin at the top left
    bool Linear = false;
};
PresentRect ComputePresentRect(int bbW, int bbH, int drawW, int drawH);
// Drawable pixel -> back-buffer pixel through the rectangle above; clamped to the buffer.
POINT MapDrawableToBackBuffer(const PresentRect& r, int bbW, int bbH, int x, int y);

// ---- Message boxes -----------------------------------------------------------------------------

constexpr UINT MB_OK = 0x00000000;
constexpr UINT MB_OKCANCEL = 0x00000001;
constexpr UINT MB_YESNOCANCEL = 0x00000003;
constexpr UINT MB_YESNO = 0x00000004;
constexpr UINT MB_ICONHAND = 0x00000010;
constexpr UINT MB_ICONERROR = 0x00000010;
constexpr UINT MB_ICONSTOP = 0x00000010;
constexpr UINT MB_ICONQUESTION = 0x00000020;
constexpr UINT MB_ICONEXCLAMATION = 0x00000030;
constexpr UINT MB_ICONWARNING = 0x00000030;
constexpr UINT MB_ICONINFORMATION = 0x00000040;
constexpr UINT MB_TOPMOST = 0x00040000;

constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDABORT = 3;
constexpr int IDRETRY = 4;
constexpr int IDIGNORE = 5;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

// Shows a modal box and returns the button pressed (IDOK, IDYES, IDNO, IDCANCEL). With an automatic
// answer set (SetMessageBoxAutoAnswer, or the environment variable VELMORA_MSGBOX_ANSWER holding a
// number 1..7) nothing is shown and that answer is returned. Returns 0 if the box cannot be shown.
int MessageBox(HWND hWnd, const char* text, const char* caption, UINT type);
void SetMessageBoxAutoAnswer(int answer); // 0 = show boxes again (the environment still applies)

struct MessageBoxRecord {
    std::string Text, Caption;
    UINT Type;
    int Answer;
};
const std::vector<MessageBoxRecord>& ShownMessageBoxes(); // every MessageBox call of the process
void ClearShownMessageBoxes();

// ---- Cursors -----------------------------------------------------------------------------------

// A cursor image decoded from a Windows .cur file (or the first frame of an .ani).
struct CursorImage {
    int Width = 0, Height = 0;
    int HotX = 0, HotY = 0;
    std::vector<std::uint32_t> Pixels; // 0xAARRGGBB, rows top to bottom
};
// Decodes the largest image of a .cur / .ico (1, 4, 8, 24, 32 bits with AND mask) or the first
// frame of an .ani. Returns false with `error` set for anything else.
bool DecodeCursorFile(const std::vector<std::uint8_t>& bytes, CursorImage& out, std::string& error);

HCURSOR LoadCursorFromFile(const char* fileName); // backslash paths allowed; nullptr on failure
HCURSOR SetCursor(HCURSOR cursor);                // returns the previous one; nullptr = system arrow
int ShowCursor(BOOL show);                        // display counter: shown while >= 0
BOOL DestroyCursor(HCURSOR cursor);

// ---- Clock -------------------------------------------------------------------------------------

BOOL QueryPerformanceCounter(LARGE_INTEGER* count);
BOOL QueryPerformanceFrequency(LARGE_INTEGER* frequency);
void Sleep(DWORD milliseconds);
void SleepMicroseconds(DWORD microseconds); // the system's precise timer (overshoots by tens of us)
DWORD GetTickCount();                       // milliseconds since start

// Tests can replace the counter (nullptr restores the real one); the frequency stays real.
void SetPerformanceCounterHook(LONGLONG (*hook)());

} // namespace velmora
