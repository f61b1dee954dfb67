// Frame pacing: at most one presented frame per display refresh. The rule is a pure function of
// the clock readings it is given, so tests drive it with a fake clock; the loop does the waiting.
#pragma once

#include <cstdint>

namespace velmora {

class TFrameLimiter {
  public:
    // period in clock ticks (0: no limit); the first frame may be presented one period after now.
    void Start(int64_t period, int64_t now);
    // Called right after a swap returned at `now`: the ticks to wait before the next frame begins.
    // A swap that returned early waits out the rest of its frame; a swap that blocked until the
    // frame's end (the driver paced it) or a late frame adds nothing and starts the frames anew
    // from `now`, so a slow frame is never followed by a burst.
    int64_t WaitAfterSwap(int64_t now);
    int64_t Period() const { return FramePeriod; }

  private:
    int64_t FramePeriod = 0;
    int64_t NextBoundary = 0; // the earliest moment the next frame may be presented
};

// The frame period in ticks: `limit` frames per second when positive, else the display's refresh
// rate (60 Hz when it is unknown); 0 (no limit) when `limit` is 0 or the run is not paced.
int64_t FramePeriodTicks(int32_t limit, int32_t refreshRate, int64_t frequency, bool paced);

// Ticks worth sleeping when `remaining` ticks are left: all but the last fraction of a millisecond,
// which the caller spends watching the clock (sleeps overshoot by about that much).
int64_t SleepableTicks(int64_t remaining, int64_t frequency);

} // namespace velmora
