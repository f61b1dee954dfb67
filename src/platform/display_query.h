// What the display settings dialog asks of the machine before the game's own window exists:
// the full-screen modes, the desktop's mode, the video memory and the usable full-screen formats. Each call
// starts and stops the SDL subsystem it needs.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/d3d8.h"

namespace velmora {

// Modes of display 0 in increasing size (width, height, bit depth, refresh rate), as an adapter
// enumerates them, and the desktop's current mode; false when the video system cannot start.
bool QueryDisplayModes(std::vector<D3DDISPLAYMODE>& modes, D3DDISPLAYMODE& desktop);

// Total video memory in bytes: the GL driver's figure when it gives one, else cGenerousVideoMemory.
uint64_t QueryVideoMemory();
constexpr uint64_t cGenerousVideoMemory = uint64_t{256} << 20;

// True for the formats the device can present in full screen (the desktop's mode is never changed,
// the back buffer is scaled into it): X8R8G8B8, R5G6B5 and X1R5G5B5.
bool FullScreenFormatSupported(D3DFORMAT format);

// The D3D format of an SDL pixel format (D3DFMT_UNKNOWN when it has none).
D3DFORMAT D3DFormatOfSdlFormat(uint32_t sdlFormat);

} // namespace velmora
