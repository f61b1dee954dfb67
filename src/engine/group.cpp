#include "engine/group.h"

#include <array>
#include <cmath>
#include <memory>

#include "app/d3dapp.h"
#include "app/device.h"
#include "app/gamedat.h"
#include "app/input.h"
#include "app/language.h"
#include "app/log.h"
#include "app/options.h"
#include "app/screenshot.h"
#include "app/sound.h"
#include "app/testhooks.h"
#include "board/countries.h"
#include "engine/random.h"
#include "render/blocks.h"
#include "render/tex.h"
#include "render/visual.h"
#include "platform/files.h"
#include "render/itf.h"

namespace velmora {

TGroup* RootGroup = nullptr;
TVisMouse* VisMouse = nullptr;
uint8_t StartWindowCode = 9;
uint8_t HelpScreenParam = 0;
uint8_t HistoryScene = 0;
uint8_t HiScoresParam = 0;

// ---- Window registry ---------------------------------------------------------------------------

namespace {

std::array<TWindowFactory, 256> Factories{};
TWindowFactory ExitDialogFactory = nullptr;
TCloseHandler CloseHandler = nullptr;

// Render mode by window code; 0 marks the codes that switch nothing. The idle demo (17) is a level.
constexpr std::array<uint8_t, 18> cRenderModes = {0, 0, 0, 1, 1, 2, 2, 2, 1, 3, 2, 2, 2, 2, 2, 2, 1, 1};

bool CreatesNoWindow(uint8_t code) {
    return code == 8 || code == 14;
}

} // namespace

void RegisterWindow(uint8_t code, TWindowFactory factory) {
    Factories[code] = factory;
}
TWindowFactory RegisteredWindow(uint8_t code) {
    return Factories[code];
}
void ClearWindowRegistry() {
    Factories.fill(nullptr);
    ExitDialogFactory = nullptr;
    CloseHandler = nullptr;
}
void RegisterExitDialog(TWindowFactory factory) {
    ExitDialogFactory = factory;
}
bool ExitDialogRegistered() {
    return ExitDialogFactory != nullptr;
}
void RegisterCloseHandler(TCloseHandler handler) {
    CloseHandler = handler;
}
TCloseHandler RegisteredCloseHandler() {
    return CloseHandler;
}

uint8_t RenderModeOfCode(uint8_t code) {
    return code < cRenderModes.size() ? cRenderModes[code] : 0;
}

// ---- Services ----------------------------------------------------------------------------------
// Each shared service is made, stepped and freed here. A hook that does nothing marks a service
// whose class is not part of the build yet; its owner wires it in at this one place.

namespace {

void CreateLang(TGroup& group) {
    group.Add(new TLang());
} // text resources, first child of the group
void LoadSharedFonts(TGroup& group) {
    CreateSharedFonts(group);
} // the 18 shared fonts, in order
// Texture store: starts with no set; the render mode of the first window picks one.
void CreateTexArr(TGroup& group) {
    group.Add(new TTexArr(0))->RestoreDeviceObjects();
}
void CreateStateBlocks(TGroup& group) {
    group.Add(new TStateBlockDepot())->RestoreDeviceObjects();
}
std::unique_ptr<TSoundDepot> OwnedSoundDepot; // sound store: stepped and freed by the group itself
void CreateSoundDepot() {
    OwnedSoundDepot = std::make_unique<TSoundDepot>();
}
void StepSoundDepot() {
    if (!SoundDepot) return;
    ++SoundDepot->Ticks;
    SoundDepot->Step();
}
void FreeSoundDepot() {
    OwnedSoundDepot.reset();
}
void LoadCountries() {
    ReadCountries();
}
// The player data file: LoadGameDat and SaveGameDat of app/gamedat.h.
bool FullscreenChoiceOfPlayer(bool& fullscreen) { // the player's stored full-screen choice
    fullscreen = GameDat.FullScreen != 0;
    return true;
}
// The blocks store the mode, switch the texture set and record themselves afresh.
void StoreRenderMode(uint8_t mode) {
    if (StateBlocks) StateBlocks->SetRenderMode(mode);
}
void RestoreSharedBlockState() {
    if (Device) SetDefaultStates();
}

// The current player's progress, for StartPlaying; false when there is no player data.
struct TPlayerProgress {
    int32_t* Level = nullptr;
    bool LevelInProgress = false;
    bool ShowHelp = false;
};
bool CurrentPlayerProgress(TPlayerProgress& progress) {
    if (GameDat.CurrentPlayer < 1 || GameDat.CurrentPlayer > cPlayerCount) return false;
    TPlayerRec& player = CurrentPlayerRec();
    progress.Level = &player.Level;
    progress.LevelInProgress = player.LevelInProgress != 0;
    progress.ShowHelp = GameDat.ShowHelp != 0;
    return true;
}

} // namespace

// ---- Screen capture ----------------------------------------------------------------------------

std::string ScreenCaptureFile() {
    return Paths.Textures + "\\!!!.tga";
}

bool CaptureScreen() {
    TPixelImage image;
    if (!ReadBackBuffer(image)) return false;
    // Top row first; the header's origin bit tells the texture loader so.
    const std::vector<uint8_t> bytes = EncodeTga32(image);
    if (!WriteWholeFile(ScreenCaptureFile(), bytes.data(), bytes.size())) {
        Log("TGroup.CaptureScreen: can't write \"" + ResolveWritePath(ScreenCaptureFile()) +
            "\": " + LastWriteError());
        return false;
    }
    return true;
}

// ---- TVisMouse ---------------------------------------------------------------------------------

TVisMouse::TVisMouse() {
    // The textured cursor stays hidden: the system cursor shows the shapes.
    auto* sprite = Add(new TTexRect());
    sprite->Visible = false;
    sprite->SetWidth(32 * PixelSize);
    sprite->SetHeight(32 * PixelSize);
    Sprite = sprite;
    bool allLoaded = true;
    for (int i = 0; i < 3; ++i) {
        const std::string file = Paths.Textures + "\\Cursor_" + std::to_string(i + 1) + ".xcr";
        Cursors[i] = LoadCursorFromFile(ResolvePath(file).c_str());
        if (!Cursors[i]) allLoaded = false;
    }
    if (!allLoaded) {
        Log("TVisMouse.Create: Can't load cursor from file");
        MessageBox(App ? App->Wnd : nullptr, "TVisMouse.Create: Can't load cursor from file", "Velmora",
                   MB_OK | MB_ICONERROR);
    }
}

TVisMouse::~TVisMouse() {
    if (VisMouse == this) VisMouse = nullptr;
    SetCursor(nullptr);
    ShowCursor(TRUE);
    for (HCURSOR& c : Cursors)
        if (c) {
            DestroyCursor(c);
            c = nullptr;
        }
}

void TVisMouse::RequestShape(int32_t shape) {
    RequestedShape = shape;
}

void TVisMouse::ApplyShape() {
    if (RequestedShape != CurrentShape && RequestedShape >= 0 && RequestedShape < 3 &&
        Cursors[RequestedShape])
        SetCursor(Cursors[RequestedShape]);
    CurrentShape = RequestedShape;
    RequestedShape = 0;
}

void TVisMouse::MouseProc() {
    auto* sprite = dynamic_cast<TPrior*>(Sprite);
    if (!sprite || !Mouse) return;
    sprite->X = Mouse->WorldX() + 14 * PixelSize;
    sprite->Y = Mouse->WorldY() + 14 * PixelSize;
}

void TVisMouse::Render() {
    if (CurrentShape >= 0 && CurrentShape < 3 && Cursors[CurrentShape]) SetCursor(Cursors[CurrentShape]);
    TMaster::Render();
}

// ---- TGroup ------------------------------------------------------------------------------------

TGroup::TGroup() {
    RootGroup = this;
    CreateLang(*this);
    VisMouse = nullptr;
    LoadSharedFonts(*this);
    CreateTexArr(*this);
    CreateStateBlocks(*this);
    CreateSoundDepot();
    ShakeAmplitude = 0.1f;
    TopObject = nullptr;
    DeviceObjectsRestored = false;
    if (Device) Device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000u, 1.0f, 0);
    LoadCountries();
    LoadGameDat();
    WindowedNow = Options.Windowed;
    bool fullscreen = false;
    // "--windowed" overrides the player's stored choice as it overrides the configuration.
    if (!TestHooks.Windowed && FullscreenChoiceOfPlayer(fullscreen) && fullscreen == WindowedNow) {
        if (App) App->CheckedToggleFullscreen(true);
        WindowedNow = !WindowedNow;
    }
    NextWindow = StartWindowCode;
}

