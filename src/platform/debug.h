// Debug texts for a viewer: written to standard error when VELMORA_DEBUG=1, else dropped.
#pragma once

#include <string>

namespace velmora {

void OutputDebugString(const std::string& text);

} // namespace velmora
