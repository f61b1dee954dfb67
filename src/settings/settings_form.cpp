#include "settings/settings_form.h"

#include <algorithm>

#include "app/log.h"
#include "app/textfile.h"
#include "platform/files.h"

namespace velmora {

namespace {

constexpr uint32_t cMinModeWidth = 800;
constexpr uint32_t cMinModeHeight = 600;
constexpr uint64_t cSmallVideoMemory = 0x400000; // below 4 MiB only 800 x 600 is offered

// Full-screen formats in order of preference; 32 bit starts at the first, 16 bit at R5G6B5.
constexpr D3DFORMAT cCandidateFormats[] = {D3DFMT_X8R8G8B8, D3DFMT_A8R8G8B8, D3DFMT_R5G6B5,  D3DFMT_X1R5G5B5,
                                           D3DFMT_A1R5G5B5, D3DFMT_X4R4G4B4, D3DFMT_A4R4G4B4};
constexpr size_t cFirst16BitCandidate = 2;

const char* const cSpiralTypes[] = {"First", "Second", "Third"};
const char* const cBlendModes[] = {"Bright", "Colored", "Combined"};
constexpr int cSpiralCounts = 8;

int IndexOrNone(int index, const TListControl& list) {
    return index >= 0 && index < static_cast<int>(list.Items.size()) ? index : -1;
}

int PickIndex(const TListControl& list, TPick pick) {
    if (list.Items.empty()) return -1;
    return pick == pkFirst ? 0 : static_cast<int>(list.Items.size()) - 1;
}

} // namespace

void TListControl::Clear() {
    Items.clear();
    ItemIndex = -1;
}

int32_t TListControl::SelectedNumber() const {
    return Selected() ? ParseInt(Items[ItemIndex]) : 0;
}

void ParseModeItem(const std::string& item, int32_t& width, int32_t& height) {
    const size_t x = item.find('x');
    width = ParseInt(item.substr(0, x));
    height = x == std::string::npos ? 0 : ParseInt(item.substr(x + 1));
}

const char* QuestionText(TSettingsQuestion q) {
    switch (q) {
    case sqSaveAndExit:
        return "Save changes end exit?";
    case sqExitWithoutSaving:
        return "Exit without saving?";
    case sqSaveChanges:
        return "Save changes?";
    case sqNone:
        break;
    }
    return "";
}

bool QuestionHasCancel(TSettingsQuestion q) {
    return q == sqSaveChanges;
}

int32_t TForm1::FormatBitDepth(int32_t format) {
    switch (static_cast<D3DFORMAT>(format)) {
    case D3DFMT_R8G8B8:
        return 24;
    case D3DFMT_A8R8G8B8:
    case D3DFMT_X8R8G8B8:
    case D3DFMT_A2B10G10R10:
    case D3DFMT_G16R16:
    case D3DFMT_X8L8V8U8:
    case D3DFMT_Q8W8V8U8:
    case D3DFMT_V16U16:
    case D3DFMT_W11V11U10:
    case D3DFMT_A2W10V10U10:
    case D3DFMT_D32:
    case D3DFMT_D24S8:
    case D3DFMT_D24X8:
    case D3DFMT_D24X4S4:
    case D3DFMT_VERTEXDATA:
    case D3DFMT_INDEX32:
    case D3DFMT_UYVY:
    case D3DFMT_YUY2:
    case D3DFMT_DXT1:
    case D3DFMT_DXT2:
    case D3DFMT_DXT3:
    case D3DFMT_DXT4:
    case D3DFMT_DXT5:
        return 32;
    case D3DFMT_R3G3B2:
    case D3DFMT_A8:
    case D3DFMT_P8:
    case D3DFMT_L8:
    case D3DFMT_A4L4:
        return 8;
    case D3DFMT_R5G6B5:
    case D3DFMT_X1R5G5B5:
    case D3DFMT_A1R5G5B5:
    case D3DFMT_A4R4G4B4:
    case D3DFMT_A8R3G3B2:
    case D3DFMT_X4R4G4B4:
    case D3DFMT_A8P8:
    case D3DFMT_A8L8:
    case D3DFMT_V8U8:
    case D3DFMT_L6V5U5:
    case D3DFMT_D16_LOCKABLE:
    case D3DFMT_D15S1:
    case D3DFMT_D16:
    case D3DFMT_INDEX16:
        return 16;
    default:
        return -99;
    }
}

TForm1::TForm1(TSettingsSystem& system) : System(system) {
    for (const char* s : cSpiralTypes)
        SpiralType.Items.emplace_back(s);
    for (int i = 1; i <= cSpiralCounts; ++i)
        SpiralCount.Items.push_back(std::to_string(i));
    for (const char* s : cBlendModes)
        BlendMode.Items.emplace_back(s);
}

// ---- Set-up ------------------------------------------------------------------------------------

bool TForm1::OnCreate() {
    AskOnClose = true;
    if (!System.DisplayModes(AdapterModes, DesktopMode)) {
        Log("uSettings.OnCreate : the display system did not start");
        Messages.push_back("Direct3D8 interface creation failed\rPlease, install DirectX 8.1 or higher");
        Messages.push_back("The application will now exit");
        return false;
    }
    VideoMemory = System.VideoMemory();
    EnumerateModes();
    if (ReadOptions())
        LoadSavedControls();
    else
        LoadDefaultControls();
    UpdateDialog();
    return true;
}

void TForm1::LoadSavedControls() {
    SetPreset(Options.Preset);
    cbAdvancedOptions = Options.AdvancedOpt;
    SpiralType.ItemIndex = IndexOrNone(Options.SpiralType, SpiralType);
    SpiralCount.ItemIndex = IndexOrNone(Options.SpiralCount - 1, SpiralCount);
    BlendMode.ItemIndex = IndexOrNone(Options.BlendMode, BlendMode);
    FillModeList();
    SelectSavedMode(Options.Width, Options.Height, Options.Format, Options.RefreshRate);
}

void TForm1::LoadDefaultControls() {
    Options = TOptionsRec{};
    FillModeList();
    SetPreset(1);
    SpiralType.ItemIndex = 1;  // "Second"
    SpiralCount.ItemIndex = 7; // "8"
    BlendMode.ItemIndex = 0;   // "Bright"
    SettingsClick();
}

// A radio button checked by the program behaves as one clicked: other values check neither.
void TForm1::SetPreset(int32_t preset) {
    rbCustom = preset == 0;
    rbDesktop = preset == 1;
    if (rbCustom || rbDesktop) SettingsClick();
}

void TForm1::EnumerateModes() {
    Modes.clear();
    const bool small = VideoMemory < cSmallVideoMemory;
    for (const D3DDISPLAYMODE& m : AdapterModes) {
        if (m.Width < cMinModeWidth || m.Height < cMinModeHeight) continue;
        if (small && (m.Width > cMinModeWidth || m.Height > cMinModeHeight)) continue;
        AddMode(m);
    }
}

void TForm1::AddMode(const D3DDISPLAYMODE& mode) {
    auto res = std::find_if(Modes.begin(), Modes.end(), [&](const TResolutionEntry& r) {
        return r.Width == mode.Width && r.Height == mode.Height;
    });
    if (res == Modes.end()) {
        if (Modes.size() >= cMaxResolutions) return;
        res = Modes.insert(Modes.end(), TResolutionEntry{mode.Width, mode.Height, {}});
    }
    const int32_t depth = FormatBitDepth(mode.Format);
    auto dep = std::find_if(res->Depths.begin(), res->Depths.end(),
                            [&](const TDepthEntry& d) { return d.BitDepth == depth; });
    if (dep == res->Depths.end()) {
        if (res->Depths.size() >= cMaxDepths) return;
        dep = res->Depths.insert(res->Depths.end(), TDepthEntry{depth, {}});
    }
    if (std::find(dep->Rates.begin(), dep->Rates.end(), mode.RefreshRate) != dep->Rates.end()) return;
    if (dep->Rates.size() < cMaxRates) dep->Rates.push_back(mode.RefreshRate);
}

// ---- Lists -------------------------------------------------------------------------------------

void TForm1::FillModeList() {
    const int remembered = ModeListBox.ItemIndex;
    ModeListBox.Clear();
    for (const TResolutionEntry& r : Modes) {
        if (r.Width > DesktopMode.Width || r.Height > DesktopMode.Height) continue;
        ModeListBox.Items.push_back(std::to_string(r.Width) + "x" + std::to_string(r.Height));
    }
    ModeListBox.ItemIndex = std::min(remembered, static_cast<int>(ModeListBox.Items.size()) - 1);
}

const TResolutionEntry* TForm1::SelectedResolution() const {
    if (!ModeListBox.Selected()) return nullptr;
    int32_t w = 0, h = 0;
    ParseModeItem(ModeListBox.Items[ModeListBox.ItemIndex], w, h);
    for (const TResolutionEntry& r : Modes)
        if (static_cast<int32_t>(r.Width) == w && static_cast<int32_t>(r.Height) == h) return &r;
    return nullptr;
}

void TForm1::FillDepthList(bool fromDesktop, TPick pick) {
    PixelDepthBox.Clear();
    const TResolutionEntry* res = SelectedResolution();
    if (!res) return;
    for (const TDepthEntry& d : res->Depths)
        PixelDepthBox.Items.push_back(std::to_string(d.BitDepth) + " bit");
    if (!fromDesktop) {
        PixelDepthBox.ItemIndex = PickIndex(PixelDepthBox, pick);
        return;
    }
    const int32_t desktopDepth = FormatBitDepth(DesktopMode.Format);
    for (size_t i = 0; i < res->Depths.size(); ++i)
        if (res->Depths[i].BitDepth == desktopDepth) PixelDepthBox.ItemIndex = static_cast<int>(i);
}

void TForm1::FillRateList(bool fromDesktop, TPick pick) {
    RefreshRateBox.Clear();
    const TResolutionEntry* res = SelectedResolution();
    if (!res || !PixelDepthBox.Selected() || PixelDepthBox.ItemIndex >= static_cast<int>(res->Depths.size()))
        return;
    const TDepthEntry& depth = res->Depths[PixelDepthBox.ItemIndex];
    for (uint32_t rate : depth.Rates)
        RefreshRateBox.Items.push_back(std::to_string(rate) + " Hz");
    if (!fromDesktop) {
        RefreshRateBox.ItemIndex = PickIndex(RefreshRateBox, pick);
        return;
    }
    for (size_t i = 0; i < depth.Rates.size(); ++i)
        if (depth.Rates[i] == DesktopMode.RefreshRate) RefreshRateBox.ItemIndex = static_cast<int>(i);
}

void TForm1::ChooseDisplayFormat() {
    const int32_t depth = PixelDepthBox.SelectedNumber();
    if (depth != 16 && depth != 32) return;
    ChosenFormat = 0;
    for (size_t i = depth == 32 ? 0 : cFirst16BitCandidate; i < std::size(cCandidateFormats); ++i) {
        if (System.FullScreenFormatSupported(cCandidateFormats[i])) {
            ChosenFormat = cCandidateFormats[i];
            return;
        }
    }
}

void TForm1::SelectDesktopMode() {
    for (int i = static_cast<int>(ModeListBox.Items.size()) - 1; i >= 0; --i) {
        int32_t w = 0, h = 0;
        ParseModeItem(ModeListBox.Items[i], w, h);
        if (w != static_cast<int32_t>(DesktopMode.Width) || h != static_cast<int32_t>(DesktopMode.Height))
            continue;
        ModeListBox.ItemIndex = i;
        FillDepthList(true, pkFirst);
        FillRateList(true, pkFirst);
        ChooseDisplayFormat();
        return;
    }
}

void TForm1::SelectSavedMode(int32_t width, int32_t height, int32_t format, int32_t refreshRate) {
    ModeListBox.ItemIndex = -1;
    for (int i = static_cast<int>(ModeListBox.Items.size()) - 1; i >= 0; --i) {
        int32_t w = 0, h = 0;
        ParseModeItem(ModeListBox.Items[i], w, h);
        if (w <= width && h <= height) {
            ModeListBox.ItemIndex = i;
            break;
        }
    }
    FillDepthList(false, pkFirst);
    FillRateList(false, pkFirst);
    const int32_t depth = FormatBitDepth(format);
    for (int i = static_cast<int>(PixelDepthBox.Items.size()) - 1; i >= 0; --i) {
        if (ParseInt(PixelDepthBox.Items[i]) <= depth) {
            PixelDepthBox.ItemIndex = i;
            break;
        }
    }
    // The rates must be the chosen depth's, not the first depth's, or a rate the mode lacks is saved.
    FillRateList(false, pkFirst);
    for (int i = static_cast<int>(RefreshRateBox.Items.size()) - 1; i >= 0; --i) {
        if (ParseInt(RefreshRateBox.Items[i]) <= refreshRate) {
            RefreshRateBox.ItemIndex = i;
            break;
        }
    }
}

// ---- Options -----------------------------------------------------------------------------------

void TForm1::CollectOptions(TOptionsRec& rec) {
    ChooseDisplayFormat();
    rec.Preset = rbCustom ? 0 : 1;
    rec.Windowed = false;
    rec.Width = rec.Height = 0;
    if (ModeListBox.Selected())
        ParseModeItem(ModeListBox.Items[ModeListBox.ItemIndex], rec.Width, rec.Height);
    rec.Format = ChosenFormat;
    rec.RefreshRate = RefreshRateBox.SelectedNumber();
    rec.WindowBorder = false;
    rec.VSync = true;
    rec.SoundEnabled = ProbeSound();
    rec.WaitGPU = false;
    rec.AdvancedOpt = cbAdvancedOptions;
    rec.SpiralType = SpiralType.ItemIndex;
    rec.SpiralCount = SpiralCount.ItemIndex + 1;
    rec.BlendMode = BlendMode.ItemIndex;
}

bool TForm1::OptionsChanged() {
    TOptionsRec r;
    CollectOptions(r);
    const TOptionsRec& o = Options;
    return r.Preset != o.Preset || r.Windowed != o.Windowed || r.Width != o.Width || r.Height != o.Height ||
           r.Format != o.Format || r.RefreshRate != o.RefreshRate || r.WindowBorder != o.WindowBorder ||
           r.VSync != o.VSync || r.SoundEnabled != o.SoundEnabled || r.WaitGPU != o.WaitGPU ||
           r.AdvancedOpt != o.AdvancedOpt || r.SpiralType != o.SpiralType || r.SpiralCount != o.SpiralCount ||
           r.BlendMode != o.BlendMode;
}

bool TForm1::ProbeSound() {
    return System.ProbeSound();
}

void TForm1::Save() {
    CollectOptions(Options);
    // Where the file goes: the player's own folder for an installed game.
    const std::string path = ResolveWritePath(Paths.OptionsFile);
    if (!SaveOptionsTo(path, Options)) {
        Log("uSettings.Save : can't write \"" + path + "\": " + LastWriteError());
        Messages.push_back("Can't write \"" + path + "\": " + LastWriteError());
    }
    UpdateDialog();
}

// ---- Events ------------------------------------------------------------------------------------

void TForm1::SettingsClick() {
    if (rbDesktop) SelectDesktopMode();
    UpdateDialog(ciNone);
}

// The lists are refilled first so that the caption judges what the player now sees.
void TForm1::UpdateDialog(TSettingsControlId focus) {
    const bool custom = !rbDesktop;
    ModeListBox.Enabled = PixelDepthBox.Enabled = RefreshRateBox.Enabled = custom;
    if (custom) {
        FillModeList();
        if (focus == ciModeList) {
            FillDepthList(false, pkLast);
            FillRateList(false, pkFirst);
            ChooseDisplayFormat();
        } else if (focus == ciDepthList) {
            FillRateList(false, pkFirst);
            ChooseDisplayFormat();
        }
    }
    SpiralType.Enabled = SpiralCount.Enabled = BlendMode.Enabled = cbAdvancedOptions;
    Caption = OptionsChanged() ? "Velmora Options *" : "Velmora Options";
}

void TForm1::ControlChanged(TSettingsControlId control, int value) {
    switch (control) {
    case ciCustom:
    case ciDesktop:
        if (!value) return; // the other button of the pair reports the new choice
        rbCustom = control == ciCustom;
        rbDesktop = control == ciDesktop;
        SettingsClick();
        return;
    case ciModeList:
        ModeListBox.ItemIndex = IndexOrNone(value, ModeListBox);
        break;
    case ciDepthList:
        PixelDepthBox.ItemIndex = IndexOrNone(value, PixelDepthBox);
        break;
    case ciRateList:
        RefreshRateBox.ItemIndex = IndexOrNone(value, RefreshRateBox);
        break;
    case ciAdvancedOptions:
        cbAdvancedOptions = value != 0;
        break;
    case ciSpiralType:
        SpiralType.ItemIndex = IndexOrNone(value, SpiralType);
        break;
    case ciSpiralCount:
        SpiralCount.ItemIndex = IndexOrNone(value, SpiralCount);
        break;
    case ciBlendMode:
        BlendMode.ItemIndex = IndexOrNone(value, BlendMode);
        break;
    case ciNone:
        return;
    }
    UpdateDialog(control);
}

TCloseStep TForm1::bOkClick() {
    if (!OptionsChanged()) return OnClose();
    Pending = sqSaveAndExit;
    return {Pending, false};
}

TCloseStep TForm1::bCancelClick() {
    if (!OptionsChanged()) {
        AskOnClose = false;
        return OnClose();
    }
    Pending = sqExitWithoutSaving;
    return {Pending, false};
}

TCloseStep TForm1::OnClose() {
    if (!AskOnClose || !OptionsChanged()) return {sqNone, true};
    Pending = sqSaveChanges;
    return {Pending, false};
}

TCloseStep TForm1::Answer(TSettingsAnswer answer) {
    const TSettingsQuestion q = Pending;
    Pending = sqNone;
    switch (q) {
    case sqSaveAndExit:
        if (answer != saYes) return {};
        Save();
        return OnClose();
    case sqExitWithoutSaving:
        if (answer != saYes) return {};
        AskOnClose = false;
        return OnClose();
    case sqSaveChanges:
        if (answer == saCancel) return {};
        if (answer == saYes) Save();
        return {sqNone, true};
    case sqNone:
        break;
    }
    return {};
}

void TForm1::OnHelp() {
    Messages.push_back("11111111");
}

} // namespace velmora
