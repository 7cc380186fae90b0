#pragma once

#include <windows.h>

// WMI compares names case-insensitively; these answer as it does, with the
// HRESULT the platform gives (S_OK where the stand-in serves the request).

// ConnectServer's namespace: S_OK for root\WMI, else WBEM_E_INVALID_NAMESPACE.
HRESULT CheckNamespace(const wchar_t* name);

// ExecQuery's language and query: S_OK for WQL "SELECT * FROM
// ProcessorPerformance"; WBEM_E_INVALID_QUERY_TYPE for another language,
// WBEM_E_INVALID_CLASS for the same query of another class,
// WBEM_E_INVALID_QUERY for anything else.
HRESULT CheckQuery(const wchar_t* language, const wchar_t* query);

// Whether Get names the one property the instances have.
bool IsFrequencyProperty(const wchar_t* name);
