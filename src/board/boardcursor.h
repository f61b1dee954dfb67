// The board cursor: play a level from the keyboard or a gamepad. A gold frame marks one playable
// cell; the arrows (and W A S D) move it, Space or Enter picks the chip under it, an arrow with a
// chip picked swaps it with that neighbour through the board's own move, Escape drops the pick.
// An armed hammer is aimed with the same frame. The frame hides while the mouse is used.
#pragma once

#include <cstdint>

#include "engine/basic.h"

namespace velmora {

class TNet;
class TColorRect;

// A cell the cursor may stand on: it exists and has a chip back (holes and blanks do not).
bool CursorCanStand(const TNet& net, int32_t x, int32_t y);
// Where the cursor starts: the board's centre, else the playable cell nearest to it; false when the
// board has no playable cell.
bool CursorHome(const TNet& net, int32_t& x, int32_t& y);
// One step from (x, y) in a direction (dx, dy of -1, 0, 1): the next playable cell on the straight
// line, jumping over holes; without one, the nearest playable cell ahead of the line. False (and
// x, y unchanged) when nothing lies that way.
bool CursorStep(const TNet& net, int32_t& x, int32_t& y, int32_t dx, int32_t dy);

// Keys of the board: a direction, pick/use, cancel, or none.
enum TCursorKey : uint8_t { bkNone, bkUp, bkDown, bkLeft, bkRight, bkPick, bkCancel };
TCursorKey CursorKeyOf(uint16_t key);

class TBoardCursor : public TMaster {
  public:
    TBoardCursor(); // hidden; publishes itself in BoardCursor
    ~TBoardCursor() override;
    const char* ClassName() const override { return "TBoardCursor"; }
    void StepMe() override; // hides on mouse use, pulses, follows its cell
    // A board key; false for keys that are not the board's (Escape without a pick or armed hammer).
    bool KeyDown(uint16_t key) override;

    // The keys lead: the frame is shown and the mouse has not been used since.
    bool KeysLead() const;
    // The pixel at the centre of the cursor's cell.
    void CentrePixel(int32_t& px, int32_t& py) const;

    int32_t X = 0, Y = 0;
    bool Shown = false;
    float Pulse = 0; // 0..1, the frame's brightness
    // Top, bottom, left, right bars: a dark line on the cell's rim (it parts the gold from gold
    // chips and the light water), then the pulsing gold inside it.
    TColorRect* Edge[8];

  private:
    bool BoardTakesKeys() const;
    void Reveal();
    void Move(int32_t dx, int32_t dy);
    void SwapPicked(int32_t dx, int32_t dy);
    void Pick();
    bool Cancel();
    void PlaceFrame();
};

extern TBoardCursor* BoardCursor;

// The pixel the player aims at: the cursor cell's centre while the keys lead, else the pointer.
// False when there is neither.
bool AimPixel(int32_t& px, int32_t& py);

} // namespace velmora
