#include "platform/dinput8.h"

#include <cstring>

namespace velmora {

namespace {

bool failCreate = false;

class DirectInput final : public IDirectInput8 {
  public:
    ULONG AddRef() override { return ++Refs; }
    ULONG Release() override {
        const ULONG left = --Refs;
        if (left == 0) delete this;
        return left;
    }

  private:
    ~DirectInput() override = default;
    ULONG Refs = 1;
};

bool SameGuid(const GUID& a, const GUID& b) {
    return a.Data1 == b.Data1 && a.Data2 == b.Data2 && a.Data3 == b.Data3 &&
           std::memcmp(a.Data4, b.Data4, sizeof a.Data4) == 0;
}

} // namespace

HRESULT DirectInput8Create(void*, DWORD version, const GUID& iid, void** out, IUnknown* outer) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (failCreate) return DIERR_GENERIC;
    if (version < DIRECTINPUT_VERSION) return DIERR_OLDDIRECTINPUTVERSION;
    if (version > DIRECTINPUT_VERSION) return DIERR_BETADIRECTINPUTVERSION;
    if (outer || !SameGuid(iid, IID_IDirectInput8)) return E_NOINTERFACE;
    *out = static_cast<IDirectInput8*>(new DirectInput);
    return DI_OK;
}

void DInputTestFailCreate(bool fail) {
    failCreate = fail;
}

} // namespace velmora
