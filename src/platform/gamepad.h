// Gamepads through SDL's game-controller layer (its built-in mapping database, hot-plug): every
// button arrives as the key message the game already understands, so each window that answers the
// keyboard answers the pad. The D-pad and the left stick are the arrows and repeat while held.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/win32.h"

namespace velmora {

enum TPadButton : uint8_t {
    pbA,
    pbB,
    pbX,
    pbY,
    pbLeftShoulder,
    pbRightShoulder,
    pbStart,
    pbBack,
    pbUp,
    pbDown,
    pbLeft,
    pbRight,
    pbCount
};

struct TPadKey {
    TPadButton Button;
    const char* Name; // as a script names it ("A", "LB", "start", "up", ...)
    UINT Key;         // the virtual key it sends
};

// The mapping, one row per button in TPadButton order.
extern const TPadKey cPadKeys[pbCount];
UINT PadButtonKey(TPadButton button);
// A button by its script name, letter case ignored; false for an unknown name.
bool PadButtonFromName(std::string_view name, TPadButton& out);
// Game controllers open now.
int ConnectedPads();
// Pushes a pad button event as a controller makes it (tests); it arrives with the next messages,
// also while the desk's own input is ignored.
BOOL SimulatePadButton(HWND hWnd, TPadButton button, BOOL down);
// The same for the left stick's axes, -32768..32767 (0 x, 1 y).
BOOL SimulatePadStick(HWND hWnd, int axis, int value);
// Plugs in a virtual controller (SDL's own) as a pad is plugged in; its device index, or -1.
// Pulling it out again takes that index.
int SimulatePadPlugIn();
BOOL SimulatePadPullOut(int deviceIndex);

} // namespace velmora
