// The display settings dialog's desktop window (GTK 3): controls, captions and layout only. It
// shows what its owner hands it and reports what the player does; it decides nothing itself.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace velmora {

enum TSettingsViewControl {
    svCustom,
    svDesktop,
    svModeList,
    svDepthList,
    svRateList,
    svAdvancedOptions,
    svSpiralType,
    svSpiralCount,
    svBlendMode,
    svOk,
    svCancel,
    svControlCount
};

struct TSettingsViewList {
    std::vector<std::string> Items;
    int ItemIndex = -1; // -1: nothing selected
    bool Enabled = true;
};

// Everything the window shows. Neither radio button checked is allowed.
struct TSettingsViewState {
    std::string Caption;
    bool Custom = false, Desktop = false;
    TSettingsViewList Modes, Depths, Rates;
    bool AdvancedOptions = false;
    TSettingsViewList SpiralType, SpiralCount, BlendMode; // their labels follow SpiralType.Enabled
};

enum TSettingsViewAnswer { svaYes, svaNo, svaCancel };

// What the player did. Changes made through Show are never reported.
class TSettingsViewEvents {
  public:
    virtual ~TSettingsViewEvents() = default;
    // value: the new item index (-1 after typing into an editable combo), or 1/0 for a button's check
    virtual void Changed(TSettingsViewControl control, int value) = 0;
    virtual void OkClicked() = 0;
    virtual void CancelClicked() = 0;
    virtual bool CloseRequested() = 0; // the window's close command; true lets it close
    virtual void HelpRequested() = 0;  // F1
};

class TSettingsView {
  public:
    TSettingsView();
    ~TSettingsView();
    TSettingsView(const TSettingsView&) = delete;
    TSettingsView& operator=(const TSettingsView&) = delete;

    static bool StartToolkit(); // false without a display; keeps the C locale for numbers
    void Open(TSettingsViewEvents& events, const TSettingsViewState& state); // centred on the screen
    void Show(const TSettingsViewState& state);
    void Run();   // returns once the window is closed
    void Close(); // closes without asking anything
    bool IsOpen() const;

    TSettingsViewAnswer Ask(const std::string& text, bool withCancel); // Yes/No(/Cancel) question
    void Inform(const std::string& text);                              // OK box; "\r" breaks lines

    struct TImpl;

  private:
    std::unique_ptr<TImpl> Impl;
};

// ---- Test switches -----------------------------------------------------------------------------

// With an answer set, questions and information boxes are not shown: questions get that answer.
void SetSettingsViewAutoAnswer(std::optional<TSettingsViewAnswer> answer);
const std::vector<std::string>& SettingsViewMessages(); // text of every question and box, in order
void ClearSettingsViewMessages();

// Runs once, from the toolkit's idle loop, after the next window has been shown.
void SetSettingsViewTestScript(std::function<void()> script);

// Act on the open window as the player would (the change notifications are raised); false when no
// window is open or the control does not fit the action.
bool SettingsViewTestSelect(TSettingsViewControl control, int index);
bool SettingsViewTestClick(TSettingsViewControl control); // buttons, radio buttons, the check box
bool SettingsViewTestCloseWindow();                       // the title bar's close command
bool SettingsViewTestDestroy();                           // gone without any question
std::string SettingsViewTestCaption();
std::vector<std::string> SettingsViewTestItems(TSettingsViewControl control);
int SettingsViewTestSelected(TSettingsViewControl control);
bool SettingsViewTestEnabled(TSettingsViewControl control);

} // namespace velmora
