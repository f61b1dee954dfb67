#include "settings/settings_dialog.h"

#include "app/log.h"
#include "platform/bass.h"
#include "platform/video_memory.h"
#include "platform/settings_view.h"

namespace velmora {

namespace {

constexpr uint32_t cProbeFlags = 32;
constexpr uint32_t cProbeFrequency = 44100;

// The machine as the platform layer shows it: the Direct3D object over SDL's displays, the GL
// driver's memory figure and the audio library.
class TPlatformSettingsSystem : public TSettingsSystem {
  public:
    TPlatformSettingsSystem() = default;
    TPlatformSettingsSystem(const TPlatformSettingsSystem&) = delete;
    TPlatformSettingsSystem& operator=(const TPlatformSettingsSystem&) = delete;
    ~TPlatformSettingsSystem() override {
        if (Direct3D) Direct3D->Release();
    }

    bool DisplayModes(std::vector<D3DDISPLAYMODE>& modes, D3DDISPLAYMODE& desktop) override {
        if (!Direct3D) Direct3D = Direct3DCreate8(D3D_SDK_VERSION);
        if (!Direct3D) return false;
        if (FAILED(Direct3D->GetAdapterDisplayMode(0, &desktop))) {
            Log("uSettings : the desktop's display mode is unknown");
            desktop = {};
        }
        modes.clear();
        const UINT count = Direct3D->GetAdapterModeCount(0);
        for (UINT i = 0; i < count; ++i) {
            D3DDISPLAYMODE m{};
            if (SUCCEEDED(Direct3D->EnumAdapterModes(0, i, &m))) modes.push_back(m);
        }
        return true;
    }
    uint64_t VideoMemory() override { return QueryVideoMemory(); }
    bool FullScreenFormatSupported(D3DFORMAT format) override {
        return Direct3D && SUCCEEDED(Direct3D->CheckDeviceType(0, D3DDEVTYPE_HAL, format, format, FALSE));
    }
    bool ProbeSound() override {
        if (!BASS_Init(BASS_DEFAULT_DEVICE, cProbeFrequency, cProbeFlags, nullptr)) return false;
        BASS_Free();
        return true;
    }

  private:
    IDirect3D8* Direct3D = nullptr;
};

TSettingsControlId FormControl(TSettingsViewControl c) {
    switch (c) {
    case svCustom:
        return ciCustom;
    case svDesktop:
        return ciDesktop;
    case svModeList:
        return ciModeList;
    case svDepthList:
        return ciDepthList;
    case svRateList:
        return ciRateList;
    case svAdvancedOptions:
        return ciAdvancedOptions;
    case svSpiralType:
        return ciSpiralType;
    case svSpiralCount:
        return ciSpiralCount;
    case svBlendMode:
        return ciBlendMode;
    default:
        return ciNone;
    }
}

TSettingsAnswer FormAnswer(TSettingsViewAnswer a) {
    return a == svaYes ? saYes : a == svaNo ? saNo : saCancel;
}

TSettingsViewList ViewList(const TListControl& list) {
    return {list.Items, list.ItemIndex, list.Enabled};
}

TSettingsViewState ViewState(const TForm1& form) {
    TSettingsViewState s;
    s.Caption = form.Caption;
    s.Custom = form.rbCustom;
    s.Desktop = form.rbDesktop;
    s.Modes = ViewList(form.ModeListBox);
    s.Depths = ViewList(form.PixelDepthBox);
    s.Rates = ViewList(form.RefreshRateBox);
    s.AdvancedOptions = form.cbAdvancedOptions;
    s.SpiralType = ViewList(form.SpiralType);
    s.SpiralCount = ViewList(form.SpiralCount);
    s.BlendMode = ViewList(form.BlendMode);
    return s;
}

// Carries the player's actions into the form and the form's answers back onto the window.
class TSettingsDialog : public TSettingsViewEvents {
  public:
    TSettingsDialog(TForm1& form, TSettingsView& view) : Form(form), View(view) {}

    void Changed(TSettingsViewControl control, int value) override {
        Form.ControlChanged(FormControl(control), value);
        Refresh();
    }
    void OkClicked() override { Finish(Form.bOkClick()); }
    void CancelClicked() override { Finish(Form.bCancelClick()); }
    bool CloseRequested() override {
        const TCloseStep step = Resolve(Form.OnClose());
        Refresh();
        return step.Close;
    }
    void HelpRequested() override {
        Form.OnHelp();
        Refresh();
    }

    void ShowMessages() {
        for (const std::string& m : Form.Messages)
            View.Inform(m);
        Form.Messages.clear();
    }

  private:
    TForm1& Form;
    TSettingsView& View;

    TCloseStep Resolve(TCloseStep step) {
        while (step.Ask != sqNone) {
            const TSettingsViewAnswer a = View.Ask(QuestionText(step.Ask), QuestionHasCancel(step.Ask));
            step = Form.Answer(FormAnswer(a));
            ShowMessages();
        }
        return step;
    }
    void Finish(TCloseStep step) {
        step = Resolve(step);
        Refresh();
        if (step.Close) View.Close();
    }
    void Refresh() {
        ShowMessages();
        View.Show(ViewState(Form));
    }
};

// What the dialog would have offered, used when it cannot be shown at all; nothing is saved.
void SetNoDialogOptions() {
    Options = TOptionsRec{};
    Options.Preset = 1;
    Options.VSync = true;
    Options.SoundEnabled = true;
    Options.SpiralType = 1;
    Options.SpiralCount = 8;
    EnsureStartSize(Options);
}

} // namespace

void EnsureStartSize(TOptionsRec& rec) {
    if (rec.Width > 0 && rec.Height > 0) return;
    Log("uSettings : no screen size chosen, the game starts windowed at 800 x 600");
    rec.Windowed = true;
    rec.Width = cLayoutWidth;
    rec.Height = cLayoutHeight;
}

bool RunSettingsDialog(TSettingsSystem& system) {
    if (!TSettingsView::StartToolkit()) {
        Log("uSettings.RunSettingsDialog : no desktop to show the settings dialog on");
        SetNoDialogOptions();
        return false;
    }
    TForm1 form(system);
    TSettingsView view;
    TSettingsDialog dialog(form, view);
    if (!form.OnCreate()) {
        dialog.ShowMessages();
        SetNoDialogOptions();
        return false;
    }
    view.Open(dialog, ViewState(form));
    dialog.ShowMessages();
    view.Run();
    EnsureStartSize(Options);
    return true;
}

void AnswerSettingsDialogWithOk() {
    SetSettingsViewAutoAnswer(svaYes);
    SetSettingsViewTestScript([] {
        Log("uSettings : the test hook presses OK");
        if (!SettingsViewTestClick(svOk)) Log("uSettings : the test hook found no OK button to press");
    });
}

bool RunSettingsDialog() {
    TPlatformSettingsSystem system;
    return RunSettingsDialog(system);
}

} // namespace velmora
