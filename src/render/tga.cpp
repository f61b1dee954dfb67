#include "render/tga.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <deque>

#include <jpeglib.h>

#include "app/device.h"
#include "app/log.h"
#include "app/options.h"
#include "platform/files.h"

namespace velmora {

namespace {

const char kFooterSignature[] = "TRUEVISION-XFILE.";

std::string Quoted(const std::string& name) {
    return "\"" + name + "\"";
}

bool Refuse(const std::string& where, const std::string& why, const std::string& fileName) {
    Report(where + " : " + why + " " + Quoted(fileName));
    return false;
}

uint32_t ReadU32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

int32_t ReadI32(const uint8_t* p) {
    return static_cast<int32_t>(ReadU32(p));
}
uint16_t ReadU16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

void PutU16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}
void PutU32(std::vector<uint8_t>& out, uint32_t v) {
    PutU16(out, v & 0xFFFF);
    PutU16(out, v >> 16);
}

// Copies pixel rows from file bytes, reversing their order when flip is set.
void CopyRows(const uint8_t* src, int32_t width, int32_t height, bool flip, std::vector<uint32_t>& out) {
    out.resize(static_cast<size_t>(width) * height);
    for (int32_t r = 0; r < height; ++r) {
        const int32_t dr = flip ? height - 1 - r : r;
        const uint8_t* row = src + static_cast<size_t>(r) * width * 4;
        uint32_t* dst = out.data() + static_cast<size_t>(dr) * width;
        for (int32_t c = 0; c < width; ++c)
            dst[c] = ReadU32(row + c * 4);
    }
}

std::string ReplaceExtension(const std::string& name, const std::string& ext) {
    const size_t slash = name.find_last_of("\\/");
    const size_t dot = name.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return name + ext;
    return name.substr(0, dot) + ext;
}

std::string DirectoryOf(const std::string& name) {
    const size_t slash = name.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : name.substr(0, slash);
}

// Rounds num / den (both non-negative, den > 0) to the nearest integer, ties to even.
uint32_t DivRoundEven(uint64_t num, uint64_t den) {
    uint64_t q = num / den;
    const uint64_t twice = (num % den) * 2;
    if (twice > den || (twice == den && (q & 1))) ++q;
    return static_cast<uint32_t>(q);
}

uint32_t Channel(uint32_t c, int shift) {
    return (c >> shift) & 0xFF;
}

// ---- JPEG ----------------------------------------------------------------------------------------

struct TJpegError {
    jpeg_error_mgr Mgr;
    std::jmp_buf Jump;
    char Text[JMSG_LENGTH_MAX];
};

void JpegErrorExit(j_common_ptr info) {
    auto* err = reinterpret_cast<TJpegError*>(info->err);
    (*info->err->format_message)(info, err->Text);
    std::longjmp(err->Jump, 1);
}

void JpegSilence(j_common_ptr, int) {}

// Decodes into 8-bit R, G, B rows, top row first. Kept free of C++ objects with destructors
// between setjmp and the calls that may jump.
bool DecodeJpeg(const std::vector<uint8_t>& bytes, std::vector<uint8_t>& rgb, int32_t& width, int32_t& height,
                std::string& error) {
    jpeg_decompress_struct info;
    TJpegError err;
    info.err = jpeg_std_error(&err.Mgr);
    err.Mgr.error_exit = JpegErrorExit;
    err.Mgr.emit_message = JpegSilence;
    err.Text[0] = 0;
    if (setjmp(err.Jump)) {
        jpeg_destroy_decompress(&info);
        error = err.Text;
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    width = static_cast<int32_t>(info.output_width);
    height = static_cast<int32_t>(info.output_height);
    if (width <= 0 || height <= 0 || width > cMaxJpegSide || height > cMaxJpegSide ||
        info.output_components != 3) {
        jpeg_destroy_decompress(&info);
        error = "unsupported picture size or layout";
        return false;
    }
    rgb.resize(static_cast<size_t>(width) * height * 3);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = rgb.data() + static_cast<size_t>(info.output_scanline) * width * 3;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

// Top-first 24-bit rows to an opaque image, saved bottom-up.
bool SaveOpaqueRows(const std::string& tgaName, const uint8_t* rows, int32_t width, int32_t height,
                    int32_t bpp, int32_t stride, bool bgr) {
    TTgaImage image;
    if (!NewTgaImage(image, width, height)) return false;
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t* p = rows + static_cast<size_t>(y) * stride;
        for (int32_t x = 0; x < width; ++x, p += bpp) {
            const uint32_t r = bgr ? p[2] : p[0], g = p[1], b = bgr ? p[0] : p[2];
            image.At(x, y) = 0xFF000000u | (r << 16) | (g << 8) | b;
        }
    }
    return SaveTgaImage(tgaName, image, 1);
}

bool WriteBmp(const std::string& fileName, const std::vector<uint32_t>& pixels, int32_t width,
              int32_t height) {
    std::vector<uint8_t> out;
    const uint32_t dataSize = static_cast<uint32_t>(width) * height * 4;
    out.push_back('B');
    out.push_back('M');
    PutU32(out, 54 + dataSize);
    PutU32(out, 0);
    PutU32(out, 54);
    PutU32(out, 40);
    PutU32(out, static_cast<uint32_t>(width));
    PutU32(out, static_cast<uint32_t>(height)); // bottom-up
    PutU16(out, 1);
    PutU16(out, 32);
    for (int i = 0; i < 6; ++i)
        PutU32(out, 0);
    for (int32_t y = height - 1; y >= 0; --y)
        for (int32_t x = 0; x < width; ++x)
            PutU32(out, pixels[static_cast<size_t>(y) * width + x]);
    return WriteWholeFile(fileName, out.data(), out.size());
}

// The back buffer as 0xAARRGGBB rows, top first.
bool ReadScreen(std::vector<uint32_t>& pixels, int32_t& width, int32_t& height) {
    if (!Device) return false;
    IDirect3DSurface8* surface = nullptr;
    if (FAILED(Device->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &surface)) || !surface) return false;
    D3DSURFACE_DESC desc{};
    D3DLOCKED_RECT locked{};
    bool ok = SUCCEEDED(surface->GetDesc(&desc)) && D3DFormatBits(desc.Format) == 32 &&
              SUCCEEDED(surface->LockRect(&locked, nullptr, D3DLOCK_READONLY));
    if (ok) {
        width = static_cast<int32_t>(desc.Width);
        height = static_cast<int32_t>(desc.Height);
        pixels.resize(static_cast<size_t>(width) * height);
        for (int32_t y = 0; y < height; ++y)
            std::memcpy(&pixels[static_cast<size_t>(y) * width],
                        static_cast<const uint8_t*>(locked.pBits) + static_cast<size_t>(y) * locked.Pitch,
                        static_cast<size_t>(width) * 4);
        surface->UnlockRect();
    }
    surface->Release();
    return ok && width > 0 && height > 0;
}

} // namespace

