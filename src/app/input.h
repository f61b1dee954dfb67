// Mouse and keyboard as the game sees them: window messages fill them between frames, the scene
// polls them during its step, and UpdateInput clears the one-frame events after the step.
#pragma once

#include <bitset>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "platform/dinput8.h"
#include "platform/win32.h"

namespace velmora {

// A rectangle in pixels given by its corner and size.
struct TPixelRect {
    int32_t Left = 0, Top = 0, Width = 0, Height = 0;
};

enum TMouseEvent : uint8_t { meNone = 0, mePressed = 1, meReleased = 2 };

class TMyMouse {
  public:
    void SetButton(UINT message); // WM_[LR]BUTTON{DOWN,UP}
    void SetPosition(int32_t x, int32_t y);

    bool Pressed(int button) const { return Event(button) == mePressed; } // 0 left, 1 right
    bool Released(int button) const { return Event(button) == meReleased; }
    bool IsDown(int button) const { return button == 0 ? LeftDown : RightDown; }
    bool ButtonChangedNow() const;
    bool MovedNow() const;
    POINT GetPoint() const { return POINT{X, Y}; }
    float WorldX() const;
    float WorldY() const;
    // Left and top edges belong to the area, Left + Width and Top + Height do not.
    bool InRect(const TPixelRect& r) const { return InArea(r.Left, r.Top, r.Width, r.Height); }
    bool InArea(int32_t left, int32_t top, int32_t width, int32_t height) const;
    void ReadCursor(HWND wnd);

    bool LeftDown = false, RightDown = false;
    uint8_t LeftEvent = meNone, RightEvent = meNone;
    int32_t MoveFrame = -1;
    int32_t ButtonFrame = -1;
    int32_t X = 0, Y = 0;

  private:
    uint8_t Event(int button) const { return button == 0 ? LeftEvent : RightEvent; }
};

extern TMyMouse* Mouse;
extern IDirectInput8* DInput; // created as a requirement; nothing is read through it
// Virtual-key codes that are down (kept by the window procedure).
extern std::bitset<256> PressedKeys;

// The player's own input, counted by the window procedure: messages that the program sends itself
// (the idle demo's bot) are sent inside a TOwnInputScope and count as nothing.
struct TPlayerInput {
    uint32_t Presses = 0; // keys and mouse buttons going down
    uint32_t Moves = 0;   // pointer moves
};
extern TPlayerInput PlayerInput;
void NotePlayerInput(UINT message);
// True while the program's own messages are being sent.
bool OwnInputNow();
class TOwnInputScope {
  public:
    TOwnInputScope();
    ~TOwnInputScope();
    TOwnInputScope(const TOwnInputScope&) = delete;
    TOwnInputScope& operator=(const TOwnInputScope&) = delete;
};

HRESULT InitInput(HWND wnd); // creates the DirectInput object and Mouse
void DoneInput();
void UpdateInput(); // after the scene's step: this frame's button events are spent

using TKeySet = std::initializer_list<UINT>;
bool KeysExactly(TKeySet keys); // exactly these keys are down, no more, no fewer
bool AnyKeyOf(TKeySet keys);

enum TLanguage : int32_t { lgEnglish = 0, lgRussian = 1, lgGerman = 2 };
// The unshifted character of a key in a language's layout (single byte of its code page); false
// when the key types nothing or the character is not in `allowed`.
bool KeyToChar(UINT virtualKey, int32_t shift, int32_t language, std::string_view allowed, char& out);
// The layout table itself: 0 when the key types nothing.
unsigned char LayoutChar(UINT virtualKey, int32_t language);

} // namespace velmora