TGroup::~TGroup() {
    // Children go first (windows still use the services while they close), then the sound store.
    TMaster::InvalidateDeviceObjects();
    FreeChildren();
    First = Last = nullptr;
    Count = 0;
    VisMouse = nullptr;
    FreeSoundDepot();
    SaveGameDat();
    if (RootGroup == this) RootGroup = nullptr;
}

bool TGroup::KeyDown(uint16_t key) {
    if (FocusObject && NextWindow == 0) return FocusObject->KeyDown(key);
    return false;
}

void TGroup::MouseProc() {
    if (VisMouse) VisMouse->MouseProc();
}

HRESULT_t TGroup::RestoreDeviceObjects() {
    if (Device) {
        Device->SetRenderTarget(DefaultRenderTarget, nullptr);
        Device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFFFFFFFFu, 1.0f, 0);
        Device->Present(nullptr, nullptr, nullptr, nullptr);
    }
    Log("TGroup.RestoreDeviceObjects: ----->>start");
    D3DLIGHT8 light{};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = {1.0f, 1.0f, 1.0f, 1.0f};
    light.Direction = {0.0f, 0.0f, 1.0f};
    light.Range = 1000.0f;
    const bool lit =
        Device && SUCCEEDED(Device->SetLight(0, &light)) && SUCCEEDED(Device->LightEnable(0, TRUE));
    Log(lit ? "TGroup.RestoreDeviceObjects: CreateLights succeeded"
            : "TGroup.RestoreDeviceObjects: CreateLights failed");
    RestoreSharedBlockState();
    TBasic* obj = this;
    while (GetNext(obj)) {
        if (FAILED(obj->RestoreDeviceObjects()))
            Log(std::string("TGroup.RestoreDeviceObjects: ") + obj->ClassName() +
                ".RestoreDeviceObjects failed");
    }
    DeviceObjectsRestored = true;
    Log("TGroup.RestoreDeviceObjects: <<-----end");
    return 0;
}

