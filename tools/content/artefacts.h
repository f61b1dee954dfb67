// Artefact pictures, shared by the art folders, the history scenes and the help window.
#pragma once

#include "image.h"

namespace content {

// Country 1..8's artefact, whole, on a transparent 256 × 256 picture.
Image artefact_picture(int country);
// One bonus item (code 1..8) and one chip (colour 1..10), 40 × 40.
Image bonus_picture(int code);
Image chip_picture(int colour);

} // namespace content
