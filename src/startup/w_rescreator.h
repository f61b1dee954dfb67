// The first window of every run: makes the derived textures that are missing (unpacked JPEG
// pictures, glare sheets, artefact bodies and slices), one piece of work per frame under a progress
// bar, then hands over to the logo window.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "board/gamevis.h"
#include "render/visual.h"
#include "ui/w_menu.h"

namespace velmora {

constexpr float cUnpackStep = 0.004f;
constexpr float cGlaresProgress = 0.45f;
constexpr float cBodiesProgress = 0.5f;
constexpr float cSliceStep = 0.0013f;

class TW_ResCreator : public TW_Menu {
  public:
    TW_ResCreator();
    const char* ClassName() const override { return "TW_ResCreator"; }

    // Each task returns true when it did work this frame.
    bool UnpackNextPicture();
    bool MakeGlareSheets();
    bool MakeArtefactBodies();
    bool MakeNextSlice();
    void ShowProgress(float v);

    TTexRect256* Background = nullptr;
    TTexRect* ProgressBar = nullptr;
    float Progress = 0;

  private:
    void OnWorking(TStateEvent e);
    void OnDone(TStateEvent e);
    // Each fault is logged once per run; the work it blocks is not tried again.
    void ReportOnce(const std::string& text);

    struct TColourList {
        bool Tried = false, Read = false;
        uint32_t Colours[cMaxSlices + 1] = {};
        int32_t Count = 0;
    };
    const TColourList& ColourListOf(int32_t country);

    std::set<std::string> Reported;
    std::vector<std::string> UnpackList; // names inside the textures folder, in the list's order
    bool UnpackListRead = false;
    size_t NextUnpack = 0;
    std::map<int32_t, TColourList> ColourLists;
    std::set<std::string> FailedPictures;
    std::set<std::string> FailedSlices; // slice folders that could not be made
    bool GlaresFailed = false;
};

TBasic* CreateResCreator();

// The names of "tga2jpgANDmask.txt" that may be unpacked (at most a fixed number of lines are read);
// each bad line is told to report.
std::vector<std::string> ReadUnpackList(const std::string& list,
                                        const std::function<void(const std::string&)>& report);

} // namespace velmora
