#include "engine/group.h"

namespace velmora {

// Each window issue adds its RegisterWindow(code, factory) line here.
void RegisterAllWindows() {}

} // namespace velmora
