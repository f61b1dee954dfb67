#include "render/spline.h"

#include "render_fixture.h"

#include <cmath>

namespace velmora {
namespace {

using SplineTest = testing::TRenderBTest;

TSplinePath LinePath(float ax, float ay, float bx, float by, int32_t steps) {
    TSplinePath path;
    path.SetPointCount(2);
    path.Steps = steps;
    path.SetPoint(1, ax, ay);
    path.SetPoint(2, bx, by);
    path.Build();
    return path;
}

TEST_F(SplineTest, TwoPointsGiveAStraightEasedSegment) {
    TSplinePath path = LinePath(0, 0, 10, 20, 4);
    ASSERT_EQ(path.SampleCount, 4);
    const float expected[4] = {0.203125f, 0.5f, 0.796875f, 1.0f};
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(path.Samples[i].x, 10 * expected[i], 1e-5f) << i;
        EXPECT_NEAR(path.Samples[i].y, 20 * expected[i], 1e-5f) << i;
    }
}

TEST_F(SplineTest, EndpointsAndProgressLimits) {
    TSplinePath path = LinePath(-1, 2, 3, 6, 4);
    float x = 0, y = 0;
    path.GetPosition(1, x, y);
    EXPECT_FLOAT_EQ(x, 3);
    EXPECT_FLOAT_EQ(y, 6);
    // Anything at or beyond (SampleCount - 1) / SampleCount is the last point.
    path.GetPosition(0.76f, x, y);
    EXPECT_FLOAT_EQ(x, 3);
    path.GetPosition(0, x, y);
    EXPECT_FLOAT_EQ(x, path.Samples[0].x) << "progress 0 is the first sample, not the first point";
    EXPECT_GT(x, -1);
    // Halfway between samples 1 and 2.
    path.GetPosition(0.375f, x, y);
    EXPECT_NEAR(x, (path.Samples[1].x + path.Samples[2].x) / 2, 1e-5f);
    // Out of range progress is held at the ends instead of reading outside the table.
    path.GetPosition(-3, x, y);
    EXPECT_FLOAT_EQ(x, path.Samples[0].x);
    path.GetPosition(7, x, y);
    EXPECT_FLOAT_EQ(x, 3);
    path.GetPosition(std::nanf(""), x, y);
    EXPECT_FLOAT_EQ(x, path.Samples[0].x);
}

TEST_F(SplineTest, CurvePassesThroughEveryControlPoint) {
    TSplinePath path;
    path.SetPointCount(4);
    path.Steps = 8;
    const float pts[4][2] = {{0, 0}, {1, 2}, {3, -1}, {4, 0}};
    for (int i = 0; i < 4; ++i)
        path.SetPoint(i + 1, pts[i][0], pts[i][1]);
    path.Build();
    ASSERT_EQ(path.SampleCount, 24);
    for (int seg = 0; seg < 3; ++seg) {
        EXPECT_NEAR(path.Samples[seg * 8 + 7].x, pts[seg + 1][0], 1e-5f);
        EXPECT_NEAR(path.Samples[seg * 8 + 7].y, pts[seg + 1][1], 1e-5f);
    }
}

TEST_F(SplineTest, TablesStayWithinTheirLimits) {
    TSplinePath path;
    path.SetPointCount(20000);
    EXPECT_EQ(path.PointCount, TSplinePath::cMaxPoints);

    path.SetPointCount(3);
    path.Steps = 1000000;
    path.Build();
    EXPECT_LE(path.SampleCount, TSplinePath::cMaxSamples);
    EXPECT_EQ(path.SampleCount, 2 * path.Steps);
    EXPECT_EQ(LogCount("TSplinePath.Build: too many samples"), 1);

    path.PointCount = 50000; // written directly past the limit
    path.Steps = 1;
    path.Build();
    EXPECT_EQ(path.PointCount, TSplinePath::cMaxPoints);
    EXPECT_EQ(path.SampleCount, TSplinePath::cMaxPoints - 1);
}

TEST_F(SplineTest, DegeneratePathsAnswerSafely) {
    TSplinePath empty;
    empty.Build();
    float x = 5, y = 5;
    empty.GetPosition(0.5f, x, y);
    EXPECT_EQ(empty.SampleCount, 0);
    EXPECT_FLOAT_EQ(x, 0);

    TSplinePath one;
    one.SetPointCount(1);
    one.SetPoint(1, 7, 8);
    one.Build();
    one.GetPosition(0.3f, x, y);
    EXPECT_FLOAT_EQ(x, 7);
    EXPECT_FLOAT_EQ(y, 8);

    TSplinePath zeroSteps = LinePath(0, 0, 1, 0, 0);
    EXPECT_EQ(zeroSteps.SampleCount, 1);
    zeroSteps.GetPosition(0, x, y);
    EXPECT_FLOAT_EQ(x, 1);
}

} // namespace
} // namespace velmora
