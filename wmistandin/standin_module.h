#pragma once

#include <windows.h>

// Live objects (locators, services, enumerators, class objects) and LockServer
// locks across the whole module, thread-safe: ThreadingModel is "Both".
void ObjectCreated();
void ObjectDestroyed();
LONG AliveObjects();
void LockModule(bool lock);

// DllCanUnloadNow's answer: S_OK only with no live object and no lock.
HRESULT CanUnloadNow();
