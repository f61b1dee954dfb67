#include "app/d3dapp.h"
#include "engine/group.h"
#include "play/demo.h"
#include "play/w_game.h"

namespace velmora {

// The window classes of this folder announce their codes to the scene group here.
void RegisterPlayWindows() {
    RegisterWindow(4, CreateGameWindow);
    RegisterWindow(cIdleDemoWindow, CreateDemoWindow);
    RegisterCloseHandler(GameCloseHandler);
    RegisterTerminationSaveHook(SaveLevelInProgress);
}

} // namespace velmora
