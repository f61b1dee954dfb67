// The main menu: the underwater scene, the panel with Start / Options / High scores / About / Exit,
// and the welcome label naming the current player (a click on it opens the player list).
#pragma once

#include <cstdint>

#include "app/input.h"
#include "ui/w_menu.h"

namespace velmora {

class TTexLabelEx;

// Set when a help window opens; cleared whenever the main menu opens, so that the help is offered
// once per visit before a level.
extern bool HelpShownThisVisit;

class TNameLabel : public TMaster {
  public:
    TNameLabel();
    ~TNameLabel() override;

    void MouseProc() override; // a left click on the label reports to the menu
    bool MouseOver() override;
    const char* ClassName() const override { return "TNameLabel"; }

    void SetName(const std::string& name);

    TTexLabelEx* WelcomeLine = nullptr;
    TTexLabelEx* NameLine = nullptr;
    TTexLabelEx* HintLine = nullptr;
};

// The idle demo starts after the main menu has been this long without the player's input and
// without a dialog or child window open (Delta units: 60 s).
constexpr float cIdleDemoDelay = 3600;

enum TMainQuestion : uint8_t { mqNone = 0, mqContinue = 1, mqDeleteProgress = 2, mqExit = 3 };

class TW_MenuMain : public TW_Menu {
  public:
    TW_MenuMain();
    ~TW_MenuMain() override;

    bool KeyDown(uint16_t key) override;
    void MouseProc() override;
    void StepMe() override;
    const char* ClassName() const override { return "TW_MenuMain"; }

    bool CanInteract() override;
    void CreateContent() override;
    void OnButtonUp(TBasic* sender, int32_t index) override;
    void OnDialogButtonUp(TBasic* sender, int32_t index) override;
    void OnMouseButtonUp(TBasic* sender, int32_t index) override;

    // The label follows the current player: removed without one, else created or renamed.
    void RefreshNameLabel();
    void OpenPlayerList(bool startMode);

    TW_Dialog* Dialog = nullptr;
    uint8_t Question = mqNone;
    float IdleTime = 0;     // Delta units without input on the bare menu
    TPlayerInput SeenInput; // the player's input counts at the last step

  private:
    bool BareMenu();
    void CountIdleTime();
    void Ask(uint8_t question, uint8_t kind, const char* title, const char* subtitle);
    void AnswerContinue(int32_t index);
    void StartNewGame();
    void CloseAndStartPlaying();
};

extern TW_MenuMain* MainMenu;
extern TNameLabel* NameLabel;

// True when CurrentPlayer names one of the players in the list.
bool HasCurrentPlayer();

TBasic* CreateMenuMain();

} // namespace velmora
