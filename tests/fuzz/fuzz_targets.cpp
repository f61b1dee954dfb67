#include "fuzz_targets.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <unistd.h>

#include "app/gamedat.h"
#include "app/language.h"
#include "app/log.h"
#include "app/options.h"
#include "app/testhooks.h"
#include "app/textfile.h"
#include "board/countries.h"
#include "board/gamevis.h"
#include "platform/files.h"
#include "platform/win32.h"
#include "render/itf.h"
#include "render/multirect.h"
#include "render/particles.h"
#include "render/tex.h"
#include "render/tga.h"
#include "startup/w_rescreator.h"

namespace velmora::fuzz {

namespace fs = std::filesystem;

namespace {

fs::path& Scratch() {
    static fs::path dir;
    return dir;
}

std::string Put(const std::string& relative, const uint8_t* data, size_t size) {
    const fs::path file = Scratch() / relative;
    std::ofstream(file, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    return file.string();
}

std::string Put(const std::string& relative, const std::string& text) {
    return Put(relative, reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

void ReadOptionsFile(const uint8_t* data, size_t size) {
    TOptionsRec rec;
    ReadOptionsFrom(Put("Options.txt", data, size), rec);
}

// The first line chooses the language, the rest are the text resources.
void ReadTexts(const uint8_t* data, size_t size) {
    const std::string all(reinterpret_cast<const char*>(data), size);
    const size_t end = all.find('\n');
    Put("Texts/Language.txt", all.substr(0, end));
    Put("Texts/TextResourses.txt", end == std::string::npos ? std::string() : all.substr(end + 1));
    TLang lang;
    std::string text;
    lang.GetText("TEXT_Title_EXITGAME", text);
}

void ReadGameDatFile(const uint8_t* data, size_t size) {
    Put("PlayerData/Game.dat", data, size);
    LoadGameDat();
    CurrentPlayerRec();
}

void ReadTga(const uint8_t* data, size_t size) {
    const std::string file = Put("Textures/Fuzz.tga", data, size);
    TTgaHeader header;
    ReadTgaHeader(file, header);
    TTgaImage image;
    LoadTgaImage(file, image, 1);
}

void ReadJpeg(const uint8_t* data, size_t size) {
    const std::string file = Put("Textures/Fuzz.jpg", data, size);
    JpgToTga(file, (Scratch() / "Textures/FuzzOut.tga").string());
}

void ReadUv(const uint8_t* data, size_t size) {
    Put("Textures/Fuzz.uv", data, size);
    TTexArr textures(0);
    TUVRect rects[cMaxParticlesUV];
    int32_t count = 0;
    textures.LoadUVFromFile("\\Textures\\Fuzz.uv", rects, cMaxParticlesUV, count);
}

void ReadDscrFile(const uint8_t* data, size_t size) {
    const std::string file = Put("Textures/Fuzz.dscr", data, size);
    TTexMultiRect rects(8, file);
    for (int32_t slot = 1; slot <= 8; ++slot)
        rects.SetSlot(slot, slot);
}

void ReadItf(const uint8_t* data, size_t size) {
    TItfData font;
    ReadItfFile(Put("Fonts/Fuzz.itf", data, size), font);
}

void ReadPrt(const uint8_t* data, size_t size) {
    const std::string file = Put("Particles/Fuzz.prt", data, size);
    ForgetParticleFiles();
    TParticles particles;
    particles.LoadFromFile(file);
    particles.BuildRamps();
    particles.Reset();
}

void ReadCountryTable(const uint8_t* data, size_t size) {
    TCountryTable table;
    ReadCountriesFrom(Put("Levels/Countries.txt", data, size), table);
}

void ReadLevel(const uint8_t* data, size_t size) {
    TLevelInfo info;
    TCellGrid cells{};
    ReadLevelFileFrom(Put("Levels/01.map", data, size), 1, info, cells, true);
}

void ReadColourList(const uint8_t* data, size_t size) {
    uint32_t colours[cMaxSlices + 1] = {};
    int32_t count = 0;
    ReadMaskColorsFile(Put("Textures/!Colors.txt", data, size), colours, count);
}

void ReadUnpack(const uint8_t* data, size_t size) {
    ReadUnpackList(Put("Textures/tga2jpgANDmask.txt", data, size), [](const std::string&) {});
}

void ReadCursor(const uint8_t* data, size_t size) {
    std::vector<uint8_t> bytes;
    ReadWholeFile(Put("Cursor_1.xcr", data, size), bytes, cMaxSmallFileBytes);
    CursorImage image;
    std::string error;
    DecodeCursorFile(bytes, image, error);
}

void ReadScript(const uint8_t* data, size_t size) {
    std::vector<TScriptEvent> events;
    LoadScript(Put("script.txt", data, size), events);
}

} // namespace

const std::vector<TFuzzTarget>& FuzzTargets() {
    static const std::vector<TFuzzTarget> targets = {
        {"options", ".txt", ReadOptionsFile},
        {"texts", ".txt", ReadTexts},
        {"gamedat", ".dat", ReadGameDatFile},
        {"tga", ".tga", ReadTga},
        {"jpeg", ".jpg", ReadJpeg},
        {"uv", ".uv", ReadUv},
        {"dscr", ".dscr", ReadDscrFile},
        {"itf", ".itf", ReadItf},
        {"prt", ".prt", ReadPrt},
        {"countries", ".txt", ReadCountryTable},
        {"level", ".map", ReadLevel},
        {"colours", ".txt", ReadColourList},
        {"unpack", ".txt", ReadUnpack},
        {"cursor", ".xcr", ReadCursor},
        {"script", ".txt", ReadScript},
    };
    return targets;
}

const TFuzzTarget* FindFuzzTarget(const std::string& name) {
    for (const TFuzzTarget& t : FuzzTargets())
        if (name == t.Name) return &t;
    return nullptr;
}

void PrepareFuzzing() {
    if (!Scratch().empty()) return;
    const fs::path shm = fs::exists("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
    Scratch() = shm / ("velmora_fuzz_" + std::to_string(getpid()));
    for (const char* sub : {"Texts", "PlayerData", "Textures", "Fonts", "Particles", "Levels"})
        fs::create_directories(Scratch() / sub);
    SetLogFile("/dev/null");
    // Every path in the scratch folder, whatever the game's own choice of folders is.
    const std::string base = Scratch().string();
    InitDataPaths(base);
    Paths.ErrorLog = "/dev/null";
    std::atexit([] {
        std::error_code ec;
        fs::remove_all(Scratch(), ec);
    });
}

} // namespace velmora::fuzz