void TTgaHeader::SetSize(int32_t width, int32_t height) {
    Bytes[12] = static_cast<uint8_t>(width);
    Bytes[13] = static_cast<uint8_t>(width >> 8);
    Bytes[14] = static_cast<uint8_t>(height);
    Bytes[15] = static_cast<uint8_t>(height >> 8);
}

bool ReadTgaHeader(const std::string& fileName, TTgaHeader& header) {
    std::vector<uint8_t> head;
    if (!ReadFileHead(fileName, head, cTgaHeaderSize))
        return Refuse("uTex.ReadTgaHeader", "File not exists", fileName);
    if (head.size() != static_cast<size_t>(cTgaHeaderSize))
        return Refuse("uTex.ReadTgaHeader", "File is too short", fileName);
    std::memcpy(header.Bytes, head.data(), cTgaHeaderSize);
    return true;
}

bool LoadTgaImage(const std::string& fileName, TTgaImage& image, int32_t flip) {
    const char* where = "uTex.LoadTgaImage";
    FreeTgaImage(image);
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(fileName, bytes)) return Refuse(where, "File not exists", fileName);
    if (bytes.size() < static_cast<size_t>(cTgaHeaderSize))
        return Refuse(where, "File is too short", fileName);
    std::memcpy(image.Header.Bytes, bytes.data(), cTgaHeaderSize);
    const TTgaHeader& h = image.Header;
    if (h.ImageType() != 2 || h.Bits() != 32 || h.Bytes[1] != 0)
        return Refuse(where, "Not an uncompressed 32-bit TGA", fileName);
    if (h.Width() <= 0 || h.Height() <= 0 || h.Width() > cMaxTgaSide || h.Height() > cMaxTgaSide)
        return Refuse(where, "Invalid image size", fileName);
    const size_t start = cTgaHeaderSize + h.IdLength();
    const size_t need = static_cast<size_t>(h.Width()) * h.Height() * 4;
    if (bytes.size() < start + need) return Refuse(where, "File size does not match the header", fileName);
    image.Header.Bytes[0] = 0; // the id field is not kept
    CopyRows(bytes.data() + start, h.Width(), h.Height(), flip == 1, image.Data);
    return true;
}

