// Pictures of every screen a run passes through, for tests: a fixed number of frames after the
// window holding the focus changes, the back buffer is written as "NN_<window class>.png", so the
// folder's listing is the path the player took.
#pragma once

#include <cstdint>
#include <string>

namespace velmora {

class TBasic;

// Frames between a window taking the focus and its picture: a passage effect (30 frames) is over.
constexpr int32_t cScreenPictureDelay = 30;

// Decides, frame by frame, when a screen's picture is due and what it is called.
class TScreenLog {
  public:
    // Called once a frame is stepped with the window holding the focus (nil: none, as during a
    // level's intro, which keeps the last window). Returns the name of the picture to take of this
    // frame, or "".
    std::string Look(const TBasic* window);

    int32_t Count = 0; // screens seen
    int32_t Lost = 0;  // screens that gave the focus away before their picture was due

  private:
    const TBasic* Last = nullptr;
    float LastAge = 0;
    std::string LastClass;
    std::string Due;
    int32_t Wait = 0;
};

// The running game: pictures go into `folder` (created when missing); with `quitAfter` above 0 the
// run ends once that many pictures are written. The stepped hook answers whether a picture of the
// frame is due, the drawn hook writes it.
void StartScreenPictures(const std::string& folder, int32_t quitAfter = 0);
bool ScreenPicturesStepped(int32_t frame);
void ScreenPicturesDrawn(int32_t frame);

} // namespace velmora
