// Score keeper, level timer, lives, message strip and their short-lived effects.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "app/gamedat.h"
#include "app/input.h"
#include "app/options.h"
#include "board/collaborators.h"
#include "board/net.h"
#include "board/playerlink.h"
#include "render/blocks.h"
#include "render/tex.h"
#include "render/texlabels.h"
#include "render/visual.h"

namespace velmora {

namespace {

constexpr int32_t cBarLeftPx = 338, cBarTopPx = 504;
// The message strip stands in the free band between the board and the time bar: below the bar the
// bonus wells and their counts leave no room for it.
constexpr int32_t cStripX = 552, cStripY = 468, cStripHalfW = 64, cStripHalfH = 12;
constexpr float cLowTimeShare = 0.15f;

int32_t CurrentMultiplier() {
    return BonusXX ? BonusXX->Multiplier() : 1;
}

TTexRect* MakePicture(int32_t texId, int32_t block) {
    auto* r = new TTexRect();
    r->TexId = texId;
    r->Block1 = block;
    return r;
}

} // namespace

// ---- TScores ----

TScores::TScores() : Score(CurrentPlayerRec().Score) {
    Scores = this;
    Shown = Score;
    ScoreLabel = Add(MakeGameLabel(19, std::to_string(Score), 148, 394));
}
TScores::~TScores() {
    if (Scores == this) Scores = nullptr;
}

void TScores::AddChipScore(int32_t x, int32_t y, int32_t cascade, int32_t lineLength) {
    const int32_t multiplier = CurrentMultiplier();
    const int32_t points = 5 * (cascade + lineLength - 2);
    const int32_t old = Score;
    Score += points * multiplier;
    ChipScores += 1;
    if (Awards.size() >= 4096) Awards.erase(Awards.begin(), Awards.begin() + 2048);
    Awards.push_back({x, y, cascade, lineLength, points * multiplier});
    GainPoints(old);
    std::string text = "+" + std::to_string(points);
    if (multiplier > 1) text += "*" + std::to_string(multiplier);
    if (Net) Net->Add(new TFlyScores(x, text, y));
}

void TScores::AddScore(int32_t points) {
    const int32_t old = Score;
    Score += points * CurrentMultiplier();
    GainPoints(old);
}

void TScores::GainPoints(int32_t oldScore) {
    if (Hearts) Hearts->SetLives(Hearts->Lives + THeartMaster::ExtraLives(oldScore, Score));
    if (BonusXX) BonusXX->FlashCoins();
}

int32_t TScores::TimeBonus() const {
    if (!Timer) return 0;
    return std::max(0, (Timer->Seconds - Timer->ElapsedSeconds()) * 10 * CurrentMultiplier());
}

void TScores::SetShown(int32_t value) {
    Shown = value;
    if (ScoreLabel) ScoreLabel->SetText(std::to_string(value));
}

// The shown score closes a tenth of the gap per Delta, at least a point per update, never passing.
void TScores::StepMe() {
    ShowTimer += Delta;
    if (ShowTimer < 1) return;
    int32_t n = static_cast<int32_t>(std::lround(Shown + (Score - Shown) * 0.1f * Delta));
    if (n - Shown < 1) n = std::min(n + 1, Score);
    if (Shown > Score) n = Score;
    SetShown(n);
    ShowTimer = 0;
}

// ---- TTimer ----

TTimer::TTimer(int32_t seconds) : TimeLeft(seconds * 60.0f), TimeTotal(seconds * 60.0f), Seconds(seconds) {
    Timer = this;
    TimeShown = TimeLeft;
    Bar = Add(MakePicture(77, sbTexAlpha));
    Bar->Visible = false;
}
TTimer::~TTimer() {
    if (Timer == this) Timer = nullptr;
}

void TTimer::Init() {
    TimeTotal = Seconds * 60.0f;
    const TPlayerRec& rec = CurrentPlayerRec();
    TimeLeft = TimeTotal;
    if (rec.LevelInProgress && std::isfinite(rec.TimeLeft))
        TimeLeft = std::clamp(rec.TimeLeft, 0.0f, TimeTotal);
    TimeShown = TimeLeft;
    if (TexArr && TexArr->Recs[77].Width > 0) {
        BarMax = TexArr->Recs[77].Width;
        BarHeight = std::max(1, TexArr->Recs[77].Height / 2);
    }
    SetBarLength(0);
    UpdateBar();
    BarSpeed = 0.005f;
}

void TTimer::SetBarLength(int32_t n) {
    BarLength = std::clamp(n, 0, BarMax);
    if (!Bar) return;
    Bar->Visible = BarLength > 0;
    Bar->SetRectLTRB(cBarLeftPx, cBarTopPx, cBarLeftPx + BarLength, cBarTopPx + BarHeight);
    ShowBarPicture();
}

// The picture's coordinates follow the bar's length (the right-hand BarLength pixels of the row),
// so the bar is never drawn squeezed from another length.
void TTimer::ShowBarPicture() {
    if (!Bar) return;
    Bar->SetUVPixels(BarMax - BarLength, BarRow * BarHeight, BarMax, (BarRow + 1) * BarHeight);
    Bar->UploadVertices();
}

// The bar shows the right-hand BarLength pixels of the normal row, or of the warning row while the
// low-time flash is on.
void TTimer::UpdateBar() {
    const float r = TimeTotal > 0 ? TimeLeft / TimeTotal : 0;
    int32_t row = 0;
    if (r <= cLowTimeShare) {
        if (std::lround(LifeTime) % 32 < 16) row = 1;
        if (!LowTime) {
            if (LabelPanel) LabelPanel->ShowBlinking("TEXT_LabelPanel_LowTime", 1, 2.8f);
            if (HelpMaster) HelpMaster->LowTime();
            BoardPlaySample("LowTime");
        }
        LowTime = true;
    } else {
        LowTime = false;
    }
    BarRow = row;
    ShowBarPicture();
}

void TTimer::AddSeconds(int32_t seconds) {
    BarSpeed = 0.001665f;
    TimeLeft = std::min(TimeTotal, TimeLeft + seconds * 60.0f);
    BoardPlaySample("ClockUsed");
}

int32_t TTimer::ElapsedSeconds() const {
    return static_cast<int32_t>(std::lround(Elapsed / 60.0f));
}

void TTimer::StepMe() {
    UpdateBar();
    const int32_t n = TimeTotal > 0 ? static_cast<int32_t>(std::lround(TimeShown / TimeTotal * BarMax)) : 0;
    if (n != BarLength) SetBarLength(n);
    if (TimeLeft == 0 && BoardGame) BoardGame->LoseLife();
    if (Help || (BoardGame && BoardGame->LevelComplete())) return;
    if (!Started) {
        if (!Mouse || !Mouse->ButtonChangedNow()) return;
        Started = true;
    }
    Elapsed += Delta;
    TimeLeft = std::max(TimeLeft - Delta, 0.0f);
    const float s = TimeTotal * BarSpeed * Delta;
    if (TimeShown >= TimeLeft)
        TimeShown = std::max(TimeShown - s, TimeLeft);
    else
        TimeShown = std::min(TimeShown + s, TimeLeft);
}

// ---- THeartMaster ----

THeartMaster::THeartMaster() : Lives(CurrentPlayerRec().Lives) {
    Hearts = this;
    const int32_t xs[3] = {116, 138, 160};
    for (int32_t i = 0; i < 3; ++i) {
        Heart[i] = Add(MakePicture(80, sbTexAlpha));
        Heart[i]->SetUVRect(HeartsUV[0]);
        Heart[i]->SetRectLTRB(xs[i], 425, xs[i] + 18, 425 + 16);
        Heart[i]->UploadVertices();
    }
    HeartMany = Add(MakePicture(80, sbTexAlpha));
    HeartMany->SetUVRect(HeartsUV[0]);
    HeartMany->SetRectLTRB(127, 425, 127 + 18, 425 + 16);
    HeartMany->UploadVertices();
    ManyLabel = Add(MakeGameLabel(19, "*1", 145, 418, 1));
    ShowLives();
}
THeartMaster::~THeartMaster() {
    if (Hearts == this) Hearts = nullptr;
}

int32_t THeartMaster::ExtraLives(int32_t oldScore, int32_t newScore) {
    const int32_t step = Options.CONST_BonusLifeScore;
    if (step <= 0) return 0;
    return newScore / step - oldScore / step;
}

void THeartMaster::SetLives(int32_t n) {
    if (n == Lives) return;
    Lives = n;
    ShowLives();
    BlinkTime = 300;
    ++ExtraLifeSounds;
    BoardPlaySample("ExtraLife");
}

void THeartMaster::ShowLives() {
    const bool many = Lives >= 4;
    for (int32_t i = 0; i < 3; ++i)
        Heart[i]->Visible = !many && i < Lives;
    HeartMany->Visible = many;
    ManyLabel->Visible = many;
    if (many) ManyLabel->SetText("*" + std::to_string(Lives));
}

void THeartMaster::StepMe() {
    BlinkTime = std::max(BlinkTime - Delta, 0.0f);
    const bool on = BlinkTime == 0 || std::lround(BlinkTime) % 30 < 15;
    if (Lives >= 4) {
        HeartMany->Visible = on;
        ManyLabel->Visible = on;
    } else if (Lives >= 1) {
        Heart[Lives - 1]->Visible = on;
    }
}

// ---- TLabelPanel ----

TLabelPanel::TLabelPanel() {
    LabelPanel = this;
    Visible = false;
    Back = Add(MakePicture(79, sbTexAlpha));
    Back->SetRectLTRB(cStripX - cStripHalfW, cStripY - cStripHalfH, cStripX + cStripHalfW,
                      cStripY + cStripHalfH);
    Back->SetUVRect(LabelPanelUV[0]);
    Back->UploadVertices();
    Text = Add(MakeGameLabel(19, " ", cStripX, cStripY));
}
TLabelPanel::~TLabelPanel() {
    if (LabelPanel == this) LabelPanel = nullptr;
}

void TLabelPanel::Show(const std::string& textKey, int32_t style, float seconds) {
    Key = textKey;
    Text->SetText(BoardText(textKey));
    TimeLeft = seconds * 60.0f;
    Mode = 1;
    Age = 0;
    Back->SetUVRect(LabelPanelUV[std::clamp(style, 0, 2)]);
    Back->UploadVertices();
    Visible = true; // the strip is shown: players expect these messages
}

void TLabelPanel::ShowBlinking(const std::string& textKey, int32_t style, float seconds) {
    Show(textKey, style, seconds);
    Mode = 2;
}

void TLabelPanel::Hide() {
    TimeLeft = 0;
    Mode = 0;
    Visible = false;
}

void TLabelPanel::StepMe() {
    if (Mode == 0) return;
    Age += Delta;
    TimeLeft = std::max(0.0f, TimeLeft - Delta);
    if (TimeLeft == 0) return Hide();
    if (Mode == 2) Visible = std::lround(Age) % 60 < 30;
}

// ---- TFlyScores, TFlyCoin ----

TFlyScores::TFlyScores(int32_t x, const std::string& text, int32_t y) {
    const TWorldPoint p = Net ? Net->CellCentre(x, y) : CellCentreAt(0, 0, x, y);
    Label = Add(MakeGameLabel(22, text, WorldToPixelX(p.X), WorldToPixelY(p.Y)));
    BaseY = Label->Y;
    SetStateInfo(3, &TFlyScores::OnFly, 60);
    SetState(3);
}

void TFlyScores::OnFly(TStateEvent e) {
    switch (e) {
    case seStart:
        Label->SetColor(0xFFFFFFFF);
        break;
    case seRunning:
        Label->SetColor(WhiteAlpha(StateTime));
        Label->Y = BaseY + (1 - StateTime) * 12 * PixelSize;
        break;
    case seFinish:
        Dead = true;
        break;
    }
}

TFlyCoin::TFlyCoin(float x, float y, int32_t factor) : X(x), Y(y) {
    Icon = Add(MakePicture(80, sbDiffuseModAlpha));
    Icon->SetUVRect(HeartsUV[factor == 3 ? 2 : 1]);
    Icon->SetWidth(17 * PixelSize);
    Icon->SetHeight(16 * PixelSize);
    Icon->SetWorldPos(x + 2 * PixelSize, y - PixelSize);
    Icon->UploadVertices();
    SetStateInfo(3, &TFlyCoin::OnFly, 40);
    SetState(3);
}

void TFlyCoin::OnFly(TStateEvent e) {
    if (e == seRunning) Icon->SetColor(WhiteAlpha(StateTime * 0.75f));
    if (e == seFinish) Dead = true;
}

} // namespace velmora
