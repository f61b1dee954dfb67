#include "play/w_game.h"

#include <algorithm>
#include <cfenv>
#include <cmath>

#include "app/gamedat.h"
#include "app/input.h"
#include "app/log.h"
#include "app/options.h"
#include "app/sound.h"
#include "board/boardcursor.h"
#include "board/gamevis.h"
#include "board/net.h"
#include "board/playerlink.h"
#include "engine/group.h"
#include "platform/files.h"
#include "platform/win32.h"
#include "play/demo.h"
#include "play/interactive.h"
#include "render/blocks.h"
#include "render/partmaster.h"
#include "render/texlabels.h"
#include "render/visual.h"
#include "ui/passage.h"
#include "ui/wincontrols.h"

namespace velmora {

TW_Game* Game = nullptr;

namespace {

constexpr float cHour = 216000;
constexpr float cHeld = 0.5f;
constexpr TPixelRect cMenuButtonRect{52, 536, 194, 46};

struct TCountryMusic {
    int32_t Intro, Music;
};

TCountryMusic MusicOf(int32_t country) {
    switch (country) {
    case 2:
    case 6:
        return {sndMusic_Game20, sndMusic_Game21};
    case 3:
    case 4:
    case 7:
        return {sndMusic_Game30, sndMusic_Game31};
    default:
        return {sndMusic_Game10, sndMusic_Game11};
    }
}

uint32_t BlackAlpha(float alpha) {
    return WhiteAlpha(alpha) & 0xFF000000u;
}

bool AnyButtonEvent() {
    return Mouse && Mouse->ButtonChangedNow();
}

// The outcome closes every help bubble, also one that opens meanwhile; only the master's step lets
// a closed bubble go.
void CloseHelpDuringOutcome() {
    if (Help) Help->Dead = true;
    if (auto* master = dynamic_cast<TBasic*>(HelpMaster)) master->Step();
}

} // namespace

TW_Game::TW_Game(int32_t demoLevel) : Demo(demoLevel > 0) {
    // Before anything reads the player record: the demo's record is a scratch one.
    if (Demo) {
        BeginScratchPlayer(DemoRecord(demoLevel));
        DemoPresses = PlayerInput.Presses;
        Log("TW_Game: idle demo of level " + std::to_string(demoLevel) + " from frame " +
            std::to_string(FrameCount + 1));
    }
    Game = this;
    BoardGame = this;
    Help = nullptr;
    LevelCompleteFlag = false;
    BuildScreen();
    BuildStates();
    if (FileExists(ResolvePath(ScreenCaptureFile()))) Passage = Add(new TPassageEffectWindow(3));
    SetState(CurrentPlayerRec().LevelInProgress ? gsResume : gsIntro);
}

TW_Game::~TW_Game() {
    // The application closes during the level: the level is kept to be resumed.
    if (!Left && !Demo && Net && Net->AState != asFrozen) SaveProgress();
    if (SoundDepot) SoundDepot->StopLooped(sndScores);
    if (Game == this) Game = nullptr;
    if (BoardGame == this) BoardGame = nullptr;
    if (Demo) {
        // The panels and the board read the record to the last: they go before the scratch does.
        FreeChildren();
        EndScratchPlayer();
    }
}

void TW_Game::BuildScreen() {
    Level = std::max(1, CurrentPlayerRec().Level);
    LevelToCountry(Level, Country, LevelInCountry);
    const std::string countryFolder = Countries.CountryNames[std::clamp(Country, 0, cMaxCountries)];
    CountryPicture =
        Add(new TTexRect256(294, 0, "\\Textures\\Countries\\" + countryFolder + ".tga", false, 128));
    PanelLeft = Add(new TTexRect256(0, 0, "\\Textures\\Game_PanelLeft.tga", false, 128));
    PanelRight = Add(new TTexRect256(298, 0, "\\Textures\\Game_PanelRight.tga", false, 32));
    CountryPicture->Block1 = sbTexture;
    PanelLeft->Block1 = sbTexture;
    PanelRight->Block1 = sbTexAlpha;
    if (SoundDepot) SoundDepot->StopMusic();
    MenuButton = Add(new TButtonMaster());
    MenuButton->CreateButton(0, "TEXT_Menu", cMenuButtonRect);

    std::string countryName, townName;
    GetLevelNames(Level, countryName, townName);
    CountryCaption = Add(MakeGameLabel(19, countryName, 148, 17));
    TownCaption = Add(MakeGameLabel(19, townName, 148, 346));

    Add(new TTimer(0));
    Add(new TScores());
    Add(new TBonusPanel());
    Add(new TLabelPanel());
    Add(new THeartMaster());
    Add(new TBonusXXMaster());
    Add(new TChipBack());
    Add(new TActiveRects());
    Add(new TNet(LevelInfo));
    Add(new TArtMaster());
    Add(new TBoardCursor());

    Net->StartLevel();
    if (ChipBack) ChipBack->Build();
    Timer->Seconds = LevelInfo.Time;
    Timer->Init();
    GameParticles = Add(new TGamePartMaster());
    if (!Demo) Add(new TInteractiveMaster()); // the demo explains nothing
    Overlay = Add(new TColorRect());
    Overlay->Block1 = sbDiffuseAlpha;
    Overlay->SetRect(0, 0, 800, 600);
    Overlay->SetColor(BlackAlpha(0.5f));
    Overlay->Visible = false;
    MainLabel = Add(MakeGameLabel(22, " ", 545, 300));
    MainLabel->Visible = false;
    if (Demo) BuildDemoCaption();
}

// The menu button gives way to the demo's caption and how to leave it.
void TW_Game::BuildDemoCaption() {
    MenuButton->Visible = false;
    DemoCaption = Add(MakeGameLabel(22, BoardText("TEXT_Demo"), 149, 548));
    DemoHint = Add(MakeGameLabel(19, BoardText("TEXT_Demo_PressAnyKey"), 149, 574));
}

void TW_Game::BuildStates() {
    SetStateInfo(gsPlaying, &TW_Game::OnPlaying, cHour);
    SetStateInfo(gsPaused, &TW_Game::OnPaused, cHour);
    SetStateInfo(gsResume, &TW_Game::OnResume, 1);
    SetStateInfo(gsIntro, &TW_Game::OnIntro, 300);
    SetStateInfo(gsGetReady, &TW_Game::OnGetReady, 20.0f * LevelInfo.Width + 30);
    SetStateInfo(gsLoseText, &TW_Game::OnLoseText, 300);
    SetStateInfo(gsOutcome, &TW_Game::OnOutcome, 60);
    SetStateInfo(gsTimeBonus, &TW_Game::OnTimeBonus, 300);
    SetStateInfo(gsFadeOut, &TW_Game::OnFadeOut, 60);
    SetStateInfo(gsLeave, &TW_Game::OnLeave, cHour);
    StepInStates = false;
}

// ---- input ----

bool TW_Game::KeyDown(uint16_t key) {
    // The demo's keys are the player's wish to leave it (Step ends it); the frame's own keys still act.
    if (Demo) return false;
    if (BonusPanel && BonusPanel->KeyDown(key)) return true;
    if (CloseHelpBubbleByKey(key)) return true;
    if (BoardCursor && BoardCursor->KeyDown(key)) return true;
    if ((key == VK_RETURN || key == VK_SPACE) && Net && Net->AState == asFrozen) {
        SkipKey = true; // the intro and the drop-in skip as for a click
        return true;
    }
    // Escape, or Pause (a gamepad's Start), opens the level's menu.
    if ((key == VK_ESCAPE || key == VK_PAUSE) && Net && Net->AState != asFrozen && MenuButton &&
        !MenuButton->Busy()) {
        MenuButton->SetButtonPressed(0);
        return true;
    }
    return false;
}

void TW_Game::MouseProc() {
    if (!Help && MenuButton && !Demo) MenuButton->MouseProc();
    if (BonusPanel) BonusPanel->MouseProc();
}

void TW_Game::Step() {
    // The player's key or click ends the demo before the level sees it.
    if (Demo && !Left && PlayerInput.Presses != DemoPresses) {
        EndDemo("the player's input");
        return;
    }
    ForgetEndedPassage();
    StepMe();
    TW_Menu::Step();
    SkipKey = false; // a key no state skipped with is spent
}

void TW_Game::StepMe() {
    if (VisMouse) VisMouse->Visible = !(Hammer && Hammer->Armed);
}

void TW_Game::OnButtonUp(TBasic* sender, int32_t index) {
    if (sender == MenuButton && index == 0 && State == gsPlaying) Pause();
}

void TW_Game::OnDialogButtonUp(TBasic* sender, int32_t index) {
    if (sender != ExitGameDialog || index != 0) return;
    if (RootGroup) RootGroup->ShowMainMenu();
    Left = true;
    Dead = true;
}

bool TW_Game::TransitionRunning() const {
    return Passage != nullptr && Passage == PassageEffect;
}

// The passage is a child: once the level plays, the window's step of its children ends and frees it
// (after a click through the intro, or on a resumed level). The passage's global says it is gone.
void TW_Game::ForgetEndedPassage() {
    if (Passage && Passage != PassageEffect) Passage = nullptr;
}

// ---- outcomes ----

void TW_Game::LevelWon() {
    if (Result != grPlaying) return;
    Result = grWon;
    SaveProgress();
    SetState(gsOutcome);
}

void TW_Game::LoseLife() {
    if (Result != grPlaying) return;
    Result = (Hearts && Hearts->Lives < 1) ? grGameOver : grLifeLost;
    SaveProgress();
    SetState(gsOutcome);
}

void TW_Game::RestartLevel() {
    if (Result != grPlaying) return;
    Result = grRestart;
    SaveProgress();
    SetState(gsOutcome);
}

void TW_Game::SaveAndExit() {
    SaveProgress();
    if (RootGroup) RootGroup->ShowMainMenu();
    Left = true;
    Dead = true;
}

// ---- pause ----

void TW_Game::ShowBoard(bool shown) {
    if (VisNet) VisNet->Visible = shown;
    if (ChipBack) ChipBack->Visible = shown;
    if (ArtMaster) {
        if (shown)
            ArtMaster->ShowBoardSlices();
        else
            ArtMaster->HideBoardSlices();
    }
    if (ActiveRects) ActiveRects->Visible = shown;
    if (GameParticles) GameParticles->Visible = shown;
    if (NetParticles) NetParticles->Visible = shown;
    if (Hammer && Hammer->Picture) Hammer->Picture->Visible = shown;
    if (Help) Help->Visible = shown;
}

void TW_Game::Pause() {
    if (State != gsPlaying) return;
    Add(new TW_MenuGame(this));
    if (LabelPanel) LabelPanel->Show("TEXT_LabelPanel_Paused", 0, cInfinitePeriod);
    SetState(gsPaused);
    Overlay->SetColor(BlackAlpha(0.3f));
    Overlay->Visible = true;
    ShowBoard(false);
    if (Hammer) ShowCursor(TRUE);
}

void TW_Game::Resume() {
    if (State != gsPaused) return;
    if (LabelPanel) LabelPanel->Hide();
    SetState(gsPlaying);
    Overlay->Visible = false;
    ShowBoard(true);
    GameMenu = nullptr;
    if (Hammer) ShowCursor(FALSE);
    FocusObject = this;
}

// ---- progress ----

void TW_Game::SaveProgress() {
    ReturnHammer();
    TPlayerRec& rec = CurrentPlayerRec();
    if (Timer) rec.TimeLeft = Timer->TimeLeft;
    if (Scores) rec.Score = Scores->Score;
    if (Hearts) rec.Lives = Hearts->Lives;
    rec.LevelInProgress = 1;
    if (Net) Net->SaveSnapshot();
    if (ArtMaster)
        for (int32_t i = 1; i <= std::min(ArtMaster->SliceCount, cSliceFlags); ++i)
            if (TSlice* s = ArtMaster->Slice(i)) rec.SliceDone[i - 1] = s->Placed ? 1 : 0;
    for (int32_t i = 0; i < 2; ++i) {
        rec.XX[i].XXFactor = BonusXX ? BonusXX->Factor[i] : 1;
        rec.XX[i].XXTime = BonusXX && BonusXX->Factor[i] > 1 ? std::min(BonusXX->TimeLeft[i], 3600.0f) : 0;
    }
    BookFlyingItems(rec);
}

// The level is being left: a hammer taken out but not used goes back to its slot (and the pointer
// comes back), or it would be lost with the level and float over the outcome.
void TW_Game::ReturnHammer() {
    for (TBasic* c = First; c; c = c->Next)
        if (auto* h = dynamic_cast<THammer*>(c)) h->ReturnToSlot();
}

// What is still flying off the board is booked as arrived, so that leaving the level loses nothing.
void TW_Game::BookFlyingItems(TPlayerRec& rec) {
    if (!Net) return;
    for (TBasic* c = Net->First; c; c = c->Next) {
        if (c->Dead) continue;
        // The panel's count is the record's: a bonus is counted once, by the first save.
        if (auto* b = dynamic_cast<TFallenVisBonus*>(c);
            b && !b->Booked && b->Value >= 1 && b->Value <= cBonusCodes) {
            rec.BonusCount[b->Value - 1] += 1;
            b->Booked = true;
        }
        if (auto* a = dynamic_cast<TFallenArt*>(c); a && a->Value >= 1 && a->Value <= cSliceFlags)
            rec.SliceDone[a->Value - 1] = 1;
        if (auto* x = dynamic_cast<TFallenBonusXX*>(c)) {
            const int32_t slot = x->Slot ? x->Slot : (BonusXX ? BonusXX->ChooseSlot() : 1);
            rec.XX[slot - 1].XXFactor = x->Value == 7 ? 3 : 2;
            rec.XX[slot - 1].XXTime = 3600;
        }
        // A bag not yet in the score is paid now.
        if (auto* m = dynamic_cast<TFallenBonusMoney*>(c); m && m->State <= 1)
            rec.Score += Options.CONST_BonusMoneyScores * (BonusXX ? BonusXX->Multiplier() : 1);
    }
}

// ---- texts ----

std::string TW_Game::LevelTitleText() const {
    return CountryCaption->Text + ", " + TownCaption->Text + "\n" + BoardText("TEXT_MainLabel_Level") + " " +
           std::to_string(Country) + "-" + std::to_string(LevelInCountry);
}

std::string TW_Game::LivesText() const {
    const int32_t lives = Hearts ? Hearts->Lives : 0;
    if (lives < 1) return BoardText("TEXT_MainLabel_LastLife");
    return std::to_string(lives) + " " + BoardText("TEXT_MainLabel_LivesLeft");
}

std::string TW_Game::GradeKey(int32_t level, float timeShown, float timeTotal) {
    if (level == 23) return "TEXT_MainLabel_AngryChip";
    static const char* const keys[6] = {
        "TEXT_MainLabel_Congratulations_Bad",  "TEXT_MainLabel_Congratulations_Ok",
        "TEXT_MainLabel_Congratulations_Norm", "TEXT_MainLabel_Congratulations_Good",
        "TEXT_MainLabel_Congratulations_Best", "TEXT_MainLabel_Congratulations_Best"};
    const double share = timeTotal > 0 ? static_cast<double>(timeShown) / timeTotal : 0;
    const int previous = std::fegetround();
    std::fesetround(FE_TONEAREST); // halves go to the even grade
    const auto g = static_cast<int32_t>(std::nearbyint(share * 5));
    std::fesetround(previous);
    return keys[std::clamp(g, 0, 5)];
}

std::string TW_Game::OutcomeTextKey() const {
    switch (Result) {
    case grWon:
        return GradeKey(Level, Timer ? Timer->TimeShown : 0, Timer ? Timer->TimeTotal : 1);
    case grLifeLost:
        return "TEXT_MainLabel_YouLoseTheGame";
    case grGameOver:
        return "TEXT_MainLabel_GameOver";
    default:
        return "TEXT_MainLabel_Restart";
    }
}

// ---- music ----

void TW_Game::PlayCountryIntro() {
    if (SoundDepot) SoundDepot->PlaySample(MusicOf(Country).Intro);
}
void TW_Game::StopCountryIntro() {
    if (SoundDepot) SoundDepot->StopSample(MusicOf(Country).Intro);
}
void TW_Game::PlayCountryMusic() {
    if (SoundDepot) SoundDepot->PlayMusic(MusicOf(Country).Music, 1, true);
}

// ---- state helpers ----

void TW_Game::SetOverlayAlpha(float alpha) {
    Overlay->SetColor(BlackAlpha(alpha));
}
void TW_Game::SetLabelAlpha(float alpha) {
    MainLabel->SetColor(WhiteAlpha(alpha));
}
void TW_Game::SetChipBackAlpha(float alpha) {
    if (ChipBack) ChipBack->SetColor(WhiteAlpha(alpha));
}

void TW_Game::StepPassage() {
    if (!Passage) return;
    Passage->Step();
    auto* p = dynamic_cast<TPassageEffectWindow*>(Passage);
    if (Passage->Dead || !p || p->Progress <= 0) {
        Remove(Passage, false);
        Passage = nullptr;
    }
}

bool TW_Game::SkipClicked() {
    const bool key = SkipKey;
    SkipKey = false;
    if (!key && (!Mouse || !Mouse->Pressed(0))) return false;
    Skipped = true;
    StateTime = 0;
    StopCountryIntro();
    return true;
}

// ---- states ----

void TW_Game::OnResume(TStateEvent e) {
    if (e != seFinish) return;
    SetChipBackAlpha(1);
    Net->SetAState(asIdle);
    Net->GlareAll();
    SetState(gsPlaying);
    FocusObject = this;
}

void TW_Game::OnIntro(TStateEvent e) {
    const float t = StateTime;
    switch (e) {
    case seStart:
        Overlay->Visible = true;
        SetOverlayAlpha(0.5f);
        MainLabel->Visible = true;
        MainLabel->SetText(LevelTitleText());
        Net->SetAState(asFrozen);
        Net->Visible = false;
        if (ArtMaster) ArtMaster->HideBoardSlices();
        FocusObject = nullptr;
        PlayCountryIntro();
        break;
    case seRunning:
        StepPassage();
        if (SkipClicked()) break;
        if (t > 0.75f) {
            SetLabelAlpha(1);
        } else if (t >= 0.5f) {
            SetLabelAlpha((t - 0.5f) / 0.25f);
        } else if (t >= 0.25f) {
            MainLabel->SetText(LivesText());
            SetLabelAlpha(1 - (t - 0.25f) / 0.25f);
        } else {
            const float u = t / 0.25f;
            SetOverlayAlpha(u * 0.5f);
            SetLabelAlpha(u);
            SetChipBackAlpha(1 - u);
        }
        break;
    case seFinish:
        Overlay->Visible = false;
        MainLabel->Visible = false;
        SetState(gsGetReady);
        if (LabelPanel) LabelPanel->ShowBlinking("TEXT_LabelPanel_GetReady", 2, 10);
        if (ChipBack) ChipBack->Block1 = sbTexAlpha;
        break;
    }
}

void TW_Game::OnGetReady(TStateEvent e) {
    switch (e) {
    case seStart:
        Net->Visible = true;
        if (ArtMaster) ArtMaster->ShowBoardSlices();
        SetChipBackAlpha(1);
        Net->Step();
        if (Skipped) StateTime = 0;
        break;
    case seRunning:
        StepPassage(); // still running after a click through the intro: the drop-in waits for it
        SkipClicked();
        Net->Step();
        if (ArtMaster) ArtMaster->Step();
        if (Timer && Timer->TimeTotal > 0)
            Timer->SetBarLength(static_cast<int32_t>(
                std::lround((1 - StateTime) * Timer->TimeShown / Timer->TimeTotal * Timer->BarMax)));
        break;
    case seFinish:
        Net->SetAState(asIdle);
        Net->StopAnimations();
        Net->GlareAll();
        SetState(gsPlaying);
        FocusObject = this;
        if (LabelPanel) LabelPanel->ShowBlinking("TEXT_LabelPanel_Go", 0, 2);
        BoardPlaySample("StartLevel_Go");
        break;
    }
}

void TW_Game::OnPlaying(TStateEvent e) {
    if (e == seStart) PlayCountryMusic();
    if (e != seRunning) return;
    StateTime = cHeld;
    if (!Passage && ArtMaster && ArtMaster->SlicesLeft == 0 && Net->AState == asIdle) LevelWon();
    if (!Dead) StepChildren();
}

void TW_Game::OnPaused(TStateEvent e) {
    switch (e) {
    case seStart:
        Overlay->Visible = true;
        break;
    case seRunning:
        StateTime = cHeld;
        if (GameMenu) GameMenu->Step();
        if (GameParticles) GameParticles->Step();
        break;
    case seFinish:
        Overlay->Visible = false;
        break;
    }
}

void TW_Game::OnOutcome(TStateEvent e) {
    const float t = StateTime;
    switch (e) {
    case seStart:
        if (Help) Help->Dead = true;
        Net->SetAState(asFrozen);
        if (BonusXX) BonusXX->Freeze();
        FocusObject = nullptr;
        MainLabel->SetText(BoardText(OutcomeTextKey()));
        SetLabelAlpha(0);
        MainLabel->Visible = true;
        if (ActiveRects) {
            ActiveRects->HideHover();
            ActiveRects->HideSelect();
        }
        break;
    case seRunning: {
        const int32_t r = static_cast<int32_t>(std::lround((LevelInfo.Height - 1) * t)) + 1;
        if (r >= 1 && r <= 32 && !RowBlown[r]) {
            Net->BlowRow(r);
            RowBlown[r] = true;
        }
        SetLabelAlpha(std::min((1 - t) * 2, 1.0f));
        Net->Step();
        CloseHelpDuringOutcome();
        break;
    }
    case seFinish:
        SetState(Result == grWon ? gsTimeBonus : gsFadeOut);
        break;
    }
}

void TW_Game::OnTimeBonus(TStateEvent e) {
    const float t = StateTime;
    const int32_t m = BonusXX ? std::max(1, BonusXX->Multiplier()) : 1;
    const int32_t bonus = Scores ? Scores->TimeBonus() : 0;
    switch (e) {
    case seStart:
        BonusBarLength = Timer ? Timer->BarLength : 0;
        StateSpeed = BonusBarLength > 0 ? 1.0f / (BonusBarLength * 1.35f / 1.4f) : 1.0f;
        ScoreBeforeBonus = Scores ? Scores->Score : 0;
        LivesBeforeBonus = Hearts ? Hearts->Lives : 0;
        BonusCounted = 0;
        if (SoundDepot) {
            SoundDepot->PlayMusic(sndEndLevel_GameWin1, 0, false);
            SoundDepot->PlayLooped(sndScores);
        }
        break;
    case seRunning: {
        Net->Step();
        if (Timer) Timer->SetBarLength(static_cast<int32_t>(std::lround(t * BonusBarLength)));
        const int32_t n = static_cast<int32_t>(std::lround(bonus * (1 - t))) / m;
        if (Scores) {
            Scores->AddScore(n - BonusCounted);
            Scores->SetShown(Scores->Score);
            Scores->StepMe();
        }
        BonusCounted = n;
        if (Hearts) Hearts->StepMe();
        if (BonusXX) BonusXX->Step();
        if (AnyButtonEvent()) StateTime = 0;
        break;
    }
    case seFinish:
        if (Timer) Timer->SetBarLength(0);
        if (Scores) {
            Scores->AddScore(bonus / m - BonusCounted);
            Scores->SetShown(Scores->Score);
        }
        BonusCounted = bonus / m;
        if (Hearts) {
            Hearts->BlinkTime = 0;
            Hearts->StepMe();
        }
        SetState(gsFadeOut);
        if (SoundDepot) SoundDepot->StopLooped(sndScores);
        break;
    }
}

void TW_Game::OnFadeOut(TStateEvent e) {
    const float t = StateTime;
    switch (e) {
    case seStart:
        Overlay->Visible = true;
        SetOverlayAlpha(0);
        if (SoundDepot)
            SoundDepot->PlayMusic(Result == grWon ? sndEndLevel_GameWin2 : sndEndLevel_GameWin1, 0, false);
        break;
    case seRunning:
        Net->Step();
        SetOverlayAlpha(std::min(1 - t, 0.5f));
        SetChipBackAlpha(t);
        if ((Result == grWon || Result == grRestart) && t < 0.25f)
            SetLabelAlpha(std::max((t - 0.02f) * 4, 0.0f));
        break;
    case seFinish:
        if (Result == grWon || Result == grRestart) {
            SetState(gsLeave);
            MainLabel->Visible = false;
            if (ChipBack) ChipBack->Visible = false;
        } else {
            SetState(gsLoseText);
        }
        break;
    }
}

void TW_Game::OnLoseText(TStateEvent e) {
    if (e == seRunning) {
        Net->Step();
        if (StateTime <= 0.1f) SetLabelAlpha(std::max(StateTime * 9, 0.0f));
    } else if (e == seFinish) {
        MainLabel->Visible = false;
        if (ChipBack) ChipBack->Visible = false;
        SetState(gsLeave);
    }
}

void TW_Game::OnLeave(TStateEvent e) {
    if (Demo) {
        if (e == seStart) EndDemo("the level is over");
        return;
    }
    switch (e) {
    case seStart:
        UpdateRecord();
        if (Result == grWon || Result == grGameOver)
            Add(new TW_MenuStats(this));
        else
            StateTime = 0;
        break;
    case seRunning:
        StateTime = cHeld;
        if (StatsWindow) StatsWindow->Step();
        break;
    case seFinish:
        FinishLeave();
        break;
    }
}

void TW_Game::FinishLeave() {
    if (Left) return;
    if (Demo) {
        EndDemo("the level is over");
        return;
    }
    Left = true;
    SaveGameDat();
    if (RootGroup) {
        if (Result == grWon) RootGroup->ShowArtefacts();
        if (Result == grLifeLost || Result == grRestart) RootGroup->NextWindow = 4;
        if (Result == grGameOver) RootGroup->ShowHiScores(1);
    }
    Dead = true;
}

void TW_Game::EndDemo(const char* why) {
    if (Left) return;
    Left = true;
    Log(std::string("TW_Game: the idle demo ends (") + why + ") at frame " + std::to_string(FrameCount + 1));
    if (RootGroup) RootGroup->ShowMainMenu();
    Dead = true;
}

// The outcome is booked in the player record; the file is written when the window is left.
void TW_Game::UpdateRecord() {
    TPlayerRec& rec = CurrentPlayerRec();
    const int32_t score = Scores ? Scores->Score : rec.Score;
    const int32_t lives = Hearts ? Hearts->Lives : rec.Lives;
    const int32_t seconds = Timer ? Timer->ElapsedSeconds() : 0;
    switch (Result) {
    case grWon:
        if (rec.Level == 76) InsertHiScore(rec.Name.Get(), rec.Level, score);
        LevelStats[0] = rec.ChipsRemoved;
        LevelStats[1] = rec.Falls;
        LevelStats[2] = rec.BonusesDropped;
        LevelStats[3] = rec.SlicesDropped;
        LevelStats[4] = rec.BestCascade;
        LevelStats[5] = lives - rec.LivesAtStart;
        LevelStats[6] = seconds;
        LevelStats[7] = score - ScoreBeforeBonus;
        LevelStats[8] = ScoreBeforeBonus;
        LevelStats[9] = score;
        rec.Level += 1;
        rec.LevelInProgress = 0;
        rec.Score = score;
        rec.Lives = lives;
        break;
    case grLifeLost:
    case grRestart:
        rec.LevelInProgress = 0;
        rec.Lives = lives - 1;
        rec.Score = score;
        std::copy(std::begin(rec.BonusCountAtStart), std::end(rec.BonusCountAtStart),
                  std::begin(rec.BonusCount));
        break;
    case grGameOver:
        PendingHiScore = {rec.Name.Get(), rec.Level, score};
        TotalStats[0] = rec.TotalChips;
        TotalStats[1] = rec.TotalChains;
        TotalStats[2] = rec.TotalBonuses;
        TotalStats[3] = rec.TotalSlices;
        TotalStats[4] = rec.TotalBestCascade;
        TotalStats[5] = rec.TotalSeconds;
        TotalStats[6] = rec.TotalLives;
        TotalStats[7] = score;
        rec.Level = FirstLevelOfCountry(Country);
        rec.LevelInProgress = 0;
        rec.Lives = 3;
        rec.Score = 0;
        std::fill(std::begin(rec.BonusCount), std::end(rec.BonusCount), 0);
        break;
    default:
        break;
    }
    rec.TotalChips += rec.ChipsRemoved;
    rec.TotalChains += rec.Falls;
    rec.TotalBonuses += rec.BonusesDropped;
    rec.TotalSlices += rec.SlicesDropped;
    rec.TotalBestCascade = std::max(rec.TotalBestCascade, rec.BestCascade);
    rec.TotalSeconds += seconds;
    rec.TotalLives = 3 + THeartMaster::ExtraLives(0, rec.Score);
}

TBasic* CreateGameWindow() {
    return new TW_Game();
}

void SaveLevelInProgress() {
    if (!Game || Game->Demo || Game->Dead || Game->Left) return;
    if (Game->State == gsPlaying || Game->State == gsPaused || Game->State == gsResume) Game->SaveProgress();
}

bool GameCloseHandler() {
    // Over the demo the exit dialog asks at once.
    if (!Game || Game->Demo || Game->Dead || Game->State != gsPlaying || !Game->MenuButton) return false;
    Game->MenuButton->SetButtonPressed(0);
    return true;
}

} // namespace velmora
