// The campaign's country table ("Countries.txt"), the global level numbering, the paths of
// level files and country art, and the level-file reader.
#pragma once

#include <cstdint>
#include <string>

#include "board/cells.h"

namespace velmora {

constexpr int32_t cMaxCountries = 16;
constexpr int32_t cMaxLevelsPerCountry = 32;

struct TTownCoord {
    int32_t X = 0, Y = 0;
};

// All arrays are indexed 1-based as the game speaks of them; entry 0 is unused.
struct TCountryTable {
    int32_t CountryCount = 0;
    std::string CountryNames[cMaxCountries + 1];
    int32_t LevelCount[cMaxCountries + 1] = {};
    TTownCoord TownCoords[cMaxCountries + 1][cMaxLevelsPerCountry + 1] = {};
    std::string TownNames[cMaxCountries + 1][cMaxLevelsPerCountry + 1];
};

extern TCountryTable Countries;

struct TLevelInfo {
    int32_t Width = 0;
    int32_t Height = 0;
    int32_t Time = 0;
    int32_t ColorCount = 0;
    int32_t Colors[cMaxColors + 1] = {}; // 1..ColorCount
};

// Reads "Countries.txt" of the levels folder over the table; false when the file is missing.
bool ReadCountries();
bool ReadCountriesFrom(const std::string& path, TCountryTable& table);

void LevelToCountry(int32_t level, int32_t& country, int32_t& levelInCountry);
bool IsLastLevelOfCountry(int32_t level);
int32_t FirstLevelOfCountry(int32_t country);
std::string CountryArtFolder(int32_t country);
std::string CountryArtFile(int32_t country, const std::string& name);
std::string LevelFileName(int32_t level);
void GetLevelNames(int32_t level, std::string& countryName, std::string& townName);

// Chip-back style of a country's cells; 0 for a country beyond 8 (the cell keeps its style).
int32_t CountryBackStyle(int32_t country);

// Reads the current player's level file. drawColours: plain chips get random colours that make no
// line with the cells already present (a level being played); otherwise their numbers are stored.
bool ReadLevelFile(TLevelInfo& info, TCellGrid& cells, bool drawColours);
// The same for a given level number.
bool ReadLevelFileOf(int32_t level, TLevelInfo& info, TCellGrid& cells, bool drawColours);
// The same for a file; country gives the chip-back style.
bool ReadLevelFileFrom(const std::string& path, int32_t country, TLevelInfo& info, TCellGrid& cells,
                       bool drawColours);

// A colour of info.Colors drawn uniformly, again while it equals exclude (0 excludes nothing).
// When every listed colour is excluded the last draw is returned rather than looping for ever.
int32_t RandomLevelColor(const TLevelInfo& info, int32_t exclude);

} // namespace velmora
