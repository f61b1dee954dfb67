// Levels played by the game binary itself with the impatient bot (--impatient): the level window,
// its menu, the pause, restarts and Save & Exit all take part, which the headless runs leave out.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace velmora {

struct TGameRun {
    bool Decided = false; // the bot saw the level won or lost before the run's frame budget ran out
    bool Won = false;
    float Seconds = 0; // the level's clock used by the deciding attempt
    int32_t SecondsAllowed = 0;
    int32_t Pauses = 0, HammerTrips = 0, Restarts = 0, Resumes = 0;
    int32_t ExitCode = 0;
    std::string Problem; // what went wrong when the level was not decided
    // The stored bonuses in "Game.dat" after the run against the bot's ledger (collected minus used);
    // empty when they agree.
    std::string BonusMismatch;
};

class TGameRunner {
  public:
    // `data` is copied once into a scratch folder; each run starts there from a fresh player record.
    TGameRunner(std::filesystem::path game, const std::filesystem::path& data);
    ~TGameRunner();
    bool Ready() const { return Ok; }

    // One player ("Bot", three lives, every help topic seen, no bonuses) about to play `level`; the
    // game starts at the level window and ends once the level is decided.
    TGameRun Play(int32_t level, int32_t secondsAllowed, uint32_t seed, int32_t skill);

  private:
    void WritePlayer(int32_t level) const;
    std::filesystem::path Game, Work;
    bool Ok = false;
};

} // namespace velmora
