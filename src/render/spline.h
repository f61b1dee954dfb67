// Smooth paths through a few control points (Catmull-Rom), sampled once into a dense table so that
// an animation only advances a progress value from 0 to 1.
#pragma once

#include <cstdint>
#include <vector>

namespace velmora {

struct TSplinePoint {
    float x = 0, y = 0;
};

// Plain value owned by the animation that uses it. The owner sets PointCount and Steps, fills
// Points[1..PointCount] (SetPointCount sizes the table), then calls Build once.
struct TSplinePath {
    static constexpr int32_t cMaxPoints = 12800;
    static constexpr int32_t cMaxSamples = 409600;

    int32_t PointCount = 0;           // control points N, at least 2 for a curve
    int32_t Steps = 1;                // samples per segment, at least 1
    std::vector<TSplinePoint> Points; // control points in 1..N; 0 and N+1 are filled by Build
    int32_t SampleCount = 0;          // (N - 1) * Steps after Build
    std::vector<TSplinePoint> Samples;

    // Sets PointCount (limited to cMaxPoints) and makes room for Points[0..N+1].
    void SetPointCount(int32_t n);
    void SetPoint(int32_t index, float x, float y); // index 1..PointCount; others are ignored
    void Build();
    void GetPosition(float f, float& x, float& y) const; // f in [0, 1]; outside is clamped
};

} // namespace velmora
