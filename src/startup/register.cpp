#include "engine/group.h"
#include "startup/w_logo.h"
#include "startup/w_rescreator.h"

namespace velmora {

// The window classes of this folder announce their codes to the scene group here.
void RegisterStartupWindows() {
    RegisterWindow(9, CreateResCreator);
    RegisterWindow(10, CreateLogo);
}

} // namespace velmora
