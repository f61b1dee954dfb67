// The total video memory, for the display settings dialog (it offers only 800 x 600 below 4 MiB).
// Asked before the game's own window exists: a hidden window and GL context live for the query.
#pragma once

#include <cstdint>

namespace velmora {

// Bytes: the GL driver's figure when it gives one, else cGenerousVideoMemory.
uint64_t QueryVideoMemory();
constexpr uint64_t cGenerousVideoMemory = uint64_t{256} << 20;

} // namespace velmora
