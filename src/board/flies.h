// The short-lived objects that show a cell's content moving: swaps, refused swaps, falls, the
// start-of-level drop-in, a dragged chip, the sap and paint bonus pictures, and glares. Children of
// the board; a cell refers to its animation by the object's Serial. Flights of cell contents are
// drawn by the board at PosX/PosY; the dragged chip, the paint and blink pictures and the glares
// own a picture of their own.
#pragma once

#include <cstdint>

#include "engine/basic.h"

namespace velmora {
class TTexRect;
}

namespace velmora {

class TFly : public TMaster {
  public:
    TFly(int32_t col, int32_t row);
    ~TFly() override;
    const char* ClassName() const override { return "TFly"; }

    // Marks the object Dead and clears its cell's reference when the cell still points at it.
    void Finish();

    float PosX = 0, PosY = 0;
    int32_t Col = 0, Row = 0;
    int32_t Serial = 0;
};

class TFlyChip : public TFly {
  public:
    TFlyChip(int32_t fromCol, int32_t fromRow, int32_t col, int32_t row);
    void Step() override;
    const char* ClassName() const override { return "TFlyChip"; }

    float PointerX = 0, PointerY = 0;
    float FromX = 0, FromY = 0, ToX = 0, ToY = 0;
    bool FromPointer = false;

  protected:
    void TakePointerIfOver(int32_t col, int32_t row);
};

class TInvalidChip : public TFlyChip {
  public:
    // Travels from its own cell (col, row) to the other cell and back.
    TInvalidChip(int32_t otherCol, int32_t otherRow, int32_t col, int32_t row);
    void Step() override;
    const char* ClassName() const override { return "TInvalidChip"; }
};

class TFallChip : public TFly {
  public:
    TFallChip(int32_t fromCol, int32_t fromRow, int32_t col, int32_t row);
    void Step() override;
    const char* ClassName() const override { return "TFallChip"; }

    float FromX = 0, FromY = 0, ToX = 0, ToY = 0;
    bool IsNew = false;
};

class TStartChip : public TFly {
  public:
    TStartChip(int32_t col, float fallTime, float delay, int32_t row, int32_t fromRow);
    void Step() override;
    const char* ClassName() const override { return "TStartChip"; }

    float FromX = 0, FromY = 0, ToX = 0, ToY = 0;
    bool IsNew = false;
    float Delay = 0, FallTime = 0;
};

class TDragNDropChip : public TFly {
  public:
    TDragNDropChip(int32_t col, int32_t row);
    void Step() override;
    const char* ClassName() const override { return "TDragNDropChip"; }
    // Let go in the wrong place: glide from the pointer back home during the settle state.
    void Release();

    TTexRect* Picture = nullptr; // none for a slice: the slice itself is moved
    uint8_t Kind = 0;
    int32_t Value = 0;
    float ReleaseX = 0, ReleaseY = 0, HomeX = 0, HomeY = 0;

  private:
    void ShowAtPosition();
};

class TSapChip : public TFly {
  public:
    TSapChip(int32_t col, int32_t row);
    void Step() override;
    const char* ClassName() const override { return "TSapChip"; }
    int32_t Colour = 0;
};

class TPaintChip : public TFly {
  public:
    TPaintChip(int32_t col, int32_t newColour, int32_t row);
    void Step() override;
    const char* ClassName() const override { return "TPaintChip"; }
    int32_t OldColour = 0, NewColour = 0;
    TTexRect* OldPicture = nullptr;
    TTexRect* NewPicture = nullptr;
    float OldAlpha = 1, NewAlpha = 0; // the cross-fade the pictures show
};

class TBlinkChip : public TFly {
  public:
    TBlinkChip(int32_t col, int32_t row);
    ~TBlinkChip() override;
    void Step() override;
    const char* ClassName() const override { return "TBlinkChip"; }
    TTexRect* Picture = nullptr;
    uint8_t Kind = 0;
    int32_t Value = 0;
    float Phase = 1, Speed = 0.06f;
    bool Finish = false;
    bool Shown = false;
};

// Preview blinks of the sap or the lamp still running (a new preview waits for them).
extern int32_t PreviewBlinking;

class TGlare : public TMaster {
  public:
    TGlare(int32_t col, uint8_t variant, int32_t row);
    void Step() override;
    const char* ClassName() const override { return "TGlare"; }

    int32_t Col = 0, Row = 0;
    TTexRect* Picture = nullptr;
    uint8_t Kind = 0;
    int32_t Value = 0;
    float Phase = 1, Speed = 0.05f;
    uint8_t Variant = 0;
    bool Shown = false;
    int32_t Frame = 0;
};

// Fall easing: slow start, fast end; u runs from 0 to 1.
float FallEase(float from, float to, float u);

} // namespace velmora
