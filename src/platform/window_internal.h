// The window behind an HWND (local to the platform layer: the GL device draws into it).
#pragma once

#include "platform/win32.h"

#include <SDL.h>

struct velmora::HWND__ {
    SDL_Window* Sdl = nullptr;
    velmora::WNDPROC Proc = nullptr;
    velmora::LONG Style = 0;
    bool Fullscreen = false;
    int SavedX = 0, SavedY = 0, SavedW = 0, SavedH = 0; // windowed geometry to come back to
    int BackBufferW = 800, BackBufferH = 600;           // set by the device on this window
};

namespace velmora::detail {

bool StartVideo();                                        // SDL video once per process; false when it cannot
void SetBackBufferSize(HWND hWnd, int width, int height); // the device's back buffer, for mouse mapping
void GetDrawableSize(HWND hWnd, int* width, int* height);
PresentRect WindowPresentRect(HWND hWnd); // where the back buffer lands in the drawable

// Gamepads (gamepad.cpp): the controller subsystem, its events as key messages, held-arrow repeat.
void StartGamepads();
void TranslatePadEvent(const SDL_Event& e, bool deviceInputIgnored);
void RepeatPadKeys(DWORD nowMs);
// Queues a key message for the first window (the pads have no window of their own).
void QueueKey(UINT vk, bool down, bool repeat);

} // namespace velmora::detail
