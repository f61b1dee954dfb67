// A throw-away base folder for the service tests: data paths and the error log point into it,
// and files are written there as the game would find them.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/log.h"
#include "app/options.h"

namespace velmora::testing {

class TServicesFolder {
  public:
    TServicesFolder() : SavedPaths(Paths), SavedOptions(Options), SavedLog(LogFile()) {
        std::string pattern = (std::filesystem::temp_directory_path() / "velmora_services_XXXXXX").string();
        Dir = mkdtemp(pattern.data());
        InitDataPaths(Dir.string());
        SetLogFile((Dir / "Error.log").string());
    }
    ~TServicesFolder() {
        Paths = SavedPaths;
        Options = SavedOptions;
        SetLogFile(SavedLog);
        std::error_code ec;
        std::filesystem::remove_all(Dir, ec);
    }
    TServicesFolder(const TServicesFolder&) = delete;
    TServicesFolder& operator=(const TServicesFolder&) = delete;

    // Writes `content` to a path relative to the base folder ("Texts/Language.txt").
    std::filesystem::path Write(const std::string& relative, const std::string& content) const {
        const auto path = Dir / relative;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }
    std::filesystem::path WriteBytes(const std::string& relative, const std::vector<uint8_t>& bytes) const {
        const auto path = Dir / relative;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        return path;
    }
    std::vector<uint8_t> ReadBytes(const std::string& relative) const {
        return ReadFileBytes(Dir / relative);
    }
    std::string LogText() const {
        std::ifstream in(Dir / "Error.log", std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

    static std::vector<uint8_t> ReadFileBytes(const std::filesystem::path& path) {
        std::ifstream in(path, std::ios::binary);
        return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
    }

    std::filesystem::path Dir;

  private:
    TDataPaths SavedPaths;
    TOptionsRec SavedOptions;
    std::string SavedLog;
};

// A 16-bit stereo 44100 Hz WAV file holding a sine tone; amplitude 0..1 of full scale.
inline std::vector<uint8_t> MakeToneWav(double seconds, double amplitude, double frequency = 440.0) {
    const uint32_t rate = 44100, frames = static_cast<uint32_t>(seconds * rate);
    const uint32_t dataBytes = frames * 4;
    std::vector<uint8_t> out;
    auto put32 = [&](uint32_t v) {
        for (int i = 0; i < 4; ++i)
            out.push_back(static_cast<uint8_t>(v >> (8 * i)));
    };
    auto put16 = [&](uint16_t v) {
        out.push_back(static_cast<uint8_t>(v));
        out.push_back(static_cast<uint8_t>(v >> 8));
    };
    auto tag = [&](const char* t) { out.insert(out.end(), t, t + 4); };
    tag("RIFF");
    put32(36 + dataBytes);
    tag("WAVE");
    tag("fmt ");
    put32(16);
    put16(1); // PCM
    put16(2); // stereo
    put32(rate);
    put32(rate * 4); // bytes per second
    put16(4);        // block align
    put16(16);       // bits
    tag("data");
    put32(dataBytes);
    for (uint32_t i = 0; i < frames; ++i) {
        const auto v = static_cast<int16_t>(
            std::lround(amplitude * 32767.0 * std::sin(2 * M_PI * frequency * i / rate)));
        put16(static_cast<uint16_t>(v));
        put16(static_cast<uint16_t>(v));
    }
    return out;
}

// Sets an environment variable for the lifetime of the object.
class TScopedEnv {
  public:
    TScopedEnv(const char* name, const std::string& value) : Name(name) {
        if (const char* old = std::getenv(name)) {
            Had = true;
            Old = old;
        }
        setenv(name, value.c_str(), 1);
    }
    ~TScopedEnv() {
        if (Had)
            setenv(Name.c_str(), Old.c_str(), 1);
        else
            unsetenv(Name.c_str());
    }
    TScopedEnv(const TScopedEnv&) = delete;
    TScopedEnv& operator=(const TScopedEnv&) = delete;

  private:
    std::string Name, Old;
    bool Had = false;
};

} // namespace velmora::testing
