// The window in which one level is played, from the intro to the outcome and the hand-over to the
// next window.
#pragma once

#include <cstdint>
#include <string>

#include "board/collaborators.h"
#include "app/gamedat.h"
#include "board/countries.h"
#include "ui/w_menu.h"
#include "ui/w_menugame.h"
#include "ui/w_stats.h"

namespace velmora {

class TTexRect256;
class TColorRect;
class TTexLabelEx;
class TButtonMaster;
class TGamePartMaster;
class TNet;

enum TGameResult : uint8_t { grPlaying = 0, grWon = 1, grLifeLost = 2, grGameOver = 3, grRestart = 4 };

enum TGameState : int32_t {
    gsPlaying = 1,
    gsPaused = 2,
    gsResume = 3,
    gsIntro = 4,
    gsGetReady = 5,
    gsLoseText = 6,
    gsOutcome = 7,
    gsTimeBonus = 8,
    gsFadeOut = 9,
    gsLeave = 10
};

class TW_Game : public TW_Menu, public TBoardGameLink, public TGameMenuOwner, public TStatsOwner {
  public:
    // demoLevel > 0: the idle demo plays that level on a scratch player record (play/demo.h).
    explicit TW_Game(int32_t demoLevel = 0);
    ~TW_Game() override;

    bool KeyDown(uint16_t key) override;
    void MouseProc() override;
    void Step() override;
    void StepMe() override;
    const char* ClassName() const override { return "TW_Game"; }
    void OnButtonUp(TBasic* sender, int32_t index) override;
    void OnDialogButtonUp(TBasic* sender, int32_t index) override;

    // The board's and the panels' view.
    bool LevelComplete() const override { return LevelCompleteFlag; }
    void SetLevelComplete() override { LevelCompleteFlag = true; }
    void LevelWon() override;
    bool HasFocusNow() const override { return FocusObject == this; }
    bool Paused() const override { return State == gsPaused; }
    bool TransitionRunning() const override;
    void LoseLife() override;

    // The in-game menu's and the statistics window's view.
    void Resume() override;
    void RestartLevel() override;
    void SaveAndExit() override;
    uint8_t GameResult() const override { return Result; }
    void FinishLeave() override;

    void Pause();
    void SaveProgress();
    void PlayCountryIntro();
    void StopCountryIntro();
    void PlayCountryMusic();
    std::string LevelTitleText() const;
    std::string LivesText() const;
    std::string OutcomeTextKey() const;
    // Grade of a won level: the text key for the share of time left (halves to the even grade).
    static std::string GradeKey(int32_t level, float timeShown, float timeTotal);

    TLevelInfo LevelInfo;
    TTexRect256* PanelLeft = nullptr;
    TTexRect256* PanelRight = nullptr;
    TTexRect256* CountryPicture = nullptr;
    TTexLabelEx* CountryCaption = nullptr;
    TTexLabelEx* TownCaption = nullptr;
    TColorRect* Overlay = nullptr;
    TTexLabelEx* MainLabel = nullptr;
    TButtonMaster* MenuButton = nullptr;
    uint8_t Result = grPlaying;
    bool RowBlown[33] = {};
    int32_t ScoreBeforeBonus = 0;
    int32_t LivesBeforeBonus = 0;
    int32_t BonusCounted = 0;
    bool Skipped = false;
    bool SkipKey = false; // Enter or Space while the board is frozen: skips as a click does
    bool LevelCompleteFlag = false;

    int32_t Level = 0; // the level played
    int32_t Country = 0, LevelInCountry = 0;
    TGamePartMaster* GameParticles = nullptr;
    TMaster* Passage = nullptr;
    TW_Dialog* ExitGameDialog = nullptr;
    int32_t BonusBarLength = 0;
    bool Left = false; // the window ended itself: nothing to save when it is freed
    const bool Demo;   // the idle demo: the bot plays, the player's key or click ends it
    TTexLabelEx* DemoCaption = nullptr;
    TTexLabelEx* DemoHint = nullptr;
    uint32_t DemoPresses = 0; // the player's presses when the demo began

    // Back to the main menu; the scratch record goes with the window.
    void EndDemo(const char* why);

  private:
    void BuildScreen();
    void BuildDemoCaption();
    void BuildStates();
    void OnPlaying(TStateEvent e);
    void OnPaused(TStateEvent e);
    void OnResume(TStateEvent e);
    void OnIntro(TStateEvent e);
    void OnGetReady(TStateEvent e);
    void OnLoseText(TStateEvent e);
    void OnOutcome(TStateEvent e);
    void OnTimeBonus(TStateEvent e);
    void OnFadeOut(TStateEvent e);
    void OnLeave(TStateEvent e);
    void UpdateRecord();
    void ReturnHammer();
    void BookFlyingItems(TPlayerRec& rec);
    void StepPassage();
    void ForgetEndedPassage();
    bool SkipClicked();
    void SetOverlayAlpha(float alpha);
    void SetLabelAlpha(float alpha);
    void SetChipBackAlpha(float alpha);
    void ShowBoard(bool shown);
};

extern TW_Game* Game;
TBasic* CreateGameWindow();
// The application's close during a level opens the level's menu (and so saves on exit).
bool GameCloseHandler();
// A termination signal during play books the level in progress as "Save & Exit" does.
void SaveLevelInProgress();

} // namespace velmora