bool SaveTgaImage(const std::string& fileName, const TTgaImage& image, int32_t flip) {
    const int32_t w = image.Width(), h = image.Height();
    if (image.Data.size() != static_cast<size_t>(w) * h)
        return Refuse("uTex.SaveTgaImage", "Image has no pixel data", fileName);
    std::vector<uint8_t> out(image.Header.Bytes, image.Header.Bytes + cTgaHeaderSize);
    out[0] = 0;
    out.reserve(cTgaHeaderSize + image.Data.size() * 4 + cTgaFooterSize);
    for (int32_t r = 0; r < h; ++r) {
        const int32_t sr = flip == 1 ? h - 1 - r : r;
        for (int32_t c = 0; c < w; ++c)
            PutU32(out, image.Data[static_cast<size_t>(sr) * w + c]);
    }
    out.insert(out.end(), 8, 0);
    out.insert(out.end(), kFooterSignature, kFooterSignature + sizeof(kFooterSignature)); // with its zero
    if (!WriteWholeFile(fileName, out.data(), out.size()))
        return Refuse("uTex.SaveTgaImage", "Can not write file", fileName);
    return true;
}

void FreeTgaImage(TTgaImage& image) {
    image.Data.clear();
    image.Data.shrink_to_fit();
}

bool NewTgaImage(TTgaImage& image, int32_t width, int32_t height) {
    FreeTgaImage(image);
    image.Header = TTgaHeader{};
    if (width <= 0 || height <= 0 || width > 0xFFFF || height > 0xFFFF) {
        Report("uTex.NewTgaImage : Invalid image size.  Width=" + std::to_string(width) +
               "; Height=" + std::to_string(height));
        return false;
    }
    image.Header.Bytes[2] = 2;
    image.Header.Bytes[16] = 32;
    image.Header.SetSize(width, height);
    image.Data.assign(static_cast<size_t>(width) * height, 0);
    return true;
}

void FillTgaImage(TTgaImage& image, uint32_t colour) {
    std::fill(image.Data.begin(), image.Data.end(), colour);
}

bool JpgToTga(const std::string& jpgName, const std::string& tgaName) {
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(jpgName, bytes)) return Refuse("uTex.JpgToTga", "File not exists", jpgName);
    std::vector<uint8_t> rgb;
    int32_t w = 0, h = 0;
    std::string error;
    if (!DecodeJpeg(bytes, rgb, w, h, error))
        return Refuse("uTex.JpgToTga", "JPEG decoding failed (" + error + ")", jpgName);
    return SaveOpaqueRows(tgaName, rgb.data(), w, h, 3, w * 3, false);
}

bool BmpToTga(const std::string& bmpName, const std::string& tgaName) {
    const char* where = "uTex.BmpToTga";
    std::vector<uint8_t> b;
    if (!ReadWholeFile(bmpName, b)) return Refuse(where, "File not exists", bmpName);
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') return Refuse(where, "Not a BMP file", bmpName);
    const uint32_t offset = ReadU32(&b[10]);
    const int32_t w = ReadI32(&b[18]), rawH = ReadI32(&b[22]);
    const int32_t bits = ReadU16(&b[28]), compression = ReadI32(&b[30]);
    const int32_t h = rawH < 0 ? -rawH : rawH;
    if ((bits != 24 && bits != 32) || (compression != 0 && compression != 3))
        return Refuse(where, "Only uncompressed 24- and 32-bit pictures are read", bmpName);
    if (w <= 0 || h <= 0 || w > cMaxTgaSide || h > cMaxTgaSide)
        return Refuse(where, "Invalid image size", bmpName);
    const int32_t bpp = bits / 8, stride = (w * bpp + 3) & ~3;
    if (b.size() < offset + static_cast<size_t>(stride) * h)
        return Refuse(where, "File size does not match the header", bmpName);
    // Rows top first: bottom-up files are read from their end.
    std::vector<uint8_t> rows(static_cast<size_t>(stride) * h);
    for (int32_t y = 0; y < h; ++y) {
        const int32_t sy = rawH < 0 ? y : h - 1 - y;
        std::memcpy(&rows[static_cast<size_t>(y) * stride], &b[offset + static_cast<size_t>(sy) * stride],
                    stride);
    }
    return SaveOpaqueRows(tgaName, rows.data(), w, h, bpp, stride, true);
}

