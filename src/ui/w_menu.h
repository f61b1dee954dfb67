// The window framework: every screen and every modal question box is a TW_Win in the scene's list.
// TW_Menu adds a panel, titles, a button set and the four handlers through which controls report;
// TW_Dialog is the small question box that answers its owner; TW_ExitDialog asks to leave the game.
#pragma once

#include <cstdint>
#include <string>

#include "engine/basic.h"

namespace velmora {

class TButtonMaster;
class TTexLabelEx;
class TVisual;

// The window an object lives in: the object itself when it is a window, else its nearest window
// ancestor; nil outside any window.
class TW_Win;
TW_Win* WindowOf(TBasic* obj);
// True when the focus object sits in this window and not inside a window nested in it (an open
// dialog takes the focus away from the screen under it).
bool WindowHoldsFocus(const TW_Win* window);
// The text of a key in the text resources; a key they lack (or plain text) is shown as given.
std::string TextOf(const std::string& key);

class TW_Win : public TStater {
  public:
    TW_Win(); // takes the keyboard: FocusObject := the new window
    const char* ClassName() const override { return "TW_Win"; }
};

class TW_Menu : public TW_Win {
  public:
    TW_Menu();
    // A window that has the focus (itself or a child) hands it to its Parent.
    ~TW_Menu() override;

    // Keys and mouse go to the button set by default; screens override these.
    bool KeyDown(uint16_t key) override;
    void MouseProc() override;
    // The mouse is read only by the window that holds the focus: MouseProc first, then the state
    // step (so a screen under an open dialog ignores the mouse).
    void Step() override;
    void StepMe() override; // nothing: screens animate through their states and children
    const char* ClassName() const override { return "TW_Menu"; }

    // 16: Title and Subtitle are text keys (empty: no label); offsets in pixels above the panel's top.
    virtual void SetTitles(const std::string& title, const std::string& subtitle, int32_t titleOffset,
                           int32_t subtitleOffset);
    virtual bool CanInteract();                                   // 17
    virtual void CreateContent();                                 // 18
    virtual void AfterContent();                                  // 19
    virtual void OnButtonUp(TBasic* sender, int32_t index);       // 20
    virtual void OnDialogButtonUp(TBasic* sender, int32_t index); // 21
    virtual void OnPanelUp(TBasic* sender, int32_t index);        // 22
    virtual void OnMouseButtonUp(TBasic* sender, int32_t index);  // 23

    // The panel picture from its own file, centred on the screen, added to the window.
    TVisual* CreatePanel(const std::string& fileName, int32_t block);
    // Panel geometry in pixels (the whole screen when there is no panel).
    int32_t PanelLeftPx() const;
    int32_t PanelTopPx() const;
    int32_t PanelWidthPx() const;
    int32_t PanelHeightPx() const;

    TTexLabelEx* TitleLabel = nullptr;
    TTexLabelEx* SubtitleLabel = nullptr;
    TVisual* Panel = nullptr; // TTexRect256 for the framework's panels; titles hang from its top
    TButtonMaster* Buttons = nullptr;

  protected:
    // The master the window was last stepped in: the list's removal clears Parent before the
    // destructor runs, and the focus still has to go back there.
    TMaster* KnownParent = nullptr;
    // Places a title label centred on the panel's X, its top `pixelsAbovePanel` above the panel's top.
    TTexLabelEx* MakeTitleLabel(const std::string& key, bool isTitle, int32_t pixelsAbovePanel);
};

// Dialog kinds: which buttons, left to right.
enum TDialogKind : uint8_t { dkOk = 0, dkYesNo = 1, dkOkCancel = 2, dkContinueNewGame = 3 };

class TW_Dialog : public TW_Menu {
  public:
    // The owner adds the dialog to its own list; `ownerRef` (may be nil) points at the owner's
    // variable that tells whether a dialog is open: set now, cleared when the dialog is destroyed.
    TW_Dialog(TW_Dialog** ownerRef, uint8_t kind, const std::string& title, const std::string& subtitle);
    ~TW_Dialog() override;

    bool KeyDown(uint16_t key) override;
    void MouseProc() override;
    const char* ClassName() const override { return "TW_Dialog"; }

    void SetTitles(const std::string& title, const std::string& subtitle, int32_t titleOffset,
                   int32_t subtitleOffset) override;
    void CreateContent() override;
    // Answers the owner (OnDialogButtonUp with the index), then the dialog ends itself.
    void OnButtonUp(TBasic* sender, int32_t index) override;

    uint8_t Kind = 0;
    TW_Dialog** OwnerRef = nullptr;
};

class TW_ExitDialog : public TW_Dialog {
  public:
    TW_ExitDialog();
    ~TW_ExitDialog() override; // focus back to what had it before, when that still exists

    void OnButtonUp(TBasic* sender, int32_t index) override; // Yes: the game ends after this frame
    const char* ClassName() const override { return "TW_ExitDialog"; }

    TBasic* PrevFocus = nullptr;

  private:
    explicit TW_ExitDialog(TBasic* prevFocus);
};

extern TW_ExitDialog* ExitDialog;
// Factory for the scene group: a new exit dialog, or nil while one is open.
TBasic* CreateExitDialog();

} // namespace velmora
