// The display settings dialog's logic: the adapter's mode table, the controls' contents and
// selections, and the questions asked on leaving. A view (GTK, in the platform layer) mirrors the
// controls and forwards the player's changes; tests drive this class without any display.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/options.h"
#include "platform/d3d8.h"

namespace velmora {

// What the dialog learns of the machine. The real one asks the platform layer; tests give a fake.
class TSettingsSystem {
  public:
    virtual ~TSettingsSystem() = default;
    // The adapter's full-screen modes in its own order and the desktop's mode; false when the
    // display system cannot start.
    virtual bool DisplayModes(std::vector<D3DDISPLAYMODE>& modes, D3DDISPLAYMODE& desktop) = 0;
    virtual uint64_t VideoMemory() = 0;                           // bytes
    virtual bool FullScreenFormatSupported(D3DFORMAT format) = 0; // as display and back-buffer format
    virtual bool ProbeSound() = 0;                                // the sound library starts here
};

struct TDepthEntry {
    int32_t BitDepth = 0;
    std::vector<uint32_t> Rates; // Hz, order of first appearance
};

struct TResolutionEntry {
    uint32_t Width = 0, Height = 0;
    std::vector<TDepthEntry> Depths;
};

constexpr size_t cMaxResolutions = 128;
constexpr size_t cMaxDepths = 16;
constexpr size_t cMaxRates = 128;

// A drop-down list or combo box as the dialog sees it.
struct TListControl {
    std::vector<std::string> Items;
    int ItemIndex = -1; // -1: nothing selected (or free text typed into an editable combo)
    bool Enabled = true;

    void Clear();
    bool Selected() const { return ItemIndex >= 0 && ItemIndex < static_cast<int>(Items.size()); }
    int32_t SelectedNumber() const; // the selected item read as a number; 0 when none
};

// Controls that raise change notifications (and may hold the keyboard focus).
enum TSettingsControlId {
    ciNone,
    ciCustom,
    ciDesktop,
    ciModeList,
    ciDepthList,
    ciRateList,
    ciAdvancedOptions,
    ciSpiralType,
    ciSpiralCount,
    ciBlendMode,
};

enum TPick { pkFirst, pkLast };

enum TSettingsQuestion { sqNone, sqSaveAndExit, sqExitWithoutSaving, sqSaveChanges };
enum TSettingsAnswer { saYes, saNo, saCancel };

// One step of leaving the dialog: a question to ask (then Answer), or whether the dialog closes.
struct TCloseStep {
    TSettingsQuestion Ask = sqNone;
    bool Close = false;
};

const char* QuestionText(TSettingsQuestion q);
bool QuestionHasCancel(TSettingsQuestion q); // Yes/No/Cancel instead of Yes/No

class TForm1 {
  public:
    explicit TForm1(TSettingsSystem& system);

    // Set-up; false when the display system is missing (Messages then say why and the dialog closes).
    bool OnCreate();

    // The player changed a control to Value (item index, or 1/0 for a check or radio button).
    void ControlChanged(TSettingsControlId control, int value);
    TCloseStep bOkClick();
    TCloseStep bCancelClick();
    TCloseStep OnClose();
    TCloseStep Answer(TSettingsAnswer answer);
    void OnHelp();

    void EnumerateModes();
    void AddMode(const D3DDISPLAYMODE& mode);
    void FillModeList();
    void FillDepthList(bool fromDesktop, TPick pick);
    void FillRateList(bool fromDesktop, TPick pick);
    void ChooseDisplayFormat();
    void SelectDesktopMode();
    void SelectSavedMode(int32_t width, int32_t height, int32_t format, int32_t refreshRate);
    void CollectOptions(TOptionsRec& rec);
    bool OptionsChanged();
    void UpdateDialog(TSettingsControlId focus = ciNone);
    bool ProbeSound();
    void SettingsClick();
    void Save();

    static int32_t FormatBitDepth(int32_t format);

    // Controls.
    std::string Caption;
    bool rbCustom = false, rbDesktop = false;
    TListControl ModeListBox, PixelDepthBox, RefreshRateBox;
    bool cbAdvancedOptions = false;
    TListControl SpiralType, SpiralCount, BlendMode; // their labels follow their Enabled

    // Dialog state.
    uint32_t Adapter = 0;
    D3DDISPLAYMODE DesktopMode{};
    uint64_t VideoMemory = 0;
    std::vector<TResolutionEntry> Modes;
    bool AskOnClose = true;
    int32_t ChosenFormat = 0;
    std::vector<std::string> Messages; // information boxes to show, oldest first; the view empties it

  private:
    TSettingsSystem& System;
    std::vector<D3DDISPLAYMODE> AdapterModes;
    TSettingsQuestion Pending = sqNone;

    const TResolutionEntry* SelectedResolution() const;
    void SetPreset(int32_t preset);
    void LoadSavedControls();
    void LoadDefaultControls();
};

// Splits a mode item "1024x768" into its two numbers (0 when absent).
void ParseModeItem(const std::string& item, int32_t& width, int32_t& height);

} // namespace velmora
