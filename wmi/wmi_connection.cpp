#include "wmi/wmi_connection.h"

#include "trace/trace.h"
#include "wmi/bstr_holder.h"

IWbemLocator* locator = NULL;
IWbemServices* service = NULL;

namespace {

// "WMIサーバー接続開始\n" in code page 932.
const char kConnectStartMessage[] =
    "WMI\x83\x54\x81\x5B\x83\x6F\x81\x5B\x90\xDA\x91\xB1\x8A\x4A\x8E\x6E\n";

void ReleaseLocator() {
  if (locator == NULL) return;
  locator->Release();
  locator = NULL;
}

// A namespace string that cannot be allocated fails the call as a lack of
// memory inside it would.
HRESULT ConnectToRootWmi() {
  BstrHolder resource(L"root\\WMI");
  if (!resource.allocated()) return E_OUTOFMEMORY;
  return locator->ConnectServer(resource.get(), NULL, NULL, NULL, WBEM_FLAG_CONNECT_USE_MAX_WAIT,
                                NULL, NULL, &service);
}

}  // namespace

int WmiConnect() {
  Trace(kConnectStartMessage);

  HRESULT hr = CoInitializeEx(NULL, COINIT_MULTITHREADED);
  if (FAILED(hr)) {
    Trace("CoInitializeEx() error. hr=%d\n", static_cast<int>(hr));
    return -1;
  }

  hr = CoInitializeSecurity(NULL, -1, NULL, NULL, RPC_C_AUTHN_LEVEL_DEFAULT,
                            RPC_C_IMP_LEVEL_IMPERSONATE, NULL, EOAC_NONE, NULL);
  if (FAILED(hr)) {
    Trace("CoInitializeSecurity() error. hr=%d\n", static_cast<int>(hr));
    CoUninitialize();
    return -1;
  }

  hr = CoCreateInstance(CLSID_WbemAdministrativeLocator, NULL,
                        CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IWbemLocator,
                        reinterpret_cast<void**>(&locator));
  if (FAILED(hr)) {
    Trace("CoCreateInstance() error. hr=%d\n", static_cast<int>(hr));
    locator = NULL;
    CoUninitialize();
    return -1;
  }

  hr = ConnectToRootWmi();
  if (FAILED(hr)) {
    Trace("locator->ConnectServer() error. hr=%d\n", static_cast<int>(hr));
    service = NULL;
    ReleaseLocator();
    CoUninitialize();
    return -1;
  }
  return 0;
}

int WmiDisconnect() {
  // A held service means WmiConnect succeeded, and only then is COM ours to leave.
  const bool connected = service != NULL;
  if (service != NULL) {
    service->Release();
    service = NULL;
  }
  ReleaseLocator();
  if (connected) CoUninitialize();
  return 0;
}