void TGroup::InvalidateDeviceObjects() {
    if (DeviceObjectsRestored) {
        TBasic* obj = this;
        while (GetNext(obj))
            obj->InvalidateDeviceObjects();
    }
    DeviceObjectsRestored = false;
}

namespace {

D3DMATRIX PerspectiveFovLH(float fovY, float aspect, float zn, float zf) {
    D3DMATRIX m{};
    const float yScale = 1.0f / std::tan(fovY / 2);
    m.m[0][0] = yScale / aspect;
    m.m[1][1] = yScale;
    m.m[2][2] = zf / (zf - zn);
    m.m[2][3] = 1.0f;
    m.m[3][2] = -zn * zf / (zf - zn);
    return m;
}

TVector3 Sub(TVector3 a, TVector3 b) {
    return {a.X - b.X, a.Y - b.Y, a.Z - b.Z};
}
TVector3 Cross(TVector3 a, TVector3 b) {
    return {a.Y * b.Z - a.Z * b.Y, a.Z * b.X - a.X * b.Z, a.X * b.Y - a.Y * b.X};
}
float Dot(TVector3 a, TVector3 b) {
    return a.X * b.X + a.Y * b.Y + a.Z * b.Z;
}
TVector3 Normal(TVector3 a) {
    const float l = std::sqrt(Dot(a, a));
    return l > 0 ? TVector3{a.X / l, a.Y / l, a.Z / l} : a;
}

D3DMATRIX LookAtLH(TVector3 eye, TVector3 at, TVector3 up) {
    const TVector3 z = Normal(Sub(at, eye));
    const TVector3 x = Normal(Cross(up, z));
    const TVector3 y = Cross(z, x);
    D3DMATRIX m{};
    m.m[0][0] = x.X, m.m[1][0] = x.Y, m.m[2][0] = x.Z, m.m[3][0] = -Dot(x, eye);
    m.m[0][1] = y.X, m.m[1][1] = y.Y, m.m[2][1] = y.Z, m.m[3][1] = -Dot(y, eye);
    m.m[0][2] = z.X, m.m[1][2] = z.Y, m.m[2][2] = z.Z, m.m[3][2] = -Dot(z, eye);
    m.m[3][3] = 1.0f;
    return m;
}

} // namespace

