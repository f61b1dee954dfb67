// The scene root: owns the shared services, switches the game's windows by code, keeps the camera
// and the cursor, and walks the tree for device restore and invalidate.
#pragma once

#include <cstdint>
#include <string>

#include "engine/basic.h"
#include "platform/win32.h"

namespace velmora {

// Window classes live in later folders; they register a factory for their code at start-up.
using TWindowFactory = TBasic* (*)();
void RegisterWindow(uint8_t code, TWindowFactory factory);
TWindowFactory RegisteredWindow(uint8_t code);
void ClearWindowRegistry();
// The exit dialog is added to the group at once instead of through a code.
void RegisterExitDialog(TWindowFactory factory);
// Offered the window's close message before the exit dialog (the level window presses its own menu
// button): true when it took the request.
using TCloseHandler = bool (*)();
void RegisterCloseHandler(TCloseHandler handler);
TCloseHandler RegisteredCloseHandler();
bool ExitDialogRegistered();
// Registers every window class of the game (defined where the window folders are linked in).
void RegisterAllWindows();

// Render-state preset of a window code (1, 2 or 3); 0 for codes that switch nothing.
uint8_t RenderModeOfCode(uint8_t code);

// The game window playing a level by itself after the main menu has been idle (the idle demo).
constexpr uint8_t cIdleDemoWindow = 17;

// The code of the first window of a run (9, the resource creator; tests start elsewhere).
extern uint8_t StartWindowCode;
// Parameters of the window requests, read by the window that opens.
extern uint8_t HelpScreenParam;
extern uint8_t HistoryScene;
extern uint8_t HiScoresParam;

class TVisMouse : public TMaster {
  public:
    TVisMouse();
    ~TVisMouse() override;
    void MouseProc() override;
    void Render() override;
    const char* ClassName() const override { return "TVisMouse"; }

    void RequestShape(int32_t shape);
    void ApplyShape();

    int32_t CurrentShape = 0;
    int32_t RequestedShape = 0;
    TBasic* Sprite = nullptr; // hidden textured cursor, owned through the list
    HCURSOR Cursors[3] = {nullptr, nullptr, nullptr};
};

struct TVector3 {
    float X = 0, Y = 0, Z = 0;
};

class TGroup : public TMaster {
  public:
    TGroup();
    ~TGroup() override;

    bool KeyDown(uint16_t key) override;
    void MouseProc() override;
    HRESULT_t RestoreDeviceObjects() override;
    void InvalidateDeviceObjects() override;
    void Render() override;
    void StepMe() override;
    const char* ClassName() const override { return "TGroup"; }

    void ShowMainMenu();
    void ShowGame();
    void ShowArtefacts();
    void ShowHelpScreen(uint8_t param);
    void ShowHistory(uint8_t param);
    void ShowHiScores(uint8_t param);
    void StartPlaying();
    void ShowExitDialog();
    // Captures the screen, then asks for the window of `code` at the next step.
    void RequestWindow(uint8_t code);

    void AddWindow(TBasic* window);
    void SetRenderMode(uint8_t mode);
    void SetCamera(); // projection and view of this frame

    TBasic* TopObject = nullptr;
    bool DeviceObjectsRestored = false;
    uint8_t NextWindow = 0;
    uint8_t RenderMode = 0;
    bool WindowedNow = false;
    bool CameraShake = false;
    bool CameraFree = false;
    float ShakeAmplitude = 0.1f;
    TVector3 CameraEye{0, 0, -1};

  private:
    void PerformWindowSwitch();
};

extern TGroup* RootGroup;
extern TVisMouse* VisMouse;

// The screen capture a window switch leaves for the entering window's passage effect.
std::string ScreenCaptureFile(); // textures folder + "\!!!.tga"
bool CaptureScreen();            // writes the back buffer there; false (logged) on failure

} // namespace velmora
