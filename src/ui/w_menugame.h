// The in-game menu the game window opens while paused: resume, restart (costs a life), options, save
// and exit.
#pragma once

#include "ui/w_menu.h"

namespace velmora {

// What the in-game menu asks of the game window under it.
class TGameMenuOwner {
  public:
    virtual ~TGameMenuOwner() = default;
    virtual void Resume() = 0;
    virtual void LoseLife() = 0;
    virtual void RestartLevel() = 0;
    virtual void SaveAndExit() = 0; // progress saved, main menu, the game window ends
};

class TW_MenuGame : public TW_Menu {
  public:
    explicit TW_MenuGame(TGameMenuOwner* owner);
    ~TW_MenuGame() override;

    bool KeyDown(uint16_t key) override;
    const char* ClassName() const override { return "TW_MenuGame"; }
    bool CanInteract() override;
    void CreateContent() override;
    void OnButtonUp(TBasic* sender, int32_t index) override;
    void OnDialogButtonUp(TBasic* sender, int32_t index) override;

    void AnswerRestart();
    void AnswerSaveAndExit();

    TGameMenuOwner* Owner = nullptr;
    TW_Dialog* Dialog = nullptr;
    int32_t Asked = 0; // 1 restart question, 3 save-and-exit question
};

extern TW_MenuGame* GameMenu;

} // namespace velmora
