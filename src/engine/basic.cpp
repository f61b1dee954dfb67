#include "engine/basic.h"

#include <cmath>

#include "app/log.h"

namespace velmora {

float Delta = 1.0f;
float DeltaSq = 1.0f;
float GameTime = 0.0f;
int32_t FrameCount = 0;
TBasic* FocusObject = nullptr;

TBasic::~TBasic() {
    if (FocusObject == this) FocusObject = nullptr;
}

bool TBasic::KeyDown(uint16_t) {
    return false;
}
void TBasic::MouseProc() {}
HRESULT_t TBasic::RestoreDeviceObjects() {
    return 0;
}
void TBasic::InvalidateDeviceObjects() {}
void TBasic::Step() {}
void TBasic::Draw() {}
void TBasic::Render() {}
bool TBasic::MouseOver() {
    return false;
}
void TBasic::UpdateHover() {}
bool TBasic::HasFocus() {
    return FocusObject == this;
}
void TBasic::UpdateCursor() {}

void TPrior::SetLeft(float value) {
    X = value + HalfWidth;
}
void TPrior::SetTop(float value) {
    Y = value - HalfHeight;
}

namespace {

TMatrix Identity() {
    TMatrix m{};
    for (int i = 0; i < 4; ++i)
        m.m[i][i] = 1.0f;
    return m;
}

TMatrix Multiply(const TMatrix& a, const TMatrix& b) {
    TMatrix r{};
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            float s = 0;
            for (int k = 0; k < 4; ++k)
                s += a.m[i][k] * b.m[k][j];
            r.m[i][j] = s;
        }
    return r;
}

} // namespace

void TPrior::GetWorldMatrix(TMatrix& out) const {
    TMatrix t = Identity();
    t.m[3][0] = X;
    t.m[3][1] = Y;
    TMatrix m = t;
    if (Rotated) {
        TMatrix r = Identity();
        const float c = std::cos(Angle), s = std::sin(Angle);
        r.m[0][0] = c;
        r.m[0][1] = s;
        r.m[1][0] = -s;
        r.m[1][1] = c;
        m = Multiply(r, m);
    }
    if (Scaled) {
        TMatrix sc = Identity();
        sc.m[0][0] = ScaleX;
        sc.m[1][1] = ScaleY;
        m = Multiply(sc, m);
    }
    out = m;
}

TMaster::~TMaster() {
    // Device objects go first so that derived classes never leak textures through the destructor path.
    TMaster::InvalidateDeviceObjects();
    FreeChildren();
}

void TMaster::Step() {
    StepMe();
    if (!Dead) StepChildren();
}

void TMaster::Render() {
    if (!Visible) return;
    for (TBasic* c = First; c; c = c->Next)
        c->Render();
}

void TMaster::UpdateHover() {
    UpdateHoverMe();
    for (TBasic* c = First; c; c = c->Next)
        c->UpdateHover();
}

bool TMaster::HasFocus() {
    if (FocusObject == this) return true;
    for (TBasic* c = First; c; c = c->Next)
        if (c->HasFocus()) return true;
    return false;
}

void TMaster::StepMe() {}

void TMaster::StepChildren() {
    TBasic* c = First;
    while (c) {
        c->Step();
        c->Ticks += 1;
        c->LifeTime += Delta;
        TBasic* next = c->Next;
        if (c->Dead) Remove(c, false);
        c = next;
    }
}

bool TMaster::GetNext(TBasic*& obj) {
    if (!obj) return false;
    if (auto* m = dynamic_cast<TMaster*>(obj); m && m->First) {
        obj = m->First;
        return true;
    }
    // The root's own siblings lie outside the walk.
    if (obj == this) return false;
    if (obj->Next) {
        obj = obj->Next;
        return true;
    }
    TMaster* p = obj->Parent;
    if (!p || p == this) return false;
    while (!p->Next) {
        p = p->Parent;
        if (!p || p == this) return false;
    }
    obj = p->Next;
    return true;
}

void TMaster::UpdateHoverMe() {}

void TMaster::AddObject(TBasic* obj) {
    obj->Prev = Last;
    obj->Next = nullptr;
    if (Last)
        Last->Next = obj;
    else
        First = obj;
    Last = obj;
    obj->Parent = this;
    ++Count;
}

void TMaster::Remove(TBasic* obj, bool keepAlive) {
    if (!obj || obj->Parent != this) return;
    if (obj->Prev)
        obj->Prev->Next = obj->Next;
    else
        First = obj->Next;
    if (obj->Next)
        obj->Next->Prev = obj->Prev;
    else
        Last = obj->Prev;
    --Count;
    obj->Next = nullptr;
    obj->Prev = nullptr;
    obj->Parent = nullptr;
    if (!keepAlive) delete obj;
}

bool TMaster::Contains(const TBasic* obj) const {
    if (!obj) return false;
    for (const TBasic* c = First; c; c = c->Next)
        if (c == obj) return true;
    return false;
}

void TMaster::BringToFront(TBasic* obj) {
    if (!obj) return;
    if (Contains(obj)) Remove(obj, true);
    AddObject(obj);
}

void TMaster::FreeChildren() {
    TBasic* c = First;
    while (c) {
        TBasic* next = c->Next;
        delete c;
        c = next;
    }
    First = Last = nullptr;
    Count = 0;
}

void TStater::SetStateInfo(int32_t state, TEventProc proc, float period) {
    if (state < 0 || state > 255) {
        Report("TStater.SetStateInfo: State out of range");
        return;
    }
    StatesInfo[state].EventProc = std::move(proc);
    StatesInfo[state].StatePeriod = period;
}

void TStater::CallEvent(TStateEvent e) {
    if (EventProc) EventProc(e);
}

namespace {
constexpr float cStateTimeCrumb = 1e-5f;
} // namespace

void TStater::StateStep() {
    StateTime -= StateSpeed * Delta;
    // Float steps of 1/period leave crumbs: a state of 30 units must end after 15 steps of 2.
    if (StateTime > cStateTimeCrumb) {
        CallEvent(seRunning);
    } else {
        StateTime = 0;
        CallEvent(seFinish);
    }
}

void TStater::Step() {
    if (State != 0) {
        StateStep();
        if (!StepInStates) return;
    }
    TMaster::Step();
}

void TStater::SetState(int32_t newState) {
    if (!SetStateEnabled) return;
    if (newState < 0 || newState > 255) {
        Report("TStater.SetState: State out of range");
        return;
    }
    if (State != 0 && StateTime > 0) {
        SetStateEnabled = false;
        CallEvent(seFinish);
        SetStateEnabled = true;
    }
    State = newState;
    StateTime = 1.0f;
    const TStateInfo& info = StatesInfo[newState];
    if (info.StatePeriod == 0) Report("TStater.SetState: StatesInfo[State].StatePeriod=0");
    if (!info.EventProc) Report("TStater.SetState: StatesInfo[State].EventProc=nil");
    // A broken table entry must not divide by zero: such a state finishes on its next step.
    StateSpeed = info.StatePeriod != 0 ? 1.0f / info.StatePeriod : 1.0f;
    EventProc = info.EventProc;
    if (newState != 0) CallEvent(seStart);
}

} // namespace velmora
