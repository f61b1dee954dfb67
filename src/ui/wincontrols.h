// The controls of the menu windows: image buttons driven by mouse and arrow keys, check boxes,
// track bars, scroll bars and the one-line text input. Controls read the mouse from Mouse, ask
// VisMouse for the hand cursor and report to their window (TW_Menu handlers) or an event procedure.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "app/input.h"
#include "engine/basic.h"

namespace velmora {

class TIndexedTextureFont;
class TTexLabelEx;
class TTexRect;
class TTexRect256;
class TColorRect;
class TTexMultiRect;
class TVisual;
class TW_Menu;

class TMenuControl : public TMaster {
  public:
    void Step() override;          // the TMaster step, then UpdateCursor
    void UpdateHoverMe() override; // MouseOver
    const char* ClassName() const override { return "TMenuControl"; }

    // Hand cursor (1) while hovered, pressed hand (2) while the left button is held over it; only
    // when the control's window holds the focus.
    void RequestHandCursor();
};

enum TButtonState : uint8_t { bsNormal = 0, bsActive = 1, bsPressed = 2, bsDisabled = 3 };
enum TMoveDirection : uint8_t { mdRight = 0, mdUp = 1, mdLeft = 2, mdDown = 3 };

struct TButtonRec {
    TTexRect* Image = nullptr; // frame BaseFrame + State of the button picture
    TPixelRect Rect;
    uint8_t State = bsNormal;
    int32_t BaseFrame = 0;
    TTexLabelEx* Label = nullptr;
    std::string Caption; // the caption's text key, as the button was created with it
    bool Created = false;
};

// How a button looks in one state: label colour and size (scale), label offset in pixels.
struct TButtonLook {
    uint32_t Color = 0xFFFFFFFF;
    float Size = 1.0f;
    int32_t OffsetX = 0, OffsetY = 0;
};

constexpr int32_t cMaxButtons = 128;
// Button pictures hold their state frames one under the other (four frames of 64 pixels in 256).
constexpr int32_t cButtonFramesPerTexture = 4;
// The framework's default button picture and sizes.
constexpr int32_t cDefaultButtonTex = 51; // "\Textures\MainMenu_ButtonBig.tga"
constexpr int32_t cDefaultButtonWidth = 246;
constexpr int32_t cWideButtonWidth = 182;
constexpr int32_t cDefaultButtonHeight = 50;

class TButtonMaster : public TMenuControl {
  public:
    TButtonMaster(intptr_t owner = 0, intptr_t ownerData = 0);

    bool KeyDown(uint16_t key) override;
    void MouseProc() override;
    bool MouseOver() override;
    void UpdateCursor() override;
    void StepMe() override;
    const char* ClassName() const override { return "TButtonMaster"; }

    // Index 0..127; the image (store texture `texId`, frames from `baseFrame`) covers `rect`; the
    // caption key is looked up in the text resources. Font nil: the default button font.
    bool CreateButton(int32_t index, const std::string& caption, const TPixelRect& rect,
                      int32_t texId = cDefaultButtonTex, int32_t baseFrame = 0,
                      TIndexedTextureFont* font = nullptr);
    void SetButtonState(int32_t index, uint8_t state);
    void SetButtonActive(int32_t index);
    void SetButtonPressed(int32_t index);
    int32_t ButtonAt() const; // under the mouse, or -1
    void ClearHover();
    void MoveActive(TMoveDirection dir);
    // The button an arrow would make active from `from`; -1 when none lies that way.
    int32_t ActiveAfter(int32_t from, TMoveDirection dir) const;
    // The button the first arrow activates when none is active; -1 when all are disabled.
    int32_t FirstEnabled() const;
    void SetLook(uint8_t state, const TButtonLook& look);
    bool Busy() const { return PressMode != 0; }
    bool ValidIndex(int32_t index) const;

    uint8_t PressMode = 0;
    float PressTime = 0;
    intptr_t Owner = 0, OwnerData = 0;
    bool Enabled = true;
    int32_t ActiveIndex = -1;
    int32_t Count = 0; // highest created index + 1
    TButtonRec ButtonList[cMaxButtons];
    TButtonLook Looks[4];
    bool LookImage = true, LookLabel = true, LookOffset = true;
    float PressDuration = 12.0f;
    float ReleaseMark = 6.0f;

