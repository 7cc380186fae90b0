#include "wmi/frequency_query.h"

#include <stdio.h>

#include "app/resource.h"
#include "trace/trace.h"
#include "wmi/bstr_holder.h"
#include "wmi/variant_holder.h"
#include "wmi/wmi_connection.h"

namespace {

// "WMIデータ取得\n" in code page 932.
const char kQueryStartMessage[] = "WMI\x83\x66\x81\x5B\x83\x5E\x8E\xE6\x93\xBE\n";

bool IsIntegerType(VARTYPE type) {
  switch (type) {
    case VT_I1:
    case VT_I2:
    case VT_I4:
    case VT_I8:
    case VT_INT:
    case VT_UI1:
    case VT_UI2:
    case VT_UI4:
    case VT_UI8:
    case VT_UINT:
      return true;
    default:
      return false;
  }
}

// Strings that cannot be allocated fail the call as a lack of memory inside it would.
HRESULT QueryProcessorPerformance(IEnumWbemClassObject** enumerator) {
  BstrHolder language(L"WQL");
  BstrHolder query(L"SELECT * FROM ProcessorPerformance");
  if (!language.allocated() || !query.allocated()) return E_OUTOFMEMORY;
  return service->ExecQuery(language.get(), query.get(), WBEM_FLAG_FORWARD_ONLY, NULL, enumerator);
}

// Formats, inserts at the top of the list, and traces one instance's line.
void AddLine(HWND dialog, int index, VariantHolder& holder) {
  unsigned int frequency = 0;
  if (!FrequencyFromVariant(holder.value(), &frequency)) return;

  char line[QueryLineBuffer];
  // NOLINTNEXTLINE(cert-err33-c): two 32-bit numbers and the name always fit
  sprintf_s(line, QueryLineBuffer, "Lumoradine(%d):%u", index, frequency);
  SendMessageA(GetDlgItem(dialog, IDC_LIST), LB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(line));
  holder.Clear();
  Trace("%s\n", line);
}

// Holds the list's redrawing for the length of one query. Redrawn after every
// insertion, its scroll bar alone costs several times the pause of a trace.
class ListRedrawHold {
 public:
  explicit ListRedrawHold(HWND dialog) : list_(GetDlgItem(dialog, IDC_LIST)) {
    SendMessageA(list_, WM_SETREDRAW, FALSE, 0);
  }
  ~ListRedrawHold() {
    // Without a list InvalidateRect would take NULL for every window on the screen.
    if (list_ == NULL) return;
    SendMessageA(list_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list_, NULL, TRUE);
  }
  ListRedrawHold(const ListRedrawHold&) = delete;
  ListRedrawHold& operator=(const ListRedrawHold&) = delete;

 private:
  HWND list_;
};

}  // namespace

bool FrequencyFromVariant(const VARIANT& value, unsigned int* frequency) {
  if (value.vt == VT_I4) {
    *frequency = static_cast<unsigned int>(value.lVal);
    return true;
  }
  if (!IsIntegerType(value.vt)) return false;

  VariantHolder converted;
  if (FAILED(VariantChangeType(converted.get(), const_cast<VARIANT*>(&value), 0, VT_UI4)))
    return false;
  *frequency = converted.value().ulVal;
  return true;
}

int QueryFrequencies(HWND dialog) {
  VariantHolder holder;
  Trace(kQueryStartMessage);
  if (service == NULL) return -1;

  IEnumWbemClassObject* enumerator = NULL;
  HRESULT hr = QueryProcessorPerformance(&enumerator);
  if (FAILED(hr)) {
    Trace("service->ExecQuery() error. hr=%d\n", static_cast<int>(hr));
    return -1;
  }

  ListRedrawHold redraw_hold(dialog);
  IWbemClassObject* wbem = NULL;
  ULONG returned = 0;
  int index = 0;
  hr = enumerator->Next(WBEM_INFINITE, 1, &wbem, &returned);
  while (hr == WBEM_S_NO_ERROR && returned != 0) {
    // A provider may count an object that it did not give: the instance still
    // counts, but there is nothing to read or release.
    if (wbem != NULL) {
      // Clear rather than re-initialise: a value skipped last pass may still own memory.
      holder.Clear();
      hr = wbem->Get(L"frequency", 0, holder.get(), NULL, NULL);
      if (FAILED(hr)) {
        Trace("wbem->Get() error. hr=%d\n", static_cast<int>(hr));
      } else {
        AddLine(dialog, index, holder);
      }
      wbem->Release();
      wbem = NULL;
    }
    ++index;
    hr = enumerator->Next(WBEM_INFINITE, 1, &wbem, &returned);
  }
  // WMI may refuse only when the results are read, access denied among others:
  // that refusal is traced like any failed call. The end (WBEM_S_FALSE) is no failure.
  if (FAILED(hr)) Trace("enumerator->Next() error. hr=%d\n", static_cast<int>(hr));
  enumerator->Release();
  return FAILED(hr) ? -1 : 0;
}
