// Velmora's entry: the data folder (and for an installed run the player's own folders), the error
// log, the configuration, the screen geometry, then the application frame until the player quits.
#include <chrono>
#include <csignal>
#include <cstdio>
#include <string>

#include "app/d3dapp.h"
#include "app/datafolder.h"
#include "app/log.h"
#include "app/options.h"
#include "app/testhooks.h"
#include "board/autoplay.h"
#include "board/autoplaykeys.h"
#include "engine/group.h"
#include "engine/random.h"
#include "platform/files.h"
#include "platform/signals.h"
#include "platform/win32.h"
#include "play/demo.h"
#include "settings/settings_dialog.h"
#include "ui/menubot.h"
#include "ui/screens.h"

using namespace velmora;

namespace {

// Without "Options.txt" the game starts in an 800 x 600 window (the settings dialog writes the file).
void UseDefaultOptions() {
    Options.Windowed = true;
    Options.Width = cLayoutWidth;
    Options.Height = cLayoutHeight;
    Log("Project: \"Options.txt\" not found, starting windowed 800x600");
}

void ApplyTestHooks() {
    ApplyOptionOverrides(TestHooks);
    if (TestHooks.HasSeed) {
        RandomSeed(TestHooks.Seed);
    } else {
        const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
        RandomSeed(static_cast<uint32_t>(now ^ (now >> 32)));
    }
    if (TestHooks.StartWindow > 0) StartWindowCode = static_cast<uint8_t>(TestHooks.StartWindow);
    if (!TestHooks.ScriptFile.empty()) LoadScript(TestHooks.ScriptFile, TestHooks.Script);
    if (!TestHooks.RecordFile.empty()) StartRecording(TestHooks.RecordFile);
    // A scripted, bot-driven or frame-limited fixed-step run is automated: it repeats exactly only
    // without the desk's own input (a person recording a session gives no frame limit).
    const bool driven = !TestHooks.ScriptFile.empty() || TestHooks.AutoplaySkill >= 0 || TestHooks.Frames > 0;
    if (TestHooks.FixedStep && driven) IgnoreDeviceInput(TRUE);
    if (TestHooks.AutoplaySkill >= 0) {
        SetAutoplaySkill(TestHooks.AutoplaySkill);
        SetBotHands(TestHooks.AutoplayInput);
        SetAutoplayImpatient(TestHooks.Impatient);
        SetAutoplayQuitAfterLevels(TestHooks.QuitAfterLevels);
        SeedBot(TestHooks.Seed);
        RegisterFrameInputHook(AutoplayFrame);
        StartMenuBot(TestHooks.Seed, TestHooks.Impatient);
        RegisterFrameInputHook(MenuBotFrame);
    } else {
        // The idle demo's bot (with --autoplay the bot above plays every level, the demo's too).
        SetAutoplaySkill(cDemoBotSkill);
        RegisterFrameInputHook(IdleDemoFrame);
    }
    if (!TestHooks.ScreensDir.empty()) {
        StartScreenPictures(TestHooks.ScreensDir, TestHooks.QuitAfterScreens);
        RegisterFrameSteppedHook(ScreenPicturesStepped);
        RegisterFrameDrawnHook(ScreenPicturesDrawn);
    }
}

// Without "Options.txt" the settings dialog asks first. A run with a frame limit is automated and
// never waits on it, unless the test hook is there to answer it.
void ReadOrAskOptions() {
    if (ReadOptions()) return;
    const bool automated = TestHooks.Frames > 0 && !TestHooks.SettingsOk;
    if (TestHooks.SettingsOk) AnswerSettingsDialogWithOk();
    if (automated || !RunSettingsDialog()) UseDefaultOptions();
}

} // namespace

int main(int argc, char** argv) {
    std::string error;
    if (!ParseCommandLine(argc, argv, TestHooks, error)) {
        std::fprintf(stderr, "velmora: %s\n", error.c_str());
        return 2;
    }
    InstallTerminationSignals();
    const TDataFolder data = FindDataFolder();
    const TUserFolders user = UserFoldersOfProcess();
    if (data.Installed) UseUserFolders(data.Folder, user);
    InitDataPaths(data.Folder);
    StartErrorLog(Paths.ErrorLog, Paths.OptionsFile);
    Log(DescribeDataFolders(data, user));
    ReadOrAskOptions();
    if (TerminationRequested()) return 0; // the settings dialog was closed by a signal: nothing to save
    ApplyTestHooks();
    InitScreenGeometry();
    RegisterAllWindows();

    App = new TMyApp();
    const HRESULT hr = App->Create_();
    if (SUCCEEDED(hr)) {
        App->Run();
    } else {
        char code[16];
        std::snprintf(code, sizeof code, "0x%08X", static_cast<unsigned>(hr));
        Report(std::string("Project: Create_ returned ") + code + " (" + D3DErrorDescription(hr) + ")");
        Report("Project: Failed initialization Direct3D");
    }
    delete App;
    App = nullptr;
    StopRecording();
    return SUCCEEDED(hr) ? 0 : 1; // a start that failed is no success
}
