// Plays every level of a data folder headless with the bot at a given skill and several seeds, and
// prints per level whether it was won, time used against time allowed, moves, cascades, slices
// and bonuses brought down and bonuses used, then per country the win rate, the mean share of the
// time that won runs took and the bonuses, and the levels that look too hard or too easy.
//
//   validate-campaign [--data DIR] [--skill 0..3] [--seeds N] [--levels FIRST-LAST]
//                     [--impatient [--game BINARY]]
//
// With --impatient every level is played by the game binary itself with the impatient bot (the
// level window, its menu and pause, restarts and Save & Exit take part), one run per level and seed.
#include <algorithm>
#include <chrono>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/log.h"
#include "app/options.h"
#include "board/autoplay.h"
#include "board/countries.h"
#include "board/net.h"
#include "game_runs.h"

using namespace velmora;

namespace {

struct TArgs {
    std::string Data = ".";
    int32_t Skill = cBotMaxSkill;
    int32_t Seeds = 3;
    int32_t First = 1, Last = 0;
    bool Impatient = false;
    std::string Game; // empty: the game binary of the build the validator belongs to
};

bool ToInt(std::string_view s, int32_t& out) {
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
    return ec == std::errc() && end == s.data() + s.size();
}

bool ParseArgs(int argc, char** argv, TArgs& a) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view k = argv[i];
        if (k == "--impatient") {
            a.Impatient = true;
            continue;
        }
        if (i + 1 >= argc) return false;
        const std::string_view v = argv[++i];
        if (k == "--data")
            a.Data = std::string(v);
        else if (k == "--game")
            a.Game = std::string(v);
        else if (k == "--skill") {
            if (!ToInt(v, a.Skill) || a.Skill < 0 || a.Skill > cBotMaxSkill) return false;
        } else if (k == "--seeds") {
            if (!ToInt(v, a.Seeds) || a.Seeds < 1 || a.Seeds > 1000) return false;
        } else if (k == "--levels") {
            const size_t dash = v.find('-');
            if (dash == std::string_view::npos || !ToInt(v.substr(0, dash), a.First) ||
                !ToInt(v.substr(dash + 1), a.Last) || a.First < 1 || a.Last < a.First)
                return false;
        } else
            return false;
    }
    return true;
}

// The band of time a won level should take the bot on average. The bot moves the moment the board
// settles; a person takes two to four times as long, so a third for the bot is tight for people.
constexpr float cQuickShare = 0.05f, cTightShare = 0.35f;

struct TLevelSums {
    int32_t Runs = 0, Wins = 0, Used = 0, Dropped = 0;
    float ShareOfWins = 0; // time used over time allowed, summed over won runs

    void Add(const TLevelRun& r) {
        ++Runs;
        Used += TotalBonusesUsed(r);
        Dropped += r.BonusesDropped;
        if (!r.Won) return;
        ++Wins;
        if (r.SecondsAllowed > 0) ShareOfWins += r.SecondsUsed / static_cast<float>(r.SecondsAllowed);
    }
    void Add(const TGameRun& r) {
        ++Runs;
        // The impatient runs count their restarts and hammer trips (taken out and put back) instead.
        Dropped += r.Restarts;
        Used += r.HammerTrips;
        if (!r.Won) return;
        ++Wins;
        if (r.SecondsAllowed > 0) ShareOfWins += r.Seconds / static_cast<float>(r.SecondsAllowed);
    }
    void Add(const TLevelSums& o) {
        Runs += o.Runs;
        Wins += o.Wins;
        Used += o.Used;
        Dropped += o.Dropped;
        ShareOfWins += o.ShareOfWins;
    }
    float MeanShare() const { return Wins > 0 ? ShareOfWins / static_cast<float>(Wins) : 0.0f; }
};

struct TCountrySums {
    int32_t Levels = 0;
    TLevelSums All;
    void Add(const TLevelSums& l) {
        ++Levels;
        All.Add(l);
    }
};

int32_t SecondsAllowed(int32_t level) {
    TLevelInfo info;
    auto cells = std::make_unique<TCellGrid>();
    return ReadLevelFileOf(level, info, *cells, false) ? info.Time : -1;
}

