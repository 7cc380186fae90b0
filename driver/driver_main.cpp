// lumoradine-driver PROGRAM [STEP...]: runs PROGRAM as its debugger and works
// its dialog, step by step:
//   press      click "取得" once        list   print "list: LINE", top to bottom
//   shot FILE  save the dialog as BMP   esc    press Esc    close   the close box
// With no step the user works the dialog. Prints "fault: ..." for every access
// violation the program met, and "exit: N". Exits with the program's exit
// code; 3 when the program or its dialog did not come up; 4 after a fault.
#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

#include "driver/debug_session.h"
#include "driver/dialog_driver.h"

namespace {

const DWORD kDialogTimeoutMs = 30000;

void PrintList(HWND dialog) {
  for (const std::wstring& line : ReadList(dialog)) {
    char utf8[512];
    int length = WideCharToMultiByte(CP_UTF8, 0, line.c_str(), -1, utf8, sizeof utf8, NULL, NULL);
    printf("list: %s\n", length > 0 ? utf8 : "");
  }
}

// False for an unknown step.
bool RunStep(HWND dialog, const std::vector<std::string>& steps, size_t* i) {
  const std::string& step = steps[*i];
  if (step == "press") {
    PressGet(dialog);
  } else if (step == "list") {
    PrintList(dialog);
  } else if (step == "esc") {
    PressKey(dialog, VK_ESCAPE);
  } else if (step == "close") {
    PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
  } else if (step == "shot" && *i + 1 < steps.size()) {
    Settle(dialog);
    // Paints wait for an idle queue; have the pending ones done before the copy.
    RedrawWindow(dialog, NULL, NULL, RDW_UPDATENOW | RDW_ALLCHILDREN);
    if (!SaveWindowBitmap(dialog, steps[++*i])) fprintf(stderr, "shot: failed\n");
  } else {
    return false;
  }
  fflush(stdout);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    fprintf(stderr, "usage: lumoradine-driver PROGRAM [press|list|shot FILE|esc|close]...\n");
    return 2;
  }
  const std::vector<std::string> steps(argv + 2, argv + argc);
  bool dialog_seen = false;
  DebugReport report =
      RunUnderDebugger(std::string("\"") + argv[1] + "\"", "", [&](DWORD process_id) {
        HWND dialog = WaitForDialog(process_id, kDialogTimeoutMs);
        dialog_seen = dialog != NULL;
        for (size_t i = 0; dialog_seen && i < steps.size(); ++i)
          if (!RunStep(dialog, steps, &i)) fprintf(stderr, "unknown step: %s\n", steps[i].c_str());
      });
  if (!report.started) {
    fprintf(stderr, "could not start %s\n", argv[1]);
    return 3;
  }
  for (const std::string& fault : report.faults) printf("fault: %s\n", fault.c_str());
  printf("exit: %lu\n", report.exit_code);
  if (!dialog_seen) return 3;
  return report.faults.empty() ? static_cast<int>(report.exit_code) : 4;
}
