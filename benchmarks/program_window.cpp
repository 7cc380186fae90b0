#include "benchmarks/program_window.h"

#include "app/resource.h"
#include "driver/dialog_driver.h"

ProgramWindow::ProgramWindow(const std::string& program)
    : start_(Now()),
      child_(program, ""),
      dialog_(child_.started() ? WaitForDialog(child_.id(), 30000) : NULL),
      seconds_to_dialog_(Now() - start_) {}

ProgramWindow::~ProgramWindow() {
  if (dialog_ != NULL) PressKey(dialog_, VK_ESCAPE);
  child_.Wait(10000);
}

std::string InstanceList(int count) {
  std::string list;
  for (int i = 0; i < count; ++i) list += (i ? "," : "") + std::to_string(1000 + i);
  return list;
}

int PressRepeatedly(HWND dialog, int count, double deadline) {
  int presses = 0;
  for (; presses < count && Now() < deadline; ++presses) PressGet(dialog);
  return presses;
}

int ListCount(HWND dialog) {
  return static_cast<int>(SendMessageW(GetDlgItem(dialog, IDC_LIST), LB_GETCOUNT, 0, 0));
}
