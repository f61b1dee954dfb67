#include "render/spline.h"

#include "app/log.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace velmora {

void TSplinePath::SetPointCount(int32_t n) {
    PointCount = std::clamp(n, 0, cMaxPoints);
    Points.resize(static_cast<size_t>(PointCount) + 2);
}

void TSplinePath::SetPoint(int32_t index, float x, float y) {
    if (index < 1 || index > PointCount || static_cast<size_t>(index) >= Points.size()) return;
    Points[index] = {x, y};
}

namespace {

float CatmullRom(float p0, float p1, float p2, float p3, float t) {
    const float a = -p0 + 3 * p1 - 3 * p2 + p3;
    const float b = 2 * p0 - 5 * p1 + 4 * p2 - p3;
    const float c = -p0 + p2;
    const float d = 2 * p1;
    return (((a * t + b) * t + c) * t + d) / 2;
}

} // namespace

// Bad counts are brought inside the limits (and logged) rather than trusted: the tables are
// sized from them.
void TSplinePath::Build() {
    Samples.clear();
    SampleCount = 0;
    if (PointCount > cMaxPoints) {
        Log("TSplinePath.Build: too many points; PointCount=" + std::to_string(PointCount));
        PointCount = cMaxPoints;
    }
    if (PointCount < 1) return;
    Points.resize(std::max(Points.size(), static_cast<size_t>(PointCount) + 2));
    if (PointCount == 1) {
        // A path of one point stays there.
        Samples.push_back(Points[1]);
        SampleCount = 1;
        return;
    }
    const int32_t segments = PointCount - 1;
    if (Steps < 1) Steps = 1;
    if (static_cast<int64_t>(segments) * Steps > cMaxSamples) {
        Log("TSplinePath.Build: too many samples; PointCount=" + std::to_string(PointCount) +
            "; Steps=" + std::to_string(Steps));
        Steps = std::max(1, cMaxSamples / segments);
        if (static_cast<int64_t>(segments) * Steps > cMaxSamples) return;
    }
    Points[0] = Points[1];
    Points[PointCount + 1] = Points[PointCount];
    Samples.reserve(static_cast<size_t>(segments) * Steps);
    for (int32_t i = 1; i <= segments; ++i) {
        const TSplinePoint& p0 = Points[i - 1];
        const TSplinePoint& p1 = Points[i];
        const TSplinePoint& p2 = Points[i + 1];
        const TSplinePoint& p3 = Points[i + 2];
        for (int32_t j = 1; j <= Steps; ++j) {
            const float t = static_cast<float>(j) / Steps;
            Samples.push_back({CatmullRom(p0.x, p1.x, p2.x, p3.x, t), CatmullRom(p0.y, p1.y, p2.y, p3.y, t)});
        }
    }
    SampleCount = static_cast<int32_t>(Samples.size());
}

void TSplinePath::GetPosition(float f, float& x, float& y) const {
    if (SampleCount <= 0 || Samples.empty()) {
        x = y = 0;
        return;
    }
    if (!(f >= 0)) f = 0; // also NaN
    if (f > 1) f = 1;
    const float pos = SampleCount * f;
    const int32_t k = static_cast<int32_t>(pos);
    if (k >= SampleCount - 1) {
        x = Samples[SampleCount - 1].x;
        y = Samples[SampleCount - 1].y;
        return;
    }
    const float frac = pos - k;
    x = Samples[k].x + (Samples[k + 1].x - Samples[k].x) * frac;
    y = Samples[k].y + (Samples[k + 1].y - Samples[k].y) * frac;
}

} // namespace velmora
