// Game controllers over SDL: opened when plugged in, closed when pulled out, their buttons, D-pad
// and left stick queued as key messages for the game's window.
#include "platform/gamepad.h"

#include <cstdio>
#include <map>
#include <strings.h>

#include "platform/window_internal.h"

namespace velmora {

const TPadKey cPadKeys[pbCount] = {
    {pbA, "A", VK_RETURN},
    {pbB, "B", VK_ESCAPE},
    {pbX, "X", VK_F1},
    {pbY, "Y", VK_F2},
    {pbLeftShoulder, "LB", VK_F3},
    {pbRightShoulder, "RB", VK_F4},
    {pbStart, "start", VK_PAUSE},
    {pbBack, "back", VK_ESCAPE},
    {pbUp, "up", VK_UP},
    {pbDown, "down", VK_DOWN},
    {pbLeft, "left", VK_LEFT},
    {pbRight, "right", VK_RIGHT},
};

UINT PadButtonKey(TPadButton button) {
    return button < pbCount ? cPadKeys[button].Key : 0;
}

bool PadButtonFromName(std::string_view name, TPadButton& out) {
    for (const TPadKey& k : cPadKeys) {
        const std::string_view n = k.Name;
        if (n.size() == name.size() && strncasecmp(n.data(), name.data(), n.size()) == 0) {
            out = k.Button;
            return true;
        }
    }
    return false;
}

namespace {

// Simulated pad events carry this instance id so that ignoring the desk's input keeps them.
constexpr SDL_JoystickID cSimulatedPad = 0x56454C50;
// The stick counts as pushed beyond the first figure and as let go below the second.
constexpr int cStickPress = 16000, cStickRelease = 10000;
// A held arrow repeats after a pause, then steadily (milliseconds), as a held key does.
constexpr DWORD cRepeatDelay = 400, cRepeatEvery = 120;

std::map<SDL_JoystickID, SDL_GameController*> pads;

// Each arrow is held by the D-pad, the stick or both; its key goes down with the first and up
// with the last.
struct TArrow {
    bool Dpad = false, Stick = false;
    bool Down = false;
    DWORD NextRepeat = 0;
};
TArrow arrows[4]; // up, down, left, right
DWORD lastNow = 0;

int ArrowIndex(TPadButton b) {
    return b >= pbUp && b <= pbRight ? b - pbUp : -1;
}

void UpdateArrow(int i) {
    TArrow& a = arrows[i];
    const bool held = a.Dpad || a.Stick;
    if (held == a.Down) return;
    a.Down = held;
    a.NextRepeat = lastNow + cRepeatDelay;
    detail::QueueKey(cPadKeys[pbUp + i].Key, held, false);
}

// SDL's buttons that the game hears; the rest (guide, sticks pressed, paddles) are left alone.
struct TSdlButton {
    Uint8 Sdl;
    TPadButton Button;
};
constexpr TSdlButton cSdlButtons[] = {
    {SDL_CONTROLLER_BUTTON_A, pbA},
    {SDL_CONTROLLER_BUTTON_B, pbB},
    {SDL_CONTROLLER_BUTTON_X, pbX},
    {SDL_CONTROLLER_BUTTON_Y, pbY},
    {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, pbLeftShoulder},
    {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, pbRightShoulder},
    {SDL_CONTROLLER_BUTTON_START, pbStart},
    {SDL_CONTROLLER_BUTTON_BACK, pbBack},
    {SDL_CONTROLLER_BUTTON_DPAD_UP, pbUp},
    {SDL_CONTROLLER_BUTTON_DPAD_DOWN, pbDown},
    {SDL_CONTROLLER_BUTTON_DPAD_LEFT, pbLeft},
    {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, pbRight},
};

bool ButtonOf(Uint8 sdl, TPadButton& out) {
    for (const TSdlButton& b : cSdlButtons)
        if (b.Sdl == sdl) {
            out = b.Button;
            return true;
        }
    return false;
}

void PadButton(TPadButton b, bool down) {
    if (const int i = ArrowIndex(b); i >= 0) {
        arrows[i].Dpad = down;
        UpdateArrow(i);
        return;
    }
    detail::QueueKey(PadButtonKey(b), down, false);
}

// One axis of the left stick: its two arrows (negative first), with a dead zone between the figures.
void PadStick(int axis, int value) {
    const int neg = axis == 0 ? 2 : 0, pos = neg + 1;
    const bool wasNeg = arrows[neg].Stick, wasPos = arrows[pos].Stick;
    arrows[neg].Stick = value <= -cStickPress || (wasNeg && value <= -cStickRelease);
    arrows[pos].Stick = value >= cStickPress || (wasPos && value >= cStickRelease);
    UpdateArrow(neg);
    UpdateArrow(pos);
}

void OpenPad(int deviceIndex) {
    if (!SDL_IsGameController(deviceIndex)) return;
    SDL_GameController* c = SDL_GameControllerOpen(deviceIndex);
    if (!c) return;
    pads[SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(c))] = c;
}

// A pad pulled out lets go of whatever it held.
void ClosePad(SDL_JoystickID id) {
    const auto it = pads.find(id);
    if (it == pads.end()) return;
    SDL_GameControllerClose(it->second);
    pads.erase(it);
    for (int i = 0; i < 4; ++i) {
        arrows[i].Dpad = arrows[i].Stick = false;
        UpdateArrow(i);
    }
}

BOOL PushPadEvent(SDL_Event& e) {
    if (!SDL_WasInit(SDL_INIT_GAMECONTROLLER)) return FALSE;
    return SDL_PushEvent(&e) == 1 ? TRUE : FALSE;
}

} // namespace

