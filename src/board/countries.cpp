#include "board/countries.h"

#include <cstdio>
#include <sstream>
#include <vector>

#include "app/language.h"
#include "app/log.h"
#include "app/options.h"
#include "app/textfile.h"
#include "board/playerlink.h"
#include "engine/random.h"
#include "platform/files.h"

namespace velmora {

TCountryTable Countries;

namespace {

// A table holds a few keys and one town line per level; a level file a few keys and the board rows.
constexpr size_t cMaxCountryTableLines = 32 + cMaxCountries * (cMaxLevelsPerCountry + 1);
constexpr size_t cMaxLevelFileLines = 32 + cMaxNetSize;

std::vector<std::string> SplitWords(const std::string& value) {
    std::vector<std::string> words;
    std::istringstream in(value);
    std::string w;
    while (in >> w)
        words.push_back(w);
    return words;
}

std::string Where(const std::string& path, int lineNo) {
    return "'" + path + "' line " + std::to_string(lineNo);
}

int32_t CountryIndex(const TCountryTable& t, const std::string& name) {
    for (int32_t c = 1; c <= t.CountryCount; ++c)
        if (t.CountryNames[c] == name) return c;
    return 0;
}

// A town line: an ignored first word, X, Y, then the rest as the town's name.
void ReadTownLine(const std::string& line, TTownCoord& coord, std::string& name) {
    std::istringstream in(line);
    std::string skip, x, y;
    in >> skip >> x >> y;
    coord.X = ParseInt(x);
    coord.Y = ParseInt(y);
    std::string rest;
    std::getline(in, rest);
    name = Trim(rest);
}

int32_t ClampCount(int32_t n, int32_t limit, const std::string& what, const std::string& where) {
    if (n < 0) {
        Log("uCountries.ReadCountries : negative " + what + " in " + where + "; Value=" + std::to_string(n));
        return 0;
    }
    if (n > limit) {
        Log("uCountries.ReadCountries : " + what + " above the limit in " + where +
            "; Value=" + std::to_string(n) + "; Limit=" + std::to_string(limit));
        return limit;
    }
    return n;
}

} // namespace

bool ReadCountriesFrom(const std::string& path, TCountryTable& t) {
    std::vector<std::string> lines;
    if (!ReadTextLines(path, lines)) return false;
    CapDataLines(lines, cMaxCountryTableLines, "uCountries.ReadCountries", path);
    for (size_t i = 0; i < lines.size(); ++i) {
        if (IsCommentLine(lines[i])) continue;
        const int lineNo = static_cast<int>(i) + 1;
        const TDataLine dl = SplitDataLine(lines[i], lineNo);
        if (dl.Key == "CountryCount") {
            t.CountryCount =
                ClampCount(ParseInt(dl.Value), cMaxCountries, "CountryCount", Where(path, lineNo));
        } else if (dl.Key == "CountryNames") {
            const auto words = SplitWords(dl.Value);
            for (int32_t c = 1; c <= t.CountryCount && c <= static_cast<int32_t>(words.size()); ++c)
                t.CountryNames[c] = words[c - 1];
        } else if (dl.Key == "LevelCount") {
            const auto words = SplitWords(dl.Value);
            for (int32_t c = 1; c <= t.CountryCount && c <= static_cast<int32_t>(words.size()); ++c)
                t.LevelCount[c] = ClampCount(ParseInt(words[c - 1]), cMaxLevelsPerCountry, "LevelCount",
                                             Where(path, lineNo));
        } else if (dl.Key == "TownCoords") {
            const int32_t c = CountryIndex(t, dl.Value);
            if (c == 0) {
                // Its town lines cannot be told from keys, so they are skipped as comments would be.
                Log("uCountries.ReadCountries : TownCoords for an unknown country in " + Where(path, lineNo) +
                    "; Country=" + dl.Value);
                continue;
            }
            for (int32_t k = 1; k <= t.LevelCount[c]; ++k) {
                if (i + 1 >= lines.size()) {
                    Log("uCountries.ReadCountries : file ends inside the TownCoords block of " + dl.Value +
                        " in '" + path + "'");
                    break;
                }
                ++i;
                ReadTownLine(lines[i], t.TownCoords[c][k], t.TownNames[c][k]);
            }
        }
    }
    return true;
}

bool ReadCountries() {
    // The town names are the running language's when its folder has a table of its own.
    const std::string file = LanguageFile(Paths.Levels + "\\Countries.txt", "\\Levels\\Countries.txt");
    return ReadCountriesFrom(ResolvePath(file), Countries);
}

void LevelToCountry(int32_t level, int32_t& country, int32_t& levelInCountry) {
    int32_t rest = level;
    for (int32_t c = 1; c <= Countries.CountryCount; ++c) {
        if (rest >= 1 && rest <= Countries.LevelCount[c]) {
            country = c;
            levelInCountry = rest;
            return;
        }
        rest -= Countries.LevelCount[c];
    }
}

bool IsLastLevelOfCountry(int32_t level) {
    int32_t country = 0, inCountry = 0;
    LevelToCountry(level, country, inCountry);
    return country >= 1 && inCountry == Countries.LevelCount[country];
}

int32_t FirstLevelOfCountry(int32_t country) {
    int32_t first = 1;
    for (int32_t c = 1; c < country && c <= cMaxCountries; ++c)
        first += Countries.LevelCount[c];
    return first;
}

namespace {
const std::string& CountryName(int32_t country) {
    static const std::string none;
    return country >= 1 && country <= cMaxCountries ? Countries.CountryNames[country] : none;
}
} // namespace

std::string CountryArtFolder(int32_t country) {
    return "Textures\\Arts\\" + CountryName(country);
}

std::string CountryArtFile(int32_t country, const std::string& name) {
    return CountryArtFolder(country) + "\\" + name + ".tga";
}

std::string LevelFileName(int32_t level) {
    int32_t country = 0, inCountry = 0;
    LevelToCountry(level, country, inCountry);
    char number[16];
    std::snprintf(number, sizeof number, "%.2d", static_cast<int>(inCountry));
    return Paths.Levels + "\\" + CountryName(country) + "\\" + number + ".map";
}

void GetLevelNames(int32_t level, std::string& countryName, std::string& townName) {
    static const char* const keys[] = {"",
                                       "TEXT_CountryName_Greece",
                                       "TEXT_CountryName_Babylon",
                                       "TEXT_CountryName_Egypt",
                                       "TEXT_CountryName_Egypt",
                                       "TEXT_CountryName_Rome",
                                       "TEXT_CountryName_Carthage",
                                       "TEXT_CountryName_Velmora",
                                       "TEXT_CountryName_Velmora"};
    if (level == 0) {
        countryName = BoardText("TEXT_CountryName_None");
        townName = countryName;
        return;
    }
    int32_t country = 0, inCountry = 0;
    LevelToCountry(level, country, inCountry);
    countryName = country >= 1 && country <= 8 ? BoardText(keys[country]) : std::string();
    townName = country >= 1 && inCountry >= 1 ? Countries.TownNames[country][inCountry] : std::string();
}

int32_t CountryBackStyle(int32_t country) {
    static const int32_t styles[] = {0, 1, 3, 2, 2, 4, 5, 6, 6};
    return country >= 1 && country <= 8 ? styles[country] : 0;
}

int32_t RandomLevelColor(const TLevelInfo& info, int32_t exclude) {
    const int32_t n = std::min(info.ColorCount, cMaxColors);
    if (n < 1) return 1;
    int32_t c = 0;
    for (int attempt = 0; attempt < 256; ++attempt) {
        c = info.Colors[1 + RandomInt(n)];
        if (c != exclude || exclude == 0) return c;
    }
    return c;
}

namespace {

struct TCellCode {
    uint8_t Kind;
    int32_t Lock;
};

TCellCode DecodeCell(char code) {
    switch (code) {
    case ' ':
    case 'c':
    case 'C':
        return {ckChip, 0};
    case 'x':
        return {ckChip, 1};
    case 'X':
        return {ckChip, 2};
    case 'w':
    case 'W':
        return {ckBlank, 0};
    case 'a':
    case 'A':
        return {ckSlice, 0};
    case 'b':
    case 'B':
        return {ckBonus, 0};
    default:
        return {ckNone, 0};
    }
}

// A plain chip's colour is redrawn until it completes no line with the cells around it.
int32_t DrawFreeColour(const TLevelInfo& info, TCellGrid& cells, int32_t x, int32_t y) {
    TCell& cell = cells.At(x, y);
    int32_t count = 0;
    for (int attempt = 0; attempt < 64; ++attempt) {
        cell.Value = RandomLevelColor(info, 0);
        if (!GridCheckLine(cells, info.Width, info.Height, x, y, count)) break;
    }
    return cell.Value;
}

void ReadBoardRow(const std::string& row, int32_t y, int32_t country, const TLevelInfo& info,
                  TCellGrid& cells, bool drawColours) {
    for (int32_t x = 1; x <= info.Width; ++x) {
        const size_t at = static_cast<size_t>(4 * (x - 1));
        // A short row is padded with holes rather than read past its end.
        const std::string token = at < row.size() ? row.substr(at, 4) : std::string("----");
        const TCellCode code = DecodeCell(token[0]);
        TCell& cell = cells.At(x, y);
        cell.Kind = code.Kind;
        cell.Lock = code.Lock;
        cell.Fly = 0;
        if (code.Kind == ckBlank)
            cell.Back = 0;
        else if (const int32_t style = CountryBackStyle(country); style != 0)
            cell.Back = style;
        const int32_t number =
            ParseInt(token.size() > 1 ? std::string_view(token).substr(1) : std::string_view());
        if (drawColours && code.Kind == ckChip && code.Lock == 0)
            DrawFreeColour(info, cells, x, y);
        else
            cell.Value = number;
    }
}

bool ParseField(const std::string& value, int32_t& w, int32_t& h) {
    const size_t sep = value.find_first_of("xX");
    if (sep == std::string::npos) return false;
    w = ParseInt(std::string_view(value).substr(0, sep));
    h = ParseInt(std::string_view(value).substr(sep + 1));
    return true;
}

int32_t ClampLevel(int32_t n, int32_t lo, int32_t hi, const char* what, const std::string& where) {
    if (n >= lo && n <= hi) return n;
    const int32_t fixed = n < lo ? lo : hi;
    Log(std::string("uCountries.ReadLevelFile : ") + what + " out of range in " + where +
        "; Value=" + std::to_string(n) + "; Used=" + std::to_string(fixed));
    return fixed;
}

} // namespace

bool ReadLevelFileFrom(const std::string& path, int32_t country, TLevelInfo& info, TCellGrid& cells,
                       bool drawColours) {
    std::vector<std::string> lines;
    if (!ReadTextLines(path, lines)) {
        Log("uCountries.ReadLevelFile : level file '" + path + "' doesn't exist");
        return false;
    }
    CapDataLines(lines, cMaxLevelFileLines, "uCountries.ReadLevelFile", path);
    bool haveField = false;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (IsCommentLine(lines[i])) continue;
        const int lineNo = static_cast<int>(i) + 1;
        const TDataLine dl = SplitDataLine(lines[i], lineNo);
        if (dl.Key == "Time") {
            info.Time = ParseInt(dl.Value);
        } else if (dl.Key == "ColorCount") {
            info.ColorCount =
                ClampLevel(ParseInt(dl.Value), 0, cMaxColors, "ColorCount", Where(path, lineNo));
        } else if (dl.Key == "Colors") {
            const auto words = SplitWords(dl.Value);
            if (static_cast<int32_t>(words.size()) > info.ColorCount)
                Log("uCountries.ReadLevelFile : more colours than ColorCount in " + Where(path, lineNo) +
                    "; extra ones ignored");
            for (int32_t c = 1; c <= info.ColorCount && c <= static_cast<int32_t>(words.size()); ++c)
                info.Colors[c] =
                    ClampLevel(ParseInt(words[c - 1]), 1, cMaxColors, "Colour", Where(path, lineNo));
        } else if (dl.Key == "Field") {
            int32_t w = 0, h = 0;
            if (!ParseField(dl.Value, w, h)) {
                Log("uCountries.ReadLevelFile : bad Field value in " + Where(path, lineNo) +
                    "; Value=" + dl.Value);
                continue;
            }
            info.Width = ClampLevel(w, 1, cMaxNetSize, "Field width", Where(path, lineNo));
            info.Height = ClampLevel(h, 1, cMaxNetSize, "Field height", Where(path, lineNo));
            haveField = true;
            for (int32_t y = 1; y <= info.Height; ++y) {
                const size_t r = i + static_cast<size_t>(y);
                if (r >= lines.size()) {
                    Log("uCountries.ReadLevelFile : file ends before board row " + std::to_string(y) +
                        " in '" + path + "'; missing rows are holes");
                }
                const std::string row = r < lines.size() ? lines[r] : std::string();
                if (r < lines.size() && row.size() < static_cast<size_t>(4 * info.Width))
                    Log("uCountries.ReadLevelFile : row shorter than the board in " +
                        Where(path, static_cast<int>(r) + 1) + "; missing cells are holes");
                ReadBoardRow(row, y, country, info, cells, drawColours);
            }
            i += static_cast<size_t>(info.Height);
        }
    }
    if (!haveField) Log("uCountries.ReadLevelFile : no Field in '" + path + "'");
    return haveField;
}

bool ReadLevelFileOf(int32_t level, TLevelInfo& info, TCellGrid& cells, bool drawColours) {
    int32_t country = 0, inCountry = 0;
    LevelToCountry(level, country, inCountry);
    return ReadLevelFileFrom(ResolvePath(LevelFileName(level)), country, info, cells, drawColours);
}

bool ReadLevelFile(TLevelInfo& info, TCellGrid& cells, bool drawColours) {
    return ReadLevelFileOf(BoardPlayerLevel(), info, cells, drawColours);
}

} // namespace velmora
