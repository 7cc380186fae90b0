#pragma once

#include <wbemidl.h>
#include <windows.h>

#include <vector>

#include "wmistandin/standin_config.h"

// Each returns a new object whose one reference belongs to the caller, or NULL
// when memory runs out.
IWbemLocator* NewLocator();
IWbemServices* NewServices();
IEnumWbemClassObject* NewEnumerator(std::vector<Instance> instances);
IWbemClassObject* NewClassObject(const Instance& instance);
