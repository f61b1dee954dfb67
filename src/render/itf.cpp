#include "render/itf.h"

#include "app/log.h"
#include "platform/files.h"

#include <algorithm>
#include <fstream>

namespace velmora {

namespace {

int32_t ReadI32(const uint8_t* p) {
    return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                                static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24);
}

// Glyph sizes come straight from a file: a negative size would turn quads inside out and
// a huge one would cover the screen.
int32_t SaneSize(int32_t v) {
    return std::clamp(v, 0, 4096);
}

TItfGlyph DecodeGlyph(const uint8_t* p) {
    TItfGlyph g;
    g.X = ReadI32(p);
    g.Y = ReadI32(p + 4);
    g.W = SaneSize(ReadI32(p + 8));
    g.H = SaneSize(ReadI32(p + 12));
    g.Shift = std::clamp(ReadI32(p + 16), -4096, 4096);
    g.Transposed = p[20] != 0;
    return g;
}

} // namespace

bool ParseItf(const uint8_t* data, size_t size, TItfData& out, const std::string& fileName) {
    out = TItfData{};
    size = std::min(size, cItfReadLimit);
    if (size < 260) {
        Log("TIndexedTextureFont.RestoreDeviceObjects: Font file too short \"" + fileName + "\"");
        return false;
    }
    const size_t n = data[0];
    out.Chars.assign(reinterpret_cast<const char*>(data + 1), n);
    out.LineHeight = SaneSize(ReadI32(data + 256));
    out.Glyphs.resize(n);
    size_t present = size > cItfHeaderSize ? (size - cItfHeaderSize) / cItfGlyphSize : 0;
    if (present < n) {
        Log("TIndexedTextureFont.RestoreDeviceObjects: Glyph records missing in \"" + fileName +
            "\"; Chars=" + std::to_string(n) + "; Records=" + std::to_string(present));
    }
    for (size_t k = 0; k < n && k < present; ++k) {
        out.Glyphs[k] = DecodeGlyph(data + cItfHeaderSize + cItfGlyphSize * k);
    }
    return true;
}

bool ReadItfFile(const std::string& gamePath, TItfData& out) {
    // Only the first block is ever used, so a huge file costs no more than a proper one.
    std::ifstream in(ResolvePath(gamePath), std::ios::binary);
    if (!in) {
        Log("TIndexedTextureFont.RestoreDeviceObjects: File not exists \"" + gamePath + "\"");
        out = TItfData{};
        return false;
    }
    std::vector<uint8_t> bytes(cItfReadLimit);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return ParseItf(bytes.data(), static_cast<size_t>(in.gcount()), out, gamePath);
}

} // namespace velmora
