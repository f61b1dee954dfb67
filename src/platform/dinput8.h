// DirectInput 8 stand-in: the game creates the object at start-up and reads nothing through it.
#pragma once

#include "platform/d3d8.h" // result codes

namespace velmora {

constexpr DWORD DIRECTINPUT_VERSION = 0x0800;
constexpr HRESULT DI_OK = 0;
constexpr HRESULT DIERR_OLDDIRECTINPUTVERSION = static_cast<HRESULT>(0x8007047Eu);
constexpr HRESULT DIERR_BETADIRECTINPUTVERSION = static_cast<HRESULT>(0x80070481u);
constexpr HRESULT DIERR_GENERIC = static_cast<HRESULT>(0x80004005u);

struct IDirectInput8 : IUnknown {};

inline constexpr GUID IID_IDirectInput8 = {
    0xBF798031, 0x483A, 0x4DA2, {0xAA, 0x99, 0x5D, 0x64, 0xED, 0x36, 0x97, 0x00}};

// Stores a new IDirectInput8 (reference count 1) in *out; version must be DIRECTINPUT_VERSION.
HRESULT DirectInput8Create(void* instance, DWORD version, const GUID& iid, void** out, IUnknown* outer);
void DInputTestFailCreate(bool fail); // DirectInput8Create answers DIERR_GENERIC while set

} // namespace velmora
