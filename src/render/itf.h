// Bitmap fonts: the binary ".itf" glyph table and the font object that pairs it with its TGA atlas.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace velmora {

// The whole file is read as one block of at most this many bytes (272 + 24 * 256).
constexpr size_t cItfReadLimit = 6416;
constexpr size_t cItfHeaderSize = 272;
constexpr size_t cItfGlyphSize = 24;

// One glyph record as stored in the file, in atlas pixels.
struct TItfGlyph {
    int32_t X = 0, Y = 0, W = 0, H = 0;
    int32_t Shift = 0;       // from the top of the line to the top of the glyph
    bool Transposed = false; // stored turned in the atlas (only the low byte of the field counts)
};

struct TItfData {
    std::string Chars;             // the character set, in glyph order
    int32_t LineHeight = 0;        // pixels
    std::vector<TItfGlyph> Glyphs; // one per character of Chars
};

// Decodes a font block. Short blocks, negative sizes and glyphs missing from the end are logged
// (with the file name) and made harmless; false only when not even the header is there.
bool ParseItf(const uint8_t* data, size_t size, TItfData& out, const std::string& fileName);
// Reads the first cItfReadLimit bytes of a font file and decodes them.
bool ReadItfFile(const std::string& gamePath, TItfData& out);

} // namespace velmora
