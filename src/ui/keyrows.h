// Keys for a window's own controls: Up and Down walk from control to control and on to the
// button set below them, Left and Right move a track bar, Enter or Space flips a check box. The
// control that has the keys is framed in gold; the frame goes while the mouse is used.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/basic.h"

namespace velmora {

class TButtonMaster;
class TTrackBar;
class TCheckBox;
class TColorRect;

constexpr float cTrackBarKeyStep = 0.05f; // one press of Left or Right

class TKeyRows : public TMaster {
  public:
    explicit TKeyRows(TButtonMaster* buttons);
    const char* ClassName() const override { return "TKeyRows"; }
    void StepMe() override;
    // False for the keys that belong to the button set (Left, Right, Enter on its row, and any
    // key before a row was chosen other than Up and Down).
    bool KeyDown(uint16_t key) override;

    void AddRow(TTrackBar* bar);
    void AddRow(TCheckBox* box);
    int32_t Rows() const { return static_cast<int32_t>(Bars.size()); }
    bool OnButtons() const { return Row == Rows(); }

    int32_t Row = -1; // -1 none chosen; Rows() the button set
    TColorRect* Edge[4] = {};

  private:
    void Choose(int32_t row);
    void Frame();

    TButtonMaster* Buttons;
    std::vector<TTrackBar*> Bars; // one entry per row, nil for a check box row
    std::vector<TCheckBox*> Boxes;
};

} // namespace velmora
