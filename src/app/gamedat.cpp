#include "app/gamedat.h"

#include <bit>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <type_traits>
#include <vector>

#include "app/language.h"
#include "app/log.h"
#include "app/options.h"
#include "platform/files.h"
#include "platform/win32.h"

namespace velmora {

// The memory of the records is the file image: pin every offset.
static_assert(std::endian::native == std::endian::little, "the file image is little-endian");
static_assert(std::is_trivial_v<TGameDat> && std::is_standard_layout_v<TGameDat>);
static_assert(sizeof(float) == 4);

static_assert(sizeof(TShortName) == 12);
static_assert(sizeof(TMultiplierSlot) == 8);

static_assert(offsetof(TPlayerRec, Name) == 0);
static_assert(offsetof(TPlayerRec, Level) == 12);
static_assert(offsetof(TPlayerRec, Lives) == 16);
static_assert(offsetof(TPlayerRec, LivesAtStart) == 20);
static_assert(offsetof(TPlayerRec, Score) == 24);
static_assert(offsetof(TPlayerRec, ScoreAtStart) == 28);
static_assert(offsetof(TPlayerRec, BonusCount) == 32);
static_assert(offsetof(TPlayerRec, BonusCountAtStart) == 80);
static_assert(offsetof(TPlayerRec, TimeLeft) == 128);
static_assert(offsetof(TPlayerRec, XX) == 132);
static_assert(offsetof(TPlayerRec, Reserved1) == 148);
static_assert(offsetof(TPlayerRec, ChipsRemoved) == 164);
static_assert(offsetof(TPlayerRec, Falls) == 168);
static_assert(offsetof(TPlayerRec, BestCascade) == 172);
static_assert(offsetof(TPlayerRec, Cascade) == 176);
static_assert(offsetof(TPlayerRec, SlicesDropped) == 180);
static_assert(offsetof(TPlayerRec, BonusesDropped) == 184);
static_assert(offsetof(TPlayerRec, LevelInProgress) == 188);
static_assert(offsetof(TPlayerRec, LevelSnapshot) == 192);
static_assert(offsetof(TPlayerRec, SliceDone) == 24768);
static_assert(offsetof(TPlayerRec, HelpShown) == 24896);
static_assert(offsetof(TPlayerRec, TotalChips) == 24920);
static_assert(offsetof(TPlayerRec, TotalLives) == 24944);
static_assert(offsetof(TPlayerRec, PlayerShowHelp) == 24948);
static_assert(offsetof(TPlayerRec, PlayerDragNDrop) == 24949);
static_assert(sizeof(TPlayerRec) == cPlayerRecSize);

static_assert(offsetof(THiScoreRec, Level) == 12);
static_assert(offsetof(THiScoreRec, Score) == 16);
static_assert(sizeof(THiScoreRec) == 20);

static_assert(offsetof(TGameDat, SoundVolume) == 4);
static_assert(offsetof(TGameDat, MusicVolume) == 8);
static_assert(offsetof(TGameDat, FullScreen) == 12);
static_assert(offsetof(TGameDat, ShowHelp) == 13);
static_assert(offsetof(TGameDat, DragNDrop) == 14);
static_assert(offsetof(TGameDat, PlayerCount) == 16);
static_assert(offsetof(TGameDat, CurrentPlayer) == 20);
static_assert(offsetof(TGameDat, Players) == 24);
static_assert(offsetof(TGameDat, HiScores) == 99832);
static_assert(sizeof(TGameDat) == cGameDatSize);

TGameDat GameDat{};

namespace {

constexpr int32_t cDefaultScores[cHiScoreCount] = {250000, 200000, 150000, 120000, 100000,
                                                   80000,  60000,  40000,  20000,  10000};
constexpr float cDefaultVolume = 0.75f;

TPlayerRec SparePlayer{};
TPlayerRec ScratchPlayer{};
bool ScratchInUse = false;

bool ValidPlayer(int32_t i) {
    return i >= 1 && i <= cPlayerCount;
}

std::string NobodyText() {
    std::string text = "Nobody";
    if (Lang) Lang->GetText("TEXT_Nobody", text);
    return text;
}

// A hostile or damaged file must not steer the game outside its ranges.
float SaneVolume(float v, const char* field) {
    if (std::isfinite(v) && v >= 0.0f && v <= 1.0f) return v;
    Log(std::string("uGameDat.LoadGameDat : bad value; ") + field + "=" + std::to_string(v));
    return std::isfinite(v) && v > 1.0f ? 1.0f : (std::isfinite(v) ? 0.0f : cDefaultVolume);
}

int32_t SaneCount(int32_t v, int32_t low, int32_t high, const char* field) {
    if (v >= low && v <= high) return v;
    Log(std::string("uGameDat.LoadGameDat : bad value; ") + field + "=" + std::to_string(v));
    return v < low ? low : high;
}

void CheckLoadedValues(TGameDat& dat) {
    dat.SoundVolume = SaneVolume(dat.SoundVolume, "SoundVolume");
    dat.MusicVolume = SaneVolume(dat.MusicVolume, "MusicVolume");
    dat.PlayerCount = SaneCount(dat.PlayerCount, 0, cPlayerCount, "PlayerCount");
    if (dat.CurrentPlayer < 0 || dat.CurrentPlayer > cPlayerCount) {
        Log("uGameDat.LoadGameDat : bad value; CurrentPlayer=" + std::to_string(dat.CurrentPlayer));
        dat.CurrentPlayer = 0;
    }
}

} // namespace

std::string TShortName::Get() const {
    const size_t n = Length > sizeof(Chars) ? sizeof(Chars) : Length;
    return std::string(Chars, n);
}

void TShortName::Set(const std::string& text) {
    const size_t n = text.size() > sizeof(Chars) ? sizeof(Chars) : text.size();
    std::memset(Chars, 0, sizeof(Chars));
    std::memcpy(Chars, text.data(), n);
    Length = static_cast<uint8_t>(n);
}

void GameDatToBytes(const TGameDat& dat, uint8_t* out) {
    std::memcpy(out, &dat, sizeof(TGameDat));
}

void GameDatFromBytes(const uint8_t* in, TGameDat& dat) {
    std::memcpy(&dat, in, sizeof(TGameDat));
}

void SetDefaults() {
    std::memset(&GameDat, 0, sizeof(GameDat));
    GameDat.ShowHelp = 1;
    const std::string nobody = NobodyText();
    for (int32_t i = 0; i < cHiScoreCount; ++i) {
        GameDat.HiScores[i].Name.Set(nobody);
        GameDat.HiScores[i].Score = cDefaultScores[i];
    }
    GameDat.SoundVolume = cDefaultVolume;
    GameDat.MusicVolume = cDefaultVolume;
    GameDat.FullScreen = 1;
}

void LoadGameDat() {
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(Paths.GameDat, bytes, cMaxSmallFileBytes) || bytes.size() < sizeof(TGameDat)) {
        if (FileExists(Paths.GameDat))
            Log("uGameDat.LoadGameDat : \"" + Paths.GameDat + "\" is " + std::to_string(bytes.size()) +
                " bytes long, not " + std::to_string(sizeof(TGameDat)) + "; the player data starts anew");
        SetDefaults();
        return;
    }
    GameDatFromBytes(bytes.data(), GameDat);
    CheckLoadedValues(GameDat);
}

