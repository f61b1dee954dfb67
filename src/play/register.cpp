#include "engine/group.h"
#include "play/w_game.h"

namespace velmora {

// The window classes of this folder announce their codes to the scene group here.
void RegisterPlayWindows() {
    RegisterWindow(4, CreateGameWindow);
    RegisterCloseHandler(GameCloseHandler);
}

} // namespace velmora
