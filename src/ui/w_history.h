// The story between the levels: an illustrated scene (two small pictures with their texts, or one
// large picture with text over it) fades in, its lines appear one by one, and the player goes on to
// the next scene, the level or the main menu.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ui/w_menu.h"

namespace velmora {

class TTexRect256;
class TTexLabelEx;

constexpr int32_t cHistoryScenes = 14;
constexpr int32_t cHistoryMaxLines = 10; // later lines of a text never show

struct THistorySceneInfo {
    bool Large;
    const char* Picture1;
    const char* Picture2; // nil for a large scene
    const char* Text1;
    const char* Text2; // nil for a large scene
};
extern const THistorySceneInfo HistoryScenes[cHistoryScenes];

// Where "Next" leads from a scene: another scene (in its state), the level or the main menu.
enum THistoryGoOn : uint8_t { hgScene = 0, hgPlay = 1, hgMainMenu = 2 };
struct THistoryStep {
    THistoryGoOn GoOn;
    int32_t Scene; // the next scene for hgScene
    int32_t State; // 2 two-panel, 3 large
};
THistoryStep HistoryNext(int32_t scene);
THistoryGoOn HistorySkip(int32_t scene);
int32_t HistorySceneState(int32_t scene); // the animation state a scene opens in

// Opacity of a panel's picture and of its text line i (1-based) at the panel's t (1 -> 0).
float HistoryPictureAlpha(float t);
float HistoryLineAlpha(float t, int32_t line);

class TW_History : public TW_Menu {
  public:
    TW_History();
    ~TW_History() override;
    bool KeyDown(uint16_t key) override;
    void MouseProc() override;
    const char* ClassName() const override { return "TW_History"; }
    bool CanInteract() override;
    void OnButtonUp(TBasic* sender, int32_t index) override;

    void Complete(); // everything of the scene at full opacity; the animation ends
    void GoOn();     // "Next", or a click or key once the scene stands complete
    void Skip();

    struct TPanel {
        TTexRect256* Picture = nullptr;
        TTexRect256* Frame = nullptr;
        std::vector<TTexLabelEx*> Lines;
    };
    int32_t Scene = 0;
    TTexRect256* Back = nullptr;
    TPanel Panels[2];

  private:
    void CreateScene();
    void ClearScene();
    void CreatePanel(int32_t index, const std::string& picture, const std::string& textKey);
    void ShowPanel(TPanel& panel, float t, bool complete);
    void OnWaiting(TStateEvent e);
    void OnTwoPanels(TStateEvent e);
    void OnLarge(TStateEvent e);
    void TakeClick();
};

extern TW_History* HistoryWindow;

TBasic* CreateHistory();

} // namespace velmora
