// The real OpenGL device for drawing tests (under the virtual display): an 800 x 600 window and
// device with a texture store and the state blocks, the world rectangle over the whole back buffer,
// and the back buffer read back through the game's screenshot tool.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <string>

#include "app/device.h"
#include "app/options.h"
#include "engine/basic.h"
#include "platform/d3d8.h"
#include "platform/win32.h"
#include "render/blocks.h"
#include "render/tex.h"
#include "render/tga.h"

namespace velmora::testing {

class TGlScreen {
  public:
    // Empty when the device is ready (it is then the global Device); otherwise why it is not, and
    // the test skips.
    std::string Open(const char* title) {
        Object = Direct3DCreate8(D3D_SDK_VERSION);
        if (!Object) return "no display for the OpenGL device";
        Window = CreateAppWindow(title, 0, 0, 800, 600, FALSE, QuietProc);
        if (!Window) return "no window";
        D3DPRESENT_PARAMETERS pp{};
        pp.BackBufferWidth = 800;
        pp.BackBufferHeight = 600;
        pp.BackBufferFormat = D3DFMT_X8R8G8B8;
        pp.BackBufferCount = 1;
        pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
        pp.Windowed = TRUE;
        if (FAILED(Object->CreateDevice(0, D3DDEVTYPE_HAL, Window, D3DCREATE_SOFTWARE_VERTEXPROCESSING, &pp,
                                        &Gl)))
            return "no OpenGL device";
        Device = Gl;
        Store = new TTexArr(0);
        Depot = new TStateBlockDepot();
        Depot->RestoreDeviceObjects();
        // The world rectangle (height 2, centred) onto the whole back buffer.
        D3DMATRIX id = D3DMatrixIdentity(), proj = D3DMatrixIdentity();
        proj.m[0][0] = 1.0f / ViewRight;
        Device->SetTransform(D3DTS_VIEW, &id);
        Device->SetTransform(D3DTS_PROJECTION, &proj);
        return "";
    }

    // Everything Open made, in reverse; safe after a failed or no Open.
    void Close() {
        delete Depot;
        delete Store;
        Depot = nullptr;
        Store = nullptr;
        if (Gl) {
            ST(0, nullptr);
            ForgetRememberedTexture();
            Gl->Release();
            Device = nullptr;
        }
        Gl = nullptr;
        if (Window) DestroyWindow(Window);
        Window = nullptr;
        if (Object) Object->Release();
        Object = nullptr;
    }

    // Draws the objects in one scene over black and reads the screen back through the file given.
    TTgaImage Shoot(std::initializer_list<TBasic*> objects, const std::string& shotFile) {
        Device->BeginScene();
        Device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000u, 1.0f, 0);
        for (TBasic* o : objects)
            o->Render();
        Device->EndScene();
        TTgaImage shot;
        EXPECT_TRUE(SaveScreenshot(Window, shotFile));
        EXPECT_TRUE(LoadTgaImage(shotFile, shot, 1));
        return shot;
    }

    static uint32_t Rgb(const TTgaImage& im, int x, int y) { return im.At(x, y) & 0xFFFFFF; }

    IDirect3D8* Object = nullptr;
    IDirect3DDevice8* Gl = nullptr;
    HWND Window = nullptr;
    TTexArr* Store = nullptr;
    TStateBlockDepot* Depot = nullptr;

  private:
    static LRESULT QuietProc(HWND, UINT, WPARAM, LPARAM) { return 0; }
};

} // namespace velmora::testing
