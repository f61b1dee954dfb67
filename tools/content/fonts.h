// FreeType rendering: the game's bitmap fonts and text baked into pictures (logo, map labels).
#pragma once

#include "image.h"

#include <cstdint>
#include <string>

namespace content {

struct TextStyle {
    std::string face;        // file name inside the DejaVu folder
    int px = 16;             // pixel size
    uint32_t top = 0xFFFFFF; // fill colour at the top of the line
    uint32_t bottom = 0xFFFFFF;
    uint32_t outline = 0; // outline colour
    int outlineWidth = 0;
    int shadow = 0; // drop-shadow offset in pixels (down-right)
    double shadowAlpha = 0.6;
};

// A line of UTF-8 text rendered with the style, tightly sized (line height tall).
Image render_text(const std::string& utf8, const TextStyle& style);
// The folder of the Debian DejaVu fonts.
std::string font_folder();

} // namespace content