void TGroup::SetCamera() {
    if (!Device) return;
    const D3DMATRIX projection = PerspectiveFovLH(3.14159265f / 2, ViewWidth / ViewHeight, 0.1f, 1000.0f);
    Device->SetTransform(D3DTS_PROJECTION, &projection);
    TVector3 eye{0, 0, -1};
    TVector3 at{0, 0, 0};
    if (CameraShake) {
        // The whole view shifts sideways: eye and target move together.
        const float dx = (Random() - 0.5f) * 0.1f * ShakeAmplitude;
        eye.X += dx;
        at.X += dx;
    }
    if (CameraFree) eye = CameraEye;
    const D3DMATRIX view = LookAtLH(eye, at, TVector3{0, 1, 0});
    Device->SetTransform(D3DTS_VIEW, &view);
}

void TGroup::Render() {
    SetCamera();
    TMaster::Render();
}

void TGroup::StepMe() {
    if (NextWindow != 0) PerformWindowSwitch();
    if (!VisMouse) VisMouse = Add(new TVisMouse());
    StepSoundDepot();
    VisMouse->ApplyShape();
}

void TGroup::PerformWindowSwitch() {
    const uint8_t code = NextWindow;
    NextWindow = 0;
    const uint8_t mode = RenderModeOfCode(code);
    if (mode == 0) {
        // A stale unknown code would block the keys of every window (KeyDown waits for the switch).
        Log("TGroup.StepMe: unknown window code " + std::to_string(code));
        return;
    }
    if (mode != RenderMode) {
        SetRenderMode(mode);
        RenderMode = mode;
    }
    if (CreatesNoWindow(code)) return;
    TWindowFactory factory = Factories[code];
    if (!factory) {
        Log("TGroup.StepMe: no window registered for code " + std::to_string(code));
        return;
    }
    if (TBasic* window = factory()) AddWindow(window);
}

void TGroup::AddWindow(TBasic* window) {
    Add(window);
    if (TopObject) BringToFront(TopObject);
}

void TGroup::SetRenderMode(uint8_t mode) {
    StoreRenderMode(mode);
}

void TGroup::RequestWindow(uint8_t code) {
    CaptureScreen();
    NextWindow = code;
}

void TGroup::ShowMainMenu() {
    RequestWindow(11);
}
void TGroup::ShowGame() {
    RequestWindow(4);
}
void TGroup::ShowArtefacts() {
    RequestWindow(7);
}

void TGroup::ShowHelpScreen(uint8_t param) {
    HelpScreenParam = param;
    RequestWindow(3);
}

void TGroup::ShowHistory(uint8_t param) {
    HistoryScene = param;
    RequestWindow(6);
}

void TGroup::ShowHiScores(uint8_t param) {
    HiScoresParam = param;
    RequestWindow(5);
}

void TGroup::StartPlaying() {
    TPlayerProgress player;
    if (!CurrentPlayerProgress(player) || !player.Level) {
        Log("TGroup.StartPlaying: no player data; the campaign starts from the introduction");
        ShowHistory(0);
        return;
    }
    if (*player.Level == 0 || *player.Level == 77) {
        *player.Level = 1;
        ShowHistory(0);
    } else if (player.LevelInProgress) {
        if (player.ShowHelp)
            ShowHelpScreen(1);
        else
            ShowGame();
    } else {
        RequestWindow(15);
    }
}

void TGroup::ShowExitDialog() {
    if (!ExitDialogFactory) {
        Log("TGroup.ShowExitDialog: no exit dialog registered");
        return;
    }
    CaptureScreen();
    if (TBasic* dialog = ExitDialogFactory()) AddWindow(dialog);
}

} // namespace velmora
