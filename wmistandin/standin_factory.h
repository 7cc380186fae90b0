#pragma once

#include <windows.h>

// DllGetClassObject's work: the class factory of the administrative locator,
// CLASS_E_CLASSNOTAVAILABLE for any other class.
HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** out);
