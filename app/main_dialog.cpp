#include "app/main_dialog.h"

#include "app/center_dialog.h"
#include "app/resource.h"
#include "wmi/frequency_query.h"
#include "wmi/wmi_connection.h"

namespace {

// Only Esc, the close box and the button act; Enter (IDOK) and the list's
// notifications are taken and ignored.
void OnCommand(HWND dialog, WORD id) {
  if (id == IDCANCEL) {
    EndDialog(dialog, IDCANCEL);
  } else if (id == IDC_GET) {
    QueryFrequencies(dialog);
  }
}

}  // namespace

INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      CenterDialog(dialog);
      WmiConnect();
      return TRUE;
    case WM_COMMAND:
      OnCommand(dialog, LOWORD(wParam));
      return TRUE;
    case WM_DESTROY:
      WmiDisconnect();
      return FALSE;
    default:
      return FALSE;
  }
}
