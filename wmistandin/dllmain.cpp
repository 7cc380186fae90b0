// The DLL's entry points; everything they do lives in wmistandin_core.
#include <windows.h>

#include "wmistandin/standin_factory.h"
#include "wmistandin/standin_module.h"
#include "wmistandin/standin_report.h"

extern "C" LONG __stdcall WmiStandInAliveObjects() { return AliveObjects(); }

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
  return GetClassObject(clsid, iid, out);
}

STDAPI DllCanUnloadNow() { return CanUnloadNow(); }

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, void*) {
  if (reason == DLL_PROCESS_DETACH) WriteReport();
  return TRUE;
}