int ConnectedPads() {
    return static_cast<int>(pads.size());
}

BOOL SimulatePadButton(HWND, TPadButton button, BOOL down) {
    static const Uint8 sdl[pbCount] = {SDL_CONTROLLER_BUTTON_A,
                                       SDL_CONTROLLER_BUTTON_B,
                                       SDL_CONTROLLER_BUTTON_X,
                                       SDL_CONTROLLER_BUTTON_Y,
                                       SDL_CONTROLLER_BUTTON_LEFTSHOULDER,
                                       SDL_CONTROLLER_BUTTON_RIGHTSHOULDER,
                                       SDL_CONTROLLER_BUTTON_START,
                                       SDL_CONTROLLER_BUTTON_BACK,
                                       SDL_CONTROLLER_BUTTON_DPAD_UP,
                                       SDL_CONTROLLER_BUTTON_DPAD_DOWN,
                                       SDL_CONTROLLER_BUTTON_DPAD_LEFT,
                                       SDL_CONTROLLER_BUTTON_DPAD_RIGHT};
    if (button >= pbCount) return FALSE;
    SDL_Event e{};
    e.type = down ? SDL_CONTROLLERBUTTONDOWN : SDL_CONTROLLERBUTTONUP;
    e.cbutton.which = cSimulatedPad;
    e.cbutton.button = sdl[button];
    e.cbutton.state = down ? SDL_PRESSED : SDL_RELEASED;
    return PushPadEvent(e);
}

BOOL SimulatePadStick(HWND, int axis, int value) {
    SDL_Event e{};
    e.type = SDL_CONTROLLERAXISMOTION;
    e.caxis.which = cSimulatedPad;
    e.caxis.axis = static_cast<Uint8>(axis == 0 ? SDL_CONTROLLER_AXIS_LEFTX : SDL_CONTROLLER_AXIS_LEFTY);
    e.caxis.value = static_cast<Sint16>(value < -32768 ? -32768 : value > 32767 ? 32767 : value);
    return PushPadEvent(e);
}

int SimulatePadPlugIn() {
    if (!SDL_WasInit(SDL_INIT_GAMECONTROLLER)) return -1;
    return SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                     SDL_CONTROLLER_BUTTON_MAX, 0);
}

BOOL SimulatePadPullOut(int deviceIndex) {
    return SDL_JoystickDetachVirtual(deviceIndex) == 0 ? TRUE : FALSE;
}

namespace detail {

// Without the controller subsystem the game simply has no pads.
void StartGamepads() {
    if (SDL_WasInit(SDL_INIT_GAMECONTROLLER)) return;
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0)
        std::fprintf(stderr, "SDL game controllers: %s\n", SDL_GetError());
}

void TranslatePadEvent(const SDL_Event& e, bool deviceInputIgnored) {
    switch (e.type) {
    case SDL_CONTROLLERDEVICEADDED:
        OpenPad(e.cdevice.which);
        break;
    case SDL_CONTROLLERDEVICEREMOVED:
        ClosePad(e.cdevice.which);
        break;
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP: {
        TPadButton b;
        if (deviceInputIgnored && e.cbutton.which != cSimulatedPad) break;
        if (ButtonOf(e.cbutton.button, b)) PadButton(b, e.type == SDL_CONTROLLERBUTTONDOWN);
        break;
    }
    case SDL_CONTROLLERAXISMOTION:
        if (deviceInputIgnored && e.caxis.which != cSimulatedPad) break;
        if (e.caxis.axis == SDL_CONTROLLER_AXIS_LEFTX) PadStick(0, e.caxis.value);
        if (e.caxis.axis == SDL_CONTROLLER_AXIS_LEFTY) PadStick(1, e.caxis.value);
        break;
    default:
        break;
    }
}

void RepeatPadKeys(DWORD nowMs) {
    lastNow = nowMs;
    for (int i = 0; i < 4; ++i) {
        TArrow& a = arrows[i];
        if (!a.Down || nowMs < a.NextRepeat) continue;
        a.NextRepeat = nowMs + cRepeatEvery;
        QueueKey(cPadKeys[pbUp + i].Key, true, true);
    }
}

} // namespace detail

} // namespace velmora
