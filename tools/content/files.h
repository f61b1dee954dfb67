// Writing files, code pages and the tool's one random source.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace content {

// Writes the bytes, creating missing folders; throws on failure (the tool stops with a message).
void write_file(const std::filesystem::path& path, std::string_view bytes);

enum class CodePage { Cp1252, Cp1251 };

// UTF-8 to the single-byte code page; a character the page lacks is an error (thrown).
std::string to_codepage(std::string_view utf8, CodePage cp);
// The Unicode character of a code page byte; 0 for bytes the page leaves undefined.
char32_t codepage_char(unsigned char byte, CodePage cp);

// Small deterministic generator (xorshift64*), identical on every platform and library.
class Rng {
  public:
    explicit Rng(uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 0x1234567ull) { next(); }
    uint64_t next() {
        state_ ^= state_ >> 12;
        state_ ^= state_ << 25;
        state_ ^= state_ >> 27;
        return state_ * 2685821657736338717ull;
    }
    double uniform() { return double(next() >> 11) * (1.0 / 9007199254740992.0); }
    double range(double lo, double hi) { return lo + (hi - lo) * uniform(); }
    int below(int n) { return n <= 0 ? 0 : int(next() % uint64_t(n)); }

  private:
    uint64_t state_;
};

} // namespace content
