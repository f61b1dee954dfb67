#include "app/screenshot.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>

#include "app/device.h"
#include "app/log.h"
#include "platform/files.h"

namespace velmora {

bool ReadBackBuffer(TPixelImage& out) {
    if (!Device) {
        Log("uScreenshot.ReadBackBuffer : no device");
        return false;
    }
    IDirect3DSurface8* surface = nullptr;
    HRESULT hr = Device->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &surface);
    if (FAILED(hr) || !surface) {
        Log("uScreenshot.ReadBackBuffer : Device.GetBackBuffer error " + D3DErrorName(hr));
        return false;
    }
    D3DSURFACE_DESC desc{};
    surface->GetDesc(&desc);
    D3DLOCKED_RECT locked{};
    hr = surface->LockRect(&locked, nullptr, D3DLOCK_READONLY);
    if (FAILED(hr) || !locked.pBits) {
        Log("uScreenshot.ReadBackBuffer : LockRect error " + D3DErrorName(hr));
        surface->Release();
        return false;
    }
    out.Width = static_cast<int32_t>(desc.Width);
    out.Height = static_cast<int32_t>(desc.Height);
    out.Pixels.assign(static_cast<size_t>(out.Width) * out.Height, 0);
    const bool opaque = desc.Format == D3DFMT_X8R8G8B8;
    for (int32_t y = 0; y < out.Height; ++y) {
        const auto* row = static_cast<const uint8_t*>(locked.pBits) + static_cast<size_t>(y) * locked.Pitch;
        std::memcpy(&out.Pixels[static_cast<size_t>(y) * out.Width], row, static_cast<size_t>(out.Width) * 4);
    }
    if (opaque)
        for (uint32_t& p : out.Pixels)
            p |= 0xFF000000u;
    surface->UnlockRect();
    surface->Release();
    return true;
}

std::vector<uint8_t> EncodeTga32(const TPixelImage& image) {
    std::vector<uint8_t> out(18, 0);
    out[2] = 2; // uncompressed true colour
    out[12] = static_cast<uint8_t>(image.Width & 0xFF);
    out[13] = static_cast<uint8_t>(image.Width >> 8);
    out[14] = static_cast<uint8_t>(image.Height & 0xFF);
    out[15] = static_cast<uint8_t>(image.Height >> 8);
    out[16] = 32;
    out[17] = 0x28; // 8 alpha bits, top-left origin
    out.reserve(out.size() + image.Pixels.size() * 4);
    for (uint32_t p : image.Pixels) {
        out.push_back(static_cast<uint8_t>(p));       // B
        out.push_back(static_cast<uint8_t>(p >> 8));  // G
        out.push_back(static_cast<uint8_t>(p >> 16)); // R
        out.push_back(static_cast<uint8_t>(p >> 24)); // A
    }
    return out;
}

namespace {

uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc = 0) {
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    crc = ~crc;
    for (size_t i = 0; i < size; ++i)
        crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

void PutBE32(std::vector<uint8_t>& v, uint32_t x) {
    v.push_back(static_cast<uint8_t>(x >> 24));
    v.push_back(static_cast<uint8_t>(x >> 16));
    v.push_back(static_cast<uint8_t>(x >> 8));
    v.push_back(static_cast<uint8_t>(x));
}

void PutChunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
    PutBE32(out, static_cast<uint32_t>(data.size()));
    const size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    PutBE32(out, Crc32(&out[start], out.size() - start));
}

// A zlib stream of stored blocks: no compression library needed, any viewer reads it.
std::vector<uint8_t> ZlibStored(const std::vector<uint8_t>& raw) {
    std::vector<uint8_t> z{0x78, 0x01};
    size_t pos = 0;
    do {
        const size_t len = std::min<size_t>(65535, raw.size() - pos);
        const bool last = pos + len == raw.size();
        z.push_back(last ? 1 : 0);
        z.push_back(static_cast<uint8_t>(len));
        z.push_back(static_cast<uint8_t>(len >> 8));
        z.push_back(static_cast<uint8_t>(~len));
        z.push_back(static_cast<uint8_t>(~len >> 8));
        z.insert(z.end(), raw.begin() + static_cast<std::ptrdiff_t>(pos),
                 raw.begin() + static_cast<std::ptrdiff_t>(pos + len));
        pos += len;
    } while (pos < raw.size());
    uint32_t a = 1, b = 0;
    for (uint8_t c : raw) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    PutBE32(z, (b << 16) | a);
    return z;
}

} // namespace

std::vector<uint8_t> EncodePng(const TPixelImage& image) {
    std::vector<uint8_t> out{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    std::vector<uint8_t> header;
    PutBE32(header, static_cast<uint32_t>(image.Width));
    PutBE32(header, static_cast<uint32_t>(image.Height));
    header.insert(header.end(), {8, 6, 0, 0, 0}); // 8-bit RGBA
    PutChunk(out, "IHDR", header);
    std::vector<uint8_t> raw;
    raw.reserve(image.Pixels.size() * 4 + image.Height);
    for (int32_t y = 0; y < image.Height; ++y) {
        raw.push_back(0); // no filter
        for (int32_t x = 0; x < image.Width; ++x) {
            const uint32_t p = image.Pixels[static_cast<size_t>(y) * image.Width + x];
            raw.insert(raw.end(), {static_cast<uint8_t>(p >> 16), static_cast<uint8_t>(p >> 8),
                                   static_cast<uint8_t>(p), static_cast<uint8_t>(p >> 24)});
        }
    }
    PutChunk(out, "IDAT", ZlibStored(raw));
    PutChunk(out, "IEND", {});
    return out;
}

bool SaveScreenshot(const std::string& gamePath) {
    TPixelImage image;
    if (!ReadBackBuffer(image)) return false;
    std::string lower = gamePath;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return std::tolower(c); });
    const bool png = lower.size() >= 4 && lower.compare(lower.size() - 4, 4, ".png") == 0;
    const std::vector<uint8_t> bytes = png ? EncodePng(image) : EncodeTga32(image);
    if (!WriteWholeFile(gamePath, bytes.data(), bytes.size())) {
        Log("uScreenshot.SaveScreenshot : can't write \"" + gamePath + "\"");
        return false;
    }
    return true;
}

} // namespace velmora
