// The player list: "New player" and up to four names; OK picks the selected player (or asks a new
// one's name), Delete and Rename act on the selected player, Cancel puts back the player the list
// opened with. Opened from "Start" without a player (start mode), a chosen player starts playing.
// Opened by the scene group as a window of its own (code 13), it brings the menu background and
// closes into the main menu.
#pragma once

#include <cstdint>

#include "app/input.h"
#include "ui/w_menu.h"

namespace velmora {

class TTexLabelEx;
class TTexRect;
class TW_MenuName;

constexpr int32_t cPlayerRows = 5; // row 0 is the new-player choice

enum TPlayerQuestion : uint8_t { pqNone = 0, pqNotice = 1, pqDelete = 2 };

class TW_MenuPlayer : public TW_Menu {
  public:
    explicit TW_MenuPlayer(bool startMode, bool ownWindow = false);
    ~TW_MenuPlayer() override;

    bool KeyDown(uint16_t key) override;
    void MouseProc() override;
    const char* ClassName() const override { return "TW_MenuPlayer"; }

    bool CanInteract() override;
    void CreateContent() override;
    void OnButtonUp(TBasic* sender, int32_t index) override;
    void OnDialogButtonUp(TBasic* sender, int32_t index) override;

    static TPixelRect RowRect(int32_t panelLeft, int32_t panelTop, int32_t row);
    int32_t RowAtMouse() const; // -1 outside the shown rows

    void Select(int32_t row);
    void Rebuild(); // row captions from the player records, highlight on the selection
    void Accept();  // OK
    void Cancel();
    void AskDelete();
    void DeleteSelected(); // the question's yes
    void Rename();
    // The name window's answer: 0 OK, 1 Cancel.
    void OnNameAnswer(TW_MenuName* window, int32_t index);

    int32_t Selected = 0;
    bool StartMode = false;
    bool OwnWindow = false; // a window of the scene group, not a child of the main menu
    int32_t PlayerAtOpen = 0;
    TTexLabelEx* Rows[cPlayerRows] = {};
    TTexRect* Highlight = nullptr;
    TW_Dialog* Dialog = nullptr;
    TW_MenuName* NameWindow = nullptr;
    uint8_t Question = pqNone;

  private:
    void Close(); // the list ends; a window of its own hands over to the main menu
    void Notice(const char* title, const char* subtitle);
    void ApplyPlayerSettings(int32_t player);
    void CreatePlayer(const std::string& name);
    void ClickRow(int32_t row);
};

extern TW_MenuPlayer* PlayerMenu;
// Factory of window code 13: the list as a window of its own, not in start mode.
TBasic* CreateMenuPlayer();

// A name as stored: at most 11 characters. Empty (or blanks only) names are refused by the callers.
bool NameAcceptable(const std::string& name);

} // namespace velmora
