// A scene group on the recording device over the content pack's data folder (fonts, texts and
// sounds as the game has them), with the player data, the screen capture and the error log in a
// scratch folder. The frame helper steps the group the way the application frame does.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "app/device.h"
#include "app/gamedat.h"
#include "app/input.h"
#include "app/log.h"
#include "app/options.h"
#include "engine/group.h"
#include "platform/recording_device.h"
#include "platform/win32.h"
#include "render/tex.h"

namespace velmora::testing {

class TUiFrameTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (std::filesystem::temp_directory_path() / "velmora_uiframe_XXXXXX").string();
        Dir = mkdtemp(pattern.data());
        SavedPaths = Paths;
        SavedOptions = Options;
        SetLogFile((Dir / "Error.log").string());
        InitDataPaths(VELMORA_DATA_DIR);
        Paths.PlayerData = Dir.string();
        Paths.GameDat = (Dir / "Game.dat").string();
        // Screen captures stay out of the shared data folder; the cursors come along.
        Paths.Textures = Dir.string();
        for (int i = 1; i <= 3; ++i) {
            const std::string cursor = "Cursor_" + std::to_string(i) + ".xcr";
            std::error_code ec;
            std::filesystem::create_symlink(std::filesystem::path(VELMORA_DATA_DIR) / "Textures" / cursor,
                                            Dir / cursor, ec);
        }
        SetMessageBoxAutoAnswer(IDOK);
        Options.SoundEnabled = true;
        InitScreenGeometryFor(800, 600);
        Delta = 1.0f;
        FrameCount = 0;
        Rec = CreateRecordingDevice(800, 600);
        Device = Rec;
        TextureFormat = D3DFMT_A8R8G8B8;
        Mouse = &TheMouse;
        PressedKeys.reset();
        ClearWindowRegistry();
        Group = new TGroup();
        Group->NextWindow = 0; // no start window: each test builds its own scene
        Frame();
    }
    void TearDown() override {
        delete Group;
        Group = nullptr;
        FocusObject = nullptr;
        Mouse = nullptr;
        Device = nullptr;
        Rec->Release();
        ClearWindowRegistry();
        Paths = SavedPaths;
        Options = SavedOptions;
        SetLogFile("Error.log");
        std::error_code ec;
        std::filesystem::remove_all(Dir, ec);
    }

    // One frame as the application runs it: step, then the frame counter and the spent mouse events.
    void Frame(int n = 1) {
        for (int i = 0; i < n; ++i) {
            Group->Step();
            FrameCount += 1;
            GameTime += Delta;
            UpdateInput();
        }
    }
    // Mouse events arrive between frames, as window messages do.
    void MoveTo(int x, int y) { TheMouse.SetPosition(x, y); }
    void Press(int x, int y) {
        MoveTo(x, y);
        TheMouse.SetButton(WM_LBUTTONDOWN);
    }
    void Release(int x, int y) {
        MoveTo(x, y);
        TheMouse.SetButton(WM_LBUTTONUP);
    }
    void Click(int x, int y) {
        Press(x, y);
        Frame();
        Release(x, y);
        Frame();
    }
    bool Key(uint16_t key) { return Group->KeyDown(key); }
    // True while `obj` is still in the scene: a press that closes its window frees the window's
    // objects within the frame, and a test must not look at them afterwards.
    bool InScene(const TBasic* obj) const {
        for (TBasic* o = Group->First; o;) {
            if (o == obj) return true;
            if (!Group->GetNext(o)) break;
        }
        return false;
    }

    std::string LogText() const {
        std::ifstream in(Dir / "Error.log", std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    bool LogHas(const std::string& text) const { return LogText().find(text) != std::string::npos; }

    std::filesystem::path Dir;
    TGroup* Group = nullptr;
    IRecordingDevice* Rec = nullptr;
    TMyMouse TheMouse;

  private:
    TDataPaths SavedPaths;
    TOptionsRec SavedOptions;
};

} // namespace velmora::testing
