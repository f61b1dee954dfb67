// Entry points whose implementation has not landed yet: they fail politely.
#include "platform/d3d8.h"
#include "platform/dinput8.h"
#include "platform/recording_device.h"

namespace velmora {

UINT VirtualKeyFromSdl(int, int) { return 0; }
BOOL PeekMessage(MSG*, HWND, UINT, UINT, UINT) { return FALSE; }
BOOL GetMessage(MSG*, HWND, UINT, UINT) { return FALSE; }
BOOL TranslateMessage(const MSG*) { return FALSE; }
LRESULT DispatchMessage(const MSG*) { return 0; }
BOOL PostMessage(HWND, UINT, WPARAM, LPARAM) { return FALSE; }
LRESULT SendMessage(HWND, UINT, WPARAM, LPARAM) { return 0; }
void PostQuitMessage(int) {}
LRESULT DefWindowProc(HWND, UINT, WPARAM, LPARAM) { return 0; }
HWND CreateAppWindow(const char*, int, int, int, int, BOOL, WNDPROC) { return nullptr; }
BOOL DestroyWindow(HWND) { return FALSE; }
BOOL IsWindow(HWND) { return FALSE; }
BOOL SetWindowText(HWND, const char*) { return FALSE; }
std::string GetWindowText(HWND) { return {}; }
BOOL ShowWindow(HWND, int) { return FALSE; }
BOOL IsIconic(HWND) { return FALSE; }
BOOL GetClientRect(HWND, RECT*) { return FALSE; }
BOOL GetWindowRect(HWND, RECT*) { return FALSE; }
BOOL SetWindowPos(HWND, HWND, int, int, int, int, UINT) { return FALSE; }
LONG SetWindowLong(HWND, int, LONG) { return 0; }
LONG GetWindowLong(HWND, int) { return 0; }
BOOL SetWindowFullscreen(HWND, BOOL) { return FALSE; }
BOOL IsWindowFullscreen(HWND) { return FALSE; }
void GetDesktopSize(int* w, int* h) { *w = 1024, *h = 768; }
HWND GetForegroundWindow() { return nullptr; }
PresentRect ComputePresentRect(int, int, int, int) { return {}; }
POINT MapDrawableToBackBuffer(const PresentRect&, int, int, int x, int y) { return {x, y}; }
int MessageBox(HWND, const char*, const char*, UINT) { return 0; }
void SetMessageBoxAutoAnswer(int) {}
static std::vector<MessageBoxRecord> boxes;
const std::vector<MessageBoxRecord>& ShownMessageBoxes() { return boxes; }
void ClearShownMessageBoxes() {}
bool DecodeCursorFile(const std::vector<std::uint8_t>&, CursorImage&, std::string&) { return false; }
HCURSOR LoadCursorFromFile(const char*) { return nullptr; }
HCURSOR SetCursor(HCURSOR) { return nullptr; }
int ShowCursor(BOOL) { return 0; }
BOOL DestroyCursor(HCURSOR) { return FALSE; }
BOOL QueryPerformanceCounter(LARGE_INTEGER* c) { c->QuadPart = 0; return TRUE; }
BOOL QueryPerformanceFrequency(LARGE_INTEGER* f) { f->QuadPart = 1000; return TRUE; }
void Sleep(DWORD) {}
DWORD GetTickCount() { return 0; }
void SetPerformanceCounterHook(LONGLONG (*)()) {}

std::string D3DErrorName(HRESULT) { return {}; }
std::string D3DErrorDescription(HRESULT) { return "Unrecognized Error"; }
std::string D3DFormatName(D3DFORMAT) { return "UNKNOWN"; }
D3DFORMAT D3DFormatFromName(const std::string&) { return D3DFMT_UNKNOWN; }
int D3DFormatBits(D3DFORMAT) { return 0; }
UINT D3DFVFVertexSize(DWORD) { return 0; }
D3DMATRIX D3DMatrixIdentity() { return {}; }
D3DMATRIX D3DMatrixMultiply(const D3DMATRIX& a, const D3DMATRIX&) { return a; }
D3DCAPS8 D3DStandardCaps() { return {}; }
IDirect3D8* Direct3DCreate8(UINT) { return nullptr; }
void D3DTestFailCreate(bool) {}
void D3DTestLoseDeviceOnce() {}
void D3DTestFinishEveryFrame(bool) {}
const char* D3DGLRendererName() { return ""; }
IRecordingDevice* CreateRecordingDevice(UINT, UINT) { return nullptr; }


HRESULT DirectInput8Create(void*, DWORD, const GUID&, void**, IUnknown*) { return DIERR_GENERIC; }
void DInputTestFailCreate(bool) {}

} // namespace velmora
