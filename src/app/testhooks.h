// Options for tests, demos and bug reports. Without them the game behaves exactly as designed;
// with "--fixed-step --seed N" a run repeats frame for frame.
//
// Frames are numbered from 1: script events of frame k reach the window procedure right before the
// k-th step, and the screenshot of frame k is taken once frame k is drawn.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/win32.h"

namespace velmora {

struct TScriptEvent {
    int32_t Frame = 0;
    UINT Message = 0;
    WPARAM WParam = 0;
    LPARAM LParam = 0;
};

struct TScreenshotRequest {
    int32_t Frame = 0;
    std::string File;
};

struct TTestHooks {
    bool FixedStep = false;
    bool HasSeed = false;
    uint32_t Seed = 0;
    int32_t Frames = 0; // 0: run until the player quits
    std::vector<TScreenshotRequest> Screenshots;
    bool Windowed = false;
    int32_t Width = 0, Height = 0; // 0: as configured
    int32_t StartWindow = -1;      // -1: the designed first window
    std::string ScriptFile;
    std::vector<TScriptEvent> Script; // sorted by frame, file order within a frame
    std::string RecordFile;           // empty: input is not recorded
    int32_t AutoplaySkill = -1;       // -1: no bot; else the skill of the player bot
    uint8_t AutoplayInput = 0;        // how the bot plays: 0 the mouse, 1 the keyboard, 2 a gamepad
    bool Impatient = false;           // the bot plays in its impatient manner (--impatient)
    int32_t QuitAfterLevels = 0;      // with the bot: 0 no limit; else the run ends after N levels decided
    std::string ScreensDir;           // empty: no pictures of the screens
    int32_t QuitAfterScreens = 0;     // 0: no limit; else the run ends after that many pictures
    bool SettingsOk = false;          // the settings dialog is shown and answered with its OK
    bool DrawShotsOnly = false;       // only frames whose pictures are taken are drawn
    int32_t SaveEvery = 0;            // 0: as designed; else Game.dat is written every that many frames
};

extern TTestHooks TestHooks;

// A fixed-step run driven by a script, a bot or a frame limit: it repeats exactly however fast it
// runs, so its frames are not paced to the display.
bool DrivenFixedStepRun(const TTestHooks& hooks);

// Reads the command line; false with `error` set for an unknown or malformed option.
bool ParseCommandLine(int argc, const char* const* argv, TTestHooks& out, std::string& error);
// Reads a script ("FRAME move X Y", "FRAME down left X Y", "FRAME key VK", "FRAME pad A", ...;
// "#" comments). A pad line sends the key messages that pad button sends. "FRAME minimize" /
// "FRAME restore" are the window menu's commands; "FRAME hide" / "FRAME show" hide and show the
// window (what a window manager does to a minimised one).
// A malformed line is logged with its number and skipped.
void ParseScript(const std::string& text, std::vector<TScriptEvent>& out);
bool LoadScript(const std::string& path, std::vector<TScriptEvent>& out);

// The overrides of the configuration that the hooks ask for (after the options are read).
void ApplyOptionOverrides(const TTestHooks& hooks);
// Sources of input for each frame besides the script (the player bots); called right after the
// script events of the frame, in the order they were registered.
using TFrameInputHook = void (*)(int32_t frame);
void RegisterFrameInputHook(TFrameInputHook hook);
// Called once a frame is stepped; true when the hook wants that frame drawn (a picture is due).
using TFrameSteppedHook = bool (*)(int32_t frame);
void RegisterFrameSteppedHook(TFrameSteppedHook hook);
// Called once a frame is drawn, after the screenshots of that frame (the back buffer still holds it).
using TFrameDrawnHook = void (*)(int32_t frame);
void RegisterFrameDrawnHook(TFrameDrawnHook hook);
// Runs the frame-stepped hooks after the step of `frame`.
void AfterFrameStep(int32_t frame);
// Every frame is drawn, unless "--draw-shots-only" leaves out those no picture is taken of. Drawing
// changes nothing in the game, so such a run steps exactly as a drawn one.
bool FrameToBeDrawn(int32_t frame);
// Sends the script events of `frame` to the window procedure.
void DeliverScriptEvents(int32_t frame);
// Writes the screenshots asked for at `frame` (the back buffer holds that frame's picture), then
// runs the frame-drawn hooks.
void TakeScreenshots(int32_t frame);
// Input recording in the script format: a replay with "--fixed-step --seed N --script FILE" repeats
// the session. Returns false (logged) when the file cannot be written.
bool StartRecording(const std::string& path);
void StopRecording();
// The script line of one window message, empty for messages a script cannot express.
std::string ScriptLine(int32_t frame, UINT message, WPARAM wParam, LPARAM lParam);
// Appends the message as it reaches the window procedure before step `frame`.
void RecordInputEvent(int32_t frame, UINT message, WPARAM wParam, LPARAM lParam);
// True once the frame limit is reached or a hook asked the run to end.
bool FrameLimitReached(int32_t framesDone);
// A hook's request to end the run cleanly after the current frame, as the frame limit does.
void RequestRunEnd();

} // namespace velmora
