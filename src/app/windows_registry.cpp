#include "engine/group.h"

namespace velmora {

void RegisterPlayWindows();
void RegisterUiWindows();
void RegisterStartupWindows();

// Linked into the game itself (not the core library), so it may reach the window folders.
void RegisterAllWindows() {
    RegisterStartupWindows();
    RegisterUiWindows();
    RegisterPlayWindows();
}

} // namespace velmora
