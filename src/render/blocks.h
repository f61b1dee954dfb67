// Render-state blocks: every combination of states a visual draws with is recorded once as a device
// state block and applied by number. The device call wrappers log each failure with its arguments.
#pragma once

#include <cstdint>

#include "engine/basic.h"
#include "platform/d3d8.h"

namespace velmora {

// Block numbers; 11..25 start from the common defaults, 30..34 are modifiers applied on top.
enum TStateBlockNo : int32_t {
    sbNone = 0,
    sbDefault = 11,
    sbTexture = 12,
    sbDiffuse = 13,
    sbTexModDiffuse = 14,
    sbDiffuseAlpha = 15,
    sbTexDiffuseAlpha = 16,
    sbTexModDiffuseDiffuseAlpha = 17,
    sbTexAlpha = 19,
    sbDiffuseTexAlpha = 20,
    sbTexModDiffuseTexAlpha = 21,
    sbTexModAlpha = 22,
    sbDiffuseModAlpha = 23,
    sbModulateAll = 24,
    sbTexAddDiffuse = 25,
    sbLinearFilter = 30,
    sbFlat = 31,
    sbAdditive = 32,
    sbWrap = 33,
    sbGouraud = 34,
};

constexpr int32_t cStateBlockSlots = 64;
constexpr int32_t cRecordedBlockCount = 19;

class TStateBlockDepot : public TBasic {
  public:
    TStateBlockDepot(); // publishes itself in StateBlocks
    ~TStateBlockDepot() override;

    HRESULT_t RestoreDeviceObjects() override; // records the 19 blocks
    void InvalidateDeviceObjects() override;   // deletes every recorded block
    const char* ClassName() const override { return "TStateBlockDepot"; }

    // Stores the scene's render mode (1 game, 2 menus, 3 resource creator), switches the texture
    // store to the set of that number and records the blocks afresh.
    void SetRenderMode(uint8_t mode);
    // ASB of the handle of block number No; numbers without a recorded block are skipped.
    void Apply(int32_t no) const;

    DWORD Blocks[cStateBlockSlots] = {}; // device handles by block number; 0 = none
    uint8_t RenderMode = 0;
};

extern TStateBlockDepot* StateBlocks;

// The block numbers recorded by the depot, in recording order.
extern const int32_t RecordedBlocks[cRecordedBlockCount];

// The common defaults every block 11..25 starts from.
void SetDefaultStates();

HRESULT SRS(D3DRENDERSTATETYPE state, DWORD value);
HRESULT STSS(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value);
// Skips the device call when the texture is the one set last (one remembered texture, any stage).
HRESULT ST(DWORD stage, IDirect3DBaseTexture8* texture);
HRESULT ASB(DWORD block);
// Clears Texture first; a failed result or a nil texture is reported with every argument.
HRESULT CreateTextureDirect(UINT width, UINT height, UINT levels, IDirect3DTexture8*& texture, D3DPOOL pool,
                            D3DFORMAT format, DWORD usage);

// Drops the texture ST remembers (and its reference). The depot's InvalidateDeviceObjects calls it, so
// the scene's walk at device loss and at exit lets the texture go before the device is released.
void ForgetRememberedTexture();
IDirect3DBaseTexture8* RememberedTexture();

} // namespace velmora