// Progress that cannot be kept must not vanish without a word: every failure is logged with the
// file and the reason, and the player is told once a run (a box at every save would stop the game).
static void TellSaveFailed() {
    const std::string file = ResolveWritePath(Paths.GameDat);
    const std::string reason = LastWriteError();
    Report("uGameDat.SaveGameDat: Cann't save data to \"" + file + "\": " + reason);
    static bool told = false;
    if (told) return;
    told = true;
    const std::string advice =
        "The game goes on, but what you play now is lost when you quit. Details are in " + LogFile() + ".";
    const std::string text =
        "Your progress could not be saved to\n" + file + "\n(" + reason + ").\n\n" + advice;
    MessageBox(nullptr, text.c_str(), "Velmora", MB_OK | MB_ICONWARNING);
}

bool SaveGameDat() {
    if (ScratchInUse) {
        Log("uGameDat.SaveGameDat: a scratch player is in use (demo), nothing written");
        return false;
    }
    uint8_t* image = reinterpret_cast<uint8_t*>(&GameDat);
    const bool saved =
        CreateDirectory(Paths.PlayerData) && WriteWholeFile(Paths.GameDat, image, sizeof(GameDat));
    if (!saved) TellSaveFailed();
    return saved;
}

void ClearPlayer(int32_t i) {
    if (!ValidPlayer(i)) return;
    TPlayerRec& p = GameDat.Players[i - 1];
    std::memset(&p, 0, sizeof(p));
    p.Level = 0;
    p.Lives = 3;
    p.PlayerShowHelp = 1;
    p.PlayerDragNDrop = 0;
}

void ResetPlayer(int32_t i) {
    if (!ValidPlayer(i)) return;
    TPlayerRec& p = GameDat.Players[i - 1];
    const TShortName name = p.Name;
    uint8_t helpShown[cHelpTopics];
    std::memcpy(helpShown, p.HelpShown, sizeof(helpShown));
    ClearPlayer(i);
    p.Name = name;
    std::memcpy(p.HelpShown, helpShown, sizeof(helpShown));
}

int32_t InsertHiScore(const std::string& name, int32_t level, int32_t score) {
    if (ScratchInUse) {
        Log("uGameDat.InsertHiScore: a scratch player is in use (demo), the table stays");
        return 0;
    }
    int32_t p = cHiScoreCount;
    for (int32_t i = 1; i <= cHiScoreCount; ++i)
        if (GameDat.HiScores[i - 1].Score < score) {
            p = i;
            break;
        }
    for (int32_t i = cHiScoreCount; i > p; --i)
        GameDat.HiScores[i - 1] = GameDat.HiScores[i - 2];
    THiScoreRec& entry = GameDat.HiScores[p - 1];
    entry.Name.Set(name);
    entry.Level = level;
    entry.Score = score;
    return p;
}

TPlayerRec& CurrentPlayerRec() {
    if (ScratchInUse) return ScratchPlayer;
    if (ValidPlayer(GameDat.CurrentPlayer)) return GameDat.Players[GameDat.CurrentPlayer - 1];
    return SparePlayer;
}

void BeginScratchPlayer(const TPlayerRec& rec) {
    ScratchPlayer = rec;
    ScratchInUse = true;
}

void EndScratchPlayer() {
    ScratchInUse = false;
    ScratchPlayer = TPlayerRec{};
}

bool ScratchPlayerInUse() {
    return ScratchInUse;
}

} // namespace velmora
