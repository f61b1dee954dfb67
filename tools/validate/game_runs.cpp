#include "game_runs.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

#include "app/gamedat.h"

namespace fs = std::filesystem;

namespace velmora {

namespace {

// Frames a run may take: the level's time twice over (a restart begins it again) and the screens
// around it; a run that needs more is stuck.
int32_t FrameBudget(int32_t secondsAllowed) {
    return secondsAllowed * 60 * 2 + 20000;
}

// "Autoplay: frame F level L won, clock 12.3 s of 120 s, 1 pause(s), 0 hammer trip(s), 0 restart(s), 1
// resume(s)"
bool ReadOutcome(const std::string& line, TGameRun& run) {
    const size_t at = line.find(" level ");
    if (line.rfind("Autoplay: frame ", 0) != 0 || at == std::string::npos) return false;
    int level = 0, allowed = 0, pauses = 0, trips = 0, restarts = 0, resumes = 0;
    char result[8] = {};
    float seconds = 0;
    if (std::sscanf(line.c_str() + at,
                    " level %d %7[a-z], clock %f s of %d s, %d pause(s), %d hammer trip(s), %d restart(s), "
                    "%d resume(s)",
                    &level, result, &seconds, &allowed, &pauses, &trips, &restarts, &resumes) != 8)
        return false;
    run.Decided = true;
    run.Won = std::string(result) == "won";
    run.Seconds = seconds;
    run.Pauses = pauses;
    run.HammerTrips = trips;
    run.Restarts = restarts;
    run.Resumes = resumes;
    return true;
}

// No display needed: the offscreen video driver, unless the caller chose one.
std::string VideoDriver() {
    return std::getenv("SDL_VIDEODRIVER") ? "" : "SDL_VIDEODRIVER=offscreen ";
}

// "Autoplay: frame F level L stored bonuses a b c d (...)": the bot's ledger, the last one wins.
bool ReadLedger(const std::string& line, int32_t (&expected)[4]) {
    const size_t at = line.find(" stored bonuses ");
    if (line.rfind("Autoplay: frame ", 0) != 0 || at == std::string::npos) return false;
    return std::sscanf(line.c_str() + at, " stored bonuses %d %d %d %d", &expected[0], &expected[1],
                       &expected[2], &expected[3]) == 4;
}

} // namespace

TGameRunner::TGameRunner(fs::path game, const fs::path& data) : Game(std::move(game)) {
    std::error_code ec;
    Work = fs::temp_directory_path() / ("validate-campaign-game-" + std::to_string(::getpid()));
    fs::remove_all(Work, ec);
    fs::copy(data, Work, fs::copy_options::recursive, ec);
    if (ec) {
        std::fprintf(stderr, "validate-campaign: cannot copy %s: %s\n", data.c_str(), ec.message().c_str());
        return;
    }
    Ok = fs::exists(Game);
    if (!Ok) {
        std::fprintf(stderr, "validate-campaign: no game binary at %s\n", Game.c_str());
        return;
    }
    // The game's first run makes the textures it derives from the shipped pictures (its resource
    // creator); the runs that follow start at the level window and would go without them.
    std::system(("cd '" + Work.string() + "' && SDL_AUDIODRIVER=dummy VELMORA_MSGBOX_ANSWER=1 " +
                 VideoDriver() + "'" + Game.string() +
                 "' --windowed --fixed-step --draw-shots-only --frames 300 > prepare.out 2>&1")
                    .c_str());
}

TGameRunner::~TGameRunner() {
    std::error_code ec;
    fs::remove_all(Work, ec);
}

void TGameRunner::WritePlayer(int32_t level) const {
    GameDat = TGameDat{};
    SetDefaults();
    GameDat.SoundVolume = 0;
    GameDat.MusicVolume = 0;
    GameDat.PlayerCount = 1;
    GameDat.CurrentPlayer = 1;
    ClearPlayer(1);
    TPlayerRec& p = GameDat.Players[0];
    p.Name.Set("Bot");
    p.Level = level;
    p.Lives = 3;
    for (uint8_t& shown : p.HelpShown)
        shown = 1; // as in the headless runs: no help bubbles stop the clock
    std::vector<uint8_t> bytes(cGameDatSize);
    GameDatToBytes(GameDat, bytes.data());
    fs::create_directories(Work / "PlayerData");
    std::ofstream(Work / "PlayerData" / "Game.dat", std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

TGameRun TGameRunner::Play(int32_t level, int32_t secondsAllowed, uint32_t seed, int32_t skill) {
    TGameRun run;
    run.SecondsAllowed = secondsAllowed;
    WritePlayer(level);
    std::error_code ec;
    fs::remove(Work / "Error.log", ec);
    const std::string cmd = "cd '" + Work.string() + "' && SDL_AUDIODRIVER=dummy VELMORA_MSGBOX_ANSWER=1 " +
                            VideoDriver() + "'" + Game.string() +
                            "' --windowed --fixed-step --draw-shots-only --start-window 4 --seed " +
                            std::to_string(seed) + " --autoplay=" + std::to_string(skill) +
                            " --impatient --quit-after-levels 1 --frames " +
                            std::to_string(FrameBudget(secondsAllowed)) + " > run.out 2>&1";
    const int status = std::system(cmd.c_str());
    run.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    // Each run's log is kept in the temp folder, to see what the bot did and where a run got stuck.
    const fs::path kept = fs::temp_directory_path() / "validate-campaign-runs";
    fs::create_directories(kept, ec);
    fs::copy_file(Work / "Error.log", kept / (std::to_string(level) + "_" + std::to_string(seed) + ".log"),
                  fs::copy_options::overwrite_existing, ec);
    std::ifstream log(Work / "Error.log");
    int32_t expected[4] = {0, 0, 0, 0};
    bool ledger = false;
    for (std::string line; std::getline(log, line);) {
        ReadOutcome(line, run);
        ledger = ReadLedger(line, expected) || ledger;
    }
    std::ifstream dat(Work / "PlayerData" / "Game.dat", std::ios::binary);
    std::vector<uint8_t> bytes(cGameDatSize);
    TGameDat saved{};
    if (ledger &&
        dat.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()))) {
        GameDatFromBytes(bytes.data(), saved);
        for (int32_t i = 0; i < 4; ++i)
            if (saved.Players[0].BonusCount[i] != expected[i])
                run.BonusMismatch += "bonus " + std::to_string(i + 1) + ": " +
                                     std::to_string(saved.Players[0].BonusCount[i]) + " stored, " +
                                     std::to_string(expected[i]) + " collected minus used; ";
    }
    if (!run.Decided)
        run.Problem = run.ExitCode != 0 ? "the game ended with code " + std::to_string(run.ExitCode)
                                        : "no outcome within the frame budget";
    return run;
}

} // namespace velmora
