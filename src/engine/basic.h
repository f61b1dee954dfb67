// The engine's object tree: everything that is stepped, drawn or owned derives from TBasic.
// Masters own their children through intrusive lists; staters run timed state tables.
#pragma once

#include <cstdint>
#include <functional>

namespace velmora {

class TMaster;

// Frame step in sixtieths of a second, smoothed by the application frame; DeltaSq = Delta * Delta.
extern float Delta;
extern float DeltaSq;
extern float GameTime;     // sum of Delta since start
extern int32_t FrameCount; // frames stepped since start

using HRESULT_t = int32_t;

class TBasic {
public:
    TBasic() = default;
    virtual ~TBasic();
    TBasic(const TBasic&) = delete;
    TBasic& operator=(const TBasic&) = delete;

    // Virtual operations in their fixed slot order.
    virtual bool KeyDown(uint16_t key);            // 0: true when handled
    virtual void MouseProc();                      // 1
    virtual HRESULT_t RestoreDeviceObjects();      // 2: 0 on success
    virtual void InvalidateDeviceObjects();        // 3
    virtual void Step();                           // 4
    virtual void Draw();                           // 5
    virtual void Render();                         // 6
    virtual bool MouseOver();                      // 7
    virtual void UpdateHover();                    // 8
    virtual bool HasFocus();                       // 9
    virtual void UpdateCursor();                   // 10

    // Name for log lines ("TGroup.RestoreDeviceObjects: TFoo.RestoreDeviceObjects failed").
    virtual const char* ClassName() const { return "TBasic"; }

    TMaster* Parent = nullptr;
    TBasic* Next = nullptr;
    TBasic* Prev = nullptr;
    int32_t Ticks = 0;
    float LifeTime = 0.0f;
    bool Dead = false;
};

// The object that receives keys and owns mouse focus; cleared when it is destroyed.
extern TBasic* FocusObject;

struct TMatrix {
    float m[4][4];
};

class TPrior : public TBasic {
public:
    virtual void SetLeft(float value);               // 11: X := value + HalfWidth
    virtual void SetTop(float value);                // 12: Y := value - HalfHeight
    virtual void GetWorldMatrix(TMatrix& m) const;   // 13: S * R * T, row vectors
    const char* ClassName() const override { return "TPrior"; }

    void SetWidth(float w) { Width = w; HalfWidth = w / 2.0f; }
    void SetHeight(float h) { Height = h; HalfHeight = h / 2.0f; }
    float GetLeft() const { return X - HalfWidth; }
    float GetTop() const { return Y + HalfHeight; }

    float Width = 0, HalfWidth = 0, Height = 0, HalfHeight = 0;
    float Angle = 0, ScaleX = 0, ScaleY = 0;
    bool UseWorldMatrix = false;
    bool Rotated = false;
    bool Scaled = false;
    float X = 0, Y = 0;
};

class TMaster : public TBasic {
public:
    ~TMaster() override;

    void Step() override;        // StepMe, then StepChildren unless dead
    void Render() override;      // children first to last while Visible
    void UpdateHover() override; // UpdateHoverMe, then every child
    bool HasFocus() override;    // itself or any child
    const char* ClassName() const override { return "TMaster"; }

    virtual void StepMe();                 // 11
    virtual void StepChildren();           // 12
    virtual bool GetNext(TBasic*& obj);    // 13: depth-first walk of the subtree
    virtual void UpdateHoverMe();          // 14

    template <class T> T* Add(T* obj) {
        AddObject(obj);
        return obj;
    }
    void Remove(TBasic* obj, bool keepAlive);
    // Only compares addresses, so it may be asked about an object that has been freed meanwhile.
    bool Contains(const TBasic* obj) const;
    void BringToFront(TBasic* obj);
    void FreeChildren();

    int32_t Count = 0;
    bool Visible = true;
    TBasic* First = nullptr;
    TBasic* Last = nullptr;

private:
    void AddObject(TBasic* obj);
};

enum TStateEvent : uint8_t { seStart = 0, seRunning = 1, seFinish = 2 };

using TEventProc = std::function<void(TStateEvent)>;

struct TStateInfo {
    float StatePeriod = 0;
    TEventProc EventProc;
};

// A state that never finishes by itself.
constexpr float cInfinitePeriod = 2147483648.0f;

class TStater : public TMaster {
public:
    void Step() override;
    virtual void SetState(int32_t newState); // 15
    const char* ClassName() const override { return "TStater"; }

    void SetStateInfo(int32_t state, TEventProc proc, float period);
    // Convenience for member procedures: SetStateInfo(1, &TFoo::OnIntro, 30).
    template <class T> void SetStateInfo(int32_t state, void (T::*proc)(TStateEvent), float period) {
        T* self = static_cast<T*>(this);
        SetStateInfo(state, [self, proc](TStateEvent e) { (self->*proc)(e); }, period);
    }

    TStateInfo StatesInfo[256];
    int32_t State = 0;
    float StateTime = 0;
    float StateSpeed = 0;
    TEventProc EventProc;
    bool StepInStates = true;
    bool SetStateEnabled = true;

private:
    void StateStep();
    void CallEvent(TStateEvent e);
};

} // namespace velmora
