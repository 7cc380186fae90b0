#include "app/main_dialog.h"

#include "app/center_dialog.h"
#include "app/resource.h"
#include "app/timer_resolution.h"
#include "wmi/frequency_query.h"
#include "wmi/wmi_connection.h"

namespace {

// Only Esc, the close box and the button act; Enter (IDOK) and the list's
// notifications are taken and ignored.
void OnCommand(HWND dialog, WORD id) {
  if (id == IDCANCEL) {
    EndDialog(dialog, IDCANCEL);
  } else if (id == IDC_GET) {
    const TimerResolutionHold one_ms_pauses;
    QueryFrequencies(dialog);
  }
}

}  // namespace

INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    // Each step that reaches WMI holds the 1 ms timer for its own length, no longer:
    // its traces pause a millisecond each.
    case WM_INITDIALOG: {
      CenterDialog(dialog);
      const TimerResolutionHold one_ms_pauses;
      WmiConnect();
      return TRUE;
    }
    case WM_COMMAND:
      OnCommand(dialog, LOWORD(wParam));
      return TRUE;
    case WM_DESTROY: {
      const TimerResolutionHold one_ms_pauses;
      WmiDisconnect();
      return FALSE;
    }
    default:
      return FALSE;
  }
}
