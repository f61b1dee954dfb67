// Plays every level of a data folder headless with the bot at a given skill and several seeds, and
// prints per level whether it was won, time used against time allowed, moves, cascades, slices
// and bonuses brought down, then the win rate per country and the levels that look too hard or
// too easy.
//
//   validate-campaign [--data DIR] [--skill 0..3] [--seeds N] [--levels FIRST-LAST]
#include <chrono>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "app/log.h"
#include "app/options.h"
#include "board/autoplay.h"
#include "board/countries.h"

using namespace velmora;

namespace {

struct TArgs {
    std::string Data = ".";
    int32_t Skill = cBotMaxSkill;
    int32_t Seeds = 3;
    int32_t First = 1, Last = 0;
};

bool ToInt(std::string_view s, int32_t& out) {
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
    return ec == std::errc() && end == s.data() + s.size();
}

bool ParseArgs(int argc, char** argv, TArgs& a) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view k = argv[i];
        if (i + 1 >= argc) return false;
        const std::string_view v = argv[++i];
        if (k == "--data")
            a.Data = std::string(v);
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
                     "usage: validate-campaign [--data DIR] [--skill 0..3] [--seeds N] [--levels A-B]\n");
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
    std::printf("skill %d, %d seed(s), levels %d-%d\n", args.Skill, args.Seeds, args.First, last);
    std::printf("%-5s %-10s %-12s %5s %9s %7s %6s %5s %7s %7s\n", "level", "country", "town", "won", "time",
                "allowed", "moves", "casc", "slices", "bonuses");
    std::vector<int32_t> countryWins(cMaxCountries + 1, 0), countryRuns(cMaxCountries + 1, 0);
    std::vector<std::string> hard, easy;
    int32_t levelsRun = 0;
    const auto start = std::chrono::steady_clock::now();
    for (int32_t level = args.First; level <= last; ++level) {
        int32_t country = 0, inCountry = 0;
        LevelToCountry(level, country, inCountry);
        std::string unused, town;
        GetLevelNames(level, unused, town);
        const std::string countryName =
            country >= 1 && country <= cMaxCountries ? Countries.CountryNames[country] : "?";
        int32_t wins = 0;
        float worstTimeShare = 0;
        for (int32_t s = 0; s < args.Seeds; ++s) {
            const TLevelRun r =
                PlayLevelHeadless(level, 1000u + static_cast<uint32_t>(s) * 7919u, args.Skill);
            ++levelsRun;
            if (!r.Built) {
                std::printf("%-5d %-10s %-12s level file not readable\n", level, countryName.c_str(),
                            town.c_str());
                break;
            }
            wins += r.Won ? 1 : 0;
            if (r.SecondsAllowed > 0)
                worstTimeShare =
                    std::max(worstTimeShare, r.SecondsUsed / static_cast<float>(r.SecondsAllowed));
            std::printf("%-5d %-10s %-12s %5s %8.1fs %6ds %6d %5d %3d/%-3d %7d\n", level, countryName.c_str(),
                        town.c_str(), r.Won ? "yes" : "NO", r.SecondsUsed, r.SecondsAllowed, r.Moves,
                        r.Cascades, r.SlicesDropped, r.Slices, r.BonusesDropped);
            std::fflush(stdout);
        }
        if (country >= 1 && country <= cMaxCountries) {
            countryWins[country] += wins;
            countryRuns[country] += args.Seeds;
        }
        if (wins * 2 <= args.Seeds)
            hard.push_back(std::to_string(level) + " " + town + " (won " + std::to_string(wins) + "/" +
                           std::to_string(args.Seeds) + ")");
        else if (wins == args.Seeds && worstTimeShare < 0.25f)
            easy.push_back(std::to_string(level) + " " + town + " (at most " +
                           std::to_string(static_cast<int>(worstTimeShare * 100)) + "% of the time)");
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("\nwin rate per country\n");
    for (int32_t c = 1; c <= Countries.CountryCount; ++c)
        if (countryRuns[c] > 0)
            std::printf("  %-10s %3d/%-3d %5.1f%%\n", Countries.CountryNames[c].c_str(), countryWins[c],
                        countryRuns[c], 100.0 * countryWins[c] / countryRuns[c]);
    std::printf("too hard (won by at most half the seeds):%s\n", hard.empty() ? " none" : "");
    for (const std::string& h : hard)
        std::printf("  %s\n", h.c_str());
    std::printf("too easy (every seed won within a quarter of the time):%s\n", easy.empty() ? " none" : "");
    for (const std::string& e : easy)
        std::printf("  %s\n", e.c_str());
    std::printf("%d level runs in %.1f s: %.1f levels per minute\n", levelsRun, seconds,
                seconds > 0 ? levelsRun * 60.0 / seconds : 0.0);
    return hard.empty() ? 0 : 3;
}
