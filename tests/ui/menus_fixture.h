// The menu windows over the ui-framework fixture: window requests are caught by stand-in windows
// that record their codes, so a test sees where a screen sends the player.
#pragma once

#include <filesystem>
#include <vector>

#include "app/gamedat.h"
#include "app/options.h"
#include "engine/group.h"
#include "ui/w_menu.h"
#include "ui/wincontrols.h"
#include "uiframe_fixture.h"

namespace velmora::testing {

// The codes the scene group opened, in order.
inline std::vector<int> OpenedCodes;

template <int Code> class TStandIn : public TW_Win {
  public:
    TStandIn() { OpenedCodes.push_back(Code); }
    const char* ClassName() const override { return "TStandIn"; }
};
template <int Code> TBasic* MakeStandIn() {
    return new TStandIn<Code>();
}

class TMenusTest : public TUiFrameTest {
  protected:
    void SetUp() override {
        TUiFrameTest::SetUp();
        // Screen captures of window switches stay in the scratch folder (a waiting capture would
        // also start a passage effect over the next window).
        std::filesystem::create_directories(Dir / "Textures");
        Paths.Textures = (Dir / "Textures").string();
        OpenedCodes.clear();
        for (auto [code, factory] : {std::pair<uint8_t, TWindowFactory>{3, MakeStandIn<3>},
                                     {4, MakeStandIn<4>},
                                     {5, MakeStandIn<5>},
                                     {6, MakeStandIn<6>},
                                     {11, MakeStandIn<11>},
                                     {15, MakeStandIn<15>}})
            RegisterWindow(code, factory);
    }

    // Players named as given, the first one current; each record as a new player has it.
    void MakePlayers(std::initializer_list<const char*> names) {
        GameDat.PlayerCount = 0;
        for (const char* name : names) {
            GameDat.PlayerCount += 1;
            ClearPlayer(GameDat.PlayerCount);
            GameDat.Players[GameDat.PlayerCount - 1].Name.Set(name);
        }
        GameDat.CurrentPlayer = GameDat.PlayerCount > 0 ? 1 : 0;
    }

    template <class W> W* Open(W* window) {
        Group->AddWindow(window);
        return window;
    }

    // Presses a button the way the keyboard does and waits for its report (the press may close the
    // window, and the set with it).
    void PressButton(TButtonMaster* set, int index) {
        set->SetButtonPressed(index);
        for (int i = 0; i < 60 && InScene(set) && set->Busy(); ++i)
            Frame();
        Frame();
    }
    void Answer(TW_Dialog* dialog, int index) {
        ASSERT_NE(dialog, nullptr);
        PressButton(dialog->Buttons, index);
    }
    // Capitals: Shift is held while the letters' keys go down.
    void Type(const char* text) {
        PressedKeys[VK_SHIFT] = true;
        for (const char* c = text; *c; ++c)
            Key(static_cast<uint16_t>(*c));
        PressedKeys[VK_SHIFT] = false;
    }
};

} // namespace velmora::testing