  private:
    void ApplyLook(int32_t index);
    void ApplyLookAs(int32_t index, uint8_t state);
    void ReportRelease(int32_t index);
};

class TCheckBox : public TMenuControl {
  public:
    // The box's top-left corner at (px, py); the caption (a text key) to its right.
    TCheckBox(const std::string& caption, int32_t px, int32_t py, bool checked,
              TIndexedTextureFont* font = nullptr);

    void MouseProc() override;
    bool MouseOver() override;
    void UpdateCursor() override;
    const char* ClassName() const override { return "TCheckBox"; }

    void SetChecked(bool value);

    TTexLabelEx* Label = nullptr;
    TTexRect256* Mark = nullptr;    // "\Textures\Options_Mark.tga"
    TColorRect* BoxFrame = nullptr; // gold edge of the box
    TColorRect* Box = nullptr;      // the dark box the mark sits in
    TPixelRect MarkRect, LabelRect;
    bool Checked = false;
    bool Hover = false;
    std::function<void(TCheckBox*)> OnChange;
};

class TTrackBar : public TMenuControl {
  public:
    // The bar covers `rect` (pixels); the caption (a text key) sits above its left end.
    TTrackBar(const std::string& caption, const TPixelRect& rect, TIndexedTextureFont* font = nullptr);

    void MouseProc() override;
    bool MouseOver() override;
    void UpdateCursor() override;
    const char* ClassName() const override { return "TTrackBar"; }

    void SetValue(float v); // clamped to 0..1; moves the knob, then OnChange
    float ValueAtPixel(int32_t x) const;

    float Value = 0.5f;
    TPixelRect Rect;
    uint8_t Dragging = 0;
    TTexRect* Knob = nullptr; // texture 70
    TTexRect* Bar = nullptr;  // texture 71
    TTexLabelEx* Caption = nullptr;
    std::function<void(TTrackBar*)> OnChange;
};

// A vertical scroll bar from a ".dscr" description of nine pieces: up arrow, down arrow and thumb,
// each normal, hovered and pressed. The track runs from the up arrow's bottom to the down arrow's top.
class TScrollBar : public TMenuControl {
  public:
    // `texId`: the store texture of the atlas (the artefacts window's controls by default).
    explicit TScrollBar(const std::string& dscrFile, int32_t texId = 78);

    void MouseProc() override;
    bool MouseOver() override;
    void UpdateCursor() override;
    void StepMe() override;
    const char* ClassName() const override { return "TScrollBar"; }

    void SetPosition(float p); // clamped to 0..1; reported through OnChange when it changed
    void PlaceThumb();
    float PositionAtPixel(int32_t y) const; // thumb centred on y

    TTexMultiRect* Pieces = nullptr;
    TPixelRect UpRect, DownRect, ThumbRect; // ThumbRect follows Position
    int32_t TrackTop = 0, TrackLength = 0;
    float Position = 0;
    float ArrowStep = 0.01f; // per Delta while an arrow is held
    bool Dragging = false;
    int8_t ArrowHeld = 0; // -1 up, 1 down, 0 none
    std::function<void(TScrollBar*)> OnChange;
};

class TTextInput : public TMaster {
  public:
    // The text's left edge at (px, py) (vertical centre of the line); font nil: PlayerFont_Yellow.
    TTextInput(int32_t px, int32_t py, int32_t maxLength, TIndexedTextureFont* font = nullptr);

    bool KeyDown(uint16_t key) override;
    void StepMe() override; // the caret blinks: 20 Delta on, 20 off
    const char* ClassName() const override { return "TTextInput"; }

    void SetText(const std::string& text); // cut to MaxLength; caret at the end
    bool InsertChar(char c);               // false when the text is full
    std::string AcceptedChars() const;     // the label font's characters
    void Refresh();                        // label text and caret place
    // Letters without letter keys (a gamepad): Up and Down turn the letter before the caret through
    // the row of accepted letters (past either end it goes); Right after a turned last letter adds
    // the next one.
    void TurnLetter(int32_t step);
    std::string LetterRow() const;

    int32_t CaretPos = 0;
    int32_t MaxLength = 11;
    std::string Text;
    TTexRect* Caret = nullptr; // texture 72
    TTexLabelEx* Label = nullptr;
    int32_t Language = -1; // -1: the language of the text resources
    int32_t PixelLeft = 0, PixelY = 0;
    bool Turning = false; // the last letter came from Up or Down
};

} // namespace velmora
