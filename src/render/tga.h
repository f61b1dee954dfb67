// In-memory TGA images and the tools the resource creator and the art slices build textures with:
// JPEG/BMP conversion, alpha merging, compositing, colour masks and glows.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/win32.h"

namespace velmora {

constexpr int32_t cTgaHeaderSize = 18;
constexpr int32_t cTgaFooterSize = 26;
constexpr int32_t cMaxTgaSide = 8192; // larger pictures are refused as absurd
constexpr int32_t cMaxJpegSide = 2048; // shipped JPEGs are screen-sized; a few bytes must not claim 200 MB
constexpr int32_t cMaxGlowSide = 256; // padded glow images stay within 256 x 256

// The 18-byte header as it stands in the file.
struct TTgaHeader {
    uint8_t Bytes[cTgaHeaderSize] = {};
    uint8_t IdLength() const { return Bytes[0]; }
    uint8_t ImageType() const { return Bytes[2]; }
    int32_t Width() const { return Bytes[12] | (Bytes[13] << 8); }
    int32_t Height() const { return Bytes[14] | (Bytes[15] << 8); }
    uint8_t Bits() const { return Bytes[16]; }
    bool TopRowFirst() const { return (Bytes[17] & 0x20) != 0; } // else the bottom row comes first
    void SetSize(int32_t width, int32_t height);
};

// Pixels are 0xAARRGGBB, rows in the order the loader left them (file order unless flipped).
struct TTgaImage {
    TTgaHeader Header;
    std::vector<uint32_t> Data; // empty once freed

    int32_t Width() const { return Header.Width(); }
    int32_t Height() const { return Header.Height(); }
    uint32_t& At(int32_t x, int32_t y) { return Data[static_cast<size_t>(y) * Width() + x]; }
    uint32_t At(int32_t x, int32_t y) const { return Data[static_cast<size_t>(y) * Width() + x]; }
};

// Inclusive pixel bounds.
struct TImageRect {
    int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
};

bool ReadTgaHeader(const std::string& fileName, TTgaHeader& header);
// Flip 0 keeps the file's row order, 1 reverses it. Short, mismatched, absurd or non-32-bit files
// are refused with a message naming the file.
bool LoadTgaImage(const std::string& fileName, TTgaImage& image, int32_t flip);
// Header, pixels (rows reversed when Flip is 1) and the TGA 2.0 footer.
bool SaveTgaImage(const std::string& fileName, const TTgaImage& image, int32_t flip);
void FreeTgaImage(TTgaImage& image);
// 32-bit uncompressed image; pixels zeroed. Sizes must be 1..65535.
bool NewTgaImage(TTgaImage& image, int32_t width, int32_t height);
void FillTgaImage(TTgaImage& image, uint32_t colour);

bool JpgToTga(const std::string& jpgName, const std::string& tgaName);
bool BmpToTga(const std::string& bmpName, const std::string& tgaName);
// Colour image's RGB with the alpha image's red channel as alpha.
bool MergeAlpha(const std::string& colourName, const std::string& alphaName, const std::string& outName);
// Makes Name.tga from Name.jpg and Name_Alpha.jpg (or Name_Alpha.tga) when it is missing.
bool BuildTgaFromJpg(const std::string& name);

// Alpha-composites Src (or a rectangle of it) over Dst with Src's top-left at (X, Y), clipped.
void ComposeTga(const TTgaImage& src, TTgaImage& dst, int32_t x, int32_t y);
void ComposeTgaRect(const TTgaImage& src, TTgaImage& dst, int32_t x, int32_t y, int32_t srcLeft,
                    int32_t srcTop, int32_t srcWidth, int32_t srcHeight);
// One source pixel over one destination pixel (rounding to nearest, ties to even).
uint32_t ComposePixel(uint32_t src, uint32_t dst);

// Bounds of every pixel with non-zero alpha and the given RGB; false (and the empty-start values
// 2147483647 / -2147483648) when there is none.
bool ColorBounds(const TTgaImage& image, uint32_t rgb, TImageRect& rect);
// Cuts Rect out of the colour image where the mask holds the key colour; saved (rows reversed).
bool ExtractColor(const TTgaImage& colourImage, const TTgaImage& maskImage, const TImageRect& rect,
                  const std::string& fileName, uint32_t rgb);
bool ExtractColorImage(const TTgaImage& colourImage, const TTgaImage& maskImage, const TImageRect& rect,
                       uint32_t rgb, TTgaImage& out);
// Stamps the brush along the outer boundary of the shape; shapes whose padded size passes
// 256 x 256 are refused.
bool MakeGlow(const TTgaImage& shape, const std::string& brushFile, TTgaImage& glow);
bool MakeGlowWithBrush(const TTgaImage& shape, const TTgaImage& brush, TTgaImage& glow);

// Writes the window's client area (the back buffer) to a TGA file through a temporary "TempImage.bmp".
bool SaveScreenshot(HWND window, const std::string& fileName);

} // namespace velmora
