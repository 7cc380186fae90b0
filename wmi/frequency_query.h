#pragma once

#include <oaidl.h>
#include <windows.h>

// Size of one list line, terminator included.
const size_t QueryLineBuffer = 100;

// Runs the ProcessorPerformance query on service and inserts one line per
// instance at the top of the dialog's list. -1 when there was nothing to ask,
// or the query or reading its results failed; 0 otherwise. Lines already
// inserted stay.
int QueryFrequencies(HWND dialog);

// The 32 bits of a "frequency" value, which WMI declares as uint32 but
// delivers in a VT_I4. False when the value is null, empty or no integer
// that fits.
bool FrequencyFromVariant(const VARIANT& value, unsigned int* frequency);
