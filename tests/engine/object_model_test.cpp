#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/basic.h"

using namespace velmora;

namespace {

// Records what happened to it in a shared journal and can be told to die in its own step.
struct TProbe : TMaster {
    explicit TProbe(std::vector<std::string>* journal, std::string name, bool dieInStep = false)
        : Journal(journal), Name(std::move(name)), DieInStep(dieInStep) {}
    ~TProbe() override { Journal->push_back("free " + Name); }
    void StepMe() override {
        Journal->push_back("step " + Name);
        if (DieInStep) Dead = true;
    }
    std::vector<std::string>* Journal;
    std::string Name;
    bool DieInStep;
};

struct TLeaf : TBasic {
    explicit TLeaf(int id) : Id(id) {}
    int Id;
};

class ObjectModel : public ::testing::Test {
  protected:
    void SetUp() override {
        Delta = 1.0f;
        FocusObject = nullptr;
    }
    std::vector<std::string> Journal;
};

TEST_F(ObjectModel, ChildDeadInItsStepIsFreedInTheSameFrameAfterAgeing) {
    TMaster root;
    auto* a = root.Add(new TProbe(&Journal, "a", true));
    auto* b = root.Add(new TProbe(&Journal, "b"));
    (void)a;
    Delta = 2.0f;
    root.Step();
    EXPECT_EQ(Journal, (std::vector<std::string>{"step a", "free a", "step b"}));
    EXPECT_EQ(root.Count, 1);
    EXPECT_EQ(root.First, b);
    EXPECT_EQ(root.Last, b);
    EXPECT_EQ(b->Prev, nullptr);
    EXPECT_EQ(b->Ticks, 1);
    EXPECT_FLOAT_EQ(b->LifeTime, 2.0f);
}

TEST_F(ObjectModel, SiblingMarkedDeadEarlierInListIsFreedNextFrame) {
    TMaster root;
    auto* a = root.Add(new TProbe(&Journal, "a"));
    struct TKiller : TBasic {
        TBasic* Victim = nullptr;
        // Kills once: the victim is freed in the next frame's walk, before this step comes round again.
        void Step() override {
            if (Victim) Victim->Dead = true;
            Victim = nullptr;
        }
    };
    auto* k = root.Add(new TKiller());
    k->Victim = a;
    root.Step();
    EXPECT_EQ(root.Count, 2); // a's turn has passed this frame
    EXPECT_TRUE(root.Contains(a));
    root.Step();
    EXPECT_EQ(root.Count, 1);
    EXPECT_EQ(root.First, k);
    EXPECT_FALSE(root.Contains(a)) << "a holder may ask about an object the walk has freed";
}

TEST_F(ObjectModel, MasterDeadInStepMeSkipsItsChildrenAndIsFreedWithThem) {
    TMaster root;
    auto* parent = root.Add(new TProbe(&Journal, "parent", true));
    parent->Add(new TProbe(&Journal, "child"));
    root.Step();
    EXPECT_EQ(Journal, (std::vector<std::string>{"step parent", "free parent", "free child"}));
    EXPECT_EQ(root.Count, 0);
}

TEST_F(ObjectModel, RemovingTheOnlyChildEmptiesTheList) {
    TMaster root;
    TLeaf* leaf = root.Add(new TLeaf(1));
    root.Remove(leaf, true);
    EXPECT_EQ(root.First, nullptr);
    EXPECT_EQ(root.Last, nullptr);
    EXPECT_EQ(root.Count, 0);
    EXPECT_EQ(leaf->Parent, nullptr);
    EXPECT_EQ(leaf->Next, nullptr);
    EXPECT_EQ(leaf->Prev, nullptr);
    delete leaf;
}

TEST_F(ObjectModel, RemoveFirstAndLastMovesTheEnds) {
    TMaster root;
    auto* a = root.Add(new TLeaf(1));
    auto* b = root.Add(new TLeaf(2));
    auto* c = root.Add(new TLeaf(3));
    root.Remove(a, false);
    EXPECT_EQ(root.First, b);
    root.Remove(c, false);
    EXPECT_EQ(root.Last, b);
    EXPECT_EQ(b->Next, nullptr);
    EXPECT_EQ(b->Prev, nullptr);
    EXPECT_EQ(root.Count, 1);
}

TEST_F(ObjectModel, BringToFrontMovesAChildOrAddsAStranger) {
    TMaster root;
    auto* a = root.Add(new TLeaf(1));
    auto* b = root.Add(new TLeaf(2));
    root.BringToFront(a);
    EXPECT_EQ(root.First, b);
    EXPECT_EQ(root.Last, a);
    EXPECT_EQ(root.Count, 2);
    auto* stranger = new TLeaf(3);
    root.BringToFront(stranger);
    EXPECT_EQ(root.Last, stranger);
    EXPECT_EQ(stranger->Parent, &root);
    EXPECT_EQ(root.Count, 3);
}

TEST_F(ObjectModel, GetNextOnEmptyMasterEndsAtOnceEvenWithSiblings) {
    TMaster outer;
    auto* empty = outer.Add(new TMaster());
    outer.Add(new TLeaf(9));
    TBasic* obj = empty;
    EXPECT_FALSE(empty->GetNext(obj));
}

TEST_F(ObjectModel, GetNextVisitsEveryDescendantOnceDepthFirst) {
    // root: [a: [a1, a2: [a21]], b, c: [c1]] ; a sibling of root must not be visited.
    TMaster top;
    auto* root = top.Add(new TMaster());
    top.Add(new TLeaf(99));
    auto* a = root->Add(new TMaster());
    auto* a1 = a->Add(new TLeaf(11));
    auto* a2 = a->Add(new TMaster());
    auto* a21 = a2->Add(new TLeaf(211));
    auto* b = root->Add(new TLeaf(2));
    auto* c = root->Add(new TMaster());
    auto* c1 = c->Add(new TLeaf(31));
    std::vector<TBasic*> seen;
    TBasic* obj = root;
    while (root->GetNext(obj))
        seen.push_back(obj);
    EXPECT_EQ(seen, (std::vector<TBasic*>{a, a1, a2, a21, b, c, c1}));
}

TEST_F(ObjectModel, DestroyingTheFocusObjectClearsFocus) {
    TMaster root;
    auto* leaf = root.Add(new TLeaf(1));
    FocusObject = leaf;
    EXPECT_TRUE(root.HasFocus());
    root.Remove(leaf, false);
    EXPECT_EQ(FocusObject, nullptr);
    EXPECT_FALSE(root.HasFocus());
}

TEST_F(ObjectModel, WorldMatrixAppliesScaleThenRotationThenTranslation) {
    TPrior p;
    p.X = 3;
    p.Y = 4;
    p.Scaled = true;
    p.ScaleX = 2;
    p.ScaleY = 1;
    p.Rotated = true;
    p.Angle = 3.14159265f / 2;
    TMatrix m;
    p.GetWorldMatrix(m);
    // The point (1, 0) scaled to (2, 0), turned to (0, 2), moved to (3, 6).
    const float x = 1 * m.m[0][0] + 0 * m.m[1][0] + m.m[3][0];
    const float y = 1 * m.m[0][1] + 0 * m.m[1][1] + m.m[3][1];
    EXPECT_NEAR(x, 3.0f, 1e-5f);
    EXPECT_NEAR(y, 6.0f, 1e-5f);
}

TEST_F(ObjectModel, EdgesFollowTheCentre) {
    TPrior p;
    p.SetWidth(4);
    p.SetHeight(2);
    p.SetLeft(10);
    p.SetTop(5);
    EXPECT_FLOAT_EQ(p.X, 12);
    EXPECT_FLOAT_EQ(p.Y, 4);
    EXPECT_FLOAT_EQ(p.GetLeft(), 10);
    EXPECT_FLOAT_EQ(p.GetTop(), 5);
}

} // namespace