bool MergeAlpha(const std::string& colourName, const std::string& alphaName, const std::string& outName) {
    TTgaImage colour, alpha;
    if (!LoadTgaImage(colourName, colour, 0) || !LoadTgaImage(alphaName, alpha, 0)) return false;
    if (colour.Width() != alpha.Width() || colour.Height() != alpha.Height())
        return Refuse("uTex.MergeAlpha", "Alpha picture size differs from", colourName);
    for (size_t i = 0; i < colour.Data.size(); ++i)
        colour.Data[i] = (Channel(alpha.Data[i], 16) << 24) | (colour.Data[i] & 0x00FFFFFFu);
    return SaveTgaImage(outName, colour, 0);
}

bool BuildTgaFromJpg(const std::string& name) {
    const std::string t = ReplaceExtension(name, ".tga");
    const std::string j = ReplaceExtension(name, ".jpg");
    const std::string base = ReplaceExtension(name, "");
    const std::string aj = base + "_Alpha.jpg", at = base + "_Alpha.tga";
    if (FileExists(t)) return true;
    if (FileExists(aj) && !FileExists(at)) JpgToTga(aj, at);
    if (FileExists(j) && !FileExists(t)) JpgToTga(j, t);
    if (FileExists(t) && FileExists(at)) return MergeAlpha(t, at, t);
    return FileExists(t);
}

uint32_t ComposePixel(uint32_t s, uint32_t d) {
    const uint32_t sa = s >> 24;
    if (sa == 255) return s;
    if (sa == 0) return d;
    const uint64_t da = d >> 24;
    // With as = sa/255, ad' = (1-as)*da/255: as + ad' = n / 255^2.
    const uint64_t ws = 255ull * sa, wd = (255ull - sa) * da, n = ws + wd;
    uint32_t out = DivRoundEven(n, 255) << 24;
    for (int shift = 0; shift <= 16; shift += 8)
        out |= DivRoundEven(Channel(s, shift) * ws + Channel(d, shift) * wd, n) << shift;
    return out;
}

void ComposeTgaRect(const TTgaImage& src, TTgaImage& dst, int32_t x, int32_t y, int32_t srcLeft,
                    int32_t srcTop, int32_t srcWidth, int32_t srcHeight) {
    const int32_t x0 = std::max(srcLeft, 0), y0 = std::max(srcTop, 0);
    const int32_t x1 = std::min(srcLeft + srcWidth, src.Width()),
                  y1 = std::min(srcTop + srcHeight, src.Height());
    if (src.Data.empty() || dst.Data.empty()) return;
    for (int32_t sy = y0; sy < y1; ++sy) {
        const int32_t dy = y + sy - srcTop;
        if (dy < 0 || dy >= dst.Height()) continue;
        for (int32_t sx = x0; sx < x1; ++sx) {
            const int32_t dx = x + sx - srcLeft;
            if (dx < 0 || dx >= dst.Width()) continue;
            dst.At(dx, dy) = ComposePixel(src.At(sx, sy), dst.At(dx, dy));
        }
    }
}

void ComposeTga(const TTgaImage& src, TTgaImage& dst, int32_t x, int32_t y) {
    ComposeTgaRect(src, dst, x, y, 0, 0, src.Width(), src.Height());
}

bool ColorBounds(const TTgaImage& image, uint32_t rgb, TImageRect& rect) {
    rect = {2147483647, 2147483647, -2147483647 - 1, -2147483647 - 1};
    bool found = false;
    for (int32_t y = 0; y < image.Height() && !image.Data.empty(); ++y)
        for (int32_t x = 0; x < image.Width(); ++x) {
            const uint32_t p = image.At(x, y);
            if ((p >> 24) == 0 || (p & 0xFFFFFF) != (rgb & 0xFFFFFF)) continue;
            rect.Left = std::min(rect.Left, x);
            rect.Top = std::min(rect.Top, y);
            rect.Right = std::max(rect.Right, x);
            rect.Bottom = std::max(rect.Bottom, y);
            found = true;
        }
    return found;
}

