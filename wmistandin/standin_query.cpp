#include "wmistandin/standin_query.h"

#include <oleauto.h>
#include <wbemidl.h>
#include <wchar.h>

#include <string_view>
#include <vector>

namespace {

wchar_t FoldAscii(wchar_t c) { return (c >= L'A' && c <= L'Z') ? c - L'A' + L'a' : c; }

// ASCII folding only: WMI's own names are ASCII, and the CRT's locale-aware
// comparisons would make the answer depend on the host's settings.
bool EqualsIgnoringCase(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
  }
  return true;
}

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n'; }

std::vector<std::wstring_view> Words(std::wstring_view text) {
  std::vector<std::wstring_view> words;
  size_t start = 0;
  for (size_t i = 0; i <= text.size(); ++i) {
    if (i < text.size() && !IsBlank(text[i])) continue;
    if (i > start) words.push_back(text.substr(start, i - start));
    start = i + 1;
  }
  return words;
}

bool IsClassName(std::wstring_view word) {
  for (wchar_t c : word) {
    const wchar_t folded = FoldAscii(c);
    if (!(folded >= L'a' && folded <= L'z') && !(c >= L'0' && c <= L'9') && c != L'_') return false;
  }
  return !word.empty();
}

// A proxy sizes a BSTR by the length stored before its first character. A
// literal cast to BSTR has none there, so it would arrive garbled or fault the
// marshaller: refuse what stored length and text disagree on. NULL is the
// empty BSTR.
bool IsWholeBstr(const BSTR text) { return text == NULL || SysStringLen(text) == wcslen(text); }

}  // namespace

HRESULT CheckNamespace(const BSTR name) {
  if (!IsWholeBstr(name)) return E_INVALIDARG;
  if (name != NULL && EqualsIgnoringCase(name, L"root\\WMI")) return S_OK;
  return WBEM_E_INVALID_NAMESPACE;
}

HRESULT CheckQuery(const BSTR language, const BSTR query) {
  if (!IsWholeBstr(language) || !IsWholeBstr(query)) return E_INVALIDARG;
  if (language == NULL || query == NULL) return WBEM_E_INVALID_PARAMETER;
  if (!EqualsIgnoringCase(language, L"WQL")) return WBEM_E_INVALID_QUERY_TYPE;
  const std::vector<std::wstring_view> words = Words(query);
  if (words.size() != 4 || !EqualsIgnoringCase(words[0], L"SELECT") || words[1] != L"*" ||
      !EqualsIgnoringCase(words[2], L"FROM") || !IsClassName(words[3]))
    return WBEM_E_INVALID_QUERY;
  if (!EqualsIgnoringCase(words[3], L"ProcessorPerformance")) return WBEM_E_INVALID_CLASS;
  return S_OK;
}

bool IsFrequencyProperty(const wchar_t* name) {
  return name != NULL && EqualsIgnoringCase(name, L"frequency");
}