// The game binary beside the validator in the build folder (tools/validate/ -> the build's root).
std::filesystem::path GameBeside(const char* self) {
    std::error_code ec;
    const std::filesystem::path me = std::filesystem::canonical("/proc/self/exe", ec);
    const std::filesystem::path from = ec ? std::filesystem::absolute(self) : me;
    return from.parent_path().parent_path().parent_path() / "velmora";
}

int32_t TotalLevels() {
    int32_t n = 0;
    for (int32_t c = 1; c <= Countries.CountryCount; ++c)
        n += Countries.LevelCount[c];
    return n;
}

} // namespace

int main(int argc, char** argv) {
    TArgs args;
    if (!ParseArgs(argc, argv, args)) {
        std::fprintf(stderr,
                     "usage: validate-campaign [--data DIR] [--skill 0..3] [--seeds N] [--levels A-B] "
                     "[--impatient [--game BINARY]]\n");
        return 2;
    }
    InitDataPaths(std::filesystem::absolute(args.Data).string());
    const std::string log = (std::filesystem::temp_directory_path() / "validate-campaign.log").string();
    SetLogFile(log);
    if (!ReadCountries()) {
        std::fprintf(stderr, "validate-campaign: no Countries.txt under %s\n", args.Data.c_str());
        return 1;
    }
    const int32_t last = args.Last > 0 ? std::min(args.Last, TotalLevels()) : TotalLevels();
    std::unique_ptr<TGameRunner> runner;
    if (args.Impatient) {
        runner = std::make_unique<TGameRunner>(
            args.Game.empty() ? GameBeside(argv[0]) : std::filesystem::path(args.Game), args.Data);
        if (!runner->Ready()) return 1;
    }
    std::printf("skill %d%s, %d seed(s), levels %d-%d\n", args.Skill, args.Impatient ? " impatient" : "",
                args.Seeds, args.First, last);
    if (args.Impatient)
        std::printf("%-5s %-10s %-12s %5s %9s %7s %6s %6s %8s %7s\n", "level", "country", "town", "won",
                    "time", "allowed", "pauses", "hammer", "restarts", "resumes");
    else
        std::printf("%-5s %-10s %-12s %5s %9s %7s %6s %5s %7s %7s %4s\n", "level", "country", "town", "won",
                    "time", "allowed", "moves", "casc", "slices", "bonuses", "used");
    std::vector<TCountrySums> sums(cMaxCountries + 1);
    std::vector<std::string> hard, belowTarget, easy, tight, stuck, bonuses;
    int32_t levelsRun = 0;
    const auto start = std::chrono::steady_clock::now();
    for (int32_t level = args.First; level <= last; ++level) {
        int32_t country = 0, inCountry = 0;
        LevelToCountry(level, country, inCountry);
        std::string unused, town;
        GetLevelNames(level, unused, town);
        const std::string countryName =
            country >= 1 && country <= cMaxCountries ? Countries.CountryNames[country] : "?";
        TLevelSums l;
        bool readable = true;
        for (int32_t s = 0; runner && s < args.Seeds; ++s) {
            // The bot's dice follow the seed: each level gets seeds of its own, or every level would
            // see the same pauses and choices at the same moments.
            const uint32_t seed = 1000u + static_cast<uint32_t>(s) * 7919u + static_cast<uint32_t>(level);
            const int32_t allowed = SecondsAllowed(level);
            ++levelsRun;
            if (allowed < 0) {
                std::printf("%-5d %-10s %-12s level file not readable\n", level, countryName.c_str(),
                            town.c_str());
                readable = false;
                break;
            }
            const TGameRun r = runner->Play(level, allowed, seed, args.Skill);
            l.Add(r);
            if (!r.BonusMismatch.empty())
                bonuses.push_back(std::to_string(level) + " " + town + " (seed " + std::to_string(seed) +
                                  "): " + r.BonusMismatch);
            if (!r.Decided) {
                stuck.push_back(std::to_string(level) + " " + town + " (seed " + std::to_string(seed) +
                                "): " + r.Problem);
                std::printf("%-5d %-10s %-12s %5s  %s\n", level, countryName.c_str(), town.c_str(), "NO",
                            r.Problem.c_str());
            } else {
                std::printf("%-5d %-10s %-12s %5s %8.1fs %6ds %6d %6d %8d %7d\n", level, countryName.c_str(),
                            town.c_str(), r.Won ? "yes" : "NO", r.Seconds, r.SecondsAllowed, r.Pauses,
                            r.HammerTrips, r.Restarts, r.Resumes);
            }
            std::fflush(stdout);
        }
        for (int32_t s = 0; !runner && s < args.Seeds; ++s) {
            const TLevelRun r =
                PlayLevelHeadless(level, 1000u + static_cast<uint32_t>(s) * 7919u, args.Skill);
            ++levelsRun;
            if (!r.Built) {
                std::printf("%-5d %-10s %-12s level file not readable\n", level, countryName.c_str(),
                            town.c_str());
                readable = false;
                break;
            }
            l.Add(r);
            std::printf("%-5d %-10s %-12s %5s %8.1fs %6ds %6d %5d %3d/%-3d %7d %4d\n", level,
                        countryName.c_str(), town.c_str(), r.Won ? "yes" : "NO", r.SecondsUsed,
                        r.SecondsAllowed, r.Moves, r.Cascades, r.SlicesDropped, r.Slices, r.BonusesDropped,
                        TotalBonusesUsed(r));
            for (const POINT& p : r.SlicesLeftAt)
                std::printf("      slice left at column %d, row %d\n", static_cast<int>(p.x),
                            static_cast<int>(p.y));
            std::fflush(stdout);
        }
        if (!readable) continue;
        const std::string name = std::to_string(level) + " " + town;
        const int32_t share = static_cast<int32_t>(l.MeanShare() * 100 + 0.5f);
        std::printf("      -> %s: won %d/%d, mean time %d%% (won runs), %s %d\n", name.c_str(), l.Wins,
                    l.Runs, share, args.Impatient ? "hammer trips" : "bonuses used", l.Used);
        if (country >= 1 && country <= cMaxCountries) sums[country].Add(l);
        const std::string figures = " (won " + std::to_string(l.Wins) + "/" + std::to_string(l.Runs) +
                                    ", mean time " + std::to_string(share) + "%)";
        if (l.Wins * 2 <= l.Runs)
            hard.push_back(name + figures);
        else if (l.Wins * 5 < l.Runs * 4)
            belowTarget.push_back(name + figures);
        else if (l.MeanShare() < cQuickShare)
            easy.push_back(name + figures);
        else if (l.MeanShare() > cTightShare)
            tight.push_back(name + figures);
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("\n%-10s %6s %9s %6s %10s %8s %8s\n", "country", "levels", "won", "rate", "mean time",
                args.Impatient ? "restarts" : "dropped", args.Impatient ? "hammer" : "used");
    for (int32_t c = 1; c <= Countries.CountryCount; ++c) {
        const TCountrySums& t = sums[c];
        if (t.Levels == 0) continue;
        std::printf("%-10s %6d %4d/%-4d %5.1f%% %9.0f%% %8d %8d\n", Countries.CountryNames[c].c_str(),
                    t.Levels, t.All.Wins, t.All.Runs, 100.0 * t.All.Wins / t.All.Runs,
                    100.0 * t.All.MeanShare(), t.All.Dropped, t.All.Used);
    }
    auto list = [](const char* title, const std::vector<std::string>& rows) {
        std::printf("%s:%s\n", title, rows.empty() ? " none" : "");
        for (const std::string& r : rows)
            std::printf("  %s\n", r.c_str());
    };
    list("too hard (won by at most half the seeds)", hard);
    list("below four in five (won by fewer than 80% of the seeds)", belowTarget);
    list("too easy (won runs use under 5% of the time on average)", easy);
    list("tight (won runs use over 35% of the time on average)", tight);
    if (args.Impatient) {
        list("not decided (the run ended without a win or a loss)", stuck);
        list("stored bonuses in Game.dat other than collected minus used", bonuses);
    }
    std::printf("%d level runs in %.1f s: %.1f levels per minute\n", levelsRun, seconds,
                seconds > 0 ? levelsRun * 60.0 / seconds : 0.0);
    return hard.empty() && stuck.empty() && bonuses.empty() ? 0 : 3;
}
