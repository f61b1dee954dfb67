#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "engine/basic.h"

using namespace velmora;

namespace {

struct TMachine : TStater {
    TMachine() {
        SetStateInfo(0, &TMachine::OnIdle, 1);
        SetStateInfo(1, &TMachine::OnFirst, 30);
        SetStateInfo(2, &TMachine::OnSecond, 10);
    }
    void OnIdle(TStateEvent) {}
    void OnFirst(TStateEvent e) {
        Events.push_back({1, e, StateTime});
        if (e == seFinish && JumpOnForcedFinish) SetState(0);
    }
    void OnSecond(TStateEvent e) { Events.push_back({2, e, StateTime}); }
    void StepMe() override { ++OwnSteps; }
    struct TRec {
        int State;
        TStateEvent Event;
        float Time;
    };
    std::vector<TRec> Events;
    bool JumpOnForcedFinish = false;
    int OwnSteps = 0;
};

class StateMachine : public ::testing::Test {
  protected:
    void SetUp() override { Delta = 1.0f; }
};

TEST_F(StateMachine, PeriodThirtyFinishesAfterThirtyDeltaUnitsThenRepeatsFinish) {
    TMachine m;
    m.SetState(1);
    ASSERT_EQ(m.Events.size(), 1u);
    EXPECT_EQ(m.Events[0].Event, seStart);
    for (int frame = 1; frame <= 29; ++frame)
        m.Step();
    EXPECT_EQ(m.Events.back().Event, seRunning);
    EXPECT_NEAR(m.Events.back().Time, 1.0f / 30, 1e-4f);
    m.Step(); // the 30th frame
    EXPECT_EQ(m.Events.back().Event, seFinish);
    EXPECT_EQ(m.StateTime, 0.0f);
    m.Step();
    m.Step();
    EXPECT_EQ(m.Events.back().Event, seFinish);
    EXPECT_EQ(m.Events.size(), 1u + 29 + 3);
    EXPECT_EQ(m.State, 1);
}

TEST_F(StateMachine, TimeIsMeasuredInDeltaUnits) {
    TMachine m;
    m.SetState(1);
    Delta = 2.0f; // 30 frames per second
    for (int frame = 1; frame <= 14; ++frame)
        m.Step();
    EXPECT_EQ(m.Events.back().Event, seRunning);
    m.Step();
    EXPECT_EQ(m.Events.back().Event, seFinish);
}

TEST_F(StateMachine, NewStateCutsTheRunningOneShortAndIgnoresSetStateFromItsFinish) {
    TMachine m;
    m.SetState(1);
    m.Step();
    m.JumpOnForcedFinish = true;
    m.SetState(2);
    ASSERT_GE(m.Events.size(), 4u);
    EXPECT_EQ(m.Events[2].State, 1);
    EXPECT_EQ(m.Events[2].Event, seFinish);
    EXPECT_EQ(m.Events[3].State, 2);
    EXPECT_EQ(m.Events[3].Event, seStart);
    EXPECT_EQ(m.State, 2); // the SetState(0) of the forced finish was ignored
    EXPECT_TRUE(m.SetStateEnabled);
    EXPECT_FLOAT_EQ(m.StateTime, 1.0f);
}

TEST_F(StateMachine, FinishedStateIsNotFinishedAgainBySetState) {
    TMachine m;
    m.SetState(2);
    for (int i = 0; i < 10; ++i)
        m.Step();
    const size_t before = m.Events.size();
    m.SetState(1);
    EXPECT_EQ(m.Events.size(), before + 1); // only the start of state 1
    EXPECT_EQ(m.Events.back().State, 1);
}

TEST_F(StateMachine, StepInStatesFalseFreezesOwnStepAndChildren) {
    TMachine m;
    auto* child = m.Add(new TMachine());
    m.StepInStates = false;
    m.SetState(1);
    m.Step();
    m.Step();
    EXPECT_EQ(m.OwnSteps, 0);
    EXPECT_EQ(child->Ticks, 0);
    m.SetState(0);
    m.Step();
    EXPECT_EQ(m.OwnSteps, 1);
    EXPECT_EQ(child->Ticks, 1);
}

TEST_F(StateMachine, StepInStatesTrueRunsStateAndOwnStep) {
    TMachine m;
    m.SetState(1);
    m.Step();
    EXPECT_EQ(m.OwnSteps, 1);
    EXPECT_EQ(m.Events.back().Event, seRunning);
}

TEST_F(StateMachine, BrokenTableEntryNeitherDividesByZeroNorCallsNothing) {
    TMachine m;
    m.SetState(7); // no period, no procedure
    EXPECT_EQ(m.State, 7);
    m.Step();
    m.Step();
    EXPECT_TRUE(std::isfinite(m.StateTime));
    EXPECT_EQ(m.StateTime, 0.0f);
}

TEST_F(StateMachine, OutOfRangeStateIsRefused) {
    TMachine m;
    m.SetState(1);
    m.SetState(256);
    EXPECT_EQ(m.State, 1);
    m.SetState(-1);
    EXPECT_EQ(m.State, 1);
}

} // namespace
