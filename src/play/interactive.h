// Interactive help during a level: the master looks at the board every half second and opens a
// speech bubble the first time the player meets a move, a slice, a wall, a chain or a bonus; the
// panels call it when the time runs low or an item arrives. One flag per message in the player's
// record keeps a message once seen from coming back.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "board/collaborators.h"
#include "engine/basic.h"

namespace velmora {

class TTexRect;
class TTexRecter;
class TTexLabelEx;

// Indices into the player's HelpShown.
enum THelpTopic : int32_t {
    htTwoHor = 0,
    htError = 2,
    htLowTime = 3,
    htArtSlices = 4,
    htLastSliceArmed = 5,
    htLastSlice = 6,
    htWall = 7,
    htLock1 = 8,
    htLock2 = 9,
    htBonusBase = 9,     // + code 1..8
    htVisBonusBase = 17, // + code 1..4
    htBonusXX = 22,
};

// Which side of the arrow point the bubble lies on.
enum TArrowDir : uint8_t { adLeft = 0, adBelow = 1, adRight = 2, adAbove = 3 };

struct TBubbleBox {
    int32_t Left = 0, Top = 0, Width = 0, Height = 0; // pixels
};

// The bubble's box for a text block of textW x textH pixels pointing at (x, y).
TBubbleBox BubbleBox(int32_t textW, int32_t textH, uint8_t dir, int32_t x, int32_t y);

// The bob of the arrow along its axis, in pixels, at an age in Delta units.
float ArrowBob(float age);

class TInteractiveHelp : public TStater {
  public:
    // hideArrow: the error bubble stands without its arrow.
    TInteractiveHelp(const std::string& text, uint8_t arrowDir, int32_t y, int32_t x, bool hideArrow = false);
    ~TInteractiveHelp() override;
    void Step() override;
    void Render() override;
    bool MouseOver() override;
    const char* ClassName() const override { return "TInteractiveHelp"; }

    void Close(); // to the fade out (from the alpha reached when still fading in)
    void SetAlpha(float alpha);
    bool OverButton() const;

    std::string Key; // the message's text key
    TTexRecter* Frame = nullptr;
    TTexLabelEx* TextLabel = nullptr;
    TTexLabelEx* ButtonLabel = nullptr;
    int32_t ArrowX = 0, ArrowY = 0;
    uint8_t ArrowDir = 0;
    TTexRect* Arrow = nullptr;
    uint8_t FrameAlpha[11] = {};
    TBubbleBox Box;
    int32_t ButtonLeft = 0, ButtonTop = 0;
    uint8_t ButtonLook = 0; // 0 normal, 1 hover, 2 pressed
    float Alpha = 0;

  private:
    // What the board and the level window see as the global Help while this bubble is open.
    class TLink : public THelp {
      public:
        explicit TLink(TInteractiveHelp* owner) : Owner(owner) {}
        bool MouseOver() override { return Owner->MouseOver(); }
        TInteractiveHelp* Owner;
    };
    std::unique_ptr<TLink> Link;

    void BuildFrame();
    void ApplyFrameColors();
    void PlaceArrow();
    void OnFadeIn(TStateEvent e);
    void OnOpen(TStateEvent e);
    void OnFadeOut(TStateEvent e);
};

// The open bubble (nil when none).
extern TInteractiveHelp* HelpBubble;
// Enter, Space or Escape close an open bubble as a click does (true: the key was taken).
bool CloseHelpBubbleByKey(uint16_t key);

class TInteractiveMaster : public TStater, public THelpMasterLink {
  public:
    TInteractiveMaster();
    ~TInteractiveMaster() override;
    const char* ClassName() const override { return "TInteractiveMaster"; }

    void ShowError(int32_t x1, int32_t y1, int32_t x2, int32_t y2) override;
    void LowTime() override;
    void VisBonusArrived(int32_t code) override;
    void BonusXXArrived(int32_t slot) override;
    void SliceArrived() override;

    void CheckBoard();
    void PointAtCell(int32_t topic, const std::string& key, int32_t x, int32_t y);

    // Text and flags, with the player's record as their home.
    static bool Shown(int32_t topic);
    static void SetShown(int32_t topic, bool value);
    // Closes the open bubble, then opens a new one.
    TInteractiveHelp* OpenBubble(const std::string& key, uint8_t dir, int32_t x, int32_t y,
                                 bool hideArrow = false);

  private:
    void OnWait(TStateEvent e);
    void OnWatch(TStateEvent e);
    void OnCheck(TStateEvent e);
    bool CheckMove();
    bool CheckSlices();
    bool FindCell(bool (*match)(const TCell&), bool bottomUpFromLast, int32_t& fx, int32_t& fy) const;
    bool CheckBonuses();
};

} // namespace velmora
