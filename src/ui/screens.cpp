#include "ui/screens.h"

#include <cstdio>
#include <memory>

#include "app/log.h"
#include "app/screenshot.h"
#include "app/testhooks.h"
#include "engine/basic.h"
#include "platform/files.h"
#include "ui/w_menu.h"

namespace velmora {

std::string TScreenLog::Look(const TBasic* window) {
    // A window freed and another made at its address is still another window: it is younger.
    if (window && (window != Last || LastClass != window->ClassName() || window->LifeTime < LastAge)) {
        if (!Due.empty()) {
            ++Lost;
            Log("uScreens : " + Due + " left before its picture");
        }
        ++Count;
        char number[16];
        std::snprintf(number, sizeof number, "%02d_", Count);
        Due = number + std::string(window->ClassName()) + ".png";
        Wait = cScreenPictureDelay;
        Last = window;
        LastClass = window->ClassName();
    }
    if (window == Last && window) LastAge = window->LifeTime;
    if (Due.empty() || --Wait > 0) return {};
    std::string name;
    name.swap(Due);
    return name;
}

namespace {

struct TScreenPictures {
    std::string Folder;
    TScreenLog Screens;
    std::string Due; // the picture of frame DueFrame
    int32_t DueFrame = 0;
    int32_t Written = 0;
    int32_t QuitAfter = 0;
};
std::unique_ptr<TScreenPictures> Pictures;

} // namespace

void StartScreenPictures(const std::string& folder, int32_t quitAfter) {
    Pictures = std::make_unique<TScreenPictures>();
    Pictures->Folder = folder;
    Pictures->QuitAfter = quitAfter;
    if (!DirectoryExists(folder) && !CreateDirectory(folder))
        Log("uScreens.StartScreenPictures : can't create \"" + folder + "\"");
}

bool ScreenPicturesStepped(int32_t frame) {
    if (!Pictures) return false;
    Pictures->Due = Pictures->Screens.Look(WindowOf(FocusObject));
    Pictures->DueFrame = frame;
    return !Pictures->Due.empty();
}

void ScreenPicturesDrawn(int32_t frame) {
    if (!Pictures || Pictures->Due.empty() || Pictures->DueFrame != frame) return;
    if (SaveScreenshot(Pictures->Folder + "/" + Pictures->Due)) ++Pictures->Written;
    Pictures->Due.clear();
    if (Pictures->QuitAfter > 0 && Pictures->Written >= Pictures->QuitAfter) RequestRunEnd();
}

} // namespace velmora
