#include "wmistandin/standin_factory.h"

#include <wbemidl.h>

#include "wmistandin/standin_com_object.h"
#include "wmistandin/standin_environment.h"
#include "wmistandin/standin_objects.h"

namespace {

// Static and uncounted: it lives as long as the module, so references to it
// need not keep the module loaded.
class LocatorFactory : public IClassFactory {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    return QueryOneInterface<IClassFactory>(this, iid, out);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }

  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
    if (out == NULL) return E_POINTER;
    *out = NULL;
    if (outer != NULL) return CLASS_E_NOAGGREGATION;
    const HRESULT injected = InjectedFailure(FailingCall::kCreateInstance);
    if (FAILED(injected)) return injected;
    IWbemLocator* locator = NewLocator();
    if (locator == NULL) return E_OUTOFMEMORY;
    const HRESULT hr = locator->QueryInterface(iid, out);
    locator->Release();
    return hr;
  }

  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
    LockModule(lock != FALSE);
    return S_OK;
  }
};

LocatorFactory factory;

}  // namespace

HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** out) {
  if (out == NULL) return E_POINTER;
  *out = NULL;
  if (!IsEqualCLSID(clsid, CLSID_WbemAdministrativeLocator)) return CLASS_E_CLASSNOTAVAILABLE;
  return factory.QueryInterface(iid, out);
}
