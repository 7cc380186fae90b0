#pragma once

#include <wbemidl.h>

// Held from a successful WmiConnect until WmiDisconnect; service is non-null
// exactly while connected. QueryFrequencies only borrows service.
extern IWbemLocator* locator;
extern IWbemServices* service;

// Joins COM's multithreaded apartment and connects to root\WMI. 0 or -1.
int WmiConnect();

// Releases what WmiConnect holds and leaves COM. Always 0.
int WmiDisconnect();
