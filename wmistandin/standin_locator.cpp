#include <new>

#include "wmistandin/standin_com_object.h"
#include "wmistandin/standin_environment.h"
#include "wmistandin/standin_objects.h"
#include "wmistandin/standin_query.h"

namespace {

class Locator : public ComObject<IWbemLocator> {
 public:
  HRESULT STDMETHODCALLTYPE ConnectServer(const BSTR resource, const BSTR, const BSTR, const BSTR,
                                          LONG, const BSTR, IWbemContext*,
                                          IWbemServices** services) override {
    if (services == NULL) return WBEM_E_INVALID_PARAMETER;
    *services = NULL;
    HRESULT hr = InjectedFailure(FailingCall::kConnectServer);
    if (SUCCEEDED(hr)) hr = CheckNamespace(resource);
    if (FAILED(hr)) return hr;
    *services = NewServices();
    return *services != NULL ? WBEM_S_NO_ERROR : WBEM_E_OUT_OF_MEMORY;
  }
};

}  // namespace

IWbemLocator* NewLocator() { return new (std::nothrow) Locator(); }
