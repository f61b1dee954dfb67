#include "app/framelimiter.h"

#include <algorithm>

namespace velmora {

namespace {

// A swap that returns this close to the frame boundary counts as on time: waiting so little is
// not worth a sleep, and the boundaries keep their grid, so the rate never exceeds the limit.
constexpr int64_t cSlackDivisor = 64; // of the period (0.26 ms at 60 Hz)
constexpr int32_t cUnknownRefreshRate = 60;
constexpr int32_t cLowestLimit = 10;       // frames per second a FrameLimit may ask for
constexpr int64_t cSpinMicroseconds = 250; // the clock is watched, not slept on, this close to the end

} // namespace

void TFrameLimiter::Start(int64_t period, int64_t now) {
    FramePeriod = std::max<int64_t>(0, period);
    NextBoundary = now + FramePeriod;
}

int64_t TFrameLimiter::WaitAfterSwap(int64_t now) {
    if (FramePeriod == 0) return 0;
    const int64_t slack = FramePeriod / cSlackDivisor;
    if (now > NextBoundary + slack) { // late, or the swap waited for the display itself
        NextBoundary = now + FramePeriod;
        return 0;
    }
    const int64_t wait = now < NextBoundary - slack ? NextBoundary - now : 0;
    NextBoundary += FramePeriod;
    return wait;
}

int64_t FramePeriodTicks(int32_t limit, int32_t refreshRate, int64_t frequency, bool paced) {
    if (!paced || limit == 0 || frequency <= 0) return 0;
    const int32_t rate =
        limit > 0 ? std::max(limit, cLowestLimit) : (refreshRate > 0 ? refreshRate : cUnknownRefreshRate);
    return frequency / rate;
}

int64_t SleepableTicks(int64_t remaining, int64_t frequency) {
    const int64_t spin = frequency * cSpinMicroseconds / 1000000;
    return std::max<int64_t>(0, remaining - spin);
}

} // namespace velmora