bool ExtractColorImage(const TTgaImage& colourImage, const TTgaImage& maskImage, const TImageRect& rect,
                       uint32_t rgb, TTgaImage& out) {
    const auto inside = [&](const TTgaImage& im) {
        return rect.Left >= 0 && rect.Top >= 0 && rect.Left <= rect.Right && rect.Top <= rect.Bottom &&
               rect.Right < im.Width() && rect.Bottom < im.Height() && !im.Data.empty();
    };
    if (!inside(colourImage) || !inside(maskImage)) {
        Report("uTex.ExtractColor : Rectangle outside the pictures.  Left=" + std::to_string(rect.Left) +
               "; Top=" + std::to_string(rect.Top) + "; Right=" + std::to_string(rect.Right) +
               "; Bottom=" + std::to_string(rect.Bottom));
        return false;
    }
    if (!NewTgaImage(out, rect.Right - rect.Left + 1, rect.Bottom - rect.Top + 1)) return false;
    for (int32_t y = rect.Top; y <= rect.Bottom; ++y)
        for (int32_t x = rect.Left; x <= rect.Right; ++x) {
            const uint32_t m = maskImage.At(x, y);
            const bool key = (m >> 24) != 0 && (m & 0xFFFFFF) == (rgb & 0xFFFFFF);
            out.At(x - rect.Left, y - rect.Top) =
                key ? (m & 0xFF000000u) | (colourImage.At(x, y) & 0xFFFFFF) : 0;
        }
    return true;
}

bool ExtractColor(const TTgaImage& colourImage, const TTgaImage& maskImage, const TImageRect& rect,
                  const std::string& fileName, uint32_t rgb) {
    TTgaImage out;
    if (!ExtractColorImage(colourImage, maskImage, rect, rgb, out)) return false;
    const std::string dir = DirectoryOf(fileName);
    if (!dir.empty() && !DirectoryExists(dir)) CreateDirectory(dir);
    return SaveTgaImage(fileName, out, 1);
}

bool MakeGlowWithBrush(const TTgaImage& shape, const TTgaImage& brush, TTgaImage& glow) {
    const int32_t r = brush.Width() / 2;
    const int32_t w = shape.Width() + 2 * r, h = shape.Height() + 2 * r;
    if (w > cMaxGlowSide || h > cMaxGlowSide || shape.Data.empty()) {
        Report("uTex.MakeGlow : Shape too large for a glow.  Width=" + std::to_string(w) +
               "; Height=" + std::to_string(h));
        return false;
    }
    if (!NewTgaImage(glow, w, h)) return false;
    ComposeTga(shape, glow, r, r);
    // Walk the transparent outside from the corner; opaque pixels it touches form the boundary.
    std::vector<uint8_t> seen(static_cast<size_t>(w) * h, 0), boundary(seen.size(), 0);
    std::deque<std::pair<int32_t, int32_t>> queue{{0, 0}};
    seen[0] = 1;
    while (!queue.empty()) {
        const auto [x, y] = queue.front();
        queue.pop_front();
        if ((glow.At(x, y) >> 24) != 0) {
            boundary[static_cast<size_t>(y) * w + x] = 1;
            continue;
        }
        for (int32_t dy = -1; dy <= 1; ++dy)
            for (int32_t dx = -1; dx <= 1; ++dx) {
                const int32_t nx = x + dx, ny = y + dy;
                if (nx < 0 || ny < 0 || nx >= w || ny >= h) continue;
                uint8_t& s = seen[static_cast<size_t>(ny) * w + nx];
                if (s) continue;
                s = 1;
                queue.emplace_back(nx, ny);
            }
    }
    FillTgaImage(glow, 0);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x)
            if (boundary[static_cast<size_t>(y) * w + x]) ComposeTga(brush, glow, x - 5, y - 5);
    return true;
}

bool MakeGlow(const TTgaImage& shape, const std::string& brushFile, TTgaImage& glow) {
    TTgaImage brush;
    if (!LoadTgaImage(brushFile, brush, 1)) return false;
    return MakeGlowWithBrush(shape, brush, glow);
}

bool SaveScreenshot(HWND /*window: its client area is the back buffer*/, const std::string& fileName) {
    std::vector<uint32_t> pixels;
    int32_t w = 0, h = 0;
    if (!ReadScreen(pixels, w, h)) {
        Report("uTex.SaveScreenshot : Screen capture failed " + Quoted(fileName));
        return false;
    }
    const std::string temp = Paths.Base.empty() ? "TempImage.bmp" : Paths.Base + "\\TempImage.bmp";
    if (!WriteBmp(temp, pixels, w, h)) return Refuse("uTex.SaveScreenshot", "Can not write file", temp);
    const bool ok = BmpToTga(temp, fileName);
    DeleteFile(temp);
    return ok;
}

} // namespace velmora
