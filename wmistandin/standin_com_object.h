#pragma once

#include <unknwn.h>
#include <windows.h>

#include "wmistandin/standin_module.h"

// QueryInterface for an object that implements IUnknown and one interface.
template <typename Interface>
HRESULT QueryOneInterface(Interface* self, REFIID iid, void** out) {
  if (out == NULL) return E_POINTER;
  if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, __uuidof(Interface))) {
    *out = NULL;
    return E_NOINTERFACE;
  }
  self->AddRef();
  *out = self;
  return S_OK;
}

// IUnknown for the stand-in's heap objects: created with one reference, which
// the creator hands on, freed at the last Release, and counted while alive.
template <typename Interface>
class ComObject : public Interface {
 public:
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    return QueryOneInterface<Interface>(this, iid, out);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&references_); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return left;
  }

 protected:
  ComObject() { ObjectCreated(); }
  virtual ~ComObject() { ObjectDestroyed(); }

 private:
  LONG volatile references_ = 1;
};
