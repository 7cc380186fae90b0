#pragma once

#include <windows.h>

#include <wtypes.h>

// WMI compares names case-insensitively; these answer as it does, with the
// HRESULT the platform gives (S_OK where the stand-in serves the request).

// Each BSTR is read as a proxy would marshal it: E_INVALIDARG when its stored
// length is not the length of its text up to the first NUL.

// ConnectServer's namespace: S_OK for root\WMI, else WBEM_E_INVALID_NAMESPACE.
HRESULT CheckNamespace(const BSTR name);

// ExecQuery's language and query: S_OK for WQL "SELECT * FROM
// ProcessorPerformance"; WBEM_E_INVALID_QUERY_TYPE for another language,
// WBEM_E_INVALID_CLASS for the same query of another class,
// WBEM_E_INVALID_QUERY for anything else.
HRESULT CheckQuery(const BSTR language, const BSTR query);

// Whether Get names the one property the instances have.
bool IsFrequencyProperty(const wchar_t* name);
