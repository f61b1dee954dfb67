#include "ui/w_history.h"

#include <algorithm>
#include <cmath>

#include "app/input.h"
#include "app/log.h"
#include "app/options.h"
#include "app/sound.h"
#include "engine/group.h"
#include "render/blocks.h"
#include "render/itf.h"
#include "render/texlabels.h"
#include "render/visual.h"
#include "ui/passage.h"
#include "ui/wincontrols.h"

namespace velmora {

TW_History* HistoryWindow = nullptr;

const THistorySceneInfo HistoryScenes[cHistoryScenes] = {
    {false, "Small_Sun.tga", "Small_Lion.tga", "TEXT_History_scPreHistory1_1",
     "TEXT_History_scPreHistory1_2"},
    {true, "Large_Sun.tga", nullptr, "TEXT_History_scPreHistory2", nullptr},
    {false, "Small_Horse.tga", "Map_Greece.tga", "TEXT_History_scPreHistory3_1",
     "TEXT_History_scPreHistory3_2"},
    {false, "Art_Greece.tga", "Map_Babylon.tga", "TEXT_History_sc_Greece_1", "TEXT_History_sc_Greece_2"},
    {false, "Art_Babylon.tga", "Map_Egypt1.tga", "TEXT_History_sc_Babylon_1", "TEXT_History_sc_Babylon_2"},
    {false, "Art_Egypt1.tga", "Map_Egypt2.tga", "TEXT_History_sc_Egypt1_1", "TEXT_History_sc_Egypt1_2"},
    {false, "Art_Egypt2.tga", "Map_Rome.tga", "TEXT_History_sc_Egypt2_1", "TEXT_History_sc_Egypt2_2"},
    {false, "Art_Rome.tga", "Map_Carthage.tga", "TEXT_History_sc_Rome_1", "TEXT_History_sc_Rome_2"},
    {false, "Art_Carthage.tga", "Map_Velmora1.tga", "TEXT_History_sc_Carthage_1",
     "TEXT_History_sc_Carthage_2"},
    {false, "Art_Velmora1.tga", "Map_Velmora2.tga", "TEXT_History_sc_Velmora1_1",
     "TEXT_History_sc_Velmora1_2"},
    {false, "Small_Lion.tga", "Small_Sun.tga", "TEXT_History_scPostHistory1_1",
     "TEXT_History_scPostHistory1_2"},
    {true, "Large_Sun.tga", nullptr, "TEXT_History_scPostHistory2", nullptr},
    {true, "Large_Tsunami.tga", nullptr, "TEXT_History_scPostHistory3", nullptr},
    {true, "Large_Underwater.tga", nullptr, "TEXT_History_scPostHistory4", nullptr},
};

namespace {

constexpr float cTwoPanelPeriod = 600;
constexpr float cLargePeriod = 300;
constexpr int32_t cLineStep = 18;
constexpr int32_t cButtonTop = 536;
constexpr int32_t cButtonMargin = 40;

struct TPanelPlace {
    int32_t PicX, PicY, FrameX, FrameY;
};
constexpr TPanelPlace cPanelPlace[2] = {{42, 90, 38, 88}, {476, 302, 472, 300}};

uint32_t WhiteWithAlpha(float a) {
    return static_cast<uint32_t>(std::lround(std::clamp(a, 0.0f, 1.0f) * 255)) << 24 | 0x00FFFFFFu;
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t end = text.find('\n', start);
        std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return lines;
}

} // namespace

int32_t HistorySceneState(int32_t scene) {
    return scene >= 0 && scene < cHistoryScenes && HistoryScenes[scene].Large ? 3 : 2;
}

THistoryStep HistoryNext(int32_t scene) {
    switch (scene) {
    case 0:
        return {hgScene, 1, 3};
    case 1:
        return {hgScene, 2, 2};
    case 10:
        return {hgScene, 11, 3};
    case 11:
        return {hgScene, 12, 3};
    case 12:
        return {hgScene, 13, 3};
    case 13:
        return {hgMainMenu, 13, 1};
    default:
        break;
    }
    // Scenes 2..9 lead to the level; an unknown scene number too, so the campaign never sticks.
    return {hgPlay, scene, 1};
}

THistoryGoOn HistorySkip(int32_t scene) {
    return scene >= 10 && scene < cHistoryScenes ? hgMainMenu : hgPlay;
}

float HistoryPictureAlpha(float t) {
    return std::clamp((0.8f - t) / 0.2f + 1.0f, 0.0f, 1.0f);
}

float HistoryLineAlpha(float t, int32_t line) {
    if (t > 0.8f || line > cHistoryMaxLines) return 0;
    const float p = (0.8f - t) / 0.8f * 10.0f;
    return std::clamp(p - static_cast<float>(line - 1), 0.0f, 1.0f);
}

TW_History::TW_History() {
    HistoryWindow = this;
    // A scene number beyond the table shows the last scene's way out: straight on to the level.
    Scene = HistoryScene < cHistoryScenes ? HistoryScene : -1;
    Back = Add(new TTexRect256(0, 0, "\\Textures\\History\\Back.tga", false, 128));
    Back->Block1 = sbTexture;
    SetTitles("TEXT_Title_History", "", -30, 0);
    Buttons = Add(new TButtonMaster());
    Buttons->CreateButton(0, "TEXT_Skip",
                          {cButtonMargin, cButtonTop, cWideButtonWidth, cDefaultButtonHeight});
    Buttons->CreateButton(
        1, "TEXT_Next",
        {ScreenWidth - cButtonMargin - cWideButtonWidth, cButtonTop, cWideButtonWidth, cDefaultButtonHeight});
    Buttons->SetButtonActive(1);
    SetStateInfo(1, &TW_History::OnWaiting, cInfinitePeriod);
    SetStateInfo(2, &TW_History::OnTwoPanels, cTwoPanelPeriod);
    SetStateInfo(3, &TW_History::OnLarge, cLargePeriod);
    FadeInFromSnapshot(*this);
    if (SoundDepot) SoundDepot->PlayMusic(sndMusic_Map, 1, true);
    if (Scene < 0) {
        Log("TW_History.Create: Invalid scene " + std::to_string(HistoryScene) + "; the campaign goes on");
        SetState(1);
        return;
    }
    SetState(HistorySceneState(Scene));
}

TW_History::~TW_History() {
    if (HistoryWindow == this) HistoryWindow = nullptr;
}

bool TW_History::CanInteract() {
    return Buttons && !Buttons->Busy() && !PassageEffect;
}

void TW_History::CreatePanel(int32_t index, const std::string& picture, const std::string& textKey) {
    TPanel& panel = Panels[index];
    const bool large = HistoryScenes[Scene].Large;
    if (large) {
        panel.Picture = Add(new TTexRect256(0, 0, "\\Textures\\History\\" + picture, false, 128));
    } else {
        const TPanelPlace& at = cPanelPlace[index];
        panel.Picture = Add(new TTexRect256(at.PicX, at.PicY, "\\Textures\\History\\" + picture, false, 128));
        panel.Frame =
            Add(new TTexRect256(at.FrameX, at.FrameY, "\\Textures\\History\\Border.tga", false, 128));
    }
    const std::vector<std::string> lines = SplitLines(TextOf(textKey));
    const int32_t n = static_cast<int32_t>(lines.size());
    for (int32_t i = 1; i <= n; ++i) {
        TTexLabelExParams p;
        p.Font = History ? History : DefaultButtonFont;
        p.Spacing = -2;
        p.LineSpacing = -6;
        p.VAlign = 2;
        p.HAlign = large || index == 1 ? 1 : 2;
        p.Text = lines[i - 1].empty() ? " " : lines[i - 1];
        int32_t x = 0, y = 0;
        if (large) {
            x = 50;
            y = 50 + cLineStep * (i - 1);
        } else if (index == 0) {
            x = 707;
            y = 90 + cLineStep * (i - 1);
        } else {
            x = 44;
            y = 483 - cLineStep - cLineStep * (n - i);
        }
        auto* label = Add(new TTexLabelEx(p));
        label->X = TableX(x) - HalfPixel;
        label->Y = TableY(y) - HalfPixel;
        label->Layout();
        panel.Lines.push_back(label);
    }
}

void TW_History::CreateScene() {
    const THistorySceneInfo& info = HistoryScenes[Scene];
    CreatePanel(0, info.Picture1, info.Text1);
    if (!info.Large) CreatePanel(1, info.Picture2, info.Text2);
    for (TPanel& panel : Panels)
        ShowPanel(panel, 1, false);
    // A large picture covers the screen: title and buttons stay over it, a passage over everything.
    if (TitleLabel) BringToFront(TitleLabel);
    if (Buttons) BringToFront(Buttons);
    if (PassageEffect && PassageEffect->Parent == this) BringToFront(PassageEffect);
}

void TW_History::ClearScene() {
    for (TPanel& panel : Panels) {
        if (panel.Picture) panel.Picture->Dead = true;
        if (panel.Frame) panel.Frame->Dead = true;
        for (TTexLabelEx* line : panel.Lines)
            line->Dead = true;
        panel = TPanel{};
    }
}

void TW_History::ShowPanel(TPanel& panel, float t, bool complete) {
    const float picture = complete ? 1 : HistoryPictureAlpha(t);
    if (panel.Picture) {
        panel.Picture->Block1 = complete ? sbTexture : sbTexDiffuseAlpha;
        panel.Picture->SetColor(WhiteWithAlpha(picture));
    }
    if (panel.Frame) {
        panel.Frame->Block1 = complete ? sbTexAlpha : sbTexModAlpha;
        panel.Frame->SetColor(WhiteWithAlpha(picture));
    }
    for (size_t i = 0; i < panel.Lines.size(); ++i) {
        const int32_t line = static_cast<int32_t>(i) + 1;
        TTexLabelEx* label = panel.Lines[i];
        label->ExBlock1 = complete ? sbTexAlpha : sbTexModAlpha;
        label->SetColor(WhiteWithAlpha(HistoryLineAlpha(complete ? 0 : t, line)));
    }
}

void TW_History::OnTwoPanels(TStateEvent e) {
    if (e == seStart) CreateScene();
    if (e == seRunning) {
        const float T = StateTime;
        if (T >= 0.5f)
            ShowPanel(Panels[0], (T - 0.5f) / 0.5f, false);
        else {
            ShowPanel(Panels[0], 0, false);
            ShowPanel(Panels[1], std::max(T, 0.0f) / 0.5f, false);
        }
    }
    if (e == seFinish) SetState(1);
}

void TW_History::OnLarge(TStateEvent e) {
    if (e == seStart) CreateScene();
    if (e == seRunning) ShowPanel(Panels[0], std::max(StateTime, 0.0f), false);
    if (e == seFinish) SetState(1);
}

void TW_History::OnWaiting(TStateEvent e) {
    if (e == seStart)
        for (TPanel& panel : Panels)
            ShowPanel(panel, 0, true);
}

void TW_History::Complete() {
    for (TPanel& panel : Panels)
        ShowPanel(panel, 0, true);
    if (State == 2) StateTime = -0.0001f;
    if (State == 3) StateTime = 0;
}

void TW_History::GoOn() {
    ClearScene();
    const THistoryStep step = Scene < 0 ? THistoryStep{hgPlay, 0, 1} : HistoryNext(Scene);
    if (step.GoOn == hgScene) {
        Scene = step.Scene;
        HistoryScene = static_cast<uint8_t>(Scene);
        StateTime = 1;
        SetState(step.State);
        return;
    }
    // The story's hand-overs are kept in the log: they tell where a campaign went.
    Log("TW_History.GoOn: scene " + std::to_string(Scene) +
        (step.GoOn == hgPlay ? " done, the campaign goes on" : " done, back to the main menu"));
    if (RootGroup) {
        if (step.GoOn == hgPlay)
            RootGroup->StartPlaying();
        else
            RootGroup->ShowMainMenu();
    }
    Dead = true;
}

void TW_History::Skip() {
    ClearScene();
    Log("TW_History.Skip: scene " + std::to_string(Scene) + " skipped");
    if (RootGroup) {
        if (Scene >= 0 && HistorySkip(Scene) == hgMainMenu)
            RootGroup->ShowMainMenu();
        else
            RootGroup->StartPlaying();
    }
    Dead = true;
}

void TW_History::TakeClick() {
    if (State == 2 || State == 3)
        Complete();
    else
        GoOn();
}

void TW_History::OnButtonUp(TBasic*, int32_t index) {
    if (Dead) return;
    if (index == 0) Skip();
    if (index == 1) GoOn();
}

bool TW_History::KeyDown(uint16_t key) {
    if (Dead || !CanInteract()) return false;
    if (Buttons->KeyDown(key)) return true;
    TakeClick();
    return true;
}

void TW_History::MouseProc() {
    if (Dead || !CanInteract() || !Mouse) return;
    if (Buttons->MouseOver()) {
        Buttons->MouseProc();
        return;
    }
    if (Mouse->Pressed(0)) TakeClick();
}

TBasic* CreateHistory() {
    return new TW_History();
}

} // namespace velmora
