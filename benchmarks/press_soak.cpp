// 10 000 presses in one run, under the debugger so that any access violation
// is seen even where the program survives it.
#include <algorithm>
#include <string>

#include "benchmarks/bench_support.h"
#include "benchmarks/benches.h"
#include "benchmarks/process_usage.h"
#include "benchmarks/program_window.h"
#include "driver/debug_session.h"
#include "driver/dialog_driver.h"
#include "tests/support/scratch_directory.h"
#include "tests/support/standin_control.h"

namespace {

const int kPresses = 10000;
const int kPressesBetweenLooks = 500;
const double kBudgetSeconds = 540;

struct SoakRun {
  int presses = 0;
  double seconds = 0;
  DWORD first_handles = 0;  // after the first presses, once lazy set-up is done
  DWORD most_handles = 0;
};

// Presses in batches, looking at the handle count after each; then Esc, and
// the end of the process within bounds, so that the debug loop always ends.
SoakRun PressAndWatch(DWORD process_id) {
  SoakRun run;
  HWND dialog = WaitForDialog(process_id, 30000);
  ScopedHandle process(
      OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ | SYNCHRONIZE | PROCESS_TERMINATE,
                  FALSE, process_id));
  const double start = Now(), deadline = start + kBudgetSeconds;
  while (dialog != NULL && run.presses < kPresses && Now() < deadline) {
    run.presses += PressRepeatedly(dialog, kPressesBetweenLooks, deadline);
    const DWORD handles = UsageOf(process.get()).handles;
    if (run.first_handles == 0) run.first_handles = handles;
    run.most_handles = std::max(run.most_handles, handles);
  }
  run.seconds = Now() - start;
  if (dialog != NULL) PressKey(dialog, VK_ESCAPE);
  if (WaitForSingleObject(process.get(), 30000) != WAIT_OBJECT_0)
    TerminateProcess(process.get(), 1);
  return run;
}

const char* PassOrFail(bool passed) { return passed ? "pass" : "fail"; }

void PrintSoakRows(const DebugReport& report, const SoakRun& run, const std::string& standin) {
  const bool clean =
      report.started && report.faults.empty() && report.exit_code == 0 && run.presses == kPresses;
  PrintRow("soak: 10 000 presses, N = 4, under the debugger",
           Format("%d presses in %.0f s, %u faults%s%s, exit %lu", run.presses, run.seconds,
                  static_cast<unsigned>(report.faults.size()), report.faults.empty() ? "" : ": ",
                  report.faults.empty() ? "" : report.faults.front().c_str(), report.exit_code),
           "pass", PassOrFail(clean));
  const std::string alive = standin.substr(0, standin.find_first_of("\r\n"));
  PrintRow("soak: stand-in's objects at the end", alive.empty() ? "no report" : alive, "pass",
           PassOrFail(alive == "alive=0"));
  PrintRow("soak: handle count",
           Format("%lu after %d presses, at most %lu after", run.first_handles,
                  kPressesBetweenLooks, run.most_handles),
           "pass", PassOrFail(run.first_handles != 0 && run.most_handles == run.first_handles));
}

}  // namespace

void PressSoak() {
  ScratchDirectory scratch;
  const std::string standin_report = scratch.path() + "\\standin.txt";
  ScopedEnvironment served("WMISTANDIN_INSTANCES", "800,900,1000,1100");
  ScopedEnvironment reported("WMISTANDIN_REPORT", standin_report.c_str());
  SoakRun run;
  const DebugReport report =
      RunUnderDebugger(BenchBinaryPath("lumoradine.exe"), "",
                       [&](DWORD process_id) { run = PressAndWatch(process_id); });
  PrintSoakRows(report, run, ReadFileBytes(standin_report));
}
