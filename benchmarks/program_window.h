#pragma once

#include <windows.h>

#include <string>

#include "benchmarks/bench_support.h"

// A dialog program from the build (the program or the bare dialog) started as
// a user would, without a debugger, in the current directory; closed with Esc
// when the object goes.
class ProgramWindow {
 public:
  explicit ProgramWindow(const std::string& program);
  ~ProgramWindow();
  ProgramWindow(const ProgramWindow&) = delete;
  ProgramWindow& operator=(const ProgramWindow&) = delete;

  // NULL when the dialog did not come up.
  HWND dialog() const { return dialog_; }
  HANDLE process() const { return child_.handle(); }
  // From just before the process was created to its dialog found visible.
  double seconds_to_dialog() const { return seconds_to_dialog_; }

 private:
  double start_;
  ChildProcess child_;
  HWND dialog_;
  double seconds_to_dialog_;
};

// "1000,1001,...": `count` instances for the stand-in to serve.
std::string InstanceList(int count);

// Presses "取得" up to `count` times, stopping at the deadline; the presses made.
int PressRepeatedly(HWND dialog, int count, double deadline);

// Lines in the dialog's list.
int ListCount(HWND dialog);
