#include "engine/group.h"

namespace velmora {

// The window classes of this folder announce their codes to the scene group here.
void RegisterStartupWindows() {}

} // namespace velmora
